// SPDX-License-Identifier: GPL-3.0-or-later
// Whether a class or a teacher is free at one period of the stored
// timetable, for a caller that asks about a single slot: the rule book's
// class and teacher clashes over the school read at the moment of the call.
// The "fixed" forms count only fixed lessons, which nothing moves.
#pragma once

#include <string_view>

#include "core/database/timetable_db.h"
#include "core/outcome.h"

namespace orv {

Result<bool> CheckClassSlot(TimetableDb& db, std::string_view classCode, int day, int lessonNo);
Result<bool> CheckClassFixedSlot(TimetableDb& db, std::string_view classCode, int day, int lessonNo);
Result<bool> CheckTeacherSlot(TimetableDb& db, std::string_view teacherCode, int day, int lessonNo);
Result<bool> CheckTeacherFixedSlot(TimetableDb& db, std::string_view teacherCode, int day, int lessonNo);

// Neither the class nor the teacher has any lesson at the slot. The course is
// accepted for symmetry with the callers and not used.
Result<bool> CheckSlot(TimetableDb& db, std::string_view classCode, std::string_view courseCode,
                       std::string_view teacherCode, int day, int lessonNo);
// Neither the class nor the teacher has a fixed lesson at the slot.
Result<bool> CheckFixedSlot(TimetableDb& db, std::string_view classCode, std::string_view courseCode,
                            std::string_view teacherCode, int day, int lessonNo);

}  // namespace orv
