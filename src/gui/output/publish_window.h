// SPDX-License-Identifier: GPL-3.0-or-later
// frmPublish: publishes the timetable as a static web site into a folder
// (with the calendar files and the CSV file), optionally with the address it
// will be served from for the classroom doors' QR codes, and opens it in the
// browser. The folder and the address are remembered in the database.
#pragma once

#include <QDialog>

#include "gui/common/prompter.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace orv::ui {

struct UiContext;

class FrmPublish : public QDialog {
  Q_OBJECT
 public:
  explicit FrmPublish(UiContext& ctx, QWidget* parent = nullptr);

  QLabel* lblFolder;
  QLineEdit* txtFolder;
  QPushButton* cmdBrowse;
  QLabel* lblBaseUrl;
  QLineEdit* txtBaseUrl;
  QLabel* lblBaseUrlHint;
  QLabel* lblStatus;
  QPushButton* cmdPublish;
  QPushButton* cmdOpen;
  QPushButton* cmdOK;

  void Browse();
  void Publish();
  void OpenInBrowser();

 private:
  void Say(MessageIcon icon, const QString& text);
  // The last publication, or that there was none, in the status line.
  void ShowLastPublication();
  void UpdateOpenButton();

  UiContext& ctx_;
};

}  // namespace orv::ui
