// SPDX-License-Identifier: GPL-3.0-or-later
// frmImport (从表格导入): a school's basic data brought in from the exchange
// workbook or from one CSV file. Nothing is written on 预览: the window shows
// what the import would add, change and (when replacing) clear, or the
// problems that stop it, and only 导入 writes, in one transaction. Any change
// of the file or the choices throws the preview away, so what is written is
// always what was last shown.
#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <optional>

#include "core/exchange/data_import.h"
#include "gui/common/ui_context.h"

namespace orv::ui {

inline constexpr const char* kImportFilter = "表格文件 (*.xlsx *.csv)";

class FrmImport : public QDialog {
  Q_OBJECT
 public:
  explicit FrmImport(UiContext& ctx, QWidget* parent = nullptr);

  QLineEdit* txtFile;
  QPushButton* cmdBrowse;
  QComboBox* cmbKind;
  QRadioButton* optMerge;
  QRadioButton* optReplace;
  QCheckBox* chkCreateNamed;
  QPushButton* cmdPreview;
  QLabel* lblSummary;
  // A merge of a school's own export lists every record, most of them
  // unchanged; the few that change are what the user must check.
  QCheckBox* chkShowKept;
  QTableWidget* grdPreview;
  QListWidget* lstWarnings;
  QPushButton* cmdImport;
  QPushButton* cmdClose;

  // The file to import, as if chosen in the file dialog.
  void SetFile(const QString& path);
  // Reads and plans; true when a plan (with or without problems) is shown.
  bool Preview();
  // Writes the previewed plan; true when the import was written.
  bool Import();

 private:
  void Browse();
  void ClearPreview();
  void ShowPlan();
  void ShowKeptRows();
  std::optional<SheetKind> ChosenKind() const;
  ImportOptions ChosenOptions() const;
  void Fail(const QString& headline, const Outcome& why);

  UiContext& ctx_;
  std::optional<ImportPlan> plan_;  // the plan on show; empty before 预览
};

void ShowImport(UiContext& ctx, QWidget* parent);

}  // namespace orv::ui
