// SPDX-License-Identifier: GPL-3.0-or-later
// frmConfirm: the user must type OK before a command that wipes the
// timetable (automatic generation, deleting all lessons, school-year upgrade).
#pragma once

#include <QDialog>
#include <QStringList>

class QLabel;
class QLineEdit;
class QPushButton;

namespace orv::ui {

class FrmConfirm : public QDialog {
  Q_OBJECT

 public:
  explicit FrmConfirm(QWidget* parent = nullptr);

  // The warning shown above the input box, one line per entry.
  void SetWarning(const QStringList& lines);
  bool Confirmed() const { return confirmed_; }

  QLabel* lblTitle;
  QLabel* Label1;
  QLineEdit* Text1;
  QPushButton* cmdOK;
  QPushButton* cmdCancel;

 private:
  void OnOk();
  void OnCancel();

  bool confirmed_ = false;
};

// The three lines of warning before a command that replaces the timetable.
QStringList ClearTimetableWarning(const QString& firstLine);

// Shows frmConfirm modally through the context's prompter; true when the
// user typed OK and confirmed.
struct UiContext;
bool AskTypedConfirmation(UiContext& ctx, QWidget* parent, const QString& firstLine);

}  // namespace orv::ui
