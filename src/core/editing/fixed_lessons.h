// SPDX-License-Identifier: GPL-3.0-or-later
// Lessons fixed in advance (SetFlag Fixed): what a class has fixed, which of
// its plan courses still have lessons to fix, where the next one may go, and
// fixing or removing one lesson. Every write is one transaction and keeps the
// plan row's BuildCount equal to its lessons.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/database/timetable_db.h"
#include "core/domain/week.h"
#include "core/outcome.h"

namespace orv {

struct LessonSlot {
  int day = 0;
  int lessonNo = 0;
  bool operator==(const LessonSlot&) const = default;
};

struct FixedLesson {
  LessonSlot slot;
  std::string courseCode;
  std::string courseName;  // "" when the course is no longer in the list
  std::string teacherCode;
  std::string teacherName;
};

// The class's fixed lessons, in table order.
Result<std::vector<FixedLesson>> LoadFixedLessons(TimetableDb& db, std::string_view classCode);

struct FixableCourse {
  std::string courseCode;
  std::string courseName;
  int remaining = 0;  // weekly lessons not fixed yet
  bool operator==(const FixableCourse&) const = default;
};

// The plan courses of the class that still have lessons to fix: first those
// already partly fixed, then those with no fixed lesson yet, each group by
// course code. A course whose fixed lessons reach its weekly count is left out.
Result<std::vector<FixableCourse>> LoadFixableCourses(TimetableDb& db, std::string_view classCode);

// The slots of lessons 1..lessonsPerDay where neither the class nor the
// teacher has a fixed lesson, Monday first and lesson by lesson. Automatic
// and manual lessons do not count: generation replaces them anyway.
Result<std::vector<LessonSlot>> FixedLessonTargets(TimetableDb& db, std::string_view classCode,
                                                   std::string_view teacherCode, SchoolWeek week);

// Fixes one lesson of the course, taught by the class's plan teacher for it.
// An automatic or manual lesson of the class at the slot is replaced: its plan
// row loses one of BuildCount, the course's row gains one. Refused, with
// nothing written, when the slot is outside the day, the course is not in the
// class's plan or has all its lessons fixed, or the class or the teacher
// already has a fixed lesson there.
Outcome PlaceFixedLesson(TimetableDb& db, std::string_view classCode, std::string_view courseCode,
                         LessonSlot slot, SchoolWeek week);

// Removes the class's fixed lesson at the slot and lowers BuildCount of the
// plan row with that lesson's own course and teacher. Refused when there is
// no fixed lesson there.
Outcome DeleteFixedLesson(TimetableDb& db, std::string_view classCode, LessonSlot slot);

}  // namespace orv
