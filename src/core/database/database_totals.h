// SPDX-License-Identifier: GPL-3.0-or-later
// How much a timetable database holds, for reports before and after the
// whole-database operations.
#pragma once

#include "core/database/timetable_db.h"
#include "core/outcome.h"

namespace orv {

struct DatabaseTotals {
  long long classes = 0, courses = 0, teachers = 0, classRooms = 0;
  long long planRows = 0;
  long long plannedLessons = 0;    // sum of Count
  long long placedLessons = 0;     // sum of BuildCount
  long long lessons = 0;           // rows of LessonListtb
  long long restrictions = 0;      // rows of Limittb
  long long wrongBuildCounts = 0;  // plan rows whose BuildCount differs from their lessons
};

Result<DatabaseTotals> ReadDatabaseTotals(TimetableDb& db);

}  // namespace orv
