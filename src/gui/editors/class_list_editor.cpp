// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/editors/class_list_editor.h"

#include <QGridLayout>
#include <QHBoxLayout>

#include "core/database/code_lists.h"
#include "core/database/record_names.h"

namespace orv::ui {
namespace {

const QString kCaption = QStringLiteral("班级名单");
const QString kCheckTitle = QStringLiteral("输入信息检查");

QString MissingMessage(ClassInput input) {
  switch (input) {
    case ClassInput::Grade:
      return QStringLiteral("请选择年级。");
    case ClassInput::ClassNumber:
      return QStringLiteral("请选择班级。");
    case ClassInput::Name:
      return QStringLiteral("请输入班级名称。");
    case ClassInput::FullName:
      return QStringLiteral("请输入班级全称。");
    case ClassInput::ShortName:
      return QStringLiteral("请输入班级简称。");
  }
  return {};
}

}  // namespace

ClassListEditor::ClassListEditor(UiContext& ctx, QWidget* parent) : QDialog(parent), ctx_(ctx) {
  setObjectName("frmClassInput");
  setWindowTitle(kCaption);

  auto* fraData = new QGroupBox(this);
  fraData->setObjectName("fraData");
  auto* grid = new QGridLayout(fraData);

  auto* lblCode = new QLabel(QStringLiteral("班级"), fraData);
  lblCode->setObjectName("lblCode");
  grade_ = new QComboBox(fraData);
  grade_->setObjectName("cmbGrade");
  for (int grade = 0; grade < kGradeCount; ++grade) grade_->addItem(Q(GradeEntryText(grade)));
  number_ = new QComboBox(fraData);
  number_->setObjectName("cmbClass");
  for (int n = 1; n <= kClassNumberCount; ++n) number_->addItem(QString::number(n));
  auto* label1 = new QLabel(QStringLiteral("班"), fraData);
  label1->setObjectName("Label1");
  auto* line = new QHBoxLayout;
  line->addWidget(grade_, 1);
  line->addWidget(number_, 1);
  line->addWidget(label1);
  grid->addWidget(lblCode, 0, 0);
  grid->addLayout(line, 0, 1);

  auto addBox = [&](int row, const char* labelName, const QString& caption, const char* boxName) {
    auto* label = new QLabel(caption, fraData);
    label->setObjectName(labelName);
    auto* box = new QLineEdit(fraData);
    box->setObjectName(boxName);
    box->setMaxLength(10);
    label->setBuddy(box);
    grid->addWidget(label, row, 0);
    grid->addWidget(box, row, 1);
    return box;
  };
  name_ = addBox(1, "lblName", QStringLiteral("班级名称"), "txtName");
  fullName_ = addBox(2, "lblFullName", QStringLiteral("班级全称"), "txtFullName");
  shortName_ = addBox(3, "lblShortName", QStringLiteral("班级简称"), "txtShortName");

  OpButtons op = MakeOpButtons(this);
  connect(op.append, &QPushButton::clicked, this, [this] { AppendRecord(); });
  connect(op.modify, &QPushButton::clicked, this, [this] { ModifyRecord(); });
  connect(op.remove, &QPushButton::clicked, this, [this] { DeleteRecord(); });
  connect(op.ok, &QPushButton::clicked, this, &QDialog::accept);

  list_ = new RecordList("lstAllRecord",
                         {QStringLiteral("班级代码"), QStringLiteral("班级名称"), QStringLiteral("班级全称"),
                          QStringLiteral("班级简称")},
                         {1700, 2000, 2000, 2000}, this);
  connect(list_, &QTreeWidget::itemClicked, this, [this] { FillFromSelected(); });
  connect(list_, &RecordList::deletePressed, this, [this] { DeleteRecord(); });
  status_ = new StatusPanels(1, this);

  LayOutListEditor(this, fraData, op.frame, list_, status_);

  connect(grade_, &QComboBox::currentIndexChanged, this, [this] { ComposeNames(); });
  connect(number_, &QComboBox::currentIndexChanged, this, [this] { ComposeNames(); });

  // No key stores a class: the names are checked by eye before appending.
  auto* keys = new KeyRouter(this);
  auto focus = [](QWidget* w) { return [w] { w->setFocus(Qt::OtherFocusReason); }; };
  keys->On(name_, Qt::Key_Return, focus(fullName_));
  keys->On(name_, Qt::Key_Down, focus(fullName_));
  keys->On(fullName_, Qt::Key_Return, focus(shortName_));
  keys->On(fullName_, Qt::Key_Down, focus(shortName_));
  keys->On(fullName_, Qt::Key_Up, focus(name_));
  keys->On(shortName_, Qt::Key_Up, focus(fullName_));
  keys->On(shortName_, Qt::Key_Return, [] {});
  keys->On(shortName_, Qt::Key_Down, [] {});

  Load();
}

void ClassListEditor::Load() {
  for (const CodeRecord& r : LoadCodeRecords(*ctx_.state.db, CodeTable::Class))
    list_->AddRow({Q(r.code), Q(r.name), Q(r.fullName), Q(r.shortName)});
  grade_->setCurrentIndex(-1);
  number_->setCurrentIndex(-1);
  ClearInput();
}

QString ClassListEditor::CurrentCode() const {
  return QString::number(grade_->currentIndex()) + QString::number(number_->currentIndex() + 1);
}

ClassNames ClassListEditor::Typed() const {
  return {S(name_->text()), S(fullName_->text()), S(shortName_->text())};
}

void ClassListEditor::ComposeNames() {
  if (grade_->currentIndex() < 0 || number_->currentIndex() < 0) {
    ClearInput();
    return;
  }
  if (const auto names = ComposeClassNames(grade_->currentIndex(), number_->currentIndex() + 1)) {
    name_->setText(Q(names->name));
    fullName_->setText(Q(names->fullName));
    shortName_->setText(Q(names->shortName));
  }
}

void ClassListEditor::FillFromSelected() {
  QTreeWidgetItem* row = list_->SelectedRow();
  if (row == nullptr) return;
  const ClassCodeParts parts = ParseClassCode(S(row->text(0)));
  if (!parts.grade) return;
  grade_->setCurrentIndex(*parts.grade);
  if (!parts.number) return;
  number_->setCurrentIndex(*parts.number - 1);
  name_->setText(row->text(1));
  fullName_->setText(row->text(2));
  shortName_->setText(row->text(3));
}

bool ClassListEditor::CheckInput() {
  const std::vector<ClassInput> missing =
      MissingClassInputs(grade_->currentIndex(), number_->currentIndex(), Typed());
  auto mark = [&](QWidget* w, ClassInput input) {
    MarkInput(w, std::find(missing.begin(), missing.end(), input) != missing.end());
  };
  mark(grade_, ClassInput::Grade);
  mark(number_, ClassInput::ClassNumber);
  mark(name_, ClassInput::Name);
  mark(fullName_, ClassInput::FullName);
  mark(shortName_, ClassInput::ShortName);
  if (missing.empty()) return false;
  QWidget* const widgets[] = {grade_, number_, name_, fullName_, shortName_};
  widgets[static_cast<int>(missing.front())]->setFocus(Qt::OtherFocusReason);
  ctx_.prompter.Message(this, MessageIcon::Warning, kCheckTitle, MissingMessage(missing.front()));
  return true;
}

void ClassListEditor::ClearInput() {
  name_->clear();
  fullName_->clear();
  shortName_->clear();
}

// Unlike a teacher's, a class's name is refused when another class has it:
// the editor composes names from grade and number, so a name that repeats
// is a slip in editing one by hand, and every class selector of the program
// lists classes by name alone.
bool ClassListEditor::NameTaken(const CodeRecord& trimmed) {
  const Result<std::vector<NamedRecord>> others =
      OtherRecordsNamed(*ctx_.state.db, CodeTable::Class, trimmed.name, trimmed.code);
  if (!others || others->empty()) return false;
  MarkInput(name_, true);
  name_->setFocus(Qt::OtherFocusReason);
  ctx_.prompter.Message(
      this, MessageIcon::Warning, kCheckTitle,
      QStringLiteral("已有同名的班级：%1。班级名称不能重复，请修改班级名称。").arg(Q(RecordLabels(*others))));
  return true;
}

bool ClassListEditor::AppendRecord() {
  if (CheckInput()) return true;
  const ClassNames typed = Typed();
  const std::string code = S(CurrentCode());
  const CodeRecord record{code, typed.name, typed.fullName, typed.shortName};
  if (NameTaken(TrimmedRecord(record))) return true;
  if (Outcome added = AppendCodeRecord(*ctx_.state.db, CodeTable::Class, record); !added) {
    if (added.code() == kDuplicateCode)
      ctx_.prompter.Message(this, MessageIcon::Information, Q(ctx_.state.appTitle), Q(added.message()));
    else
      ReportAddFailed(status_, ctx_.prompter, this, added);
    return true;
  }
  status_->SetPanel(1, QStringLiteral("添加记录成功！添加了1条记录"));
  const CodeRecord r = TrimmedRecord(record);
  list_->SelectRow(list_->AddRow({Q(r.code), Q(r.name), Q(r.fullName), Q(r.shortName)}));
  ClearInput();
  return false;
}

bool ClassListEditor::ModifyRecord() {
  QTreeWidgetItem* selected = SelectedRowOrWarn(list_, ctx_.prompter, this, kCaption);
  if (selected == nullptr) return true;
  // With a selector empty there is no code to compare: report what is missing.
  if (grade_->currentIndex() >= 0 && number_->currentIndex() >= 0 && CurrentCode() != selected->text(0)) {
    MarkInput(grade_, true);
    MarkInput(number_, true);
    grade_->setFocus(Qt::OtherFocusReason);
    ctx_.prompter.Message(this, MessageIcon::Warning, kCheckTitle, QStringLiteral("班级代码不能修改！"));
    return true;
  }
  if (CheckInput()) return true;
  const ClassNames t = Typed();
  const CodeRecord r = TrimmedRecord({S(CurrentCode()), t.name, t.fullName, t.shortName});
  QTreeWidgetItem* row = list_->FindRow(Q(r.code));
  if (row != nullptr && row->text(1) != Q(r.name) && NameTaken(r)) return true;
  const Outcome modified = row == nullptr ? Outcome::Fail({}, kRecordNotFound)
                                          : ModifyCodeRecord(*ctx_.state.db, CodeTable::Class, r);
  if (!modified) {
    ReportModifyFailed(status_, ctx_.prompter, this, Q(r.code), modified);
    return true;
  }
  status_->SetPanel(1, QStringLiteral("修改记录成功！修改了1条记录"));
  row->setText(1, Q(r.name));
  row->setText(2, Q(r.fullName));
  row->setText(3, Q(r.shortName));
  list_->SelectRow(row);
  return false;
}

bool ClassListEditor::DeleteRecord() {
  if (SelectedRowOrWarn(list_, ctx_.prompter, this, kCaption) == nullptr) return true;
  if (CheckInput()) return true;
  const QString code = CurrentCode();
  const QString name = Q(TrimBlanks(S(name_->text())));
  if (!ctx_.prompter.AskYesNo(this, QStringLiteral("数据删除"),
                              QStringLiteral("警告： 确定要删除 '%1  %2' 吗？(Y/N)？").arg(code, name)))
    return true;
  if (Outcome deleted = DeleteCodeRecord(*ctx_.state.db, CodeTable::Class, S(code)); !deleted) {
    ReportDeleteFailed(status_, ctx_.prompter, this, name, deleted);
    return true;
  }
  status_->SetPanel(1, QStringLiteral("删除记录成功！删除了1条记录"));
  delete list_->FindRow(code);
  list_->clearSelection();
  ClearInput();
  return false;
}

}  // namespace orv::ui
