// SPDX-License-Identifier: GPL-3.0-or-later
// The check before scheduling: each problem planted on its own gets the
// finding that names it with its numbers, and a completion of a school
// that cannot be completed ends short without breaking a rule.
#include <gtest/gtest.h>

#include <string>

#include "core/database/database_totals.h"
#include "core/database/school_rules.h"
#include "core/scheduling/build_timetable.h"
#include "core/scheduling/complete_timetable.h"
#include "core/scheduling/school_analysis.h"
#include "core/scheduling/timetable_check.h"
#include "school_fixture.h"

namespace orv {
namespace {

using namespace test;

// "Kind/code" marked "不排" at the given lessons of every day.
std::string NeverEveryDay(const std::string& kindCode, std::initializer_list<int> lessons) {
  std::string cells;
  for (int day = 1; day <= 5; ++day)
    for (int lesson : lessons)
      cells += kindCode + "/" + std::to_string(day) + "/" + std::to_string(lesson) + "/3 ";
  return cells;
}

class Analysis : public School {
 protected:
  std::string Findings() {
    const auto findings = AnalyzeSchool(t.db(), 6);
    EXPECT_TRUE(findings) << findings.message();
    std::string text;
    if (!findings) return text;
    for (const AnalysisFinding& f : *findings) text += AnalysisLine(f) + "\n";
    return text;
  }
};

TEST_F(Analysis, EachPlantedProblemIsNamedWithItsNumbers) {
  struct Case {
    const char* what;
    const char* plan;
    const char* lessons;
    std::string limits;
    const char* special;
    const char* findings;
  };
  const Case cases[] = {
      {"nothing wrong", "101/01/T1/8 102/01/T1/8", "", "", "", ""},
      {"a teacher with 31 lessons", "101/01/T1/8 102/01/T1/8 103/01/T1/8 104/01/T1/7", "", "", "",
       "错误：教师王伟：每周要上31节课，除去“不排”和已固定的节次只有30个节次可排，至少缺1节\n"},
      {"a teacher with exactly the periods open", "101/01/T1/8 102/01/T1/8 103/01/T1/8 104/01/T1/6", "", "",
       "", "警告：教师王伟：每周要上30节课，可排的节次只有30个，调整的余地很小\n"},
      {"a teacher away most of the week, and tight", "101/01/T1/9 102/02/T1/2", "",
       "2/T1/1/0/3 2/T1/2/0/3 2/T1/3/0/3", "",
       "错误：一（1）班 "
       "语文（王伟）：每周9节，每天最多2节，除去课程、班级和教师“不排”及已占用的节次，只有2天能排这门课，"
       "最多只能排4节\n警告：教师王伟：每周要上11节课，可排的节次只有12个，调整的余地很小\n"},
      {"a class with more lessons than open periods", "101/01/T1/8 101/02/T2/8 101/03/T3/8 101/06/F/2", "",
       "0/101/5/0/3", "",
       "错误：一（1）班：每周要排26节课，除去“不排”和已固定的节次只有24个节次可排，至少缺2节\n"},
      {"a teacher's lessons in a class beyond the periods both have open", "101/01/T1/3 101/02/T1/3", "",
       NeverEveryDay("2/T1", {1, 2, 3, 4}) + NeverEveryDay("0/101", {6}), "",
       "错误：教师王伟在一（1）班每周要上6节课，但班级和教师都能上课的节次只有5个\n"},
      {"a special course over capacity", "101/06/T1/8 102/06/T2/8 103/06/T3/8 104/06/F/8", "", "", "06",
       "错误：专用课程体育：全校每周要排32节，同一节只能有一个班上，但可排的节次只有30个，至少缺2节\n"},
      {"a tight special course", "101/06/T1/7 102/06/T2/7 103/06/T3/7 104/06/F/7", "", "", "06",
       "警告：专用课程体育：全校每周要排28节，同一节只能有一个班上，可排的节次只有30个，调整的余地很小\n"},
      {"two fixed lessons of one teacher in one period", "101/01/T1/2 102/01/T1/2",
       "101/1/1/01/T1/0 102/1/1/01/T1/0", "", "",
       "错误：教师王伟 星期一第1节：同时有2节固定或手工安排的课（一（1）班、一（2）班）\n"},
      {"two lessons of one class in one period, one by hand", "101/01/T1/2 101/02/T2/2",
       "101/3/4/01/T1/0 101/3/4/02/T2/2", "", "",
       "错误：一（1）班 星期三第4节：有2节固定或手工安排的课（语文、数学）\n"},
      {"a special course held by two classes at once", "101/06/T1/1 102/06/T2/1",
       "101/2/2/06/T1/0 102/2/2/06/T2/0", "", "06",
       "错误：专用课程体育 星期二第2节：有2个班同时上（一（1）班、一（2）班）\n"},
      {"plan rows whose teacher or course is gone, and a repeated row",
       "101/01/ZZ/3 101/77/T1/2 102/02/T2/2 102/02/T2/1", "", "", "",
       "错误：教学计划一（1）班 语文（教师'ZZ'）：教师'ZZ'已不存在，3节课无法安排\n"
       "错误：教学计划一（1）班 课程'77'（王伟）：课程'77'已不存在，2节课无法安排\n"
       "警告：教学计划中一（2）班 数学（李芳）重复出现，只按第一行安排\n"},
      {"a fixed lesson in a teacher's never cell", "101/01/T1/2", "101/5/6/01/T1/0", "2/T1/5/6/3", "",
       "警告：一（1）班 星期五第6节：固定课程语文排在了教师王伟“不排”的时间\n"},
      {"lessons by hand in cells the class closes, and the course and the teacher too", "101/01/T1/2",
       "101/2/3/01/T1/2 101/2/4/01/T1/2", "0/101/2/3/3 0/101/2/4/3 1/01/2/4/3 2/T1/2/4/3", "",
       "警告：一（1）班 星期二第3节：手工安排的课程语文排在了班级“不排”的时间\n"
       "警告：一（1）班 星期二第4节：手工安排的课程语文排在了课程语文“不排”的时间\n"},
      {"a special course twice in one class and once in another, in one period", "101/06/T1/2 102/06/T2/1",
       "101/2/2/06/T1/0 101/2/2/06/T1/2 102/2/2/06/T2/0", "", "06",
       "错误：一（1）班 星期二第2节：有2节固定或手工安排的课（体育、体育）\n"
       "错误：教师王伟 星期二第2节：同时有2节固定或手工安排的课（一（1）班、一（1）班）\n"
       "错误：专用课程体育 星期二第2节：有2个班同时上（一（1）班、一（1）班、一（2）班）\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Exec("delete from LessonListtb; delete from Limittb; delete from CourseAttrtb");
    Plan(c.plan);
    Add(c.lessons);
    Limit(c.limits);
    if (*c.special) t.AddSpecialCourse(c.special);
    EXPECT_EQ(Findings(), c.findings);
  }
}

// A stated rule that no timetable can keep is blocking, with its numbers; a
// teacher's days and a special course's rooms keep lessons out, unpaired
// doubles keep none.
TEST_F(Analysis, StatedRulesThatCannotBeKeptAreBlocking) {
  struct Case {
    const char* what;
    const char* plan;
    std::string limits;
    std::vector<SchoolRule> rules;
    const char* findings;
    int shortfall;
  };
  const Case cases[] = {
      {"22 lessons, at most 4 a day, 5 days",
       "101/01/T1/8 102/01/T1/8 103/01/T1/6",
       "",
       {{RuleKey::kMaxLessonsPerDay, RuleScope::kTeacher, "T1", "", 4}},
       "错误：教师王伟：每周要上22节课，每天最多4节，能上课的只有5天，除去已固定的课最多只能排20节，至少缺2节"
       "\n",
       2},
      {"20 lessons, at most 4 a day, 5 days",
       "101/01/T1/8 102/01/T1/8 103/01/T1/4",
       "",
       {{RuleKey::kMaxLessonsPerDay, RuleScope::kSchool, "", "", 4}},
       "",
       0},
      {"doubles where only lunch parts adjacent periods, and more pairs than lessons",
       "101/01/T1/4 101/02/T2/3",
       NeverEveryDay("0/101", {2, 3, 6}),
       {{RuleKey::kDoublesPerWeek, RuleScope::kClassCourse, "101", "01", 2},
        {RuleKey::kDoublesPerWeek, RuleScope::kClassCourse, "101", "02", 2}},
       "错误：一（1）班 "
       "语文：每周要排2次连堂，除去“不排”和已占用的节次，只有0处相邻的两节（不跨午休）可排，至少缺2次\n"
       "错误：一（1）班 数学：每周要排2次连堂，但每周只有3节课\n",
       0},
      {"a special course of two rooms over capacity",
       "101/06/T1/3 102/06/T2/3 103/06/T3/3 104/06/F/3",
       NeverEveryDay("1/06", {2, 3, 4, 5, 6}),
       {{RuleKey::kRooms, RuleScope::kCourse, "06", "", 2}},
       "错误：专用课程体育：全校每周要排12节，同一节最多2个班上，但可排的节次只有5个，最多排10节，至少缺2节"
       "\n",
       2},
  };
  t.AddSpecialCourse("06");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Exec("delete from LessonListtb; delete from Limittb; delete from SchoolRuletb");
    Plan(c.plan);
    Limit(c.limits);
    for (const SchoolRule& r : c.rules) ASSERT_TRUE(SetSchoolRule(t.db(), r));
    EXPECT_EQ(Findings(), c.findings);
    const auto findings = AnalyzeSchool(t.db(), 6);
    ASSERT_TRUE(findings);
    EXPECT_EQ(ProvenShortfall(*findings), c.shortfall);
  }
  // With the last case's two rooms and open periods, fixed lessons of 104 hold
  // one of the rooms in every open period.
  Plan("101/06/T1/3 102/06/T2/3 104/06/F/5");
  Add("104/1/1/06/F/0 104/2/1/06/F/0 104/3/1/06/F/0 104/4/1/06/F/0 104/5/1/06/F/0");
  EXPECT_EQ(
      Findings(),
      "错误：专用课程体育：全校每周要排6节，同一节最多2个班上，但可排的节次只有5个，最多排5节，至少缺1节\n");
}

// Weekly counts that no editor writes (another program's file): each row is
// named as blocking, and every reader takes the count as 0..35, so no sum
// overflows and no run is sent off to a maintenance that would not help.
TEST_F(Analysis, AStoredCountThatIsNoWholeNumberFrom1To35IsBlockingAndReadClamped) {
  Plan("101/01/T1/1 102/01/T1/1 103/01/T1/1 104/01/T1/1 101/02/T2/1 102/02/T2/1 103/02/T2/4");
  Exec(
      "update ClassPlantb set Count=null where ClassCode='101' and CourseCode='01';"
      "update ClassPlantb set Count=-9 where ClassCode='102' and CourseCode='01';"
      "update ClassPlantb set Count=2147483647 where ClassCode='103' and CourseCode='01';"
      "update ClassPlantb set Count='x' where ClassCode='104' and CourseCode='01';"
      "update ClassPlantb set Count=0 where ClassCode='101' and CourseCode='02';"
      "update ClassPlantb set Count=2.5 where ClassCode='102' and CourseCode='02'");
  const std::string found = Findings();
  for (const char* line :
       {"错误：教学计划一（1）班 语文（王伟）：没有填写每周节数，请在教学计划中改为1到35之间的整数\n",
        "错误：教学计划一（2）班 语文（王伟）：每周节数小于1",
        "错误：教学计划一（3）班 语文（王伟）：每周节数超过35",
        "错误：教学计划一（4）班 语文（王伟）：每周节数不是整数",
        "错误：教学计划一（1）班 数学（李芳）：每周节数小于1",
        "错误：教学计划一（2）班 数学（李芳）：每周节数不是整数"})
    EXPECT_NE(found.find(line), std::string::npos) << line << "\nin:\n" << found;
  EXPECT_EQ(found.find("一（3）班 数学"), std::string::npos) << found;

  // 35 for the huge count, 2 for 2.5, 4 for the sound row; the rest none.
  const auto totals = ReadDatabaseTotals(t.db());
  ASSERT_TRUE(totals) << totals.message();
  EXPECT_EQ(totals->plannedLessons, 41);
  UniformRandom random;
  const auto built = BuildTimetable(t.db(), 6, random);
  ASSERT_TRUE(built) << built.message();
  EXPECT_EQ(built->plannedLessons, 41);
  const auto completed = CompleteTimetable(t.db(), CompletionOptions{});
  ASSERT_TRUE(completed) << completed.message();
  EXPECT_EQ(completed->plannedLessons, 41);
  EXPECT_EQ(
      t.Count("select count(*) from LessonListtb where ClassCode in ('101','102','104') and CourseCode='01'"),
      0);
}

// A new school: the check says what is missing, list by list, before any
// generation is tried, and each list once filled drops out of the findings.
TEST_F(Analysis, AnEmptySchoolIsBlockedByWhatItLacks) {
  Exec("delete from Classtb; delete from Coursetb; delete from Teachertb");
  EXPECT_EQ(Findings(),
            "错误：没有班级：请先在“班级名单”中录入班级\n"
            "错误：没有课程：请先在“课程名单”中录入课程\n"
            "错误：没有教师：请先在“老师名单”中录入教师\n"
            "错误：教学计划为空：请在“各班教学计划”中为每个班录入课程、任课教师和每周节数\n");
  t.AddClass("101", "一（1）班");
  t.AddCourse("01", "语文");
  EXPECT_EQ(Findings(),
            "错误：没有教师：请先在“老师名单”中录入教师\n"
            "错误：教学计划为空：请在“各班教学计划”中为每个班录入课程、任课教师和每周节数\n");
  // A plan row naming a teacher no list holds is not a teacher.
  t.AddPlan("101", "01", "T1", 5);
  const auto findings = AnalyzeSchool(t.db(), 6);
  ASSERT_TRUE(findings) << findings.message();
  ASSERT_FALSE(findings->empty());
  EXPECT_EQ(findings->front().kind, AnalysisKind::kNoTeachers);
  EXPECT_EQ(CountAnalysis(*findings, AnalysisSeverity::kBlocking), 2) << Findings();
  t.AddTeacher("T1", "王伟");
  EXPECT_EQ(Findings(), "");
}

// A school that cannot be completed: the completion stops as soon as only
// the lessons the check proves impossible are missing, says why, and
// breaks no rule on the way.
TEST_F(Analysis, NamesThatDoNotTellRecordsApartAreWarnedAboutWithTheirCodes) {
  Plan("101/01/T1/5");
  Exec("update Teachertb set Name='王伟' where Code='T3'");
  Exec("update Classtb set Name='' where Code in ('103','104')");
  t.AddCourse("07", "数学");
  t.AddClassRoom("R1", "音乐室");
  t.AddClassRoom("R2", "音乐室");
  const std::string findings = Findings();
  EXPECT_EQ(findings,
            "警告：班级没有名称：（103）、（104），打印、导出和各窗口中只能靠代码区分，请补上名称\n"
            "警告：2个课程同名“数学”：数学（02）、数学（07），打印和导出时在名称后加代码区分；"
            "如是同一课程重复录入，请删去多余的一条\n"
            "警告：2个教师同名“王伟”：王伟（T1）、王伟（T3），打印和导出时在名称后加代码区分；"
            "如是同一教师重复录入，请删去多余的一条\n"
            "警告：2个教室同名“音乐室”：音乐室（R1）、音乐室（R2），打印和导出时在名称后加代码区分；"
            "如是同一教室重复录入，请删去多余的一条\n");
  const auto counted = AnalyzeSchool(t.db(), 6);
  ASSERT_TRUE(counted);
  EXPECT_EQ(CountAnalysis(*counted, AnalysisSeverity::kBlocking), 0) << "a warning, never blocking";
}

TEST_F(Analysis, ImpossibleSchoolsEndShortWithoutBreakingARule) {
  struct Case {
    const char* what;
    const char* plan;
    const char* lessons;
    const char* special;
    int missing;
    const char* reason;     // of the first missing row
    int plantedViolations;  // the fixed clash itself
  };
  const Case cases[] = {
      {"a teacher with 31 lessons", "101/01/T1/8 102/01/T1/8 103/01/T1/8 104/01/T1/7 101/02/T2/5", "", "", 1,
       "教师王伟：每周要上31节课", 0},
      {"a special course over capacity", "101/06/T1/8 102/06/T2/8 103/06/T3/8 104/06/F/8", "", "06", 2,
       "专用课程体育：全校每周要排32节", 0},
      {"two fixed lessons of one teacher in one period", "101/01/T1/8 102/01/T1/8 103/02/T2/5",
       "101/1/1/01/T1/0 102/1/1/01/T1/0", "", 1, "教师王伟 星期一第1节：同时有2节固定或手工安排的课", 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Exec("delete from LessonListtb; delete from Limittb; delete from CourseAttrtb");
    Plan(c.plan);
    Add(c.lessons);
    if (*c.special) t.AddSpecialCourse(c.special);
    CompletionOptions options;
    const auto r = CompleteTimetable(t.db(), options);
    ASSERT_TRUE(r) << r.message();
    EXPECT_LT(r->rate, 100);
    EXPECT_EQ(r->missingAfter, c.missing);
    EXPECT_FALSE(r->timedOut);
    ASSERT_FALSE(r->missing.empty());
    EXPECT_NE(r->missing[0].reason.find(c.reason), std::string::npos) << r->missing[0].reason;
    int violations = 0;
    for (const Finding& f : CheckTimetable(t.db(), 6).value()) {
      violations += f.severity == Severity::kViolation;
      EXPECT_NE(f.kind, FindingKind::kCourseDayCap) << FindingLine(f);
    }
    EXPECT_EQ(violations, c.plantedViolations);
    EXPECT_EQ(WrongBuildCounts(t.db()), 0);
  }
}

}  // namespace
}  // namespace orv
