// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/database/school_rules.h"

#include "core/database/guard.h"

namespace orv {

namespace {

constexpr bool S = true, _ = false;
constexpr std::array<RuleKeyInfo, kRuleKeyCount> kKeys = {{
    {RuleKey::kMaxLessonsPerDay,
     "max-lessons-per-day",
     "教师每天最多节数",
     "教师任何一天上课不超过这个节数。",
     1,
     7,
     {S, S, _, _, _},
     false},
    {RuleKey::kMaxInARow,
     "max-in-a-row",
     "教师最多连续节数",
     "教师连续上课（中间没有空节）不超过这个节数；午休算作间隔。",
     1,
     7,
     {S, S, _, _, _},
     false},
    {RuleKey::kMaxGapsPerWeek,
     "max-gaps-per-week",
     "教师每周最多空节",
     "教师一天第一节课和最后一节课之间的空节，一周合计不超过这个数；教师自己“不排”的节次不算空节。",
     0,
     30,
     {S, S, _, _, _},
     false},
    {RuleKey::kNoClassGaps,
     "no-class-gaps",
     "班级课表无空节",
     "班级的空节只能在上午或下午的最后，不能夹在两节课之间。",
     0,
     1,
     {S, _, S, _, _},
     true},
    {RuleKey::kDoublesPerWeek,
     "doubles-per-week",
     "连堂课",
     "课程每周有这么多次连续两节排在同一天（不跨午休）；连堂的两节不受每天节数上限的限制。",
     1,
     17,
     {_, _, _, S, S},
     false},
    {RuleKey::kRooms,
     "rooms",
     "专用教室数",
     "学校有这么多间这门专用课程的教室：同一节最多这么多个班上这门课。",
     1,
     99,
     {_, _, _, S, _},
     false},
}};

constexpr const char* kSelectRules =
    "select RuleKey,Scope,Code,CourseCode,Value from SchoolRuletb order by RuleKey,Scope,Code,CourseCode";
constexpr const char* kReplaceRule =
    "insert or replace into SchoolRuletb (RuleKey,Scope,Code,CourseCode,Value) values (?,?,?,?,?)";
constexpr const char* kDeleteRule =
    "delete from SchoolRuletb where RuleKey=? and Scope=? and Code=? and CourseCode=?";

bool Exists(TimetableDb& db, const char* sql, const std::string& code) { return db.Exists(sql, code); }

}  // namespace

const std::array<RuleKeyInfo, kRuleKeyCount>& AllRuleKeys() { return kKeys; }

const RuleKeyInfo& InfoOf(RuleKey key) { return kKeys[static_cast<size_t>(key)]; }

std::optional<RuleKey> RuleKeyFromText(std::string_view text) {
  for (const RuleKeyInfo& k : kKeys)
    if (k.text == text) return k.key;
  return std::nullopt;
}

Result<std::vector<SchoolRule>> LoadSchoolRules(TimetableDb& db) {
  return Guarded("读取排课规则失败：", [&]() -> Result<std::vector<SchoolRule>> {
    std::vector<SchoolRule> rules;
    for (Cursor c = db.Query(kSelectRules); c.Next();) {
      const std::optional<RuleKey> key = RuleKeyFromText(c.Text(0));
      const int scope = c.Int(1);
      if (!key || scope < 0 || scope > static_cast<int>(RuleScope::kClassCourse)) continue;
      rules.push_back({*key, static_cast<RuleScope>(scope), c.Text(2), c.Text(3), c.Int(4)});
    }
    return rules;
  });
}

Result<std::string> RuleProblem(TimetableDb& db, const SchoolRule& rule) {
  const RuleKeyInfo& info = InfoOf(rule.key);
  if (!info.scopes[static_cast<size_t>(rule.scope)]) {
    static constexpr std::array<std::string_view, 5> kScopeTexts = {"全校", "教师", "班级", "课程",
                                                                    "班级的课程"};
    return std::string(info.name) + "不能按" + std::string(kScopeTexts[static_cast<size_t>(rule.scope)]) +
           "设置";
  }
  if (rule.value < info.minValue || rule.value > info.maxValue)
    return std::string(info.name) + "应为" + std::to_string(info.minValue) + "到" +
           std::to_string(info.maxValue) + "之间的整数";
  return Guarded("读取排课规则失败：", [&]() -> Result<std::string> {
    switch (rule.scope) {
      case RuleScope::kSchool:
        break;
      case RuleScope::kTeacher:
        if (!Exists(db, "select 1 from Teachertb where Code=?", rule.code))
          return "教师代码'" + rule.code + "'不存在";
        break;
      case RuleScope::kClass:
        if (!Exists(db, "select 1 from Classtb where Code=?", rule.code))
          return "班级代码'" + rule.code + "'不存在";
        break;
      case RuleScope::kClassCourse:
        if (!Exists(db, "select 1 from Classtb where Code=?", rule.code))
          return "班级代码'" + rule.code + "'不存在";
        if (!Exists(db, "select 1 from Coursetb where Code=?", rule.courseCode))
          return "课程代码'" + rule.courseCode + "'不存在";
        break;
      case RuleScope::kCourse:
        if (!Exists(db, "select 1 from Coursetb where Code=?", rule.code))
          return "课程代码'" + rule.code + "'不存在";
        if (rule.key == RuleKey::kRooms &&
            !Exists(db, "select 1 from CourseAttrtb where CourseCode=?", rule.code))
          return std::string("专用教室数只能为专用课程设置");
        break;
    }
    return std::string();
  });
}

Outcome SetSchoolRule(TimetableDb& db, const SchoolRule& rule) {
  const Result<std::string> problem = RuleProblem(db, rule);
  if (!problem) return problem.outcome();
  if (!problem->empty()) return Outcome::Fail(*problem);
  return Guarded("保存排课规则失败：", [&]() -> Outcome {
    Transaction tx(db);
    db.Execute(kReplaceRule, InfoOf(rule.key).text, static_cast<int>(rule.scope), rule.code, rule.courseCode,
               rule.value);
    tx.Commit();
    return Outcome::Ok();
  });
}

Outcome RemoveSchoolRule(TimetableDb& db, RuleKey key, RuleScope scope, std::string_view code,
                         std::string_view courseCode) {
  return Guarded("删除排课规则失败：", [&]() -> Outcome {
    Transaction tx(db);
    db.Execute(kDeleteRule, InfoOf(key).text, static_cast<int>(scope), code, courseCode);
    tx.Commit();
    return Outcome::Ok();
  });
}

std::string RuleValueText(RuleKey key, int value) {
  if (InfoOf(key).yesNo) return value != 0 ? "是" : "否";
  return std::to_string(value);
}

}  // namespace orv
