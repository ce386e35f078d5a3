// Whole-database operations started from the main window: data maintenance,
// clearing the timetable and the school-year upgrade. Each runs in one
// transaction, so a failure part-way leaves the database as it was.
#pragma once

#include <string>
#include <string_view>

#include "core/database/timetable_db.h"

namespace orv {

// Removes lessons, plan rows, restrictions and special-course marks whose class, course, teacher or
// classroom no longer exists, and recounts every plan row's BuildCount from
// the lessons. Returns false when the database failed (nothing is changed).
bool MaintainData(TimetableDb& db);

// Deletes every lesson, fixed ones included, and zeroes the plan counters.
// 0 on success, -1 on a database error.
int DeleteAllLessons(TimetableDb& db);

// Moves every class up one grade: grades 6 and 9 leave with their plans and
// lessons, the others take the next grade digit and grade word, and each
// first-grade class is created anew, empty, under its old code and names.
// Pre-school classes (code beginning with '0') stay. 0 on success, -1 on a
// database error or a class code whose first character is not a grade digit.
int UpgradeSchoolYear(TimetableDb& db, std::string* why = nullptr);

// The name with its leading grade numeral raised by one (一 to 二 ... 八 to 九);
// any other name is returned unchanged.
std::string PromoteClassName(std::string_view name);

}  // namespace orv
