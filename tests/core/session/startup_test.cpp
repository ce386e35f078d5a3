// SPDX-License-Identifier: GPL-3.0-or-later
// The start-up sequence: which database opens, what is remembered, and what
// happens to lessons beyond the day. (A database another copy holds open is
// refused as any file that does not open, see open_test.)
#include <gtest/gtest.h>

#include "core/database/lookups.h"
#include "core/session/startup.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;

namespace orv {
namespace {

using test::TempDir;
using test::WriteFile;

void MakeDatabase(const fs::path& path, const std::string& className) {
  ASSERT_TRUE(TimetableDb::Create(path));
  auto db = TimetableDb::Open(path);
  ASSERT_TRUE(db);
  (*db)->Execute("insert into Classtb (Code,Name) values ('11', ?)", className);
}

// kb.mdb holds class "默认", school.mdb "配置" and other.mdb "命令行"; a
// database that is not there is named by its settings line, its explicit
// path or its file. What opens, or why nothing does, and what kbxt.ini says
// afterwards.
TEST(StartUp, OpensTheExplicitElseTheConfiguredElseTheDefaultDatabase) {
  struct Case {
    const char* what;
    const char* ini;  // FILENAME in kbxt.ini; nullptr: no file
    const char* explicitDb;
    const char* defaultDb;  // the content of kb.mdb: "db", "garbage" or none
    bool opens;
    const char* opened;  // the class name, or the refusal
    const char* remembered;
  } cases[] = {
      {"no settings file: nothing written", nullptr, nullptr, "db", true, "默认", nullptr},
      {"a new installation: an empty default", nullptr, nullptr, "", true, "", nullptr},
      {"the configured file", "school.mdb", nullptr, "db", true, "配置", "school.mdb"},
      {"a missing configured file falls back, remembered", "gone.mdb", nullptr, "db", true, "默认", "kb.mdb"},
      {"explicit: settings untouched", nullptr, "other.mdb", "db", true, "命令行", nullptr},
      {"explicit and missing", nullptr, "nothing.mdb", "db", false, "文件不存在", nullptr},
      {"no database opens", nullptr, nullptr, "garbage", false, "不是课表数据库文件", nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TempDir dir;
    if (std::string(c.defaultDb) == "db") MakeDatabase(dir / "kb.mdb", "默认");
    if (std::string(c.defaultDb) == "garbage") WriteFile(dir / "kb.mdb", "garbage");
    MakeDatabase(dir / "school.mdb", "配置");
    MakeDatabase(dir / "other.mdb", "命令行");
    if (c.ini) WriteFile(dir / "kbxt.ini", "[DB]\nFILENAME=" + (dir / c.ini).string() + "\n");
    const Result<StartedProgram> r =
        c.explicitDb ? StartUp(dir.Path(), (dir / c.explicitDb).string()) : StartUp(dir.Path());
    ASSERT_EQ(bool(r), c.opens) << r.message();
    EXPECT_EQ(r ? GetClassName(*r->state.db, "11").value_or(std::string()) : r.message(), c.opened);
    if (c.remembered) {
      EXPECT_EQ(Settings(dir.Path()).GetDatabasePath(), (dir / c.remembered).string());
    } else
      EXPECT_FALSE(fs::exists(dir / "kbxt.ini"));
    EXPECT_FALSE(fs::exists(dir / "gone.mdb") || fs::exists(dir / "nothing.mdb")) << "never created";
    if (std::string(c.defaultDb) == "garbage") {
      EXPECT_EQ(test::ReadFile(dir / "kb.mdb"), "garbage");
    }
  }
}

TEST(StartUp, TitlesNameTheSchoolAndTheDatabase) {
  TempDir dir;
  Result<StartedProgram> r = StartUp(dir.Path());
  ASSERT_TRUE(r) << r.message();
  EXPECT_EQ(r->state.appTitle, "排课软件系统");
  EXPECT_EQ(r->windowTitle, "排课软件系统 -- " + (dir / "kb.mdb").string());
  r->state.db.reset();
  WriteFile(dir / "kbxt.ini", "[USERINFO]\nUSER=第一中学\n");
  r = StartUp(dir.Path());
  ASSERT_TRUE(r) << r.message();
  EXPECT_EQ(r->windowTitle, "第一中学排课软件系统 -- " + (dir / "kb.mdb").string());
}

// The school day is the database's: a file is never cut to the computer's
// setting, and kbxt.ini follows the file that opened.
TEST(StartUp, TheDatabasesOwnLessonsPerDayWinsAndNothingIsDeleted) {
  struct Case {
    const char* what;
    const char* recorded;  // SchoolSettingtb's value; nullptr: an older file without the table
    int highestLesson;
    const char* ini;
    int taken;
  } cases[] = {
      {"older 7-lesson file on a computer set to 6", nullptr, 7, "6", 7},
      {"older file, unsafe setting", nullptr, 7, "abc", 7},
      {"older 6-lesson file takes the setting", nullptr, 6, "7", 7},
      {"older file, no setting", nullptr, 6, "", 6},
      {"the record wins over a longer setting", "6", 6, "7", 6},
      {"the record wins over a shorter setting", "7", 7, "6", 7},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TempDir dir;
    MakeDatabase(dir / "kb.mdb", "默认");
    {
      auto db = TimetableDb::Open(dir / "kb.mdb");
      for (int lesson = 1; lesson <= c.highestLesson; ++lesson)
        (*db)->Execute("insert into LessonListtb values ('11',1,?,'01','001',?)", lesson, lesson % 2);
      if (c.recorded)
        (*db)->Execute("insert into SchoolSettingtb values ('LessonsPerDay',?)", c.recorded);
      else {
        (*db)->Execute("drop table SchoolSettingtb");
        (*db)->Execute("pragma user_version=1");
      }
    }
    WriteFile(dir / "kbxt.ini", std::string("[LESSON]\nLESSON_OF_DAY=") + c.ini + "\n");
    Result<StartedProgram> r = StartUp(dir.Path());
    ASSERT_TRUE(r) << r.message();
    EXPECT_EQ(r->state.week.lessonsPerDay, c.taken);
    EXPECT_EQ(r->state.db->FirstInt("select count(*) from LessonListtb"), c.highestLesson);
    EXPECT_EQ(r->state.db->FirstText("select Value from SchoolSettingtb where Name='LessonsPerDay'"),
              std::to_string(c.taken));
    EXPECT_EQ(Settings(dir.Path()).GetLessonsPerDay(), c.taken);
  }
}

TEST(OpenTimetableDb, FailureKeepsThePreviousDatabaseOpen) {
  TempDir dir;
  MakeDatabase(dir / "kb.mdb", "默认");
  WriteFile(dir / "bad.mdb", "garbage");
  Result<StartedProgram> r = StartUp(dir.Path());
  ASSERT_TRUE(r);
  AppState& state = r->state;
  EXPECT_EQ(OpenTimetableDb(state, (dir / "bad.mdb").string()).message(), "不是课表数据库文件");
  ASSERT_TRUE(state.db);
  EXPECT_EQ(GetClassName(*state.db, "11").value_or(std::string()), "默认");
  EXPECT_EQ(state.databasePath, (dir / "kb.mdb").string());
  EXPECT_TRUE(OpenTimetableDb(state, (dir / "kb.mdb").string()))
      << "the open file itself may be chosen again";
  EXPECT_EQ(GetClassName(*state.db, "11").value_or(std::string()), "默认");
  CloseTimetableDb(state);
  EXPECT_FALSE(state.db);
  EXPECT_TRUE(TimetableDb::Open(dir / "kb.mdb")) << "closing releases the file";
}

}  // namespace
}  // namespace orv
