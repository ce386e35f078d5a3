// SPDX-License-Identifier: GPL-3.0-or-later
// The rules a school states (max-lessons-per-day, max-in-a-row,
// max-gaps-per-week, no-class-gaps, doubles-per-week, rooms) measured on the
// whole timetable in the model: each breach names whom it is about and by how
// much. The checker reports them, the quality report counts them, and the
// optimiser and the completion repair until there are none.
#pragma once

#include <vector>

#include "core/model/school_model.h"
#include "core/rules/rule_book.h"

namespace orv {

struct StatedBreach {
  Rule rule = Rule::kTeacherDayMax;
  int who = -1;     // the teacher, class, cap group or course (kSpecialCourseClash) it is about
  int day = 0;      // 0 when it is about the week
  int period = -1;  // the period of a rooms breach, -1 otherwise
  int amount = 0;   // how far past the limit (lessons, idle periods, gaps, doubles missing, classes)
  int limit = 0;    // the stated value
};

// Every breach, teachers first, then classes, cap groups and special courses.
std::vector<StatedBreach> StatedBreaches(const SchoolModel& model);

// How far one teacher, class, cap group, or special course in one period is
// past its stated rules, summed: 0 when it keeps them. A search that moves a
// lesson re-measures only those it touched.
int TeacherBreach(const SchoolModel& model, int teacher);
int ClassBreach(const SchoolModel& model, int cls);
int GroupBreach(const SchoolModel& model, int group);
int RoomBreach(const SchoolModel& model, int course, int period);

}  // namespace orv
