// SPDX-License-Identifier: GPL-3.0-or-later
// Every consumer trusts these answers, so each rule is tried on the cell it
// is about and on its neighbours: a rule that fires where it should not
// closes periods to generation and swaps; one that stays silent lets a clash
// through.
#include <gtest/gtest.h>

#include <algorithm>

#include "core/rules/rule_book.h"
#include "core/rules/rule_index.h"
#include "support/test_db.h"

namespace orv {
namespace {

constexpr int kAutomatic = DbValue(LessonOrigin::Automatic), kFixed = DbValue(LessonOrigin::Fixed);

class RuleBookTest : public ::testing::Test {
 protected:
  RuleBookTest() {
    for (const char* c : {"101", "102"}) t.AddClass(c, std::string(c) + "班");
    t.AddCourse("01", "语文");
    t.AddCourse("02", "信息技术");
    t.AddCourse("03", "音乐");
    t.AddTeacher("T1", "王伟");
    t.AddTeacher("T2", "李娜");
    t.AddSpecialCourse("02");
    t.AddPlan("101", "01", "T1", 5);  // daily cap 2
    t.AddPlan("101", "02", "T2", 2);  // daily cap 1
    t.AddPlan("102", "02", "T2", 2);
  }
  const SchoolModel& Load() {
    Result<SchoolModel> m = LoadSchoolModel(t.db(), SchoolWeek(6));
    EXPECT_TRUE(m) << m.message();
    model = std::move(*m);
    return model;
  }
  void Set(RuleKey key, RuleScope scope, const char* code, int value, const char* course = "") {
    ASSERT_TRUE(SetSchoolRule(t.db(), {key, scope, code, course, value}));
  }
  Candidate Of(const char* cls, const char* course, const char* teacher) const {
    return {model.ClassIndex(cls), model.CourseIndex(course), model.TeacherIndex(teacher)};
  }
  test::TestDb t;
  SchoolModel model;
};

TEST_F(RuleBookTest, ClashesOfClassTeacherAndSpecialCourse) {
  t.AddLesson("101", 1, 1, "01", "T1", kAutomatic);
  t.AddLesson("102", 1, 2, "02", "T2", kAutomatic);
  Load();
  // The class's own period, the teacher's period in another class, the
  // special course held by another class.
  EXPECT_TRUE(orv::Test(model, Of("101", "03", "T2"), PeriodOf(1, 1)).Has(Rule::kClassClash));
  EXPECT_EQ(orv::Test(model, Of("102", "03", "T1"), PeriodOf(1, 1)), RuleSet{Rule::kTeacherClash});
  const RuleSet special = orv::Test(model, Of("101", "02", "T1"), PeriodOf(1, 2));
  EXPECT_TRUE(special.Has(Rule::kSpecialCourseClash));
  EXPECT_FALSE(special.Has(Rule::kClassClash));
  // An ordinary course shared by two classes in one period is no clash.
  EXPECT_TRUE(orv::Test(model, Of("101", "01", "T1"), PeriodOf(1, 2), {Rule::kSpecialCourseClash}).Empty());
  // A lesson where it stands is not in its own way, nor are both lessons of a swap.
  EXPECT_TRUE(orv::Test(model, Candidate::Of(model, 0), PeriodOf(1, 1)).Empty());
  EXPECT_TRUE(orv::Test(model, Candidate::Of(model, 1, 0), PeriodOf(1, 1), {Rule::kClassClash}).Empty());
}

TEST_F(RuleBookTest, NeverCellsOfCourseClassAndTeacherAndTheAvoidCell) {
  t.AddLimit(DbValue(LimitKind::Course), "01", 2, 1, DbValue(LimitMark::Never));
  t.AddLimit(DbValue(LimitKind::Class), "101", 2, 2, DbValue(LimitMark::Never));
  t.AddLimit(DbValue(LimitKind::Teacher), "T1", 2, 3, DbValue(LimitMark::Never));
  t.AddLimit(DbValue(LimitKind::Course), "01", 2, 4, DbValue(LimitMark::Avoid));
  // Two rows on one cell: the stricter counts.
  t.AddLimit(DbValue(LimitKind::Course), "01", 2, 5, DbValue(LimitMark::Best));
  t.AddLimit(DbValue(LimitKind::Course), "01", 2, 5, DbValue(LimitMark::Never));
  Load();
  const Candidate c = Of("101", "01", "T1");
  EXPECT_EQ(orv::Test(model, c, PeriodOf(2, 1)), RuleSet{Rule::kCourseNever});
  EXPECT_EQ(orv::Test(model, c, PeriodOf(2, 2)), RuleSet{Rule::kClassNever});
  EXPECT_EQ(orv::Test(model, c, PeriodOf(2, 3)), RuleSet{Rule::kTeacherNever});
  EXPECT_EQ(orv::Test(model, c, PeriodOf(2, 4)), RuleSet{Rule::kCourseAvoid});
  EXPECT_EQ(orv::Test(model, c, PeriodOf(2, 5)), RuleSet{Rule::kCourseNever});
  EXPECT_TRUE(orv::Test(model, c, PeriodOf(2, 6)).Empty());
  // Marks of one do not close the period to another.
  EXPECT_TRUE(orv::Test(model, Of("102", "02", "T2"), PeriodOf(2, 1)).Empty());
  const std::vector<BrokenRule> why = Check(model, c, PeriodOf(2, 3));
  ASSERT_EQ(why.size(), 1u);
  EXPECT_EQ(why[0].reason, "教师王伟此时段设为不排");
}

TEST_F(RuleBookTest, DailyCapCountsTheCandidateAndTheFirstPlanRow) {
  t.AddPlan("101", "01", "T2", 10);  // a later row for the same course: its count does not set the cap
  t.AddLesson("101", 3, 1, "01", "T1", kFixed);
  t.AddLesson("101", 3, 2, "01", "T1", kAutomatic);
  t.AddLesson("101", 3, 3, "02", "T2", kAutomatic);
  Load();
  const Candidate c = Of("101", "01", "T1");
  EXPECT_TRUE(orv::Test(model, c, PeriodOf(3, 5)).Has(Rule::kDailyCap));
  EXPECT_FALSE(orv::Test(model, c, PeriodOf(4, 5)).Has(Rule::kDailyCap));
  // Moving one of the day's lessons to another period of the same day keeps two.
  EXPECT_FALSE(orv::Test(model, Candidate::Of(model, 1), PeriodOf(3, 5)).Has(Rule::kDailyCap));
  const std::vector<BrokenRule> why = Check(model, c, PeriodOf(3, 5), {Rule::kDailyCap});
  ASSERT_EQ(why.size(), 1u);
  EXPECT_EQ(why[0].reason, "星期三 将有3节，超过每天最多2节");
  // A course the class's plan does not hold has no cap.
  EXPECT_TRUE(orv::Test(model, Of("101", "03", "T1"), PeriodOf(3, 5), {Rule::kDailyCap}).Empty());
  EXPECT_EQ(PlanDailyCap(5), 2);
  EXPECT_EQ(PlanDailyCap(4), 1);
  EXPECT_EQ(PlanDailyCap(0), 1);
}

TEST_F(RuleBookTest, OutsideTheWeekIsTheOnlyAnswerThere) {
  Load();
  const Candidate c = Of("101", "01", "T1");
  EXPECT_EQ(orv::Test(model, c, -1), RuleSet{Rule::kOutsideWeek});
  EXPECT_EQ(orv::Test(model, c, PeriodOf(1, 7)), RuleSet{Rule::kOutsideWeek});
  EXPECT_TRUE(orv::Test(model, c, PeriodOf(1, 7), {Rule::kClassClash}).Empty());
  EXPECT_EQ(Check(model, c, -1)[0].reason, "不在每周五天、每天6节课的范围内");
}

TEST_F(RuleBookTest, EveryRuleIsNamedAndDescribedOnce) {
  for (int i = 0; i < kRuleCount; ++i) {
    const RuleInfo& info = AllRules()[static_cast<size_t>(i)];
    EXPECT_EQ(static_cast<int>(info.rule), i);
    EXPECT_FALSE(info.name.empty());
    EXPECT_FALSE(info.description.empty());
    EXPECT_EQ(std::count_if(AllRules().begin(), AllRules().end(),
                            [&](const RuleInfo& o) { return o.name == info.name; }),
              1);
  }
  EXPECT_EQ(InfoOf(Rule::kClassClash).strength, RuleStrength::kHard);
  EXPECT_EQ(InfoOf(Rule::kDailyCap).strength, RuleStrength::kSoft);
}

TEST_F(RuleBookTest, TheIndexClosesNeverCellsAndFindsClashingWalls) {
  t.AddLimit(DbValue(LimitKind::Teacher), "T2", 1, 1, DbValue(LimitMark::Never));
  t.AddLesson("101", 4, 1, "02", "T2", kFixed);
  t.AddLesson("102", 4, 1, "02", "T2", kFixed);  // the same teacher and special course again
  t.AddLesson("102", 4, 2, "02", "T2", kAutomatic);
  Load();
  IndexRules(model);
  const PlanNeed& need = model.needs[1];  // 101 信息技术 李娜
  EXPECT_FALSE(need.open & PeriodBit(PeriodOf(1, 1)));
  EXPECT_TRUE(need.open & PeriodBit(PeriodOf(1, 2)));
  EXPECT_FALSE(need.open & PeriodBit(PeriodOf(1, 7)));  // past the day
  EXPECT_FALSE(model.lessons[0].clashes);
  EXPECT_TRUE(model.lessons[1].clashes);
  EXPECT_FALSE(model.lessons[2].clashes);  // it moves: no wall
  EXPECT_EQ(model.capGroups[static_cast<size_t>(model.needs[0].capGroup)].cap, 2);
}

TEST_F(RuleBookTest, TeacherLimitsCountTheCandidateAndNotTheLeavingLessons) {
  Set(RuleKey::kMaxLessonsPerDay, RuleScope::kTeacher, "T1", 3);
  Set(RuleKey::kMaxInARow, RuleScope::kSchool, "", 2);
  // Wednesday: 王伟 teaches lessons 1, 2 and 5; 李娜 has no limits stated but the school's run.
  for (int n : {1, 2, 5}) t.AddLesson("101", 3, n, "01", "T1", kAutomatic);
  Load();
  const Candidate c = Of("102", "03", "T1");
  constexpr RuleSet kLimits = {Rule::kTeacherDayMax, Rule::kTeacherInARow, Rule::kTeacherGaps};
  // Lesson 3 makes four lessons and a run of three.
  EXPECT_EQ(orv::Test(model, c, PeriodOf(3, 3), kLimits),
            (RuleSet{Rule::kTeacherDayMax, Rule::kTeacherInARow}));
  // Lesson 4 runs 1-2 and 4 with a break between; lunch parts it from 5.
  EXPECT_EQ(orv::Test(model, c, PeriodOf(3, 4), kLimits), RuleSet{Rule::kTeacherDayMax});
  EXPECT_TRUE(orv::Test(model, c, PeriodOf(2, 3), kLimits).Empty());
  // Lesson 6 after 5: a run of two is allowed.
  EXPECT_FALSE(orv::Test(model, c, PeriodOf(3, 6), kLimits).Has(Rule::kTeacherInARow));
  // Moving one of the day's own lessons within the day keeps three.
  EXPECT_TRUE(orv::Test(model, Candidate::Of(model, 2), PeriodOf(3, 4), kLimits).Empty());
  // Nothing is asked unless asked for: generation's rules stay as they were.
  EXPECT_TRUE(orv::Test(model, c, PeriodOf(3, 3), {Rule::kClassClash, Rule::kDailyCap}).Empty());
  const std::vector<BrokenRule> why = Check(model, c, PeriodOf(3, 3), kLimits);
  ASSERT_EQ(why.size(), 2u);
  EXPECT_EQ(why[0].reason, "教师王伟 星期三 将有4节，超过每天最多3节");
  EXPECT_EQ(why[1].reason, "教师王伟 星期三 将连续上3节，超过最多2节");
}

TEST_F(RuleBookTest, GapsOfTheTeachersWeekAndTheClassesDay) {
  Set(RuleKey::kMaxGapsPerWeek, RuleScope::kTeacher, "T1", 1);
  Set(RuleKey::kNoClassGaps, RuleScope::kClass, "101", 1);
  t.AddLimit(DbValue(LimitKind::Teacher), "T1", 1, 3, DbValue(LimitMark::Never));
  // Monday: 王伟 teaches 1 and 4; lesson 2 is idle, lesson 3 his own 不排.
  for (int n : {1, 4}) t.AddLesson("101", 1, n, "01", "T1", kAutomatic);
  Load();
  const Candidate c = Of("102", "03", "T1");
  // One idle period is allowed; a second on Tuesday is one too many.
  EXPECT_FALSE(orv::Test(model, c, PeriodOf(2, 1), {Rule::kTeacherGaps}).Has(Rule::kTeacherGaps));
  EXPECT_FALSE(orv::Test(model, c, PeriodOf(1, 6), {Rule::kTeacherGaps}).Empty());
  // Filling the idle period leaves none.
  EXPECT_TRUE(orv::Test(model, c, PeriodOf(1, 2), {Rule::kTeacherGaps}).Empty());
  EXPECT_EQ(Check(model, c, PeriodOf(1, 6), {Rule::kTeacherGaps})[0].reason,
            "教师王伟 本周将有2个空节，超过最多1个");
  // 101 has a free lesson 2 and 3 on Monday between 1 and 4: a candidate
  // there leaves a gap, one at the end of the afternoon makes none on Tuesday.
  const Candidate k = Of("101", "03", "T2");
  EXPECT_EQ(orv::Test(model, k, PeriodOf(1, 2), {Rule::kClassGaps}), RuleSet{Rule::kClassGaps});
  EXPECT_EQ(orv::Test(model, k, PeriodOf(2, 2), {Rule::kClassGaps}), RuleSet{Rule::kClassGaps});
  EXPECT_TRUE(orv::Test(model, k, PeriodOf(2, 1), {Rule::kClassGaps}).Empty());
  EXPECT_EQ(Check(model, k, PeriodOf(2, 2), {Rule::kClassGaps})[0].reason, "101班 星期二 将有空节");
  // Only the class that states it.
  EXPECT_TRUE(orv::Test(model, Of("102", "03", "T2"), PeriodOf(2, 2), {Rule::kClassGaps}).Empty());
}

TEST_F(RuleBookTest, ASpecialCourseBreaksOnlyWhenEveryRoomIsTaken) {
  t.AddClass("103", "103班");
  t.AddTeacher("T3", "赵敏");
  t.AddLesson("102", 1, 1, "02", "T2", kAutomatic);
  t.AddLesson("103", 1, 1, "02", "T3", kAutomatic);
  t.AddLesson("102", 1, 2, "02", "T2", kAutomatic);
  Set(RuleKey::kRooms, RuleScope::kCourse, "02", 2);
  Load();
  const Candidate c = Of("101", "02", "T1");
  // Two rooms: one other class leaves one free, two take both.
  EXPECT_TRUE(orv::Test(model, c, PeriodOf(1, 2), {Rule::kSpecialCourseClash}).Empty());
  EXPECT_TRUE(InTheWay(model, c, PeriodOf(1, 2), Rule::kSpecialCourseClash).empty());
  EXPECT_EQ(orv::Test(model, c, PeriodOf(1, 1), {Rule::kSpecialCourseClash}),
            RuleSet{Rule::kSpecialCourseClash});
  EXPECT_EQ(InTheWay(model, c, PeriodOf(1, 1), Rule::kSpecialCourseClash), (std::vector<int>{0, 1}));
  EXPECT_EQ(Check(model, c, PeriodOf(1, 1), {Rule::kSpecialCourseClash})[0].reason,
            "已有2个班级上课，专用教室只有2间");
  // One of them leaving frees a room.
  Candidate swap = c;
  swap.leaving = {1, -1};
  EXPECT_TRUE(orv::Test(model, swap, PeriodOf(1, 1), {Rule::kSpecialCourseClash}).Empty());
}

TEST_F(RuleBookTest, APairOfADoubleCountsOnceTowardTheDailyCap) {
  t.AddLesson("101", 3, 1, "01", "T1", kAutomatic);
  t.AddLesson("101", 3, 2, "01", "T1", kAutomatic);
  Load();
  const Candidate yuwen = Of("101", "01", "T1");
  // Without doubles asked, a third lesson breaks the cap of 2 wherever it goes.
  EXPECT_TRUE(orv::Test(model, yuwen, PeriodOf(3, 3), {Rule::kDailyCap}).Has(Rule::kDailyCap));
  Set(RuleKey::kDoublesPerWeek, RuleScope::kClassCourse, "101", 1, "01");
  Load();
  // Lessons 1-2 are the double: lesson 5 makes two counted.
  EXPECT_TRUE(orv::Test(model, yuwen, PeriodOf(3, 5), {Rule::kDailyCap}).Empty());
  // Lesson 3 makes 1-2 a pair and 3 a second lesson: still two counted.
  EXPECT_TRUE(orv::Test(model, yuwen, PeriodOf(3, 3), {Rule::kDailyCap}).Empty());
  // Only one pair is asked: a second pair (5-6) counts as two.
  t.AddLesson("101", 3, 5, "01", "T1", kAutomatic);
  Load();
  EXPECT_TRUE(orv::Test(model, yuwen, PeriodOf(3, 6), {Rule::kDailyCap}).Has(Rule::kDailyCap));
  EXPECT_EQ(Check(model, yuwen, PeriodOf(3, 6), {Rule::kDailyCap})[0].reason,
            "星期三 将有4节（连堂1次按1节计），超过每天最多2节");
  // A pair across lunch is none: 4 and 5.
  EXPECT_TRUE(orv::Test(model, yuwen, PeriodOf(3, 4), {Rule::kDailyCap}).Has(Rule::kDailyCap));
  // A double is a week's matter: no placement breaks it.
  EXPECT_TRUE(orv::Test(model, yuwen, PeriodOf(1, 1), {Rule::kDoubles}).Empty());
}

}  // namespace
}  // namespace orv
