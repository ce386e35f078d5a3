// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/scheduling/progress_window.h"

#include <QCloseEvent>
#include <QLabel>
#include <QTimer>
#include <QVBoxLayout>

namespace orv::ui {

ProgressWindow::ProgressWindow(const QString& caption, const QString& working, QWidget* parent)
    : QDialog(parent) {
  setWindowTitle(caption);
  setWindowFlag(Qt::WindowContextHelpButtonHint, false);
  setMinimumSize(360, 120);

  Label1 = new QLabel(working, this);
  Label1->setObjectName("Label1");
  lblStatus = new QLabel(this);
  lblStatus->setObjectName("lblStatus");
  lblStatus->setMinimumWidth(300);
  lblStatus->setStyleSheet("color: rgb(0,0,160); font-weight: bold;");

  layout_ = new QVBoxLayout(this);
  layout_->setContentsMargins(24, 20, 24, 20);
  layout_->addWidget(Label1);
  layout_->addWidget(lblStatus);

  Timer1 = new QTimer(this);
  Timer1->setObjectName("Timer1");
  Timer1->setInterval(500);
  connect(Timer1, &QTimer::timeout, this, &ProgressWindow::Tick);
  Timer1->start();
}

void ProgressWindow::Tick() {
  // The counter only restarts the row of dots, so it never needs to grow
  // beyond the limit.
  if (ticks_ >= 20) {
    lblStatus->clear();
    ticks_ = 1;
  } else {
    lblStatus->setText(lblStatus->text() + ".");
    ++ticks_;
  }
}

bool ProgressWindow::event(QEvent* e) {
  if (e->type() == QEvent::WindowActivate) Activate();
  return QDialog::event(e);
}

void ProgressWindow::showEvent(QShowEvent* e) {
  QDialog::showEvent(e);
  // Some platforms (offscreen, some window managers) never activate a new
  // window; being shown counts as the first activation there.
  QTimer::singleShot(0, this, &ProgressWindow::Activate);
}

void ProgressWindow::Activate() {
  if (++activations_ != 1) return;
  running_ = true;
  Work();
  running_ = false;
  Timer1->stop();
  Finish();
}

void ProgressWindow::closeEvent(QCloseEvent* e) {
  if (running_) {
    e->ignore();
    CloseRequested();
    return;
  }
  QDialog::closeEvent(e);
}

void ProgressWindow::reject() {
  if (running_)
    CloseRequested();
  else
    QDialog::reject();
}

}  // namespace orv::ui
