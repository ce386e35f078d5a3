// SPDX-License-Identifier: GPL-3.0-or-later
// The rule book: every rule of a timetable, written once. Generation's
// candidate test, the completion's index, the checker, the targets and
// tooltips of manual adjustment and the analysis before scheduling all ask
// here whether a lesson may stand in a period and, if not, why.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/model/school_model.h"

namespace orv {

enum class Rule : int {
  kOutsideWeek,         // the period is not one of the school week
  kClassClash,          // the class already has a lesson then
  kTeacherClash,        // the teacher already teaches then
  kSpecialCourseClash,  // another class has the special course then
  kCourseNever,         // the course's cell says "不排"
  kClassNever,          // the class's cell says "不排"
  kTeacherNever,        // the teacher's cell says "不排"
  kDailyCap,            // more of the course on the day than its daily cap
  kCourseAvoid,         // the course's cell says "尽量不排"
  // The rules a school states (core/database/school_rules.h); each binds only
  // whom it is stated for.
  kTeacherDayMax,  // more lessons on the day than the teacher's max-lessons-per-day
  kTeacherInARow,  // more lessons in a row than the teacher's max-in-a-row
  kTeacherGaps,    // more idle periods in the week than the teacher's max-gaps-per-week
  kClassGaps,      // a free period between two lessons of a class with no-class-gaps
  kDoubles,        // fewer double periods than the course's doubles-per-week
};
inline constexpr int kRuleCount = 14;

// A hard rule a timetable must keep; a soft one it should.
enum class RuleStrength { kHard, kSoft };

struct RuleInfo {
  Rule rule;
  std::string_view name;         // "班级冲突"
  std::string_view description;  // one sentence for a report or a help page
  RuleStrength strength;
};
const std::array<RuleInfo, kRuleCount>& AllRules();
const RuleInfo& InfoOf(Rule rule);

// A set of rules, one bit each.
class RuleSet {
 public:
  constexpr RuleSet() = default;
  constexpr RuleSet(std::initializer_list<Rule> rules) {
    for (Rule r : rules) Add(r);
  }
  static constexpr RuleSet All() {
    RuleSet s;
    s.bits_ = (std::uint32_t{1} << kRuleCount) - 1;
    return s;
  }
  constexpr void Add(Rule r) { bits_ |= Bit(r); }
  constexpr bool Has(Rule r) const { return (bits_ & Bit(r)) != 0; }
  constexpr bool Empty() const { return bits_ == 0; }
  constexpr bool operator==(const RuleSet&) const = default;

 private:
  static constexpr std::uint32_t Bit(Rule r) { return std::uint32_t{1} << static_cast<int>(r); }
  std::uint32_t bits_ = 0;
};

// A lesson of the class, course and teacher that would stand in a period.
// The lessons in `leaving` (indices into the model's lessons, -1 for none)
// are taken out first: the lesson itself when it is checked where it
// stands, or both lessons of a swap.
struct Candidate {
  int cls = 0, course = 0, teacher = 0;
  std::array<int, 2> leaving = {-1, -1};
  // When set, only the lessons it marks are in the timetable: e.g. the
  // lessons that do not move, for a search that moves all the others.
  const std::vector<char>* standing = nullptr;

  // A stored lesson where it stands (or is about to move), not in its own way.
  static Candidate Of(const SchoolModel& model, int lesson, int alsoLeaving = -1);
  bool Leaves(int lesson) const {
    return lesson == leaving[0] || lesson == leaving[1] ||
           (standing != nullptr && !(*standing)[static_cast<size_t>(lesson)]);
  }
};

// The rules the candidate breaks at the period, among those asked; a period
// of -1 (or one past the school's day) breaks kOutsideWeek and nothing else.
// The stated rules are read with the candidate there: its teacher's lessons
// that day and run (kTeacherDayMax, kTeacherInARow), the teacher's idle
// periods of the week (kTeacherGaps), a gap left in its class's day
// (kClassGaps). kDoubles is never broken by one placement; the week measure
// (stated_rules.h) reports doubles not placed. A rule not asked costs nothing.
RuleSet Test(const SchoolModel& model, const Candidate& candidate, int period,
             RuleSet asked = RuleSet::All());

struct BrokenRule {
  Rule rule;
  // Why, in Chinese, without the lesson and period, which the caller names:
  // "已有其他班级上课", "教师王伟此时段设为不排", "星期三 将有3节，超过每天最多2节".
  std::string reason;
};
std::vector<BrokenRule> Check(const SchoolModel& model, const Candidate& candidate, int period,
                              RuleSet asked = RuleSet::All());

// The lessons that make the candidate break a clash rule at the period
// (kClassClash, kTeacherClash or kSpecialCourseClash), in table order; none
// for any other rule. A special course breaks only when other classes fill
// all its rooms; then every lesson of theirs there is in the way.
std::vector<int> InTheWay(const SchoolModel& model, const Candidate& candidate, int period, Rule rule);
// The rules two lessons in one period break against each other, each by
// something a lesson holds for the period: its class, its teacher, and its
// course when the course is special (held by as many classes at a time as it
// has rooms). Two lessons holding the same class or teacher clash, as do more
// classes holding a special course than it has rooms. A search that books who holds what
// in each period finds a lesson's clashes by looking up its own holdings.
inline constexpr std::array<Rule, 3> kHeldRules = {Rule::kClassClash, Rule::kTeacherClash,
                                                   Rule::kSpecialCourseClash};
inline constexpr int kHeldKinds = static_cast<int>(kHeldRules.size());
// The rule's entry in kHeldRules, -1 for a rule not between two lessons.
constexpr int HeldKindOf(Rule rule) {
  for (int i = 0; i < kHeldKinds; ++i)
    if (kHeldRules[static_cast<size_t>(i)] == rule) return i;
  return -1;
}
// Per entry of kHeldRules, the index (of a class, teacher or course) a lesson
// of the class, course and teacher holds, -1 when it holds nothing under that rule.
std::array<int, kHeldKinds> HoldingsOf(const SchoolModel& model, int cls, int course, int teacher);
// Per entry of kHeldRules, how many things there are to hold.
std::array<int, kHeldKinds> HoldingCounts(const SchoolModel& model);

// The lessons of the candidate's course its class would have on the day
// with the candidate there, and the most it may have: more breaks kDailyCap.
// A double period the school asks for (doubles-per-week) counts once toward
// the cap: up to that many pairs of the day, the candidate at `period` in them
// when it is given and falls on the day.
struct DayLoad {
  int lessons = 0;
  int cap = 0;    // 0 when the class's plan has no row for the course: no cap
  int pairs = 0;  // pairs of the day that count as one lesson each
  // What the cap is held against.
  int Counted() const { return lessons - pairs; }
};
DayLoad CourseDayLoad(const SchoolModel& model, const Candidate& candidate, int day, int period = -1);

// A day with `lessons` of a course already may take one more below its cap.
constexpr bool DayHasRoom(int lessons, int cap) { return lessons < cap; }

// The daily cap of a course whose weekly count is x = Count / 5 as
// generation forms it: Int(x) + 1.
int CourseDailyCap(double x);
// The same from a plan row's Count; 1 for a row of no lessons.
int PlanDailyCap(long long count);

}  // namespace orv
