#include "core/editing/edit_targets.h"

#include <exception>
#include <map>
#include <set>

#include "core/database/guard.h"
#include "core/database/plan_count.h"
#include "core/database/week_marks.h"
#include "core/domain/week.h"
#include "core/editing/timetable_edit.h"
#include "core/scheduling/generation_steps.h"

namespace orv {

namespace {

constexpr const char* kClassSlots = "select Day,LessonNo from LessonListtb where ClassCode=?";
constexpr const char* kTeacherSlots = "select Day,LessonNo from LessonListtb where TeacherCode=?";
constexpr const char* kTeacherSlotsElsewhere =
    "select Day,LessonNo from LessonListtb where TeacherCode=? and ClassCode<>?";
// Who teaches what in the other classes at one period, and whether it is a
// special course.
constexpr const char* kPeriodElsewhere =
    "select TeacherCode,CourseCode,CourseCode in (select CourseCode from CourseAttrtb) from LessonListtb"
    " where Day=? and LessonNo=? and ClassCode<>?";
constexpr const char* kSpecialSlotsElsewhere =
    "select Day,LessonNo from LessonListtb where CourseCode=? and ClassCode<>?"
    " and CourseCode in (select CourseCode from CourseAttrtb)";
constexpr const char* kMarkedSlots = "select Day,LessonNo from Limittb where Kind=? and Code=? and Attr=?";
constexpr const char* kMarkedCodesAt =
    "select Code from Limittb where Kind=? and Day=? and LessonNo=? and Attr=?";
constexpr const char* kPlanCounts =
    "select CourseCode," ORV_PLAN_COUNT " from ClassPlantb where ClassCode=? order by rowid";

template <class... Args>
WeekSlots ReadSlots(TimetableDb& db, int lessonsPerDay, const char* sql, const Args&... args) {
  WeekSlots slots{SchoolWeek(lessonsPerDay)};
  for (Cursor c = db.Query(sql, args...); c.Next();) slots.Set(c.Int(0), c.Int(1), true);
  return slots;
}

template <class... Args>
std::set<std::string> ReadCodes(TimetableDb& db, const char* sql, const Args&... args) {
  std::set<std::string> codes;
  for (Cursor c = db.Query(sql, args...); c.Next();) codes.insert(c.Text(0));
  return codes;
}

// What a swap with the selected lesson S would break, read once per
// selection: S goes to each candidate period, and each candidate's lesson
// comes to S's period.
class SwapRules {
 public:
  SwapRules(TimetableDb& db, std::string_view classCode, const WeekCells& week, int day, int lessonNo,
            const std::set<std::string>& specialAtSource)
      : week_(week), day_(day), lessonNo_(lessonNo), specialAtSource_(specialAtSource) {
    const LessonCell& s = week.At(day, lessonNo);
    const int lessons = week.LessonsPerDay();
    const int never = DbValue(LimitMark::Never);
    sSpecialElsewhere_ = ReadSlots(db, lessons, kSpecialSlotsElsewhere, s.courseCode, classCode);
    sCourseNever_ = ReadSlots(db, lessons, kMarkedSlots, DbValue(LimitKind::Course), s.courseCode, never);
    sTeacherNever_ = ReadSlots(db, lessons, kMarkedSlots, DbValue(LimitKind::Teacher), s.teacherCode, never);
    classNever_ = ReadSlots(db, lessons, kMarkedSlots, DbValue(LimitKind::Class), classCode, never);
    coursesNeverHere_ = ReadCodes(db, kMarkedCodesAt, DbValue(LimitKind::Course), day, lessonNo, never);
    teachersNeverHere_ = ReadCodes(db, kMarkedCodesAt, DbValue(LimitKind::Teacher), day, lessonNo, never);
    // The first plan row of a course is the one generation reads.
    for (Cursor c = db.Query(kPlanCounts, classCode); c.Next();)
      planCount_.try_emplace(c.Text(0), c.Int64(1));
  }

  std::vector<std::string> Reasons(int day, int lessonNo) const {
    std::vector<std::string> reasons;
    const LessonCell& s = week_.At(day_, lessonNo_);
    const LessonCell& t = week_.At(day, lessonNo);
    const auto add = [&](const LessonCell& l, int d, int n, bool broken, const std::string& what) {
      if (broken) reasons.push_back(l.courseName + " " + SlotLabel(d, n) + " " + what);
    };
    add(s, day, lessonNo, sSpecialElsewhere_.At(day, lessonNo), "已有其他班级上课");
    add(s, day, lessonNo, sCourseNever_.At(day, lessonNo), "该课程此时段设为不排");
    add(s, day, lessonNo, classNever_.At(day, lessonNo), "该班级此时段设为不排");
    add(s, day, lessonNo, sTeacherNever_.At(day, lessonNo), "教师" + s.teacherName + "此时段设为不排");
    AddDayCap(reasons, s, day_, day);
    if (!t.occupied) return reasons;
    add(t, day_, lessonNo_, specialAtSource_.count(t.courseCode) > 0, "已有其他班级上课");
    add(t, day_, lessonNo_, coursesNeverHere_.count(t.courseCode) > 0, "该课程此时段设为不排");
    add(t, day_, lessonNo_, classNever_.At(day_, lessonNo_), "该班级此时段设为不排");
    add(t, day_, lessonNo_, teachersNeverHere_.count(t.teacherCode) > 0,
        "教师" + t.teacherName + "此时段设为不排");
    AddDayCap(reasons, t, day, day_);
    return reasons;
  }

