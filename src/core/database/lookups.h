// Translations between codes and names, the plan teacher, and whether a class
// or teacher is free at a slot. Lookups return "" when nothing is found or the
// database fails; slot tests return false (taken) on failure.
#pragma once

#include <string>
#include <string_view>

#include "core/database/timetable_db.h"

namespace orv {

std::string GetClassName(TimetableDb& db, std::string_view classCode);
std::string GetClassShortName(TimetableDb& db, std::string_view classCode);
std::string GetCourseName(TimetableDb& db, std::string_view courseCode);
std::string GetTeacherName(TimetableDb& db, std::string_view teacherCode);
std::string GetClassCode(TimetableDb& db, std::string_view className);
std::string GetCourseCode(TimetableDb& db, std::string_view courseName);
std::string GetTeacherCode(TimetableDb& db, std::string_view teacherName);
std::string GetClassRoomCode(TimetableDb& db, std::string_view classRoomName);

std::string GetPlanTeacher(TimetableDb& db, std::string_view classCode, std::string_view courseCode);

bool CheckClassSlot(TimetableDb& db, std::string_view classCode, int day, int lessonNo);
bool CheckClassFixedSlot(TimetableDb& db, std::string_view classCode, int day, int lessonNo);
bool CheckTeacherSlot(TimetableDb& db, std::string_view teacherCode, int day, int lessonNo);
bool CheckTeacherFixedSlot(TimetableDb& db, std::string_view teacherCode, int day, int lessonNo);

// Neither the class nor the teacher has any lesson at the slot. The course is
// accepted for symmetry with the callers and not used.
bool CheckSlot(TimetableDb& db, std::string_view classCode, std::string_view courseCode,
               std::string_view teacherCode, int day, int lessonNo);
// Neither the class nor the teacher has a fixed lesson at the slot.
bool CheckFixedSlot(TimetableDb& db, std::string_view classCode, std::string_view courseCode,
                    std::string_view teacherCode, int day, int lessonNo);

}  // namespace orv
