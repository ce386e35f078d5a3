// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/editors/code_list_editor.h"

#include <QGridLayout>

namespace orv::ui {
namespace {

constexpr int kBoxLength = 10;

const QString kAdded = QStringLiteral("添加记录成功！添加了1条记录");
const QString kModified = QStringLiteral("修改记录成功！修改了1条记录");
const QString kDeleted = QStringLiteral("删除记录成功！删除了1条记录");

const char* const kBoxNames[4] = {"txtCode", "txtName", "txtFullName", "txtShortName"};
const char* const kLabelNames[4] = {"lblCode", "lblName", "lblFullName", "lblShortName"};

int I(CodeField f) { return static_cast<int>(f); }

}  // namespace

const CodeListDesign& CourseListDesign() {
  static const CodeListDesign d{CodeTable::Course,
                                "frmCourseInput",
                                QStringLiteral("课程名单"),
                                {QStringLiteral("课程代码"), QStringLiteral("课程名称"),
                                 QStringLiteral("课程全称"), QStringLiteral("课程简称")},
                                {QStringLiteral("课程代码"), QStringLiteral("课程名称"),
                                 QStringLiteral("课程全称"), QStringLiteral("课程简称")},
                                {CodeField::Code, CodeField::Name, CodeField::FullName, CodeField::ShortName},
                                {{CodeField::Code, QStringLiteral("请输入课程代码。")},
                                 {CodeField::Name, QStringLiteral("请输入课程名称。")},
                                 {CodeField::FullName, QStringLiteral("请输入课程全称。")},
                                 {CodeField::ShortName, QStringLiteral("请输入课程简称。")}},
                                QStringLiteral("输入信息检查"),
                                QStringLiteral("课程代码不能修改！")};
  return d;
}

const CodeListDesign& TeacherListDesign() {
  static const CodeListDesign d{CodeTable::Teacher,
                                "frmTeacherInput",
                                QStringLiteral("老师名单"),
                                {QStringLiteral("老师代码"), QStringLiteral("老师姓名"),
                                 QStringLiteral("老师全称"), QStringLiteral("老师简称")},
                                {QStringLiteral("老师代码"), QStringLiteral("老师名称"),
                                 QStringLiteral("老师全称"), QStringLiteral("老师简称")},
                                {CodeField::Code, CodeField::Name, CodeField::FullName, CodeField::ShortName},
                                {{CodeField::Code, QStringLiteral("请输入老师代码。")},
                                 {CodeField::Name, QStringLiteral("请输入老师名称。")},
                                 {CodeField::FullName, QStringLiteral("请输入老师名称。")},
                                 {CodeField::ShortName, QStringLiteral("请输入老师名称。")}},
                                QStringLiteral("输入信息检查"),
                                QStringLiteral("教师代码不能修改！")};
  return d;
}

const CodeListDesign& ClassRoomListDesign() {
  static const CodeListDesign d{CodeTable::ClassRoom,
                                "frmClassRoomInput",
                                QStringLiteral("教室名单"),
                                {QStringLiteral("教室代码"), QStringLiteral("教室名称"),
                                 QStringLiteral("教室全称"), QStringLiteral("教室简称")},
                                {QStringLiteral("教室代码"), QStringLiteral("教室名称"),
                                 QStringLiteral("教室全称"), QStringLiteral("教室简称")},
                                {CodeField::Name, CodeField::FullName, CodeField::ShortName, CodeField::Code},
                                {{CodeField::Code, QStringLiteral("请输入教室代码。")},
                                 {CodeField::Name, QStringLiteral("请输入教室名称。")}},
                                QStringLiteral("输入检查信息"),
                                QString()};
  return d;
}

CodeListEditor::CodeListEditor(UiContext& ctx, const CodeListDesign& design, QWidget* parent)
    : QDialog(parent), ctx_(ctx), design_(design) {
  setObjectName(design.objectName);
  setWindowTitle(design.caption);

  auto* fraData = new QGroupBox(this);
  fraData->setObjectName("fraData");
  auto* grid = new QGridLayout(fraData);
  for (int i = 0; i < 4; ++i) {
    auto* box = new QLineEdit(fraData);
    box->setObjectName(kBoxNames[i]);
    box->setMaxLength(kBoxLength);
    boxes_[i] = box;
  }
  QWidget* previous = nullptr;
  int row = 0;
  for (CodeField f : design.boxOrder) {
    auto* label = new QLabel(design.labels[I(f)], fraData);
    label->setObjectName(kLabelNames[I(f)]);
    label->setBuddy(Box(f));
    grid->addWidget(label, row, 0);
    grid->addWidget(Box(f), row, 1);
    ++row;
    if (previous != nullptr) setTabOrder(previous, Box(f));
    previous = Box(f);
  }

  OpButtons op = MakeOpButtons(this);
  connect(op.append, &QPushButton::clicked, this, [this] { AppendRecord(); });
  connect(op.modify, &QPushButton::clicked, this, [this] { ModifyRecord(); });
  connect(op.remove, &QPushButton::clicked, this, [this] { DeleteRecord(); });
  connect(op.ok, &QPushButton::clicked, this, &QDialog::accept);

  list_ = new RecordList("lstAllRecord",
                         {design.headers[0], design.headers[1], design.headers[2], design.headers[3]},
                         {1700, 2000, 2000, 2000}, this);
  connect(list_, &QTreeWidget::itemClicked, this, [this] { FillFromSelected(); });
  connect(list_, &RecordList::deletePressed, this, [this] { DeleteRecord(); });

  status_ = new StatusPanels(1, this);

  LayOutListEditor(this, fraData, op.frame, list_, status_);

  // Name, full name, short name, code: Enter and the arrows walk the boxes in
  // typing order, and Enter in the code box stores the record.
  auto* keys = new KeyRouter(this);
  keys->On(Box(CodeField::Name), Qt::Key_Return, [this] { Focus(CodeField::FullName); });
  keys->On(Box(CodeField::Name), Qt::Key_Down, [this] { Focus(CodeField::FullName); });
  keys->On(Box(CodeField::FullName), Qt::Key_Return, [this] { Focus(CodeField::ShortName); });
  keys->On(Box(CodeField::FullName), Qt::Key_Down, [this] { Focus(CodeField::ShortName); });
  keys->On(Box(CodeField::FullName), Qt::Key_Up, [this] { Focus(CodeField::Name); });
  keys->On(Box(CodeField::ShortName), Qt::Key_Return, [this] { Focus(CodeField::Code); });
  keys->On(Box(CodeField::ShortName), Qt::Key_Down, [this] { Focus(CodeField::Code); });
  keys->On(Box(CodeField::ShortName), Qt::Key_Up, [this] { Focus(CodeField::FullName); });
  keys->On(Box(CodeField::Code), Qt::Key_Return, [this] {
    if (!AppendRecord()) Focus(CodeField::Name);
  });
  keys->On(Box(CodeField::Code), Qt::Key_Up, [this] { Focus(CodeField::ShortName); });
  keys->On(Box(CodeField::Code), Qt::Key_Down, [] {});

  Load();
}

void CodeListEditor::Focus(CodeField f) { Box(f)->setFocus(Qt::OtherFocusReason); }

CodeRecord CodeListEditor::Typed() const {
  return {S(Box(CodeField::Code)->text()), S(Box(CodeField::Name)->text()),
          S(Box(CodeField::FullName)->text()), S(Box(CodeField::ShortName)->text())};
}

void CodeListEditor::Load() {
  for (const CodeRecord& r : LoadCodeRecords(*ctx_.state.db, design_.table))
    list_->AddRow({Q(r.code), Q(r.name), Q(r.fullName), Q(r.shortName)});
  for (QLineEdit* box : boxes_) box->clear();
}

void CodeListEditor::FillFromSelected() {
  QTreeWidgetItem* row = list_->SelectedRow();
  if (row == nullptr) return;
  for (int i = 0; i < 4; ++i) boxes_[i]->setText(row->text(i));
}

bool CodeListEditor::CheckInput() {
  const std::vector<CodeField> missing = MissingCodeFields(design_.table, Typed());
  for (int i = 0; i < 4; ++i)
    MarkInput(boxes_[i],
              std::find(missing.begin(), missing.end(), static_cast<CodeField>(i)) != missing.end());
  if (missing.empty()) return false;
  Focus(missing.front());
  ctx_.prompter.Message(this, MessageIcon::Information, design_.checkTitle,
                        design_.missingMessages.at(missing.front()));
  return true;
}

void CodeListEditor::ClearInput() {
  for (QLineEdit* box : boxes_) box->clear();
}

bool CodeListEditor::AppendRecord() {
  if (CheckInput()) return true;
  const CodeRecord typed = Typed();
  if (!ConfirmSharedName(ctx_.prompter, this, design_.caption, *ctx_.state.db, design_.table,
                         TrimmedRecord(typed)))
    return true;
  if (Outcome added = AppendCodeRecord(*ctx_.state.db, design_.table, typed); !added) {
    if (added.code() == kDuplicateCode)
      ctx_.prompter.Message(this, MessageIcon::Information, Q(ctx_.state.appTitle), Q(added.message()));
    else
      ReportAddFailed(status_, ctx_.prompter, this, added);
    return true;
  }
  status_->SetPanel(1, kAdded);
  const CodeRecord r = TrimmedRecord(typed);
  list_->SelectRow(list_->AddRow({Q(r.code), Q(r.name), Q(r.fullName), Q(r.shortName)}));
  ClearInput();
  return false;
}

bool CodeListEditor::ModifyRecord() {
  QTreeWidgetItem* selected = SelectedRowOrWarn(list_, ctx_.prompter, this, design_.caption);
  if (selected == nullptr) return true;
  QLineEdit* code = Box(CodeField::Code);
  if (!design_.codeChangeMessage.isEmpty() && code->text() != selected->text(0)) {
    MarkInput(code, true);
    code->setFocus(Qt::OtherFocusReason);
    ctx_.prompter.Message(this, MessageIcon::Warning, QStringLiteral("输入信息检查"),
                          design_.codeChangeMessage);
    return true;
  }
  if (CheckInput()) return true;
  const CodeRecord r = TrimmedRecord(Typed());
  QTreeWidgetItem* row = list_->FindRow(Q(r.code));
  // Only a new name is asked about: one the record already has was accepted.
  if (row != nullptr && row->text(1) != Q(r.name) &&
      !ConfirmSharedName(ctx_.prompter, this, design_.caption, *ctx_.state.db, design_.table, r))
    return true;
  // A code that is not listed is not stored either: nothing to rewrite.
  const Outcome modified = row == nullptr ? Outcome::Fail({}, kRecordNotFound)
                                          : ModifyCodeRecord(*ctx_.state.db, design_.table, r);
  if (!modified) {
    ReportModifyFailed(status_, ctx_.prompter, this, Q(r.code), modified);
    return true;
  }
  status_->SetPanel(1, kModified);
  row->setText(1, Q(r.name));
  row->setText(2, Q(r.fullName));
  row->setText(3, Q(r.shortName));
  list_->SelectRow(row);
  return false;
}

bool CodeListEditor::DeleteRecord() {
  if (SelectedRowOrWarn(list_, ctx_.prompter, this, design_.caption) == nullptr) return true;
  if (CheckInput()) return true;
  const CodeRecord r = TrimmedRecord(Typed());
  if (!ctx_.prompter.AskYesNo(this, QStringLiteral("数据删除"),
                              QStringLiteral("警告： 确定要删除 '%1' 吗？(Y/N)？").arg(Q(r.name))))
    return true;
  if (Outcome deleted = DeleteCodeRecord(*ctx_.state.db, design_.table, r.code); !deleted) {
    ReportDeleteFailed(status_, ctx_.prompter, this, Q(r.name), deleted);
    return true;
  }
  status_->SetPanel(1, kDeleted);
  // The row of the deleted code goes, even if another row was clicked last.
  delete list_->FindRow(Q(r.code));
  list_->clearSelection();
  ClearInput();
  return false;
}

}  // namespace orv::ui
