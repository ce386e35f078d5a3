// The start-up sequence: which database opens, what is remembered, and what
// happens to lessons beyond the day.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include "core/database/lookups.h"
#include "core/settings/startup.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;

namespace orv {
namespace {

using test::ReadFile;
using test::TempDir;
using test::WriteFile;

void MakeDatabase(const fs::path& path, const std::string& className) {
  ASSERT_TRUE(TimetableDb::Create(path));
  auto db = TimetableDb::Open(path);
  ASSERT_TRUE(db);
  (*db)->Execute("insert into Classtb (Code,Name) values ('11', ?)", className);
}

TEST(StartUp, NoSettingsFileOpensDefaultDatabaseAndWritesNothing) {
  TempDir dir;
  MakeDatabase(dir / "kb.mdb", "默认");
  Result<StartedProgram> r = StartUp(dir.Path());
  ASSERT_TRUE(r) << r.message();
  EXPECT_EQ(GetClassName(*r->state.db, "11"), "默认");
  EXPECT_EQ(r->state.lessonsPerDay, 6);
  EXPECT_EQ(r->state.appTitle, "排课软件系统");
  EXPECT_EQ(r->windowTitle, "排课软件系统 -- " + (dir / "kb.mdb").string());
  EXPECT_FALSE(fs::exists(dir / "kbxt.ini"));
}

TEST(StartUp, NewInstallationGetsAnEmptyDefaultDatabase) {
  TempDir dir;
  Result<StartedProgram> r = StartUp(dir.Path());
  ASSERT_TRUE(r) << r.message();
  EXPECT_TRUE(fs::exists(dir / "kb.mdb"));
  EXPECT_EQ(r->state.db->FirstInt("select count(*) from Classtb").value_or(-1), 0);
}

TEST(StartUp, MissingConfiguredFileFallsBackAndRemembersTheDefault) {
  TempDir dir;
  MakeDatabase(dir / "kb.mdb", "默认");
  WriteFile(dir / "kbxt.ini",
            "[DB]\nFILENAME=" + (dir / "gone.mdb").string() + "\n[USERINFO]\nUSER=第一中学\n");
  Result<StartedProgram> r = StartUp(dir.Path());
  ASSERT_TRUE(r) << r.message();
  EXPECT_EQ(GetClassName(*r->state.db, "11"), "默认");
  EXPECT_EQ(Settings(dir.Path()).GetDatabasePath(), (dir / "kb.mdb").string());
  EXPECT_EQ(r->windowTitle, "第一中学排课软件系统 -- " + (dir / "kb.mdb").string());
  EXPECT_FALSE(fs::exists(dir / "gone.mdb")) << "the missing file is not created";
}

TEST(StartUp, ConfiguredDatabaseIsPreferred) {
  TempDir dir;
  MakeDatabase(dir / "kb.mdb", "默认");
  MakeDatabase(dir / "school.mdb", "配置");
  WriteFile(dir / "kbxt.ini", "[DB]\nFILENAME=" + (dir / "school.mdb").string() + "\n");
  Result<StartedProgram> r = StartUp(dir.Path());
  ASSERT_TRUE(r);
  EXPECT_EQ(GetClassName(*r->state.db, "11"), "配置");
}

TEST(StartUp, ExplicitDatabaseIsOpenedWithoutTouchingSettings) {
  TempDir dir;
  MakeDatabase(dir / "kb.mdb", "默认");
  MakeDatabase(dir / "other.mdb", "命令行");
  Result<StartedProgram> r = StartUp(dir.Path(), (dir / "other.mdb").string());
  ASSERT_TRUE(r);
  EXPECT_EQ(GetClassName(*r->state.db, "11"), "命令行");
  EXPECT_FALSE(fs::exists(dir / "kbxt.ini"));
  r->state.db.reset();
  EXPECT_EQ(StartUp(dir.Path(), (dir / "nothing.mdb").string()).message(), "文件不存在");
}

TEST(StartUp, FailsWhenNeitherFileOpens) {
  TempDir dir;
  WriteFile(dir / "kb.mdb", "not a database");
  Result<StartedProgram> r = StartUp(dir.Path());
  EXPECT_EQ(r.message(), "不是课表数据库文件");
  EXPECT_EQ(ReadFile(dir / "kb.mdb"), "not a database");
}

TEST(StartUp, FailsWhenTheDatabaseIsOpenInAnotherCopy) {
  TempDir dir;
  MakeDatabase(dir / "kb.mdb", "默认");
  auto holder = TimetableDb::Open(dir / "kb.mdb");
  ASSERT_TRUE(holder);
  const pid_t pid = fork();
  if (pid == 0) _exit(StartUp(dir.Path()) ? 0 : 1);
  int status = 0;
  waitpid(pid, &status, 0);
  EXPECT_EQ(WEXITSTATUS(status), 1);
}

TEST(StartUp, LessonsBeyondTheDayAreTrimmedAndOthersKept) {
  TempDir dir;
  MakeDatabase(dir / "kb.mdb", "默认");
  {
    auto db = TimetableDb::Open(dir / "kb.mdb");
    for (int lesson = 1; lesson <= 7; ++lesson)
      (*db)->Execute("insert into LessonListtb values ('11',1,?,'01','001',0)", lesson);
  }
  WriteFile(dir / "kbxt.ini", "[LESSON]\nLESSON_OF_DAY=7\n");
  {
    Result<StartedProgram> r = StartUp(dir.Path());
    ASSERT_TRUE(r);
    EXPECT_EQ(r->state.db->FirstInt("select count(*) from LessonListtb").value_or(-1), 7);
  }
  for (const char* unsafe : {"0", "abc", ""}) {
    WriteFile(dir / "kbxt.ini", std::string("[LESSON]\nLESSON_OF_DAY=") + unsafe + "\n");
    Result<StartedProgram> r = StartUp(dir.Path());
    ASSERT_TRUE(r);
    EXPECT_EQ(r->state.lessonsPerDay, 6) << unsafe;
    EXPECT_EQ(r->state.db->FirstInt("select count(*) from LessonListtb").value_or(-1), 6)
        << "'" << unsafe << "' must never wipe the timetable";
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
  EXPECT_EQ(GetClassName(*state.db, "11"), "默认");
  EXPECT_EQ(state.databasePath, (dir / "kb.mdb").string());
  EXPECT_TRUE(OpenTimetableDb(state, (dir / "kb.mdb").string()))
      << "the open file itself may be chosen again";
  EXPECT_EQ(GetClassName(*state.db, "11"), "默认");
  CloseTimetableDb(state);
  EXPECT_FALSE(state.db);
  EXPECT_TRUE(TimetableDb::Open(dir / "kb.mdb")) << "closing releases the file";
}

}  // namespace
}  // namespace orv
