// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/output/changes_window.h"

#include <QApplication>
#include <QComboBox>
#include <QDateTime>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "core/publish/publications.h"
#include "gui/common/editor_parts.h"
#include "gui/common/gui_support.h"
#include "gui/common/ui_context.h"
#include "printing/print_timetable.h"

namespace orv::ui {

namespace {

constexpr const char* kTemplate = "NoticeA4.xml";

// The user works in the preview with the normal pointer.
class PointerWhileModal {
 public:
  PointerWhileModal() { QApplication::restoreOverrideCursor(); }
  ~PointerWhileModal() { QApplication::setOverrideCursor(Qt::WaitCursor); }
  PointerWhileModal(const PointerWhileModal&) = delete;
  PointerWhileModal& operator=(const PointerWhileModal&) = delete;
};

void AddEntries(QTreeWidget* tree, const QString& heading, const std::vector<ChangeNoticeEntry>& entries) {
  if (entries.empty()) return;
  auto* top = new QTreeWidgetItem(tree, {heading + QString("（%1）").arg(entries.size())});
  for (const ChangeNoticeEntry& e : entries) {
    auto* owner = new QTreeWidgetItem(top, {Q(e.name) + QString("（%1处）").arg(e.changes.size())});
    for (const LessonChange& c : e.changes) new QTreeWidgetItem(owner, {Q(c.text)});
  }
}

}  // namespace

FrmChanges::FrmChanges(UiContext& ctx, QWidget* parent) : QDialog(parent), ctx_(ctx) {
  setObjectName("frmChanges");
  setWindowTitle("变更通知");
  setWindowFlag(Qt::WindowContextHelpButtonHint, false);
  resize(560, 520);

  lblSince = new QLabel("与哪次发布比较", this);
  lblSince->setObjectName("lblSince");
  cmbSince = new QComboBox(this);
  cmbSince->setObjectName("cmbSince");
  cmbSince->setMinimumWidth(260);
  lblSummary = new QLabel(this);
  lblSummary->setObjectName("lblSummary");
  lblSummary->setWordWrap(true);
  lstChanges = new QTreeWidget(this);
  lstChanges->setObjectName("lstChanges");
  lstChanges->setHeaderHidden(true);
  lstChanges->setColumnCount(1);
  cmdRecord = MakeCommandButton(this, "cmdRecord", "记为新版本(&R)");
  cmdPrint = MakeCommandButton(this, "cmdPrint", "打印(&P)");
  cmdPdf = MakeCommandButton(this, "cmdPdf", "保存为PDF(&S)");
  cmdClose = MakeCommandButton(this, "cmdClose", "关闭(&C)");

  auto* since = new QHBoxLayout;
  since->addWidget(lblSince);
  since->addWidget(cmbSince);
  since->addStretch();
  since->addWidget(cmdRecord);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(new QLabel("每位有变动的教师打印一页（A4纸张）", this));
  buttons->addStretch();
  buttons->addWidget(cmdPrint);
  buttons->addWidget(cmdPdf);
  buttons->addWidget(cmdClose);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(since);
  layout->addWidget(lblSummary);
  layout->addWidget(lstChanges, 1);
  layout->addLayout(buttons);

  connect(cmdRecord, &QPushButton::clicked, this, &FrmChanges::Record);
  connect(cmdPrint, &QPushButton::clicked, this, &FrmChanges::Print);
  connect(cmdPdf, &QPushButton::clicked, this, &FrmChanges::SavePdf);
  connect(cmdClose, &QPushButton::clicked, this, &QDialog::reject);
  LoadPublications();
  connect(cmbSince, &QComboBox::currentIndexChanged, this, &FrmChanges::ShowNotice);
  ShowNotice();
}

void FrmChanges::Fail(const QString& headline, const Outcome& why) {
  ctx_.prompter.Message(this, MessageIcon::Critical, windowTitle(), FailureText(headline, why));
}

void FrmChanges::LoadPublications() {
  const QSignalBlocker quiet(cmbSince);  // the caller shows the notice once the list is whole
  cmbSince->clear();
  if (!ctx_.state.db) return;
  const Result<std::vector<Publication>> all = ListPublications(*ctx_.state.db);
  if (!all) return Fail("读取发布记录失败！", all.outcome());
  // Newest first: the last publication is what teachers hold now.
  for (auto p = all->rbegin(); p != all->rend(); ++p)
    cmbSince->addItem(QString("第%1次发布（%2）").arg(p->version).arg(Q(p->publishedAt)), p->version);
}

void FrmChanges::ShowNotice() {
  lstChanges->clear();
  notice_.reset();
  const bool published = cmbSince->count() > 0;
  cmbSince->setEnabled(published);
  if (published && ctx_.state.db) {
    Result<ChangeNotice> read =
        ChangesSince(*ctx_.state.db, ctx_.state.week, cmbSince->currentData().toInt());
    if (!read)
      Fail("读取变更失败！", read.outcome());
    else
      notice_ = std::move(read).value();
  }
  if (!published) {
    lblSummary->setText(
        "还没有发布过课表。发布网页课表（课表操作 → "
        "发布网页课表）或点「记为新版本」之后，这里列出此后课表的变动。");
  } else if (!notice_) {
    lblSummary->setText("无法读取变动。");
  } else if (notice_->Empty()) {
    lblSummary->setText(Q(SinceText(*notice_)) + "没有变动。");
  } else {
    lblSummary->setText(Q(SinceText(*notice_)) + QString("，%1位教师、%2个班级的课有变动：")
                                                     .arg(notice_->teachers.size())
                                                     .arg(notice_->classes.size()));
    AddEntries(lstChanges, "教师", notice_->teachers);
    AddEntries(lstChanges, "班级", notice_->classes);
    lstChanges->expandAll();
  }
  const bool printable = notice_ && !notice_->teachers.empty();
  cmdPrint->setEnabled(printable);
  cmdPdf->setEnabled(printable);
}

void FrmChanges::Record() {
  if (!ctx_.state.db) return;
  TimetableDb& db = *ctx_.state.db;
  const int next = cmbSince->count() > 0 ? cmbSince->itemData(0).toInt() + 1 : 1;
  if (!ctx_.prompter.AskYesNo(
          this, windowTitle(),
          QString("把现在的课表记为第%1次发布吗？\n以后的变更通知默认与这个版本比较。").arg(next)))
    return;
  Result<PublishedSchool> school =
      ReadPublishedSchool(db, ctx_.state.week, ctx_.state.settings().GetSchoolName());
  if (!school) return Fail("记录失败！", school.outcome());
  const Result<Publication> recorded =
      RecordPublication(db, *school, S(QDateTime::currentDateTime().toString("yyyy-MM-dd HH:mm")));
  if (!recorded) return Fail("记录失败！", recorded.outcome());
  LoadPublications();  // the new version comes first and is selected
  ShowNotice();
  ctx_.prompter.Message(this, MessageIcon::Information, windowTitle(),
                        QString("已记为第%1次发布").arg(recorded->version));
}

void FrmChanges::Print() {
  if (!notice_ || notice_->teachers.empty()) return;
  Outcome printed;
  {
    WaitCursor wait;
    ScopedPreviewRunner preview([this](QDialog& dialog) {
      PointerWhileModal pointer;
      return ctx_.prompter.RunModal(dialog);
    });
    const std::string school = ctx_.state.settings().GetSchoolName();
    printed = PrintPages(NoticePrintData(*notice_, school), BySchool(PrintTarget::Preview(), school),
                         PrintTemplatePath(ctx_.state.programDir, kTemplate));
  }
  if (printed.code() == kPrintCancelled) return;  // the user closed the preview
  if (printed)
    ctx_.prompter.Message(this, MessageIcon::Information, windowTitle(), "打印完成");
  else
    Fail("打印失败！", printed);
}

void FrmChanges::SavePdf() {
  if (!notice_ || notice_->teachers.empty()) return;
  QString file = ctx_.prompter.SaveFileName(this, "保存为PDF", "PDF 文件 (*.pdf)",
                                            Q((ctx_.state.programDir / "变更通知.pdf").string()));
  if (file.isEmpty()) return;
  if (!file.endsWith(".pdf", Qt::CaseInsensitive)) file += ".pdf";
  Outcome saved;
  {
    WaitCursor wait;
    const std::string school = ctx_.state.settings().GetSchoolName();
    saved = PrintPages(NoticePrintData(*notice_, school), BySchool(PrintTarget::Pdf(S(file)), school),
                       PrintTemplatePath(ctx_.state.programDir, kTemplate));
  }
  if (saved)
    ctx_.prompter.Message(this, MessageIcon::Information, windowTitle(), "已保存：" + file);
  else
    Fail("保存PDF失败！", saved);
}

}  // namespace orv::ui
