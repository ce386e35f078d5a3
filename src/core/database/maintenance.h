// Whole-database operations started from the main window: data maintenance,
// clearing the timetable and the school-year upgrade. Each runs in one
// transaction, so a failure part-way leaves the database as it was.
#pragma once

#include <string>
#include <string_view>

#include "core/database/timetable_db.h"
#include "core/outcome.h"

namespace orv {

// Removes lessons, plan rows, restrictions and special-course marks whose class, course, teacher or
// classroom no longer exists, and recounts every plan row's BuildCount from
// the lessons. On failure nothing is changed.
Outcome MaintainData(TimetableDb& db);

// Deletes every lesson, fixed ones included, and zeroes the plan counters.
// Fails with code -1 on a database error; nothing is changed then.
Outcome DeleteAllLessons(TimetableDb& db);

// Moves every class up one grade: grades 6 and 9 leave with their plans and
// lessons, the others take the next grade digit and grade word, and each
// first-grade class is created anew, empty, under its old code and names.
// Pre-school classes (code beginning with '0') stay. Fails with code -1 on a
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
