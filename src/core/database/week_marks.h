// SPDX-License-Identifier: GPL-3.0-or-later
// How a week of restriction marks (Limittb) is read and written for one
// class, course, teacher or classroom. The kinds and marks themselves are in
// core/domain/marks.h.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "core/database/timetable_db.h"
#include "core/domain/marks.h"
#include "core/domain/week.h"
#include "core/outcome.h"

namespace orv {

// The marks of one entity's week, Monday to Friday by lesson 1 to 7.
class WeekMarks {
 public:
  WeekMarks() { Fill(LimitMark::Normal); }
  // Day 1-5, lesson 1-7; anything else reads as Normal and is not written.
  LimitMark At(int day, int lessonNo) const;
  void Set(int day, int lessonNo, LimitMark mark);
  void Fill(LimitMark mark);
  static bool InWeek(int day, int lessonNo) { return InSchoolWeek(day, lessonNo, kMaxLessonsPerDay); }
  bool operator==(const WeekMarks&) const = default;

 private:
  std::array<std::array<LimitMark, kMaxLessonsPerDay>, kDaysPerWeek> cells_{};
};

// A stored row that no cell of the shown week can hold.
struct StrayMark {
  int day = 0;
  int lessonNo = 0;
  int attr = 0;
};

struct LoadedWeekMarks {
  WeekMarks marks;               // Normal where no row is stored
  int storedRows = 0;            // rows of the entity, stray ones included
  std::vector<StrayMark> stray;  // outside days 1-5 / lessons 1..lessonsShown, or an unknown mark
};

// Every stored row of the entity, in table order; later rows of one cell win.
Result<LoadedWeekMarks> LoadWeekMarks(TimetableDb& db, LimitKind kind, std::string_view code,
                                      int lessonsShown);

// Stores one cell: updates the entity's row for the cell, or inserts one.
Outcome SaveWeekMark(TimetableDb& db, LimitKind kind, std::string_view code, int day, int lessonNo,
                     LimitMark mark);

// Stores lessons 1..lessons of every day from `marks`, all or nothing.
Outcome SaveWeekMarks(TimetableDb& db, LimitKind kind, std::string_view code, const WeekMarks& marks,
                      int lessons);

// The week a restriction window shows: every kind follows the lessons per
// day, so a teacher away for lesson 7 of a seven-lesson school can say so. A
// class, teacher or classroom without any stored row first gets its whole
// week stored as Normal (one transaction), so every cell has its row from
// then on; a week stored when the school had six lessons keeps its rows and
// its seventh lessons read as Normal. A course never does: its unmarked cells stay without rows, since
// generation treats a missing row as Normal anyway. Nothing is written when
// the entity has rows, stray ones included.
Result<LoadedWeekMarks> OpenWeekMarks(TimetableDb& db, LimitKind kind, std::string_view code,
                                      int lessonsPerDay);

// A class, course, teacher or public classroom as its selector lists it.
struct NamedCode {
  std::string code;
  std::string name;
  bool operator==(const NamedCode&) const = default;
};

// Every entity of the kind's table, in the order they were entered.
Result<std::vector<NamedCode>> LoadEntityNames(TimetableDb& db, LimitKind kind);

}  // namespace orv
