// SPDX-License-Identifier: GPL-3.0-or-later
// The about box frmAbout and the short help frmSimpleManual.
#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace orv::ui {

class FrmAbout : public QDialog {
  Q_OBJECT
 public:
  explicit FrmAbout(QWidget* parent = nullptr);
  QLabel* Image1;
  QLabel* Label1;
  QLabel* lblVersion;
  QPushButton* cmdOK;
};

class FrmSimpleManual : public QDialog {
  Q_OBJECT
 public:
  explicit FrmSimpleManual(QWidget* parent = nullptr);
  QLabel* Label1;
  QPushButton* cmdOK;
};

// "Ver " and the program's major.minor.patch version.
QString VersionText();
// The working steps shown by frmSimpleManual.
QString SimpleManualText();

}  // namespace orv::ui
