// Choosing the day and lesson number of one lesson under the course
// restrictions, the class's and teacher's other lessons, the special courses
// and the course's daily cap.
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "school_fixture.h"

namespace orv {
namespace {

using namespace test;

class SlotSearch : public School {
 protected:
  int Search(ScriptedRandom& r, int day, LimitMark mark, double x, const std::string& course = "02",
             int lessonsPerDay = 6) {
    GenerationContext ctx{t.db(), lessonsPerDay, r};
    return SearchSlot(ctx, "101", course, "T1", day, x, mark);
  }
};

TEST_F(SlotSearch, EachMarkTakesItsOwnCellsWhereTheClassIsFreeAndPicksOneAtRandom) {
  // Monday: best 2 and 6, avoid 3, never 4, an explicit normal 1. Tuesday:
  // only another course's mark. Wednesday: a best cell above the lessons per day.
  Limit("1/02/1/2/0 1/02/1/6/0 1/02/1/3/2 1/02/1/4/3 1/02/1/1/1 1/06/2/1/0 1/02/3/7/0");
  Add("101/1/6/99/F/0 101/2/3/99/F/2");
  using M = LimitMark;
  using Case = std::tuple<int, M, std::vector<double>, int>;  // day, mark searched, draws, lesson
  const std::vector<Case> cases = {
      {1, M::Best, {0.999}, 2}, {1, M::Avoid, {0.0}, 3},
      {1, M::Normal, {0.0}, 1}, {1, M::Normal, {0.999}, 5},
      {2, M::Normal, {0.4}, 4},  // candidates 1, 2, 4, 5, 6: Int(0.4 * 5)
      {2, M::Best, {}, -1},      // no cell of its own: nothing drawn
      {3, M::Best, {0.0}, 7},   {3, M::Normal, {0.999}, 6},
      {1, M::Never, {}, -1},  // never a pass of its own
  };
  for (const auto& [day, mark, draws, lesson] : cases) {
    SCOPED_TRACE(testing::Message() << "day " << day << " mark " << MarkText(mark));
    ScriptedRandom r(draws);
    EXPECT_EQ(Search(r, day, mark, 0.8), lesson);
    EXPECT_TRUE(r.AllDrawn());
  }
}

TEST_F(SlotSearch, BusyTeacherSpecialCourseAndDailyCapRuleOutASlot) {
  // Two lessons a day; class 101 holds Tuesday lesson 1, lesson 2 is open to it.
  // 101's lesson at Tuesday 1 and another class's at Tuesday 2; the course
  // searched, whether it is special, Count / 5, the lesson found.
  using Case = std::tuple<const char*, const char*, bool, double, int>;
  const std::vector<Case> cases = {
      {"101/2/1/99/F 102/2/2/02/T1/0", "02", false, 0.8, -1},  // teacher busy, fixed lesson
      {"101/2/1/99/F 102/2/2/02/T1/1", "02", false, 0.8, -1},  // teacher busy, placed lesson
      {"101/2/1/99/F 102/2/2/02/T2/1", "02", false, 0.8, 2},   // ordinary course shares the slot
      {"101/2/1/99/F 102/2/2/06/T2/0", "06", true, 0.8, -1},   // special course does not
      {"101/2/1/02/F", "02", false, 0.8, -1},                  // four a week: one a day
      {"101/2/1/02/F", "02", false, 1.0, 2},                   // five a week: two a day
  };
  for (const auto& [lessons, course, special, x, lesson] : cases) {
    SCOPED_TRACE(lessons);
    Exec("delete from LessonListtb");
    Exec("delete from CourseAttrtb");
    Add(lessons);
    if (special) t.AddSpecialCourse(course);
    ScriptedRandom r(std::vector<double>(lesson > 0 ? 1 : 0, 0.0));
    EXPECT_EQ(Search(r, 2, LimitMark::Normal, x, course, 2), lesson);
    EXPECT_TRUE(r.AllDrawn());
  }
}

TEST_F(SlotSearch, PassesGoInOrderWithinADayAndDaysFromTheStartOnThenBackwardsFromFriday) {
  // Marks of course 02 (lesson 0: the whole day), d on entry, x, the draws,
  // the lesson found and d afterwards.
  using Case = std::tuple<const char*, double, double, std::vector<double>, int, double>;
  const std::vector<Case> cases = {
      {"1/02/1/5/0", 1.0, 0.8, {0.0}, 5, 1.0},  // best before normal
      {"1/02/1/1/2", 1.0, 0.8, {0.0}, 2, 1.0},  // normal before avoid
      {"1/02/2/1/3 1/02/2/2/3 1/02/2/3/2 1/02/2/4/3 1/02/2/5/3 1/02/2/6/3",
       2.0,
       0.8,
       {0.0},
       3,
       2.0},                                                     // avoid before the next day
      {"", 3.5, 0.8, {0.4999, 0.0}, 1, 3.5},                     // 3.5 stays on Wednesday
      {"", 3.5, 0.8, {0.5, 0.0}, 1, 4.0},                        // or moves to Thursday
      {"1/02/4/0/3 1/02/5/0/3", 3.5, 0.8, {0.75, 0.0}, 1, 3.0},  // moved: Wednesday after Friday
      {"1/02/5/0/3", 5.0, 0.8, {0.0}, 1, 4.0},                   // Friday barred
      {"", 5.5, 2.0, {0.999}, 6, 5.5},                           // no chance on Friday
      {"", 6.0, 0.8, {0.0}, 1, 5.0},                             // past Friday: Friday first
      {"1/02/5/0/3", 6.0, 0.8, {0.0}, 1, 4.0},                   // then Thursday
      {"1/02/2/0/3 1/02/3/0/3 1/02/4/0/3 1/02/5/0/3", 7.0, 0.8, {0.0}, 1, 1.0},             // down to Monday
      {"1/02/1/0/3 1/02/2/0/3 1/02/3/0/3 1/02/4/0/3 1/02/5/0/3", 2.25, 0.8, {}, -1, 2.25},  // no slot
  };
  for (const auto& [limits, entry, x, draws, lesson, after] : cases) {
    SCOPED_TRACE(testing::Message() << entry << " " << limits);
    Exec("delete from Limittb");
    Limit(limits);
    ScriptedRandom r(draws);
    GenerationContext ctx{t.db(), 6, r};
    double d = entry;
    EXPECT_EQ(ChooseLesson(ctx, "101", "02", "T1", d, x), lesson);
    EXPECT_DOUBLE_EQ(d, after);
    EXPECT_TRUE(r.AllDrawn());
  }
}

}  // namespace
}  // namespace orv
