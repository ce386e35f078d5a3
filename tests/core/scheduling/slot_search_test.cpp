// Choosing the day and lesson number of one lesson under the course
// restrictions, the class's and teacher's other lessons, the special courses
// and the course's daily cap.
#include <gtest/gtest.h>

#include <set>

#include "core/scheduling/generation_steps.h"
#include "scripted_random.h"
#include "support/test_db.h"

namespace orv {
namespace {

using test::ScriptedRandom;

constexpr int kNormal = 1, kBest = 0, kAvoid = 2, kNever = 3;
constexpr int kCourseKind = 1;

class SlotSearch : public ::testing::Test {
 protected:
  void SetUp() override {
    // Durability is not under test; without this every insert waits for the disk.
    t.db().Raw().exec("PRAGMA synchronous=OFF");
    t.AddClass("101", "一（1）班");
    t.AddClass("102", "一（2）班");
    t.AddCourse("02", "数学");
    t.AddCourse("06", "体育");
    t.AddCourse("99", "其他");
    t.AddTeacher("T1", "王伟");
    t.AddTeacher("T2", "李芳");
    t.AddTeacher("F", "填充");
  }

  // Gives the class a lesson of another course in every slot of the day
  // except the open ones.
  void FillDayExcept(const std::string& cls, int day, const std::set<int>& open) {
    for (int n = 1; n <= 6; ++n)
      if (!open.count(n)) t.AddLesson(cls, day, n, "99", "F", 1);
  }
  void MarkCourseDay(const std::string& course, int day, int attr) {
    for (int n = 1; n <= 6; ++n) t.AddLimit(kCourseKind, course, day, n, attr);
  }

  int Search(ScriptedRandom& r, int day, int pass, double x = 0.8, const std::string& cls = "101",
             const std::string& course = "02", const std::string& teacher = "T1") {
    GenerationContext ctx{t.db(), 6, r};
    return SearchSlot(ctx, cls, course, teacher, day, x, pass);
  }
  int Choose(ScriptedRandom& r, double& d, double x = 0.8, const std::string& cls = "101",
             const std::string& course = "02") {
    GenerationContext ctx{t.db(), 6, r};
    return ChooseLesson(ctx, cls, course, "T1", d, x);
  }

