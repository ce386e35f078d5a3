// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/editors/class_plan_editor.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "core/database/code_lists.h"
#include "core/database/plan_count.h"

namespace orv::ui {
namespace {

const QString kCaption = QStringLiteral("班级计划");
constexpr int kCodeRole = Qt::UserRole;
constexpr int kTeacherCodeRole = Qt::UserRole + 1;

QString MissingMessage(PlanInput input) {
  switch (input) {
    case PlanInput::Class:
      return QStringLiteral("请选择班级。");
    case PlanInput::Course:
      return QStringLiteral("请选择课程。");
    case PlanInput::Teacher:
      return QStringLiteral("请选择教师。");
    case PlanInput::CountMissing:
      return QStringLiteral("请输入节数。");
    case PlanInput::CountNotNumber:
      return QStringLiteral("节数必须是数字。");
    case PlanInput::CountOutOfRange:
      return QStringLiteral("节数必须是%1到%2之间的整数。").arg(kMinWeeklyLessons).arg(kMaxWeeklyLessons);
  }
  return {};
}

void FillNames(QComboBox* combo, const std::vector<CodeRecord>& records) {
  QSignalBlocker block(combo);
  combo->clear();
  for (const CodeRecord& r : records) combo->addItem(Q(r.name), Q(r.code));
  combo->setCurrentIndex(-1);
}

// A refusal of the plan's rules and a database failure alike: the status
// panel and the message put the reason after the operation's own words.
QString Refusal(const char* operation, const char* gap, const Outcome& why) {
  return QString::fromUtf8(operation) + gap + Q(why.message());
}

}  // namespace

ClassPlanEditor::ClassPlanEditor(UiContext& ctx, QWidget* parent) : QDialog(parent), ctx_(ctx) {
  setObjectName("frmClassPlanInput");
  setWindowTitle(kCaption);

  auto* frame1 = new QGroupBox(this);
  frame1->setObjectName("Frame1");
  auto* classLine = new QHBoxLayout(frame1);
  auto* lblClass = new QLabel(QStringLiteral("班级"), frame1);
  lblClass->setObjectName("lblClass");
  classes_ = new QComboBox(frame1);
  classes_->setObjectName("CmbClass");
  classes_->setMinimumWidth(TwipsToPixels(2000));
  auto* prev = new QPushButton(QStringLiteral("上一班级(&P)"), frame1);
  prev->setObjectName("CmdPrevClass");
  auto* next = new QPushButton(QStringLiteral("下一班级(&N)"), frame1);
  next->setObjectName("CmdNextClass");
  for (QPushButton* b : {prev, next}) b->setAutoDefault(false);
  classLine->addWidget(lblClass);
  classLine->addWidget(classes_, 1);
  classLine->addWidget(prev);
  classLine->addWidget(next);

  auto* fraData = new QGroupBox(this);
  fraData->setObjectName("fraData");
  auto* grid = new QGridLayout(fraData);
  auto addRow = [&](int row, const char* labelName, const QString& caption, QWidget* input) {
    auto* label = new QLabel(caption, fraData);
    label->setObjectName(labelName);
    label->setBuddy(input);
    grid->addWidget(label, row, 0);
    grid->addWidget(input, row, 1);
  };
  course_ = new QComboBox(fraData);
  course_->setObjectName("CmbCourse");
  teacher_ = new QComboBox(fraData);
  teacher_->setObjectName("CmbTeacher");
  count_ = new QLineEdit(fraData);
  count_->setObjectName("txtCount");
  count_->setMaxLength(2);
  addRow(0, "lblCourse", QStringLiteral("课程"), course_);
  addRow(1, "lblFullName", QStringLiteral("老师"), teacher_);
  addRow(2, "lblCount", QStringLiteral("节数"), count_);

  OpButtons op = MakeOpButtons(this);
  connect(op.append, &QPushButton::clicked, this, [this] { AppendRecord(); });
  connect(op.modify, &QPushButton::clicked, this, [this] { ModifyRecord(); });
  connect(op.remove, &QPushButton::clicked, this, [this] { DeleteRecord(); });
  connect(op.ok, &QPushButton::clicked, this, &QDialog::accept);

  list_ =
      new RecordList("lstAllRecord", {QStringLiteral("课程"), QStringLiteral("老师"), QStringLiteral("节数")},
                     {2000, 2000, 1150}, this);
  connect(list_, &QTreeWidget::itemClicked, this, [this] { FillFromSelected(); });
  connect(list_, &RecordList::deletePressed, this, [this] { DeleteRecord(); });

  auto* frame2 = new QGroupBox(QStringLiteral("老师任课统计"), this);
  frame2->setObjectName("Frame2");
  auto* panel = new QVBoxLayout(frame2);
  teacher2_ = new QComboBox(frame2);
  teacher2_->setObjectName("CmbTeacher2");
  auto* lblTeacherName = new QLabel(QStringLiteral("任课计划"), frame2);
  lblTeacherName->setObjectName("lblTeacherName");
  teacherList_ = new RecordList("lstTeacherInfo",
                                {QStringLiteral("班级"), QStringLiteral("课程"), QStringLiteral("节数")},
                                {1050, 1000, 550}, frame2);
  teacherSum_ = new QLabel(frame2);
  teacherSum_->setObjectName("lblTeacherSum");
  panel->addWidget(teacher2_);
  panel->addWidget(lblTeacherName);
  panel->addWidget(teacherList_, 1);
  panel->addWidget(teacherSum_);
  frame2->setMinimumWidth(TwipsToPixels(1050 + 1000 + 550) + 30);

  status_ = new StatusPanels(4, this);

  auto* inputs = new QHBoxLayout;
  inputs->addWidget(fraData, 1);
  inputs->addWidget(op.frame);
  auto* left = new QVBoxLayout;
  left->addWidget(frame1);
  left->addLayout(inputs);
  left->addWidget(list_, 1);
  auto* body = new QHBoxLayout;
  body->addLayout(left, 1);
  body->addWidget(frame2);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(body, 1);
  layout->addWidget(status_);
  resize(TwipsToPixels(10200), TwipsToPixels(7200));

  connect(classes_, &QComboBox::currentIndexChanged, this, [this] { ChooseClass(); });
  ConnectStepButtons(prev, next, classes_);
  connect(teacher2_, &QComboBox::currentIndexChanged, this, [this] { ShowTeacherLoad(); });

  auto* keys = new KeyRouter(this);
  keys->On(count_, Qt::Key_Return, [this] {
    if (!AppendRecord()) course_->setFocus(Qt::OtherFocusReason);
  });
  keys->On(count_, Qt::Key_Up, [this] { teacher_->setFocus(Qt::OtherFocusReason); });

  LoadNames();
}

QString ClassPlanEditor::CodeOf(const QComboBox* combo) {
  return combo->currentIndex() < 0 ? QString() : combo->currentData(kCodeRole).toString();
}

void ClassPlanEditor::LoadNames() {
  TimetableDb& db = *ctx_.state.db;
  const std::vector<CodeRecord> teachers = LoadCodeRecords(db, CodeTable::Teacher, CodeOrder::ByCode);
  FillNames(course_, LoadCodeRecords(db, CodeTable::Course));
  FillNames(teacher_, teachers);
  FillNames(teacher2_, teachers);
  FillNames(classes_, LoadCodeRecords(db, CodeTable::Class));
  if (classes_->count() > 0) {
    classes_->setCurrentIndex(0);  // loads the first class's plan
  } else {
    status_->SetPanel(3, "0 门");
    status_->SetPanel(4, "0 节");
  }
}

void ClassPlanEditor::ChooseClass() {
  curClassCode_ = S(CodeOf(classes_));
  status_->SetPanel(2, classes_->currentText());
  LoadClassPlan();
}

void ClassPlanEditor::LoadClassPlan() {
  list_->clear();
  for (const PlanListRow& r : orv::LoadClassPlan(*ctx_.state.db, curClassCode_)) {
    QTreeWidgetItem* item = list_->AddRow({Q(r.courseName), Q(r.teacherName), QString::number(r.count)});
    item->setData(0, kCodeRole, Q(r.courseCode));
    item->setData(0, kTeacherCodeRole, Q(r.teacherCode));
  }
  ShowPlanTotals();
  list_->SelectRow(list_->topLevelItem(0));
  FillFromSelected();
}

void ClassPlanEditor::ShowPlanTotals() {
  int total = 0;
  for (int i = 0; i < list_->topLevelItemCount(); ++i) total += list_->topLevelItem(i)->text(2).toInt();
  status_->SetPanel(3, QStringLiteral("%1 门").arg(list_->topLevelItemCount()));
  status_->SetPanel(4, QStringLiteral("%1 节").arg(total));
}

void ClassPlanEditor::FillFromSelected() {
  QTreeWidgetItem* row = list_->SelectedRow();
  if (row == nullptr) {
    ClearInput();
    return;
  }
  const QString courseCode = row->data(0, kCodeRole).toString();
  const QString teacherCode = row->data(0, kTeacherCodeRole).toString();
  course_->setCurrentIndex(course_->findData(courseCode, kCodeRole));
  teacher_->setCurrentIndex(teacher_->findData(teacherCode, kCodeRole));
  count_->setText(row->text(2));
  sel_ = {S(courseCode), S(teacherCode), row->text(2).toInt()};
  hasSelection_ = true;
  ShowTeacherInPanel(teacherCode);
}

void ClassPlanEditor::ShowTeacherInPanel(const QString& teacherCode) {
  {
    QSignalBlocker block(teacher2_);
    teacher2_->setCurrentIndex(teacher2_->findData(teacherCode, kCodeRole));
  }
  // Shown again even when the same teacher stays chosen: the load may have changed.
  ShowTeacherLoad();
}

void ClassPlanEditor::ShowTeacherLoad() {
  teacherList_->clear();
  if (teacher2_->currentIndex() < 0) {
    teacherSum_->clear();
    return;
  }
  const TeacherLoad load = LoadTeacherLoad(*ctx_.state.db, S(CodeOf(teacher2_)));
  for (const TeacherLoadRow& r : load.rows)
    teacherList_->AddRow({Q(r.className), Q(r.courseName), QString::number(r.count)});
  teacherSum_->setText(QStringLiteral("共  %1  节课").arg(load.total));
}

bool ClassPlanEditor::CheckInput() {
  const std::vector<PlanInput> missing = MissingPlanInputs(
      S(classes_->currentText()), S(course_->currentText()), S(teacher_->currentText()), S(count_->text()));
  auto has = [&](PlanInput p) { return std::find(missing.begin(), missing.end(), p) != missing.end(); };
  MarkInput(count_, has(PlanInput::CountMissing) || has(PlanInput::CountNotNumber) ||
                        has(PlanInput::CountOutOfRange));
  MarkInput(teacher_, has(PlanInput::Teacher));
  MarkInput(course_, has(PlanInput::Course));
  MarkInput(classes_, has(PlanInput::Class));
  if (missing.empty()) return false;
  QWidget* const widgets[] = {classes_, course_, teacher_, count_, count_, count_};
  widgets[static_cast<int>(missing.front())]->setFocus(Qt::OtherFocusReason);
  ctx_.prompter.Message(this, MessageIcon::Information, QStringLiteral("输入检查信息"),
                        MissingMessage(missing.front()));
  return true;
}

void ClassPlanEditor::ClearInput() {
  course_->setCurrentIndex(-1);
  teacher_->setCurrentIndex(-1);
  count_->clear();
}

void ClassPlanEditor::Refuse(const QString& panel, const QString& text, const QString& title) {
  status_->SetPanel(1, panel);
  ctx_.prompter.Message(this, MessageIcon::Information, title, text);
}

bool ClassPlanEditor::AppendRecord() {
  if (CheckInput()) return true;
  const QString teacherCode = CodeOf(teacher_);
  const int n = ParseLessonCount(S(count_->text())).value;
  if (Outcome added = AppendPlanLessons(*ctx_.state.db, curClassCode_, S(CodeOf(course_)), S(teacherCode), n);
      !added) {
    if (added.code() == kPlanCountOutOfRange) {
      MarkInput(count_, true);
      count_->setFocus(Qt::OtherFocusReason);
    }
    Refuse(Refusal("添加记录失败", "   ", added), Refusal("添加记录失败", "  ", added),
           QStringLiteral("添加失败"));
    return true;
  }
  status_->SetPanel(1, QStringLiteral("添加记录成功！添加了1条记录"));
  LoadClassPlan();
  ShowTeacherInPanel(teacherCode);
  ClearInput();
  return false;
}

bool ClassPlanEditor::ModifyRecord() {
  if (!hasSelection_ || list_->topLevelItemCount() == 0) {
    ctx_.prompter.Message(this, MessageIcon::Warning, kCaption, kSelectFirst);
    return true;
  }
  if (CheckInput()) return true;
  const QString courseCode = CodeOf(course_);
  const QString teacherCode = CodeOf(teacher_);
  const int n = ParseLessonCount(S(count_->text())).value;
  if (Outcome modified = ModifyPlanRow(*ctx_.state.db, curClassCode_, sel_, S(courseCode), S(teacherCode), n);
      !modified) {
    if (modified.code() != kPlanCourseChanged && modified.code() != kPlanCountOutOfRange) {
      Refuse(QStringLiteral("修改记录失败"), FailureText(QStringLiteral("修改记录失败！"), modified),
             QStringLiteral("修改失败"));
      return true;
    }
    Refuse(Refusal("修改记录失败", "   ", modified), Refusal("修改记录失败", "  ", modified),
           QStringLiteral("修改失败"));
    if (modified.code() == kPlanCourseChanged) {
      course_->setCurrentIndex(course_->findData(Q(sel_.courseCode), kCodeRole));
      MarkInput(course_, true);
      course_->setFocus(Qt::OtherFocusReason);
    } else {
      MarkInput(count_, true);
      count_->setFocus(Qt::OtherFocusReason);
    }
    return true;
  }
  MarkInput(course_, false);
  status_->SetPanel(1, QStringLiteral("修改记录成功！修改了1条记录"));
  const QString oldCourse = Q(sel_.courseCode);
  sel_ = {S(courseCode), S(teacherCode), n};
  for (int i = 0; i < list_->topLevelItemCount(); ++i) {
    QTreeWidgetItem* row = list_->topLevelItem(i);
    if (row->data(0, kCodeRole).toString() != oldCourse) continue;
    row->setText(0, Q(TrimBlanks(S(course_->currentText()))));
    row->setText(1, Q(TrimBlanks(S(teacher_->currentText()))));
    row->setText(2, QString::number(n));
    row->setData(0, kTeacherCodeRole, teacherCode);
    break;
  }
  ShowPlanTotals();
  ShowTeacherInPanel(teacherCode);
  ClearInput();
  return false;
}

bool ClassPlanEditor::DeleteRecord() {
  if (SelectedRowOrWarn(list_, ctx_.prompter, this, kCaption) == nullptr) return true;
  if (CheckInput()) return true;
  const QString courseName = Q(TrimBlanks(S(course_->currentText())));
  const QString teacherName = Q(TrimBlanks(S(teacher_->currentText())));
  if (!ctx_.prompter.AskYesNo(
          this, QStringLiteral("数据删除"),
          QStringLiteral("警告： 确定要删除 '%1'的'%2' 吗？(Y/N)？").arg(teacherName, courseName)))
    return true;
  const QString courseCode = CodeOf(course_);
  const QString teacherCode = CodeOf(teacher_);
  if (Outcome deleted = DeletePlanRow(*ctx_.state.db, curClassCode_, S(courseCode), S(teacherCode));
      !deleted) {
    Refuse(QStringLiteral("删除记录失败"),
           FailureText(QStringLiteral("删除记录失败, '%1' 未被删除").arg(courseName), deleted),
           QStringLiteral("删除失败"));
    return true;
  }
  status_->SetPanel(1, QStringLiteral("删除记录成功！删除了1条记录"));
  for (int i = 0; i < list_->topLevelItemCount(); ++i) {
    QTreeWidgetItem* row = list_->topLevelItem(i);
    if (row->data(0, kCodeRole).toString() == courseCode &&
        row->data(0, kTeacherCodeRole).toString() == teacherCode) {
      delete row;
      break;
    }
  }
  list_->clearSelection();
  if (sel_.courseCode == S(courseCode)) hasSelection_ = false;
  ShowPlanTotals();
  ShowTeacherInPanel(teacherCode);
  ClearInput();
  return false;
}

}  // namespace orv::ui