 private:
  // The lesson it changes places with is of another course, so a lesson
  // coming from another day adds one of its course to the day.
  void AddDayCap(std::vector<std::string>& reasons, const LessonCell& l, int fromDay, int day) const {
    if (fromDay == day) return;
    auto plan = planCount_.find(l.courseCode);
    if (plan == planCount_.end()) return;
    int count = 1;
    for (int n = 1; n <= week_.LessonsPerDay(); ++n) {
      const LessonCell& other = week_.At(day, n);
      if (other.occupied && other.courseCode == l.courseCode) ++count;
    }
    const int cap = PlanDailyCap(plan->second);
    if (count > cap)
      reasons.push_back(l.courseName + " " + std::string(kDayNames[static_cast<size_t>(day - 1)]) + " 将有" +
                        std::to_string(count) + "节，超过每天最多" + std::to_string(cap) + "节");
  }

  const WeekCells& week_;
  int day_, lessonNo_;
  const std::set<std::string>& specialAtSource_;
  WeekSlots sSpecialElsewhere_, sCourseNever_, sTeacherNever_, classNever_;
  std::set<std::string> coursesNeverHere_, teachersNeverHere_;
  std::map<std::string, long long> planCount_;
};

}  // namespace

const SwapTarget* SwapTargets::Find(int d, int n) const {
  for (const SwapTarget& t : targets)
    if (t.day == d && t.lessonNo == n) return &t;
  return nullptr;
}

Result<WeekSlots> MarkPlacementTargets(TimetableDb& db, std::string_view classCode,
                                       std::string_view courseCode, std::string_view teacherCode,
                                       int lessonsPerDay) {
  return Guarded("读取可排位置失败：", [&]() -> Result<WeekSlots> {
    WeekSlots targets{SchoolWeek(lessonsPerDay)};
    if (PlanRemaining(db, classCode, courseCode, teacherCode).value_or(0) < 1) return targets;
    const WeekSlots classBusy = ReadSlots(db, lessonsPerDay, kClassSlots, classCode);
    const WeekSlots teacherBusy = ReadSlots(db, lessonsPerDay, kTeacherSlots, teacherCode);
    for (int day = 1; day <= kDaysPerWeek; ++day)
      for (int n = 1; n <= targets.LessonsPerDay(); ++n)
        targets.Set(day, n, !classBusy.At(day, n) && !teacherBusy.At(day, n));
    return targets;
  });
}

Result<SwapTargets> MarkSwapTargets(TimetableDb& db, std::string_view classCode, int day, int lessonNo,
                                    int lessonsPerDay) {
  return Guarded("读取可交换位置失败：", [&]() -> Result<SwapTargets> {
    Result<WeekCells> week = LoadClassCells(db, classCode, SchoolWeek(lessonsPerDay));
    if (!week) return week.outcome();
    const LessonCell& s = week->At(day, lessonNo);
    if (!s.occupied) return Outcome::Fail(SlotLabel(day, lessonNo) + " 没有课程");
    // The two queries of every candidate period, asked once for the week:
    // where S's teacher teaches other classes, and who teaches other
    // classes at S's period.
    const WeekSlots sTeacherBusy =
        ReadSlots(db, lessonsPerDay, kTeacherSlotsElsewhere, s.teacherCode, classCode);
    std::set<std::string> busyAtSource, specialAtSource;
    for (Cursor c = db.Query(kPeriodElsewhere, day, lessonNo, classCode); c.Next();) {
      busyAtSource.insert(c.Text(0));
      if (c.Int(2) != 0) specialAtSource.insert(c.Text(1));
    }
    const SwapRules rules(db, classCode, *week, day, lessonNo, specialAtSource);
    SwapTargets result{day, lessonNo, {}};
    for (int d = 1; d <= kDaysPerWeek; ++d) {
      for (int n = 1; n <= week->LessonsPerDay(); ++n) {
        const LessonCell& t = week->At(d, n);
        if (t.occupied && t.courseCode == s.courseCode) continue;
        if (sTeacherBusy.At(d, n)) continue;
        if (t.occupied && busyAtSource.count(t.teacherCode) > 0) continue;
        result.targets.push_back({d, n, rules.Reasons(d, n)});
      }
    }
    return result;
  });
}

}  // namespace orv
