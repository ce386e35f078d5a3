// SPDX-License-Identifier: GPL-3.0-or-later
// frmChanges (课表操作 → 变更通知): what changed for each teacher and each
// class since a publication, shown as a tree of sentences, printed one A4
// page per teacher or saved as a PDF through the print library.
#pragma once

#include <QDialog>
#include <optional>

#include "core/publish/change_notice.h"

class QComboBox;
class QLabel;
class QPushButton;
class QTreeWidget;

namespace orv::ui {

struct UiContext;

class FrmChanges : public QDialog {
  Q_OBJECT
 public:
  explicit FrmChanges(UiContext& ctx, QWidget* parent = nullptr);

  QLabel* lblSince;
  QComboBox* cmbSince;      // the publications, newest first; its data is the version
  QLabel* lblSummary;       // what the notice holds, or that nothing was published
  QTreeWidget* lstChanges;  // 教师 and 班级, each name with its sentences
  // The timetable as it stands recorded as the next publication: a school
  // that hands out printouts rather than a web site marks what it handed out.
  QPushButton* cmdRecord;
  QPushButton* cmdPrint;
  QPushButton* cmdPdf;
  QPushButton* cmdClose;

  // The notice shown (nullopt when none could be read).
  const std::optional<ChangeNotice>& notice() const { return notice_; }

 private:
  void LoadPublications();
  void ShowNotice();
  void Record();
  void Print();
  void SavePdf();
  void Fail(const QString& headline, const Outcome& why);

  UiContext& ctx_;
  std::optional<ChangeNotice> notice_;
};

}  // namespace orv::ui
