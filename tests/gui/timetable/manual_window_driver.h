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
#include "support/test_program.h"
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

  template <class T>
  T* Child(const char* name) const {
    T* child = window->findChild<T*>(name);
    EXPECT_NE(child, nullptr) << name;
    return child;
  }
  ui::WeekGrid* Grid() const { return Child<ui::WeekGrid>("MSFlexGrid1"); }
  ui::WeekGrid* TeacherGrid() const { return Child<ui::WeekGrid>("grdTeacher"); }
  QTreeWidget* List() const { return Child<QTreeWidget>("lstCourse"); }
  QComboBox* Classes() const { return Child<QComboBox>("CmbClass"); }
  QComboBox* Teachers() const { return Child<QComboBox>("CmbTeacher"); }
  QLabel* Panel(int n) const {
    return Child<QLabel>(QStringLiteral("staMsgPanel%1").arg(n).toUtf8().constData());
  }
  QPushButton* Button(const char* name) const { return Child<QPushButton>(name); }

  void Press(const char* button) { QTest::mouseClick(Button(button), Qt::LeftButton); }
  void Pick(int row) {
    QTreeWidgetItem* item = List()->topLevelItem(row);
    ASSERT_NE(item, nullptr) << "no row " << row;
    QTest::mouseClick(List()->viewport(), Qt::LeftButton, {}, List()->visualItemRect(item).center());
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
  // A cell of the class grid by colour: its course's first character on
  // white, upper-case R / Y for a red / yellow lesson; '.' white, 'y'
  // yellow and 'c' cyan for an empty cell; '?' for anything else.
  QString Week() const {
    const ui::WeekGrid* g = Grid();
    return WeekText(g->lessons(), [g](ui::GridLesson at) -> QString {
      const QColor colour = g->Color(at);
      const QString text = g->Text(at);
      if (!text.isEmpty())
        return colour == ui::kGridWhite    ? text.left(1)
               : colour == ui::kGridRed    ? "R"
               : colour == ui::kGridYellow ? "Y"
                                           : "?";
      return colour == ui::kGridWhite    ? "."
             : colour == ui::kGridYellow ? "y"
             : colour == ui::kGridCyan   ? "c"
                                         : "?";
    });
  }
  // The teacher grid, each lesson as "day/lesson:course/class", space separated.
  QString TeacherWeek() const {
    QStringList cells;
    const ui::WeekGrid* g = TeacherGrid();
    for (int day = 1; day <= 5; ++day)
      for (int lessonNo = 1; lessonNo <= g->lessons(); ++lessonNo)
        if (!g->Text({day, lessonNo}).isEmpty())
          cells << QStringLiteral("%1/%2:%3")
                       .arg(day)
                       .arg(lessonNo)
                       .arg(g->Text({day, lessonNo}).replace('\n', '/'));
    return cells.join(' ');
  }

  std::unique_ptr<ui::FrmManualSetLesson> window;
};

}  // namespace orv::test
