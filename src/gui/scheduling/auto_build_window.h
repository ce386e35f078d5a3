// frmAutoBuild: runs the automatic generation once, when the window first
// comes up, animating a row of dots while it works, then reports the
// completion rate and closes.
#pragma once

#include <QDialog>
#include <functional>

#include "core/scheduling/build_timetable.h"

class QLabel;
class QTimer;

namespace orv::ui {

struct UiContext;

class FrmAutoBuild : public QDialog {
  Q_OBJECT

 public:
  // The generation to run; the program uses BuildTimetable with the
  // program-wide random source.
  using Runner = std::function<Result<BuildResult>(const BuildProgress&)>;

  explicit FrmAutoBuild(UiContext& ctx, QWidget* parent = nullptr);
  FrmAutoBuild(UiContext& ctx, Runner runner, QWidget* parent = nullptr);

  QLabel* Label1;
  QLabel* lblStatus;
  QTimer* Timer1;

  int Activations() const { return activations_; }
  bool Running() const { return running_; }
  // One step of the dot animation (Timer1's timeout).
  void Tick();

 protected:
  bool event(QEvent* e) override;
  void showEvent(QShowEvent* e) override;
  void closeEvent(QCloseEvent* e) override;
  void reject() override;

 private:
  void Activate();
  void Run();

  UiContext& ctx_;
  Runner runner_;
  int activations_ = 0;
  int ticks_ = 1;
  bool running_ = false;
};

// The completion report: "课表完成率统计:  NN％", plus a second line when
// lessons were left unplaced.
QString CompletionMessage(const BuildResult& result);

// mnuAutoBuild: confirmation, then the progress window.
void RunAutoBuild(UiContext& ctx, QWidget* parent);

}  // namespace orv::ui
