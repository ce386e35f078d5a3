#include "core/database/code_lists.h"

#include <gtest/gtest.h>

#include "core/database/class_list.h"
#include "core/database/demo_school.h"
#include "support/test_db.h"

namespace orv {
namespace {

using test::TestDb;

TEST(TrimBlanks, RemovesSpacesTabsAndFullWidthBlanksAtBothEnds) {
  EXPECT_EQ(TrimBlanks("  12 \t"), "12");
  EXPECT_EQ(TrimBlanks("\xE3\x80\x80语文\xE3\x80\x80"), "语文");
  EXPECT_EQ(TrimBlanks("语 文"), "语 文");
  EXPECT_EQ(TrimBlanks("   "), "");
}

TEST(MissingCodeFields, ReportsFromCodeToShortNameAndClassroomsNeedOnlyCodeAndName) {
  EXPECT_EQ(MissingCodeFields(CodeTable::Course, {"1", " ", "", "sx"}),
            (std::vector<CodeField>{CodeField::Name, CodeField::FullName}));
  EXPECT_EQ(
      MissingCodeFields(CodeTable::Teacher, {"", "", "", ""}),
      (std::vector<CodeField>{CodeField::Code, CodeField::Name, CodeField::FullName, CodeField::ShortName}));
  EXPECT_TRUE(MissingCodeFields(CodeTable::ClassRoom, {"1", "机房", "", ""}).empty());
  EXPECT_EQ(MissingCodeFields(CodeTable::ClassRoom, {" ", " ", "", ""}),
            (std::vector<CodeField>{CodeField::Code, CodeField::Name}));
}

TEST(AppendCodeRecord, StoresTrimmedValuesAndRefusesAStoredCode) {
  TestDb t;
  EXPECT_EQ(AppendCodeRecord(t.db(), CodeTable::Course, {" 01 ", " 语文", "语文课 ", " 语"}),
            WriteOutcome::Done);
  EXPECT_EQ(LoadCodeRecords(t.db(), CodeTable::Course),
            (std::vector<CodeRecord>{{"01", "语文", "语文课", "语"}}));
  EXPECT_EQ(AppendCodeRecord(t.db(), CodeTable::Course, {"01  ", "数学", "数学", "数"}),
            WriteOutcome::Duplicate);
  EXPECT_EQ(t.Count("select count(*) from Coursetb"), 1);
  EXPECT_EQ(t.Count("select count(*) from Coursetb where Name='数学'"), 0);
}

TEST(AppendCodeRecord, KeepsQuotesAsTyped) {
  TestDb t;
  EXPECT_EQ(AppendCodeRecord(t.db(), CodeTable::Teacher, {"T'1", "O'Neil", "a\"b", "'); drop"}),
            WriteOutcome::Done);
  EXPECT_EQ(LoadCodeRecords(t.db(), CodeTable::Teacher).at(0),
            (CodeRecord{"T'1", "O'Neil", "a\"b", "'); drop"}));
}

TEST(ModifyCodeRecord, RewritesOnlyTheExactCodeAndNeverTheCode) {
  TestDb t;
  t.AddCourse("1", "语文");
  t.AddCourse("10", "数学");
  EXPECT_EQ(ModifyCodeRecord(t.db(), CodeTable::Course, {" 1 ", "语文A", "语文全", "语简"}),
            WriteOutcome::Done);
  const auto records = LoadCodeRecords(t.db(), CodeTable::Course);
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(records[0], (CodeRecord{"1", "语文A", "语文全", "语简"}));
  EXPECT_EQ(records[1], (CodeRecord{"10", "数学", "数学", "数学"}));
}

TEST(ModifyCodeRecord, AnUnknownCodeChangesNothing) {
  TestDb t;
  t.AddClassRoom("1", "机房");
  EXPECT_EQ(ModifyCodeRecord(t.db(), CodeTable::ClassRoom, {"9", "x", "", ""}), WriteOutcome::NotFound);
  EXPECT_EQ(t.Count("select count(*) from ClassRoomtb where Name='机房'"), 1);
}

// A small school in which every kind of record has dependent rows, plus a
// second record of each kind whose rows must survive.
class DeleteCodeRecordTest : public ::testing::Test {
 protected:
  void SetUp() override {
    t.AddClass("11", "一（1）班");
    t.AddClass("12", "一（2）班");
    t.AddCourse("01", "语文");
    t.AddCourse("02", "数学");
    t.AddTeacher("T1", "张");
    t.AddTeacher("T2", "李");
    t.AddClassRoom("R1", "机房");
    t.AddPlan("11", "01", "T1", 5);
    t.AddPlan("12", "02", "T2", 4);
    t.AddLesson("11", 1, 1, "01", "T1", 1);
    t.AddLesson("11", 1, 2, "01", "T1", 0);
    t.AddLesson("12", 1, 1, "02", "T2", 2);
    for (int kind = 0; kind <= 3; ++kind) {
      static const char* kFirst[] = {"11", "01", "T1", "R1"};
      t.AddLimit(kind, kFirst[kind], 1, 1, 3);
      t.AddLimit(kind, "other", 1, 1, 3);
    }
  }
  long long Rows(const char* table) { return t.Count(std::string("select count(*) from ") + table); }
  TestDb t;
};

TEST_F(DeleteCodeRecordTest, ACourseTakesItsLessonsPlanRowsAndCourseRestrictions) {
  EXPECT_EQ(DeleteCodeRecord(t.db(), CodeTable::Course, "01"), WriteOutcome::Done);
  EXPECT_EQ(t.Count("select count(*) from Coursetb where Code='01'"), 0);
  EXPECT_EQ(t.Count("select count(*) from LessonListtb where CourseCode='01'"), 0);
  EXPECT_EQ(t.Count("select count(*) from ClassPlantb where CourseCode='01'"), 0);
  EXPECT_EQ(t.Count("select count(*) from Limittb where Code='01'"), 0);
  EXPECT_EQ(Rows("LessonListtb"), 1);
  EXPECT_EQ(Rows("ClassPlantb"), 1);
  EXPECT_EQ(Rows("Limittb"), 7);
}

TEST_F(DeleteCodeRecordTest, ATeacherTakesTeacherRestrictionsOnly) {
  EXPECT_EQ(DeleteCodeRecord(t.db(), CodeTable::Teacher, "T1"), WriteOutcome::Done);
  EXPECT_EQ(t.Count("select count(*) from LessonListtb where TeacherCode='T1'"), 0);
  EXPECT_EQ(t.Count("select count(*) from ClassPlantb where TeacherCode='T1'"), 0);
  EXPECT_EQ(t.Count("select count(*) from Limittb where Kind=2 and Code='T1'"), 0);
  EXPECT_EQ(Rows("Limittb"), 7);
  EXPECT_EQ(Rows("Teachertb"), 1);
}

TEST_F(DeleteCodeRecordTest, AClassTakesItsTimetablePlanAndClassRestrictions) {
  EXPECT_EQ(DeleteCodeRecord(t.db(), CodeTable::Class, "11"), WriteOutcome::Done);
  EXPECT_EQ(t.Count("select count(*) from LessonListtb where ClassCode='11'"), 0);
  EXPECT_EQ(t.Count("select count(*) from ClassPlantb where ClassCode='11'"), 0);
  EXPECT_EQ(t.Count("select count(*) from Limittb where Kind=0 and Code='11'"), 0);
  EXPECT_EQ(Rows("Classtb"), 1);
  EXPECT_EQ(Rows("LessonListtb"), 1);
}

TEST_F(DeleteCodeRecordTest, AClassroomLeavesItsRestrictionsForMaintenance) {
  EXPECT_EQ(DeleteCodeRecord(t.db(), CodeTable::ClassRoom, " R1 "), WriteOutcome::Done);
  EXPECT_EQ(Rows("ClassRoomtb"), 0);
  EXPECT_EQ(t.Count("select count(*) from Limittb where Kind=3 and Code='R1'"), 1);
  EXPECT_EQ(Rows("Limittb"), 8);
}

TEST_F(DeleteCodeRecordTest, AnUnknownCodeLeavesAllRowsAlone) {
  // Dependent rows under a code whose record is missing stay for maintenance:
  // the delete is one operation and did not find its record.
  t.AddPlan("11", "99", "T1", 2);
  EXPECT_EQ(DeleteCodeRecord(t.db(), CodeTable::Course, "99"), WriteOutcome::NotFound);
  EXPECT_EQ(t.Count("select count(*) from ClassPlantb where CourseCode='99'"), 1);
}

TEST_F(DeleteCodeRecordTest, AFailureHalfwayRollsBackTheDependentDeletes) {
  // A trigger makes the last statement, the record itself, fail.
  t.db().Raw().exec(
      "create trigger keep_course before delete on Coursetb begin select raise(abort, 'kept'); end");
  EXPECT_EQ(DeleteCodeRecord(t.db(), CodeTable::Course, "01"), WriteOutcome::Failed);
  EXPECT_EQ(t.Count("select count(*) from LessonListtb where CourseCode='01'"), 2);
  EXPECT_EQ(t.Count("select count(*) from ClassPlantb where CourseCode='01'"), 1);
  EXPECT_EQ(t.Count("select count(*) from Limittb where Kind=1 and Code='01'"), 1);
  EXPECT_EQ(Rows("Coursetb"), 2);
}

TEST(ClassList, ComposesNamesAndCodesFromGradeAndNumber) {
  EXPECT_EQ(ComposeClassNames(1, 3), (ClassNames{"一（3）班", "一年级（3）班", "一（3）"}));
  EXPECT_EQ(ComposeClassNames(0, 12), (ClassNames{"学前（12）班", "学前年级（12）班", "学前（12）"}));
  EXPECT_FALSE(ComposeClassNames(10, 1));
  EXPECT_EQ(ClassCodeFor(0, 12), "012");
  EXPECT_EQ(ClassCodeFor(1, 10), "110");
}

TEST(ClassList, ReadsTheSelectionsBackFromACode) {
  auto parts = ParseClassCode("210");
  EXPECT_EQ(parts.grade, 2);
  EXPECT_EQ(parts.number, 10);
  parts = ParseClassCode("012");
  EXPECT_EQ(parts.grade, 0);
  EXPECT_EQ(parts.number, 12);
  parts = ParseClassCode("13");
  EXPECT_EQ(parts.grade, 1);
  EXPECT_EQ(parts.number, 3);
  // Codes from elsewhere that do not follow the pattern give what they can.
  parts = ParseClassCode("125");
  EXPECT_EQ(parts.grade, 1);
  EXPECT_FALSE(parts.number);
  parts = ParseClassCode("x1");
  EXPECT_FALSE(parts.grade);
  EXPECT_FALSE(ParseClassCode("10").number);
}

TEST(ClassList, MissingInputsComeInGradeClassNameOrder) {
  EXPECT_EQ(MissingClassInputs(-1, -1, {"", "x", ""}),
            (std::vector<ClassInput>{ClassInput::Grade, ClassInput::ClassNumber, ClassInput::Name,
                                     ClassInput::ShortName}));
  EXPECT_TRUE(MissingClassInputs(0, 19, {"a", "b", "c"}).empty());
  EXPECT_EQ(MissingClassInputs(3, 20, {"a", "b", "c"}), (std::vector<ClassInput>{ClassInput::ClassNumber}));
}

}  // namespace
}  // namespace orv
