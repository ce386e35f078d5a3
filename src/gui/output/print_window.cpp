// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/output/print_window.h"

#include <QApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>
#include <optional>

#include "core/calendar/term_calendar.h"
#include "gui/common/editor_parts.h"
#include "gui/common/ui_context.h"
#include "printing/print_timetable.h"

namespace orv::ui {

namespace {

const QString kCaption = QStringLiteral("打印课表");

QLabel* PaperHint(QWidget* parent, const char* name, const QString& text) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(name);
  return label;
}

// The hourglass gives way to the normal pointer while the preview is up:
// the user works in it.
class PointerWhileModal {
 public:
  PointerWhileModal() { QApplication::restoreOverrideCursor(); }
  ~PointerWhileModal() { QApplication::setOverrideCursor(Qt::WaitCursor); }
  PointerWhileModal(const PointerWhileModal&) = delete;
  PointerWhileModal& operator=(const PointerWhileModal&) = delete;
};

}  // namespace

FrmPrint::FrmPrint(UiContext& ctx, QWidget* parent)
    : OutputWindow(
          ctx, "frmPrint", kCaption,
          {"Frame1", "班级课表打印", "lblClass", "班级", "CmbClass", "CmdPrevClass", "上一班级",
           "CmdNextClass", "下一班级", "cmdPrintClass", "选定班级打印", "cmdPrintAllClass", "全部班级打印"},
          {"Frame2", "教师课表打印", "Label1", "教师", "CmbTeacher", "CmdPrevTeacher", "上一教师",
           "CmdNextTeacher", "下一教师", "cmdPrintTeacher", "选定教师打印", "cmdPrintAllTeacher",
           "全部教师打印"},
          parent) {
  cmdPrintClass = classes_.one;
  cmdPrintAllClass = classes_.all;
  Label2 = PaperHint(Frame1, "Label2", "（A4纸张）");
  static_cast<QGridLayout*>(Frame1->layout())->addWidget(Label2, 2, 3, Qt::AlignCenter);

  cmdPrintTeacher = teachers_.one;
  cmdPrintAllTeacher = teachers_.all;
  Label3 = PaperHint(Frame2, "Label3", "（A4纸张）");
  static_cast<QGridLayout*>(Frame2->layout())->addWidget(Label3, 2, 3, Qt::AlignCenter);

  Frame3 = new QGroupBox(this);
  Frame3->setObjectName("Frame3");
  CmdPrintTotal = MakeCommandButton(Frame3, "CmdPrintTotal", "总表打印");
  Label4 = PaperHint(Frame3, "Label4", "（A3纸张）");
  cmdOK = MakeCommandButton(Frame3, "cmdOK", "退出(&Q)");
  auto* row = new QHBoxLayout(Frame3);
  row->addWidget(CmdPrintTotal);
  row->addWidget(Label4);
  row->addStretch();
  row->addWidget(cmdOK);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(Frame1);
  layout->addWidget(Frame2);
  layout->addWidget(Frame3);

  Connect(CmdPrintTotal, cmdOK);
}

void FrmPrint::Execute(TimetableScope scope, const OutputChoice& choice) {
  const std::optional<Outcome> result = Run(scope, choice);
  if (!result || result->code() == kPrintCancelled) return;  // reported, or the user closed the preview
  if (result->ok())
    Say(MessageIcon::Information, "打印完成");
  else if (result->code() == kNoTimetableData)
    Say(MessageIcon::Information, Q(result->message()));
  else
    Say(MessageIcon::Critical,
        "打印失败！(ret = " + QString::number(result->code()) + ") " + Q(result->message()));
}

namespace {
// The selection in the job title, which the print queue lists and the print
// dialog names a file after.
QString SelectionLabel(TimetableScope scope, const OutputChoice& choice) {
  switch (scope) {
    case TimetableScope::Class:
    case TimetableScope::Teacher:
      return choice.label;
    case TimetableScope::AllClasses:
      return "全部班级";
    case TimetableScope::AllTeachers:
      return "全部老师";
    case TimetableScope::School:
      return "全校总表";
  }
  return {};
}
}  // namespace

std::optional<Outcome> FrmPrint::Run(TimetableScope scope, const OutputChoice& choice) {
  const QString& code = choice.code;
  std::optional<WaitCursor> wait(std::in_place);
  const AppState& state = ctx_.state;
  const std::optional<std::vector<TimetableRow>> rows = ReadRows(scope, code, "打印失败！", wait);
  if (!rows) return std::nullopt;
  ScopedPreviewRunner preview([this](QDialog& dialog) {
    PointerWhileModal pointer;
    return ctx_.prompter.RunModal(dialog);
  });
  // The rows go to the print library in memory: no file is written that
  // another program could read, replace or point elsewhere meanwhile.
  const Result<TermCalendar> term = LoadTermCalendar(*state.db);
  return PrintTimetable(
      scope, *rows, state.settings().GetSchoolName(), state.week, state.programDir,
      PrintTarget::Preview(JobTitle(state.settings().GetSchoolName(), S(SelectionLabel(scope, choice)))),
      term ? term->start : std::nullopt);
}

}  // namespace orv::ui
