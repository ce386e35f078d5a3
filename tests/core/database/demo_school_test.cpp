// The demo school must look like a real school's data and be internally
// consistent, since the benchmarks and screenshots are built on it.
#include <gtest/gtest.h>

#include "core/database/demo_school.h"
#include "core/database/lookups.h"
#include "support/test_db.h"

namespace orv {
namespace {

using test::TestDb;

TEST(DemoSchool, ClassesAreCodedAndNamedAsTheClassEditorDoes) {
  EXPECT_EQ(ClassCodeFor(1, 3), "13");
  EXPECT_EQ(ClassCodeFor(1, 10), "110");
  EXPECT_EQ(ClassCodeFor(0, 2), "02");
  EXPECT_EQ(GradeText(0), "学前");
  EXPECT_EQ(GradeText(7), "七");
  EXPECT_EQ(GradeText(10), "");

  TestDb t;
  ASSERT_TRUE(FillDemoSchool(t.db(), DemoOptions{}));
  EXPECT_EQ(t.Count("select count(*) from Classtb"), 18);
  EXPECT_EQ(GetClassName(t.db(), "11"), "一（1）班");
  EXPECT_EQ(t.db().FirstText("select FullName from Classtb where Code='63'").value_or(""), "六年级（3）班");
  EXPECT_EQ(GetClassShortName(t.db(), "42"), "四（2）");
}

TEST(DemoSchool, PlanFillsMostOfTheWeekWithOneTeacherPerCourseAndClass) {
  for (int lessons : {6, 7}) {
    for (auto [first, last] : {std::pair{1, 6}, std::pair{7, 9}, std::pair{1, 9}}) {
      TestDb t;
      DemoOptions o;
      o.firstGrade = first;
      o.lastGrade = last;
      o.classesPerGrade = 2;
      o.lessonsPerDay = lessons;
      ASSERT_TRUE(FillDemoSchool(t.db(), o));
      Cursor c = t.db().Query("select ClassCode, sum(Count) from ClassPlantb group by ClassCode");
      int classes = 0;
      while (c.Next()) {
        ++classes;
        const double fill = static_cast<double>(c.Int(1)) / (5 * lessons);
        EXPECT_GE(fill, 0.80) << c.Text(0) << " at " << lessons;
        EXPECT_LE(fill, 0.95) << c.Text(0) << " at " << lessons;
      }
      EXPECT_EQ(classes, 2 * (last - first + 1));
      EXPECT_EQ(t.Count("select count(*) from (select 1 from ClassPlantb group by ClassCode, CourseCode"
                        " having count(*) > 1)"),
                0);
      EXPECT_EQ(t.Count("select count(*) from ClassPlantb where TeacherCode not in (select Code from Teachertb)"
                        " or CourseCode not in (select Code from Coursetb)"),
                0);
      const bool middle = last >= 7;
      EXPECT_EQ(GetCourseCode(t.db(), "物理").empty(), !middle);
    }
  }
}

TEST(DemoSchool, TeachersHaveOrdinaryLoadsAndDistinctNames) {
  TestDb t;
  DemoOptions o;
  o.lastGrade = 9;
  o.classesPerGrade = 8;
  ASSERT_TRUE(FillDemoSchool(t.db(), o));
  EXPECT_EQ(t.Count("select max(n) from (select sum(Count) n from ClassPlantb group by TeacherCode)") <= 18, true);
  EXPECT_GE(t.Count("select min(n) from (select sum(Count) n from ClassPlantb group by TeacherCode)"), 1);
  EXPECT_EQ(t.Count("select count(*) - count(distinct Name) from Teachertb"), 0);
}

TEST(DemoSchool, ClassMeetingIsFixedOnFridaysLastLessonWithoutClashes) {
  for (int lessons : {6, 7}) {
    TestDb t;
    DemoOptions o;
    o.lessonsPerDay = lessons;
    ASSERT_TRUE(FillDemoSchool(t.db(), o));
    EXPECT_EQ(t.Count("select count(*) from LessonListtb where SetFlag=0 and Day=5"), 18);
    EXPECT_EQ(t.Count("select count(*) from LessonListtb where not (SetFlag=0 and Day=5 and LessonNo=" +
                      std::to_string(lessons) + ")"),
              0);
    EXPECT_EQ(t.Count("select count(distinct TeacherCode) from LessonListtb"), 18)
        << "each meeting has its own head teacher";
    EXPECT_EQ(t.Count("select count(*) from ClassPlantb P where BuildCount <> (select count(*) from LessonListtb L"
                      " where L.ClassCode=P.ClassCode and L.CourseCode=P.CourseCode and L.TeacherCode=P.TeacherCode)"),
              0);
  }
}

TEST(DemoSchool, SpecialCoursesAndRestrictions) {
  TestDb t;
  ASSERT_TRUE(FillDemoSchool(t.db(), DemoOptions{}));
  const std::string pe = GetCourseCode(t.db(), "体育");
  const std::string it = GetCourseCode(t.db(), "信息技术");
  EXPECT_EQ(t.Count("select count(*) from CourseAttrtb"), 2);
  EXPECT_TRUE(t.db().Exists("select 1 from CourseAttrtb where CourseCode=?", pe));
  EXPECT_TRUE(t.db().Exists("select 1 from CourseAttrtb where CourseCode=?", it));
  EXPECT_EQ(t.db().FirstInt("select count(*) from Limittb where Kind=1 and Code=? and LessonNo=1 and Attr=3", pe)
                .value_or(0),
            5);
  const std::string chinese = GetCourseCode(t.db(), "语文");
  EXPECT_EQ(t.db().FirstInt("select max(LessonNo) from Limittb where Kind=1 and Code=? and Attr=0", chinese)
                .value_or(0),
            4);
}

TEST(DemoSchool, BadOptionsAreRefusedAndWriteNothing) {
  TestDb t;
  DemoOptions o;
  o.lessonsPerDay = 8;
  std::string why;
  EXPECT_FALSE(FillDemoSchool(t.db(), o, &why));
  EXPECT_FALSE(why.empty());
  o = DemoOptions{};
  o.firstGrade = 5;
  o.lastGrade = 3;
  EXPECT_FALSE(FillDemoSchool(t.db(), o, &why));
  o = DemoOptions{};
  o.classesPerGrade = 21;
  EXPECT_FALSE(FillDemoSchool(t.db(), o, &why));
  EXPECT_EQ(t.Count("select count(*) from Classtb"), 0);
}

TEST(DemoSchool, SameSeedSameSchool) {
  auto teachers = [](std::uint64_t seed) {
    TestDb t;
    DemoOptions o;
    o.seed = seed;
    EXPECT_TRUE(FillDemoSchool(t.db(), o));
    std::string all;
    Cursor c = t.db().Query("select Name from Teachertb order by Code");
    while (c.Next()) all += c.Text(0) + ",";
    return all;
  };
  EXPECT_EQ(teachers(7), teachers(7));
  EXPECT_NE(teachers(7), teachers(8));
}

}  // namespace
}  // namespace orv
