// frmExport: writes the timetable of one class, every class, one teacher,
// every teacher, or the whole-school overview into an .xlsx workbook.
#pragma once

#include <QDialog>

#include "core/output/timetable_rows.h"
#include "gui/output/output_selectors.h"

namespace orv::ui {

struct UiContext;

inline constexpr const char* kExcelFilter = "Excel(*.xlsx)";

class FrmExport : public QDialog {
  Q_OBJECT
 public:
  explicit FrmExport(UiContext& ctx, QWidget* parent = nullptr);

  QGroupBox* Frame1;
  QLabel* lblClass;
  QComboBox* CmbClass;
  QPushButton* CmdPrevClass;
  QPushButton* CmdNextClass;
  QPushButton* cmdExportClass;
  QPushButton* cmdExportAllClass;

  QGroupBox* Frame2;
  QLabel* Label1;
  QComboBox* CmbTeacher;
  QPushButton* CmdPrevTeacher;
  QPushButton* CmdNextTeacher;
  QPushButton* cmdExportTeacher;
  QPushButton* cmdExportAllTeacher;

  QPushButton* CmdExportTotal;
  QPushButton* cmdOK;

  // One export command: the guard, the file name, the rows, the workbook
  // and the report.
  void Export(TimetableScope scope);

 private:
  // The chosen path, "" when the user cancelled.
  QString AskExportFileName(TimetableScope scope, const QString& name);
  // The export result: 0 written, -102 no rows, -101 or -1 the workbook
  // failed. Empty after a database failure, which has been reported already.
  std::optional<int> Run(TimetableScope scope, const QString& name, const QString& path);

  UiContext& ctx_;
  SelectorFrame classes_;
  SelectorFrame teachers_;
};

}  // namespace orv::ui
