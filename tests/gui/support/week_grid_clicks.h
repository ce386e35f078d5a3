// SPDX-License-Identifier: GPL-3.0-or-later
// A week grid as a user sees and clicks it: cells by grid row and column or
// by lesson, and the whole week as one line of text to compare at a glance.
#pragma once

#include <QTest>
#include <functional>

#include "gui/common/week_grid.h"

namespace orv::test {

inline void ClickCell(ui::WeekGrid* grid, Qt::MouseButton button, int row, int column) {
  QTest::mouseClick(grid->viewport(), button, {}, grid->CellRect(row, column).center());
}

inline void ClickLesson(ui::WeekGrid* grid, Qt::MouseButton button, int day, int lessonNo) {
  ClickCell(grid, button, ui::LessonToGridRow(lessonNo), day);
}

// One character a lesson, lesson 1 Monday to Friday, then lesson 2 ...
inline QString WeekText(int lessons, const std::function<QString(ui::GridLesson)>& cell) {
  QString week;
  for (int lesson = 1; lesson <= lessons; ++lesson)
    for (int day = 1; day <= 5; ++day) week += cell({day, lesson});
  return week;
}

// `week` with the given lessons' characters replaced.
inline QString With(QString week, std::initializer_list<std::tuple<int, int, const char*>> cells) {
  for (auto [day, lesson, text] : cells) week.replace((lesson - 1) * 5 + day - 1, 1, QString::fromUtf8(text));
  return week;
}

}  // namespace orv::test
