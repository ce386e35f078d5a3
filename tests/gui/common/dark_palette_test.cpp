// SPDX-License-Identifier: GPL-3.0-or-later
// A dark desktop theme: inputs whose mark is cleared, the week grids' plain
// cells and the quality chart take the palette's background instead of a
// white that would leave the theme's light writing unreadable.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>

#include "gui/common/editor_parts.h"
#include "gui/common/week_grid.h"
#include "gui/timetable/manual_set_lesson_window.h"
#include "gui/timetable/quality_window.h"
#include "gui/timetable/set_lesson_window.h"
#include "support/test_program.h"

namespace orv::ui {
namespace {

const QColor kDarkBase(30, 31, 36);

// The application's palette, dark for as long as the object lives.
class DarkTheme {
 public:
  DarkTheme() : saved_(QApplication::palette()) {
    QPalette dark = saved_;
    dark.setColor(QPalette::Base, kDarkBase);
    dark.setColor(QPalette::Window, QColor(45, 46, 50));
    dark.setColor(QPalette::Text, QColor(230, 230, 230));
    QApplication::setPalette(dark);
  }
  ~DarkTheme() { QApplication::setPalette(saved_); }

 private:
  QPalette saved_;
};

TEST(DarkPalette, ClearedInputsGridCellsAndTheChartTakeThePalettesBase) {
  DarkTheme theme;
  QWidget window;
  auto* edit = new QLineEdit(&window);
  MarkInput(edit, true);
  EXPECT_EQ(edit->palette().color(QPalette::Base), kInvalidColor);
  MarkInput(edit, false);
  EXPECT_EQ(edit->palette().color(QPalette::Base), kDarkBase);

  test::TestProgram program;
  program.AddSmallSchool();
  FrmManualSetLesson manual(program.ctx());
  auto* classGrid = manual.findChild<WeekGrid*>("MSFlexGrid1");
  auto* teacherGrid = manual.findChild<WeekGrid*>("grdTeacher");
  ASSERT_TRUE(classGrid && teacherGrid);
  EXPECT_EQ(classGrid->Color({3, 2}), kDarkBase);
  EXPECT_EQ(teacherGrid->Color({3, 2}), kDarkBase);
  test::TestProgram empty;  // no course chosen, so no cell is marked
  FrmSetLesson fixed(empty.ctx());
  auto* fixedGrid = fixed.findChild<WeekGrid*>("MSFlexGrid1");
  ASSERT_NE(fixedGrid, nullptr);
  EXPECT_EQ(fixedGrid->Color({1, 1}), kDarkBase);

  TeacherLoadChart chart;
  EXPECT_EQ(chart.palette().color(chart.backgroundRole()), kDarkBase);
}

}  // namespace
}  // namespace orv::ui
