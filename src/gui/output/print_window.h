// SPDX-License-Identifier: GPL-3.0-or-later
// frmPrint: prints the timetable of one class, every class, one teacher,
// every teacher, or the whole-school overview, through the print library.
#pragma once

#include "gui/output/output_window.h"

namespace orv::ui {

class FrmPrint : public OutputWindow {
  Q_OBJECT
 public:
  explicit FrmPrint(UiContext& ctx, QWidget* parent = nullptr);

  QPushButton* cmdPrintClass;
  QPushButton* cmdPrintAllClass;
  QLabel* Label2;

  QPushButton* cmdPrintTeacher;
  QPushButton* cmdPrintAllTeacher;
  QLabel* Label3;

  QGroupBox* Frame3;
  QPushButton* CmdPrintTotal;
  QLabel* Label4;
  QPushButton* cmdOK;

  // One print command: the rows, the print step and the report.
  void Execute(TimetableScope scope, const OutputChoice& choice) override;

 private:
  // What the print step reports: kNoTimetableData without rows, else the
  // library's PrintCode. Empty after a database failure, which has been
  // reported already.
  std::optional<Outcome> Run(TimetableScope scope, const OutputChoice& choice);
};

}  // namespace orv::ui
