// SPDX-License-Identifier: GPL-3.0-or-later
// Translations between codes and names, and the plan teacher. (Whether a
// class or teacher is free at a slot is the rule book's: rules/slot_queries.h.)
// A lookup gives "" when nothing is found and a
// failure when the database cannot answer, so the two are never confused;
// a caller that shows both alike says so with value_or.
#pragma once

#include <string>
#include <string_view>

#include "core/database/timetable_db.h"
#include "core/outcome.h"

namespace orv {

Result<std::string> GetClassName(TimetableDb& db, std::string_view classCode);
Result<std::string> GetClassShortName(TimetableDb& db, std::string_view classCode);
Result<std::string> GetCourseName(TimetableDb& db, std::string_view courseCode);
Result<std::string> GetTeacherName(TimetableDb& db, std::string_view teacherCode);
Result<std::string> GetClassCode(TimetableDb& db, std::string_view className);
Result<std::string> GetCourseCode(TimetableDb& db, std::string_view courseName);
Result<std::string> GetTeacherCode(TimetableDb& db, std::string_view teacherName);
Result<std::string> GetClassRoomCode(TimetableDb& db, std::string_view classRoomName);

Result<std::string> GetPlanTeacher(TimetableDb& db, std::string_view classCode, std::string_view courseCode);

}  // namespace orv
