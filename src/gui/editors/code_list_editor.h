// SPDX-License-Identifier: GPL-3.0-or-later
// The code-list editor: one window design for courses, teachers and public
// classrooms, configured by a description of what differs between them.
#pragma once

#include <QDialog>
#include <QLineEdit>
#include <QString>
#include <array>
#include <map>

#include "core/database/code_lists.h"
#include "gui/common/editor_parts.h"
#include "gui/common/ui_context.h"

namespace orv::ui {

struct CodeListDesign {
  CodeTable table;
  QString objectName;  // frmCourseInput ...
  QString caption;
  // Indexed by CodeField: code, name, full name, short name.
  std::array<QString, 4> labels;
  std::array<QString, 4> headers;
  std::array<CodeField, 4> boxOrder;  // top to bottom, also the tab order
  std::map<CodeField, QString> missingMessages;
  QString checkTitle;
  QString codeChangeMessage;  // empty: modify writes to whatever code is typed
};

const CodeListDesign& CourseListDesign();
const CodeListDesign& TeacherListDesign();
const CodeListDesign& ClassRoomListDesign();

class CodeListEditor : public QDialog {
  Q_OBJECT
 public:
  CodeListEditor(UiContext& ctx, const CodeListDesign& design, QWidget* parent = nullptr);

  // The operations return true when refused or failed, false when done.
  bool AppendRecord();
  bool ModifyRecord();
  bool DeleteRecord();

 private:
  QLineEdit* Box(CodeField f) const { return boxes_[static_cast<int>(f)]; }
  CodeRecord Typed() const;
  void Load();
  void FillFromSelected();
  bool CheckInput();
  void ClearInput();
  void Focus(CodeField f);

  UiContext& ctx_;
  const CodeListDesign& design_;
  std::array<QLineEdit*, 4> boxes_{};
  RecordList* list_ = nullptr;
  StatusPanels* status_ = nullptr;
};

}  // namespace orv::ui
