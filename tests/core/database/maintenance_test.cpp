// SPDX-License-Identifier: GPL-3.0-or-later
// Data maintenance, clearing the timetable and the school-year upgrade.
#include <gtest/gtest.h>

#include "core/database/maintenance.h"
#include "support/test_db.h"

namespace orv {
namespace {

using test::TestDb;

std::string Text(TestDb& t, const std::string& sql) { return t.db().FirstText(sql).value_or(""); }

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

  EXPECT_EQ(Text(t, "select group_concat(ClassCode||Day||LessonNo||TeacherCode,' ') from LessonListtb"),
            "1111001 1121001 1112002");
  // The lesson with a deleted teacher no longer counts; IsAutoBuild is left as it was.
  EXPECT_EQ(
      Text(t, "select group_concat(CourseCode||'='||BuildCount||'/'||IsAutoBuild,' ') from ClassPlantb"),
      "01=2/1 02=1/0");
  EXPECT_EQ(Text(t, "select group_concat(Kind||':'||Code) from (select * from Limittb order by Kind)"),
            "0:11,1:01,2:001,3:R1");
  EXPECT_EQ(Text(t, "select group_concat(CourseCode) from CourseAttrtb"), "02");
}

// What a maintenance says it repaired is what it repaired: lessons outside
// any week and plan rows without a usable weekly count no longer survive a
// run that reports "done", and each repair is counted.
TEST(MaintainData, RemovesLessonsOutsideAnyWeekAndMakesEveryWeeklyCountWhole1To35) {
  TestDb t;
  t.AddClass("11", "一（1）班");
  t.AddCourse("01", "语文");
  t.AddTeacher("001", "王芳");
  for (const char* course : {"02", "03", "04", "05", "06", "07", "08"}) t.AddCourse(course, course);
  t.AddLesson("11", 5, 7, "01", "001", 1);  // beyond a six-lesson day, but a day can hold seven
  t.AddLesson("11", 1, 1, "01", "001", 1);
  t.AddLesson("11", 99, 1, "01", "001", 1);
  t.AddLesson("11", 1, 8, "01", "001", 1);
  t.AddLesson("11", 0, 1, "01", "001", 1);
  t.db().Execute(
      "insert into LessonListtb values ('11',null,2,'01','001',1),('11',2,null,'01','001',1),"
      "('11',2.5,1,'01','001',1),('11','Mon',1,'01','001',1)");
  t.db().Execute(
      "insert into ClassPlantb (ClassCode,CourseCode,TeacherCode,Count) values ('11','01','001',2),"
      "('11','02','001',null),('11','03','001',0),('11','04','001',-3),('11','05','001','many'),"
      "('11','06','001',2147483647),('11','07','001',2.5),('11','08','001',null)");
  t.AddLesson("11", 3, 3, "08", "001", 1);  // the row without a count keeps what was placed
  t.AddLesson("11", 3, 4, "08", "001", 1);

  const Result<MaintenanceReport> r = MaintainData(t.db());
  ASSERT_TRUE(r) << r.message();
  EXPECT_EQ(Text(t,
                 "select group_concat(Day||'/'||LessonNo||CourseCode,' ') from (select * from LessonListtb "
                 "order by rowid)"),
            "5/701 1/101 3/308 3/408");
  EXPECT_EQ(
      Text(t,
           "select group_concat(CourseCode||'='||Count,' ') from (select * from ClassPlantb order by rowid)"),
      "01=2 06=35 07=2 08=2");
  EXPECT_EQ(r->lessonsOutsideWeek, 7);
  EXPECT_EQ(r->orphanLessons, 0);
  EXPECT_EQ(r->planRowsWithoutCount, 4);
  EXPECT_EQ(r->planCountsFromLessons, 1);
  EXPECT_EQ(r->planCountsCapped, 2);
  EXPECT_EQ(MaintenanceLines(*r)[0], "删除星期或节次无效的课：7");

  // A second run finds nothing left to do, and says so.
  const Result<MaintenanceReport> again = MaintainData(t.db());
  ASSERT_TRUE(again);
  EXPECT_EQ(again->Repairs(), 0);
  EXPECT_EQ(MaintenanceLines(*again), std::vector<std::string>{"没有发现需要修复的数据"});
}

// The stricter of two marks on one cell is the one every reader takes; the
// maintenance keeps just that, in one row, and leaves other cells alone.
TEST(MaintainData, KeepsOneRowWithTheStricterMarkOfACellStoredTwice) {
  TestDb t;
  t.AddTeacher("T1", "李");
  t.AddLimit(2, "T1", 1, 1, 0);
  t.AddLimit(2, "T1", 1, 1, 3);
  t.AddLimit(2, "T1", 1, 1, 2);
  t.AddLimit(2, "T1", 1, 2, 1);
  t.AddLimit(2, "T1", 1, 3, 9);  // no mark: the window lists it apart
  t.AddLimit(2, "T1", 1, 3, 2);
  const Result<MaintenanceReport> r = MaintainData(t.db());
  ASSERT_TRUE(r) << r.message();
  EXPECT_EQ(r->duplicateRestrictions, 2);
  EXPECT_EQ(
      Text(t, "select group_concat(LessonNo||':'||Attr,' ') from (select * from Limittb order by rowid)"),
      "1:3 2:1 3:9 3:2");
  EXPECT_NE(MaintenanceLines(*r)[0].find("删除同一节次重复的限制（保留较严格的一项）：2"), std::string::npos);
}

TEST(MaintainData, FailureChangesNothing) {
  TestDb t;
  t.AddClass("11", "一（1）班");
  t.AddLesson("88", 1, 1, "01", "001", 1);
  t.db().Execute("drop table Limittb");  // the last step will fail
  EXPECT_FALSE(MaintainData(t.db()));
  EXPECT_EQ(t.Count("select count(*) from LessonListtb"), 1) << "the earlier deletions were undone";
}

TEST(DeleteAllLessons, RemovesFixedLessonsTooAndZeroesCountersOrOnFailureNothing) {
  TestDb t;
  t.AddPlan("11", "01", "001", 3);
  for (int flag = 0; flag <= 2; ++flag) t.AddLesson("11", 1, flag + 1, "01", "001", flag);
  t.db().Execute("update ClassPlantb set BuildCount=3, IsAutoBuild=1");
  EXPECT_TRUE(DeleteAllLessons(t.db()));
  EXPECT_EQ(t.Count("select count(*) from LessonListtb"), 0);
  EXPECT_EQ(Text(t, "select Count||'/'||BuildCount||'/'||IsAutoBuild from ClassPlantb"), "3/0/0")
      << "the plan itself stays";

  t.AddLesson("11", 1, 1, "01", "001", 0);
  t.db().Execute("drop table ClassPlantb");
  EXPECT_EQ(DeleteAllLessons(t.db()).code(), -1);
  EXPECT_EQ(t.Count("select count(*) from LessonListtb"), 1);
}

TEST(PromoteClassName, RaisesTheLeadingGradeNumeralOnly) {
  // Last grades of a stage and anything else stay as they are.
  const std::pair<const char*, const char*> cases[] = {{"一年级（1）班", "二年级（1）班"},
                                                       {"一（1）", "二（1）"},
                                                       {"五（3）班", "六（3）班"},
                                                       {"八年级（2）班", "九年级（2）班"},
                                                       {"六年级（1）班", "六年级（1）班"},
                                                       {"九年级（1）班", "九年级（1）班"},
                                                       {"学前（2）班", "学前（2）班"},
                                                       {"Class 1", "Class 1"},
                                                       {"", ""},
                                                       {"二一班", "三一班"}};
  for (const auto& [name, promoted] : cases) EXPECT_EQ(PromoteClassName(name), promoted) << name;
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
  std::string Classes() {
    return Text(t,
                "select group_concat(Code||' '||Name||' '||FullName||' '||ShortName, ', ') from (select * "
                "from Classtb order by Code)");
  }
  // Class/teacher of the plan rows and of the lessons, with how many lessons.
  std::string Rows() {
    return Text(t,
                "select group_concat(ClassCode||'/'||TeacherCode,' ') from (select * from ClassPlantb order "
                "by 1)") +
           " | " +
           Text(t,
                "select group_concat(c||'/'||n,' ') from (select ClassCode||'/'||TeacherCode c,count(*) n "
                "from LessonListtb group by c order by c)");
  }
  TestDb t;
};

// The grade is the first character of the code, read as text: "110" is class
// 10 of grade one and "6x" is in grade six; pre-school ("02") stays.
TEST_F(UpgradeTest, MovesEveryClassUpAGradeAndDropsTheLastGrades) {
  const std::tuple<const char*, const char*, int> classes[] = {
      {"02", "学前", 2}, {"11", "一", 1}, {"12", "一", 2}, {"110", "一", 10}, {"21", "二", 1},
      {"210", "二", 10}, {"51", "五", 1}, {"61", "六", 1}, {"71", "七", 1},   {"91", "九", 1}};
  for (const auto& [code, grade, number] : classes) AddGradeClass(code, grade, number);
  t.AddLesson("6x", 1, 1, "01", "T", 1);
  t.AddLesson("60", 1, 1, "01", "T", 1);
  t.AddLimit(0, "11", 1, 1, 3);

  ASSERT_TRUE(UpgradeSchoolYear(t.db()));

  // New first-grade classes under the old codes and names, empty.
  EXPECT_EQ(Classes(),
            "02 学前（2）班 学前年级（2）班 学前（2）, 11 一（1）班 一年级（1）班 一（1）, "
            "110 一（10）班 一年级（10）班 一（10）, 12 一（2）班 一年级（2）班 一（2）, "
            "21 二（1）班 二年级（1）班 二（1）, 210 二（10）班 二年级（10）班 二（10）, "
            "22 二（2）班 二年级（2）班 二（2）, 31 三（1）班 三年级（1）班 三（1）, "
            "310 三（10）班 三年级（10）班 三（10）, 61 六（1）班 六年级（1）班 六（1）, "
            "81 八（1）班 八年级（1）班 八（1）");
  // Graduates are gone with their plans and lessons; the others moved along.
  EXPECT_EQ(Rows(),
            "02/T02 21/T11 210/T110 22/T12 31/T21 310/T210 61/T51 81/T71 | 02/T02/2 21/T11/2 210/T110/2 "
            "22/T12/2 31/T21/2 310/T210/2 61/T51/2 81/T71/2");
  EXPECT_EQ(t.Count("select count(*) from Limittb where Kind=0 and Code='11'"), 1) << "stays with the code";
}

TEST_F(UpgradeTest, ACodeWithoutGradeDigitOrAFailurePartWayChangesNothing) {
  AddGradeClass("11", "一", 1);
  AddGradeClass("61", "六", 1);
  t.AddClass("A1", "兴趣班");
  const std::string classes = Classes(), rows = Rows();
  const Outcome refused = UpgradeSchoolYear(t.db());
  EXPECT_EQ(refused.code(), -1);
  EXPECT_EQ(refused.message(), "班级代码 'A1' 不以年级数字开头");
  EXPECT_EQ(Classes(), classes);
  EXPECT_EQ(Rows(), rows);
  // Re-creating the first grade, the very last step, fails.
  t.db().Execute("delete from Classtb where Code='A1'");
  const std::string left = Classes();
  t.db().Execute("create trigger boom before insert on Classtb begin select raise(abort, 'disk full'); end");
  EXPECT_EQ(UpgradeSchoolYear(t.db()).code(), -1);
  EXPECT_EQ(Classes(), left);
  EXPECT_EQ(Rows(), rows);
}

}  // namespace
}  // namespace orv
