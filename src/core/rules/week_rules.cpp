// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/rules/week_rules.h"

#include <algorithm>
#include <bit>

namespace orv {

namespace {

bool Has(PeriodMask mask, int day, int n) { return (mask & PeriodBit(PeriodOf(day, n))) != 0; }

}  // namespace

PeriodMask TeacherDay(const SchoolModel& m, int teacher, int day) {
  return m.TeacherWeek(teacher) & DayBits(day);
}

PeriodMask ClassDay(const SchoolModel& m, int cls, int day) { return m.ClassWeek(cls) & DayBits(day); }

int LongestRun(const SchoolModel& m, PeriodMask taken, int day) {
  int longest = 0, run = 0;
  for (int n = 1; n <= m.week.lessonsPerDay; ++n) {
    run = Has(taken, day, n) ? run + 1 : 0;
    longest = std::max(longest, run);
    if (m.week.LunchAfter(n)) run = 0;
  }
  return longest;
}

int TeacherIdle(const SchoolModel& m, int teacher, int day) {
  return TeacherIdleIn(m, teacher, TeacherDay(m, teacher, day));
}

int TeacherIdleIn(const SchoolModel& m, int teacher, PeriodMask taken) {
  if (taken == 0) return 0;
  const PeriodMask never = m.teachers[static_cast<size_t>(teacher)].marks.never;
  const int first = std::countr_zero(taken), last = 63 - std::countl_zero(taken);
  int idle = 0;
  for (int p = first; p <= last; ++p)
    if (!(taken & PeriodBit(p)) && !(never & PeriodBit(p))) ++idle;
  return idle;
}

int TeacherIdleWeek(const SchoolModel& m, int teacher) {
  int idle = 0;
  for (int day = 1; day <= kDaysPerWeek; ++day) idle += TeacherIdle(m, teacher, day);
  return idle;
}

int ClassGaps(const SchoolModel& m, int cls, int day) {
  return ClassGapsIn(m, cls, ClassDay(m, cls, day), day);
}

int ClassGapsIn(const SchoolModel& m, int cls, PeriodMask taken, int day) {
  const PeriodMask never = m.classes[static_cast<size_t>(cls)].marks.never;
  int gaps = 0;
  // Walking back from the end of each half day: a free period counts once a
  // lesson has been seen after it in the same half.
  bool lessonAfter = false;
  for (int n = m.week.lessonsPerDay; n >= 1; --n) {
    if (m.week.LunchAfter(n)) lessonAfter = false;
    if (Has(taken, day, n))
      lessonAfter = true;
    else if (lessonAfter && !Has(never, day, n))
      ++gaps;
  }
  return gaps;
}

int ClassGapsWeek(const SchoolModel& m, int cls) {
  int gaps = 0;
  for (int day = 1; day <= kDaysPerWeek; ++day) gaps += ClassGaps(m, cls, day);
  return gaps;
}

std::vector<int> GroupDayLessons(const SchoolModel& m, int group) {
  const CapGroup& g = m.capGroups[static_cast<size_t>(group)];
  std::vector<int> perDay(kDaysPerWeek, 0);
  // Only the periods in which the class has a lesson.
  for (PeriodMask taken = m.ClassWeek(g.cls); taken != 0; taken &= taken - 1) {
    const int p = std::countr_zero(taken);
    for (int i : m.ClassAt(g.cls, p))
      if (m.lessons[static_cast<size_t>(i)].course == g.course)
        ++perDay[static_cast<size_t>(DayOfPeriod(p) - 1)];
  }
  return perDay;
}

int GroupDayDoubles(const SchoolModel& m, int group, int day) {
  const CapGroup& g = m.capGroups[static_cast<size_t>(group)];
  PeriodMask held = 0;
  for (int n = 1; n <= m.week.lessonsPerDay; ++n)
    for (int i : m.ClassAt(g.cls, PeriodOf(day, n)))
      if (m.lessons[static_cast<size_t>(i)].course == g.course) held |= PeriodBit(PeriodOf(day, n));
  return DoublesIn(m, held, day);
}

int DoublesIn(const SchoolModel& m, PeriodMask held, int day) {
  int pairs = 0;
  for (int n = 1; n < m.week.lessonsPerDay; ++n) {
    if (m.week.LunchAfter(n) || !Has(held, day, n) || !Has(held, day, n + 1)) continue;
    ++pairs;
    ++n;  // each lesson in one pair at most
  }
  return pairs;
}

int GroupDoubles(const SchoolModel& m, int group) {
  int pairs = 0;
  for (int day = 1; day <= kDaysPerWeek; ++day) pairs += GroupDayDoubles(m, group, day);
  return pairs;
}

int AvoidableRepeats(const SchoolModel& m, int group) {
  const std::vector<int> perDay = GroupDayLessons(m, group);
  int repeats = 0, lessons = 0;
  for (int n : perDay) {
    repeats += std::max(0, n - 1);
    lessons += n;
  }
  // Only a course with doubles asked, and repeated, pays for finding its pairs.
  const int asked = m.capGroups[static_cast<size_t>(group)].doubles;
  const int doubles = asked > 0 && repeats > 0 ? std::min(GroupDoubles(m, group), asked) : 0;
  return std::max(0, repeats - doubles - std::max(0, lessons - kDaysPerWeek));
}

int GroupDays(const SchoolModel& m, int group) {
  const std::vector<int> perDay = GroupDayLessons(m, group);
  return static_cast<int>(std::count_if(perDay.begin(), perDay.end(), [](int n) { return n > 0; }));
}

}  // namespace orv