  test::TestDb t;
};

TEST_F(SlotSearch, NormalPassTakesUnmarkedFreeLessonsInAscendingOrder) {
  t.AddLimit(kCourseKind, "02", 1, 2, kBest);
  t.AddLimit(kCourseKind, "02", 1, 4, kNever);
  t.AddLimit(kCourseKind, "02", 1, 3, kNormal);  // an explicit normal cell is a normal cell
  t.AddLesson("101", 1, 5, "99", "F", 2);
  // Candidates 1, 3, 6: the draw r picks position Int(r * 3).
  ScriptedRandom r{0.0, 0.34, 0.67, 0.999};
  EXPECT_EQ(Search(r, 1, 1), 1);
  EXPECT_EQ(Search(r, 1, 1), 3);
  EXPECT_EQ(Search(r, 1, 1), 6);
  EXPECT_EQ(Search(r, 1, 1), 6);
  EXPECT_TRUE(r.AllDrawn());
}

TEST_F(SlotSearch, BestAndAvoidPassesTakeOnlyTheirOwnCellsWhereTheClassIsFree) {
  t.AddLimit(kCourseKind, "02", 1, 2, kBest);
  t.AddLimit(kCourseKind, "02", 1, 5, kBest);
  t.AddLimit(kCourseKind, "02", 1, 3, kAvoid);
  t.AddLimit(kCourseKind, "06", 1, 4, kBest);  // another course's mark does not count
  t.AddLesson("101", 1, 5, "99", "F", 0);
  ScriptedRandom r{0.999, 0.999};
  EXPECT_EQ(Search(r, 1, 0), 2);
  EXPECT_EQ(Search(r, 1, 2), 3);
  EXPECT_EQ(Search(r, 2, 0), -1) << "no marked cell on Tuesday";
  EXPECT_TRUE(r.AllDrawn()) << "a pass without candidates draws nothing";
}

TEST_F(SlotSearch, MarkedCellAboveTheLessonsPerDayCanBeChosenButNormalCellsStopThere) {
  t.AddLimit(kCourseKind, "02", 1, 7, kBest);
  ScriptedRandom r{0.0, 0.999};
  EXPECT_EQ(Search(r, 1, 0), 7);
  EXPECT_EQ(Search(r, 1, 1), 6);
}

TEST_F(SlotSearch, TeacherWhoAlreadyTeachesAtTheSlotInAnyClassIsNotUsedThere) {
  FillDayExcept("101", 2, {2});
  for (int flag : {0, 1, 2}) {
    SCOPED_TRACE(flag);
    t.db().Execute("delete from LessonListtb where ClassCode='102'");
    t.AddLesson("102", 2, 2, "02", "T1", flag);
    ScriptedRandom none{};
    EXPECT_EQ(Search(none, 2, 1), -1);
  }
  t.db().Execute("delete from LessonListtb where ClassCode='102'");
  t.AddLesson("102", 2, 2, "02", "T2", 1);  // another teacher there is no obstacle
  ScriptedRandom r{0.0};
  EXPECT_EQ(Search(r, 2, 1), 2);
}

TEST_F(SlotSearch, SpecialCourseKeepsToOneClassPerSlotOrdinaryCourseDoesNot) {
  FillDayExcept("101", 1, {3});
  t.AddLesson("102", 1, 3, "06", "T2", 0);
  ScriptedRandom r{0.0, 0.0};
  EXPECT_EQ(Search(r, 1, 1, 0.6, "101", "06"), 3) << "not special yet";
  t.AddSpecialCourse("06");
  EXPECT_EQ(Search(r, 1, 1, 0.6, "101", "06"), -1);
  t.AddLesson("102", 1, 4, "02", "T2", 1);
  EXPECT_EQ(Search(r, 1, 1, 0.8, "101", "02"), 3) << "an ordinary course may share the slot";
  EXPECT_TRUE(r.AllDrawn());
}

TEST_F(SlotSearch, CourseDailyCapFollowsTheWeeklyCount) {
  // x is Count / 5: one lesson a day up to 4 a week, two from 5, three from 10.
  EXPECT_FALSE(CourseDayFull(t.db(), "101", "02", 1, 0.8));
  t.AddLesson("101", 1, 1, "02", "T1", 0);
  t.AddLesson("102", 1, 2, "02", "T1", 1);  // another class's lesson does not count
  EXPECT_TRUE(CourseDayFull(t.db(), "101", "02", 1, 0.8));
  EXPECT_FALSE(CourseDayFull(t.db(), "101", "02", 1, 1.0));
  EXPECT_FALSE(CourseDayFull(t.db(), "101", "02", 2, 0.8));
  t.AddLesson("101", 1, 2, "02", "T1", 1);
  EXPECT_TRUE(CourseDayFull(t.db(), "101", "02", 1, 1.0));
  EXPECT_FALSE(CourseDayFull(t.db(), "101", "02", 1, 2.0));
}

TEST_F(SlotSearch, FourLessonsAWeekNeverShareADayFiveMay) {
  t.AddLesson("101", 1, 1, "02", "T1", 1);
  ScriptedRandom r{0.0};
  EXPECT_EQ(Search(r, 1, 1, 0.8), -1);
  EXPECT_EQ(Search(r, 1, 1, 1.0), 2);
  EXPECT_TRUE(r.AllDrawn());
}

TEST_F(SlotSearch, BestCellIsPreferredToNormalCellsOfTheSameDay) {
  t.AddLimit(kCourseKind, "02", 1, 5, kBest);
  ScriptedRandom r{0.0};
  double d = 1.0;
  EXPECT_EQ(Choose(r, d), 5);
  EXPECT_DOUBLE_EQ(d, 1.0);

  // Once the class is busy there, the normal cells come next.
  t.AddLesson("101", 1, 5, "99", "F", 1);
  ScriptedRandom again{0.0};
  EXPECT_EQ(Choose(again, d), 1);
}

TEST_F(SlotSearch, AvoidCellOfTheStartDayComesBeforeNormalCellsOfTheNextDay) {
  for (int n : {1, 2, 4, 5, 6}) t.AddLimit(kCourseKind, "02", 1, n, kNever);
  t.AddLimit(kCourseKind, "02", 1, 3, kAvoid);
  ScriptedRandom r{0.0};
  double d = 1.0;
  EXPECT_EQ(Choose(r, d), 3);
  EXPECT_DOUBLE_EQ(d, 1.0);
}

TEST_F(SlotSearch, CourseWithFridayBarredTurnsBackToThursday) {
  MarkCourseDay("02", 5, kNever);
  ScriptedRandom r{0.0};
  double d = 5.0;
  EXPECT_EQ(Choose(r, d), 1);
  EXPECT_DOUBLE_EQ(d, 4.0);
}

TEST_F(SlotSearch, HalfDayPositionMovesToTheNextDayOnAnEvenDraw) {
  struct Case {
    double chance;
    int day;
    double dAfter;
  };
  for (const Case& c : {Case{0.0, 3, 3.5}, Case{0.4999, 3, 3.5}, Case{0.5, 4, 4.0}, Case{0.999, 4, 4.0}}) {
    SCOPED_TRACE(c.chance);
    ScriptedRandom r{c.chance, 0.0};
    double d = 3.5;
    EXPECT_EQ(Choose(r, d), 1);
    EXPECT_DOUBLE_EQ(d, c.dAfter);
    EXPECT_EQ(static_cast<int>(d), c.day);
    EXPECT_TRUE(r.AllDrawn());
  }
}

TEST_F(SlotSearch, MovedToThursdayWithThursdayAndFridayBarredFallsBackToWednesdayFirst) {
  MarkCourseDay("02", 4, kNever);
  MarkCourseDay("02", 5, kNever);
  ScriptedRandom r{0.75, 0.0};
  double d = 3.5;
  EXPECT_EQ(Choose(r, d), 1);
  EXPECT_DOUBLE_EQ(d, 3.0) << "Wednesday, before Tuesday and Monday";
  EXPECT_TRUE(r.AllDrawn());
}

TEST_F(SlotSearch, FractionOnFridayDrawsNoChance) {
  ScriptedRandom r{0.999};  // only the pick
  double d = 5.5;
  EXPECT_EQ(Choose(r, d, 2.0), 6);
  EXPECT_DOUBLE_EQ(d, 5.5);
  EXPECT_TRUE(r.AllDrawn());
}

TEST_F(SlotSearch, PositionPastFridaySearchesFromFridayBackwards) {
  ScriptedRandom r{0.0, 0.0, 0.0};
  double d = 6.0;
  EXPECT_EQ(Choose(r, d), 1);
  EXPECT_DOUBLE_EQ(d, 5.0);

  MarkCourseDay("02", 5, kNever);
  d = 6.0;
  EXPECT_EQ(Choose(r, d), 1);
  EXPECT_DOUBLE_EQ(d, 4.0);

  for (int day : {2, 3, 4}) MarkCourseDay("02", day, kNever);
  d = 7.0;
  EXPECT_EQ(Choose(r, d), 1);
  EXPECT_DOUBLE_EQ(d, 1.0);
}

TEST_F(SlotSearch, LaterDaysAreTriedBeforeEarlierOnes) {
  // Only Monday and Thursday are open; from Wednesday, Thursday wins.
  for (int day : {1, 2, 3, 4, 5})
    if (day != 1 && day != 4) MarkCourseDay("02", day, kNever);
  ScriptedRandom r{0.0, 0.0};
  double d = 3.0;
  EXPECT_EQ(Choose(r, d), 1);
  EXPECT_DOUBLE_EQ(d, 4.0);
  d = 4.0;
  t.AddLesson("101", 4, 1, "02", "T1", 1);  // Thursday now holds its one lesson a day
  EXPECT_EQ(Choose(r, d), 1);
  EXPECT_DOUBLE_EQ(d, 1.0);
}

TEST_F(SlotSearch, NoAcceptableSlotInTheWeekRestoresThePosition) {
  for (int day = 1; day <= 5; ++day) MarkCourseDay("02", day, kNever);
  ScriptedRandom none{};
  double d = 2.25;
  EXPECT_EQ(Choose(none, d), -1);
  EXPECT_DOUBLE_EQ(d, 2.25);
}

}  // namespace
}  // namespace orv
