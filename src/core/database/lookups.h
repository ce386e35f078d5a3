// Translations between codes and names, the plan teacher, and whether a class
// or teacher is free at a slot. A lookup gives "" when nothing is found and a
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
