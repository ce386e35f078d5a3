// SPDX-License-Identifier: GPL-3.0-or-later
// The teaching plan of a class: which course, which teacher, how many lessons
// a week. A course has one teacher per class; appending a course and teacher
// the class already has adds to that row's count; a stored row may change its
// teacher and count but never its course; a row's weekly count is a whole
// number from 1 to 35, what a class's week can hold.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/database/timetable_db.h"
#include "core/outcome.h"

namespace orv {

struct PlanListRow {
  std::string courseCode;
  std::string teacherCode;
  std::string courseName;
  std::string teacherName;
  int count = 0;
};

// The class's plan rows in table order, with names looked up. A failing read
// ends the list silently with the rows read so far.
std::vector<PlanListRow> LoadClassPlan(TimetableDb& db, std::string_view classCode);

struct TeacherLoadRow {
  std::string className;
  std::string courseName;
  int count = 0;
};
struct TeacherLoad {
  std::vector<TeacherLoadRow> rows;
  int total = 0;
};

// The teacher's plan rows in every class and their weekly total.
TeacherLoad LoadTeacherLoad(TimetableDb& db, std::string_view teacherCode);

// The weekly count as the user types it: a number with an optional sign and
// decimal point ("2." is 2), rounded down to a whole number; `whole` says
// whether it had no fraction. Numbers beyond the int range are held at its
// ends (they are refused anyway).
struct LessonCountText {
  enum class Kind { Empty, NotNumber, Number } kind = Kind::Empty;
  int value = 0;
  bool whole = true;
};
LessonCountText ParseLessonCount(std::string_view text);

enum class PlanInput { Class, Course, Teacher, CountMissing, CountNotNumber, CountOutOfRange };

// What the plan editor still misses, in reporting order (class, course,
// teacher, count; a count that is no whole number from 1 to 35 is
// CountOutOfRange). Names are the texts shown in the selectors.
std::vector<PlanInput> MissingPlanInputs(std::string_view className, std::string_view courseName,
                                         std::string_view teacherName, std::string_view countText);

// Codes of a refused plan change; the message is the reason the editor shows
// after its "添加记录失败" or "修改记录失败". A database failure has
// Outcome::kFailed. Nothing is written when a change fails.
inline constexpr int kPlanOtherTeacher = -2;     // the class has this course with another teacher
inline constexpr int kPlanCourseChanged = -3;    // a modify may change teacher and count only
inline constexpr int kPlanCountOutOfRange = -4;  // the count, or the row's new total, is not 1..35
inline constexpr int kPlanRowNotFound = -5;      // the row to change is not stored

// Adds `count` (1..35) lessons a week of the course with the teacher to the
// class: a new row, or the count added to the existing row of the same
// teacher, as long as that row's total stays within 35.
Outcome AppendPlanLessons(TimetableDb& db, std::string_view classCode, std::string_view courseCode,
                          std::string_view teacherCode, int count);

struct PlanRowKey {
  std::string courseCode;
  std::string teacherCode;
  int count = 0;
};

// Rewrites the stored row `selected` of the class with a new teacher and count (1..35).
Outcome ModifyPlanRow(TimetableDb& db, std::string_view classCode, const PlanRowKey& selected,
                      std::string_view courseCode, std::string_view teacherCode, int count);

// Deletes the row and its lessons in the timetable, whatever their origin.
Outcome DeletePlanRow(TimetableDb& db, std::string_view classCode, std::string_view courseCode,
                      std::string_view teacherCode);

}  // namespace orv
