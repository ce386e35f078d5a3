// SPDX-License-Identifier: GPL-3.0-or-later
// Random schools that admit a complete timetable by construction: a hidden
// timetable that keeps every rule is drawn first, and the plan, the "不排"
// cells (only where the hidden timetable leaves them free), the special
// courses and the fixed lessons are read off it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/database/timetable_db.h"

namespace orv::test {

struct FeasibleSchoolOptions {
  int classes = 12;
  int lessonsPerDay = 6;
  int fillPercent = 90;  // of each class's week
  std::uint64_t seed = 1;
};

struct HiddenLesson {
  std::string cls, course, teacher;
  int day = 0, lessonNo = 0;
};

struct FeasibleSchool {
  std::vector<HiddenLesson> hidden;  // a complete timetable that keeps every rule
  int plannedLessons = 0;
  int neverCells = 0;  // "不排" cells of classes, courses and teachers
};

// Fills an empty database. Some hidden lessons are stored as fixed lessons.
FeasibleSchool MakeFeasibleSchool(TimetableDb& db, const FeasibleSchoolOptions& options);

}  // namespace orv::test
