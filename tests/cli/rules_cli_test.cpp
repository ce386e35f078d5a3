// SPDX-License-Identifier: GPL-3.0-or-later
// `rules`: the school's rules listed, set and removed by name, and every bad
// request refused without a change.
#include <gtest/gtest.h>

#include "cli/cli_runner.h"
#include "core/database/school_rules.h"
#include "support/test_db.h"

namespace orv {
namespace {

using test::RunCli;

class CliRules : public testing::Test {
 protected:
  void SetUp() override {
    t.AddClass("71", "七（1）班");
    t.AddClass("72", "七（2）班");
    t.AddCourse("YW", "语文");
    t.AddCourse("XX", "信息");
    t.AddSpecialCourse("XX");
    t.AddTeacher("T1", "王伟");
    t.AddTeacher("T2", "张伟");
    t.AddTeacher("T3", "张伟");
    t.Close();
    db = t.path().string();
  }
  std::vector<SchoolRule> Stored() {
    t.Reopen();
    auto rules = LoadSchoolRules(t.db());
    t.Close();
    return rules ? *rules : std::vector<SchoolRule>{{}};
  }
  test::TestDb t;
  std::string db;
};

TEST_F(CliRules, SetsEachScopeByNameListsThemReadablyAndNoneRemoves) {
  const std::vector<std::string> sets[] = {
      {"--set", "max-lessons-per-day=4"},
      {"--set", "max-in-a-row=3", "--teacher", "王伟"},
      {"--set", "no-class-gaps=yes", "--class", "七（2）班"},
      {"--set", "doubles-per-week=1", "--class", "七（1）班", "--course", "语文"},
      {"--set", "doubles-per-week=2", "--course", "语文"},
      {"--set", "rooms=2", "--course", "信息"},
      {"--set", "max-gaps-per-week=0", "--teacher", "T3"},  // a shared name: the code names one
  };
  for (const auto& set : sets) {
    std::vector<std::string> args = {"rules", db};
    args.insert(args.end(), set.begin(), set.end());
    const auto run = RunCli(args);
    EXPECT_EQ(run.exitCode, 0) << testing::PrintToString(set) << run.err;
  }
  const std::vector<SchoolRule> expected = {
      {RuleKey::kMaxLessonsPerDay, RuleScope::kSchool, "", "", 4},
      {RuleKey::kMaxInARow, RuleScope::kTeacher, "T1", "", 3},
      {RuleKey::kMaxGapsPerWeek, RuleScope::kTeacher, "T3", "", 0},
      {RuleKey::kNoClassGaps, RuleScope::kClass, "72", "", 1},
      {RuleKey::kDoublesPerWeek, RuleScope::kCourse, "YW", "", 2},
      {RuleKey::kDoublesPerWeek, RuleScope::kClassCourse, "71", "YW", 1},
      {RuleKey::kRooms, RuleScope::kCourse, "XX", "", 2},
  };
  auto stored = Stored();
  for (const SchoolRule& rule : expected)
    EXPECT_NE(std::find(stored.begin(), stored.end(), rule), stored.end()) << InfoOf(rule.key).text;
  EXPECT_EQ(stored.size(), expected.size());

  auto run = RunCli({"rules", db});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  for (const char* line :
       {"max-lessons-per-day = 4  (全校)", "max-in-a-row = 3  (教师 王伟（T1）)",
        "no-class-gaps = yes  (班级 七（2）班（72）)",
        "doubles-per-week = 1  (班级 七（1）班（71） 课程 语文（YW）)", "rooms = 2  (课程 信息（XX）)"})
    EXPECT_NE(run.out.find(line), std::string::npos) << line << "\n" << run.out;
  EXPECT_EQ(test::LastLine(run.out), "排课规则：7 条");

  run = RunCli({"rules", db, "--set", "max-in-a-row=none", "--teacher", "王伟"});
  EXPECT_EQ(run.exitCode, 0) << run.err;
  run = RunCli({"rules", db, "--set", "no-class-gaps=no", "--class", "七（2）班"});
  EXPECT_EQ(run.exitCode, 0) << run.err;
  stored = Stored();
  EXPECT_EQ(stored.size(), 6u);
  EXPECT_EQ(std::count_if(stored.begin(), stored.end(),
                          [](const SchoolRule& r) { return r.key == RuleKey::kMaxInARow; }),
            0);
  EXPECT_NE(std::find(stored.begin(), stored.end(),
                      SchoolRule{RuleKey::kNoClassGaps, RuleScope::kClass, "72", "", 0}),
            stored.end());
}

TEST_F(CliRules, BadKeysNamesValuesAndScopesAreRefusedAndChangeNothing) {
  ASSERT_EQ(RunCli({"rules", db, "--set", "max-lessons-per-day=5"}).exitCode, 0);
  const std::vector<SchoolRule> before = Stored();
  const std::pair<std::vector<std::string>, std::string> cases[] = {
      {{"--set", "max-lesons-per-day=4"}, "未知的规则"},
      {{"--set", "max-lessons-per-day"}, "KEY=VALUE"},
      {{"--set", "max-lessons-per-day=4.5"}, "整数"},
      {{"--set", "max-lessons-per-day=four"}, "整数"},
      {{"--set", "max-lessons-per-day=9"}, "1到7"},
      {{"--set", "no-class-gaps=1"}, "yes"},
      {{"--set", "max-in-a-row=3", "--teacher", "李雷"}, "不存在"},
      {{"--set", "max-in-a-row=3", "--teacher", "张伟"}, "T2"},  // shared: both codes named
      {{"--set", "max-in-a-row=3", "--class", "七（1）班"}, "不能按班级设置"},
      {{"--set", "rooms=2", "--course", "语文"}, "专用课程"},
      {{"--set", "doubles-per-week=1"}, "不能按全校设置"},
      {{"--set", "max-in-a-row=3", "--teacher", "王伟", "--class", "七（1）班"}, "--teacher"},
      {{"--set", "max-lessons-per-day=none", "--class", "七（1）班"}, "不能按班级设置"},
      {{"--teacher", "王伟"}, "--set"},
  };
  for (const auto& [extra, why] : cases) {
    std::vector<std::string> args = {"rules", db};
    args.insert(args.end(), extra.begin(), extra.end());
    const auto run = RunCli(args);
    EXPECT_EQ(run.exitCode, 1) << testing::PrintToString(extra);
    EXPECT_NE(run.err.find(why), std::string::npos) << testing::PrintToString(extra) << run.err;
  }
  EXPECT_EQ(Stored(), before);
}

}  // namespace
}  // namespace orv

namespace orv {
namespace {

TEST(CliRulesDemo, TheDemoSchoolStatesItsRulesWhenAsked) {
  test::TempDir dir;
  const std::string plain = (dir / "plain.mdb").string(), ruled = (dir / "ruled.mdb").string();
  ASSERT_EQ(test::RunCli({"demo", plain, "--grades", "4-6"}).exitCode, 0);
  ASSERT_EQ(test::RunCli({"demo", ruled, "--grades", "4-6", "--rules"}).exitCode, 0);
  EXPECT_EQ(test::LastLine(test::RunCli({"rules", plain}).out), "排课规则：0 条");
  const auto run = test::RunCli({"rules", ruled});
  EXPECT_EQ(test::LastLine(run.out), "排课规则：8 条") << "two school-wide, six classes of grades 5-6";
  EXPECT_NE(run.out.find("max-lessons-per-day = 4  (全校)"), std::string::npos) << run.out;
}

}  // namespace
}  // namespace orv
