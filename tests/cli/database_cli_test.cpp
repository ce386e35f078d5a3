// The database commands of orvandel-cli, run as a user would run them.
#include <gtest/gtest.h>

#include "cli/cli_runner.h"
#include "core/database/lookups.h"
#include "core/database/timetable_db.h"
#include "core/settings/settings.h"
#include "support/temp_dir.h"
#include "support/test_db.h"

namespace fs = std::filesystem;

namespace orv {
namespace {

using test::ReadFile;
using test::RunCli;
using test::TempDir;
using test::WriteFile;

TEST(CliInit, CreatesAnEmptyDatabaseAndRefusesToOverwrite) {
  TempDir dir;
  const std::string db = (dir / "kb.mdb").string();
  auto run = RunCli({"init", db});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_TRUE(test::OpenDb(db));

  WriteFile(dir / "precious.mdb", "data");
  run = RunCli({"init", (dir / "precious.mdb").string()});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_FALSE(run.err.empty());
  EXPECT_EQ(ReadFile(dir / "precious.mdb"), "data");
}

TEST(CliUsage, BadUsageExitsWithTwo) {
  EXPECT_EQ(RunCli({}).exitCode, 2);
  EXPECT_EQ(RunCli({"frobnicate"}).exitCode, 2);
  EXPECT_EQ(RunCli({"info"}).exitCode, 2) << "the database argument is required";
  EXPECT_EQ(RunCli({"demo", "x.mdb", "--classes-per-grade", "three"}).exitCode, 2);
  EXPECT_EQ(RunCli({"--help"}).exitCode, 0);
}

TEST(CliDemo, CreatesTheDemoSchoolAndInfoCountsIt) {
  TempDir dir;
  const std::string db = (dir / "kb.mdb").string();
  auto run = RunCli({"demo", db, "--grades", "7-9", "--classes-per-grade", "2", "--lessons-per-day", "7"});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_FALSE(fs::exists(dir / "kbxt.ini")) << "settings only when asked";
  run = RunCli({"info", db});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_NE(run.out.find("classes: 6\n"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("placed lessons: 6\n"), std::string::npos)
      << "the fixed class meetings: " << run.out;
  auto opened = test::OpenDb(db);
  ASSERT_TRUE(opened);
  EXPECT_EQ(GetClassName(*opened, "71"), "七（1）班");
  EXPECT_EQ(opened->FirstInt("select max(LessonNo) from LessonListtb").value_or(0), 7);
}

TEST(CliDemo, WritesSettingsWhenAskedAndRefusesBadOptions) {
  TempDir dir;
  const std::string db = (dir / "kb.mdb").string();
  auto run = RunCli({"demo", db, "--write-settings", "--lessons-per-day", "7", "--school", "第一中学"});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  const Settings settings(dir.Path());
  EXPECT_EQ(settings.GetDatabasePath(), fs::absolute(db).string());
  EXPECT_EQ(settings.GetLessonsPerDay(), 7);
  EXPECT_EQ(settings.GetSchoolName(), "第一中学");

  for (const std::vector<std::string>& bad : {std::vector<std::string>{"--grades", "6-1"},
                                              {"--grades", "0-3"},
                                              {"--grades", "abc"},
                                              {"--lessons-per-day", "8"},
                                              {"--classes-per-grade", "0"},
                                              {"--fill", "40"},
                                              {"--fill", "101"}}) {
    std::vector<std::string> args = {"demo", (dir / "bad.mdb").string()};
    args.insert(args.end(), bad.begin(), bad.end());
    run = RunCli(args);
    EXPECT_EQ(run.exitCode, 1) << bad[1];
    EXPECT_FALSE(run.err.empty());
    EXPECT_FALSE(fs::exists(dir / "bad.mdb")) << bad[1];
  }
  run = RunCli({"demo", db});
  EXPECT_EQ(run.exitCode, 1) << "an existing database is never overwritten";

  // A full week, with and without the teachers' time away.
  for (bool limits : {true, false}) {
    const std::string full = (dir / (limits ? "full.mdb" : "full-free.mdb")).string();
    std::vector<std::string> args = {"demo", full, "--fill", "100"};
    if (!limits) args.push_back("--no-teacher-limits");
    ASSERT_EQ(RunCli(args).exitCode, 0);
    EXPECT_NE(RunCli({"info", full}).out.find("planned lessons: 540\n"), std::string::npos);
    EXPECT_EQ(test::OpenDb(full)->FirstInt("select count(*) from Limittb where Kind=2").value_or(-1) > 0,
              limits);
  }
}

TEST(CliOpen, RefusesBadFilesAndAFileOpenElsewhere) {
  TempDir dir;
  WriteFile(dir / "junk.mdb", "junk");
  auto run = RunCli({"info", (dir / "junk.mdb").string()});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.err.find("打开数据库失败"), std::string::npos) << run.err;
  EXPECT_EQ(RunCli({"maintain", (dir / "none.mdb").string()}).exitCode, 1);

  const fs::path db = dir / "kb.mdb";
  ASSERT_EQ(RunCli({"demo", db.string()}).exitCode, 0);
  auto holder = test::OpenDb(db);
  ASSERT_TRUE(holder);
  for (const char* command : {"info", "clear", "upgrade", "maintain"}) {
    run = RunCli({command, db.string()});
    EXPECT_EQ(run.exitCode, 1) << command;
  }
  EXPECT_EQ(holder->FirstInt("select count(*) from LessonListtb").value_or(0), 18) << "nothing was cleared";
}

TEST(CliOperations, ClearUpgradeAndMaintainReportWhatTheyChanged) {
  TempDir dir;
  const std::string db = (dir / "kb.mdb").string();
  ASSERT_EQ(RunCli({"demo", db, "--grades", "5-6", "--classes-per-grade", "2"}).exitCode, 0);

  auto run = RunCli({"upgrade", db});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_NE(run.out.find("graduated classes: 2"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("promoted classes: 2"), std::string::npos) << run.out;
  {
    auto opened = test::OpenDb(db);
    EXPECT_EQ(GetClassName(*opened, "61"), "六（1）班");
    EXPECT_EQ(GetClassName(*opened, "51"), "");
    // Leave an orphan for maintenance.
    opened->Execute("delete from Teachertb where Code=(select TeacherCode from LessonListtb limit 1)");
  }
  run = RunCli({"maintain", db});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_NE(run.out.find("removed lessons: 1"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("数据维护完成"), std::string::npos);

  run = RunCli({"clear", db});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_NE(run.out.find("deleted lessons: 1"), std::string::npos) << run.out;
  auto opened = test::OpenDb(db);
  EXPECT_EQ(opened->FirstInt("select count(*) from LessonListtb").value_or(-1), 0);
  EXPECT_EQ(opened->FirstInt("select sum(BuildCount) from ClassPlantb").value_or(-1), 0);
}

}  // namespace
}  // namespace orv
