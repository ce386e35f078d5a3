// SPDX-License-Identifier: GPL-3.0-or-later
// The completion progress window: places the lessons still missing, moving
// automatic lessons to make room, showing how many are still missing, with
// a cancel button that leaves the timetable as it was. Then it improves the
// timetable with the optimiser, showing the best quality score so far and
// the time spent, with a stop button that keeps the best timetable found.
// Reports the completion rate, the missing lessons and the score when it
// ends. Without a completion to run it only optimises (frmOptimise, after a
// generation that left nothing to complete).
#pragma once

#include <QElapsedTimer>
#include <atomic>
#include <functional>
#include <optional>

#include "core/scheduling/complete_timetable.h"
#include "core/scheduling/optimiser.h"
#include "gui/scheduling/progress_window.h"

class QProgressBar;
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
  // The optimisation to run after it, with the window's time limit, score
  // callback and stop flag; the program uses OptimiseTimetable on the open
  // database.
  using Optimiser = std::function<Result<OptimiserReport>(const OptimiserControl&)>;

  // The completion and then the optimiser, on the open database.
  explicit FrmCompleteBuild(UiContext& ctx, QWidget* parent = nullptr);
  // The given completion alone.
  FrmCompleteBuild(UiContext& ctx, Runner runner, QWidget* parent = nullptr);
  // The given completion (none: optimisation only), then the given optimiser
  // (none: no optimisation).
  FrmCompleteBuild(UiContext& ctx, Runner runner, Optimiser optimiser, QWidget* parent = nullptr);

  // The optimiser on the open database.
  static Optimiser ProgramOptimiser(UiContext& ctx);

  QLabel* lblMissing;
  QLabel* lblScore;
  QProgressBar* prgOptimise;
  QPushButton* cmdCancel;
  QPushButton* cmdStop;

  // A text the final report begins with (what came before, e.g. the
  // generation's completion rate).
  void SetPreface(const QString& text) { preface_ = text; }

  // Shows the optimisation's controls (the window does so when it starts
  // optimising); public for the gallery.
  void ShowOptimising();
  // Shows the best score so far, and the time used of the limit.
  void ShowScore(long long score);

 protected:
  void Work() override;
  void Finish() override;
  void CloseRequested() override;

 private:
  void ShowMissing(int missing);
  void LetEventsThrough();
  void Cancel();
  void Stop();

  UiContext& ctx_;
  Runner runner_;
  Optimiser optimiser_;
  QString caption_;
  QString preface_;
  std::atomic<bool> cancel_{false};
  std::atomic<bool> stop_{false};
  bool optimising_ = false;
  std::optional<long long> startScore_;
  std::optional<Result<CompletionReport>> result_;
  std::optional<Result<OptimiserReport>> optimised_;
  QElapsedTimer sinceEvents_;
  QElapsedTimer optimisingFor_;
};

// How long the windows let the optimiser search, in seconds.
inline constexpr double kWindowOptimiseSeconds = 2.0;

// "课表完成率统计:  NN％" and what was done, or the lessons still missing.
QString CompletionReportText(const CompletionReport& report);
// The score before and after, what moved, and whether the user stopped it.
QString OptimiserReportText(const OptimiserReport& report);

// mnuCompleteBuild: the completion progress window.
void RunCompleteBuild(UiContext& ctx, QWidget* parent);
// The optimisation window alone (frmOptimise); its report begins with the preface.
void RunOptimise(UiContext& ctx, QWidget* parent, const QString& preface = QString());

}  // namespace orv::ui
