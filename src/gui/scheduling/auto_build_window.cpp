#include "gui/scheduling/auto_build_window.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QLabel>
#include <QTimer>
#include <QVBoxLayout>

#include "gui/scheduling/confirm_window.h"
#include "gui/shell/ui_context.h"

namespace orv::ui {

namespace {
const QString kCaption = "自动生成课表";
}

FrmAutoBuild::FrmAutoBuild(UiContext& ctx, QWidget* parent)
    : FrmAutoBuild(
          ctx,
          [&ctx](const BuildProgress& progress) -> Result<BuildResult> {
            if (!ctx.state.db) return Outcome::Fail("没有打开的数据库");
            return BuildTimetable(*ctx.state.db, ctx.state.lessonsPerDay, ProgramRandom(), progress);
          },
          parent) {}

FrmAutoBuild::FrmAutoBuild(UiContext& ctx, Runner runner, QWidget* parent)
    : QDialog(parent), ctx_(ctx), runner_(std::move(runner)) {
  setObjectName("frmAutoBuild");
  setWindowTitle(kCaption);
  setWindowFlag(Qt::WindowContextHelpButtonHint, false);
  setMinimumSize(360, 120);

  Label1 = new QLabel("正在自动生成课表 ...", this);
  Label1->setObjectName("Label1");
  lblStatus = new QLabel(this);
  lblStatus->setObjectName("lblStatus");
  lblStatus->setMinimumWidth(300);
  lblStatus->setStyleSheet("color: rgb(0,0,160); font-weight: bold;");

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(24, 20, 24, 20);
  layout->addWidget(Label1);
  layout->addWidget(lblStatus);

  Timer1 = new QTimer(this);
  Timer1->setObjectName("Timer1");
  Timer1->setInterval(500);
  connect(Timer1, &QTimer::timeout, this, &FrmAutoBuild::Tick);
  Timer1->start();
}

void FrmAutoBuild::Tick() {
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

bool FrmAutoBuild::event(QEvent* e) {
  if (e->type() == QEvent::WindowActivate) Activate();
  return QDialog::event(e);
}

void FrmAutoBuild::showEvent(QShowEvent* e) {
  QDialog::showEvent(e);
  // Some platforms (offscreen, some window managers) never activate a new
  // window; being shown counts as the first activation there.
  QTimer::singleShot(0, this, &FrmAutoBuild::Activate);
}

void FrmAutoBuild::Activate() {
  ++activations_;
  if (activations_ == 1) Run();
}

void FrmAutoBuild::Run() {
  running_ = true;
  // Only paint and timer events are let through while the generation runs:
  // a click or a close request must not end the window beneath it.
  const Result<BuildResult> result =
      runner_([] { QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents); });
  running_ = false;
  Timer1->stop();
  if (result) {
    ctx_.prompter.Message(this, MessageIcon::Information, kCaption, CompletionMessage(*result));
  } else {
    const QString failed = QString::fromUtf8(kBuildFailedText.data(), qsizetype(kBuildFailedText.size()));
    ctx_.prompter.Message(this, MessageIcon::Critical, kCaption, FailureText(failed, result.outcome()));
  }
  accept();
}

void FrmAutoBuild::closeEvent(QCloseEvent* e) {
  if (running_) {
    e->ignore();
    return;
  }
  QDialog::closeEvent(e);
}

void FrmAutoBuild::reject() {
  if (!running_) QDialog::reject();
}

QString CompletionMessage(const BuildResult& result) {
  QString text = QString("课表完成率统计:  %1％").arg(result.rate);
  if (result.unplacedLessons > 0)
    text += QString("\n还有 %1 节课未能排入，请在菜单“课表操作”->“手工调整课表”中手工安排。")
                .arg(result.unplacedLessons);
  return text;
}

void RunAutoBuild(UiContext& ctx, QWidget* parent) {
  if (!AskTypedConfirmation(ctx, parent, "自动生成课表将会清除您以前排好的课表！")) return;
  FrmAutoBuild progress(ctx, parent);
  ctx.prompter.RunModal(progress);
}

}  // namespace orv::ui
