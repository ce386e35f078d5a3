// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/common/week_grid.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <algorithm>

#include "core/database/week_marks.h"
#include "core/domain/week.h"
#include "gui/common/gui_support.h"

namespace orv::ui {

namespace {

constexpr int kColumns = kDaysPerWeek + 1;
// A grid shows six lessons until told otherwise; more rows are drawn lower.
constexpr int kUsualLessons = 6;

int Pixels(int twips) { return twips / 15; }

}  // namespace

const WeekGridDesign& RestrictionGridDesign() {
  static const WeekGridDesign d{};
  return d;
}

const WeekGridDesign& AdjustmentGridDesign() {
  static const WeekGridDesign d{.dayColumnTwips = 1000};
  return d;
}

WeekGrid::WeekGrid(const WeekGridDesign& design, QWidget* parent) : QTableWidget(parent), design_(design) {
  setObjectName("MSFlexGrid1");
  setColumnCount(kColumns);
  horizontalHeader()->hide();
  verticalHeader()->hide();
  for (QHeaderView* h : {horizontalHeader(), verticalHeader()}) {
    h->setMinimumSectionSize(1);  // the separator row is only a few pixels high
    h->setSectionResizeMode(QHeaderView::Fixed);
  }
  setSelectionMode(QAbstractItemView::NoSelection);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setTabKeyNavigation(false);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setWordWrap(true);
  setFocusPolicy(Qt::StrongFocus);
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
  Setup(kUsualLessons);
}

void WeekGrid::Setup(int lessons) {
  lessons_ = std::clamp(lessons, 1, kMaxLessonsPerDay);
  const int rows = GridRowCount(lessons_);
  setRowCount(rows);
  const int rowTwips = lessons_ > kUsualLessons ? design_.rowTwipsSevenLessons : design_.rowTwips;
  // Sizes from the design, never from the sections: stretched sections
  // already have whatever size the window last gave them.
  int height = 0;
  for (int r = 0; r < rows; ++r) {
    const int h = Pixels(r == kGridSeparatorRow ? design_.separatorTwips : rowTwips);
    setRowHeight(r, h);
    height += h;
  }
  int width = 0;
  for (int c = 0; c < kColumns; ++c) {
    const int w = Pixels(c == 0 ? design_.headerColumnTwips : design_.dayColumnTwips);
    setColumnWidth(c, w);
    width += w;
  }
  const QColor header = palette().color(QPalette::Button);
  for (int r = 0; r < rows; ++r) {
    for (int c = 0; c < kColumns; ++c) {
      QTableWidgetItem* item = CellItem(r, c);
      item->setTextAlignment(design_.alignment);
      if (LessonAt(r, c)) continue;
      item->setFlags(Qt::ItemIsEnabled);
      item->setBackground(r == kGridSeparatorRow ? palette().color(QPalette::Mid) : header);
      if (r == kGridHeaderRow)
        item->setText(c == 0 ? QStringLiteral("※") : Q(kDayNames[static_cast<size_t>(c - 1)]));
      else if (c == 0 && r != kGridSeparatorRow)
        item->setText(Q(kLessonNumerals[static_cast<size_t>(GridRowToLesson(r) - 1)]));
    }
  }
  // The design sizes are what the grid asks for; it grows with its window,
  // lesson rows and day columns sharing the room, and gives way down to
  // three quarters of them on a small screen. The lesson numerals and the
  // separator keep their size.
  for (int r = 0; r < rows; ++r)
    verticalHeader()->setSectionResizeMode(
        r, r == kGridSeparatorRow ? QHeaderView::Fixed : QHeaderView::Stretch);
  for (int c = 0; c < kColumns; ++c)
    horizontalHeader()->setSectionResizeMode(c, c == 0 ? QHeaderView::Fixed : QHeaderView::Stretch);
  const int frame = 2 * frameWidth();
  designSize_ = QSize(width + frame, height + frame);
  const int fixedWidth = Pixels(design_.headerColumnTwips) + frame;
  const int fixedHeight = Pixels(design_.separatorTwips) + frame;
  setMinimumSize(fixedWidth + (width + frame - fixedWidth) * 3 / 4,
                 fixedHeight + (height + frame - fixedHeight) * 3 / 4);
  updateGeometry();
}

QSize WeekGrid::sizeHint() const { return designSize_; }
QSize WeekGrid::minimumSizeHint() const { return minimumSize(); }

QTableWidgetItem* WeekGrid::CellItem(int row, int column) {
  QTableWidgetItem* cell = item(row, column);
  if (cell == nullptr) {
    cell = new QTableWidgetItem;
    cell->setFlags(Qt::ItemIsEnabled);
    cell->setBackground(PlainColor());
    setItem(row, column, cell);
  }
  return cell;
}

void WeekGrid::ClearLessons() {
  setCurrentCell(-1, -1);
  for (int r = 0; r < rowCount(); ++r) {
    for (int c = 0; c < kColumns; ++c) {
      if (!LessonAt(r, c)) continue;
      QTableWidgetItem* cell = CellItem(r, c);
      cell->setText(QString());
      cell->setToolTip(QString());
      cell->setBackground(PlainColor());
    }
  }
}

std::optional<GridLesson> WeekGrid::LessonAt(int row, int column) const {
  const int lessonNo = GridRowToLesson(row);
  if (lessonNo < 1 || lessonNo > lessons_ || column < 1 || column > kDaysPerWeek) return std::nullopt;
  return GridLesson{column, lessonNo};
}

bool WeekGrid::Contains(GridLesson at) const {
  return at.day >= 1 && at.day <= kDaysPerWeek && at.lessonNo >= 1 && at.lessonNo <= lessons_;
}

QTableWidgetItem* WeekGrid::Item(GridLesson at) const {
  return Contains(at) ? item(LessonToGridRow(at.lessonNo), at.day) : nullptr;
}

void WeekGrid::SetText(GridLesson at, const QString& text) {
  if (QTableWidgetItem* cell = Item(at)) cell->setText(QString(text).replace(QStringLiteral("\r\n"), "\n"));
}

QString WeekGrid::Text(GridLesson at) const {
  const QTableWidgetItem* cell = Item(at);
  return cell ? cell->text() : QString();
}

void WeekGrid::SetColor(GridLesson at, const QColor& color) {
  if (QTableWidgetItem* cell = Item(at)) cell->setBackground(color);
}

QColor WeekGrid::Color(GridLesson at) const {
  const QTableWidgetItem* cell = Item(at);
  return cell ? cell->background().color() : QColor();
}

void WeekGrid::SetToolTip(GridLesson at, const QString& text) {
  if (QTableWidgetItem* cell = Item(at)) cell->setToolTip(text);
}

void WeekGrid::PaintAll(const QColor& color) {
  for (int day = 1; day <= kDaysPerWeek; ++day)
    for (int lessonNo = 1; lessonNo <= lessons_; ++lessonNo) SetColor({day, lessonNo}, color);
}

QColor WeekGrid::PlainColor() const { return palette().color(QPalette::Base); }

void WeekGrid::SetCurrent(GridLesson at) {
  if (Item(at) != nullptr) setCurrentCell(LessonToGridRow(at.lessonNo), at.day);
}

std::optional<GridLesson> WeekGrid::Current() const { return LessonAt(currentRow(), currentColumn()); }

QRect WeekGrid::CellRect(int row, int column) const { return visualRect(model()->index(row, column)); }

void WeekGrid::ReportAt(Qt::MouseButton button, GridLesson at, const QPoint& globalPos) {
  SetCurrent(at);
  emit lessonReleased(button, at, globalPos);
}

// The grid acts on the release, as the windows expect; a press only takes the
// focus, so it can never make a header cell current.
void WeekGrid::mousePressEvent(QMouseEvent* event) {
  setFocus(Qt::MouseFocusReason);
  event->accept();
}

void WeekGrid::mouseReleaseEvent(QMouseEvent* event) {
  event->accept();
  const QModelIndex index = indexAt(event->position().toPoint());
  if (const std::optional<GridLesson> at = LessonAt(index.row(), index.column()))
    ReportAt(event->button(), *at, event->globalPosition().toPoint());
}

void WeekGrid::mouseMoveEvent(QMouseEvent* event) { event->accept(); }

void WeekGrid::mouseDoubleClickEvent(QMouseEvent* event) { event->accept(); }

void WeekGrid::keyPressEvent(QKeyEvent* event) {
  const GridLesson at = Current().value_or(GridLesson{1, 1});
  const auto popupPos = [&] {
    return viewport()->mapToGlobal(CellRect(LessonToGridRow(at.lessonNo), at.day).center());
  };
  switch (event->key()) {
    case Qt::Key_Left:
      SetCurrent({std::max(at.day - 1, 1), at.lessonNo});
      break;
    case Qt::Key_Right:
      SetCurrent({std::min(at.day + 1, kDaysPerWeek), at.lessonNo});
      break;
    case Qt::Key_Up:
      SetCurrent({at.day, std::max(at.lessonNo - 1, 1)});
      break;
    case Qt::Key_Down:
      SetCurrent({at.day, std::min(at.lessonNo + 1, lessons_)});
      break;
    case Qt::Key_Menu:
      ReportAt(Qt::RightButton, at, popupPos());
      break;
    case Qt::Key_F10:
      if (!(event->modifiers() & Qt::ShiftModifier)) {
        event->ignore();
        return;
      }
      ReportAt(Qt::RightButton, at, popupPos());
      break;
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter:
      ReportAt(Qt::LeftButton, at, popupPos());
      break;
    default:
      // Tab, Escape and the rest belong to the window.
      event->ignore();
      return;
  }
  event->accept();
}

}  // namespace orv::ui
