// SPDX-License-Identifier: GPL-3.0-or-later
// frmManualSetLesson as a user sees and drives it: the two grids, the list
// of missing lessons, the buttons and the status panels.
#pragma once

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>
#include <memory>
#include <ostream>

#include "gui/timetable/manual_set_lesson_window.h"
#include "support/controls.h"
#include "support/week_grid_clicks.h"

// Readable texts in failure messages.
inline void PrintTo(const QString& text, std::ostream* os) { *os << '"' << text.toStdString() << '"'; }

namespace orv::test {

class ManualWindowDriver {
 public:
  void Open(ui::UiContext& ctx) {
    window = std::make_unique<ui::FrmManualSetLesson>(ctx);
    window->show();
  }

  ui::WeekGrid* Grid() const { return Child<ui::WeekGrid>(*window, "MSFlexGrid1"); }
  ui::WeekGrid* TeacherGrid() const { return Child<ui::WeekGrid>(*window, "grdTeacher"); }
  QTreeWidget* List() const { return Child<QTreeWidget>(*window, "lstCourse"); }
  QComboBox* Classes() const { return Child<QComboBox>(*window, "CmbClass"); }
  QComboBox* Teachers() const { return Child<QComboBox>(*window, "CmbTeacher"); }
  QLabel* Panel(int n) const { return Child<QLabel>(*window, QStringLiteral("staMsgPanel%1").arg(n)); }
  QPushButton* Button(const char* name) const { return Child<QPushButton>(*window, name); }

  void Press(const char* button) { Click(Button(button)); }
  void Pick(int row) {
    QTest::mouseClick(List()->viewport(), Qt::LeftButton, {},
                      List()->visualItemRect(List()->topLevelItem(row)).center());
  }
  void Left(int day, int lessonNo) { ClickLesson(Grid(), Qt::LeftButton, day, lessonNo); }
  void Right(int day, int lessonNo) { ClickLesson(Grid(), Qt::RightButton, day, lessonNo); }
  // Ctrl and the key, as the focused widget of the active window gets it.
  void Key(int key) {
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    QWidget* focus = QApplication::focusWidget();
    QTest::keyClick(focus ? focus : window.get(), static_cast<Qt::Key>(key), Qt::ControlModifier);
  }

  // The list, one "class|course|count" a row, the selected row in brackets.
  QStringList Rows() const {
    QStringList rows;
    for (int i = 0; i < List()->topLevelItemCount(); ++i) {
      const QTreeWidgetItem* item = List()->topLevelItem(i);
      const QString row = item->text(0) + "|" + item->text(1) + "|" + item->text(2);
      rows << (item->isSelected() ? "[" + row + "]" : row);
    }
    return rows;
  }
  // The class grid: a lesson's first character on white, R / Y for a red /
  // yellow lesson; an empty cell '.' white, 'y' yellow, 'c' cyan; else '?'.
  QString Week() const {
    const ui::WeekGrid* g = Grid();
    return WeekText(g->lessons(), [g](ui::GridLesson at) -> QString {
      const QColor c = g->Color(at);
      if (!g->Text(at).isEmpty())
        return c == ui::kGridWhite    ? g->Text(at).left(1)
               : c == ui::kGridRed    ? "R"
               : c == ui::kGridYellow ? "Y"
                                      : "?";
      return c == ui::kGridWhite ? "." : c == ui::kGridYellow ? "y" : c == ui::kGridCyan ? "c" : "?";
    });
  }
  // The teacher grid's lessons as "day/lesson:course/class".
  QString TeacherWeek() const {
    QStringList cells;
    for (int day = 1; day <= 5; ++day)
      for (int lessonNo = 1; lessonNo <= TeacherGrid()->lessons(); ++lessonNo)
        if (const QString text = TeacherGrid()->Text({day, lessonNo}); !text.isEmpty())
          cells << QStringLiteral("%1/%2:").arg(day).arg(lessonNo) + QString(text).replace('\n', '/');
    return cells.join(' ');
  }

  std::unique_ptr<ui::FrmManualSetLesson> window;
};

}  // namespace orv::test
