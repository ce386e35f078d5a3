// SPDX-License-Identifier: GPL-3.0-or-later
// What the rule book makes of a school for a search that tries hundreds of
// thousands of moves: per plan row the periods no "不排" cell closes, per
// cap group its daily cap, the lessons that do not move and clash with an
// earlier one, and the "walls" those lessons build. Each is derived from the
// rules in rule_book.h, not written a second time.
#pragma once

#include <vector>

#include "core/model/school_model.h"
#include "core/rules/rule_book.h"

namespace orv {

// A lesson in the week that the scheduler neither moves nor takes out: a
// fixed or hand-placed one, or one of no usable plan row. It walls its
// period off for everyone else.
inline bool IsWall(const ModelLesson& l) { return !l.moves && !l.surplus && l.period >= 0; }

// The periods of the week that the "不排" cells of one class (kClassNever),
// course (kCourseNever) or teacher (kTeacherNever) leave open.
PeriodMask OpenPeriods(const SchoolModel& model, Rule never, int who);

// Fills PlanNeed::open, CapGroup::cap and ModelLesson::clashes.
void IndexRules(SchoolModel& model);

// The model loaded and indexed for a search.
Result<SchoolModel> LoadIndexedSchool(TimetableDb& db, SchoolWeek week);

// What the lessons that do not move take from everyone else.
struct Walls {
  // Per class, teacher and course; a special course's period is walled off
  // once walls hold every one of its rooms.
  std::vector<PeriodMask> cls, teacher, special;
  std::vector<int> dayLoad;         // per cap group and day
  std::vector<int> teacherDayLoad;  // per teacher and day
  std::vector<int> roomsTaken;      // per course and period: rooms the walls hold

  int DayLoad(int group, int day) const {
    return dayLoad[static_cast<size_t>(group * kDaysPerWeek + day - 1)];
  }
  int TeacherDayLoad(int teacher, int day) const {
    return teacherDayLoad[static_cast<size_t>(teacher * kDaysPerWeek + day - 1)];
  }
  int RoomsTaken(int course, int period) const {
    return roomsTaken[static_cast<size_t>(course * kWeekPeriods + period)];
  }
  // The periods a row's lessons may take: open, not walled, and on a day
  // the walls leave below the course's cap and the teacher's max-lessons-per-day.
  PeriodMask Room(const SchoolModel& model, const PlanNeed& need) const;
};
Walls CollectWalls(const SchoolModel& model);

// Each "尽量不排" cell outweighs the three "最佳位置" cells a period can have.
inline constexpr int kAvoidCellCost = 4;
inline constexpr int kBestCellGain = 1;

// The "尽量不排" and "最佳位置" cells of the course, class and teacher at the period.
struct SoftCells {
  int avoid = 0, best = 0;
};
SoftCells CountSoftCells(const SchoolModel& model, const PlanNeed& need, int period);

// How much a lesson of the row costs at the period: each "尽量不排" cell of
// the course, class or teacher costs more than every "最佳位置" cell gains.
int SoftCost(const SchoolModel& model, const PlanNeed& need, int period);

}  // namespace orv
