// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/rules/stated_rules.h"

#include <algorithm>
#include <bit>
#include <set>

#include "core/rules/week_rules.h"

namespace orv {

namespace {

template <class Add>
void TeacherBreaches(const SchoolModel& m, int t, Add add) {
  const TeacherRules& r = m.teacherRules[static_cast<size_t>(t)];
  for (int day = 1; day <= kDaysPerWeek; ++day) {
    const PeriodMask taken = TeacherDay(m, t, day);
    if (r.maxPerDay > 0 && std::popcount(taken) > r.maxPerDay)
      add({Rule::kTeacherDayMax, t, day, -1, std::popcount(taken) - r.maxPerDay, r.maxPerDay});
    if (r.maxInARow > 0)
      if (const int run = LongestRun(m, taken, day); run > r.maxInARow)
        add({Rule::kTeacherInARow, t, day, -1, run - r.maxInARow, r.maxInARow});
  }
  if (r.maxGaps >= 0)
    if (const int idle = TeacherIdleWeek(m, t); idle > r.maxGaps)
      add({Rule::kTeacherGaps, t, 0, -1, idle - r.maxGaps, r.maxGaps});
}

template <class Add>
void ClassBreaches(const SchoolModel& m, int c, Add add) {
  if (!m.noClassGaps[static_cast<size_t>(c)]) return;
  for (int day = 1; day <= kDaysPerWeek; ++day)
    if (const int gaps = ClassGaps(m, c, day); gaps > 0) add({Rule::kClassGaps, c, day, -1, gaps, 0});
}

template <class Add>
void GroupBreaches(const SchoolModel& m, int g, Add add) {
  const int asked = m.capGroups[static_cast<size_t>(g)].doubles;
  if (asked <= 0) return;
  if (const int placed = GroupDoubles(m, g); placed < asked)
    add({Rule::kDoubles, g, 0, -1, asked - placed, asked});
}

// Classes holding the special course in the period.
int ClassesAt(const SchoolModel& m, int course, int period) {
  std::set<int> classes;
  for (int i : m.CourseAt(course, period)) classes.insert(m.lessons[static_cast<size_t>(i)].cls);
  return static_cast<int>(classes.size());
}

template <class Add>
void RoomBreaches(const SchoolModel& m, int k, int period, Add add) {
  if (!m.special[static_cast<size_t>(k)]) return;
  const int rooms = m.rooms[static_cast<size_t>(k)];
  if (const int classes = ClassesAt(m, k, period); classes > rooms)
    add({Rule::kSpecialCourseClash, k, DayOfPeriod(period), period, classes - rooms, rooms});
}

template <class Each>
int Sum(Each each) {
  int amount = 0;
  each([&](const StatedBreach& b) { amount += b.amount; });
  return amount;
}

}  // namespace

std::vector<StatedBreach> StatedBreaches(const SchoolModel& m) {
  std::vector<StatedBreach> out;
  const auto add = [&](const StatedBreach& b) { out.push_back(b); };
  for (int t = 0; t < static_cast<int>(m.teachers.size()); ++t) TeacherBreaches(m, t, add);
  for (int c = 0; c < static_cast<int>(m.classes.size()); ++c) ClassBreaches(m, c, add);
  for (int g = 0; g < static_cast<int>(m.capGroups.size()); ++g) GroupBreaches(m, g, add);
  for (int k = 0; k < static_cast<int>(m.courses.size()); ++k)
    for (int p = 0; p < kWeekPeriods; ++p)
      if (m.weekBits & PeriodBit(p)) RoomBreaches(m, k, p, add);
  return out;
}

int TeacherBreach(const SchoolModel& m, int t) {
  return Sum([&](auto add) { TeacherBreaches(m, t, add); });
}
int ClassBreach(const SchoolModel& m, int c) {
  return Sum([&](auto add) { ClassBreaches(m, c, add); });
}
int GroupBreach(const SchoolModel& m, int g) {
  return Sum([&](auto add) { GroupBreaches(m, g, add); });
}
int RoomBreach(const SchoolModel& m, int k, int period) {
  return Sum([&](auto add) { RoomBreaches(m, k, period, add); });
}

}  // namespace orv
