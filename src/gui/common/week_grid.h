// SPDX-License-Identifier: GPL-3.0-or-later
// The week grid every window of the program shows a week in: the restriction
// grids, the pre-arranged lessons and manual adjustment.
//
// Row 0 holds "※" and the day names, column 0 the lesson numerals; rows 1-4
// are lessons 1-4, row 5 a thin separator between morning and afternoon, rows
// 6 and up lessons 5 and up; columns 1-5 are Monday to Friday. Callers speak
// in (day, lesson) and never see grid rows, except to click in tests.
//
// Only lesson cells carry text and colour, become current or report a mouse
// release; the header cells and the separator never do.
#pragma once

#include <QColor>
#include <QString>
#include <QTableWidget>
#include <optional>

#include "gui/common/week_grid_rows.h"

namespace orv::ui {

// Sizes in twips (1/1440 inch; pixels are twips / 15) and the alignment of
// every cell.
struct WeekGridDesign {
  int headerColumnTwips = 500;
  int dayColumnTwips = 1500;
  int rowTwips = 800;              // header and lesson rows of a six-lesson day
  int rowTwipsSevenLessons = 700;  // the same with seven lessons, so the grid keeps its height
  int separatorTwips = 100;
  Qt::Alignment alignment = Qt::AlignCenter;
};

// The restriction windows and the pre-arranged lessons: wide day columns.
const WeekGridDesign& RestrictionGridDesign();
// Manual adjustment, where two grids stand side by side: narrower days.
const WeekGridDesign& AdjustmentGridDesign();

// The cell colours and what the windows use them for.
inline const QColor kGridWhite{255, 255, 255};   // an ordinary cell on a light palette (PlainColor)
inline const QColor kGridCyan{128, 255, 255};    // "最佳位置"; where a lesson may be placed
inline const QColor kGridSilver{192, 192, 192};  // "尽量不排"
inline const QColor kGridGrey{128, 128, 128};    // "不排"
inline const QColor kGridRed{192, 0, 0};         // the selected lesson
inline const QColor kGridYellow{255, 255, 128};  // a lesson the selected one may swap with

struct GridLesson {
  int day = 0;
  int lessonNo = 0;
  bool operator==(const GridLesson&) const = default;
};

class WeekGrid : public QTableWidget {
  Q_OBJECT
 public:
  explicit WeekGrid(const WeekGridDesign& design, QWidget* parent = nullptr);

  // Rows for `lessons` lessons a day (1-7), sizes, alignment and header texts.
  // Lesson cells that remain keep their text and colour.
  void Setup(int lessons);
  int lessons() const { return lessons_; }
  // Every lesson cell empty, plain coloured, without tooltip; no current cell.
  void ClearLessons();

  // Text of a lesson cell; "\r\n" or "\n" breaks it into lines. Cells outside
  // the grid are ignored (and read as empty).
  void SetText(GridLesson at, const QString& text);
  QString Text(GridLesson at) const;
  void SetColor(GridLesson at, const QColor& color);
  QColor Color(GridLesson at) const;
  void SetToolTip(GridLesson at, const QString& text);
  // Every lesson cell in one colour.
  void PaintAll(const QColor& color);
  // The colour of an unmarked cell: the system's window background.
  QColor PlainColor() const;

  // True for a lesson of the days and lessons the grid shows.
  bool Contains(GridLesson at) const;

  void SetCurrent(GridLesson at);
  std::optional<GridLesson> Current() const;

  // The lesson of a grid row and column; nullopt for the header cells, the
  // separator and anything outside.
  std::optional<GridLesson> LessonAt(int row, int column) const;
  // Where a cell of the grid lies in the viewport, by grid row and column.
  QRect CellRect(int row, int column) const;

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

 signals:
  // A mouse button was released over a lesson cell, which is now current;
  // globalPos is where a popup menu belongs. The menu key and Shift+F10 report
  // a right release on the current cell, Space and Enter a left one.
  void lessonReleased(Qt::MouseButton button, GridLesson at, const QPoint& globalPos);

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  QTableWidgetItem* Item(GridLesson at) const;
  QTableWidgetItem* CellItem(int row, int column);
  void ReportAt(Qt::MouseButton button, GridLesson at, const QPoint& globalPos);

  WeekGridDesign design_;
  int lessons_ = 0;
  QSize designSize_;
};

}  // namespace orv::ui
