// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/scheduling/auto_build_window.h"

#include <QCoreApplication>

#include "core/database/database_totals.h"
#include "core/overview/work_steps.h"

#include "gui/common/gui_support.h"
#include "gui/common/ui_context.h"
#include "gui/scheduling/complete_build_window.h"
#include "gui/scheduling/confirm_window.h"

namespace orv::ui {

namespace {
const QString kCaption = "自动生成课表";
}

FrmAutoBuild::FrmAutoBuild(UiContext& ctx, QWidget* parent)
    : FrmAutoBuild(
          ctx,
          [&ctx](const BuildProgress& progress) -> Result<BuildResult> {
            if (!ctx.state.db) return Outcome::Fail("没有打开的数据库");
            return BuildTimetable(*ctx.state.db, ctx.state.week.lessonsPerDay, ProgramRandom(), progress);
          },
          parent) {}

FrmAutoBuild::FrmAutoBuild(UiContext& ctx, Runner runner, QWidget* parent)
    : ProgressWindow(kCaption, "正在自动生成课表 ...", parent), ctx_(ctx), runner_(std::move(runner)) {
  setObjectName("frmAutoBuild");
}

void FrmAutoBuild::Work() {
  // Only paint and timer events are let through while the generation runs:
  // a click or a close request must not end the window beneath it.
  result_ = runner_([] { QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents); });
}

void FrmAutoBuild::Finish() {
  if (!result_) {
    ctx_.prompter.Message(this, MessageIcon::Critical, kCaption,
                          FailureText(Q(kBuildFailedText), result_.outcome()));
  } else if (result_->unplacedLessons > 0 || result_->lessonsInNeverCells > 0) {
    completionRequested_ = ctx_.prompter.AskYesNoDefaultYes(
        this, kCaption, CompletionMessage(*result_) + "\n是否立即自动补排？");
  } else {
    // One report for the whole run, from the optimisation window.
    optimisationRequested_ = true;
    report_ = CompletionMessage(*result_);
  }
  accept();
}

QString CompletionMessage(const BuildResult& result) {
  QString text = QString("课表完成率统计:  %1％").arg(result.rate);
  if (result.unplacedLessons > 0) text += QString("\n还有 %1 节课未能排入。").arg(result.unplacedLessons);
  // A complete week can still break the class and teacher marks, which only
  // the completion honours: the user is told, so a 100 % is not taken as done.
  if (result.lessonsInNeverCells > 0)
    text += QString("\n有 %1 节课排在了班级或老师“不排”的时间。").arg(result.lessonsInNeverCells);
  return text;
}

void RunAutoBuild(UiContext& ctx, QWidget* parent) {
  // What is missing is said before the user is asked to type OK for a
  // generation that could only fail.
  if (ctx.state.db) {
    const Result<DatabaseTotals> totals = ReadDatabaseTotals(*ctx.state.db);
    if (!totals) {
      ctx.prompter.Message(parent, MessageIcon::Critical, kCaption,
                           FailureText("无法自动生成课表！", totals.outcome()));
      return;
    }
    if (const std::vector<std::string> missing = MissingForGeneration(*totals); !missing.empty()) {
      QStringList lines;
      for (const std::string& line : missing) lines << Q(line);
      ctx.prompter.Message(parent, MessageIcon::Warning, kCaption,
                           "无法自动生成课表：" + lines.join("，") +
                               "。\n请先在“基础数据”菜单中录入班级、课程、老师和各班教学计划。");
      return;
    }
  }
  if (!AskTypedConfirmation(ctx, parent, "自动生成课表将会清除您以前排好的课表！")) return;
  bool complete = false, optimise = false;
  QString report;
  {
    FrmAutoBuild progress(ctx, parent);
    ctx.prompter.RunModal(progress);
    complete = progress.CompletionRequested();
    optimise = progress.OptimisationRequested();
    report = progress.Report();
  }
  if (complete) RunCompleteBuild(ctx, parent);
  if (optimise) RunOptimise(ctx, parent, report);
}

}  // namespace orv::ui
