// SPDX-License-Identifier: GPL-3.0-or-later
// frmAutoBuild: runs the automatic generation once, when the window first
// comes up, animating a row of dots while it works, then closes. When
// lessons were left out it reports the completion rate and offers to
// complete the timetable at once (the completion then improves it); when
// none were, the optimiser improves the timetable at once and its report
// begins with the completion rate.
#pragma once

#include <functional>

#include "core/scheduling/build_timetable.h"
#include "gui/scheduling/progress_window.h"

namespace orv::ui {

struct UiContext;

class FrmAutoBuild : public ProgressWindow {
  Q_OBJECT

 public:
  // The generation to run; the program uses BuildTimetable with the
  // program-wide random source.
  using Runner = std::function<Result<BuildResult>(const BuildProgress&)>;

  explicit FrmAutoBuild(UiContext& ctx, QWidget* parent = nullptr);
  FrmAutoBuild(UiContext& ctx, Runner runner, QWidget* parent = nullptr);

  // The user answered Yes to completing the lessons left out.
  bool CompletionRequested() const { return completionRequested_; }
  // The generation left nothing to complete: the timetable is to be
  // optimised, and Report() is what the generation would have said.
  bool OptimisationRequested() const { return optimisationRequested_; }
  const QString& Report() const { return report_; }

 protected:
  void Work() override;
  void Finish() override;

 private:
  UiContext& ctx_;
  Runner runner_;
  Result<BuildResult> result_ = Outcome::Fail("自动排课没有运行");
  bool completionRequested_ = false;
  bool optimisationRequested_ = false;
  QString report_;
};

// The completion report: "课表完成率统计:  NN％", plus a second line when
// lessons were left unplaced.
QString CompletionMessage(const BuildResult& result);

// mnuAutoBuild: confirmation, then the progress window, then the completion
// when the user asks for it.
void RunAutoBuild(UiContext& ctx, QWidget* parent);

}  // namespace orv::ui
