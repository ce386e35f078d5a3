// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/scheduling/complete_build_window.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "gui/common/gui_support.h"
#include "gui/common/ui_context.h"

namespace orv::ui {

namespace {

const QString kCaption = "补排未排课程";
const QString kOptimiseCaption = "优化课表";
// The report lists this many rows' missing lessons; the rest are counted.
constexpr size_t kListedRows = 8;
// Events are let through this often while the search runs.
constexpr int kEventsEveryMs = 30;
constexpr int kProgressSteps = 100;

}  // namespace

FrmCompleteBuild::FrmCompleteBuild(UiContext& ctx, QWidget* parent)
    : FrmCompleteBuild(
          ctx,
          [&ctx](const Progress& progress, const std::atomic<bool>& cancel) -> Result<CompletionReport> {
            if (!ctx.state.db) return Outcome::Fail("没有打开的数据库");
            CompletionOptions options;
            options.lessonsPerDay = ctx.state.week.lessonsPerDay;
            options.progress = progress;
            options.cancel = &cancel;
            return CompleteTimetable(*ctx.state.db, options);
          },
          ProgramOptimiser(ctx), parent) {}

FrmCompleteBuild::FrmCompleteBuild(UiContext& ctx, Runner runner, QWidget* parent)
    : FrmCompleteBuild(ctx, std::move(runner), Optimiser(), parent) {}

FrmCompleteBuild::FrmCompleteBuild(UiContext& ctx, Runner runner, Optimiser optimiser, QWidget* parent)
    : ProgressWindow(runner ? kCaption : kOptimiseCaption,
                     runner ? "正在补排未排课程 ..." : "正在优化课表 ...", parent),
      ctx_(ctx),
      runner_(std::move(runner)),
      optimiser_(std::move(optimiser)),
      caption_(runner_ ? kCaption : kOptimiseCaption) {
  setObjectName(runner_ ? "frmCompleteBuild" : "frmOptimise");
  lblMissing = new QLabel("正在读取课表 ...", this);
  lblMissing->setObjectName("lblMissing");
  lblScore = new QLabel(this);
  lblScore->setObjectName("lblScore");
  prgOptimise = new QProgressBar(this);
  prgOptimise->setObjectName("prgOptimise");
  prgOptimise->setRange(0, kProgressSteps);
  prgOptimise->setValue(0);
  prgOptimise->setTextVisible(false);
  cmdCancel = new QPushButton("取消(&C)", this);
  cmdCancel->setObjectName("cmdCancel");
  cmdCancel->setAutoDefault(false);
  connect(cmdCancel, &QPushButton::clicked, this, &FrmCompleteBuild::Cancel);
  cmdStop = new QPushButton("停止(&S)", this);
  cmdStop->setObjectName("cmdStop");
  cmdStop->setAutoDefault(false);
  cmdStop->setToolTip("停止优化，保留目前找到的最好课表");
  connect(cmdStop, &QPushButton::clicked, this, &FrmCompleteBuild::Stop);
  layout_->insertWidget(1, lblMissing);
  layout_->insertWidget(2, lblScore);
  layout_->insertWidget(3, prgOptimise);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(cmdCancel);
  buttons->addWidget(cmdStop);
  layout_->addLayout(buttons);
  // Each phase shows its own controls; the optimisation's come up when it starts.
  lblMissing->setVisible(static_cast<bool>(runner_));
  cmdCancel->setVisible(static_cast<bool>(runner_));
  lblScore->setVisible(!runner_);
  prgOptimise->setVisible(!runner_);
  cmdStop->setVisible(!runner_);
  if (!runner_) lblScore->setText("正在读取课表 ...");
}

FrmCompleteBuild::Optimiser FrmCompleteBuild::ProgramOptimiser(UiContext& ctx) {
  return [&ctx](const OptimiserControl& control) -> Result<OptimiserReport> {
    if (!ctx.state.db) return Outcome::Fail("没有打开的数据库");
    OptimiserOptions options;
    options.lessonsPerDay = ctx.state.week.lessonsPerDay;
    options.control = control;
    return OptimiseTimetable(*ctx.state.db, options);
  };
}

void FrmCompleteBuild::LetEventsThrough() {
  // The cancel and stop buttons must answer while the search runs; the
  // window is modal, so nothing else can start meanwhile.
  if (sinceEvents_.isValid() && sinceEvents_.elapsed() < kEventsEveryMs) return;
  sinceEvents_.restart();
  QCoreApplication::processEvents();
}

void FrmCompleteBuild::ShowMissing(int missing) {
  lblMissing->setText(QString("尚未排入：%1 节").arg(missing));
  LetEventsThrough();
}

void FrmCompleteBuild::ShowOptimising() {
  optimising_ = true;
  Label1->setText("正在优化课表 ...");
  cmdCancel->hide();
  lblScore->show();
  prgOptimise->show();
  cmdStop->show();
  cmdStop->setEnabled(true);
}

void FrmCompleteBuild::ShowScore(long long score) {
  if (!startScore_) startScore_ = score;
  lblScore->setText(QString("质量分：%1（开始时 %2）").arg(score).arg(*startScore_));
  const qint64 spent = optimisingFor_.isValid() ? optimisingFor_.elapsed() : 0;
  prgOptimise->setValue(static_cast<int>(std::min<qint64>(
      kProgressSteps, spent * kProgressSteps / static_cast<qint64>(kWindowOptimiseSeconds * 1000))));
  LetEventsThrough();
}

void FrmCompleteBuild::Cancel() {
  cancel_ = true;
  cmdCancel->setEnabled(false);
  lblMissing->setText("正在取消 ...");
}

void FrmCompleteBuild::Stop() {
  stop_ = true;
  cmdStop->setEnabled(false);
  Label1->setText("正在停止优化，保留目前最好的课表 ...");
}

void FrmCompleteBuild::CloseRequested() {
  if (optimising_)
    Stop();
  else
    Cancel();
}

void FrmCompleteBuild::Work() {
  if (runner_) {
    result_ = runner_([this](int missing) { ShowMissing(missing); }, cancel_);
    // A cancelled or failed completion wrote nothing: there is nothing to improve.
    if (!result_->ok()) return;
  }
  if (!optimiser_) return;
  ShowOptimising();
  OptimiserControl control;
  control.seconds = kWindowOptimiseSeconds;
  control.progress = [this](long long score) { ShowScore(score); };
  control.cancel = &stop_;
  optimisingFor_.start();
  optimised_ = optimiser_(control);
  prgOptimise->setValue(kProgressSteps);
}

void FrmCompleteBuild::Finish() {
  QString text = preface_;
  MessageIcon icon = MessageIcon::Information;
  if (result_) {
    if (!text.isEmpty()) text += "\n";
    const Result<CompletionReport>& r = *result_;
    if (r.ok()) {
      text += CompletionReportText(*r);
    } else if (r.code() == kCompletionCancelled) {
      text += "已取消补排，课表没有改动。";
    } else {
      icon = MessageIcon::Critical;
      text += FailureText("补排课表失败！", r.outcome());
    }
  }
  if (optimised_) {
    if (!text.isEmpty()) text += "\n";
    if (optimised_->ok()) {
      text += OptimiserReportText(**optimised_);
    } else {
      // The completion, if any, stands; only the improvement is missing.
      if (icon == MessageIcon::Information) icon = result_ ? MessageIcon::Warning : MessageIcon::Critical;
      text += FailureText("优化课表失败！", optimised_->outcome());
    }
  }
  ctx_.prompter.Message(this, icon, caption_, text);
  accept();
}

QString OptimiserReportText(const OptimiserReport& r) {
  QString text = r.cancelled ? "已停止优化，保留了目前找到的最好课表。\n" : QString();
  if (r.movedLessons == 0)
    return text + QString("课表质量分 %1（越小越好），没有找到更好的安排。").arg(r.scoreAfter);
  return text + QString("课表已优化：质量分 %1 → %2（越小越好），调整了 %3 节课。")
                    .arg(r.scoreBefore)
                    .arg(r.scoreAfter)
                    .arg(r.movedLessons);
}

QString CompletionReportText(const CompletionReport& r) {
  QString text = QString("课表完成率统计:  %1％").arg(r.rate);
  if (r.missingAfter == 0) {
    text +=
        QString("\n全部课程均已排入（新排入 %1 节，调整 %2 节）。").arg(r.placedLessons).arg(r.movedLessons);
    return text;
  }
  text += QString("\n还有 %1 节课未能排入：").arg(r.missingAfter);
  for (size_t i = 0; i < r.missing.size() && i < kListedRows; ++i)
    text += "\n" + Q(MissingLine(r.missing[i]));
  if (r.missing.size() > kListedRows)
    text += QString("\n……（另有 %1 项）").arg(r.missing.size() - kListedRows);
  text += "\n可用“排课前检查”查看原因，或在“手工调整课表”中手工安排。";
  return text;
}

void RunCompleteBuild(UiContext& ctx, QWidget* parent) {
  FrmCompleteBuild window(ctx, parent);
  ctx.prompter.RunModal(window);
}

void RunOptimise(UiContext& ctx, QWidget* parent, const QString& preface) {
  FrmCompleteBuild window(ctx, FrmCompleteBuild::Runner(), FrmCompleteBuild::ProgramOptimiser(ctx), parent);
  window.SetPreface(preface);
  ctx.prompter.RunModal(window);
}

}  // namespace orv::ui
