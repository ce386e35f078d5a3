// SPDX-License-Identifier: GPL-3.0-or-later
// Whole-database operations started from the main window: data maintenance,
// clearing the timetable and the school-year upgrade. Each runs in one
// transaction, so a failure part-way leaves the database as it was.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/database/timetable_db.h"
#include "core/outcome.h"

namespace orv {

// What a maintenance removed and repaired, row by row.
struct MaintenanceReport {
  long long lessonsOutsideWeek = 0;     // day not 1..5, lesson not 1..7, or either missing
  long long orphanLessons = 0;          // class, course or teacher missing or gone
  long long orphanPlanRows = 0;         // likewise for plan rows
  long long planRowsWithoutCount = 0;   // no usable weekly count and no lesson placed: removed
  long long planCountsFromLessons = 0;  // no usable count but lessons placed: set to those lessons
  long long planCountsCapped = 0;       // above 35 (a week) or with a fraction: cut to a whole 1..35
  long long restrictions = 0;           // removed restriction marks
  long long duplicateRestrictions = 0;  // second rows on one cell (the stricter mark is kept)
  long long specialCourses = 0;         // removed special-course marks
  long long recountedPlanRows = 0;      // plan rows whose BuildCount was wrong
  long long schoolRules = 0;  // rules of a gone teacher, class or course, or rooms of an ordinary course

  long long Repairs() const;  // every row counted above
};

// Removes lessons that lie outside any possible week (a week has at most
// seven lessons a day: lessons beyond today's setting stay), and lessons,
// plan rows, restrictions, special-course marks and school rules whose
// class, course, teacher or classroom no longer exists (and the room count of
// a course that is no longer special); makes every plan row's weekly count
// a whole number from 1 to 35; recounts every plan row's BuildCount from the
// lessons. On failure nothing is changed.
Result<MaintenanceReport> MaintainData(TimetableDb& db);

// The report as lines for a user: one per kind of repair done, or a line
// saying that nothing needed repair.
std::vector<std::string> MaintenanceLines(const MaintenanceReport& report);

// Deletes every lesson, fixed ones included, and zeroes the plan counters.
// The school's rules stay: they say how the next timetable is to be made.
// Fails with code -1 on a database error; nothing is changed then.
Outcome DeleteAllLessons(TimetableDb& db);

// Moves every class up one grade: grades 6 and 9 leave with their plans and
// lessons, the others take the next grade digit and grade word, and each
// first-grade class is created anew, empty, under its old code and names.
// Pre-school classes (code beginning with '0') stay. A class's rules for a
// course (its doubles) go where its plan rows go; its own rules (no gaps)
// stay with the code, as its week of marks does. Fails with code -1 on a
// database error or a class code whose first character is not a grade digit;
// nothing is changed then.
Outcome UpgradeSchoolYear(TimetableDb& db);

// What an upgrade would do, counted before it runs.
struct UpgradeCounts {
  long long graduating = 0;     // classes of grades 6 and 9
  long long promoted = 0;       // classes that move up a grade
  long long newFirstGrade = 0;  // first-grade classes created anew
};
Result<UpgradeCounts> CountUpgrade(TimetableDb& db);

// The name with its leading grade numeral raised by one (一 to 二 ... 八 to 九);
// any other name is returned unchanged.
std::string PromoteClassName(std::string_view name);

}  // namespace orv
