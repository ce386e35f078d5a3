// SPDX-License-Identifier: GPL-3.0-or-later
// The timetable as the manual adjustment window shows it: the week of one
// class, the week of one teacher, and the plan rows that still lack lessons
// (or have too many). Everything is read from the tables at the moment of
// the call; nothing is cached between clicks.
#pragma once

#include <algorithm>
#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "core/database/timetable_db.h"
#include "core/database/week_marks.h"
#include "core/domain/week.h"
#include "core/outcome.h"

namespace orv {

// One period of a shown week. A class's week fills the course and teacher
// fields, a teacher's week the class and course fields; both fill all seven
// so a window may show what it likes. Names of codes missing from the code
// lists are empty.
struct LessonCell {
  bool occupied = false;
  std::string classCode, className, classShortName;
  std::string courseCode, courseName;
  std::string teacherCode, teacherName;
  LessonOrigin origin = LessonOrigin::Manual;
  bool operator==(const LessonCell&) const = default;
};

// Something for every period of a week: day 1-5 by lesson 1..the lessons per day.
// Periods outside the week read as a default value and are not written.
template <class T>
class WeekTable {
 public:
  explicit WeekTable(SchoolWeek week = SchoolWeek(kMaxLessonsPerDay)) : week_(week) {}
  int LessonsPerDay() const { return week_.lessonsPerDay; }
  SchoolWeek Week() const { return week_; }
  bool InWeek(int day, int lessonNo) const { return week_.Contains(day, lessonNo); }
  const T& At(int day, int lessonNo) const {
    static const T kOutside{};
    return InWeek(day, lessonNo) ? cells_[static_cast<size_t>(day - 1)][static_cast<size_t>(lessonNo - 1)]
                                 : kOutside;
  }
  void Set(int day, int lessonNo, T value) {
    if (InWeek(day, lessonNo))
      cells_[static_cast<size_t>(day - 1)][static_cast<size_t>(lessonNo - 1)] = std::move(value);
  }
  bool operator==(const WeekTable&) const = default;

 private:
  SchoolWeek week_;
  std::array<std::array<T, kMaxLessonsPerDay>, kDaysPerWeek> cells_{};
};

using WeekCells = WeekTable<LessonCell>;
using WeekSlots = WeekTable<bool>;  // marked periods, e.g. where a lesson may go

// The class's lessons. A period stored twice shows its first row, the one
// every change made in the window acts on; lessons outside the week are not
// shown (the checker reports them).
Result<WeekCells> LoadClassCells(TimetableDb& db, std::string_view classCode, SchoolWeek week);
// The teacher's lessons in every class; an empty code gives an empty week.
Result<WeekCells> LoadTeacherCells(TimetableDb& db, std::string_view teacherCode, SchoolWeek week);

// A plan row whose placed lessons differ from its weekly count.
struct UnplacedLesson {
  std::string classCode, className;
  std::string courseCode, courseName;
  std::string teacherCode, teacherName;  // the row's own teacher, who gets the placed lesson
  int remaining = 0;                     // Count - BuildCount; negative when too many are placed
  bool operator==(const UnplacedLesson&) const = default;
};

// Every plan row with Count <> BuildCount, by class code, then course code.
Result<std::vector<UnplacedLesson>> LoadUnplacedLessons(TimetableDb& db);

}  // namespace orv
