// SPDX-License-Identifier: GPL-3.0-or-later
// The stated rules through the life of the data: deleting records, data
// maintenance, clearing the timetable and the school-year upgrade.
#include <gtest/gtest.h>

#include <algorithm>

#include "core/database/code_lists.h"
#include "core/database/maintenance.h"
#include "core/database/school_rules.h"
#include "core/database/special_courses.h"
#include "support/test_db.h"

namespace orv {
namespace {

using R = SchoolRule;

class RuleLifecycle : public testing::Test {
 protected:
  void SetUp() override {
    for (const char* c : {"11", "51", "61"}) t.AddClass(c, std::string(c) + "班");
    t.AddCourse("YW", "语文");
    t.AddCourse("XX", "信息");
    t.AddSpecialCourse("XX");
    t.AddTeacher("T1", "王伟");
    t.AddTeacher("T2", "李雷");
    t.AddPlan("11", "YW", "T1", 5);
    t.AddLesson("11", 1, 1, "YW", "T1", 1);
    for (const R& rule : kRules) ASSERT_TRUE(SetSchoolRule(t.db(), rule)) << InfoOf(rule.key).text;
  }
  std::vector<R> Stored() {
    auto rules = LoadSchoolRules(t.db());
    EXPECT_TRUE(rules);
    return rules ? *rules : std::vector<R>{};
  }
  std::vector<R> Without(std::initializer_list<R> gone) {
    std::vector<R> left;
    for (const R& r : kRules)
      if (std::find(gone.begin(), gone.end(), r) == gone.end()) left.push_back(r);
    std::sort(left.begin(), left.end(), [](const R& a, const R& b) {
      return std::tie(InfoOf(a.key).text, a.scope, a.code, a.courseCode) <
             std::tie(InfoOf(b.key).text, b.scope, b.code, b.courseCode);
    });
    return left;
  }
  static inline const R kSchool{RuleKey::kMaxLessonsPerDay, RuleScope::kSchool, "", "", 4};
  static inline const R kT1{RuleKey::kMaxInARow, RuleScope::kTeacher, "T1", "", 3};
  static inline const R kT2{RuleKey::kMaxInARow, RuleScope::kTeacher, "T2", "", 2};
  static inline const R kClass11{RuleKey::kNoClassGaps, RuleScope::kClass, "11", "", 1};
  static inline const R kClass51{RuleKey::kNoClassGaps, RuleScope::kClass, "51", "", 1};
  static inline const R kYW{RuleKey::kDoublesPerWeek, RuleScope::kCourse, "YW", "", 1};
  static inline const R k11YW{RuleKey::kDoublesPerWeek, RuleScope::kClassCourse, "11", "YW", 2};
  static inline const R k51YW{RuleKey::kDoublesPerWeek, RuleScope::kClassCourse, "51", "YW", 1};
  static inline const R k61YW{RuleKey::kDoublesPerWeek, RuleScope::kClassCourse, "61", "YW", 1};
  static inline const R kRooms{RuleKey::kRooms, RuleScope::kCourse, "XX", "", 2};
  static inline const std::vector<R> kRules = {kSchool, kT1,   kT2,   kClass11, kClass51,
                                               kYW,     k11YW, k51YW, k61YW,    kRooms};
  test::TestDb t;
};

TEST_F(RuleLifecycle, DeletingARecordTakesItsRulesAlongInTheSameWrite) {
  ASSERT_TRUE(DeleteCodeRecord(t.db(), CodeTable::Teacher, "T1"));
  EXPECT_EQ(Stored(), Without({kT1}));
  ASSERT_TRUE(DeleteCodeRecord(t.db(), CodeTable::Class, "51"));
  EXPECT_EQ(Stored(), Without({kT1, kClass51, k51YW}));
  ASSERT_TRUE(DeleteCodeRecord(t.db(), CodeTable::Course, "YW"));
  EXPECT_EQ(Stored(), Without({kT1, kClass51, k51YW, kYW, k11YW, k61YW}));
  // A code that is not stored takes nothing with it.
  EXPECT_FALSE(DeleteCodeRecord(t.db(), CodeTable::Teacher, "T9"));
  EXPECT_EQ(Stored().size(), 4u);
}

TEST_F(RuleLifecycle, AnOrdinaryCourseLosesItsRoomCount) {
  ASSERT_TRUE(SetSpecialCourse(t.db(), "XX", true));
  EXPECT_EQ(Stored(), Without({})) << "marking it special again keeps the count";
  ASSERT_TRUE(SetSpecialCourse(t.db(), "XX", false));
  EXPECT_EQ(Stored(), Without({kRooms}));
}

TEST_F(RuleLifecycle, MaintenanceRemovesTheRulesOfGoneRecordsAndCountsThem) {
  // Records removed behind the editors' back, as another program might.
  t.db().Execute("delete from Teachertb where Code='T2'");
  t.db().Execute("delete from Classtb where Code='61'");
  t.db().Execute("delete from CourseAttrtb");
  t.db().Execute("insert into SchoolRuletb values ('doubles-per-week',4,'11','GONE',1)");
  t.db().Execute("insert into SchoolRuletb values ('some-future-rule',1,'T1','',1)");
  const Result<MaintenanceReport> report = MaintainData(t.db());
  ASSERT_TRUE(report) << report.message();
  EXPECT_EQ(report->schoolRules, 4);
  EXPECT_EQ(Stored(), Without({kT2, k61YW, kRooms}));
  EXPECT_EQ(t.Count("select count(*) from SchoolRuletb where RuleKey='some-future-rule'"), 1)
      << "a rule this version does not know is another program's to keep";
  const auto lines = MaintenanceLines(*report);
  EXPECT_NE(
      std::find(lines.begin(), lines.end(), "删除对象已不存在的排课规则（或非专用课程的专用教室数）：4"),
      lines.end());
  EXPECT_EQ(MaintainData(t.db())->schoolRules, 0);
}

TEST_F(RuleLifecycle, ClearingTheTimetableKeepsTheRules) {
  ASSERT_TRUE(DeleteAllLessons(t.db()));
  EXPECT_EQ(t.Count("select count(*) from LessonListtb"), 0);
  EXPECT_EQ(Stored(), Without({}));
}

// A class's doubles go up a grade with its plan; its own rules stay with the
// code, as its marks do; a leaving class's doubles leave with it.
TEST_F(RuleLifecycle, TheUpgradeMovesDoublesWithThePlanAndKeepsTheRest) {
  ASSERT_TRUE(UpgradeSchoolYear(t.db()));
  const R k21YW{RuleKey::kDoublesPerWeek, RuleScope::kClassCourse, "21", "YW", 2};
  const R k61YWFrom51{RuleKey::kDoublesPerWeek, RuleScope::kClassCourse, "61", "YW", 1};
  std::vector<R> expected = Without({k11YW, k51YW, k61YW});
  expected.push_back(k21YW);
  expected.push_back(k61YWFrom51);
  const auto stored = Stored();
  EXPECT_TRUE(std::is_permutation(stored.begin(), stored.end(), expected.begin(), expected.end()))
      << stored.size() << " rules";
  EXPECT_EQ(t.Count("select count(*) from ClassPlantb where ClassCode='21'"), 1)
      << "the plan went the same way";
}

}  // namespace
}  // namespace orv
