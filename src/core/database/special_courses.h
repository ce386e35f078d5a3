// SPDX-License-Identifier: GPL-3.0-or-later
// Special courses (CourseAttrtb): courses that need a room only one class can
// use at a time, such as the computer room. Generation never places two
// classes in the same special course at the same lesson.
#pragma once

#include <string_view>

#include "core/database/timetable_db.h"
#include "core/outcome.h"

namespace orv {

Result<bool> IsSpecialCourse(TimetableDb& db, std::string_view courseCode);

// Adds or removes the course's row (removing also its room count), one
// transaction. A course that is not in
// the course list is refused, so no row can point at nothing.
Outcome SetSpecialCourse(TimetableDb& db, std::string_view courseCode, bool special);

}  // namespace orv
