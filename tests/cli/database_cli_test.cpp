// SPDX-License-Identifier: GPL-3.0-or-later
// The database commands of orvandel-cli, run as a user would run them.
#include <gtest/gtest.h>

#include "cli/cli_runner.h"
#include "core/database/lookups.h"
#include "core/settings/settings.h"
#include "support/test_db.h"

namespace fs = std::filesystem;

namespace orv {
namespace {

using test::RunCli;

// Bad usage exits with 2; a refusal exits with 1, says why and touches no file.
TEST(CliDatabase, BadUsageAndRefusalsTouchNoFile) {
  test::TempDir dir;
  test::WriteFile(dir / "junk.mdb", "junk");
  const std::string junk = (dir / "junk.mdb").string(), bad = (dir / "bad.mdb").string();
  const std::pair<std::vector<std::string>, int> cases[] = {
      {{}, 2},
      {{"frobnicate"}, 2},
      {{"info"}, 2},  // the database argument is required
      {{"demo", bad, "--classes-per-grade", "three"}, 2},
      {{"init", junk}, 1},
      {{"demo", junk}, 1},
      {{"info", junk}, 1},
      {{"maintain", bad}, 1},
      {{"demo", bad, "--grades", "6-1"}, 1},  // each limit: the demo school's own test
      {{"demo", bad, "--grades", "abc"}, 1},
  };
  for (const auto& [args, exitCode] : cases) {
    const auto run = RunCli(args);
    EXPECT_EQ(run.exitCode, exitCode) << testing::PrintToString(args);
    EXPECT_FALSE(run.err.empty()) << testing::PrintToString(args);
    // Bad usage is framed in Chinese, with the way to the help.
    if (exitCode == 2) {
      EXPECT_EQ(run.err.rfind("命令行有误：", 0), 0u) << run.err;
    }
  }
  EXPECT_NE(RunCli({"info", junk}).err.find("打开数据库失败"), std::string::npos);
  EXPECT_FALSE(fs::exists(bad));
  EXPECT_EQ(test::ReadFile(junk), "junk");
  EXPECT_EQ(RunCli({"--help"}).exitCode, 0);
}

TEST(CliDatabase, InitAndDemoCreateTheSchoolAsAskedAndInfoCountsIt) {
  test::TempDir dir;
  const std::string empty = (dir / "empty.mdb").string(), db = (dir / "kb.mdb").string(),
                    full = (dir / "full.mdb").string();
  ASSERT_EQ(RunCli({"init", empty}).exitCode, 0);
  EXPECT_EQ(test::OpenDb(empty)->FirstInt("select count(*) from Classtb"), 0);
  auto run = RunCli({"demo", db, "--grades", "7-9", "--classes-per-grade", "2", "--lessons-per-day", "7",
                     "--no-teacher-limits"});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_FALSE(fs::exists(dir / "kbxt.ini")) << "settings only when asked";
  run = RunCli({"info", db});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_NE(run.out.find("班级：6\n"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("已排节数：6\n"), std::string::npos) << "the fixed class meetings: " << run.out;
  {
    auto opened = test::OpenDb(db);
    EXPECT_EQ(GetClassName(*opened, "71").value_or(std::string()), "七（1）班");
    EXPECT_EQ(opened->FirstInt("select max(LessonNo) from LessonListtb"), 7);
    EXPECT_EQ(opened->FirstInt("select count(*) from Limittb where Kind=2"), 0);
  }
  run = RunCli(
      {"demo", full, "--fill", "100", "--lessons-per-day", "7", "--write-settings", "--school", "第一中学"});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_NE(RunCli({"info", full}).out.find("计划节数：630\n"), std::string::npos);
  EXPECT_GT(test::OpenDb(full)->FirstInt("select count(*) from Limittb where Kind=2"), 0);
  const Settings settings(dir.Path());
  EXPECT_EQ(settings.GetDatabasePath(), fs::absolute(full).string());
  EXPECT_EQ(settings.GetLessonsPerDay(), 7);
  EXPECT_EQ(settings.GetSchoolName(), "第一中学");
}

TEST(CliDatabase, AFileOpenElsewhereIsRefusedAndKept) {
  test::TempDir dir;
  const fs::path db = dir / "kb.mdb";
  ASSERT_EQ(RunCli({"demo", db.string()}).exitCode, 0);
  auto holder = test::OpenDb(db);
  ASSERT_TRUE(holder);
  for (const char* command : {"info", "clear", "upgrade", "maintain"})
    EXPECT_EQ(RunCli({command, db.string()}).exitCode, 1) << command;
  EXPECT_EQ(holder->FirstInt("select count(*) from LessonListtb"), 18) << "nothing was cleared";
}

TEST(CliDatabase, ClearUpgradeAndMaintainReportWhatTheyChanged) {
  test::TempDir dir;
  const std::string db = (dir / "kb.mdb").string();
  ASSERT_EQ(RunCli({"demo", db, "--grades", "5-6", "--classes-per-grade", "2"}).exitCode, 0);

  auto run = RunCli({"upgrade", db});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_NE(run.out.find("毕业班级：2\n升级班级：2\n"), std::string::npos) << run.out;
  {
    auto opened = test::OpenDb(db);
    EXPECT_EQ(GetClassName(*opened, "61").value_or(std::string()), "六（1）班");
    EXPECT_EQ(GetClassName(*opened, "51").value_or(std::string()), "");
    // Leave an orphan for maintenance.
    opened->Execute("delete from Teachertb where Code=(select TeacherCode from LessonListtb limit 1)");
  }
  run = RunCli({"maintain", db});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_NE(run.out.find("删除班级、课程或教师已不存在的课：1\n"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("数据维护完成"), std::string::npos);

  run = RunCli({"clear", db});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_NE(run.out.find("已删除课表中的课：1 节\n"), std::string::npos) << run.out;
  EXPECT_EQ(test::OpenDb(db)->FirstInt(
                "select (select count(*) from LessonListtb) + (select sum(BuildCount) from ClassPlantb)"),
            0);
}

// Weekly counts another program wrote: a huge one no longer overflows the
// totals, analyze names every bad row as blocking, and maintain removes the
// lessons outside any week and the unusable counts it says it repaired.
TEST(CliDatabase, CountsAWeekCannotHoldAreReadClampedNamedAndRepaired) {
  test::TempDir dir;
  const std::string db = (dir / "kb.mdb").string();
  ASSERT_EQ(RunCli({"demo", db, "--grades", "1-1", "--classes-per-grade", "1"}).exitCode, 0);
  long long planned = 0;
  {
    auto opened = test::OpenDb(db);
    planned = opened->FirstInt("select sum(Count) from ClassPlantb where rowid>3").value_or(-1);
    opened->Execute("update ClassPlantb set Count=2147483647 where rowid=1");
    opened->Execute("update ClassPlantb set Count=-9 where rowid=2");
    opened->Execute("update ClassPlantb set Count=null where rowid=3");
    opened->Execute(
        "delete from LessonListtb where ClassCode||CourseCode||TeacherCode in (select "
        "ClassCode||CourseCode||TeacherCode from ClassPlantb where rowid in (2,3))");
    opened->Execute(
        "insert into LessonListtb select ClassCode,99,1,CourseCode,TeacherCode,1 from LessonListtb "
        "limit 1");
    opened->Execute(
        "insert into LessonListtb select ClassCode,1,null,CourseCode,TeacherCode,1 from LessonListtb "
        "limit 1");
  }
  auto run = RunCli({"info", db});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_NE(run.out.find("计划节数：" + std::to_string(planned + 35) + "\n"), std::string::npos) << run.out;

  run = RunCli({"analyze", db});
  EXPECT_EQ(run.exitCode, 1) << run.out;
  for (const char* why : {"每周节数超过35", "每周节数小于1", "没有填写每周节数"})
    EXPECT_NE(run.out.find(std::string("：") + why + "，请在教学计划中改为1到35之间的整数"),
              std::string::npos)
        << why << "\n"
        << run.out;

  run = RunCli({"maintain", db});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_NE(run.out.find("删除星期或节次无效的课：2\n"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("删除每周节数无效且未排课的教学计划：2\n"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("每周节数超过35或不是整数、已改为1到35之间整数的教学计划：1\n"), std::string::npos)
      << run.out;
  auto opened = test::OpenDb(db);
  EXPECT_EQ(
      opened->FirstInt("select count(*) from LessonListtb where Day not between 1 and 5 or LessonNo is null"),
      0);
  EXPECT_EQ(
      opened->FirstInt("select count(*) from ClassPlantb where Count not between 1 and 35 or Count is null"),
      0);
}

}  // namespace
}  // namespace orv
