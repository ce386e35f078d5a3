// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/editors/school_rules_window.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <array>

#include "core/database/record_names.h"
#include "core/database/special_courses.h"
#include "gui/common/gui_support.h"

namespace orv::ui {

namespace {

const QString kCaption = QStringLiteral("排课规则");

// The scope combo's texts, by RuleScope.
const std::array<QString, 5> kScopeTexts = {
    QStringLiteral("全校（默认）"), QStringLiteral("某位教师"), QStringLiteral("某个班级"),
    QStringLiteral("某门课程（所有班级）"), QStringLiteral("某班的某门课程")};

}  // namespace

SchoolRulesWindow::SchoolRulesWindow(UiContext& ctx, QWidget* parent) : QDialog(parent), ctx_(ctx) {
  setObjectName("frmSchoolRules");
  setWindowTitle(kCaption);

  list_ = new RecordList("lstRules", {QStringLiteral("规则"), QStringLiteral("适用于"), QStringLiteral("值")},
                         {2400, 4200, 900}, this);
  list_->setMinimumHeight(TwipsToPixels(3000));

  auto* input = new QGroupBox(QStringLiteral("设置一条规则"), this);
  input->setObjectName("fraRule");
  key_ = new QComboBox(input);
  key_->setObjectName("cmbKey");
  for (const RuleKeyInfo& info : AllRuleKeys()) key_->addItem(Q(info.name), static_cast<int>(info.key));
  description_ = new QLabel(input);
  description_->setObjectName("lblDescription");
  description_->setWordWrap(true);
  description_->setMinimumWidth(TwipsToPixels(6000));
  scope_ = new QComboBox(input);
  scope_->setObjectName("cmbScope");
  who_ = new QComboBox(input);
  who_->setObjectName("cmbWho");
  course_ = new QComboBox(input);
  course_->setObjectName("cmbCourse");
  value_ = new QSpinBox(input);
  value_->setObjectName("spnValue");
  yesNo_ = new QComboBox(input);
  yesNo_->setObjectName("cmbYesNo");
  yesNo_->addItem(QStringLiteral("是"), 1);
  yesNo_->addItem(QStringLiteral("否"), 0);
  auto* valueRow = new QHBoxLayout;
  valueRow->addWidget(value_);
  valueRow->addWidget(yesNo_);
  valueRow->addStretch();
  auto* form = new QFormLayout(input);
  form->addRow(QStringLiteral("规则"), key_);
  form->addRow(QString(), description_);
  form->addRow(QStringLiteral("适用于"), scope_);
  form->addRow(QStringLiteral("对象"), who_);
  form->addRow(QStringLiteral("课程"), course_);
  form->addRow(QStringLiteral("值"), valueRow);

  QPushButton* set = MakeCommandButton(this, "cmdSet", QStringLiteral("设置(&S)"));
  QPushButton* remove = MakeCommandButton(this, "cmdDelete", QStringLiteral("删除(&D)"));
  QPushButton* ok = MakeCommandButton(this, "cmdOK", QStringLiteral("退出(&Q)"));
  auto* buttons = new QVBoxLayout;
  buttons->addWidget(set);
  buttons->addWidget(remove);
  buttons->addStretch();
  buttons->addWidget(ok);
  auto* lower = new QHBoxLayout;
  lower->addWidget(input, 1);
  lower->addLayout(buttons);

  status_ = new StatusPanels(1, this);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(list_, 1);
  layout->addLayout(lower);
  layout->addWidget(status_);

  connect(key_, &QComboBox::currentIndexChanged, this, &SchoolRulesWindow::ChooseKey);
  connect(scope_, &QComboBox::currentIndexChanged, this, &SchoolRulesWindow::ChooseScope);
  connect(list_, &QTreeWidget::itemClicked, this, &SchoolRulesWindow::FillFromSelected);
  connect(set, &QPushButton::clicked, this, &SchoolRulesWindow::SetRule);
  connect(remove, &QPushButton::clicked, this, &SchoolRulesWindow::RemoveRule);
  connect(list_, &RecordList::deletePressed, this, &SchoolRulesWindow::RemoveRule);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);

  LoadNames();
  LoadRules();
  ChooseKey();
}

void SchoolRulesWindow::LoadNames() {
  TimetableDb& db = *ctx_.state.db;
  for (CodeTable table : {CodeTable::Teacher, CodeTable::Class, CodeTable::Course}) {
    const Result<NameClashes> clashes = NameClashes::Load(db, table);
    auto& labels = names_[table];
    for (const CodeRecord& r : LoadCodeRecords(db, table))
      labels.emplace_back(r.code, Q(clashes ? clashes->Label(r.name, r.code) : RecordLabel(r.name, r.code)));
  }
}

