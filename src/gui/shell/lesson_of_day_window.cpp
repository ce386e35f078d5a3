// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/shell/lesson_of_day_window.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

#include "core/database/lessons_per_day.h"
#include "gui/common/ui_context.h"

namespace orv::ui {

FrmSetLessonOfDay::FrmSetLessonOfDay(UiContext& ctx, QWidget* parent) : QDialog(parent), ctx_(ctx) {
  setObjectName("frmSetLessonOfDay");
  setWindowTitle("每天课时数设置");
  setWindowFlag(Qt::WindowContextHelpButtonHint, false);

  Label1 = new QLabel("每天课时数", this);
  Label1->setObjectName("Label1");
  Opt6 = new QRadioButton("6节", this);
  Opt6->setObjectName("Opt6");
  Opt7 = new QRadioButton("7节", this);
  Opt7->setObjectName("Opt7");
  cmdOk = new QPushButton("确定", this);
  cmdOk->setObjectName("cmdOk");
  cmdOk->setDefault(true);
  cmdCancel = new QPushButton("取消", this);
  cmdCancel->setObjectName("cmdCancel");
  cmdCancel->setAutoDefault(false);

  auto* options = new QHBoxLayout;
  options->addWidget(Label1);
  options->addSpacing(16);
  options->addWidget(Opt6);
  options->addWidget(Opt7);
  options->addStretch();
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(cmdOk);
  buttons->addWidget(cmdCancel);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(24, 20, 24, 14);
  layout->addLayout(options);
  layout->addSpacing(16);
  layout->addLayout(buttons);

  // Anything but 6 shows as 7, so a hand-written value is saved as 7.
  (ctx_.state.week.lessonsPerDay == 6 ? Opt6 : Opt7)->setChecked(true);

  connect(cmdOk, &QPushButton::clicked, this, &FrmSetLessonOfDay::OnOk);
  connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
}

void FrmSetLessonOfDay::OnOk() {
  const int lessons = Opt6->isChecked() ? 6 : 7;
  const Settings settings = ctx_.state.settings();
  const auto saveSetting = [&] { return settings.SetLessonsPerDay(lessons); };
  const auto failed = [&](const Outcome& why) {
    ctx_.prompter.Message(this, MessageIcon::Critical, windowTitle(), FailureText("存盘失败！", why));
  };
  if (!ctx_.state.db) {
    if (Outcome saved = saveSetting(); !saved) return failed(saved);
  } else {
    // A shorter day takes lessons with it: only after the user has seen how many.
    const Result<LessonsBeyondDay> beyond = CountLessonsBeyondDay(*ctx_.state.db, lessons);
    if (!beyond) return failed(beyond.outcome());
    if (beyond->lessons > 0 &&
        !ctx_.prompter.AskYesNo(
            this, windowTitle(),
            QString("改为每天%1节后，将删除第%2节的 %3 节课（其中固定课程 %4 节）。\n确定要修改吗？")
                .arg(lessons)
                .arg(lessons + 1)
                .arg(beyond->lessons)
                .arg(beyond->fixed)))
      return;
    // The database and kbxt.ini change together or not at all.
    if (Outcome changed = ChangeLessonsPerDay(*ctx_.state.db, lessons, saveSetting); !changed)
      return failed(changed);
  }
  ctx_.state.week = SchoolWeek(lessons);
  accept();
}

}  // namespace orv::ui
