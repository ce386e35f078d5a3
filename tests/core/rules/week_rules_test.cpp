// SPDX-License-Identifier: GPL-3.0-or-later
// The day and week measures every later rule and score stands on: an idle
// period counted wrong, or a lunch break that does not end a run, would make
// the optimiser chase the wrong timetable.
#include <gtest/gtest.h>

#include "core/rules/week_rules.h"
#include "support/test_db.h"

namespace orv {
namespace {

constexpr int kAuto = DbValue(LessonOrigin::Automatic);

class WeekRulesTest : public ::testing::Test {
 protected:
  WeekRulesTest() {
    t.AddClass("101", "一（1）班");
    t.AddClass("102", "一（2）班");
    t.AddCourse("01", "语文");
    t.AddCourse("02", "数学");
    t.AddTeacher("T1", "王伟");
    t.AddPlan("101", "01", "T1", 6);
    t.AddPlan("102", "02", "T1", 4);
  }
  SchoolModel Load() {
    Result<SchoolModel> m = LoadSchoolModel(t.db(), SchoolWeek(6));
    EXPECT_TRUE(m) << m.message();
    return m ? *m : SchoolModel{};
  }
  test::TestDb t;
};

TEST_F(WeekRulesTest, TeacherIdlePeriodsSkipTheirOwnNeverCellsAndLunchEndsARun) {
  t.AddLimit(DbValue(LimitKind::Teacher), "T1", 1, 2, DbValue(LimitMark::Never));
  for (int n : {1, 3, 6}) t.AddLesson("101", 1, n, "01", "T1", kAuto);
  for (int n : {3, 4, 5}) t.AddLesson(n == 4 ? "102" : "101", 2, n, n == 4 ? "02" : "01", "T1", kAuto);
  const SchoolModel m = Load();
  const int t1 = m.TeacherIndex("T1");
  EXPECT_EQ(TeacherIdle(m, t1, 1), 2);  // lessons 4 and 5; lesson 2 is the teacher's 不排
  EXPECT_EQ(TeacherIdle(m, t1, 2), 0);
  EXPECT_EQ(TeacherIdle(m, t1, 3), 0);  // no lesson, no idle period
  EXPECT_EQ(TeacherIdleWeek(m, t1), 2);
  EXPECT_EQ(LongestRun(m, TeacherDay(m, t1, 2), 2), 2);  // 3-4, then lunch, then 5
  EXPECT_EQ(LongestRun(m, TeacherDay(m, t1, 1), 1), 1);
}

TEST_F(WeekRulesTest, AClassGapIsAFreePeriodWithALessonLaterInTheSameHalfDay) {
  for (int n : {1, 3, 6}) t.AddLesson("101", 1, n, "01", "T1", kAuto);
  for (int n : {2, 3}) t.AddLesson("101", 2, n, "01", "T1", kAuto);  // lesson 1 free: a gap
  t.AddLimit(DbValue(LimitKind::Class), "101", 3, 1, DbValue(LimitMark::Never));
  t.AddLesson("101", 3, 2, "01", "T1", kAuto);  // lesson 1 is the class's own 不排
  const SchoolModel m = Load();
  const int c = m.ClassIndex("101");
  EXPECT_EQ(ClassGaps(m, c, 1), 2);  // lesson 2, and lesson 5 before 6; lesson 4 ends the morning
  EXPECT_EQ(ClassGaps(m, c, 2), 1);
  EXPECT_EQ(ClassGaps(m, c, 3), 0);
  EXPECT_EQ(ClassGapsWeek(m, c), 3);
}

TEST_F(WeekRulesTest, DoublesNeverCrossLunchAndEachLessonPairsOnce) {
  for (int n : {1, 2, 3}) t.AddLesson("101", 1, n, "01", "T1", kAuto);  // one pair, one left over
  for (int n : {4, 5}) t.AddLesson("101", 2, n, "01", "T1", kAuto);     // across lunch: none
  t.AddLesson("101", 3, 1, "01", "T1", kAuto);
  ASSERT_TRUE(SetSchoolRule(t.db(), {RuleKey::kDoublesPerWeek, RuleScope::kCourse, "01", "", 1}));
  const SchoolModel m = Load();
  const int g = m.CapGroupOf(m.ClassIndex("101"), m.CourseIndex("01"));
  EXPECT_EQ(GroupDayDoubles(m, g, 1), 1);
  EXPECT_EQ(GroupDayDoubles(m, g, 2), 0);
  EXPECT_EQ(GroupDoubles(m, g), 1);
  EXPECT_EQ(GroupDayLessons(m, g), (std::vector<int>{3, 2, 1, 0, 0}));
  EXPECT_EQ(GroupDays(m, g), 3);
  // Repeats beyond the first: 2 + 1 = 3; one is the asked double, one the
  // sixth lesson of a five-day week: one was avoidable.
  EXPECT_EQ(AvoidableRepeats(m, g), 1);
}

}  // namespace
}  // namespace orv
