// SPDX-License-Identifier: GPL-3.0-or-later
// Editing the timetable by hand: what the window shows, where a click may
// lead, and what placing, deleting, moving and swapping write.
#include "core/editing/timetable_edit.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "core/database/lesson_weeks.h"
#include "core/database/school_rules.h"
#include "core/editing/edit_targets.h"
#include "manual_edit_fixture.h"

namespace orv {
namespace {

using Periods = std::vector<std::pair<int, int>>;

// Every period of the week but `left`.
Periods AllBut(const Periods& left, int lessonsPerDay = 6) {
  Periods all;
  for (int d = 1; d <= 5; ++d)
    for (int n = 1; n <= lessonsPerDay; ++n)
      if (std::find(left.begin(), left.end(), std::pair{d, n}) == left.end()) all.emplace_back(d, n);
  return all;
}

class TimetableEdit : public test::ManualEditSchool {
 protected:
  Periods Placeable(const char* course, const char* teacher, int lessonsPerDay = 6) {
    const WeekSlots slots = MarkPlacementTargets(t.db(), "101", course, teacher, lessonsPerDay).value();
    Periods marked;
    for (int d = 1; d <= 5; ++d)
      for (int n = 1; n <= lessonsPerDay; ++n)
        if (slots.At(d, n)) marked.emplace_back(d, n);
    return marked;
  }
  // "place D/L COURSE TEACHER", "delete D/L" or "swap D/L D/L" in class 101.
  Result<LessonEdit> Do(const std::string& op) {
    std::istringstream in(op);
    std::string what, course, teacher;
    int d = 0, l = 0, d2 = 0, l2 = 0;
    char slash;
    in >> what >> d >> slash >> l;
    if (what == "delete") return DeleteLesson(t.db(), "101", d, l, 6);
    if (what == "place") return in >> course >> teacher, PlaceLesson(t.db(), "101", d, l, course, teacher, 6);
    in >> d2 >> slash >> l2;
    return SwapLessons(t.db(), "101", d, l, d2, l2, 6);
  }
};

TEST_F(TimetableEdit, WeeksAndTheUnplacedListShowWhatTheTablesHold) {
  Exec("update Classtb set ShortName='初一1' where Code='101'");
  t.AddPlan("101", "03", "F", 1);
  // Lesson 7 exists only in a 7-lesson day, lesson 8 never; a period stored
  // twice shows its first row. 体育 has one lesson too many, 数学 all four.
  Timetable(
      "101/1/1/01/T1/0 101/2/7/02/T2 102/1/2/01/T1/2 101/3/8/06/T3 101/4/4/06/T3 101/4/4/02/T2 "
      "101/4/5/06/T3 101/4/6/06/T3 101/5/1/02/T2 101/5/2/02/T2");
  const WeekCells six = LoadClassCells(t.db(), "101", 6).value(),
                  seven = LoadClassCells(t.db(), "101", 7).value();
  EXPECT_EQ(six.At(1, 1),
            (LessonCell{true, "101", "一（1）班", "初一1", "01", "语文", "T1", "王伟", LessonOrigin::Fixed}));
  EXPECT_EQ(six.At(4, 4).courseName, "体育");
  EXPECT_FALSE(six.At(2, 7).occupied);
  EXPECT_EQ(seven.At(2, 7).courseName, "数学");
  EXPECT_FALSE(seven.At(3, 8).occupied);
  const WeekCells teacher = LoadTeacherCells(t.db(), "T1", 6).value();
  EXPECT_EQ(teacher.At(1, 2),
            (LessonCell{true, "102", "一（2）班", "", "01", "语文", "T1", "王伟", LessonOrigin::Manual}));
  EXPECT_EQ(LoadUnplacedLessons(t.db()).value(),
            (std::vector<UnplacedLesson>{{"101", "一（1）班", "01", "语文", "T1", "王伟", 4},
                                         {"101", "一（1）班", "03", "英语", "F", "填充", 1},
                                         {"101", "一（1）班", "06", "体育", "T3", "张敏", -2},
                                         {"102", "一（2）班", "01", "语文", "T1", "王伟", 4},
                                         {"102", "一（2）班", "02", "数学", "T3", "张敏", 3}}));
}

TEST_F(TimetableEdit, PlacementOnlyWhereClassAndTeacherAreFreeAndWhileLessonsRemain) {
  Timetable("101/1/1/01/T1 102/1/2/01/T1 101/2/3/02/T2 101/3/1/06/T3 101/3/2/06/T3 101/3/3/06/T3");
  EXPECT_EQ(Placeable("01", "T1"), AllBut({{1, 1}, {1, 2}, {2, 3}, {3, 1}, {3, 2}, {3, 3}}));
  EXPECT_EQ(Placeable("01", "T1", 7), AllBut({{1, 1}, {1, 2}, {2, 3}, {3, 1}, {3, 2}, {3, 3}}, 7));
  // 体育 has one lesson too many; 03 has no plan row, 语文 none with T2.
  for (auto [course, teacher] : {std::pair{"06", "T3"}, std::pair{"03", "T1"}, std::pair{"01", "T2"}})
    EXPECT_EQ(Placeable(course, teacher), Periods{}) << course;
}

TEST_F(TimetableEdit, MoveMakesAManualRowSwapKeepsFlagsDeleteLowersOnlyItsOwnTeachersRow) {
  t.AddPlan("101", "01", "T2", 5);  // an old second row for the course
  Timetable("101/1/1/01/T1/0 101/1/4/02/T2/1 101/2/1/06/T3/2 101/3/1/01/T1/0 101/3/2/01/T2/1");
  const std::string counts = State().substr(State().find('|'));
  Result<LessonEdit> moved = Do("swap 1/1 2/2");
  ASSERT_TRUE(moved.ok()) << moved.message();
  EXPECT_EQ(moved->kind, EditKind::Move);
  EXPECT_EQ(At("101", 1, 1) + "|" + At("101", 2, 2), "|01/T1/2");
  Result<LessonEdit> swapped = Do("swap 1/4 2/1");
  ASSERT_TRUE(swapped.ok()) << swapped.message();
  EXPECT_EQ(At("101", 1, 4) + "|" + At("101", 2, 1), "06/T3/1|02/T2/2");
  EXPECT_EQ(swapped->description, "交换 一（1）班 星期一第4节 数学 与 星期二第1节 体育");
  EXPECT_EQ(State().substr(State().find('|')), counts);
  ASSERT_TRUE(Do("delete 3/1").ok());  // a fixed lesson
  EXPECT_EQ(t.db().FirstText(
                "select group_concat(BuildCount) from ClassPlantb where ClassCode='101' and CourseCode='01'"),
            "1,1");
  EXPECT_EQ(test::WrongBuildCounts(t.db()), 0);
  Result<LessonEdit> placed = Do("place 5/5 01 T1");
  ASSERT_TRUE(placed.ok()) << placed.message();
  EXPECT_EQ(At("101", 5, 5), "01/T1/2");
  EXPECT_EQ(placed->description, "安排 一（1）班 星期五第5节 语文");
  EXPECT_EQ(test::WrongBuildCounts(t.db()), 0);
}

TEST_F(TimetableEdit, RefusedChangesWriteNothingAndSayWhy) {
  Timetable(
      "101/1/1/01/T1 101/1/2/02/T2 101/1/3/01/T1 102/1/4/01/T1 101/2/1/06/T3 101/2/2/06/T3 "
      "102/2/1/03/T2");
  const std::string before = State();
  const std::pair<const char*, const char*> cases[] = {
      {"place 1/1 01 T1", "写入失败：星期一第1节 已有其他课程"},
      {"place 1/4 01 T1", "写入失败：教师王伟 星期一第4节 已在一（2）班上课"},
      {"place 3/1 06 T3", "写入失败：体育的课时已全部排完"},
      {"place 3/1 03 T1", "写入失败：教学计划中没有这门课"},
      {"place 3/7 01 T1", "写入失败：该单元格不是上课时间"},
      {"delete 3/1", "删除失败：星期三第1节 没有课程"},
      {"swap 1/1 1/3", "换课失败：两节课是同一门课程"},
      {"swap 1/1 1/1", "换课失败：不能与自己交换"},
      {"swap 3/1 1/1", "换课失败：星期三第1节 没有课程"},
      {"swap 1/1 1/4", "换课失败：教师王伟 星期一第4节 已在一（2）班上课"},
      {"swap 2/1 1/2", "换课失败：教师李芳 星期二第1节 已在一（2）班上课"},
  };
  for (const auto& [op, message] : cases) {
    EXPECT_EQ(Do(op).message(), message);
    EXPECT_EQ(State(), before) << message;
  }
}

// A failure between the statements of one change takes back those before it.
TEST_F(TimetableEdit, AFailureHalfwayLeavesNothingHalfDone) {
  const char* timetable = "101/1/1/01/T1/0 101/1/4/02/T2/1";
  Timetable(timetable);
  const std::string before = State();
  const std::pair<const char*, const char*> cases[] = {
      // The source period is written first, the target second.
      {"before update on LessonListtb when old.LessonNo=4", "swap 1/1 1/4"},
      {"before insert on LessonListtb", "swap 1/1 3/3"},
      {"before update on ClassPlantb", "place 3/3 01 T1"},
      {"before update on ClassPlantb", "delete 1/1"},
  };
  for (const auto& [when, op] : cases) {
    SCOPED_TRACE(when);
    Exec(std::string("create trigger fail ") + when + " begin select raise(abort,'x'); end");
    EXPECT_NE(Do(op).message().find("失败："), std::string::npos);
    EXPECT_EQ(State(), before);
    Exec("drop trigger fail");
    ASSERT_TRUE(Do(op).ok());  // the connection is usable at once
    Timetable(timetable);
  }
}

TEST_F(TimetableEdit, SwapTargetsNameTheRulesTheSwapWouldBreakForBothLessons) {
  t.AddSpecialCourse("06");
  t.AddSpecialCourse("02");
  Limit("1/01/1/1/3 0/101/3/1/3 2/T3/3/1/3 2/T2/1/1/3");
  Timetable(
      "101/1/1/06/T3 101/1/2/01/T1 101/1/4/02/T2 101/1/6/06/T3 101/2/1/01/T1 101/2/5/06/T3 102/2/1/06/F "
      "102/1/1/02/F");
  const SwapTargets r = MarkSwapTargets(t.db(), "101", 1, 1, 6).value();
  using Reasons = std::vector<std::string>;
  const std::tuple<int, int, Reasons> cases[] = {
      {2,
       1,
       {"体育 星期二第1节 已有其他班级上课", "体育 星期二 将有2节，超过每天最多1节",
        "语文 星期一第1节 该课程此时段设为不排"}},
      {3, 1, {"体育 星期三第1节 该班级此时段设为不排", "体育 星期三第1节 教师张敏此时段设为不排"}},
      {1, 4, {"数学 星期一第1节 已有其他班级上课", "数学 星期一第1节 教师李芳此时段设为不排"}},
      // The same day keeps its count of 体育, two where one is the most: the
      // swap breaks nothing that is not broken already.
      {1, 3, {}},
      {4, 2, {}},
  };
  for (const auto& [day, lessonNo, reasons] : cases) {
    ASSERT_NE(r.Find(day, lessonNo), nullptr) << day << "/" << lessonNo;
    EXPECT_EQ(r.Find(day, lessonNo)->reasons, reasons) << day << "/" << lessonNo;
  }
  EXPECT_EQ(r.Find(1, 6), nullptr) << "the same course";
  EXPECT_EQ(MarkSwapTargets(t.db(), "101", 3, 3, 6).message(), "星期三第3节 没有课程");
}

TEST_F(TimetableEdit, SwapTargetsNameTheStatedRulesTheyWouldBreak) {
  for (auto [key, value] : {std::pair{RuleKey::kMaxLessonsPerDay, 2}, std::pair{RuleKey::kMaxInARow, 2}})
    ASSERT_TRUE(SetSchoolRule(t.db(), {key, RuleScope::kTeacher, "T1", "", value}));
  ASSERT_TRUE(SetSchoolRule(t.db(), {RuleKey::kNoClassGaps, RuleScope::kClass, "101", "", 1}));
  // 王伟 teaches 102 on Monday 2 and Tuesday 3-4.
  Timetable("101/1/1/01/T1 102/1/2/01/T1 101/2/1/02/T2 101/2/2/06/T3 102/2/3/01/T1 102/2/4/01/T1");
  const SwapTargets r = MarkSwapTargets(t.db(), "101", 1, 1, 6).value();
  using Reasons = std::vector<std::string>;
  const std::string dayMax = "语文 教师王伟 星期二 将有3节，超过每天最多2节";
  const std::tuple<int, int, Reasons> cases[] = {
      {2, 6, {dayMax, "语文 一（1）班 星期二 将有空节"}},
      {1, 3, {"语文 一（1）班 星期一 将有空节"}},
      {2, 2, {dayMax, "语文 教师王伟 星期二 将连续上3节，超过最多2节"}},
      // A swap leaves the class's periods as they were: no gap to name.
      {2, 1, {dayMax}},
  };
  for (const auto& [day, lessonNo, reasons] : cases) {
    ASSERT_NE(r.Find(day, lessonNo), nullptr) << day << "/" << lessonNo;
    EXPECT_EQ(r.Find(day, lessonNo)->reasons, reasons) << day << "/" << lessonNo;
  }
  // Only clashes keep a period from being a target.
  EXPECT_EQ(r.Find(1, 2), nullptr);
  // Two lessons of the day changing places open no gap between them.
  const SwapTargets tuesday = MarkSwapTargets(t.db(), "101", 2, 1, 6).value();
  ASSERT_NE(tuesday.Find(2, 2), nullptr);
  EXPECT_EQ(tuesday.Find(2, 2)->reasons, Reasons{});

  // Two lessons of one teacher changing places leave the teacher's periods
  // as they were: 王伟's Monday 1-3 has no idle period to name.
  ASSERT_TRUE(SetSchoolRule(t.db(), {RuleKey::kMaxGapsPerWeek, RuleScope::kTeacher, "T1", "", 0}));
  t.AddPlan("101", "03", "T1", 1);
  Timetable("102/1/1/01/T1 101/1/2/01/T1 102/1/3/01/T1 101/2/1/03/T1");
  const SwapTargets same = MarkSwapTargets(t.db(), "101", 1, 2, 6).value();
  ASSERT_NE(same.Find(2, 1), nullptr);
  EXPECT_EQ(same.Find(2, 1)->reasons, Reasons{});
  ASSERT_NE(same.Find(2, 2), nullptr);
  EXPECT_EQ(same.Find(2, 2)->reasons, Reasons{"语文 教师王伟 本周将有1个空节，超过最多0个"});
}

}  // namespace
}  // namespace orv