RuleKey SchoolRulesWindow::CurrentKey() const { return static_cast<RuleKey>(key_->currentData().toInt()); }

RuleScope SchoolRulesWindow::CurrentScope() const {
  return static_cast<RuleScope>(scope_->currentData().toInt());
}

QString SchoolRulesWindow::ScopeText(const SchoolRule& rule) const {
  auto label = [&](CodeTable table, const std::string& code) {
    for (const auto& [c, text] : names_.at(table))
      if (c == code) return text;
    return Q(RecordLabel("", code));  // gone since; data maintenance removes it
  };
  switch (rule.scope) {
    case RuleScope::kSchool:
      return QStringLiteral("全校");
    case RuleScope::kTeacher:
      return QStringLiteral("教师 ") + label(CodeTable::Teacher, rule.code);
    case RuleScope::kClass:
      return QStringLiteral("班级 ") + label(CodeTable::Class, rule.code);
    case RuleScope::kCourse:
      return QStringLiteral("课程 ") + label(CodeTable::Course, rule.code) + QStringLiteral("（所有班级）");
    case RuleScope::kClassCourse:
      return label(CodeTable::Class, rule.code) + QStringLiteral(" 的 ") +
             label(CodeTable::Course, rule.courseCode);
  }
  return {};
}

void SchoolRulesWindow::LoadRules() {
  list_->clear();
  Result<std::vector<SchoolRule>> rules = LoadSchoolRules(*ctx_.state.db);
  if (!rules) {
    rules_.clear();
    status_->SetPanel(1, FailureText(QStringLiteral("读取失败"), rules.outcome()).replace('\n', ' '));
    return;
  }
  rules_ = std::move(*rules);
  for (size_t i = 0; i < rules_.size(); ++i) {
    const SchoolRule& r = rules_[i];
    QTreeWidgetItem* row =
        list_->AddRow({Q(InfoOf(r.key).name), ScopeText(r), Q(RuleValueText(r.key, r.value))});
    row->setData(0, Qt::UserRole, static_cast<int>(i));
  }
  status_->SetPanel(1, QStringLiteral("共 %1 条规则").arg(rules_.size()));
}

void SchoolRulesWindow::ChooseKey() {
  const RuleKeyInfo& info = InfoOf(CurrentKey());
  description_->setText(Q(info.description));
  {
    const QSignalBlocker block(scope_);
    const QVariant was = scope_->currentData();
    scope_->clear();
    for (int s = 0; s < static_cast<int>(info.scopes.size()); ++s)
      if (info.scopes[static_cast<size_t>(s)]) scope_->addItem(kScopeTexts[static_cast<size_t>(s)], s);
    scope_->setCurrentIndex(std::max(0, scope_->findData(was)));
  }
  value_->setRange(info.minValue, info.maxValue);
  value_->setVisible(!info.yesNo);
  yesNo_->setVisible(info.yesNo);
  ChooseScope();
}

void SchoolRulesWindow::ChooseScope() {
  const RuleScope scope = CurrentScope();
  const QVariant wasWho = who_->currentData(), wasCourse = course_->currentData();
  who_->clear();
  course_->clear();
  auto fill = [&](QComboBox* combo, CodeTable table, bool specialOnly) {
    for (const auto& [code, label] : names_[table]) {
      if (specialOnly) {
        const Result<bool> special = IsSpecialCourse(*ctx_.state.db, code);
        if (!special || !*special) continue;
      }
      combo->addItem(label, Q(code));
    }
  };
  switch (scope) {
    case RuleScope::kSchool:
      break;
    case RuleScope::kTeacher:
      fill(who_, CodeTable::Teacher, false);
      break;
    case RuleScope::kClass:
      fill(who_, CodeTable::Class, false);
      break;
    case RuleScope::kCourse:
      // Only a special course has rooms to count.
      fill(who_, CodeTable::Course, CurrentKey() == RuleKey::kRooms);
      break;
    case RuleScope::kClassCourse:
      fill(who_, CodeTable::Class, false);
      fill(course_, CodeTable::Course, false);
      break;
  }
  who_->setEnabled(scope != RuleScope::kSchool);
  course_->setEnabled(scope == RuleScope::kClassCourse);
  who_->setCurrentIndex(std::max(who_->count() > 0 ? 0 : -1, who_->findData(wasWho)));
  course_->setCurrentIndex(std::max(course_->count() > 0 ? 0 : -1, course_->findData(wasCourse)));
}

