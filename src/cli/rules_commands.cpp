// SPDX-License-Identifier: GPL-3.0-or-later
// rules: lists the stated school rules, or sets or removes one.
#include <charconv>
#include <iostream>
#include <optional>

#include "cli/commands.h"
#include "core/database/record_names.h"
#include "core/database/school_rules.h"

namespace orv::cli {

namespace {

struct RulesArgs {
  std::string path;
  std::string set;  // KEY=VALUE
  std::optional<std::string> teacher, cls, course;
};

// A record of the table by name; where no record has the name, by code, so
// that one of two teachers called 张伟 can still be named by the code the
// refusal listed.
Result<std::string> CodeOf(TimetableDb& db, CodeTable table, const std::string& name) {
  const std::string noun(RecordNoun(table));
  Result<std::vector<NamedRecord>> named = RecordsNamed(db, table, name);
  if (!named) return named.outcome();
  if (named->size() > 1)
    return Outcome::Fail(noun + "名称'" + name + "'不唯一：" + RecordLabels(*named) + "，请改用代码指定");
  if (named->size() == 1) return named->front().code;
  Result<std::vector<NamedRecord>> coded = RecordsCoded(db, table, name);
  if (!coded) return coded.outcome();
  if (coded->empty()) return Outcome::Fail(noun + "'" + name + "'不存在");
  return coded->front().code;
}

std::string Label(TimetableDb& db, CodeTable table, const std::string& code) {
  const Result<std::vector<NamedRecord>> found = RecordsCoded(db, table, code);
  return RecordLabel(found && !found->empty() ? found->front().name : std::string(), code);
}

// "全校", "教师 王伟（T01）", "班级 七（1）班（71） 课程 作文（ZW）".
std::string ScopeText(TimetableDb& db, const SchoolRule& rule) {
  switch (rule.scope) {
    case RuleScope::kSchool:
      return "全校";
    case RuleScope::kTeacher:
      return "教师 " + Label(db, CodeTable::Teacher, rule.code);
    case RuleScope::kClass:
      return "班级 " + Label(db, CodeTable::Class, rule.code);
    case RuleScope::kCourse:
      return "课程 " + Label(db, CodeTable::Course, rule.code);
    case RuleScope::kClassCourse:
      return "班级 " + Label(db, CodeTable::Class, rule.code) + " 课程 " +
             Label(db, CodeTable::Course, rule.courseCode);
  }
  return {};
}

std::string ValueText(RuleKey key, int value) {
  if (InfoOf(key).yesNo) return value != 0 ? "yes" : "no";
  return std::to_string(value);
}

std::string RuleLine(TimetableDb& db, const SchoolRule& rule) {
  const RuleKeyInfo& info = InfoOf(rule.key);
  return std::string(info.text) + " = " + ValueText(rule.key, rule.value) + "  (" + ScopeText(db, rule) +
         ")  " + std::string(info.name);
}

int ListRules(TimetableDb& db) {
  const Result<std::vector<SchoolRule>> rules = LoadSchoolRules(db);
  if (!rules) return Fail("读取排课规则失败！", rules.outcome());
  for (const SchoolRule& rule : *rules) std::cout << RuleLine(db, rule) << "\n";
  std::cout << "排课规则：" << rules->size() << " 条\n";
  return kExitDone;
}

// The value typed after '=': nullopt for `none`, which removes the rule.
Result<std::optional<int>> ParseValue(const RuleKeyInfo& info, const std::string& text) {
  if (text == "none") return std::optional<int>();
  if (info.yesNo) {
    if (text == "yes") return std::optional<int>(1);
    if (text == "no") return std::optional<int>(0);
    return Outcome::Fail(std::string(info.text) + " 的值应为 yes、no 或 none，而不是'" + text + "'");
  }
  int value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || end != text.data() + text.size())
    return Outcome::Fail(std::string(info.text) + " 的值应为整数或 none，而不是'" + text + "'");
  return std::optional<int>(value);
}

Result<SchoolRule> RuleOf(TimetableDb& db, RuleKey key, const RulesArgs& args) {
  SchoolRule rule;
  rule.key = key;
  if (args.teacher && (args.cls || args.course))
    return Outcome::Fail("--teacher 不能和 --class、--course 一起使用");
  if (args.teacher) {
    rule.scope = RuleScope::kTeacher;
    Result<std::string> code = CodeOf(db, CodeTable::Teacher, *args.teacher);
    if (!code) return code.outcome();
    rule.code = *code;
  } else if (args.cls) {
    rule.scope = args.course ? RuleScope::kClassCourse : RuleScope::kClass;
    Result<std::string> code = CodeOf(db, CodeTable::Class, *args.cls);
    if (!code) return code.outcome();
    rule.code = *code;
  }
  if (args.course) {
    if (!args.cls) rule.scope = RuleScope::kCourse;
    Result<std::string> code = CodeOf(db, CodeTable::Course, *args.course);
    if (!code) return code.outcome();
    (args.cls ? rule.courseCode : rule.code) = *code;
  }
  return rule;
}

int SetRule(TimetableDb& db, const RulesArgs& args) {
  const std::size_t eq = args.set.find('=');
  if (eq == std::string::npos) return Fail("--set 的格式应为 KEY=VALUE");
  const std::string keyText = args.set.substr(0, eq);
  const std::optional<RuleKey> key = RuleKeyFromText(keyText);
  if (!key) {
    std::string known;
    for (const RuleKeyInfo& info : AllRuleKeys())
      known += (known.empty() ? "" : "、") + std::string(info.text);
    return Fail("未知的规则'" + keyText + "'，可用的规则：" + known);
  }
  const RuleKeyInfo& info = InfoOf(*key);
  const Result<std::optional<int>> value = ParseValue(info, args.set.substr(eq + 1));
  if (!value) return Fail(value.message());
  Result<SchoolRule> rule = RuleOf(db, *key, args);
  if (!rule) return Fail(rule.message());
  if (!*value) {
    // Removing asks the same questions as setting, so a misspelt scope is
    // not taken for a rule that was never there.
    rule->value = info.minValue;
    const Result<std::string> problem = RuleProblem(db, *rule);
    if (!problem) return Fail("删除排课规则失败！", problem.outcome());
    if (!problem->empty()) return Fail(*problem);
    if (Outcome removed = RemoveSchoolRule(db, rule->key, rule->scope, rule->code, rule->courseCode);
        !removed)
      return Fail("删除排课规则失败！", removed);
    std::cout << "已删除 " << info.text << "  (" << ScopeText(db, *rule) << ")\n";
    return kExitDone;
  }
  rule->value = **value;
  if (Outcome saved = SetSchoolRule(db, *rule); !saved) return Fail("保存排课规则失败！", saved);
  std::cout << "已设置 " << RuleLine(db, *rule) << "\n";
  return kExitDone;
}

int RunRules(const RulesArgs& args) {
  auto db = OpenOrReport(args.path);
  if (!db) return kExitFailed;
  if (args.set.empty()) {
    if (args.teacher || args.cls || args.course)
      return Fail("--teacher、--class、--course 只和 --set 一起使用");
    return ListRules(*db);
  }
  return SetRule(*db, args);
}

}  // namespace

void AddRulesCommands(CLI::App& app, Context& ctx) {
  static RulesArgs args;
  auto* rules =
      app.add_subcommand("rules", "List the school's rules, or set one (KEY=VALUE; VALUE none removes it)");
  rules->add_option("DB", args.path, "Database file")->required();
  std::string keys;
  for (const RuleKeyInfo& info : AllRuleKeys()) keys += (keys.empty() ? "" : ", ") + std::string(info.text);
  rules->add_option("--set", args.set,
                    "KEY=VALUE: whole numbers, yes/no for no-class-gaps, none to remove. Keys: " + keys);
  rules->add_option("--teacher", args.teacher, "The teacher's name (default: every teacher)");
  rules->add_option("--class", args.cls, "The class's name (with --course: the course in that class)");
  rules->add_option("--course", args.course, "The course's name");
  rules->callback([&ctx] { ctx.exitCode = RunRules(args); });
}

}  // namespace orv::cli
