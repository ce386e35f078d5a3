// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/editing/edit_targets.h"

#include <exception>

#include "core/database/guard.h"
#include "core/domain/week.h"
#include "core/editing/timetable_edit.h"
#include "core/model/school_model.h"
#include "core/rules/rule_book.h"

namespace orv {

namespace {

// What keeps a lesson out of a period for good: its class or its teacher
// already has a lesson there.
constexpr RuleSet kBusy = {Rule::kClassClash, Rule::kTeacherClash};
// What a swap may break and still be made: the tooltip names these.
constexpr RuleSet kWarned = {Rule::kSpecialCourseClash, Rule::kCourseNever, Rule::kClassNever,
                             Rule::kTeacherNever,       Rule::kDailyCap,    Rule::kTeacherDayMax,
                             Rule::kTeacherInARow,      Rule::kTeacherGaps, Rule::kClassGaps};
// A lesson moved within its day leaves each course's and each teacher's count
// on that day as it was, so it can break no daily cap or daily maximum the
// day does not already break.
constexpr RuleSet kWarnedWithinDay = {Rule::kSpecialCourseClash, Rule::kCourseNever,   Rule::kClassNever,
                                      Rule::kTeacherNever,       Rule::kTeacherInARow, Rule::kTeacherGaps,
                                      Rule::kClassGaps};

// What a lesson of a swap or move is asked. Two lessons of one class that
// change places leave the class's periods as they were, and two of one
// teacher the teacher's: the rule book sees each lesson with both gone, so
// it would find a gap where the other one arrives.
RuleSet Warned(bool otherDay, bool swap, bool sameTeacher) {
  RuleSet asked;
  for (const RuleInfo& info : AllRules()) {
    const Rule r = info.rule;
    if (!(otherDay ? kWarned : kWarnedWithinDay).Has(r)) continue;
    if (swap && r == Rule::kClassGaps) continue;
    if (sameTeacher && (r == Rule::kTeacherDayMax || r == Rule::kTeacherInARow || r == Rule::kTeacherGaps))
      continue;
    asked.Add(r);
  }
  return asked;
}

// The rules whose reason names its own day: "教师王伟 星期三 将有5节，超过每天最多4节".
bool NamesItsDay(Rule rule) {
  return rule == Rule::kDailyCap || rule == Rule::kTeacherDayMax || rule == Rule::kTeacherInARow ||
         rule == Rule::kTeacherGaps || rule == Rule::kClassGaps;
}

// The lesson the window shows and acts on in a period of the class: the
// first row stored there; -1 when the period is empty.
int ShownLesson(const SchoolModel& m, int cls, int period) {
  const std::vector<int>& here = m.ClassAt(cls, period);
  return here.empty() ? -1 : here.front();
}

// One line per rule the lesson would break at the period, e.g.
// "信息技术 星期三第2节 已有其他班级上课" or "信息技术 星期三 将有3节，超过每天最多2节".
void AddReasons(const SchoolModel& m, const Candidate& c, int period, RuleSet asked,
                std::vector<std::string>& reasons) {
  const std::string& course = m.courses[static_cast<size_t>(c.course)].name;
  const std::string slot = SlotLabel(DayOfPeriod(period), LessonOfPeriod(period));
  for (BrokenRule& broken : Check(m, c, period, asked))
    reasons.push_back(NamesItsDay(broken.rule) ? course + " " + broken.reason
                                               : course + " " + slot + " " + broken.reason);
}

}  // namespace

const SwapTarget* SwapTargets::Find(int d, int n) const {
  for (const SwapTarget& t : targets)
    if (t.day == d && t.lessonNo == n) return &t;
  return nullptr;
}

Result<WeekSlots> MarkPlacementTargets(TimetableDb& db, std::string_view classCode,
                                       std::string_view courseCode, std::string_view teacherCode,
                                       SchoolWeek week) {
  return Guarded("读取可排位置失败：", [&]() -> Result<WeekSlots> {
    WeekSlots targets{week};
    if (PlanRemaining(db, classCode, courseCode, teacherCode).value_or(0) < 1) return targets;
    Result<SchoolModel> model = LoadSchoolModel(db, week);
    if (!model) return model.outcome();
    const SchoolModel& m = *model;
    // The plan row names all three, so the model knows them.
    const Candidate c{m.ClassIndex(classCode), m.CourseIndex(courseCode), m.TeacherIndex(teacherCode)};
    if (c.cls < 0 || c.course < 0 || c.teacher < 0) return targets;
    for (int day = 1; day <= kDaysPerWeek; ++day)
      for (int n = 1; n <= targets.LessonsPerDay(); ++n)
        targets.Set(day, n, Test(m, c, PeriodOf(day, n), kBusy).Empty());
    return targets;
  });
}

Result<SwapTargets> MarkSwapTargets(TimetableDb& db, std::string_view classCode, int day, int lessonNo,
                                    SchoolWeek week) {
  return Guarded("读取可交换位置失败：", [&]() -> Result<SwapTargets> {
    const auto empty = [&] { return Outcome::Fail(SlotLabel(day, lessonNo) + " 没有课程"); };
    if (!week.Contains(day, lessonNo)) return empty();
    Result<SchoolModel> model = LoadSchoolModel(db, week);
    if (!model) return model.outcome();
    const SchoolModel& m = *model;
    const int cls = m.ClassIndex(classCode);
    const int from = PeriodOf(day, lessonNo);
    const int s = cls < 0 ? -1 : ShownLesson(m, cls, from);
    if (s < 0) return empty();
    const ModelLesson& selected = m.lessons[static_cast<size_t>(s)];
    SwapTargets result{day, lessonNo, {}};
    for (int d = 1; d <= kDaysPerWeek; ++d) {
      for (int n = 1; n <= week.lessonsPerDay; ++n) {
        const int to = PeriodOf(d, n);
        const int t = ShownLesson(m, cls, to);
        // Changing a lesson for one of its own course changes nothing.
        if (t >= 0 && m.lessons[static_cast<size_t>(t)].course == selected.course) continue;
        // S goes to the period and T, if any, comes to S's: both leave first.
        const Candidate sThere = Candidate::Of(m, s, t);
        if (!Test(m, sThere, to, {Rule::kTeacherClash}).Empty()) continue;
        const bool sameTeacher = t >= 0 && m.lessons[static_cast<size_t>(t)].teacher == selected.teacher;
        const RuleSet asked = Warned(d != day, t >= 0, sameTeacher);
        std::vector<std::string> reasons;
        AddReasons(m, sThere, to, asked, reasons);
        if (t >= 0) {
          const Candidate tHere = Candidate::Of(m, t, s);
          if (!Test(m, tHere, from, {Rule::kTeacherClash}).Empty()) continue;
          AddReasons(m, tHere, from, asked, reasons);
        }
        result.targets.push_back({d, n, std::move(reasons)});
      }
    }
    return result;
  });
}

}  // namespace orv
