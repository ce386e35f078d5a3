// SPDX-License-Identifier: GPL-3.0-or-later
// The rules a school states beyond its weeks of marks: a teacher's most
// lessons a day, in a row and idle periods a week, classes without gaps,
// double periods, and the rooms of a special course. Each is stored once per
// scope: school-wide (the default for everyone), or for one teacher, class,
// course (in every class) or course in one class. The most specific counts.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/database/timetable_db.h"
#include "core/outcome.h"

namespace orv {

enum class RuleKey : int {
  kMaxLessonsPerDay,  // a teacher's most lessons on any day
  kMaxInARow,         // a teacher's most lessons without a free period (lunch is a break)
  kMaxGapsPerWeek,    // a teacher's most idle periods a week
  kNoClassGaps,       // a class's free periods only at the end of the morning or afternoon (1 = yes)
  kDoublesPerWeek,    // of a course's weekly lessons, this many pairs on one day, not across lunch
  kRooms,             // a special course's rooms: at most this many classes have it at once
};
inline constexpr int kRuleKeyCount = 6;

enum class RuleScope : int { kSchool = 0, kTeacher = 1, kClass = 2, kCourse = 3, kClassCourse = 4 };

struct RuleKeyInfo {
  RuleKey key;
  std::string_view text;         // "max-lessons-per-day": the CLI's key and the stored one
  std::string_view name;         // "教师每天最多节数"
  std::string_view description;  // one sentence for the rules window and the manual
  int minValue, maxValue;
  // Where the rule may be set: kSchool, then the specific scope it takes.
  std::array<bool, 5> scopes;
  bool yesNo;  // stored 1 or 0, shown as 是/否 (yes/no in the CLI)
};
const std::array<RuleKeyInfo, kRuleKeyCount>& AllRuleKeys();
const RuleKeyInfo& InfoOf(RuleKey key);
std::optional<RuleKey> RuleKeyFromText(std::string_view text);

struct SchoolRule {
  RuleKey key = RuleKey::kMaxLessonsPerDay;
  RuleScope scope = RuleScope::kSchool;
  std::string code;        // teacher, class or course; "" school-wide
  std::string courseCode;  // the course of kClassCourse; "" otherwise
  int value = 0;
  bool operator==(const SchoolRule&) const = default;
};

// Every stored rule, by key, scope and codes. Rows another program wrote with
// an unknown key or scope are left out (and kept in the file).
Result<std::vector<SchoolRule>> LoadSchoolRules(TimetableDb& db);

// Why the rule cannot be stored ("" when it can): a scope the key does not
// take, a value out of its range, or a code no list holds. `rooms` needs a
// special course.
Result<std::string> RuleProblem(TimetableDb& db, const SchoolRule& rule);

// Stores the rule in place of the one of the same key and scope, in one
// transaction; refused with RuleProblem's reason and nothing written.
Outcome SetSchoolRule(TimetableDb& db, const SchoolRule& rule);

// Removes the rule of that key and scope; succeeds when there was none.
Outcome RemoveSchoolRule(TimetableDb& db, RuleKey key, RuleScope scope, std::string_view code,
                         std::string_view courseCode);

// "教师每天最多节数 = 4（王伟）"-like text is the window's; this is the value as
// shown: a number, or 是/否 for a yes/no rule.
std::string RuleValueText(RuleKey key, int value);

}  // namespace orv
