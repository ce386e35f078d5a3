// SPDX-License-Identifier: GPL-3.0-or-later
// Opening and creating timetable databases: exclusive access, refusal of
// files that are not timetable databases, and values stored as typed.
#include <SQLiteCpp/Database.h>
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include "core/database/lookups.h"
#include "core/database/schema.h"
#include "core/database/timetable_db.h"
#include "support/temp_dir.h"
#include "support/test_db.h"

namespace fs = std::filesystem;

namespace orv {
namespace {

using test::ReadFile;
using test::TempDir;
using test::TestDb;
using test::WriteFile;

// Runs `open` in a child process and returns whether it succeeded there.
bool OpensInOtherProcess(const fs::path& path) {
  const pid_t pid = fork();
  if (pid == 0) {
    auto db = TimetableDb::Open(path);
    _exit(db ? 0 : 1);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// Each file is left byte for byte as it was, and a missing one is not created.
TEST(OpenDatabase, RefusesWhatIsNoTimetableDatabaseAndSaysWhyInChinese) {
  TempDir dir;
  WriteFile(dir / "notes.mdb", std::string(4096, 'x'));
  WriteFile(dir / "empty.mdb", "");
  ASSERT_TRUE(TimetableDb::Create(dir / "ro.mdb"));
  fs::permissions(dir / "ro.mdb", fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  // SQLite files that lack a table, or a column of one, are someone else's.
  const std::pair<std::string, std::string> shapes[] = {
      {"Coursetb", "create table Classtb (Code TEXT, Name TEXT, FullName TEXT, ShortName TEXT)"},
      {"TeacherCode",
       "CREATE TABLE LessonListtb (ClassCode TEXT, Day INTEGER, LessonNo INTEGER, CourseCode TEXT)"}};
  for (const auto& [missing, ddl] : shapes) {
    SQLite::Database other((dir / (missing + ".db")).string(), SQLite::OPEN_READWRITE | SQLite::OPEN_CREATE);
    other.exec(ddl);
    for (const TableShape& table : kTables)
      if (missing == "TeacherCode" && table.name != "LessonListtb") other.exec(std::string(table.createSql));
  }
  const std::pair<fs::path, const char*> cases[] = {
      {dir / "missing.mdb", "文件不存在"},
      {dir / "notes.mdb", "不是课表数据库文件"},
      {dir / "empty.mdb", "缺少数据表 Classtb"},
      {dir / "Coursetb.db", "缺少数据表 Coursetb"},
      {dir / "TeacherCode.db", "数据表 LessonListtb 缺少字段 TeacherCode"},
      {dir / "ro.mdb", "文件是只读的"},
      {dir.Path(), "不是数据库文件"}};
  for (const auto& [path, why] : cases) {
    const std::string before = fs::is_regular_file(path) ? ReadFile(path) : "";
    EXPECT_EQ(TimetableDb::Open(path).message(), why) << path;
    EXPECT_EQ(fs::is_regular_file(path) ? ReadFile(path) : "", before) << "left as it was";
  }
  EXPECT_FALSE(fs::exists(dir / "missing.mdb")) << "opening must not create the file";
  EXPECT_EQ(TimetableDb::Create(dir / "notes.mdb").message(), "文件已存在");
  EXPECT_EQ(ReadFile(dir / "notes.mdb"), std::string(4096, 'x'));
}

TEST(OpenDatabase, AcceptsFilesMadeElsewhereWithOtherCaseAndAddsIndexes) {
  TempDir dir;
  const fs::path path = dir / "made-elsewhere.mdb";
  {
    SQLite::Database other(path.string(), SQLite::OPEN_READWRITE | SQLite::OPEN_CREATE);
    for (const TableShape& table : kTables) {
      std::string sql(table.createSql);
      if (table.name == "LessonListtb") sql.replace(sql.find("LessonListtb"), 12, "Lessonlisttb");
      other.exec(sql);
    }
    other.exec("insert into Classtb values ('11','一（1）班','一年级（1）班','一（1）')");
  }
  {
    auto db = TimetableDb::Open(path);
    ASSERT_TRUE(db);
    EXPECT_EQ(GetClassName(**db, "11").value_or(std::string()), "一（1）班");
    EXPECT_EQ((*db)
                  ->FirstInt("select count(*) from sqlite_master where type='index' and name like 'ix_%'")
                  .value_or(0),
              static_cast<long long>(kIndexSql.size()));
  }
  EXPECT_TRUE(TimetableDb::Open(path)) << "opening twice in turn must work (indexes already there)";
}

// TestDb's open finds the indexes already there and writes nothing: the
// lock must hold all the same.
TEST(OpenDatabase, IsExclusiveAgainstOtherProcessesAndConnections) {
  TestDb t;
  EXPECT_FALSE(OpensInOtherProcess(t.path()));
  EXPECT_EQ(TimetableDb::Open(t.path()).message(), "数据库已被其他程序打开")
      << "a second connection of this process";
  // Writing and reading under the lock does not release it.
  t.AddClass("11", "一（1）班");
  EXPECT_EQ(GetClassName(t.db(), "11").value_or(std::string()), "一（1）班");
  EXPECT_FALSE(OpensInOtherProcess(t.path()));

  t.Close();
  EXPECT_TRUE(OpensInOtherProcess(t.path())) << "closing releases the file";
}

// Root may write to a 0444 file, so what is shown here is SQLite's read-only
// connection: the mode bits are not what keeps the file unchanged, the open
// is. Its bytes and time stamp stay as they were, and the shared lock keeps
// writers out while the reader has it open.
TEST(OpenDatabase, ReadOnlyReadsAFileMarkedReadOnlyAndNeverWritesIt) {
  TestDb t;
  t.AddClass("11", "一（1）班");
  t.Close();
  const fs::path path = t.path();
  fs::permissions(path, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  const std::string bytes = ReadFile(path);
  const auto stamp = fs::last_write_time(path);
  EXPECT_EQ(TimetableDb::Open(path).message(), "文件是只读的") << "writing use still refuses it";
  {
    auto db = TimetableDb::Open(path, DbAccess::kReadOnly);
    ASSERT_TRUE(db) << db.message();
    EXPECT_EQ(GetClassName(**db, "11").value_or(std::string()), "一（1）班");
    EXPECT_THROW((*db)->Execute("delete from Classtb"), std::exception);
    fs::permissions(path, fs::perms::owner_write, fs::perm_options::add);
    EXPECT_FALSE(OpensInOtherProcess(path)) << "no writer while it is read";
    EXPECT_EQ(TimetableDb::Open(path).message(), "数据库已被其他程序打开");
  }
  EXPECT_EQ(ReadFile(path), bytes);
  EXPECT_EQ(fs::last_write_time(path), stamp);
  EXPECT_FALSE(fs::exists(path.string() + "-journal"));

  auto writer = TimetableDb::Open(path);
  ASSERT_TRUE(writer) << "closing the reader releases the file";
  EXPECT_EQ(TimetableDb::Open(path, DbAccess::kReadOnly).message(), "数据库已被其他程序打开");
}

TEST(Statements, ValuesWithQuotesAndSqlAreStoredAndFoundAsTyped) {
  TestDb t;
  const std::vector<std::string> names = {"O'Brien", "say \"hi\"", "100%",
                                          "a;b",     "x -- y",     "'); drop table Classtb; --"};
  for (size_t n = 0; n < names.size(); ++n) t.AddTeacher("T" + std::to_string(n), names[n]);
  for (size_t n = 0; n < names.size(); ++n) {
    EXPECT_EQ(GetTeacherName(t.db(), "T" + std::to_string(n)).value_or(std::string()), names[n]);
    EXPECT_EQ(GetTeacherCode(t.db(), names[n]).value_or(std::string()), "T" + std::to_string(n));
  }
  EXPECT_EQ(GetTeacherCode(t.db(), "O'Brie_").value_or(std::string()), "") << "_ is not a wildcard";
  EXPECT_EQ(t.Count("select count(*) from Classtb"), 0) << "the table is still there";
}

// A loop inside a loop over the same statement text: each reading keeps its
// own place and its own bound values.
TEST(Statements, NestedReadingsOfOneStatementDoNotResetEachOther) {
  TestDb t;
  for (const char* code : {"11", "12", "13"}) t.AddClass(code, code);
  const char* sql = "select Code from Classtb where Code>=? order by Code";
  std::vector<std::string> pairs;
  Cursor outer = t.db().Query(sql, "11");
  // Bounded: an outer reading that restarts would otherwise never end.
  for (int rows = 0; rows < 4 && outer.Next(); ++rows) {
    Cursor inner = t.db().Query(sql, "12");
    while (inner.Next()) pairs.push_back(outer.Text(0) + "/" + inner.Text(0));
    EXPECT_TRUE(t.db().Exists(sql, "13")) << "a third reading meanwhile";
  }
  EXPECT_EQ(pairs, (std::vector<std::string>{"11/12", "11/13", "12/12", "12/13", "13/12", "13/13"}));
  // Once both are done the cached statement serves again, freshly bound.
  EXPECT_EQ(t.db().FirstText(sql, "13"), "13");
}

TEST(Transactions, RollBackEverythingUnlessCommittedAndNest) {
  TestDb t;
  {
    Transaction outer(t.db());
    t.AddClass("11", "a");
    {
      Transaction inner(t.db());
      t.AddClass("12", "b");
    }  // inner rolled back
    t.AddClass("13", "c");
    outer.Commit();
  }
  {
    Transaction outer(t.db());
    t.AddClass("14", "d");
    Transaction inner(t.db());
    t.AddClass("15", "e");
    inner.Commit();
  }  // outer rolled back, taking the committed inner with it
  // The connection is usable for a new transaction afterwards.
  Transaction again(t.db());
  t.AddClass("16", "f");
  again.Commit();
  EXPECT_EQ(t.db().FirstText("select group_concat(Code) from Classtb"), "11,13,16");
}

}  // namespace
}  // namespace orv
