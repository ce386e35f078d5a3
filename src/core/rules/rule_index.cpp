// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/rules/rule_index.h"

#include <algorithm>

#include "core/rules/rule_book.h"

namespace orv {

namespace {

// The rules a lesson that does not move can break against another one.
constexpr RuleSet kClashRules = {Rule::kClassClash, Rule::kTeacherClash, Rule::kSpecialCourseClash};
constexpr RuleSet kNeverRules = {Rule::kCourseNever, Rule::kClassNever, Rule::kTeacherNever};

}  // namespace

PeriodMask OpenPeriods(const SchoolModel& m, Rule never, int who) {
  // The rule asked reads only the one it is about.
  Candidate c;
  if (never == Rule::kClassNever) c.cls = who;
  if (never == Rule::kCourseNever) c.course = who;
  if (never == Rule::kTeacherNever) c.teacher = who;
  PeriodMask open = 0;
  for (int p = 0; p < kWeekPeriods; ++p)
    if ((m.weekBits & PeriodBit(p)) && Test(m, c, p, {never}).Empty()) open |= PeriodBit(p);
  return open;
}

void IndexRules(SchoolModel& m) {
  for (CapGroup& g : m.capGroups) g.cap = PlanDailyCap(g.firstCount);
  for (PlanNeed& n : m.needs) {
    n.open = 0;
    const Candidate c{n.cls, n.course, n.teacher};
    for (int p = 0; p < kWeekPeriods; ++p)
      if ((m.weekBits & PeriodBit(p)) && Test(m, c, p, kNeverRules).Empty()) n.open |= PeriodBit(p);
  }
  // A wall clashes when an earlier wall already holds its class, teacher or
  // special course in the period: the earlier one stands.
  std::vector<char> standing(m.lessons.size(), 0);
  for (size_t i = 0; i < m.lessons.size(); ++i) {
    ModelLesson& l = m.lessons[i];
    l.clashes = false;
    if (!IsWall(l)) continue;
    Candidate c{l.cls, l.course, l.teacher};
    c.standing = &standing;
    l.clashes = !Test(m, c, l.period, kClashRules).Empty();
    standing[i] = 1;
  }
}

Result<SchoolModel> LoadIndexedSchool(TimetableDb& db, SchoolWeek week) {
  Result<SchoolModel> model = LoadSchoolModel(db, week);
  if (model) IndexRules(*model);
  return model;
}

Walls CollectWalls(const SchoolModel& m) {
  Walls w;
  w.cls.assign(m.classes.size(), 0);
  w.teacher.assign(m.teachers.size(), 0);
  w.special.assign(m.courses.size(), 0);
  w.dayLoad.assign(m.capGroups.size() * kDaysPerWeek, 0);
  w.teacherDayLoad.assign(m.teachers.size() * kDaysPerWeek, 0);
  w.roomsTaken.assign(m.courses.size() * kWeekPeriods, 0);
  for (const ModelLesson& l : m.lessons) {
    if (!IsWall(l)) continue;
    const PeriodMask bit = PeriodBit(l.period);
    w.cls[static_cast<size_t>(l.cls)] |= bit;
    w.teacher[static_cast<size_t>(l.teacher)] |= bit;
    const size_t k = static_cast<size_t>(l.course);
    if (m.special[k] &&
        ++w.roomsTaken[k * kWeekPeriods + static_cast<size_t>(l.period)] >= std::max(1, m.rooms[k]))
      w.special[k] |= bit;
    if (l.capGroup >= 0) ++w.dayLoad[static_cast<size_t>(l.capGroup * kDaysPerWeek + l.day - 1)];
    ++w.teacherDayLoad[static_cast<size_t>(l.teacher * kDaysPerWeek + l.day - 1)];
  }
  return w;
}

PeriodMask Walls::Room(const SchoolModel& m, const PlanNeed& need) const {
  PeriodMask room = need.usable ? need.open : 0;
  room &= ~(cls[static_cast<size_t>(need.cls)] | teacher[static_cast<size_t>(need.teacher)]);
  if (m.special[static_cast<size_t>(need.course)]) room &= ~special[static_cast<size_t>(need.course)];
  const int cap = m.capGroups[static_cast<size_t>(need.capGroup)].cap;
  const int most = m.teacherRules[static_cast<size_t>(need.teacher)].maxPerDay;
  for (int day = 1; day <= kDaysPerWeek; ++day)
    if (!DayHasRoom(DayLoad(need.capGroup, day), cap) ||
        (most > 0 && !DayHasRoom(TeacherDayLoad(need.teacher, day), most)))
      room &= ~DayBits(day);
  return room;
}

SoftCells CountSoftCells(const SchoolModel& m, const PlanNeed& need, int period) {
  const PeriodMask bit = PeriodBit(period);
  SoftCells cells;
  for (const MarkMasks* marks :
       {&m.classes[static_cast<size_t>(need.cls)].marks, &m.courses[static_cast<size_t>(need.course)].marks,
        &m.teachers[static_cast<size_t>(need.teacher)].marks}) {
    if (marks->avoid & bit) ++cells.avoid;
    if (marks->best & bit) ++cells.best;
  }
  return cells;
}

int SoftCost(const SchoolModel& m, const PlanNeed& need, int period) {
  const SoftCells cells = CountSoftCells(m, need, period);
  return cells.avoid * kAvoidCellCost - cells.best * kBestCellGain;
}

}  // namespace orv
