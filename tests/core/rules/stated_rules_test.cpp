// SPDX-License-Identifier: GPL-3.0-or-later
// Each stated rule is measured only for whom it is stated, and a breach says
// by how much: the optimiser repairs by these numbers, so an off-by-one here
// is a timetable the school cannot keep.
#include <gtest/gtest.h>

#include <algorithm>

#include "core/rules/stated_rules.h"
#include "support/test_db.h"

namespace orv {
namespace {

constexpr int kAuto = DbValue(LessonOrigin::Automatic);

class StatedRulesTest : public ::testing::Test {
 protected:
  StatedRulesTest() {
    for (const char* c : {"101", "102", "103"}) t.AddClass(c, c);
    t.AddCourse("01", "语文");
    t.AddCourse("02", "信息技术");
    t.AddTeacher("T1", "王伟");
    t.AddTeacher("T2", "李娜");
    t.AddSpecialCourse("02");
    t.AddPlan("101", "01", "T1", 6);
    for (const char* c : {"101", "102", "103"}) t.AddPlan(c, "02", "T2", 1);
    // Monday: T1 teaches 101 lessons 1, 2, 3 and 5; lesson 4 is free.
    for (int n : {1, 2, 3, 5}) t.AddLesson("101", 1, n, "01", "T1", kAuto);
    // Tuesday 1st: all three classes have 信息技术.
    for (const char* c : {"101", "102", "103"}) t.AddLesson(c, 2, 1, "02", "T2", kAuto);
  }
  std::vector<StatedBreach> Breaches() {
    Result<SchoolModel> m = LoadSchoolModel(t.db(), SchoolWeek(6));
    EXPECT_TRUE(m) << m.message();
    model = std::move(*m);
    return StatedBreaches(model);
  }
  static const StatedBreach* Find(const std::vector<StatedBreach>& all, Rule rule) {
    auto it = std::find_if(all.begin(), all.end(), [&](const StatedBreach& b) { return b.rule == rule; });
    return it == all.end() ? nullptr : &*it;
  }
  void Set(RuleKey key, RuleScope scope, const char* code, int value) {
    ASSERT_TRUE(SetSchoolRule(t.db(), {key, scope, code, "", value}));
  }
  test::TestDb t;
  SchoolModel model;
};

TEST_F(StatedRulesTest, NothingIsABreachUntilItIsStated) {
  const std::vector<StatedBreach> all = Breaches();
  // One room is every special course's default: three classes at once are two too many.
  ASSERT_EQ(all.size(), 1u);
  EXPECT_EQ(all[0].rule, Rule::kSpecialCourseClash);
  EXPECT_EQ(all[0].amount, 2);
  EXPECT_EQ(all[0].period, PeriodOf(2, 1));
}

TEST_F(StatedRulesTest, EachRuleCountsHowFarPastItsLimit) {
  Set(RuleKey::kMaxLessonsPerDay, RuleScope::kTeacher, "T1", 3);
  Set(RuleKey::kMaxInARow, RuleScope::kSchool, "", 2);
  Set(RuleKey::kMaxGapsPerWeek, RuleScope::kTeacher, "T1", 0);
  Set(RuleKey::kNoClassGaps, RuleScope::kClass, "101", 1);
  Set(RuleKey::kRooms, RuleScope::kCourse, "02", 3);
  ASSERT_TRUE(SetSchoolRule(t.db(), {RuleKey::kDoublesPerWeek, RuleScope::kClassCourse, "101", "01", 2}));
  const std::vector<StatedBreach> all = Breaches();
  const int t1 = model.TeacherIndex("T1");
  const StatedBreach* day = Find(all, Rule::kTeacherDayMax);
  ASSERT_NE(day, nullptr);
  EXPECT_EQ(std::tuple(day->who, day->day, day->amount, day->limit), std::tuple(t1, 1, 1, 3));
  const StatedBreach* run = Find(all, Rule::kTeacherInARow);
  ASSERT_NE(run, nullptr);
  EXPECT_EQ(run->amount, 1);  // lessons 1-3; lunch parts 4 from 5 anyway
  const StatedBreach* gaps = Find(all, Rule::kTeacherGaps);
  ASSERT_NE(gaps, nullptr);
  EXPECT_EQ(gaps->amount, 1);  // lesson 4
  // Lesson 4 of 101 ends the morning: no class gap.
  EXPECT_EQ(Find(all, Rule::kClassGaps), nullptr);
  const StatedBreach* doubles = Find(all, Rule::kDoubles);
  ASSERT_NE(doubles, nullptr);
  EXPECT_EQ(doubles->amount, 1);                             // 1-2 is a pair, 3 stands alone: one of two
  EXPECT_EQ(Find(all, Rule::kSpecialCourseClash), nullptr);  // three rooms
  EXPECT_EQ(TeacherBreach(model, t1), 3);
  EXPECT_EQ(TeacherBreach(model, model.TeacherIndex("T2")), 0);
  EXPECT_EQ(RoomBreach(model, model.CourseIndex("02"), PeriodOf(2, 1)), 0);
}

TEST_F(StatedRulesTest, AClassGapBindsOnlyTheClassesStatedFor) {
  t.AddLesson("102", 3, 3, "02", "T2", kAuto);  // 102 free at 1 and 2 before a lesson: two gaps
  Set(RuleKey::kNoClassGaps, RuleScope::kSchool, "", 1);
  Set(RuleKey::kNoClassGaps, RuleScope::kClass, "103", 0);
  Set(RuleKey::kRooms, RuleScope::kCourse, "02", 3);
  const std::vector<StatedBreach> all = Breaches();
  ASSERT_EQ(all.size(), 1u);
  EXPECT_EQ(all[0].rule, Rule::kClassGaps);
  EXPECT_EQ(all[0].who, model.ClassIndex("102"));
  EXPECT_EQ(all[0].amount, 2);
  EXPECT_EQ(ClassBreach(model, model.ClassIndex("102")), 2);
}

}  // namespace
}  // namespace orv
