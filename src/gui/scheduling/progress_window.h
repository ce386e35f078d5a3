// SPDX-License-Identifier: GPL-3.0-or-later
// The windows that run one long piece of work as soon as they come up
// (generation, completion): a line saying what is going on, a row of dots
// that grows while the work runs, and no closing until it is done. The
// work runs once, on the first activation; then the window reports and
// closes.
#pragma once

#include <QDialog>

class QLabel;
class QTimer;
class QVBoxLayout;

namespace orv::ui {

class ProgressWindow : public QDialog {
  Q_OBJECT

 public:
  ProgressWindow(const QString& caption, const QString& working, QWidget* parent);

  QLabel* Label1;
  QLabel* lblStatus;
  QTimer* Timer1;

  int Activations() const { return activations_; }
  bool Running() const { return running_; }
  // One step of the dot animation (Timer1's timeout).
  void Tick();

 protected:
  // The work itself, while the dots run.
  virtual void Work() = 0;
  // After the work, with the dots stopped: report and close.
  virtual void Finish() = 0;
  // A request to close while the work runs (Esc, the close button). The
  // window stays; a window whose work can stop says so here.
  virtual void CloseRequested() {}

  bool event(QEvent* e) override;
  void showEvent(QShowEvent* e) override;
  void closeEvent(QCloseEvent* e) override;
  void reject() override;

  QVBoxLayout* layout_;

 private:
  void Activate();

  int activations_ = 0;
  int ticks_ = 1;
  bool running_ = false;
};

}  // namespace orv::ui
