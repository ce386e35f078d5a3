// Opening and creating timetable databases: exclusive access, refusal of
// files that are not timetable databases, and values stored as typed.
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

TEST(CreateDatabase, HasExactlyTheEightTablesInOrderAndVersionOne) {
  TempDir dir;
  const fs::path path = dir / "new.mdb";
  ASSERT_TRUE(TimetableDb::Create(path));
  auto opened = TimetableDb::Open(path);
  ASSERT_TRUE(opened) << opened.message();
  TimetableDb* db = opened->get();
  EXPECT_EQ(db->FirstInt("PRAGMA user_version").value_or(-1), 1);
  EXPECT_EQ(db->FirstInt("select count(*) from sqlite_master where type='table'").value_or(-1), 8);
  for (const TableShape& table : kTables) {
    Cursor c = db->Query("select name from pragma_table_info(?) order by cid", table.name);
    for (std::string_view expected : table.columns) {
      if (expected.empty()) break;
      ASSERT_TRUE(c.Next()) << table.name;
      EXPECT_EQ(c.Text(0), expected) << table.name;
    }
    EXPECT_FALSE(c.Next()) << table.name << " has extra columns";
  }
  db->Execute("insert into ClassPlantb (ClassCode,CourseCode,TeacherCode,Count) values ('11','01','001',5)");
  EXPECT_EQ(db->FirstInt("select BuildCount + IsAutoBuild from ClassPlantb").value_or(-1), 0);
}

TEST(CreateDatabase, RefusesAnExistingFileAndLeavesItAlone) {
  TempDir dir;
  const fs::path path = dir / "kb.mdb";
  WriteFile(path, "keep me");
  EXPECT_EQ(TimetableDb::Create(path).message(), "文件已存在");
  EXPECT_EQ(ReadFile(path), "keep me");
}

TEST(OpenDatabase, FailsCleanlyOnFilesThatAreNotTimetablesAndSaysWhyInChinese) {
  TempDir dir;
  WriteFile(dir / "notes.mdb", std::string(4096, 'x'));
  WriteFile(dir / "empty.mdb", "");
  const std::pair<fs::path, const char*> cases[] = {{dir / "missing.mdb", "文件不存在"},
                                                    {dir / "notes.mdb", "不是课表数据库文件"},
                                                    {dir / "empty.mdb", "缺少数据表 Classtb"},
                                                    {dir.Path(), "不是数据库文件"}};
  for (const auto& [path, why] : cases) {
    const std::string before = fs::is_regular_file(path) ? ReadFile(path) : "";
    EXPECT_EQ(TimetableDb::Open(path).message(), why) << path;
    EXPECT_EQ(fs::is_regular_file(path) ? ReadFile(path) : "", before) << "left as it was";
  }
  EXPECT_FALSE(fs::exists(dir / "missing.mdb")) << "opening must not create the file";
}

// A SQLite file that lacks a table, or a column of one, is someone else's
// database: refused by name, and left byte for byte as it was.
TEST(OpenDatabase, RefusesSqliteFilesWithoutTheTimetableShape) {
  TempDir dir;
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"Coursetb", "create table Classtb (Code TEXT, Name TEXT, FullName TEXT, ShortName TEXT)"},
      {"TeacherCode",
       "CREATE TABLE LessonListtb (ClassCode TEXT, Day INTEGER, LessonNo INTEGER, CourseCode TEXT)"}};
  for (const auto& [missing, ddl] : cases) {
    const fs::path path = dir / (missing + ".db");
    {
      SQLite::Database other(path.string(), SQLite::OPEN_READWRITE | SQLite::OPEN_CREATE);
      other.exec(ddl);
      for (const TableShape& table : kTables)
        if (missing == "TeacherCode" && table.name != "LessonListtb")
          other.exec(std::string(table.createSql));
    }
    const std::string before = ReadFile(path);
    const std::string why = TimetableDb::Open(path).message();
    EXPECT_NE(why.find(missing), std::string::npos) << why;
    EXPECT_EQ(ReadFile(path), before);
  }
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
    EXPECT_EQ(GetClassName(**db, "11"), "一（1）班");
    EXPECT_EQ((*db)
                  ->FirstInt("select count(*) from sqlite_master where type='index' and name like 'ix_%'")
                  .value_or(0),
              static_cast<long long>(kIndexSql.size()));
  }
  EXPECT_TRUE(TimetableDb::Open(path)) << "opening twice in turn must work (indexes already there)";
}

TEST(OpenDatabase, RefusesAReadOnlyFile) {
  TestDb t;
  t.Close();
  fs::permissions(t.path(), fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  const std::string before = ReadFile(t.path());
  EXPECT_EQ(TimetableDb::Open(t.path()).message(), "文件是只读的");
  EXPECT_EQ(ReadFile(t.path()), before);
}

TEST(OpenDatabase, IsExclusiveAgainstOtherProcessesAndConnections) {
  TestDb t;  // holds the file open
  EXPECT_FALSE(OpensInOtherProcess(t.path()));
  EXPECT_EQ(TimetableDb::Open(t.path()).message(), "数据库已被其他程序打开")
      << "a second connection of this process";
  // Writing and reading under the lock does not release it.
  t.AddClass("11", "一（1）班");
  EXPECT_EQ(GetClassName(t.db(), "11"), "一（1）班");
  EXPECT_FALSE(OpensInOtherProcess(t.path()));

  t.Close();
  EXPECT_TRUE(OpensInOtherProcess(t.path())) << "closing releases the file";
}

TEST(OpenDatabase, ExclusiveEvenWhenOpenWroteNothing) {
  // The second open of a file finds its indexes already there and writes
  // nothing; the lock must hold all the same.
  TestDb t;
  t.Close();
  t.Reopen();
  EXPECT_FALSE(OpensInOtherProcess(t.path()));
}

TEST(Statements, ValuesWithQuotesAndSqlAreStoredAndFoundAsTyped) {
  TestDb t;
  const std::vector<std::string> names = {"O'Brien", "say \"hi\"", "100%",
                                          "a;b",     "x -- y",     "'); drop table Classtb; --"};
  int n = 0;
  for (const std::string& name : names) t.AddTeacher("T" + std::to_string(n++), name);
  n = 0;
  for (const std::string& name : names) {
    const std::string code = "T" + std::to_string(n++);
    EXPECT_EQ(GetTeacherName(t.db(), code), name);
    EXPECT_EQ(GetTeacherCode(t.db(), name), code);
  }
  EXPECT_EQ(GetTeacherCode(t.db(), "100"), "") << "% is not a wildcard";
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
  EXPECT_EQ(t.Count("select count(*) from Classtb"), 2);
  EXPECT_EQ(GetClassName(t.db(), "12"), "");
  {
    Transaction outer(t.db());
    t.AddClass("14", "d");
    Transaction inner(t.db());
    t.AddClass("15", "e");
    inner.Commit();
  }  // outer rolled back, taking the committed inner with it
  EXPECT_EQ(t.Count("select count(*) from Classtb"), 2);
  // The connection is usable for a new transaction afterwards.
  Transaction again(t.db());
  t.AddClass("16", "f");
  again.Commit();
  EXPECT_EQ(t.Count("select count(*) from Classtb"), 3);
}

}  // namespace
}  // namespace orv
