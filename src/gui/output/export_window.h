// SPDX-License-Identifier: GPL-3.0-or-later
// frmExport: writes the timetable of one class, every class, one teacher,
// every teacher, or the whole-school overview into an .xlsx workbook.
#pragma once

#include "gui/output/output_window.h"

namespace orv::ui {

inline constexpr const char* kExcelFilter = "Excel(*.xlsx)";

class FrmExport : public OutputWindow {
  Q_OBJECT
 public:
  explicit FrmExport(UiContext& ctx, QWidget* parent = nullptr);

  QPushButton* cmdExportClass;
  QPushButton* cmdExportAllClass;

  QPushButton* cmdExportTeacher;
  QPushButton* cmdExportAllTeacher;

  QPushButton* CmdExportTotal;
  QPushButton* cmdOK;

  // One export command: the file name, the rows, the workbook and the
  // report.
  void Execute(TimetableScope scope, const OutputChoice& choice) override;

 private:
  // The chosen path, "" when the user cancelled.
  QString AskExportFileName(TimetableScope scope, const QString& name);
  // The export result: ok when written, code -102 for no rows, -101 or -1
  // with the reason when the workbook failed. Empty after a database failure,
  // which has been reported already.
  std::optional<Outcome> Run(TimetableScope scope, const QString& code, const QString& path);
};

}  // namespace orv::ui
