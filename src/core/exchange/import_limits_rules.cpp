// SPDX-License-Identifier: GPL-3.0-or-later
// The restriction and rule sheets: each row names a record and says one
// thing about it, so each is resolved, checked and compared with what is
// stored.
#include <map>

#include "core/exchange/import_detail.h"

namespace orv::import_detail {

namespace {

std::string Quoted(std::string_view s) { return "“" + std::string(s) + "”"; }

std::string Listed(std::initializer_list<std::string_view> items) {
  std::string out;
  for (std::string_view i : items) out += (out.empty() ? "" : "、") + std::string(i);
  return out;
}

// 星期一, 周一, 礼拜一, 一, 1.
std::optional<int> ParseDay(std::string_view text) {
  for (std::string_view prefix : {"星期", "周", "礼拜"})
    if (text.starts_with(prefix)) {
      text.remove_prefix(prefix.size());
      break;
    }
  static constexpr std::string_view kDigits[] = {"一", "二", "三", "四", "五"};
  for (int d = 1; d <= kDaysPerWeek; ++d)
    if (text == kDigits[d - 1] || text == std::to_string(d)) return d;
  return std::nullopt;
}

// 1, 第1节, 1节, 第一节.
std::optional<int> ParseLesson(std::string_view text) {
  if (text.starts_with("第")) text.remove_prefix(std::string_view("第").size());
  if (text.ends_with("节")) text.remove_suffix(std::string_view("节").size());
  static constexpr std::string_view kDigits[] = {"一", "二", "三", "四", "五", "六", "七"};
  for (int n = 1; n <= kMaxLessonsPerDay; ++n)
    if (text == kDigits[n - 1] || text == std::to_string(n)) return n;
  return std::nullopt;
}

std::optional<LimitMark> ParseMark(std::string_view text) {
  for (LimitMark m : kAllMarks)
    if (text == MarkText(m)) return m;
  if (text == "最佳") return LimitMark::Best;
  if (text == "不排课") return LimitMark::Never;
  return std::nullopt;
}

CodeTable TableOf(LimitKind kind) {
  switch (kind) {
    case LimitKind::Class:
      return CodeTable::Class;
    case LimitKind::Course:
      return CodeTable::Course;
    case LimitKind::Teacher:
      return CodeTable::Teacher;
    case LimitKind::ClassRoom:
      break;
  }
  return CodeTable::ClassRoom;
}

std::optional<int> WholeNumber(std::string_view text) {
  if (text.empty() || text.size() > 6) return std::nullopt;
  int n = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    n = n * 10 + (c - '0');
  }
  return n;
}

}  // namespace

void PlanRestrictions(Work& work, Problems& problems, const Sheet& sheet) {
  constexpr size_t kKind = 0, kName = 1, kCode = 2, kDay = 3, kLesson = 4, kMark = 5;
  std::map<LimitCell, int> seen;
  for (const Row& row : sheet.rows) {
    std::optional<LimitKind> kind;
    for (size_t k = 0; k < kLimitKindNames.size(); ++k)
      if (row[kKind] == kLimitKindNames[k]) kind = static_cast<LimitKind>(k);
    if (row[kKind] == "公共教室") kind = LimitKind::ClassRoom;
    if (!kind) {
      problems.Add(
          sheet, row, kKind,
          (row[kKind].empty() ? std::string("没有填写") : Quoted(row[kKind]) + "不是对象类型") + "：应为" +
              Listed({kLimitKindNames[0], kLimitKindNames[1], kLimitKindNames[2], kLimitKindNames[3]}));
      continue;
    }
    Entry* e = Resolve(work, problems, TableOf(*kind), sheet, row, kName, kCode);
    const std::optional<int> day = ParseDay(row[kDay]);
    if (!day) problems.Add(sheet, row, kDay, Quoted(row[kDay]) + "不是星期一至星期五");
    const std::optional<int> lesson = ParseLesson(row[kLesson]);
    if (!lesson) problems.Add(sheet, row, kLesson, Quoted(row[kLesson]) + "不是第1至7节");
    const std::optional<LimitMark> mark = ParseMark(row[kMark]);
    if (!mark)
      problems.Add(sheet, row, kMark,
                   (row[kMark].empty() ? std::string("没有填写") : Quoted(row[kMark]) + "不是限制") +
                       "：应为" +
                       Listed({MarkText(LimitMark::Best), MarkText(LimitMark::Normal),
                               MarkText(LimitMark::Avoid), MarkText(LimitMark::Never)}));
    if (!e || !day || !lesson || !mark) continue;

    const LimitCell cell{DbValue(*kind), e->record.code, *day, *lesson};
    const std::string item = std::string(kLimitKindNames[size_t(DbValue(*kind))]) + " " + Label(*e) + " " +
                             SlotLabel(*day, *lesson);
    if (auto [it, fresh] = seen.emplace(cell, row.number); !fresh) {
      problems.Add(sheet, row, kLesson, "与第" + std::to_string(it->second) + "行重复：" + item);
      continue;
    }
    auto stored = work.storedLimits.find(cell);
    const std::vector<int> none;
    const std::vector<int>& rows = stored == work.storedLimits.end() ? none : stored->second;
    const bool same =
        (rows.empty() && *mark == LimitMark::Normal) || (rows.size() == 1 && rows[0] == DbValue(*mark));
    if (same) {
      work.plan->changes.push_back(
          {SheetKind::Restrictions, row.number, ImportAction::Keep, item, std::string(MarkText(*mark))});
      continue;
    }
    std::string was;
    for (int attr : rows) {
      const std::optional<LimitMark> m = MarkFromDb(attr);
      was += (was.empty() ? "" : "、") + (m ? std::string(MarkText(*m)) : std::to_string(attr));
    }
    work.plan->limits.push_back({*kind, e->record.code, *day, *lesson, *mark});
    work.plan->changes.push_back(
        {SheetKind::Restrictions, row.number, rows.empty() ? ImportAction::Add : ImportAction::Change, item,
         rows.empty() ? std::string(MarkText(*mark)) : "限制：" + was + "→" + std::string(MarkText(*mark))});
  }
}

