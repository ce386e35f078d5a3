// frmPrint: prints the timetable of one class, every class, one teacher,
// every teacher, or the whole-school overview, through the print library.
#pragma once

#include <QDialog>

#include "core/output/timetable_rows.h"
#include "gui/output/output_selectors.h"

namespace orv::ui {

struct UiContext;

class FrmPrint : public QDialog {
  Q_OBJECT
 public:
  explicit FrmPrint(UiContext& ctx, QWidget* parent = nullptr);

  QGroupBox* Frame1;
  QLabel* lblClass;
  QComboBox* CmbClass;
  QPushButton* CmdPrevClass;
  QPushButton* CmdNextClass;
  QPushButton* cmdPrintClass;
  QPushButton* cmdPrintAllClass;
  QLabel* Label2;

  QGroupBox* Frame2;
  QLabel* Label1;
  QComboBox* CmbTeacher;
  QPushButton* CmdPrevTeacher;
  QPushButton* CmdNextTeacher;
  QPushButton* cmdPrintTeacher;
  QPushButton* cmdPrintAllTeacher;
  QLabel* Label3;

  QGroupBox* Frame3;
  QPushButton* CmdPrintTotal;
  QLabel* Label4;
  QPushButton* cmdOK;

  // One print command: the guard, the rows, the document, the library call
  // and the report.
  void Print(TimetableScope scope);

 private:
  // The print result: 0 printed, -102 no rows, -1 the document could not be
  // written, else the library's code. Empty after a database failure, which
  // has been reported already.
  std::optional<int> Run(TimetableScope scope, const QString& name);

  UiContext& ctx_;
  SelectorFrame classes_;
  SelectorFrame teachers_;
};

}  // namespace orv::ui
