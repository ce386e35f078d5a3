// Mouse moves on a week grid, by grid row and column as a user sees them.
#pragma once

#include <QTest>

#include "core/database/week_marks.h"
#include "gui/timetable/week_grid.h"

namespace orv::test {

// A press and release of the button over the cell.
inline void ClickCell(ui::WeekGrid* grid, Qt::MouseButton button, int row, int column) {
  QTest::mouseClick(grid->viewport(), button, {}, grid->CellRect(row, column).center());
}

// The same over a lesson, by day and lesson number.
inline void ClickLesson(ui::WeekGrid* grid, Qt::MouseButton button, int day, int lessonNo) {
  ClickCell(grid, button, LessonToGridRow(lessonNo), day);
}

}  // namespace orv::test