void SchoolRulesWindow::FillFromSelected() {
  QTreeWidgetItem* row = list_->SelectedRow();
  if (row == nullptr) return;
  const SchoolRule& r = rules_.at(static_cast<size_t>(row->data(0, Qt::UserRole).toInt()));
  key_->setCurrentIndex(key_->findData(static_cast<int>(r.key)));
  scope_->setCurrentIndex(scope_->findData(static_cast<int>(r.scope)));
  if (r.scope != RuleScope::kSchool) who_->setCurrentIndex(who_->findData(Q(r.code)));
  if (r.scope == RuleScope::kClassCourse) course_->setCurrentIndex(course_->findData(Q(r.courseCode)));
  if (InfoOf(r.key).yesNo)
    yesNo_->setCurrentIndex(yesNo_->findData(r.value != 0 ? 1 : 0));
  else
    value_->setValue(r.value);
}

void SchoolRulesWindow::Refuse(const QString& text) {
  status_->SetPanel(1, QStringLiteral("设置失败"));
  ctx_.prompter.Message(this, MessageIcon::Warning, kCaption, text);
}

bool SchoolRulesWindow::RuleFromInput(SchoolRule& rule) {
  rule.key = CurrentKey();
  rule.scope = CurrentScope();
  if (rule.scope != RuleScope::kSchool) {
    if (who_->currentIndex() < 0) {
      Refuse(QStringLiteral("请先选择规则适用的") +
             (rule.scope == RuleScope::kTeacher  ? QStringLiteral("教师")
              : rule.scope == RuleScope::kCourse ? QStringLiteral("课程")
                                                 : QStringLiteral("班级")) +
             QStringLiteral("。"));
      return false;
    }
    rule.code = S(who_->currentData().toString());
  }
  if (rule.scope == RuleScope::kClassCourse) {
    if (course_->currentIndex() < 0) {
      Refuse(QStringLiteral("请先选择课程。"));
      return false;
    }
    rule.courseCode = S(course_->currentData().toString());
  }
  rule.value = InfoOf(rule.key).yesNo ? yesNo_->currentData().toInt() : value_->value();
  return true;
}

bool SchoolRulesWindow::SetRule() {
  SchoolRule rule;
  if (!RuleFromInput(rule)) return false;
  if (const Outcome saved = SetSchoolRule(*ctx_.state.db, rule); !saved) {
    Refuse(FailureText(QStringLiteral("设置规则失败！"), saved));
    return false;
  }
  LoadRules();
  for (int i = 0; i < list_->topLevelItemCount(); ++i) {
    QTreeWidgetItem* row = list_->topLevelItem(i);
    const SchoolRule& shown = rules_.at(static_cast<size_t>(row->data(0, Qt::UserRole).toInt()));
    if (shown.key == rule.key && shown.scope == rule.scope && shown.code == rule.code &&
        shown.courseCode == rule.courseCode)
      list_->SelectRow(row);
  }
  status_->SetPanel(1, QStringLiteral("设置成功"));
  return true;
}

bool SchoolRulesWindow::RemoveRule() {
  QTreeWidgetItem* row = SelectedRowOrWarn(list_, ctx_.prompter, this, kCaption);
  if (row == nullptr) return false;
  const SchoolRule r = rules_.at(static_cast<size_t>(row->data(0, Qt::UserRole).toInt()));
  if (!ctx_.prompter.AskYesNo(
          this, kCaption,
          QStringLiteral("确实要删除规则“%1（%2）”吗？").arg(Q(InfoOf(r.key).name), ScopeText(r))))
    return false;
  if (const Outcome removed = RemoveSchoolRule(*ctx_.state.db, r.key, r.scope, r.code, r.courseCode);
      !removed) {
    status_->SetPanel(1, QStringLiteral("删除失败"));
    ctx_.prompter.Message(this, MessageIcon::Warning, kCaption,
                          FailureText(QStringLiteral("删除规则失败！"), removed));
    return false;
  }
  LoadRules();
  status_->SetPanel(1, QStringLiteral("删除成功"));
  return true;
}

void ShowSchoolRules(UiContext& ctx, QWidget* parent) {
  SchoolRulesWindow window(ctx, parent);
  ctx.prompter.RunModal(window);
}

}  // namespace orv::ui
