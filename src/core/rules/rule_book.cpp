// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/rules/rule_book.h"

#include <algorithm>
#include <cmath>

#include "core/rules/week_rules.h"

namespace orv {

namespace {

constexpr std::array<RuleInfo, kRuleCount> kRules = {{
    {Rule::kOutsideWeek, "超出上课时间", "课程只能排在每周五天、每天规定节数之内。", RuleStrength::kHard},
    {Rule::kClassClash, "班级冲突", "一个班级同一节只能上一节课。", RuleStrength::kHard},
    {Rule::kTeacherClash, "教师冲突", "一位教师同一节只能在一个班级上课。", RuleStrength::kHard},
    {Rule::kSpecialCourseClash, "专用课程冲突",
     "专用课程（如使用专用教室的课程）同一节上课的班级不超过它的专用教室数（未设置时为1）。",
     RuleStrength::kHard},
    {Rule::kCourseNever, "课程不排", "课程不排在其上课时间限制中设为“不排”的节次。", RuleStrength::kHard},
    {Rule::kClassNever, "班级不排", "班级在其上课时间限制中设为“不排”的节次不上课。", RuleStrength::kSoft},
    {Rule::kTeacherNever, "教师不排", "教师在其上课时间限制中设为“不排”的节次不上课。", RuleStrength::kSoft},
    {Rule::kDailyCap, "每天节数上限",
     "一个班级一门课程每天最多排“每周节数÷5的整数部分+1”节，使课程分散在一周之中。", RuleStrength::kSoft},
    {Rule::kCourseAvoid, "课程尽量不排", "课程尽量不排在其上课时间限制中设为“尽量不排”的节次。",
     RuleStrength::kSoft},
    {Rule::kTeacherDayMax, "教师每天最多节数", "教师任何一天上课不超过规定的节数。", RuleStrength::kHard},
    {Rule::kTeacherInARow, "教师最多连续节数", "教师连续上课不超过规定的节数；午休算作间隔。",
     RuleStrength::kHard},
    {Rule::kTeacherGaps, "教师每周最多空节", "教师一周的空节不超过规定的数目；教师自己“不排”的节次不算空节。",
     RuleStrength::kHard},
    {Rule::kClassGaps, "班级课表无空节", "班级的空节只能在上午或下午的最后，不能夹在两节课之间。",
     RuleStrength::kHard},
    {Rule::kDoubles, "连堂课", "课程每周按规定的次数排成同一天连续的两节，不跨午休。", RuleStrength::kHard},
}};

// The classes other than the candidate's that hold the special course in the
// period, each once, up to `most`.
int OtherClassesIn(const SchoolModel& m, const Candidate& c, int period, int most) {
  const std::vector<int>& here = m.CourseAt(c.course, period);
  const auto holder = [&](size_t k) {
    const int i = here[k];
    const int cls = m.lessons[static_cast<size_t>(i)].cls;
    // The class's own second lesson of it is a class clash, not this one.
    return c.Leaves(i) || cls == c.cls ? -1 : cls;
  };
  int classes = 0;
  for (size_t k = 0; k < here.size() && classes < most; ++k) {
    const int cls = holder(k);
    if (cls < 0) continue;
    bool seen = false;
    for (size_t e = 0; e < k && !seen; ++e) seen = holder(e) == cls;
    if (!seen) ++classes;
  }
  return classes;
}

// Every room of the special course is taken by other classes in the period.
bool RoomsTaken(const SchoolModel& m, const Candidate& c, int period) {
  if (!m.special[static_cast<size_t>(c.course)]) return false;
  const int rooms = std::max(1, m.rooms[static_cast<size_t>(c.course)]);
  return OtherClassesIn(m, c, period, rooms) >= rooms;
}

// Calls found(lesson) for each lesson a clash rule counts against the
// candidate at the period, until it returns false.
template <class Found>
void ForEachInTheWay(const SchoolModel& m, const Candidate& c, int period, Rule rule, Found found) {
  const std::vector<int>* lessons = nullptr;
  switch (rule) {
    case Rule::kClassClash:
      lessons = &m.ClassAt(c.cls, period);
      break;
    case Rule::kTeacherClash:
      lessons = &m.TeacherAt(c.teacher, period);
      break;
    case Rule::kSpecialCourseClash:
      // While a room is free the other classes are in nobody's way.
      if (!RoomsTaken(m, c, period)) return;
      lessons = &m.CourseAt(c.course, period);
      break;
    default:
      return;
  }
  for (int i : *lessons) {
    if (c.Leaves(i)) continue;
    if (rule == Rule::kSpecialCourseClash && m.lessons[static_cast<size_t>(i)].cls == c.cls) continue;
    if (!found(i)) return;
  }
}

bool Blocked(const SchoolModel& m, const Candidate& c, int period, Rule rule) {
  if (rule == Rule::kSpecialCourseClash) return RoomsTaken(m, c, period);
  bool blocked = false;
  ForEachInTheWay(m, c, period, rule, [&](int) { return !(blocked = true); });
  return blocked;
}

// The periods of the day where the lessons the index gives are, with the
// leaving ones gone and the candidate at the period when it falls that day.
template <class LessonsAt>
PeriodMask DayWith(const SchoolModel& m, const Candidate& c, int day, int period, LessonsAt lessonsAt) {
  PeriodMask taken = 0;
  for (int n = 1; n <= m.week.lessonsPerDay; ++n) {
    const int p = PeriodOf(day, n);
    for (int i : lessonsAt(p))
      if (!c.Leaves(i)) {
        taken |= PeriodBit(p);
        break;
      }
  }
  if (DayOfPeriod(period) == day) taken |= PeriodBit(period);
  return taken;
}

PeriodMask TeacherDayWith(const SchoolModel& m, const Candidate& c, int day, int period) {
  return DayWith(m, c, day, period,
                 [&](int p) -> const std::vector<int>& { return m.TeacherAt(c.teacher, p); });
}

// The teacher's idle periods of the week with the candidate there.
int TeacherIdleWith(const SchoolModel& m, const Candidate& c, int period) {
  int idle = 0;
  for (int day = 1; day <= kDaysPerWeek; ++day)
    idle += TeacherIdleIn(m, c.teacher, TeacherDayWith(m, c, day, period));
  return idle;
}

// The class's free periods between lessons on the candidate's day with it there.
int ClassGapsWith(const SchoolModel& m, const Candidate& c, int period) {
  const int day = DayOfPeriod(period);
  return ClassGapsIn(
      m, c.cls,
      DayWith(m, c, day, period, [&](int p) -> const std::vector<int>& { return m.ClassAt(c.cls, p); }), day);
}

// "（连堂1次按1节计）" when pairs of a double count once.
std::string PairsText(const DayLoad& load) {
  return load.pairs > 0 ? "（连堂" + std::to_string(load.pairs) + "次按1节计）" : "";
}

std::string DayName(int day) { return std::string(kDayNames[static_cast<size_t>(day - 1)]); }

}  // namespace

const std::array<RuleInfo, kRuleCount>& AllRules() { return kRules; }

const RuleInfo& InfoOf(Rule rule) { return kRules[static_cast<size_t>(rule)]; }

Candidate Candidate::Of(const SchoolModel& model, int lesson, int alsoLeaving) {
  const ModelLesson& l = model.lessons[static_cast<size_t>(lesson)];
  return {l.cls, l.course, l.teacher, {lesson, alsoLeaving}};
}

std::array<int, kHeldKinds> HoldingsOf(const SchoolModel& m, int cls, int course, int teacher) {
  static_assert(kHeldRules[0] == Rule::kClassClash && kHeldRules[1] == Rule::kTeacherClash &&
                kHeldRules[2] == Rule::kSpecialCourseClash);
  return {cls, teacher, m.special[static_cast<size_t>(course)] ? course : -1};
}

std::array<int, kHeldKinds> HoldingCounts(const SchoolModel& m) {
  return {static_cast<int>(m.classes.size()), static_cast<int>(m.teachers.size()),
          static_cast<int>(m.courses.size())};
}

int CourseDailyCap(double x) { return static_cast<int>(std::floor(x)) + 1; }

int PlanDailyCap(long long count) {
  return count > 0 ? CourseDailyCap(1.0 / (5.0 / static_cast<double>(count))) : 1;
}

std::vector<int> InTheWay(const SchoolModel& m, const Candidate& c, int period, Rule rule) {
  std::vector<int> lessons;
  if (period < 0 || period >= kWeekPeriods || !(m.weekBits & PeriodBit(period))) return lessons;
  ForEachInTheWay(m, c, period, rule, [&](int i) {
    lessons.push_back(i);
    return true;
  });
  return lessons;
}

DayLoad CourseDayLoad(const SchoolModel& m, const Candidate& c, int day, int period) {
  DayLoad load;
  const int group = m.CapGroupOf(c.cls, c.course);
  if (group < 0) return load;
  const CapGroup& g = m.capGroups[static_cast<size_t>(group)];
  load.cap = PlanDailyCap(g.firstCount);
  load.lessons = 1;
  PeriodMask held = 0;
  for (int n = 1; n <= kMaxLessonsPerDay; ++n)
    for (int i : m.ClassAt(c.cls, PeriodOf(day, n)))
      if (!c.Leaves(i) && m.lessons[static_cast<size_t>(i)].course == c.course) {
        ++load.lessons;
        held |= PeriodBit(PeriodOf(day, n));
      }
  // Only a course with doubles stated pays for finding its pairs.
  if (g.doubles > 0) {
    if (period >= 0 && DayOfPeriod(period) == day) held |= PeriodBit(period);
    load.pairs = std::min(g.doubles, DoublesIn(m, held, day));
  }
  return load;
}

RuleSet Test(const SchoolModel& m, const Candidate& c, int period, RuleSet asked) {
  RuleSet broken;
  if (period < 0 || period >= kWeekPeriods || !(m.weekBits & PeriodBit(period))) {
    if (asked.Has(Rule::kOutsideWeek)) broken.Add(Rule::kOutsideWeek);
    return broken;
  }
  const auto check = [&](Rule rule, auto&& brokenNow) {
    if (asked.Has(rule) && brokenNow()) broken.Add(rule);
  };
  const PeriodMask bit = PeriodBit(period);
  for (Rule clash : {Rule::kClassClash, Rule::kTeacherClash, Rule::kSpecialCourseClash})
    check(clash, [&] { return Blocked(m, c, period, clash); });
  check(Rule::kCourseNever,
        [&] { return (m.courses[static_cast<size_t>(c.course)].marks.never & bit) != 0; });
  check(Rule::kClassNever, [&] { return (m.classes[static_cast<size_t>(c.cls)].marks.never & bit) != 0; });
  check(Rule::kTeacherNever,
        [&] { return (m.teachers[static_cast<size_t>(c.teacher)].marks.never & bit) != 0; });
  check(Rule::kDailyCap, [&] {
    const DayLoad load = CourseDayLoad(m, c, DayOfPeriod(period), period);
    return load.cap > 0 && !DayHasRoom(load.Counted() - 1, load.cap);
  });
  check(Rule::kCourseAvoid,
        [&] { return (m.courses[static_cast<size_t>(c.course)].marks.avoid & bit) != 0; });
  if (asked.Has(Rule::kTeacherDayMax) || asked.Has(Rule::kTeacherInARow) || asked.Has(Rule::kTeacherGaps)) {
    const TeacherRules& r = m.teacherRules[static_cast<size_t>(c.teacher)];
    const int day = DayOfPeriod(period);
    const PeriodMask taken =
        r.maxPerDay > 0 || r.maxInARow > 0 ? TeacherDayWith(m, c, day, period) : PeriodMask{0};
    check(Rule::kTeacherDayMax, [&] { return r.maxPerDay > 0 && CountPeriods(taken) > r.maxPerDay; });
    check(Rule::kTeacherInARow, [&] { return r.maxInARow > 0 && LongestRun(m, taken, day) > r.maxInARow; });
    check(Rule::kTeacherGaps, [&] { return r.maxGaps >= 0 && TeacherIdleWith(m, c, period) > r.maxGaps; });
  }
  check(Rule::kClassGaps,
        [&] { return m.noClassGaps[static_cast<size_t>(c.cls)] && ClassGapsWith(m, c, period) > 0; });
  // kDoubles is about the week: one lesson more or less does not decide
  // whether the pairs come out as asked, so no placement breaks it here; the
  // week measure (GroupBreach in stated_rules.h) reports a shortfall.
  return broken;
}

std::vector<BrokenRule> Check(const SchoolModel& m, const Candidate& c, int period, RuleSet asked) {
  std::vector<BrokenRule> out;
  const RuleSet broken = Test(m, c, period, asked);
  if (broken.Empty()) return out;
  const std::string teacher = "教师" + m.teachers[static_cast<size_t>(c.teacher)].name;
  const TeacherRules& rules = m.teacherRules[static_cast<size_t>(c.teacher)];
  for (const RuleInfo& info : kRules) {
    if (!broken.Has(info.rule)) continue;
    std::string reason;
    switch (info.rule) {
      case Rule::kOutsideWeek:
        reason = "不在每周五天、每天" + std::to_string(m.week.lessonsPerDay) + "节课的范围内";
        break;
      case Rule::kClassClash:
        reason = "该班级此时段已有课";
        break;
      case Rule::kTeacherClash:
        reason = teacher + "此时段已有课";
        break;
      case Rule::kSpecialCourseClash: {
        const int rooms = std::max(1, m.rooms[static_cast<size_t>(c.course)]);
        reason = rooms == 1 ? "已有其他班级上课"
                            : "已有" + std::to_string(OtherClassesIn(m, c, period, kWeekPeriods)) +
                                  "个班级上课，专用教室只有" + std::to_string(rooms) + "间";
        break;
      }
      case Rule::kCourseNever:
        reason = "该课程此时段设为不排";
        break;
      case Rule::kClassNever:
        reason = "该班级此时段设为不排";
        break;
      case Rule::kTeacherNever:
        reason = teacher + "此时段设为不排";
        break;
      case Rule::kDailyCap: {
        const int day = DayOfPeriod(period);
        const DayLoad load = CourseDayLoad(m, c, day, period);
        reason = DayName(day) + " 将有" + std::to_string(load.lessons) + "节" + PairsText(load) +
                 "，超过每天最多" + std::to_string(load.cap) + "节";
        break;
      }
      case Rule::kCourseAvoid:
        reason = "该课程此时段设为尽量不排";
        break;
      case Rule::kTeacherDayMax: {
        const int day = DayOfPeriod(period);
        reason = teacher + " " + DayName(day) + " 将有" +
                 std::to_string(CountPeriods(TeacherDayWith(m, c, day, period))) + "节，超过每天最多" +
                 std::to_string(rules.maxPerDay) + "节";
        break;
      }
      case Rule::kTeacherInARow: {
        const int day = DayOfPeriod(period);
        reason = teacher + " " + DayName(day) + " 将连续上" +
                 std::to_string(LongestRun(m, TeacherDayWith(m, c, day, period), day)) + "节，超过最多" +
                 std::to_string(rules.maxInARow) + "节";
        break;
      }
      case Rule::kTeacherGaps:
        reason = teacher + " 本周将有" + std::to_string(TeacherIdleWith(m, c, period)) + "个空节，超过最多" +
                 std::to_string(rules.maxGaps) + "个";
        break;
      case Rule::kClassGaps:
        reason =
            m.classes[static_cast<size_t>(c.cls)].name + " " + DayName(DayOfPeriod(period)) + " 将有空节";
        break;
      case Rule::kDoubles:  // never broken by one placement (see Test)
        reason = std::string(info.description);
        break;
    }
    out.push_back({info.rule, std::move(reason)});
  }
  return out;
}

}  // namespace orv
