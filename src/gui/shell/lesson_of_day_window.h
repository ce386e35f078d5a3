// SPDX-License-Identifier: GPL-3.0-or-later
// frmSetLessonOfDay: switches the school day between 6 and 7 lessons.
#pragma once

#include <QDialog>

class QLabel;
class QPushButton;
class QRadioButton;

namespace orv::ui {

struct UiContext;

class FrmSetLessonOfDay : public QDialog {
  Q_OBJECT
 public:
  explicit FrmSetLessonOfDay(UiContext& ctx, QWidget* parent = nullptr);

  QLabel* Label1;
  QRadioButton* Opt6;
  QRadioButton* Opt7;
  QPushButton* cmdOk;
  QPushButton* cmdCancel;

 private:
  void OnOk();

  UiContext& ctx_;
};

}  // namespace orv::ui
