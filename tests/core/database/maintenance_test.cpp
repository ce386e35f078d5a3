// Data maintenance, clearing the timetable and the school-year upgrade.
#include <gtest/gtest.h>

#include "core/database/lookups.h"
#include "core/database/maintenance.h"
#include "support/test_db.h"

namespace orv {
namespace {

using test::TestDb;

struct ClassRecord {
  std::string code, name, fullName, shortName;
};

std::vector<ClassRecord> Classes(TestDb& t) {
  std::vector<ClassRecord> out;
  Cursor c = t.db().Query("select Code,Name,FullName,ShortName from Classtb order by Code");
  while (c.Next()) out.push_back({c.Text(0), c.Text(1), c.Text(2), c.Text(3)});
  return out;
}

std::vector<std::string> ColumnValues(TestDb& t, const char* sql) {
  std::vector<std::string> out;
  Cursor c = t.db().Query(sql);
  while (c.Next()) out.push_back(c.Text(0));
  return out;
}

TEST(MaintainData, RemovesOrphansOfEveryKindAndRecountsBuildCount) {
  TestDb t;
  t.AddClass("11", "一（1）班");
  t.AddCourse("01", "语文");
  t.AddCourse("02", "数学");
  t.AddTeacher("001", "王芳");
  t.AddTeacher("002", "李强");
  t.AddClassRoom("R1", "机房");
  t.AddPlan("11", "01", "001", 5);
  t.AddPlan("11", "02", "002", 5);
  t.AddPlan("99", "01", "001", 3);  // class gone
  t.AddPlan("11", "77", "001", 3);  // course gone
  t.AddLesson("11", 1, 1, "01", "001", 1);
  t.AddLesson("11", 2, 1, "01", "001", 0);
  t.AddLesson("11", 1, 2, "02", "002", 1);
  t.AddLesson("11", 3, 3, "02", "999", 1);                                    // teacher gone
  t.AddLesson("88", 1, 1, "01", "001", 1);                                    // class gone
  t.db().Execute("insert into LessonListtb values ('11',4,4,null,'001',2)");  // course never set
  t.db().Execute("update ClassPlantb set BuildCount=9, IsAutoBuild=1 where CourseCode='01'");
  for (int kind = 0; kind <= 3; ++kind) t.AddLimit(kind, "gone", 1, 1, 3);
  t.AddLimit(0, "11", 1, 1, 3);
  t.AddLimit(1, "01", 1, 1, 0);
  t.AddLimit(2, "001", 1, 1, 2);
  t.AddLimit(3, "R1", 1, 1, 3);
  t.AddLimit(3, "001", 1, 2, 3);  // a teacher code under the classroom kind
  t.AddSpecialCourse("02");
  t.AddSpecialCourse("77");  // course gone

  ASSERT_TRUE(MaintainData(t.db()));

  EXPECT_EQ(t.Count("select count(*) from LessonListtb"), 3);
  EXPECT_EQ(t.Count("select count(*) from LessonListtb where TeacherCode='999' or ClassCode='88'"), 0);
  EXPECT_EQ(t.Count("select count(*) from ClassPlantb"), 2);
  EXPECT_EQ(t.BuildCount("11", "01"), 2);
  EXPECT_EQ(t.BuildCount("11", "02"), 1) << "its lesson with a deleted teacher no longer counts";
  EXPECT_EQ(t.Count("select IsAutoBuild from ClassPlantb where CourseCode='01'"), 1) << "left as it was";
  EXPECT_EQ(ColumnValues(t, "select Kind || ':' || Code from Limittb order by Kind"),
            (std::vector<std::string>{"0:11", "1:01", "2:001", "3:R1"}));
  EXPECT_EQ(ColumnValues(t, "select CourseCode from CourseAttrtb"), (std::vector<std::string>{"02"}));
}

TEST(MaintainData, FailureChangesNothing) {
  TestDb t;
  t.AddClass("11", "一（1）班");
  t.AddLesson("88", 1, 1, "01", "001", 1);
  t.db().Execute("drop table Limittb");  // the last step will fail
  EXPECT_FALSE(MaintainData(t.db()));
  EXPECT_EQ(t.Count("select count(*) from LessonListtb"), 1) << "the earlier deletions were undone";
}

TEST(DeleteAllLessons, RemovesFixedLessonsTooAndZeroesCounters) {
  TestDb t;
  t.AddPlan("11", "01", "001", 3);
  t.AddLesson("11", 1, 1, "01", "001", 0);
  t.AddLesson("11", 1, 2, "01", "001", 1);
  t.AddLesson("11", 1, 3, "01", "001", 2);
  t.db().Execute("update ClassPlantb set BuildCount=3, IsAutoBuild=1");
  EXPECT_TRUE(DeleteAllLessons(t.db()));
  EXPECT_EQ(t.Count("select count(*) from LessonListtb"), 0);
  EXPECT_EQ(t.BuildCount("11", "01"), 0);
  EXPECT_EQ(t.Count("select IsAutoBuild from ClassPlantb"), 0);
  EXPECT_EQ(t.Count("select Count from ClassPlantb"), 3) << "the plan itself stays";
}

TEST(DeleteAllLessons, FailureKeepsTheLessons) {
  TestDb t;
  t.AddLesson("11", 1, 1, "01", "001", 0);
  t.db().Execute("drop table ClassPlantb");
  EXPECT_EQ(DeleteAllLessons(t.db()).code(), -1);
  EXPECT_EQ(t.Count("select count(*) from LessonListtb"), 1);
}

TEST(PromoteClassName, RaisesTheLeadingGradeNumeral) {
  EXPECT_EQ(PromoteClassName("一年级（1）班"), "二年级（1）班");
  EXPECT_EQ(PromoteClassName("一（1）"), "二（1）");
  EXPECT_EQ(PromoteClassName("五（3）班"), "六（3）班");
  EXPECT_EQ(PromoteClassName("七年级（2）班"), "八年级（2）班");
  EXPECT_EQ(PromoteClassName("八年级（2）班"), "九年级（2）班");
  // Last grades of a stage and anything else stay as they are.
  EXPECT_EQ(PromoteClassName("六年级（1）班"), "六年级（1）班");
  EXPECT_EQ(PromoteClassName("九年级（1）班"), "九年级（1）班");
  EXPECT_EQ(PromoteClassName("学前（2）班"), "学前（2）班");
  EXPECT_EQ(PromoteClassName("Class 1"), "Class 1");
  EXPECT_EQ(PromoteClassName(""), "");
  EXPECT_EQ(PromoteClassName("二一班"), "三一班") << "only the first character changes";
}

class UpgradeTest : public ::testing::Test {
 protected:
  void AddGradeClass(const std::string& code, const std::string& grade, int number) {
    const std::string n = std::to_string(number);
    t.AddClass(code, grade + "（" + n + "）班", grade + "年级（" + n + "）班", grade + "（" + n + "）");
    t.AddPlan(code, "01", "T" + code, 5);
    t.AddLesson(code, 1, 1, "01", "T" + code, 1);
    t.AddLesson(code, 2, 1, "01", "T" + code, 0);
  }
  TestDb t;
};

TEST_F(UpgradeTest, MovesEveryClassUpAGradeAndDropsTheLastGrades) {
  AddGradeClass("11", "一", 1);
  AddGradeClass("12", "一", 2);
  AddGradeClass("21", "二", 1);
  AddGradeClass("61", "六", 1);
  AddGradeClass("71", "七", 1);
  AddGradeClass("91", "九", 1);
  t.AddLimit(0, "11", 1, 1, 3);

  ASSERT_TRUE(UpgradeSchoolYear(t.db()));

  const std::vector<ClassRecord> classes = Classes(t);
  std::vector<std::string> codes;
  for (const auto& c : classes) codes.push_back(c.code);
  EXPECT_EQ(codes, (std::vector<std::string>{"11", "12", "21", "22", "31", "81"}));

  // The former 11 is now 21, with its names, plan and lessons.
  EXPECT_EQ(GetClassName(t.db(), "21"), "二（1）班");
  EXPECT_EQ(classes[2].fullName, "二年级（1）班");
  EXPECT_EQ(classes[2].shortName, "二（1）");
  EXPECT_EQ(GetPlanTeacher(t.db(), "21", "01"), "T11");
  EXPECT_EQ(GetPlanTeacher(t.db(), "31", "01"), "T21");
  EXPECT_EQ(t.Count("select count(*) from LessonListtb where ClassCode='22' and TeacherCode='T12'"), 2);
  EXPECT_EQ(GetClassName(t.db(), "81"), "八（1）班");
  EXPECT_EQ(classes[5].fullName, "八年级（1）班");

  // New first-grade classes under the old codes and names, empty.
  EXPECT_EQ(classes[0].name, "一（1）班");
  EXPECT_EQ(classes[0].fullName, "一年级（1）班");
  EXPECT_EQ(classes[1].shortName, "一（2）");
  EXPECT_EQ(t.Count("select count(*) from ClassPlantb where substr(ClassCode,1,1)='1'"), 0);
  EXPECT_EQ(t.Count("select count(*) from LessonListtb where substr(ClassCode,1,1)='1'"), 0);

  // Graduates are gone with their plans and lessons.
  EXPECT_EQ(t.Count("select count(*) from ClassPlantb where TeacherCode in ('T61','T91')"), 0);
  EXPECT_EQ(t.Count("select count(*) from LessonListtb where TeacherCode in ('T61','T91')"), 0);
  EXPECT_EQ(t.Count("select count(*) from LessonListtb"), 8);

  // Restrictions stay with the code.
  EXPECT_EQ(t.Count("select count(*) from Limittb where Kind=0 and Code='11'"), 1);
}

TEST_F(UpgradeTest, PreSchoolAndTenthClassesAreHandledByTheirGradeDigit) {
  AddGradeClass("02", "学前", 2);
  AddGradeClass("110", "一", 10);
  AddGradeClass("210", "二", 10);
  ASSERT_TRUE(UpgradeSchoolYear(t.db()));
  EXPECT_EQ(GetClassName(t.db(), "02"), "学前（2）班");
  EXPECT_EQ(t.Count("select count(*) from LessonListtb where ClassCode='02'"), 2);
  EXPECT_EQ(GetClassName(t.db(), "210"), "二（10）班");
  EXPECT_EQ(GetClassName(t.db(), "310"), "三（10）班");
  EXPECT_EQ(GetClassName(t.db(), "110"), "一（10）班");
  EXPECT_EQ(GetPlanTeacher(t.db(), "210", "01"), "T110");
  EXPECT_EQ(GetPlanTeacher(t.db(), "310", "01"), "T210");
}

TEST_F(UpgradeTest, GradeIsReadFromTheFirstCharacterAsText) {
  // "6x" and "60" are grade six although "6x" is no number.
  AddGradeClass("51", "五", 1);
  t.AddLesson("6x", 1, 1, "01", "T", 1);
  t.AddLesson("60", 1, 1, "01", "T", 1);
  ASSERT_TRUE(UpgradeSchoolYear(t.db()));
  EXPECT_EQ(t.Count("select count(*) from LessonListtb where substr(ClassCode,1,1)='6'"), 2)
      << "only the former 51's lessons are in grade six now";
}

TEST_F(UpgradeTest, CodeWithoutGradeDigitRefusesTheWholeUpgrade) {
  AddGradeClass("11", "一", 1);
  t.AddClass("A1", "兴趣班");
  const Outcome refused = UpgradeSchoolYear(t.db());
  EXPECT_EQ(refused.code(), -1);
  EXPECT_EQ(refused.message(), "班级代码 'A1' 不以年级数字开头");
  std::vector<std::string> codes;
  for (const auto& c : Classes(t)) codes.push_back(c.code);
  EXPECT_EQ(codes, (std::vector<std::string>{"11", "A1"}));
  EXPECT_EQ(t.Count("select count(*) from LessonListtb where ClassCode='11'"), 2);
}

TEST_F(UpgradeTest, FailurePartWayLeavesTheDatabaseAsItWas) {
  AddGradeClass("11", "一", 1);
  AddGradeClass("61", "六", 1);
  // Re-creating the first grade, the very last step, fails.
  t.db().Execute("create trigger boom before insert on Classtb begin select raise(abort, 'disk full'); end");
  EXPECT_EQ(UpgradeSchoolYear(t.db()).code(), -1);
  EXPECT_EQ(t.Count("select count(*) from Classtb"), 2);
  EXPECT_EQ(GetClassName(t.db(), "11"), "一（1）班") << "not renamed";
  EXPECT_EQ(t.Count("select count(*) from LessonListtb where ClassCode='61'"), 2) << "graduates not deleted";
  EXPECT_EQ(t.Count("select count(*) from LessonListtb where ClassCode='11'"), 2) << "lessons not moved";
}

}  // namespace
}  // namespace orv