void PlanRules(Work& work, Problems& problems, const Sheet& sheet) {
  constexpr size_t kRule = 0, kScope = 1, kObject = 2, kObjectCode = 3, kCourse = 4, kCourseCode = 5,
                   kValue = 6;
  std::map<std::tuple<RuleKey, RuleScope, std::string, std::string>, int> seen;
  for (const Row& row : sheet.rows) {
    std::optional<RuleKey> key = RuleKeyFromText(row[kRule]);
    for (const RuleKeyInfo& info : AllRuleKeys())
      if (row[kRule] == info.name) key = info.key;
    if (!key) {
      std::string names;
      for (const RuleKeyInfo& info : AllRuleKeys())
        names += (names.empty() ? "" : "、") + std::string(info.name);
      problems.Add(sheet, row, kRule,
                   (row[kRule].empty() ? std::string("没有填写") : Quoted(row[kRule]) + "不是规则") +
                       "：应为" + names);
      continue;
    }
    const RuleKeyInfo& info = InfoOf(*key);
    std::optional<RuleScope> scope;
    if (row[kScope].empty()) scope = RuleScope::kSchool;
    for (size_t s = 0; s < kRuleScopeNames.size(); ++s)
      if (row[kScope] == kRuleScopeNames[s]) scope = static_cast<RuleScope>(s);
    if (!scope) {
      problems.Add(sheet, row, kScope,
                   Quoted(row[kScope]) + "不是范围：应为全校、教师、班级、课程或班级课程");
      continue;
    }
    if (!info.scopes[size_t(*scope)]) {
      problems.Add(sheet, row, kScope,
                   std::string(info.name) + "不能按" + std::string(kRuleScopeNames[size_t(*scope)]) + "设置");
      continue;
    }

    SchoolRule rule{*key, *scope, "", "", 0};
    Entry* object = nullptr;
    Entry* course = nullptr;
    bool found = true;
    switch (*scope) {
      case RuleScope::kSchool:
        break;
      case RuleScope::kTeacher:
        found = (object = Resolve(work, problems, CodeTable::Teacher, sheet, row, kObject, kObjectCode));
        break;
      case RuleScope::kClass:
        found = (object = Resolve(work, problems, CodeTable::Class, sheet, row, kObject, kObjectCode));
        break;
      case RuleScope::kCourse:
        found = (object = Resolve(work, problems, CodeTable::Course, sheet, row, kObject, kObjectCode));
        break;
      case RuleScope::kClassCourse:
        object = Resolve(work, problems, CodeTable::Class, sheet, row, kObject, kObjectCode);
        course = Resolve(work, problems, CodeTable::Course, sheet, row, kCourse, kCourseCode);
        found = object && course;
        break;
    }
    std::optional<int> value;
    if (info.yesNo) {
      if (row[kValue] == "是" || row[kValue] == "1") value = 1;
      if (row[kValue] == "否" || row[kValue] == "0") value = 0;
    } else {
      value = WholeNumber(row[kValue]);
    }
    if (!value || *value < info.minValue || *value > info.maxValue) {
      problems.Add(
          sheet, row, kValue,
          Quoted(row[kValue]) + "不是" + std::string(info.name) + "的值：应为" +
              (info.yesNo ? std::string("是或否")
                          : std::to_string(info.minValue) + "至" + std::to_string(info.maxValue) + "的整数"));
      continue;
    }
    if (!found) continue;
    if (object) rule.code = object->record.code;
    if (course) rule.courseCode = course->record.code;
    rule.value = *value;
    if (*key == RuleKey::kRooms && rule.scope == RuleScope::kCourse && !work.special[rule.code]) {
      problems.Add(sheet, row, kObject, "专用教室数只能为专用课程设置：" + Label(*object) + "不是专用课程");
      continue;
    }

    std::string item(info.name);
    if (object) item += "（" + Label(*object) + (course ? " " + Label(*course) : "") + "）";
    if (auto [it, fresh] =
            seen.emplace(std::tuple(rule.key, rule.scope, rule.code, rule.courseCode), row.number);
        !fresh) {
      problems.Add(sheet, row, kRule, "与第" + std::to_string(it->second) + "行重复：" + item);
      continue;
    }
    const std::string valueText = RuleValueText(rule.key, rule.value);
    const SchoolRule* stored = nullptr;
    for (const SchoolRule& s : work.storedRules)
      if (s.key == rule.key && s.scope == rule.scope && s.code == rule.code &&
          s.courseCode == rule.courseCode)
        stored = &s;
    if (stored && stored->value == rule.value) {
      work.plan->changes.push_back({SheetKind::Rules, row.number, ImportAction::Keep, item, valueText});
      continue;
    }
    work.plan->rules.push_back(rule);
    work.plan->changes.push_back(
        {SheetKind::Rules, row.number, stored ? ImportAction::Change : ImportAction::Add, item,
         stored ? "值：" + RuleValueText(stored->key, stored->value) + "→" + valueText : valueText});
  }
}

}  // namespace orv::import_detail
