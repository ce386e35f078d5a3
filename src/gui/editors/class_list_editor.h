// SPDX-License-Identifier: GPL-3.0-or-later
// frmClassInput: the class list, where codes and names are composed from a
// grade and a class number and the names may be edited before storing.
#pragma once

#include <QComboBox>
#include <QDialog>
#include <QLineEdit>

#include "core/database/class_list.h"
#include "gui/common/editor_parts.h"
#include "gui/common/ui_context.h"

namespace orv::ui {

class ClassListEditor : public QDialog {
  Q_OBJECT
 public:
  explicit ClassListEditor(UiContext& ctx, QWidget* parent = nullptr);

  // True when refused or failed, false when done.
  bool AppendRecord();
  bool ModifyRecord();
  bool DeleteRecord();

 private:
  void Load();
  void ComposeNames();
  void FillFromSelected();
  bool CheckInput();
  // True (and said, with the name box marked) when another class has the name.
  bool NameTaken(const CodeRecord& trimmed);
  void ClearInput();
  QString CurrentCode() const;
  ClassNames Typed() const;

  UiContext& ctx_;
  QComboBox* grade_ = nullptr;
  QComboBox* number_ = nullptr;
  QLineEdit* name_ = nullptr;
  QLineEdit* fullName_ = nullptr;
  QLineEdit* shortName_ = nullptr;
  RecordList* list_ = nullptr;
  StatusPanels* status_ = nullptr;
};

}  // namespace orv::ui
