// SPDX-License-Identifier: GPL-3.0-or-later
// The school day recorded in the database: the upgrade of older files, which
// value wins, and the only two ways lessons beyond the day ever go.
#include <gtest/gtest.h>

#include <SQLiteCpp/Database.h>

#include "core/database/lessons_per_day.h"
#include "core/database/schema.h"
#include "support/test_db.h"

namespace fs = std::filesystem;

namespace orv {
namespace {

using test::TestDb;

// Every row of the eight tables, in a fixed order.
std::string Dump(TimetableDb& db) {
  std::string all;
  for (const TableShape& table : kTables) {
    Cursor c = db.Query("select * from " + std::string(table.name) + " order by rowid");
    while (c.Next()) {
      for (int col = 0; col < 6 && !table.columns[col].empty(); ++col) all += c.Text(col) + "|";
      all += "\n";
    }
  }
  return all;
}

// A file as the program wrote it before the school day was recorded.
void MakeOlderVersion(const fs::path& path) {
  SQLite::Database raw(path.string(), SQLite::OPEN_READWRITE);
  raw.exec("DROP TABLE SchoolSettingtb");
  raw.exec("PRAGMA user_version=1");
}

// Class 11 has Chinese (01, T1) 3 times, two of them in lesson 7, one of those
// fixed; class 12 has maths (02, T2) once in lesson 7.
void AddSeventhLessons(TestDb& t) {
  t.AddPlan("11", "01", "T1", 3);
  t.AddPlan("12", "02", "T2", 1);
  t.AddLesson("11", 1, 1, "01", "T1", 1);
  t.AddLesson("11", 2, 7, "01", "T1", 0);
  t.AddLesson("11", 3, 7, "01", "T1", 1);
  t.AddLesson("12", 4, 7, "02", "T2", 2);
  t.db().Execute("update ClassPlantb set BuildCount=3 where ClassCode='11'");
  t.db().Execute("update ClassPlantb set BuildCount=1 where ClassCode='12'");
}

TEST(SchemaMigration, AnOlderFileIsUpgradedOnOpenWithNothingChangedAndANewerOneKeepsItsNumber) {
  TestDb t;
  AddSeventhLessons(t);
  const std::string before = Dump(t.db());
  t.Close();
  MakeOlderVersion(t.path());
  t.Reopen();
  EXPECT_EQ(t.Count("pragma user_version"), kSchemaVersion);
  EXPECT_EQ(t.Count("select count(*) from sqlite_master where name='SchoolSettingtb'"), 1);
  EXPECT_EQ(Dump(t.db()), before);
  EXPECT_EQ(*StoredLessonsPerDay(t.db()), std::nullopt) << "the upgrade itself decides nothing";

  t.db().Execute("pragma user_version=99");
  t.Reopen();
  EXPECT_EQ(t.Count("pragma user_version"), 99);
}

TEST(LessonsPerDay, TheDatabasesRecordWinsElseTheLongerOfTheSettingAndItsLessons) {
  TestDb t;
  EXPECT_EQ(*DatabaseLessonsPerDay(t.db(), 6), 6);
  EXPECT_EQ(*DatabaseLessonsPerDay(t.db(), 7), 7);
  t.AddLesson("11", 5, 99, "01", "T1", 1);  // outside every week: no reason for a longer day
  EXPECT_EQ(*DatabaseLessonsPerDay(t.db(), 6), 6);
  t.AddLesson("11", 5, 7, "01", "T1", 1);
  EXPECT_EQ(*DatabaseLessonsPerDay(t.db(), 6), 7);

  ASSERT_TRUE(RecordLessonsPerDay(t.db(), 6));
  EXPECT_EQ(*DatabaseLessonsPerDay(t.db(), 7), 6);
  for (const char* bad : {"8", "abc", "6x", ""}) {
    t.db().Execute("update SchoolSettingtb set Value=? where Name='LessonsPerDay'", bad);
    EXPECT_EQ(*StoredLessonsPerDay(t.db()), std::nullopt) << bad;
  }
  EXPECT_FALSE(RecordLessonsPerDay(t.db(), 8));
}

TEST(LessonsPerDay, AShorterDayRemovesItsLessonsWithTheirCountsOnlyWhenTheWholeChangeSucceeds) {
  TestDb t;
  AddSeventhLessons(t);
  ASSERT_TRUE(RecordLessonsPerDay(t.db(), 7));
  const LessonsBeyondDay beyond = *CountLessonsBeyondDay(t.db(), 6);
  EXPECT_EQ(beyond.lessons, 3);
  EXPECT_EQ(beyond.fixed, 1);

  const std::string before = Dump(t.db());
  EXPECT_EQ(ChangeLessonsPerDay(t.db(), 6, [] { return Outcome::Fail("无法写入设置文件"); }).message(),
            "无法写入设置文件");
  EXPECT_EQ(Dump(t.db()), before);
  EXPECT_EQ(*StoredLessonsPerDay(t.db()), 7);

  ASSERT_TRUE(ChangeLessonsPerDay(t.db(), 6, [] { return Outcome::Ok(); }));
  EXPECT_EQ(t.Count("select count(*) from LessonListtb"), 1);
  EXPECT_EQ(t.BuildCount("11", "01"), 1);
  EXPECT_EQ(t.BuildCount("12", "02"), 0);
  EXPECT_EQ(*StoredLessonsPerDay(t.db()), 6);
}

TEST(LessonsPerDay, SchedulingWithAnotherDayRecordsItOnlyWhenNoLessonFallsOutside) {
  TestDb t;
  AddSeventhLessons(t);
  ASSERT_TRUE(RecordLessonsPerDay(t.db(), 7));
  EXPECT_EQ(
      AdoptLessonsPerDay(t.db(), 6).message(),
      "数据库中有 3 节课（其中固定课 1 节）排在第6节以后，不能按每天6节排课；请先在“每天课时设置”中修改");
  EXPECT_EQ(*StoredLessonsPerDay(t.db()), 7);
  EXPECT_EQ(t.Count("select count(*) from LessonListtb"), 4);

  t.db().Execute("delete from LessonListtb where LessonNo=7");
  ASSERT_TRUE(AdoptLessonsPerDay(t.db(), 6));
  EXPECT_EQ(*StoredLessonsPerDay(t.db()), 6);
  ASSERT_TRUE(AdoptLessonsPerDay(t.db(), 7));
  EXPECT_EQ(*StoredLessonsPerDay(t.db()), 7);
}

}  // namespace
}  // namespace orv
