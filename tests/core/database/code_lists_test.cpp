// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/database/code_lists.h"

#include <gtest/gtest.h>

#include "core/database/class_list.h"
#include "support/test_db.h"

namespace orv {
namespace {

using test::TestDb;

TEST(CodeLists, BlanksAreTrimmedAndClassroomsNeedOnlyCodeAndName) {
  EXPECT_EQ(TrimBlanks(" \t12 "), "12");
  EXPECT_EQ(TrimBlanks("\xE3\x80\x80语 文\xE3\x80\x80"), "语 文");
  EXPECT_EQ(MissingCodeFields(CodeTable::ClassRoom, {" ", " ", "", ""}),
            (std::vector<CodeField>{CodeField::Code, CodeField::Name}));
}

TEST(CodeLists, AppendStoresTrimmedValuesAsTypedAndRefusesAStoredCode) {
  TestDb t;
  EXPECT_TRUE(AppendCodeRecord(t.db(), CodeTable::Teacher, {" T'1 ", " O'Neil", "a\"b ", "'); drop"}));
  EXPECT_EQ(LoadCodeRecords(t.db(), CodeTable::Teacher),
            (std::vector<CodeRecord>{{"T'1", "O'Neil", "a\"b", "'); drop"}}));
}

TEST(CodeLists, ADuplicateIsNamedAsItsEditorShowsIt) {
  // The class editor names the class by its selector entries; every other
  // code is shown as typed, blanks included.
  const std::tuple<CodeTable, const char*, const char*> cases[] = {
      {CodeTable::Teacher, "T'1  ", "该老师代码： T'1   已经存在！"},
      {CodeTable::Course, "01", "该课程代码： 01 已经存在！"},
      {CodeTable::ClassRoom, "01", "该教室代码： 01 已经存在！"},
      {CodeTable::Class, "32", "三年级（2）班 已经存在！"},
      {CodeTable::Class, "05", "学前（5）班 已经存在！"},
      {CodeTable::Class, "A1", "该班级代码： A1 已经存在！"}};
  for (const auto& [table, code, message] : cases) {
    TestDb t;
    ASSERT_TRUE(AppendCodeRecord(t.db(), table, {code, "x", "x", "x"}));
    const Outcome again = AppendCodeRecord(t.db(), table, {code, "y", "y", "y"});
    EXPECT_EQ(again.code(), kDuplicateCode) << code;
    EXPECT_EQ(again.message(), message);
  }
}

TEST(CodeLists, ModifyRewritesOnlyTheExactCode) {
  TestDb t;
  t.AddCourse("1", "语文");
  t.AddCourse("10", "数学");
  t.AddCourse("0", "音乐");
  EXPECT_TRUE(ModifyCodeRecord(t.db(), CodeTable::Course, {" 1 ", "语文A", "语文全", "语简"}));
  EXPECT_EQ(ModifyCodeRecord(t.db(), CodeTable::Course, {"9", "x", "x", "x"}).code(), kRecordNotFound);
  EXPECT_EQ(
      LoadCodeRecords(t.db(), CodeTable::Course),
      (std::vector<CodeRecord>{
          {"1", "语文A", "语文全", "语简"}, {"10", "数学", "数学", "数学"}, {"0", "音乐", "音乐", "音乐"}}));
  EXPECT_EQ(LoadCodeRecords(t.db(), CodeTable::Course, CodeOrder::ByCode).front().code, "0");
}

// Every code table holds the codes 11, 01, T1 and R1; class 11, course 01 and
// teacher T1 have plan rows and lessons beside those of other codes, and every
// code has a restriction of every kind.
void FillSchool(TestDb& t) {
  for (const char* table : {"Classtb", "Coursetb", "Teachertb", "ClassRoomtb"})
    t.db().Execute(std::string("insert into ") + table +
                   " values ('11','','',''),('01','','',''),('T1','','',''),"
                   "('R1','','','')");
  t.AddPlan("11", "01", "T1", 5);
  t.AddPlan("12", "02", "T2", 4);
  t.AddLesson("11", 1, 1, "01", "T1", 1);
  t.AddLesson("11", 1, 2, "01", "T1", 0);
  t.AddLesson("12", 1, 1, "02", "T2", 2);
  for (int kind = 0; kind <= 3; ++kind)
    for (const char* code : {"11", "01", "T1", "R1"}) t.AddLimit(kind, code, 1, 1, 3);
  for (const char* course : {"01", "11"}) t.AddSpecialCourse(course);
}

TEST(DeleteCodeRecord, TakesTheDependentRowsOfItsKindAndAClassroomOnlyItsOwnRow) {
  const std::tuple<CodeTable, const char*, const char*, int> cases[] = {
      {CodeTable::Class, "11", "Classtb", 0},
      {CodeTable::Course, "01", "Coursetb", 1},
      {CodeTable::Teacher, "T1", "Teachertb", 2},
      {CodeTable::ClassRoom, " R1 ", "ClassRoomtb", 3}};
  for (const auto& [table, code, recordTable, kind] : cases) {
    SCOPED_TRACE(recordTable);
    TestDb t;
    FillSchool(t);
    const bool dependents = table != CodeTable::ClassRoom;
    EXPECT_TRUE(DeleteCodeRecord(t.db(), table, code));
    EXPECT_EQ(t.Count(std::string("select count(*) from ") + recordTable), 3);
    EXPECT_EQ(t.Count("select count(*) from LessonListtb"), dependents ? 1 : 3);
    EXPECT_EQ(t.Count("select count(*) from ClassPlantb"), dependents ? 1 : 2);
    EXPECT_EQ(t.Count("select count(*) from Limittb"), dependents ? 15 : 16);
    EXPECT_EQ(t.Count("select count(*) from Limittb where Kind=" + std::to_string(kind) + " and Code='" +
                      TrimBlanks(code) + "'"),
              dependents ? 0 : 1);
    EXPECT_EQ(t.Count("select count(*) from CourseAttrtb"), table == CodeTable::Course ? 1 : 2);
  }
}

TEST(DeleteCodeRecord, IsAllOrNothing) {
  TestDb t;
  FillSchool(t);
  // An unknown code takes no rows that happen to carry it.
  EXPECT_EQ(DeleteCodeRecord(t.db(), CodeTable::Course, "02").code(), kRecordNotFound);
  EXPECT_EQ(t.Count("select count(*) from ClassPlantb where CourseCode='02'"), 1);
  // A record that cannot go keeps its dependent rows.
  t.db().Execute("create trigger keep before delete on Coursetb begin select raise(abort, 'kept'); end");
  const Outcome refused = DeleteCodeRecord(t.db(), CodeTable::Course, "01");
  EXPECT_EQ(refused.code(), Outcome::kFailed);
  EXPECT_EQ(refused.message(), "数据不符合表的约束");
  EXPECT_EQ(t.Count("select count(*) from LessonListtb"), 3);
  EXPECT_EQ(t.Count("select count(*) from ClassPlantb"), 2);
  EXPECT_EQ(t.Count("select count(*) from Limittb"), 16);
}

// The class editor's window tests compose and read back regular classes.
TEST(ClassList, RefusesAGradeBeyondNineAndReadsWhatItCanFromIrregularCodes) {
  EXPECT_FALSE(ComposeClassNames(10, 1));
  const std::tuple<const char*, std::optional<int>, std::optional<int>> cases[] = {
      {"210", 2, 10}, {"125", 1, {}}, {"10", 1, {}}, {"x1", {}, {}}};
  for (const auto& [code, grade, number] : cases) {
    EXPECT_EQ(ParseClassCode(code).grade, grade) << code;
    EXPECT_EQ(ParseClassCode(code).number, number) << code;
  }
  EXPECT_EQ(MissingClassInputs(-1, -1, {"", "x", ""}),
            (std::vector<ClassInput>{ClassInput::Grade, ClassInput::ClassNumber, ClassInput::Name,
                                     ClassInput::ShortName}));
  EXPECT_EQ(MissingClassInputs(3, 20, {"a", "b", "c"}), (std::vector<ClassInput>{ClassInput::ClassNumber}));
}

}  // namespace
}  // namespace orv
