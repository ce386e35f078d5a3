// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/scheduling/analysis_window.h"

#include <QApplication>
#include <QClipboard>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#include "gui/common/gui_support.h"
#include "gui/common/ui_context.h"

namespace orv::ui {

namespace {

const QString kCaption = "排课前检查";

QString Summary(const std::vector<AnalysisFinding>& findings) {
  const int blocking = CountAnalysis(findings, AnalysisSeverity::kBlocking);
  const int warnings = CountAnalysis(findings, AnalysisSeverity::kWarning);
  if (blocking == 0 && warnings == 0) return "没有发现问题，可以自动生成课表。";
  QString text = QString("发现 %1 个错误、%2 个警告。").arg(blocking).arg(warnings);
  text += blocking > 0 ? "有错误时课表不可能排满，请先修改教学计划、上课时间限制或固定课程。"
                       : "警告不妨碍排课，但值得逐条看一看。";
  return text;
}

}  // namespace

FrmAnalysis::FrmAnalysis(UiContext&, std::vector<AnalysisFinding> findings, QWidget* parent)
    : QDialog(parent), findings_(std::move(findings)) {
  setObjectName("frmAnalysis");
  setWindowTitle(kCaption);
  setWindowFlag(Qt::WindowContextHelpButtonHint, false);
  resize(760, 420);

  lblSummary = new QLabel(Summary(findings_), this);
  lblSummary->setObjectName("lblSummary");
  lblSummary->setWordWrap(true);

  lstFindings = new QListWidget(this);
  lstFindings->setObjectName("lstFindings");
  lstFindings->setWordWrap(true);
  lstFindings->setAlternatingRowColors(true);
  const QIcon error = style()->standardIcon(QStyle::SP_MessageBoxCritical);
  const QIcon warning = style()->standardIcon(QStyle::SP_MessageBoxWarning);
  for (const AnalysisFinding& f : findings_) {
    auto* item = new QListWidgetItem(f.severity == AnalysisSeverity::kBlocking ? error : warning, Q(f.text));
    item->setToolTip(Q(AnalysisLine(f)));
    lstFindings->addItem(item);
  }
  if (findings_.empty())
    lstFindings->addItem(
        new QListWidgetItem(style()->standardIcon(QStyle::SP_DialogApplyButton), "没有发现问题"));

  cmdCopy = new QPushButton("复制(&C)", this);
  cmdCopy->setObjectName("cmdCopy");
  cmdClose = new QPushButton("关闭(&X)", this);
  cmdClose->setObjectName("cmdClose");
  cmdClose->setDefault(true);
  connect(cmdCopy, &QPushButton::clicked, this, &FrmAnalysis::Copy);
  connect(cmdClose, &QPushButton::clicked, this, &QDialog::accept);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(cmdCopy);
  buttons->addWidget(cmdClose);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(lblSummary);
  layout->addWidget(lstFindings, 1);
  layout->addLayout(buttons);
}

QString FrmAnalysis::ReportText() const {
  QString text = lblSummary->text();
  for (const AnalysisFinding& f : findings_) text += "\n" + Q(AnalysisLine(f));
  return text + "\n";
}

void FrmAnalysis::Copy() { QApplication::clipboard()->setText(ReportText()); }

void RunAnalysis(UiContext& ctx, QWidget* parent) {
  Result<std::vector<AnalysisFinding>> findings = [&]() -> Result<std::vector<AnalysisFinding>> {
    WaitCursor wait;
    if (!ctx.state.db) return Outcome::Fail("没有打开的数据库");
    return AnalyzeSchool(*ctx.state.db, ctx.state.week.lessonsPerDay);
  }();
  if (!findings) {
    ctx.prompter.Message(parent, MessageIcon::Critical, kCaption,
                         FailureText("排课前检查失败！", findings.outcome()));
    return;
  }
  FrmAnalysis window(ctx, std::move(*findings), parent);
  ctx.prompter.RunModal(window);
}

}  // namespace orv::ui
