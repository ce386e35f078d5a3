#include "gui/scheduling/complete_build_window.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "gui/common/gui_support.h"
#include "gui/common/ui_context.h"

namespace orv::ui {

namespace {

const QString kCaption = "补排未排课程";
// The report lists this many rows' missing lessons; the rest are counted.
constexpr size_t kListedRows = 8;
// Events are let through this often while the search runs.
constexpr int kEventsEveryMs = 30;

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
          parent) {}

FrmCompleteBuild::FrmCompleteBuild(UiContext& ctx, Runner runner, QWidget* parent)
    : ProgressWindow(kCaption, "正在补排未排课程 ...", parent), ctx_(ctx), runner_(std::move(runner)) {
  setObjectName("frmCompleteBuild");
  lblMissing = new QLabel("正在读取课表 ...", this);
  lblMissing->setObjectName("lblMissing");
  cmdCancel = new QPushButton("取消(&C)", this);
  cmdCancel->setObjectName("cmdCancel");
  cmdCancel->setAutoDefault(false);
  connect(cmdCancel, &QPushButton::clicked, this, &FrmCompleteBuild::Cancel);
  layout_->insertWidget(1, lblMissing);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(cmdCancel);
  layout_->addLayout(buttons);
}

void FrmCompleteBuild::ShowMissing(int missing) {
  lblMissing->setText(QString("尚未排入：%1 节").arg(missing));
  // The cancel button must answer while the search runs; the window is
  // modal, so nothing else can start meanwhile.
  if (sinceEvents_.isValid() && sinceEvents_.elapsed() < kEventsEveryMs) return;
  sinceEvents_.restart();
  QCoreApplication::processEvents();
}

void FrmCompleteBuild::Cancel() {
  cancel_ = true;
  cmdCancel->setEnabled(false);
  lblMissing->setText("正在取消 ...");
}

void FrmCompleteBuild::Work() {
  result_ = runner_([this](int missing) { ShowMissing(missing); }, cancel_);
}

void FrmCompleteBuild::Finish() {
  const Result<CompletionReport>& r = *result_;
  if (r.ok())
    ctx_.prompter.Message(this, MessageIcon::Information, kCaption, CompletionReportText(*r));
  else if (r.code() == kCompletionCancelled)
    ctx_.prompter.Message(this, MessageIcon::Information, kCaption, "已取消补排，课表没有改动。");
  else
    ctx_.prompter.Message(this, MessageIcon::Critical, kCaption, FailureText("补排课表失败！", r.outcome()));
  accept();
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

}  // namespace orv::ui
