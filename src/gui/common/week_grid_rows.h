// SPDX-License-Identifier: GPL-3.0-or-later
// Where a lesson sits in every week grid: row 0 holds the day names, rows 1-4
// lessons 1-4, row 5 is the thin separator between morning and afternoon, rows
// 6 and up lessons 5 and up.
#pragma once

namespace orv::ui {

inline constexpr int kGridHeaderRow = 0;
inline constexpr int kGridSeparatorRow = 5;
constexpr int LessonToGridRow(int lessonNo) { return lessonNo < kGridSeparatorRow ? lessonNo : lessonNo + 1; }
// The lesson of a grid row; 0 for the header and the separator.
constexpr int GridRowToLesson(int row) {
  if (row <= kGridHeaderRow || row == kGridSeparatorRow) return 0;
  return row < kGridSeparatorRow ? row : row - 1;
}
// Header row, lessons and separator.
constexpr int GridRowCount(int lessonsPerDay) { return lessonsPerDay + 2; }

}  // namespace orv::ui
