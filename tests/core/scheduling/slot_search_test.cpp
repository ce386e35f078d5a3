// SPDX-License-Identifier: GPL-3.0-or-later
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
  // The school as stored; the daily cap comes from the plan row of 101's course.
  GenerationState Load(int lessonsPerDay = 6) {
    Transaction read(t.db());
    Result<GenerationState> s = LoadGenerationState(t.db(), SchoolWeek(lessonsPerDay));
    EXPECT_TRUE(s) << s.message();
    return s ? std::move(*s) : GenerationState{};
  }
  static Candidate Lesson(const GenerationState& s, const std::string& course) {
    return {s.model.ClassIndex("101"), s.model.CourseIndex(course), s.model.TeacherIndex("T1")};
  }
  int Search(ScriptedRandom& r, int day, LimitMark mark, const std::string& course = "02",
             int lessonsPerDay = 6) {
    GenerationState s = Load(lessonsPerDay);
    GenerationContext ctx{s, r};
    return SearchSlot(ctx, Lesson(s, course), day, mark);
  }
};

TEST_F(SlotSearch, EachMarkTakesItsOwnCellsWhereTheClassIsFreeAndPicksOneAtRandom) {
  // Monday: best 2 and 6, avoid 3, never 4, an explicit normal 1. Tuesday:
  // only another course's mark. Wednesday: a best cell above the lessons per
  // day. Thursday: best 2 stored twice, best 5, and 3 both best and avoid.
  // Friday: 1 holds a value no window writes.
  Limit(
      "1/02/1/2/0 1/02/1/6/0 1/02/1/3/2 1/02/1/4/3 1/02/1/1/1 1/06/2/1/0 1/02/3/7/0 1/02/4/2/0 1/02/4/2/0"
      " 1/02/4/5/0 1/02/4/3/0 1/02/4/3/2 1/02/5/1/9");
  Add("101/1/6/99/F/0 101/2/3/99/F/2");
  Plan("101/02/T1/4");
  using M = LimitMark;
  using Case = std::tuple<int, M, std::vector<double>, int>;  // day, mark searched, draws, lesson
  const std::vector<Case> cases = {
      {1, M::Best, {0.999}, 2},   {1, M::Avoid, {0.0}, 3},  {1, M::Normal, {0.0}, 1},
      {1, M::Normal, {0.999}, 5}, {2, M::Normal, {0.4}, 4},  // candidates 1, 2, 4, 5, 6: Int(0.4 * 5)
      {2, M::Best, {}, -1},                                  // no cell of its own: nothing drawn
      {3, M::Best, {}, -1},                                  // a cell outside the week is no candidate
      {3, M::Normal, {0.999}, 6}, {4, M::Best, {0.5}, 5},    // one cell, one mark: 2 and 5 are the candidates
      {4, M::Avoid, {0.0}, 3},                               // the stricter mark of cell 3
      {5, M::Normal, {0.0}, 1},                              // an unknown value marks nothing
      {1, M::Never, {}, -1},                                 // never a pass of its own
  };
  for (const auto& [day, mark, draws, lesson] : cases) {
    SCOPED_TRACE(testing::Message() << "day " << day << " mark " << MarkText(mark));
    ScriptedRandom r(draws);
    EXPECT_EQ(Search(r, day, mark), lesson);
    EXPECT_TRUE(r.AllDrawn());
  }
}

TEST_F(SlotSearch, BusyTeacherSpecialCourseAndDailyCapRuleOutASlot) {
  // Two lessons a day; class 101 holds Tuesday lesson 1, lesson 2 is open to it.
  // 101's lesson at Tuesday 1 and another class's at Tuesday 2; the course
  // searched, whether it is special, 101's weekly lessons of it, the lesson found.
  using Case = std::tuple<const char*, const char*, bool, int, int>;
  const std::vector<Case> cases = {
      {"101/2/1/99/F 102/2/2/02/T1/0", "02", false, 4, -1},  // teacher busy, fixed lesson
      {"101/2/1/99/F 102/2/2/02/T1/1", "02", false, 4, -1},  // teacher busy, placed lesson
      {"101/2/1/99/F 102/2/2/02/T2/1", "02", false, 4, 2},   // ordinary course shares the slot
      {"101/2/1/99/F 102/2/2/06/T2/0", "06", true, 4, -1},   // special course does not
      {"101/2/1/02/F", "02", false, 4, -1},                  // four a week: one a day
      {"101/2/1/02/F", "02", false, 5, 2},                   // five a week: two a day
  };
  for (const auto& [lessons, course, special, count, lesson] : cases) {
    SCOPED_TRACE(lessons);
    Exec("delete from LessonListtb");
    Exec("delete from CourseAttrtb");
    Add(lessons);
    if (special) t.AddSpecialCourse(course);
    Plan("101/" + std::string(course) + "/T1/" + std::to_string(count));
    ScriptedRandom r(std::vector<double>(lesson > 0 ? 1 : 0, 0.0));
    EXPECT_EQ(Search(r, 2, LimitMark::Normal, course, 2), lesson);
    EXPECT_TRUE(r.AllDrawn());
  }
}

TEST_F(SlotSearch, PassesGoInOrderWithinADayAndDaysFromTheStartOnThenBackwardsFromFriday) {
  // Marks of course 02 (lesson 0: the whole day), d on entry, the draws,
  // the lesson found and d afterwards.
  using Case = std::tuple<const char*, double, std::vector<double>, int, double>;
  const std::vector<Case> cases = {
      {"1/02/1/5/0", 1.0, {0.0}, 5, 1.0},  // best before normal
      {"1/02/1/1/2", 1.0, {0.0}, 2, 1.0},  // normal before avoid
      {"1/02/2/1/3 1/02/2/2/3 1/02/2/3/2 1/02/2/4/3 1/02/2/5/3 1/02/2/6/3",
       2.0,
       {0.0},
       3,
       2.0},                                                                // avoid before the next day
      {"", 3.5, {0.4999, 0.0}, 1, 3.5},                                     // 3.5 stays on Wednesday
      {"", 3.5, {0.5, 0.0}, 1, 4.0},                                        // or moves to Thursday
      {"1/02/4/0/3 1/02/5/0/3", 3.5, {0.75, 0.0}, 1, 3.0},                  // moved: Wednesday after Friday
      {"1/02/5/0/3", 5.0, {0.0}, 1, 4.0},                                   // Friday barred
      {"", 5.5, {0.999}, 6, 5.5},                                           // no chance on Friday
      {"", 6.0, {0.0}, 1, 5.0},                                             // past Friday: Friday first
      {"1/02/5/0/3", 6.0, {0.0}, 1, 4.0},                                   // then Thursday
      {"1/02/2/0/3 1/02/3/0/3 1/02/4/0/3 1/02/5/0/3", 7.0, {0.0}, 1, 1.0},  // down to Monday
      {"1/02/1/0/3 1/02/2/0/3 1/02/3/0/3 1/02/4/0/3 1/02/5/0/3", 2.25, {}, -1, 2.25},  // no slot
  };
  for (const auto& [limits, entry, draws, lesson, after] : cases) {
    SCOPED_TRACE(testing::Message() << entry << " " << limits);
    Exec("delete from Limittb");
    Limit(limits);
    ScriptedRandom r(draws);
    GenerationState s = Load();
    GenerationContext ctx{s, r};
    double d = entry;
    EXPECT_EQ(ChooseLesson(ctx, Lesson(s, "02"), d), lesson);
    EXPECT_DOUBLE_EQ(d, after);
    EXPECT_TRUE(r.AllDrawn());
  }
}

}  // namespace
}  // namespace orv
