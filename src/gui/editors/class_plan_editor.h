// SPDX-License-Identifier: GPL-3.0-or-later
// frmClassPlanInput: the teaching plan of one class at a time, with the
// weekly load of any teacher over all classes beside it.
#pragma once

#include <QComboBox>
#include <QDialog>
#include <QLineEdit>

#include "core/database/class_plan.h"
#include "gui/common/editor_parts.h"
#include "gui/common/ui_context.h"

namespace orv::ui {

class ClassPlanEditor : public QDialog {
  Q_OBJECT
 public:
  explicit ClassPlanEditor(UiContext& ctx, QWidget* parent = nullptr);

  // True when refused or failed, false when done.
  bool AppendRecord();
  bool ModifyRecord();
  bool DeleteRecord();

 private:
  void LoadNames();
  void ChooseClass();
  void LoadClassPlan();
  void ShowPlanTotals();
  void FillFromSelected();
  void ShowTeacherInPanel(const QString& teacherCode);
  void ShowTeacherLoad();
  bool CheckInput();
  void ClearInput();
  void Refuse(const QString& panel, const QString& text, const QString& title);
  static QString CodeOf(const QComboBox* combo);

  UiContext& ctx_;
  QComboBox* classes_ = nullptr;
  QComboBox* course_ = nullptr;
  QComboBox* teacher_ = nullptr;
  QLineEdit* count_ = nullptr;
  QComboBox* teacher2_ = nullptr;
  QLabel* teacherSum_ = nullptr;
  RecordList* list_ = nullptr;
  RecordList* teacherList_ = nullptr;
  StatusPanels* status_ = nullptr;

  std::string curClassCode_;
  // The stored row the inputs were last filled from; kept when they are
  // cleared so a modify after an append still knows its row.
  bool hasSelection_ = false;
  PlanRowKey sel_;
};

}  // namespace orv::ui
