// SPDX-License-Identifier: GPL-3.0-or-later
// The demo school must look like a real school's data and be internally
// consistent, since the benchmarks and screenshots are built on it.
#include <gtest/gtest.h>

#include "core/database/lookups.h"
#include "core/database/school_rules.h"
#include "core/demo/demo_school.h"
#include "support/test_db.h"

namespace orv {
namespace {

using test::TestDb;

TEST(DemoSchool, ClassesAreCodedAndNamedAsTheClassEditorDoesWithTheCoursesOwnMarks) {
  EXPECT_EQ(ClassCodeFor(1, 10), "110");
  EXPECT_EQ(ClassCodeFor(0, 2), "02");
  TestDb t;
  ASSERT_TRUE(FillDemoSchool(t.db(), DemoOptions{}));
  EXPECT_EQ(t.Count("select count(*) from Classtb"), 18);
  EXPECT_EQ(GetClassName(t.db(), "11").value_or(std::string()), "一（1）班");
  EXPECT_EQ(t.db().FirstText("select FullName from Classtb where Code='63'"), "六年级（3）班");
  EXPECT_EQ(GetClassShortName(t.db(), "42").value_or(std::string()), "四（2）");
  // 体育 never in lesson 1; 语文's best positions in the morning.
  EXPECT_EQ(t.db().FirstInt("select count(*) from Limittb where Kind=1 and Code=? and LessonNo=1 and Attr=3",
                            GetCourseCode(t.db(), "体育").value_or(std::string())),
            5);
  EXPECT_EQ(t.db().FirstInt("select max(LessonNo) from Limittb where Kind=1 and Code=? and Attr=0",
                            GetCourseCode(t.db(), "语文").value_or(std::string())),
            4);
}

// Every grade range, day length and fill: the share of the week planned (80-95
// % unless asked), one teacher per course and class, nothing dangling,
// ordinary loads, the class meeting fixed on Friday's last lesson with its
// own head teacher, the computer room as a special course unless the school
// has more IT lessons than periods, and teachers away at known times, none of
// them in a fixed lesson.
TEST(DemoSchool, EveryShapeOfSchoolIsConsistent) {
  struct Shape {
    int first, last, perGrade, lessons, fill;
    int perClass;  // lessons a week; 0: 80-95 %
    const char* special;
    const char* away;  // teachers' days, counts and marks; nullptr: not checked
  } shapes[] = {
      {1, 6, 4, 6, 0, 0, "信息技术", nullptr},
      {7, 9, 4, 7, 0, 0, "", nullptr},
      {1, 6, 8, 6, 0, 0, "", nullptr},
      {1, 9, 8, 7, 0, 0, "信息技术", nullptr},
      {1, 9, 3, 6, 0, 0, "信息技术", "1:1x2,1:1x3,2:1x2,2:1x3,3:1x2,3:2x3,4:1x2,5:1x2,5:2x3"},
      {1, 9, 3, 7, 0, 0, "信息技术", "1:1x2,1:1x3,2:1x2,2:1x3,3:1x2,3:3x3,4:1x2,5:1x2,5:3x3"},
      {1, 9, 1, 6, 100, 30, "信息技术", nullptr},
      {1, 9, 1, 7, 100, 35, "信息技术", nullptr},
      {1, 9, 1, 6, 80, 24, "信息技术", nullptr},
      {1, 9, 1, 7, 90, 32, "信息技术", nullptr},
  };
  for (const Shape& s : shapes) {
    SCOPED_TRACE(testing::Message() << s.first << "-" << s.last << " x" << s.perGrade << ", " << s.lessons
                                    << " lessons, " << s.fill << " %");
    TestDb t;
    ASSERT_TRUE(FillDemoSchool(t.db(), DemoOptions{.firstGrade = s.first,
                                                   .lastGrade = s.last,
                                                   .classesPerGrade = s.perGrade,
                                                   .lessonsPerDay = s.lessons,
                                                   .fillPercent = s.fill}));
    const long long classes = s.perGrade * (s.last - s.first + 1);
    const std::string week = std::to_string(5 * s.lessons);
    EXPECT_EQ(t.Count("select count(*) from (select ClassCode from ClassPlantb group by ClassCode having " +
                      (s.perClass ? "sum(Count)=" + std::to_string(s.perClass)
                                  : "sum(Count)*100 between 80*" + week + " and 95*" + week) +
                      ")"),
              classes);
    EXPECT_EQ(t.Count("select count(*) from (select 1 from ClassPlantb group by ClassCode, CourseCode"
                      " having count(*) > 1)"),
              0);
    EXPECT_EQ(t.Count("select count(*) from ClassPlantb where TeacherCode not in (select Code from Teachertb)"
                      " or CourseCode not in (select Code from Coursetb)"),
              0);
    EXPECT_LE(t.Count("select max(n) from (select sum(Count) n from ClassPlantb group by TeacherCode)"), 18);
    EXPECT_EQ(t.Count("select count(*) - count(distinct Name) from Teachertb"), 0);
    EXPECT_EQ(GetCourseCode(t.db(), "物理").value_or(std::string()).empty(), s.last < 7);

    EXPECT_EQ(t.Count("select count(*) from LessonListtb where SetFlag=0 and Day=5 and LessonNo=" +
                      std::to_string(s.lessons)),
              classes);
    EXPECT_EQ(t.Count("select count(*) from LessonListtb"), classes);
    EXPECT_EQ(t.Count("select count(distinct TeacherCode) from LessonListtb"), classes);
    EXPECT_EQ(test::WrongBuildCounts(t.db()), 0);
    EXPECT_EQ(t.db().FirstText("select group_concat(B.Name, ',') from CourseAttrtb A join Coursetb B on "
                               "B.Code=A.CourseCode"),
              s.special);
    if (s.away) {
      EXPECT_EQ(
          t.db().FirstText("select group_concat(n) from (select Day||':'||count(*)||'x'||Attr as n from "
                           "Limittb where Kind=2 group by Code,Day,Attr order by Day,Attr)"),
          s.away);
    }
    EXPECT_EQ(t.Count("select count(*) from LessonListtb L join Limittb M on M.Kind=2 and "
                      "M.Code=L.TeacherCode and M.Day=L.Day and M.LessonNo=L.LessonNo"),
              0);
  }
  TestDb t;
  ASSERT_TRUE(FillDemoSchool(t.db(), DemoOptions{.teacherLimits = false}));
  EXPECT_EQ(t.Count("select count(*) from Limittb where Kind=2"), 0);
}

// The stated rules are ones the school can keep: every teacher's week fits
// four lessons a day, and each double belongs to a class that has 语文.
TEST(DemoSchool, StatesItsRulesOnlyWhenAskedAndEachIsOneTheSchoolCanKeep) {
  TestDb plain;
  ASSERT_TRUE(FillDemoSchool(plain.db(), DemoOptions{}));
  EXPECT_EQ(plain.Count("select count(*) from SchoolRuletb"), 0);

  TestDb t;
  ASSERT_TRUE(FillDemoSchool(t.db(), DemoOptions{.firstGrade = 4,
                                                 .lastGrade = 9,
                                                 .classesPerGrade = 2,
                                                 .lessonsPerDay = 7,
                                                 .fillPercent = 100,
                                                 .statedRules = true}));
  const Result<std::vector<SchoolRule>> rules = LoadSchoolRules(t.db());
  ASSERT_TRUE(rules);
  int doubles = 0;
  for (const SchoolRule& rule : *rules) {
    EXPECT_EQ(RuleProblem(t.db(), rule).value_or("?"), "") << InfoOf(rule.key).text << " " << rule.code;
    if (rule.key == RuleKey::kDoublesPerWeek) {
      ++doubles;
      EXPECT_EQ(rule.courseCode, "01");
      EXPECT_GE(rule.code, "5") << "grades 5-9 only";
    }
  }
  EXPECT_EQ(doubles, 10);
  EXPECT_NE(std::find(rules->begin(), rules->end(),
                      SchoolRule{RuleKey::kMaxLessonsPerDay, RuleScope::kSchool, "", "", 4}),
            rules->end());
  EXPECT_NE(
      std::find(rules->begin(), rules->end(), SchoolRule{RuleKey::kMaxInARow, RuleScope::kSchool, "", "", 3}),
      rules->end());
  EXPECT_EQ(t.Count("select count(*) from (select TeacherCode from ClassPlantb group by TeacherCode"
                    " having sum(Count) > 20)"),
            0);
}

TEST(DemoSchool, BadOptionsAreRefusedAndWriteNothing) {
  TestDb t;
  for (const DemoOptions& o :
       {DemoOptions{.lessonsPerDay = 8}, DemoOptions{.firstGrade = 5, .lastGrade = 3},
        DemoOptions{.firstGrade = 0}, DemoOptions{.classesPerGrade = 21}, DemoOptions{.classesPerGrade = 0},
        DemoOptions{.fillPercent = 49}, DemoOptions{.fillPercent = 101}}) {
    const Outcome filled = FillDemoSchool(t.db(), o);
    EXPECT_FALSE(filled);
    EXPECT_EQ(filled.message(), ValidateDemoOptions(o).message());
    EXPECT_FALSE(filled.message().empty());
  }
  EXPECT_EQ(t.Count("select count(*) from Classtb"), 0);
}

TEST(DemoSchool, WithItsTermTheCalendarIsStatedForEveryLessonOfTheDay) {
  TestDb t;
  DemoOptions options;
  options.lessonsPerDay = 7;
  options.termCalendar = true;
  ASSERT_TRUE(FillDemoSchool(t.db(), options));
  const Result<TermCalendar> stored = LoadTermCalendar(t.db());
  ASSERT_TRUE(stored) << stored.message();
  EXPECT_EQ(*stored, DemoTermCalendar(7));
  EXPECT_EQ(stored->bells.size(), 7u);
  EXPECT_EQ(CalendarProblem(*stored, 7), "");
  // Weeks run Monday to Sunday from the week of Tuesday 1 September: 4 + 19 * 5 weekdays, less National
  // Day's five, plus the Sunday taught as a Wednesday.
  EXPECT_EQ(SchoolDays(*stored).size(), 95u);
  TestDb plain;
  ASSERT_TRUE(FillDemoSchool(plain.db(), DemoOptions{}));
  EXPECT_FALSE(LoadTermCalendar(plain.db())->start) << "no term unless asked for";
}

}  // namespace
}  // namespace orv
