// SPDX-License-Identifier: GPL-3.0-or-later
// frmManualSetLesson: the generated timetable finished by hand, one class at
// a time, with the week of one teacher beside it. A left click selects a
// lesson and marks in yellow what it may swap with; a right click on a yellow
// cell swaps (or moves), on a white lesson deletes. Picking a missing lesson
// in the list marks in cyan where it may go. Every change is written at once,
// can be undone and redone while the window is open, and the status line
// counts the rules the class's timetable now breaks.
#pragma once

#include <QDialog>
#include <optional>
#include <string>
#include <vector>

#include "core/database/lesson_weeks.h"
#include "core/editing/edit_history.h"
#include "core/editing/edit_targets.h"
#include "gui/common/ui_context.h"
#include "gui/common/week_grid.h"
#include "gui/common/week_window_parts.h"

class QComboBox;
class QPushButton;
class QShortcut;
class QTreeWidgetItem;

namespace orv::ui {

class RecordList;
class StatusPanels;

// Panel 1 of the status line: what the mouse buttons do in each state.
inline const QString kManualHelpPlain = QStringLiteral("鼠标左键－选择欲交换的课时    鼠标右键－删除课时");
inline const QString kManualHelpPlacing =
    QStringLiteral("鼠标左键单击青色课时－安排选择欲的未排课时    鼠标右键－删除课时");
inline const QString kManualHelpSelected = QStringLiteral(
    "鼠标左键－选择欲交换的课时    鼠标右键单击黄色课时－交换课时    鼠标右键单击白色课时－删除课时");

class FrmManualSetLesson : public QDialog {
  Q_OBJECT
 public:
  explicit FrmManualSetLesson(UiContext& ctx, QWidget* parent = nullptr);

 private:
  // The marks on the class grid: all white; cyan where the picked lesson may
  // go; the selected lesson red and what it may swap with yellow.
  enum class Marks { Plain, Placing, Selected };

  // Class change: the class's week on white, its rule count.
  void ChooseClass(const std::string& code);
  // Shows the class in MSFlexGrid1, through CmbClass when it lists it;
  // `reload` also when it is shown already.
  void ShowClass(const std::string& code, bool reload);
  void LoadClassTimetable();
  void DrawClassCells();
  void FillUnplacedList();
  void ChooseTeacher(const std::string& code);
  void ShowTeacher(const std::string& code, bool reload);
  void LoadTeacherTimetable();
  void ResetCellColours();
  void PickUnplaced(QTreeWidgetItem* item);
  void MarkPlacementTargets();
  void MarkSwapTargets(GridLesson at);
  // After a change stands in the database, or failed: everything shown
  // again from the tables, the marks kept where they still mean something.
  void Redraw(Marks keep);

  // What a period of the class grid is now: the colours only show it.
  enum class CellRole { Plain, Selected, SwapTarget, PlacementTarget };
  CellRole RoleOf(GridLesson at) const;

  void ClassGridReleased(Qt::MouseButton button, GridLesson at);
  // Deletes or swaps; true when the tables may have changed.
  bool RightClick(GridLesson at, CellRole role);
  void TeacherFollowUp(GridLesson at, bool reload);
  void TeacherGridReleased(GridLesson at);

  // Panel 3: `done`, or the change's own success text, or why it failed.
  void Report(const Result<LessonEdit>& result, const QString& done = {});
  void UndoOrRedo(bool undo);
  void ShowHistory();
  void ShowRuleCheck();

  UiContext& ctx_;
  int lessons_;
  EditHistory history_;

  EntitySelector selector_;
  WeekGrid* grid_ = nullptr;
  QComboBox* teachers_ = nullptr;
  WeekGrid* teacherGrid_ = nullptr;
  RecordList* courses_ = nullptr;
  QPushButton* undo_ = nullptr;
  QPushButton* redo_ = nullptr;
  QShortcut* undoKey_ = nullptr;
  QShortcut* redoKey_ = nullptr;
  StatusPanels* status_ = nullptr;

  std::string curClassCode_;
  std::string curTeacherCode_;
  WeekCells classCells_;
  WeekCells teacherCells_;
  std::vector<UnplacedLesson> unplaced_;         // as lstCourse lists them
  std::optional<UnplacedLesson> pendingLesson_;  // PendingLesson
  Marks marks_ = Marks::Plain;
  GridLesson selected_;
  SwapTargets targets_;  // of the selected lesson
  WeekSlots placement_;  // where the picked lesson may go
};

void ShowManualSetLesson(UiContext& ctx, QWidget* parent);

}  // namespace orv::ui
