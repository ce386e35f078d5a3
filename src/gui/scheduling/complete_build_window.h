// The completion progress window: places the lessons still missing, moving
// automatic lessons to make room, showing how many are still missing, with
// a cancel button that leaves the timetable as it was. Reports the
// completion rate and the missing lessons when it ends.
#pragma once

#include <QElapsedTimer>
#include <atomic>
#include <functional>
#include <optional>

#include "core/scheduling/complete_timetable.h"
#include "gui/scheduling/progress_window.h"

class QPushButton;

namespace orv::ui {

struct UiContext;

class FrmCompleteBuild : public ProgressWindow {
  Q_OBJECT

 public:
  using Progress = std::function<void(int missing)>;
  // The completion to run; the program uses CompleteTimetable on the open
  // database.
  using Runner = std::function<Result<CompletionReport>(const Progress&, const std::atomic<bool>& cancel)>;

  explicit FrmCompleteBuild(UiContext& ctx, QWidget* parent = nullptr);
  FrmCompleteBuild(UiContext& ctx, Runner runner, QWidget* parent = nullptr);

  QLabel* lblMissing;
  QPushButton* cmdCancel;

 protected:
  void Work() override;
  void Finish() override;
  void CloseRequested() override { Cancel(); }

 private:
  void ShowMissing(int missing);
  void Cancel();

  UiContext& ctx_;
  Runner runner_;
  std::atomic<bool> cancel_{false};
  std::optional<Result<CompletionReport>> result_;
  QElapsedTimer sinceEvents_;
};

// "课表完成率统计:  NN％" and what was done, or the lessons still missing.
QString CompletionReportText(const CompletionReport& report);

// mnuCompleteBuild: the completion progress window.
void RunCompleteBuild(UiContext& ctx, QWidget* parent);

}  // namespace orv::ui
