// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/output/export_window.h"

#include <QHBoxLayout>
#include <QVBoxLayout>
#include <optional>

#include "core/calendar/term_calendar.h"
#include "core/output/excel_export.h"
#include "gui/common/editor_parts.h"
#include "gui/common/ui_context.h"

namespace fs = std::filesystem;

namespace orv::ui {

namespace {

const QString kCaption = QStringLiteral("导出课表到Excel");

// What the save dialog proposes: the timetable's name, in the database's folder.
QString SuggestedFileName(TimetableScope scope, const QString& name) {
  switch (scope) {
    case TimetableScope::Class:
    case TimetableScope::Teacher:
      return name + "课表.xlsx";
    case TimetableScope::AllClasses:
      return "全部班级课表.xlsx";
    case TimetableScope::AllTeachers:
      return "全部教师课表.xlsx";
    case TimetableScope::School:
      break;
  }
  return "全校课程总表.xlsx";
}

}  // namespace

FrmExport::FrmExport(UiContext& ctx, QWidget* parent)
    : OutputWindow(
          ctx, "frmExport", kCaption,
          {"Frame1", "导出班级课表", "lblClass", "班级", "CmbClass", "CmdPrevClass", "上一班级",
           "CmdNextClass", "下一班级", "cmdExportClass", "导出选定班级", "cmdExportAllClass", "导出全部班级"},
          {"Frame2", "导出教师课表", "Label1", "教师", "CmbTeacher", "CmdPrevTeacher", "上一教师",
           "CmdNextTeacher", "下一教师", "cmdExportTeacher", "导出选定教师", "cmdExportAllTeacher",
           "导出全部教师"},
          parent) {
  cmdExportClass = classes_.one;
  cmdExportAllClass = classes_.all;
  cmdExportTeacher = teachers_.one;
  cmdExportAllTeacher = teachers_.all;

  CmdExportTotal = MakeCommandButton(this, "CmdExportTotal", "导出总表");
  cmdOK = MakeCommandButton(this, "cmdOK", "退出(&Q)");
  auto* row = new QHBoxLayout;
  row->addWidget(CmdExportTotal);
  row->addStretch();
  row->addWidget(cmdOK);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(Frame1);
  layout->addWidget(Frame2);
  layout->addLayout(row);

  Connect(CmdExportTotal, cmdOK);
}

QString FrmExport::AskExportFileName(TimetableScope scope, const QString& name) {
  const fs::path folder = ctx_.state.db->Path().parent_path();
  const QString suggested = Q((folder / S(SuggestedFileName(scope, name))).string());
  return ctx_.prompter.SaveFileName(this, "保存为Excel文件", kExcelFilter, suggested);
}

void FrmExport::Execute(TimetableScope scope, const OutputChoice& choice) {
  const QString path = AskExportFileName(scope, choice.label);
  if (path.isEmpty()) return;
  const std::optional<Outcome> result = Run(scope, choice.code, path);
  if (!result) return;
  if (*result)
    Say(MessageIcon::Information, "课表导出成功");
  else if (result->code() == kNoTimetableData)
    Say(MessageIcon::Information, Q(NoTimetableMessage(scope)));
  else
    // The reason the file system gave (folder, permission, full disk), never
    // a hint at Office, which the export does not use.
    Say(MessageIcon::Critical,
        "课表导出失败！" + Q(result->message()) + " (ret = " + QString::number(result->code()) + ")");
}

std::optional<Outcome> FrmExport::Run(TimetableScope scope, const QString& code, const QString& path) {
  std::optional<WaitCursor> wait(std::in_place);
  const AppState& state = ctx_.state;
  const std::optional<std::vector<TimetableRow>> rows = ReadRows(scope, code, "课表导出失败！", wait);
  if (!rows) return std::nullopt;
  if (rows->empty()) return Outcome::Fail("", kNoTimetableData);
  // An unreadable calendar only leaves the overview title's blanks.
  const Result<TermCalendar> term = LoadTermCalendar(*state.db);
  return ExportTimetable(scope, S(path), *rows, state.settings().GetSchoolName(), state.week, nullptr,
                         term ? term->start : std::nullopt);
}

}  // namespace orv::ui
