// SPDX-License-Identifier: GPL-3.0-or-later
// The timetable checker: each rule it knows, on a timetable that breaks only
// that rule, and a sound timetable that breaks none.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/database/school_rules.h"
#include "core/scheduling/timetable_check.h"
#include "school_fixture.h"

namespace orv {
namespace {

using K = FindingKind;

class TimetableCheck : public test::School {
 protected:
  // Lessons (SetFlag 1 unless given) that their plan rows count, as the
  // editors would store them; then `sql` for what the case breaks.
  std::vector<K> Kinds(const char* limits, const char* lessons, const char* sql = "", int lessonsPerDay = 6) {
    for (const char* table : {"LessonListtb", "Limittb", "CourseAttrtb"})
      Exec(std::string("delete from ") + table);
    Plan("101/01/T2/6 101/02/T1/4 102/02/T1/5 101/06/T3/3 102/06/T3/3");
    Limit(limits);
    Add(lessons);
    test::RecountBuildCounts(t.db());
    Exec(sql);
    Result<std::vector<Finding>> checked = CheckTimetable(t.db(), lessonsPerDay);
    EXPECT_TRUE(checked) << checked.message();
    findings = checked ? std::move(checked).value() : std::vector<Finding>{};
    std::vector<K> kinds;
    for (const Finding& f : findings) {
      kinds.push_back(f.kind);
      EXPECT_EQ(f.severity, f.kind < K::kCourseDayCap ? Severity::kViolation : Severity::kWarning);
    }
    return kinds;
  }
  std::vector<Finding> findings;
};

TEST_F(TimetableCheck, EachBrokenRuleIsFoundViolationsFirst) {
  const char* special = "insert into CourseAttrtb values ('06')";
  // Best and never course cells and a class "avoid" mark; five a week allow two a day.
  EXPECT_EQ(
      Kinds("1/02/1/1/0 1/02/1/6/3 0/101/2/6/2",
            "101/1/1/02/T1 102/1/2/02/T1 102/1/3/02/T1 101/1/2/06/T3 102/1/1/06/T3 101/2/6/01/T2", special),
      std::vector<K>{});
  EXPECT_EQ(Kinds("", "101/3/4/01/T2 101/3/4/02/T1"), std::vector<K>{K::kClassDoubleBooked});
  EXPECT_EQ(Kinds("", "102/2/2/02/T1 101/2/2/02/T1"), std::vector<K>{K::kTeacherDoubleBooked});
  // Of two marks on one cell the stricter counts; the third is on another course's lesson.
  EXPECT_EQ(Kinds("1/02/3/3/3 1/02/3/3/0 1/02/3/4/3", "101/3/3/02/T1 101/3/4/01/T2"),
            std::vector<K>{K::kCourseNeverCell});
  // Two classes in 06 at one slot, with different teachers; 02 is not special.
  EXPECT_EQ(Kinds("", "101/4/4/06/T3 102/4/4/06/T2/2 101/5/1/02/T1 102/5/1/02/T3/2", special),
            (std::vector<K>{K::kSpecialCourseClash, K::kNotPlanTeacher, K::kNotPlanTeacher}));
  EXPECT_EQ(Kinds("", "101/2/7/02/T1 101/6/1/01/T2 101/1/0/01/T2"), std::vector<K>(3, K::kOutsideWeek));
  EXPECT_EQ(Kinds("", "101/2/7/02/T1", "", 7), std::vector<K>{});
  // In class order: 101 has the unknown teacher, 102 the unknown course.
  EXPECT_EQ(Kinds("", "999/1/1/02/T1/2 102/1/2/77/T1/2 101/1/3/01/ZZ/2"),
            (std::vector<K>{K::kUnknownTeacher, K::kUnknownCourse, K::kUnknownClass, K::kNotPlanTeacher,
                            K::kNotInPlan, K::kNotInPlan}));
  EXPECT_EQ(Kinds("", "101/1/1/02/T1",
                  "update ClassPlantb set BuildCount=2 where ClassCode='101'"
                  " and CourseCode='02'"),
            std::vector<K>{K::kBuildCountWrong});
  // Four a week allow one a day, five allow two.
  EXPECT_EQ(Kinds("",
                  "101/1/1/02/T1 101/1/2/02/T1 102/1/3/02/T1 102/1/4/02/T1 102/2/3/02/T1 102/2/4/02/T1 "
                  "102/2/5/02/T1"),
            std::vector<K>(2, K::kCourseDayCap));
  // Marks of another day or another teacher do not count.
  EXPECT_EQ(Kinds("1/01/1/1/2 0/101/1/2/3 2/T1/1/3/3 2/T2/1/3/3",
                  "101/1/1/01/T2 101/2/2/01/T2 101/1/2/02/T1 102/1/3/02/T1"),
            (std::vector<K>{K::kCourseAvoidCell, K::kClassNeverCell, K::kTeacherNeverCell}));
  EXPECT_EQ(Kinds("1/01/1/1/2", "101/1/1/01/T2 102/5/7/02/T1"),
            (std::vector<K>{K::kOutsideWeek, K::kCourseAvoidCell}));
  EXPECT_EQ(CountFindings(findings, Severity::kViolation), 1);
}

TEST_F(TimetableCheck, FindingNamesTheClassTheSlotAndWhatIsWrong) {
  ASSERT_EQ(Kinds("", "101/3/4/01/T2 101/3/4/02/T1 101/1/5/02/T1 101/1/6/02/T1"),
            (std::vector<K>{K::kClassDoubleBooked, K::kCourseDayCap}));
  EXPECT_EQ(FindingLine(findings[0]), "违规：一（1）班 星期三第4节：同一节排了2节课（语文、数学）");
  EXPECT_EQ(findings[0].day, 3);
  EXPECT_EQ(findings[0].lessonNo, 4);
  EXPECT_EQ(FindingLine(findings[1]), "警告：一（1）班 星期一：数学一天排了2节，超过每天最多1节");
}

// Past the school's day a lesson is outside the week and nothing more: not a
// second lesson of its class or its teacher at that slot, nor in a "不排"
// cell that the course's week still holds for a seventh lesson.
TEST_F(TimetableCheck, ALessonOutsideTheWeekBreaksNoOtherRule) {
  EXPECT_EQ(Kinds("1/02/2/7/3", "101/2/7/02/T1 101/2/7/01/T2 102/2/7/02/T1"),
            std::vector<K>(3, K::kOutsideWeek));
  EXPECT_EQ(findings[1].text, "一（1）班 星期二第7节：语文不在每周五天、每天6节课的范围内");
}

TEST_F(TimetableCheck, AnUnreadableTimetableIsReportedNotThrown) {
  Exec("drop table Limittb");
  EXPECT_EQ(CheckTimetable(t.db(), 6).message(), "读取课表失败：数据库结构不完整或操作无法执行");
}

class StatedRulesCheck : public TimetableCheck {
 protected:
  void Set(RuleKey key, RuleScope scope, const char* code, int value, const char* course = "") {
    ASSERT_TRUE(SetSchoolRule(t.db(), {key, scope, code, course, value}));
  }
  std::vector<std::string> Texts() const {
    std::vector<std::string> texts;
    for (const Finding& f : findings) texts.push_back(FindingLine(f));
    return texts;
  }
};

// A stated rule is a violation naming whom, the day and the numbers; each
// breach once, under every class it touches.
TEST_F(StatedRulesCheck, EachBrokenStatedRuleIsOneViolation) {
  Set(RuleKey::kMaxLessonsPerDay, RuleScope::kTeacher, "T1", 2);
  Set(RuleKey::kMaxInARow, RuleScope::kTeacher, "T1", 2);
  Set(RuleKey::kMaxGapsPerWeek, RuleScope::kTeacher, "T3", 0);
  Set(RuleKey::kNoClassGaps, RuleScope::kClass, "102", 1);
  Set(RuleKey::kDoublesPerWeek, RuleScope::kClassCourse, "101", 1, "01");
  // 王伟 Monday 1-3 in two classes; 张敏 Tuesday 1 and 3; 102 starts late on both days.
  EXPECT_EQ(Kinds("", "101/1/1/02/T1 102/1/2/02/T1 102/1/3/02/T1 101/2/1/06/T3 102/2/3/06/T3 101/3/1/01/T2"),
            (std::vector<K>{K::kTeacherDayMax, K::kTeacherInARow, K::kTeacherGaps, K::kClassGaps,
                            K::kClassGaps, K::kDoublesMissing}));
  EXPECT_EQ(Texts(), (std::vector<std::string>{
                         "违规：教师王伟 星期一上课3节，超过每天最多2节",
                         "违规：教师王伟 星期一连续上课3节，超过最多连续2节",
                         "违规：教师张敏本周有1个空节，超过每周最多0个",
                         "违规：一（2）班 星期一有1个空节夹在两节课之间",
                         "违规：一（2）班 星期二有2个空节夹在两节课之间",
                         "违规：一（1）班 语文每周应排1次连堂，只排了0次",
                     }));
  EXPECT_EQ(findings[0].classes, (std::vector<std::string>{"101", "102"}));
  EXPECT_EQ(findings[0].day, 1);
  // A class's own check shows the teacher's breach it takes part in, and not another class's gaps.
  Result<std::vector<Finding>> own = CheckClassTimetable(t.db(), 6, "101");
  ASSERT_TRUE(own) << own.message();
  std::vector<K> kinds;
  for (const Finding& f : *own) kinds.push_back(f.kind);
  EXPECT_EQ(kinds,
            (std::vector<K>{K::kTeacherDayMax, K::kTeacherInARow, K::kTeacherGaps, K::kDoublesMissing}));
}

TEST_F(StatedRulesCheck, ASpecialCourseClashesOnlyPastItsRooms) {
  const char* special = "insert into CourseAttrtb values ('06')";
  const char* lessons = "101/4/4/06/T3 102/4/4/06/T3/2 103/4/4/06/F/2";
  EXPECT_EQ(Kinds("", "101/4/4/06/T3 102/4/5/06/T3", special), std::vector<K>{});
  Set(RuleKey::kRooms, RuleScope::kCourse, "06", 2);
  // Two classes fit two rooms; the teacher's clash is its own finding.
  EXPECT_EQ(Kinds("", "101/4/4/06/T3 102/4/4/06/T2/2", special), std::vector<K>{K::kNotPlanTeacher});
  EXPECT_EQ(Kinds("", lessons, special),
            (std::vector<K>{K::kTeacherDoubleBooked, K::kSpecialCourseClash, K::kNotInPlan}));
  EXPECT_EQ(findings[1].text,
            "一（1）班 星期四第4节：专用课程体育同一节有3个班上课（一（1）班、一（2）班、一（3）班），"
            "专用教室只有2间");
}

TEST_F(StatedRulesCheck, AStatedDoubleCountsOnceTowardTheDailyCap) {
  Set(RuleKey::kDoublesPerWeek, RuleScope::kClassCourse, "101", 1, "01");
  // 语文 six a week may have two a day: the double 1-2 and lesson 3 make two.
  EXPECT_EQ(Kinds("", "101/3/1/01/T2 101/3/2/01/T2 101/3/3/01/T2"), std::vector<K>{});
  EXPECT_EQ(Kinds("", "101/3/1/01/T2 101/3/2/01/T2 101/3/3/01/T2 101/3/5/01/T2"),
            std::vector<K>{K::kCourseDayCap});
  EXPECT_EQ(findings[0].text, "一（1）班 星期三：语文一天排了4节（连堂1次按1节计），超过每天最多2节");
}

}  // namespace
}  // namespace orv
