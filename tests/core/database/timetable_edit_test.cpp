// Editing the timetable by hand: what the window shows, where a click may
// lead, and what placing, deleting, moving and swapping write.
#include "core/database/timetable_edit.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <optional>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "core/database/edit_targets.h"
#include "core/database/lesson_weeks.h"
#include "manual_edit_fixture.h"

namespace orv {
namespace {

using Period = std::pair<int, int>;

class TimetableEdit : public test::ManualEditSchool {
 protected:
  std::vector<Period> Marked(const WeekSlots& slots) {
    std::vector<Period> marked;
    for (int d = 1; d <= kDaysPerWeek; ++d)
      for (int n = 1; n <= slots.LessonsPerDay(); ++n)
        if (slots.At(d, n)) marked.emplace_back(d, n);
    return marked;
  }
  std::vector<Period> Targets(const std::string& cls, int day, int lessonNo, int lessonsPerDay = 6) {
    Result<SwapTargets> r = MarkSwapTargets(t.db(), cls, day, lessonNo, lessonsPerDay);
    EXPECT_TRUE(r.ok()) << r.message();
    std::vector<Period> periods;
    if (r)
      for (const SwapTarget& target : r->targets) periods.emplace_back(target.day, target.lessonNo);
    return periods;
  }
  // The candidates exactly as first defined: two queries for each period.
  std::vector<Period> TargetsCellByCell(const std::string& cls, int day, int lessonNo, int lessonsPerDay) {
    const char* first =
        "select CourseCode,TeacherCode from LessonListtb where ClassCode=? and Day=? and LessonNo=?"
        " order by rowid";
    const char* elsewhere =
        "select CourseCode from Lessonlisttb where TeacherCode=? and ClassCode<>? and Day=? and LessonNo=?";
    auto cell = [&](int d, int n) -> std::optional<std::pair<std::string, std::string>> {
      Cursor c = t.db().Query(first, cls, d, n);
      if (!c.Next()) return std::nullopt;
      return std::make_pair(c.Text(0), c.Text(1));
    };
    const auto s = cell(day, lessonNo);
    std::vector<Period> periods;
    for (int d = 1; d <= 5; ++d)
      for (int n = 1; n <= lessonsPerDay; ++n) {
        const auto target = cell(d, n);
        if (target && target->first == s->first) continue;
        if (t.db().Exists(elsewhere, s->second, cls, d, n)) continue;
        if (target && t.db().Exists(elsewhere, target->second, cls, day, lessonNo)) continue;
        periods.emplace_back(d, n);
      }
    return periods;
  }
  static std::vector<Period> AllBut(std::vector<Period> left, int lessonsPerDay = 6) {
    std::vector<Period> all;
    for (int d = 1; d <= 5; ++d)
      for (int n = 1; n <= lessonsPerDay; ++n)
        if (std::find(left.begin(), left.end(), Period{d, n}) == left.end()) all.emplace_back(d, n);
    return all;
  }
};

TEST_F(TimetableEdit, WeeksShowNamesFirstRowOfAPeriodAndOnlyTheLessonsOfTheDay) {
  Exec("update Classtb set ShortName='初一1' where Code='101'");
  Timetable("101/1/1/01/T1/0 101/2/7/02/T2 102/1/2/01/T1/2 101/3/8/06/T3 101/4/4/01/T1 101/4/4/02/T2");
  for (int lessonsPerDay : {6, 7}) {
    SCOPED_TRACE(lessonsPerDay);
    Result<WeekCells> cls = LoadClassCells(t.db(), "101", lessonsPerDay);
    ASSERT_TRUE(cls.ok());
    EXPECT_EQ(cls->LessonsPerDay(), lessonsPerDay);
    EXPECT_EQ(cls->At(1, 1), (LessonCell{true, "101", "一（1）班", "初一1", "01", "语文", "T1", "王伟",
                                         LessonOrigin::Fixed}));
    EXPECT_EQ(cls->At(4, 4).courseName, "语文");
    EXPECT_EQ(cls->At(2, 7).courseName, lessonsPerDay == 7 ? "数学" : "");
    EXPECT_FALSE(cls->At(3, 8).occupied);
    int occupied = 0;
    for (int d = 1; d <= 5; ++d)
      for (int n = 1; n <= 7; ++n) occupied += cls->At(d, n).occupied;
    EXPECT_EQ(occupied, lessonsPerDay == 7 ? 3 : 2);
    Result<WeekCells> teacher = LoadTeacherCells(t.db(), "T1", lessonsPerDay);
    ASSERT_TRUE(teacher.ok());
    EXPECT_EQ(teacher->At(1, 2),
              (LessonCell{true, "102", "一（2）班", "", "01", "语文", "T1", "王伟", LessonOrigin::Manual}));
    EXPECT_EQ(teacher->At(1, 1).classShortName, "初一1");
  }
  EXPECT_EQ(LoadTeacherCells(t.db(), "", 6).value(), WeekCells(6));
}

TEST_F(TimetableEdit, UnplacedListSkipsCompleteRowsShowsSurplusAndSortsByClassThenCourse) {
  t.AddPlan("101", "03", "F", 1);
  Timetable(
      "101/1/1/06/T3 101/1/2/06/T3 101/1/3/06/T3 101/2/1/02/T2 101/2/2/02/T2 101/2/3/02/T2 101/2/4/02/T2 "
      "102/3/1/02/T3 102/3/2/02/T3 102/3/3/02/T3");
  Result<std::vector<UnplacedLesson>> rows = LoadUnplacedLessons(t.db());
  ASSERT_TRUE(rows.ok()) << rows.message();
  std::vector<std::tuple<std::string, std::string, std::string, int>> got;
  for (const UnplacedLesson& r : *rows)
    got.emplace_back(r.classCode, r.courseCode, r.teacherCode, r.remaining);
  EXPECT_EQ(
      got,
      (std::vector<std::tuple<std::string, std::string, std::string, int>>{
          {"101", "01", "T1", 5}, {"101", "03", "F", 1}, {"101", "06", "T3", -1}, {"102", "01", "T1", 5}}));
  EXPECT_EQ(rows->front(), (UnplacedLesson{"101", "一（1）班", "01", "语文", "T1", "王伟", 5}));
}

TEST_F(TimetableEdit, PlacementIsOfferedOnlyWhereClassAndTeacherAreFreeAndOnlyWhileLessonsRemain) {
  Timetable(
      "101/1/1/01/T1 102/1/2/01/T1 101/2/3/02/T2 101/3/1/06/T3 101/3/2/06/T3 101/3/3/06/T3 "
      "101/4/1/02/T2 101/4/2/02/T2 101/4/3/02/T2");
  for (int lessonsPerDay : {6, 7}) {
    Result<WeekSlots> slots = MarkPlacementTargets(t.db(), "101", "01", "T1", lessonsPerDay);
    ASSERT_TRUE(slots.ok());
    EXPECT_EQ(Marked(*slots), AllBut({{1, 1}, {1, 2}, {2, 3}, {3, 1}, {3, 2}, {3, 3}, {4, 1}, {4, 2}, {4, 3}},
                                     lessonsPerDay));
  }
  // 06 has one lesson too many, 02 all of its four, 03 no plan row, and 01
  // has no row with teacher T2.
  const std::pair<const char*, const char*> rows[] = {{"06", "T3"}, {"02", "T2"}, {"03", "T1"}, {"01", "T2"}};
  for (const auto& [course, teacher] : rows)
    EXPECT_EQ(Marked(MarkPlacementTargets(t.db(), "101", course, teacher, 6).value()), std::vector<Period>{})
        << course;
}

TEST_F(TimetableEdit, SwapTargetsSkipTheSameCourseAndBusyTeachersAndIncludeFreeEmptyPeriods) {
  // S = 101 Monday 1 (语文, T1). Monday 2 is 语文 too; T1 teaches 102 on
  // Monday 3 and Wednesday 3; T3 teaches 102 at S's period.
  Timetable(
      "101/1/1/01/T1/0 101/1/2/01/T1 101/1/3/02/T2 101/2/1/06/T3 101/5/6/02/T2 "
      "102/1/3/01/T1 102/3/3/01/T1 102/1/1/02/T3");
  for (int lessonsPerDay : {6, 7}) {
    SCOPED_TRACE(lessonsPerDay);
    const std::vector<Period> expected = AllBut({{1, 1}, {1, 2}, {1, 3}, {2, 1}, {3, 3}}, lessonsPerDay);
    EXPECT_EQ(Targets("101", 1, 1, lessonsPerDay), expected);
    EXPECT_EQ(TargetsCellByCell("101", 1, 1, lessonsPerDay), expected);
  }
  // From 数学 on Friday 6 every 语文 period is open, T1 being free there.
  EXPECT_EQ(Targets("101", 5, 6), TargetsCellByCell("101", 5, 6, 6));
  EXPECT_EQ(MarkSwapTargets(t.db(), "101", 2, 2, 6).message(), "星期二第2节 没有课程");
}

TEST_F(TimetableEdit, MovingCreatesAManualRowAndDropsTheSourceSwappingKeepsEachPeriodsFlag) {
  Timetable("101/1/1/01/T1/0 101/1/4/02/T2/1 101/2/1/06/T3/2");
  const std::string plan = State().substr(State().find('|'));
  Result<LessonEdit> moved = SwapLessons(t.db(), "101", 1, 1, 2, 2, 6);
  ASSERT_TRUE(moved.ok()) << moved.message();
  EXPECT_EQ(moved->kind, EditKind::Move);
  EXPECT_EQ(At("101", 1, 1), "");
  EXPECT_EQ(At("101", 2, 2), "01/T1/2");
  Result<LessonEdit> swapped = SwapLessons(t.db(), "101", 1, 4, 2, 1, 6);
  ASSERT_TRUE(swapped.ok()) << swapped.message();
  EXPECT_EQ(swapped->kind, EditKind::Swap);
  EXPECT_EQ(At("101", 1, 4), "06/T3/1");
  EXPECT_EQ(At("101", 2, 1), "02/T2/2");
  EXPECT_EQ(swapped->description, "交换 一（1）班 星期一第4节 数学 与 星期二第1节 体育");
  EXPECT_EQ(State().substr(State().find('|')), plan);  // BuildCount unchanged
}

TEST_F(TimetableEdit, DeletingAFixedLessonLowersOnlyThePlanRowOfItsOwnTeacher) {
  t.AddPlan("101", "01", "T2", 5);  // an old second row for the course
  Timetable("101/1/1/01/T1/0 101/1/2/01/T1/1 101/1/3/01/T2/1");
  Result<LessonEdit> deleted = DeleteLesson(t.db(), "101", 1, 1, 6);
  ASSERT_TRUE(deleted.ok()) << deleted.message();
  EXPECT_EQ(At("101", 1, 1), "");
  EXPECT_EQ(t.Count("select BuildCount from ClassPlantb where CourseCode='01' and TeacherCode='T1' and "
                    "ClassCode='101'"),
            1);
  EXPECT_EQ(t.Count("select BuildCount from ClassPlantb where TeacherCode='T2' and CourseCode='01'"), 1);
  EXPECT_EQ(deleted->periods.front().before, (StoredLesson{"01", "T1", LessonOrigin::Fixed}));
  EXPECT_EQ(test::WrongBuildCounts(t.db()), 0);
}

TEST_F(TimetableEdit, PlacingWritesAManualLessonAndCountsItOnItsPlanRow) {
  Timetable("101/1/1/01/T1 102/1/3/01/T1");
  Result<LessonEdit> placed = PlaceLesson(t.db(), "101", 2, 2, "01", "T1", 6);
  ASSERT_TRUE(placed.ok()) << placed.message();
  EXPECT_EQ(At("101", 2, 2), "01/T1/2");
  EXPECT_EQ(t.BuildCount("101", "01"), 2);
  EXPECT_EQ(placed->description, "安排 一（1）班 星期二第2节 语文");
  EXPECT_EQ(EditDoneText(placed->kind), "写入成功");
}

// Every refusal leaves the tables exactly as they were and says why.
TEST_F(TimetableEdit, RefusedChangesWriteNothingAndSayWhy) {
  Timetable(
      "101/1/1/01/T1 101/1/2/02/T2 101/1/3/01/T1 102/1/4/01/T1 102/1/2/02/T1 "
      "101/2/1/06/T3 101/2/2/06/T3 102/1/5/02/T3 102/2/1/03/T2");
  const std::string before = State();
  using Op = std::function<Result<LessonEdit>(TimetableDb&)>;
  const std::pair<Op, std::string> cases[] = {
      {[](TimetableDb& db) { return PlaceLesson(db, "101", 1, 1, "01", "T1", 6); },
       "写入失败：星期一第1节 已有其他课程"},
      {[](TimetableDb& db) { return PlaceLesson(db, "101", 1, 4, "01", "T1", 6); },
       "写入失败：教师王伟 星期一第4节 已在一（2）班上课"},
      {[](TimetableDb& db) { return PlaceLesson(db, "101", 3, 1, "06", "T3", 6); },
       "写入失败：体育的课时已全部排完"},
      {[](TimetableDb& db) { return PlaceLesson(db, "101", 3, 1, "03", "T1", 6); },
       "写入失败：教学计划中没有这门课"},
      {[](TimetableDb& db) { return PlaceLesson(db, "101", 3, 7, "01", "T1", 6); },
       "写入失败：该单元格不是上课时间"},
      {[](TimetableDb& db) { return DeleteLesson(db, "101", 3, 1, 6); }, "删除失败：星期三第1节 没有课程"},
      {[](TimetableDb& db) { return SwapLessons(db, "101", 1, 1, 1, 3, 6); }, "换课失败：两节课是同一门课程"},
      {[](TimetableDb& db) { return SwapLessons(db, "101", 1, 1, 1, 1, 6); }, "换课失败：不能与自己交换"},
      {[](TimetableDb& db) { return SwapLessons(db, "101", 3, 1, 1, 1, 6); },
       "换课失败：星期三第1节 没有课程"},
      {[](TimetableDb& db) { return SwapLessons(db, "101", 1, 1, 1, 4, 6); },
       "换课失败：教师王伟 星期一第4节 已在一（2）班上课"},
      {[](TimetableDb& db) { return SwapLessons(db, "101", 2, 1, 1, 2, 6); },
       "换课失败：教师李芳 星期二第1节 已在一（2）班上课"},
      {[](TimetableDb& db) { return SwapLessons(db, "101", 2, 1, 1, 5, 6); },
       "换课失败：教师张敏 星期一第5节 已在一（2）班上课"},
  };
  for (const auto& [op, message] : cases) {
    Result<LessonEdit> r = op(t.db());
    EXPECT_FALSE(r.ok()) << message;
    EXPECT_EQ(r.message(), message);
    EXPECT_EQ(State(), before) << message;
  }
}

// A failure between the statements of one change takes back those before it.
TEST_F(TimetableEdit, AFailureHalfwayLeavesNothingHalfDone) {
  Timetable("101/1/1/01/T1/0 101/1/4/02/T2/1");
  const std::string before = State();
  const std::pair<const char*, std::function<Result<LessonEdit>(TimetableDb&)>> cases[] = {
      // The source period is written first, the target second.
      {"create trigger fail before update on LessonListtb when old.LessonNo=4 begin select raise(abort,'x'); "
       "end",
       [](TimetableDb& db) { return SwapLessons(db, "101", 1, 1, 1, 4, 6); }},
      {"create trigger fail before insert on LessonListtb begin select raise(abort,'x'); end",
       [](TimetableDb& db) { return SwapLessons(db, "101", 1, 1, 3, 3, 6); }},
      {"create trigger fail before update on ClassPlantb begin select raise(abort,'x'); end",
       [](TimetableDb& db) { return PlaceLesson(db, "101", 3, 3, "01", "T1", 6); }},
      {"create trigger fail before update on ClassPlantb begin select raise(abort,'x'); end",
       [](TimetableDb& db) { return DeleteLesson(db, "101", 1, 1, 6); }},
  };
  for (const auto& [trigger, op] : cases) {
    SCOPED_TRACE(trigger);
    Exec(trigger);
    Result<LessonEdit> r = op(t.db());
    EXPECT_FALSE(r.ok());
    EXPECT_NE(r.message().find("失败："), std::string::npos) << r.message();
    EXPECT_EQ(State(), before);
    Exec("drop trigger fail");
    // The connection is usable at once: the same change now goes through.
    ASSERT_TRUE(op(t.db()).ok());
    Timetable("101/1/1/01/T1/0 101/1/4/02/T2/1");
  }
}

TEST_F(TimetableEdit, SwapTargetsNameTheRulesTheSwapWouldBreakForBothLessons) {
  t.AddSpecialCourse("06");
  t.AddSpecialCourse("02");
  Limit("1/01/1/1/3 0/101/3/1/3 2/T3/3/1/3 2/T2/1/1/3");
  Timetable(
      "101/1/1/06/T3 101/1/2/01/T1 101/1/4/02/T2 101/2/1/01/T1 101/2/5/06/T3 102/2/1/06/F 102/1/1/02/F");
  Result<SwapTargets> r = MarkSwapTargets(t.db(), "101", 1, 1, 6);
  ASSERT_TRUE(r.ok()) << r.message();
  using Reasons = std::vector<std::string>;
  const std::tuple<int, int, Reasons> cases[] = {
      {2,
       1,
       {"体育 星期二第1节 已有其他班级上课", "体育 星期二 将有2节，超过每天最多1节",
        "语文 星期一第1节 该课程此时段设为不排"}},
      {3, 1, {"体育 星期三第1节 该班级此时段设为不排", "体育 星期三第1节 教师张敏此时段设为不排"}},
      {1, 4, {"数学 星期一第1节 已有其他班级上课", "数学 星期一第1节 教师李芳此时段设为不排"}},
      {1, 3, {}},  // the same day: no daily cap
      {4, 2, {}},
  };
  for (const auto& [day, lessonNo, reasons] : cases) {
    const SwapTarget* target = r->Find(day, lessonNo);
    ASSERT_NE(target, nullptr) << day << "/" << lessonNo;
    EXPECT_EQ(target->reasons, reasons) << day << "/" << lessonNo;
  }
  EXPECT_EQ(r->Find(2, 5), nullptr);  // the same course
}

}  // namespace
}  // namespace orv
