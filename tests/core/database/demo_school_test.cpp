// The demo school must look like a real school's data and be internally
// consistent, since the benchmarks and screenshots are built on it.
#include <gtest/gtest.h>

#include <tuple>

#include "core/database/demo_school.h"
#include "core/database/lookups.h"
#include "support/test_db.h"

namespace orv {
namespace {

using test::TestDb;

TEST(DemoSchool, ClassesAreCodedAndNamedAsTheClassEditorDoes) {
  EXPECT_EQ(ClassCodeFor(1, 10), "110");
  EXPECT_EQ(ClassCodeFor(0, 2), "02");
  TestDb t;
  ASSERT_TRUE(FillDemoSchool(t.db(), DemoOptions{}));
  EXPECT_EQ(t.Count("select count(*) from Classtb"), 18);
  EXPECT_EQ(GetClassName(t.db(), "11"), "一（1）班");
  EXPECT_EQ(t.db().FirstText("select FullName from Classtb where Code='63'").value_or(""), "六年级（3）班");
  EXPECT_EQ(GetClassShortName(t.db(), "42"), "四（2）");
}

// Every grade range and day length: 80-95 % of the week planned, one teacher
// per course and class, nothing dangling, ordinary teacher loads, and the
// class meeting fixed on Friday's last lesson with its own head teacher.
TEST(DemoSchool, PlanIsConsistentForEveryShapeOfSchool) {
  for (int lessons : {6, 7}) {
    for (auto [first, last] : {std::pair{1, 6}, std::pair{7, 9}, std::pair{1, 9}}) {
      SCOPED_TRACE(std::to_string(first) + "-" + std::to_string(last) + " x" + std::to_string(lessons));
      TestDb t;
      DemoOptions o;
      o.firstGrade = first;
      o.lastGrade = last;
      o.classesPerGrade = 4;
      o.lessonsPerDay = lessons;
      ASSERT_TRUE(FillDemoSchool(t.db(), o));
      const long long classes = 4 * (last - first + 1);
      const int week = 5 * lessons;
      EXPECT_EQ(t.Count("select count(*) from (select ClassCode from ClassPlantb group by ClassCode having"
                        " sum(Count) * 100 between 80 * " +
                        std::to_string(week) + " and 95 * " + std::to_string(week) + ")"),
                classes);
      EXPECT_EQ(t.Count("select count(*) from (select 1 from ClassPlantb group by ClassCode, CourseCode"
                        " having count(*) > 1)"),
                0);
      EXPECT_EQ(
          t.Count("select count(*) from ClassPlantb where TeacherCode not in (select Code from Teachertb)"
                  " or CourseCode not in (select Code from Coursetb)"),
          0);
      EXPECT_LE(t.Count("select max(n) from (select sum(Count) n from ClassPlantb group by TeacherCode)"),
                18);
      EXPECT_EQ(t.Count("select count(*) - count(distinct Name) from Teachertb"), 0);
      EXPECT_EQ(GetCourseCode(t.db(), "物理").empty(), last < 7);

      EXPECT_EQ(t.Count("select count(*) from LessonListtb where SetFlag=0 and Day=5 and LessonNo=" +
                        std::to_string(lessons)),
                classes);
      EXPECT_EQ(t.Count("select count(*) from LessonListtb"), classes);
      EXPECT_EQ(t.Count("select count(distinct TeacherCode) from LessonListtb"), classes);
      EXPECT_EQ(
          t.Count(
              "select count(*) from ClassPlantb P where BuildCount <> (select count(*) from LessonListtb L"
              " where L.ClassCode=P.ClassCode and L.CourseCode=P.CourseCode"
              " and L.TeacherCode=P.TeacherCode)"),
          0);
    }
  }
}

TEST(DemoSchool, SpecialCoursesAndCourseRestrictions) {
  // The computer room holds one class; the sports ground several. A school
  // with more IT lessons than periods has a second room.
  // Grades, classes per grade, lessons a day: IT is taught in grades 3-6.
  for (auto [grades, classes, lessons, special] :
       {std::tuple{6, 7, 6, "信息技术"}, std::tuple{6, 8, 6, ""}, std::tuple{9, 8, 7, "信息技术"}}) {
    SCOPED_TRACE(std::to_string(grades) + "x" + std::to_string(classes) + ", " + std::to_string(lessons));
    TestDb t;
    ASSERT_TRUE(FillDemoSchool(
        t.db(), DemoOptions{.lastGrade = grades, .classesPerGrade = classes, .lessonsPerDay = lessons}));
    EXPECT_EQ(
        t.db()
            .FirstText(
                "select group_concat(B.Name, ',') from CourseAttrtb A join Coursetb B on B.Code=A.CourseCode")
            .value_or(""),
        special);
  }
  TestDb t;
  ASSERT_TRUE(FillDemoSchool(t.db(), DemoOptions{}));
  const std::string pe = GetCourseCode(t.db(), "体育");
  EXPECT_EQ(
      t.db()
          .FirstInt("select count(*) from Limittb where Kind=1 and Code=? and LessonNo=1 and Attr=3", pe)
          .value_or(0),
      5);
  EXPECT_EQ(t.db()
                .FirstInt("select max(LessonNo) from Limittb where Kind=1 and Code=? and Attr=0",
                          GetCourseCode(t.db(), "语文"))
                .value_or(0),
            4);
}

// A few teachers are away at known times, none of them a head teacher, so
// no fixed class meeting falls in their time away.
TEST(DemoSchool, TeachersAwayAtKnownTimesOnlyWhenAsked) {
  for (int lessons : {6, 7}) {
    TestDb t;
    ASSERT_TRUE(FillDemoSchool(t.db(), DemoOptions{.lastGrade = 9, .lessonsPerDay = lessons}));
    EXPECT_EQ(
        t.db()
            .FirstText("select group_concat(n) from (select Day||':'||count(*)||'x'||Attr as n from Limittb"
                       " where Kind=2 group by Code,Day,Attr order by Day,Attr)")
            .value_or(""),
        lessons == 6 ? "1:1x2,1:1x3,2:1x2,2:1x3,3:1x2,3:2x3,4:1x2,5:1x2,5:2x3"
                     : "1:1x2,1:1x3,2:1x2,2:1x3,3:1x2,3:3x3,4:1x2,5:1x2,5:3x3");
    EXPECT_EQ(
        t.Count("select count(*) from LessonListtb L join Limittb M on M.Kind=2 and M.Code=L.TeacherCode"
                " and M.Day=L.Day and M.LessonNo=L.LessonNo"),
        0);
  }
  TestDb t;
  ASSERT_TRUE(FillDemoSchool(t.db(), DemoOptions{.teacherLimits = false}));
  EXPECT_EQ(t.Count("select count(*) from Limittb where Kind=2"), 0);
}

TEST(DemoSchool, FillAsksForAnExactShareOfEveryClassesWeek) {
  for (auto [lessons, fill, perClass] :
       {std::tuple{6, 100, 30}, std::tuple{7, 100, 35}, std::tuple{6, 80, 24}, std::tuple{7, 90, 32}}) {
    TestDb t;
    ASSERT_TRUE(FillDemoSchool(
        t.db(),
        DemoOptions{.lastGrade = 9, .classesPerGrade = 1, .lessonsPerDay = lessons, .fillPercent = fill}));
    EXPECT_EQ(
        t.Count(
            "select count(*) from (select ClassCode from ClassPlantb group by ClassCode having sum(Count)=" +
            std::to_string(perClass) + ")"),
        9)
        << lessons << " lessons, " << fill << " %";
  }
}

TEST(DemoSchool, BadOptionsAreRefusedAndWriteNothing) {
  TestDb t;
  DemoOptions lessons, grades, classes, fill;
  lessons.lessonsPerDay = 8;
  grades.firstGrade = 5;
  grades.lastGrade = 3;
  classes.classesPerGrade = 21;
  fill.fillPercent = 49;
  for (const DemoOptions& o : {lessons, grades, classes, fill}) {
    const Outcome filled = FillDemoSchool(t.db(), o);
    EXPECT_FALSE(filled);
    EXPECT_EQ(filled.message(), ValidateDemoOptions(o).message());
    EXPECT_FALSE(filled.message().empty());
  }
  EXPECT_EQ(t.Count("select count(*) from Classtb"), 0);
}

}  // namespace
}  // namespace orv
