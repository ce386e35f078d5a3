// SPDX-License-Identifier: GPL-3.0-or-later
// The weekly restriction windows (frmClassLimitInput, frmCourseLimitInput,
// frmTeacherLimitInput, frmClassRoomLimitInput): one window configured four
// times. The user right-clicks a lesson of the shown entity's week and picks
// "最佳位置", "正常", "尽量不排" or "不排"; each change is stored at once.
#pragma once

#include <QCheckBox>
#include <QDialog>
#include <QMenu>
#include <QSpinBox>
#include <string>

#include "core/database/week_marks.h"
#include "gui/common/ui_context.h"
#include "gui/common/week_grid.h"
#include "gui/common/week_window_parts.h"

namespace orv::ui {

class StatusPanels;

struct LimitWindowDesign {
  LimitKind kind;  // also the table the selector lists
  const char* objectName;
  QString caption;
  SelectorNames selector;
};

const LimitWindowDesign& LimitDesign(LimitKind kind);

// The text of the special-course box of the course window.
inline const QString kSpecialCourseText = QStringLiteral("专用教室课程（全校同一节只能安排一个班）");

class LimitWindow : public QDialog {
  Q_OBJECT
 public:
  LimitWindow(UiContext& ctx, LimitKind kind, QWidget* parent = nullptr);

  // Shows the stored week of the selected entity.
  void LoadRestrictions();
  // Stores the mark in the current cell and shows it there.
  void SetCellAttr(LimitMark mark);
  // cmdNormalAll: every lesson the grid shows becomes "正常", in one write.
  void SetAllNormal();

 private:
  void ChooseEntity();
  void GridReleased(Qt::MouseButton button, GridLesson at, const QPoint& globalPos);
  void ShowMark(GridLesson at, LimitMark mark);
  QColor MarkColor(LimitMark mark) const;
  void ShowSpecialCourse();
  void ToggleSpecialCourse(bool special);
  void StoreRooms(int rooms);

  UiContext& ctx_;
  const LimitWindowDesign& design_;
  int lessons_;  // lessons a day the grid shows
  EntitySelector selector_;
  WeekGrid* grid_ = nullptr;
  QMenu* popMenu_ = nullptr;
  QCheckBox* special_ = nullptr;  // course window only
  QSpinBox* rooms_ = nullptr;     // its rooms, when special
  StatusPanels* status_ = nullptr;
  std::string curCode_;
};

void ShowLimitWindow(UiContext& ctx, LimitKind kind, QWidget* parent);

}  // namespace orv::ui
