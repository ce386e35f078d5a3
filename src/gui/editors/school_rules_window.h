// SPDX-License-Identifier: GPL-3.0-or-later
// frmSchoolRules (排课规则): the rules the school states beyond its weeks of
// marks. The list shows every stored rule; the controls below pick a rule,
// whom it is for (the whole school, or one teacher, class, course, or course
// in a class) and its value. 设置 stores it, 删除 removes the selected one;
// each is one write.
#pragma once

#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QSpinBox>
#include <map>

#include "core/database/code_lists.h"
#include "core/database/school_rules.h"
#include "gui/common/editor_parts.h"
#include "gui/common/ui_context.h"

namespace orv::ui {

class SchoolRulesWindow : public QDialog {
  Q_OBJECT
 public:
  explicit SchoolRulesWindow(UiContext& ctx, QWidget* parent = nullptr);

  // True when stored or removed.
  bool SetRule();
  bool RemoveRule();

 private:
  void LoadNames();
  void LoadRules();
  void ChooseKey();
  void ChooseScope();
  void FillFromSelected();
  RuleKey CurrentKey() const;
  RuleScope CurrentScope() const;
  // The rule the controls describe; false (after saying why) when a name is missing.
  bool RuleFromInput(SchoolRule& rule);
  QString ScopeText(const SchoolRule& rule) const;
  void Refuse(const QString& text);

  UiContext& ctx_;
  RecordList* list_ = nullptr;
  QComboBox* key_ = nullptr;
  QLabel* description_ = nullptr;
  QComboBox* scope_ = nullptr;
  QComboBox* who_ = nullptr;
  QComboBox* course_ = nullptr;  // the course of a course in a class
  QSpinBox* value_ = nullptr;
  QComboBox* yesNo_ = nullptr;
  StatusPanels* status_ = nullptr;
  // Code to label (the name, with the code where names are shared) of each list.
  std::map<CodeTable, std::vector<std::pair<std::string, QString>>> names_;
  std::vector<SchoolRule> rules_;  // as the list shows them, row by row
};

void ShowSchoolRules(UiContext& ctx, QWidget* parent);

}  // namespace orv::ui
