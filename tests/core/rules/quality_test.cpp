// SPDX-License-Identifier: GPL-3.0-or-later
// The quality report over hand-made timetables: every number counted once,
// for whom it is about, and the score their weighted sum. The optimiser
// lowers this score, so a miscount here is a timetable made worse.
#include <gtest/gtest.h>

#include "core/rules/quality.h"
#include "support/test_db.h"

namespace orv {
namespace {

constexpr int kAuto = DbValue(LessonOrigin::Automatic);

class QualityTest : public ::testing::Test {
 protected:
  QualityTest() {
    t.AddClass("101", "一（1）班");
    t.AddClass("102", "一（2）班");
    t.AddCourse("01", "语文");
    t.AddCourse("02", "数学");
    t.AddTeacher("T1", "王伟");
    t.AddTeacher("T2", "李娜");
    t.AddTeacher("T3", "张敏");
    t.AddPlan("101", "01", "T1", 4);
    t.AddPlan("102", "01", "T1", 4);
    t.AddPlan("101", "02", "T2", 2);
    t.AddPlan("102", "02", "T3", 2);
    // 101: 语文 Mon 1-2 (a double), Tue 1, Wed 1; 数学 Mon 4 and 6.
    for (auto [day, n] : {std::pair{1, 1}, {1, 2}, {2, 1}, {3, 1}})
      t.AddLesson("101", day, n, "01", "T1", kAuto);
    t.AddLesson("101", 1, 4, "02", "T2", kAuto);
    t.AddLesson("101", 1, 6, "02", "T2", kAuto);
    // 102: 语文 Mon 3, Tue 2, Thu 1, Fri 1; 数学 Mon 1 and 6.
    for (auto [day, n] : {std::pair{1, 3}, {2, 2}, {4, 1}, {5, 1}})
      t.AddLesson("102", day, n, "01", "T1", kAuto);
    t.AddLesson("102", 1, 1, "02", "T3", kAuto);
    t.AddLesson("102", 1, 6, "02", "T3", kAuto);
    t.AddLimit(DbValue(LimitKind::Course), "01", 1, 1, DbValue(LimitMark::Best));
    t.AddLimit(DbValue(LimitKind::Teacher), "T2", 1, 6, DbValue(LimitMark::Avoid));
    EXPECT_TRUE(SetSchoolRule(t.db(), {RuleKey::kDoublesPerWeek, RuleScope::kClassCourse, "101", "01", 1}));
  }
  QualityReport Measure() {
    Result<QualityReport> r = MeasureQuality(t.db(), SchoolWeek(6));
    EXPECT_TRUE(r) << r.message();
    return r ? *r : QualityReport{};
  }
  test::TestDb t;
};

TEST_F(QualityTest, EachShortfallIsCountedForWhomItIsAbout) {
  const QualityReport r = Measure();
  EXPECT_EQ(r.lessons, 12);
  EXPECT_EQ(r.planned, 12);
  // 李娜 waits through Monday 5; 张敏 through Monday 2-5, one more than a week allows.
  EXPECT_EQ(r.teacherIdle, 5);
  EXPECT_EQ(r.worstTeacherIdle, 4);
  EXPECT_EQ(r.teachersOverAllowance, 1);
  // 101: Mon 3 and 5; 102: Mon 2 and 5, Tue 1. Mon 4 of 102 ends its morning.
  EXPECT_EQ(r.classGaps, 5);
  EXPECT_EQ(r.classesWithGaps, 2);
  // The stated double excuses 101's second 语文 on Monday; each class's
  // second 数学 on Monday is a repeat two days of the week would have avoided.
  EXPECT_EQ(r.repeats, 2);
  EXPECT_EQ(r.crowdedCourses, 1);  // 101's 语文: four lessons on three days
  EXPECT_EQ(r.doublesAsked, 1);
  EXPECT_EQ(r.doublesPlaced, 1);
  // Only the eight 语文 lessons want the course's one best cell; one has it.
  EXPECT_EQ(r.bestWanted, 8);
  EXPECT_EQ(r.bestLessons, 1);
  EXPECT_EQ(r.avoidLessons, 1);
  // 王伟's 语文: 101 has 2,1,1,0,0 lessons Monday to Friday, 102 1,1,0,1,1.
  EXPECT_EQ(r.parallelMismatch, 4);
  EXPECT_EQ(r.statedBreaches, 0);
  EXPECT_EQ(r.lessonBreaches, 0);
  EXPECT_EQ(r.score, kIdleWeight * 5 + kIdleOverWeight * 1 + kClassGapWeight * 5 + kRepeatWeight * 2 +
                         kAvoidWeight * 1 + kBestMissWeight * 7 + kParallelWeight * 4);
}

TEST_F(QualityTest, TheScoreIsTheSumOfTheEntitiesAndMovesShiftIt) {
  Result<SchoolModel> loaded = LoadSchoolModel(t.db(), SchoolWeek(6));
  ASSERT_TRUE(loaded);
  SchoolModel& m = *loaded;
  const std::vector<ParallelGroup> parallel = ParallelGroups(m);
  ASSERT_EQ(parallel.size(), 1u);  // 王伟's 语文 in two classes; the others teach one class each
  EXPECT_EQ(parallel[0].capGroups.size(), 2u);
  const long long before = QualityScore(m, parallel);
  EXPECT_EQ(before, MeasureQuality(m).score);

  // 张敏's Monday 6 to Monday 2: no idle periods, and 102 keeps only its Tuesday gap.
  int last = -1;
  for (int i : m.ClassAt(m.ClassIndex("102"), PeriodOf(1, 6))) last = i;
  ASSERT_GE(last, 0);
  const int t3 = m.TeacherIndex("T3"), c102 = m.ClassIndex("102");
  EXPECT_EQ(TeacherScore(m, t3), kIdleWeight * 4 + kIdleOverWeight);
  m.MoveLesson(last, 1, 2);
  EXPECT_EQ(TeacherScore(m, t3), 0);
  EXPECT_EQ(ClassScore(m, c102), kClassGapWeight);
  EXPECT_EQ(QualityScore(m, parallel), before - kIdleWeight * 4 - kIdleOverWeight - kClassGapWeight * 2);
}

TEST_F(QualityTest, BreachesCountStatedRulesAndEveryLessonThatCannotStand) {
  ASSERT_TRUE(SetSchoolRule(t.db(), {RuleKey::kMaxLessonsPerDay, RuleScope::kTeacher, "T1", "", 2}));
  // A second lesson in 102's Monday 1 clashes with 张敏's there and with
  // 王伟's own in 101: all three count.
  t.AddLesson("102", 1, 1, "01", "T1", kAuto);
  // 101's 数学 in a "不排" cell of the course.
  t.AddLimit(DbValue(LimitKind::Course), "02", 1, 4, DbValue(LimitMark::Never));
  const QualityReport r = Measure();
  // 王伟 teaches Monday 1 (twice), 2 and 3: one day over his limit.
  EXPECT_EQ(r.statedBreaches, 1);
  EXPECT_EQ(r.lessonBreaches, 4);
}

// The quality window's chart: a teacher without lessons has no row, and the
// rows run from the most idle teacher down, each with its week's loads.
TEST_F(QualityTest, TeacherLoadsListTeachersWithLessonsMostIdleFirst) {
  t.AddTeacher("T4", "赵强");
  Result<SchoolModel> loaded = LoadSchoolModel(t.db(), SchoolWeek(6));
  ASSERT_TRUE(loaded);
  std::string rows;
  for (const TeacherWeekLoad& l : TeacherLoads(*loaded)) {
    rows += l.name + ":" + std::to_string(l.idle) + ":";
    for (int n : l.perDay) rows += std::to_string(n);
    rows += " ";
  }
  EXPECT_EQ(rows, "张敏:4:20000 李娜:1:20000 王伟:0:32111 ");
}

}  // namespace
}  // namespace orv
