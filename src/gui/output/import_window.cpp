// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/output/import_window.h"

#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QStyle>
#include <QVBoxLayout>
#include <algorithm>

#include "gui/common/editor_parts.h"
#include "gui/common/gui_support.h"

namespace orv::ui {

namespace {

const QString kCaption = QStringLiteral("从表格导入");
const QString kIdle = QStringLiteral("选择文件后按“预览”，先看清将要新增和修改的内容，再导入。");

const QStringList kChangeHeaders = {"工作表", "行", "操作", "项目", "内容"};
const QStringList kProblemHeaders = {"工作表", "行", "列", "问题"};

bool IsCsv(const QString& path) { return QFileInfo(path).suffix().compare("csv", Qt::CaseInsensitive) == 0; }

QString RowText(int row) { return row > 0 ? QString::number(row) : QString(); }

QString CountsText(const ImportCounts& c) {
  return QString("新增 %1，修改 %2，不变 %3").arg(c.added).arg(c.changed).arg(c.kept);
}

// Additions and changes stand out from the unchanged records, which a merge
// of a school's own export lists by the hundred.
QColor ActionColour(ImportAction action) {
  switch (action) {
    case ImportAction::Add:
      return QColor(0, 110, 0);
    case ImportAction::Change:
      return QColor(0, 70, 170);
    case ImportAction::Keep:
      break;
  }
  return QColor(120, 120, 120);
}

void FillRow(QTableWidget* table, int row, const QStringList& texts, const QColor& colour) {
  for (int column = 0; column < texts.size(); ++column) {
    auto* item = new QTableWidgetItem(texts[column]);
    item->setForeground(colour);
    item->setToolTip(texts[column]);
    table->setItem(row, column, item);
  }
}

// "班级 3 个、教师 5 位、课表中 120 节课": the non-empty parts of what
// Replace clears, in the order a school thinks of its data; "" for nothing.
QString ClearingText(const ImportClearing& c) {
  const std::pair<int, const char*> parts[] = {
      {c.classes, "班级 %1 个"},          {c.courses, "课程 %1 门"},      {c.teachers, "教师 %1 位"},
      {c.rooms, "公共教室 %1 个"},        {c.planRows, "教学计划 %1 行"}, {c.lessons, "课表中 %1 节课"},
      {c.restrictions, "时间限制 %1 条"}, {c.rules, "排课规则 %1 条"}};
  QStringList texts;
  for (const auto& [count, format] : parts)
    if (count > 0) texts << QString(format).arg(count);
  return texts.join("、");
}

}  // namespace

FrmImport::FrmImport(UiContext& ctx, QWidget* parent) : QDialog(parent), ctx_(ctx) {
  setObjectName("frmImport");
  setWindowTitle(kCaption);
  setWindowFlag(Qt::WindowContextHelpButtonHint, false);
  resize(860, 580);

  txtFile = new QLineEdit(this);
  txtFile->setObjectName("txtFile");
  txtFile->setReadOnly(true);
  txtFile->setPlaceholderText("尚未选择文件");
  cmdBrowse = MakeCommandButton(this, "cmdBrowse", "选择文件…");

  cmbKind = new QComboBox(this);
  cmbKind->setObjectName("cmbKind");
  cmbKind->addItem("按文件名判断", -1);
  for (const SheetInfo& sheet : ExchangeSheets())
    if (sheet.kind != SheetKind::Guide) cmbKind->addItem(Q(sheet.name), static_cast<int>(sheet.kind));
  cmbKind->setEnabled(false);
  cmbKind->setToolTip("一个 CSV 文件只放一种数据；文件名不是工作表名称（如 教师.csv）时在这里选择。");

  auto* mode = new QGroupBox("导入方式", this);
  mode->setObjectName("fraMode");
  optMerge = new QRadioButton("合并：按编号或名称更新已有记录，其余新增", mode);
  optMerge->setObjectName("optMerge");
  optMerge->setChecked(true);
  optReplace = new QRadioButton("替换：先清除全部基础数据和课表", mode);
  optReplace->setObjectName("optReplace");
  chkCreateNamed = new QCheckBox("教学计划中出现的新课程、教师和班级自动新建", mode);
  chkCreateNamed->setObjectName("chkCreateNamed");
  auto* modeLayout = new QVBoxLayout(mode);
  modeLayout->addWidget(optMerge);
  modeLayout->addWidget(optReplace);
  modeLayout->addWidget(chkCreateNamed);

  cmdPreview = MakeCommandButton(this, "cmdPreview", "预览");
  lblSummary = new QLabel(kIdle, this);
  lblSummary->setObjectName("lblSummary");
  lblSummary->setWordWrap(true);

  chkShowKept = new QCheckBox("显示不变的记录", this);
  chkShowKept->setObjectName("chkShowKept");

  grdPreview = new QTableWidget(this);
  grdPreview->setObjectName("grdPreview");
  grdPreview->setEditTriggers(QAbstractItemView::NoEditTriggers);
  grdPreview->setSelectionBehavior(QAbstractItemView::SelectRows);
  grdPreview->setAlternatingRowColors(true);
  grdPreview->verticalHeader()->hide();
  grdPreview->horizontalHeader()->setStretchLastSection(true);

  lstWarnings = new QListWidget(this);
  lstWarnings->setObjectName("lstWarnings");
  lstWarnings->setWordWrap(true);
  lstWarnings->setMaximumHeight(96);
  lstWarnings->hide();

  cmdImport = MakeCommandButton(this, "cmdImport", "导入");
  cmdClose = MakeCommandButton(this, "cmdClose", "关闭");

  auto* fileRow = new QHBoxLayout;
  fileRow->addWidget(new QLabel("文件", this));
  fileRow->addWidget(txtFile, 1);
  fileRow->addWidget(cmdBrowse);
  auto* kindRow = new QHBoxLayout;
  kindRow->addWidget(new QLabel("CSV 文件的内容", this));
  kindRow->addWidget(cmbKind);
  kindRow->addStretch();
  auto* previewRow = new QHBoxLayout;
  previewRow->addWidget(cmdPreview, 0, Qt::AlignTop);
  previewRow->addWidget(lblSummary, 1);
  previewRow->addWidget(chkShowKept, 0, Qt::AlignTop);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(cmdImport);
  buttons->addWidget(cmdClose);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(fileRow);
  layout->addLayout(kindRow);
  layout->addWidget(mode);
  layout->addLayout(previewRow);
  layout->addWidget(grdPreview, 1);
  layout->addWidget(lstWarnings);
  layout->addLayout(buttons);

  connect(cmdBrowse, &QPushButton::clicked, this, &FrmImport::Browse);
  connect(cmbKind, &QComboBox::currentIndexChanged, this, &FrmImport::ClearPreview);
  connect(optMerge, &QRadioButton::toggled, this, &FrmImport::ClearPreview);
  connect(chkCreateNamed, &QCheckBox::toggled, this, &FrmImport::ClearPreview);
  connect(chkShowKept, &QCheckBox::toggled, this, &FrmImport::ShowKeptRows);
  connect(cmdPreview, &QPushButton::clicked, this, &FrmImport::Preview);
  connect(cmdImport, &QPushButton::clicked, this, &FrmImport::Import);
  connect(cmdClose, &QPushButton::clicked, this, &QDialog::reject);
  ClearPreview();
}

void FrmImport::Browse() {
  const QString chosen = ctx_.prompter.OpenFileName(this, "选择要导入的文件", kImportFilter);
  if (!chosen.isEmpty()) SetFile(chosen);
}

void FrmImport::SetFile(const QString& path) {
  txtFile->setText(path);
  txtFile->setToolTip(path);
  // The kind chosen for one CSV file says nothing about the next one.
  cmbKind->setCurrentIndex(0);
  cmbKind->setEnabled(IsCsv(path));
  ClearPreview();
}

void FrmImport::ClearPreview() {
  plan_.reset();
  grdPreview->clear();
  grdPreview->setRowCount(0);
  grdPreview->setColumnCount(0);
  lstWarnings->clear();
  lstWarnings->hide();
  lblSummary->setText(kIdle);
  cmdImport->setEnabled(false);
}

std::optional<SheetKind> FrmImport::ChosenKind() const {
  const int kind = cmbKind->currentData().toInt();
  if (!cmbKind->isEnabled() || kind < 0) return std::nullopt;
  return static_cast<SheetKind>(kind);
}

ImportOptions FrmImport::ChosenOptions() const {
  ImportOptions options;
  options.mode = optReplace->isChecked() ? ImportMode::Replace : ImportMode::Merge;
  options.createNamed = chkCreateNamed->isChecked();
  return options;
}

void FrmImport::Fail(const QString& headline, const Outcome& why) {
  ctx_.prompter.Message(this, MessageIcon::Critical, kCaption, FailureText(headline, why));
}

bool FrmImport::Preview() {
  ClearPreview();
  if (txtFile->text().isEmpty()) {
    ctx_.prompter.Message(this, MessageIcon::Warning, kCaption, "请先选择要导入的文件。");
    return false;
  }
  if (!ctx_.state.db) {
    ctx_.prompter.Message(this, MessageIcon::Critical, kCaption, "没有打开的数据库。");
    return false;
  }
  std::optional<WaitCursor> wait(std::in_place);
  Result<std::vector<ImportSheet>> sheets = ReadImportFile(S(txtFile->text()), ChosenKind());
  if (!sheets) {
    wait.reset();
    Fail("读取文件失败！", sheets.outcome());
    return false;
  }
  Result<ImportPlan> plan = PlanImport(*ctx_.state.db, *sheets, ChosenOptions(), ctx_.state.week);
  wait.reset();
  if (!plan) {
    Fail("预览导入失败！", plan.outcome());
    return false;
  }
  plan_ = std::move(*plan);
  ShowPlan();
  return true;
}

void FrmImport::ShowPlan() {
  const ImportPlan& plan = *plan_;
  if (!plan.Ok()) {
    lblSummary->setText(QString("发现 %1 个问题，不能导入。请按所列的工作表、行和列改正文件，再预览。")
                            .arg(plan.problems.size()));
    grdPreview->setColumnCount(kProblemHeaders.size());
    grdPreview->setHorizontalHeaderLabels(kProblemHeaders);
    grdPreview->setRowCount(static_cast<int>(plan.problems.size()));
    int row = 0;
    for (const ImportProblem& p : plan.problems)
      FillRow(grdPreview, row++, {Q(p.sheet), RowText(p.row), Q(p.column), Q(p.reason)}, QColor(170, 0, 0));
  } else {
    const bool replace = plan.options.mode == ImportMode::Replace;
    const ImportCounts total = plan.Total();
    // Nothing to add or change: a merge would write nothing, and an empty
    // file must not stand for "clear everything" in replace mode.
    const bool writes = total.added + total.changed > 0;
    QString summary = plan.changes.empty() ? "文件中没有可导入的数据。" : CountsText(total) + "。";
    if (!writes && !plan.changes.empty()) summary += "文件与数据库相同，没有要导入的内容。";
    if (replace && writes) {
      const QString cleared = ClearingText(plan.clearing);
      summary += cleared.isEmpty() ? "数据库中原有的数据为空，无需清除。"
                                   : "导入前将清除全部基础数据和课表：" + cleared + "。";
    }
    lblSummary->setText(summary);
    grdPreview->setColumnCount(kChangeHeaders.size());
    grdPreview->setHorizontalHeaderLabels(kChangeHeaders);
    grdPreview->setRowCount(static_cast<int>(plan.changes.size()));
    int row = 0;
    for (const ImportChange& c : plan.changes)
      FillRow(grdPreview, row++,
              {Q(SheetOf(c.sheet).name), RowText(c.row), Q(ActionText(c.action)), Q(c.item), Q(c.detail)},
              ActionColour(c.action));
    cmdImport->setEnabled(writes);
  }
  const QIcon warning = style()->standardIcon(QStyle::SP_MessageBoxWarning);
  for (const std::string& w : plan.warnings) lstWarnings->addItem(new QListWidgetItem(warning, Q(w)));
  lstWarnings->setVisible(!plan.warnings.empty());
  chkShowKept->setEnabled(plan.Ok());
  grdPreview->resizeColumnsToContents();
  // Long texts are cut short (their tooltips hold them whole) rather than widen the table.
  for (int column = 0; column + 1 < grdPreview->columnCount(); ++column)
    grdPreview->setColumnWidth(column, std::min(grdPreview->columnWidth(column), 260));
  // Only now: sizing skips hidden rows, and a shown row must not find its column cut short.
  ShowKeptRows();
}

void FrmImport::ShowKeptRows() {
  if (!plan_ || !plan_->Ok()) return;
  for (int row = 0; row < grdPreview->rowCount(); ++row)
    grdPreview->setRowHidden(row,
                             plan_->changes[row].action == ImportAction::Keep && !chkShowKept->isChecked());
}

bool FrmImport::Import() {
  if (!plan_ || !cmdImport->isEnabled()) return false;
  const ImportPlan& plan = *plan_;
  // Replacing what holds nothing loses nothing, so only a real loss is asked about.
  if (plan.options.mode == ImportMode::Replace && plan.clearing.Any() &&
      !ctx_.prompter.AskYesNo(
          this, kCaption,
          "将清除全部基础数据和课表（" + ClearingText(plan.clearing) + "），然后导入。确定吗？"))
    return false;
  std::optional<WaitCursor> wait(std::in_place);
  const Outcome applied = ApplyImport(*ctx_.state.db, plan);
  wait.reset();
  if (!applied) {
    Fail("导入失败！", applied);
    return false;
  }
  const ImportCounts total = plan.Total();
  ctx_.prompter.Message(this, MessageIcon::Information, kCaption,
                        QString("导入完成：新增 %1，修改 %2。").arg(total.added).arg(total.changed));
  // The preview now describes a database that no longer exists.
  accept();
  return true;
}

void ShowImport(UiContext& ctx, QWidget* parent) {
  FrmImport window(ctx, parent);
  ctx.prompter.RunModal(window);
}

}  // namespace orv::ui
