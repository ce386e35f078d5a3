// SPDX-License-Identifier: GPL-3.0-or-later
// frmSetLesson: lessons fixed in advance, one class at a time. The user picks
// a course of the class's plan that still has lessons to fix, left-clicks a
// cyan lesson to fix it there and right-clicks a fixed lesson to remove it.
// Automatic generation keeps these lessons where they are.
#pragma once

#include <QDialog>
#include <QListWidget>
#include <string>
#include <vector>

#include "core/editing/fixed_lessons.h"
#include "gui/common/ui_context.h"
#include "gui/common/week_grid.h"
#include "gui/common/week_window_parts.h"

namespace orv::ui {

class StatusPanels;

inline const QString kSetLessonHelp =
    QStringLiteral("鼠标左键单击青色课时 -- 安排课时       鼠标右键 -- 删除设置的课程");

class FrmSetLesson : public QDialog {
  Q_OBJECT
 public:
  explicit FrmSetLesson(UiContext& ctx, QWidget* parent = nullptr);

 private:
  void ChooseClass();
  // Shows the class's fixed lessons on white; `report` puts the outcome in panel 3.
  void LoadFixedLessons(bool report);
  // Refills the list, keeping the selected position; re-marks the targets.
  void FillCourseList();
  void ChooseCourse();
  void MarkPlacementTargets();
  void GridReleased(Qt::MouseButton button, GridLesson at);
  const FixedLesson* FixedAt(GridLesson at) const;
  bool IsTarget(GridLesson at) const;

  UiContext& ctx_;
  int lessons_;
  EntitySelector selector_;
  QListWidget* courses_ = nullptr;
  WeekGrid* grid_ = nullptr;
  StatusPanels* status_ = nullptr;

  std::string curClassCode_;
  std::string curCourseCode_;
  std::string curTeacherCode_;
  std::vector<FixedLesson> fixed_;   // as the grid shows them
  std::vector<LessonSlot> targets_;  // where the course may be fixed, as the grid marks them
};

void ShowSetLesson(UiContext& ctx, QWidget* parent);

}  // namespace orv::ui
