// SPDX-License-Identifier: GPL-3.0-or-later
// The rules about a whole day or week of one teacher, class or course, as
// opposed to one lesson in one period: how many lessons a teacher has on a
// day and in a row, the idle periods in a teacher's day, the free periods
// between a class's lessons, the double periods placed, the spread of a
// course over the week. The rule book's day and week rules, the checker, the
// quality report and the optimiser all measure with these.
#pragma once

#include <vector>

#include "core/model/school_model.h"

namespace orv {

// The periods of the day where the teacher (or class) has a lesson.
PeriodMask TeacherDay(const SchoolModel& model, int teacher, int day);
PeriodMask ClassDay(const SchoolModel& model, int cls, int day);

// The most lessons in a row in the taken periods of one day: a free period
// or the lunch break ends a run.
int LongestRun(const SchoolModel& model, PeriodMask taken, int day);

// Idle periods between the teacher's first and last lesson of the day; the
// teacher's own "不排" periods are not idle.
int TeacherIdle(const SchoolModel& model, int teacher, int day);
// The same for the periods of one day a lesson would leave the teacher with.
int TeacherIdleIn(const SchoolModel& model, int teacher, PeriodMask taken);
int TeacherIdleWeek(const SchoolModel& model, int teacher);

// Free periods of the class that are followed by a lesson in the same half
// day (morning: lessons 1-4, afternoon: 5 on): a class's free periods belong
// at the end of the morning or the afternoon. Its own "不排" periods do not count.
int ClassGaps(const SchoolModel& model, int cls, int day);
// The same for the periods of the day a lesson would leave the class with.
int ClassGapsIn(const SchoolModel& model, int cls, PeriodMask taken, int day);
int ClassGapsWeek(const SchoolModel& model, int cls);

// The course's lessons of the cap group on each day.
std::vector<int> GroupDayLessons(const SchoolModel& model, int group);
// Pairs of the group's lessons in consecutive periods of one day, not across
// lunch, each lesson in one pair at most: on one day, and over the week.
int GroupDayDoubles(const SchoolModel& model, int group, int day);
// The same pairs among the held periods of one day.
int DoublesIn(const SchoolModel& model, PeriodMask held, int day);
int GroupDoubles(const SchoolModel& model, int group);
// Lessons of the group on a day beyond the first that neither a double, nor
// a week of more lessons than days, makes necessary.
int AvoidableRepeats(const SchoolModel& model, int group);
// Days of the week with at least one of the group's lessons.
int GroupDays(const SchoolModel& model, int group);

}  // namespace orv
