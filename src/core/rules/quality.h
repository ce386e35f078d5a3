// SPDX-License-Identifier: GPL-3.0-or-later
// How good a timetable is, beyond keeping the rules: the idle periods of the
// teachers, the free periods in the middle of a class's day, a course twice
// on one day when it need not be, the "尽量不排" and "最佳位置" cells, and the
// days of a teacher's parallel classes (同头课). Every measure is asked of
// week_rules.h, stated_rules.h and rule_index.h; nothing is derived here a
// second time. The quality report prints these numbers and the optimiser
// lowers their one weighted score, re-measuring only what a move touched
// through the per-entity scores below.
#pragma once

#include <algorithm>
#include <string>
#include <vector>

#include "core/database/timetable_db.h"
#include "core/model/school_model.h"
#include "core/outcome.h"

namespace orv {

// The weights of the soft goals in the score. A class's free period between
// lessons and a teacher's idle period weigh most: they are what a school
// notices first. The class's weighs more still, since pupils cannot be sent
// anywhere, and a teacher's idle periods beyond the third of the week cost
// three times as much, since a week of more than three is what teachers
// complain of (and at twice, the optimiser left a few such weeks). A
// lesson that misses the "最佳位置" cells it has weighs more than one idle
// period of a teacher within the allowance: a school marks them for a reason,
// and an optimiser that gave them up for a little less idle time left fewer
// of them than the completion had placed. A needless same-day repeat and a
// "尽量不排" cell come next and, least, unequal days of parallel classes.
inline constexpr int kIdleWeight = 12;
inline constexpr int kIdleOverWeight = 24;
inline constexpr int kIdleAllowance = 3;  // idle periods a week a teacher takes without complaint
inline constexpr int kClassGapWeight = 30;
inline constexpr int kRepeatWeight = 10;
inline constexpr int kAvoidWeight = 10;  // per "尽量不排" cell of the course, class or teacher
inline constexpr int kBestMissWeight = 20;
inline constexpr int kParallelWeight = 2;

// A teacher's classes that have the same course with that teacher (同头课,
// parallel classes): two or more. Their lessons should meet on the same days
// so that the classes keep pace with one another.
struct ParallelGroup {
  int teacher = 0, course = 0;
  std::vector<int> capGroups;  // one per class
};
std::vector<ParallelGroup> ParallelGroups(const SchoolModel& model);

// How unequal the days of the parallel classes are: for each day, the most
// lessons of the course any of the classes has that day less the fewest,
// summed over the week. 0 when every class has the course on the same days
// as often.
int ParallelMismatch(const SchoolModel& model, const ParallelGroup& group);
// The same from each cap group's lessons per day as GroupDayLessons gives
// them, for a search that keeps those at hand: daysOf(group) -> const std::vector<int>&.
template <class DaysOf>
int ParallelMismatch(const ParallelGroup& group, DaysOf&& daysOf) {
  std::vector<int> most(kDaysPerWeek, 0), fewest(kDaysPerWeek, 1 << 20);
  for (int g : group.capGroups) {
    const std::vector<int>& perDay = daysOf(g);
    for (size_t d = 0; d < perDay.size(); ++d) {
      most[d] = std::max(most[d], perDay[d]);
      fewest[d] = std::min(fewest[d], perDay[d]);
    }
  }
  int mismatch = 0;
  for (size_t d = 0; d < most.size(); ++d) mismatch += most[d] - fewest[d];
  return mismatch;
}

// A lesson wants a "最佳位置" cell when its course, class or teacher marks one
// anywhere in the week; it misses them when it stands in none.
bool MissesBest(const SchoolModel& model, const ModelLesson& lesson);
// A lesson standing in a "最佳位置" cell of its course, class or teacher.
bool InBest(const SchoolModel& model, const ModelLesson& lesson);

// The weighted score of one teacher, class, cap group, lesson or parallel
// group; the timetable's score is their sum, and a search that moved a lesson
// re-measures only those the move touched.
int TeacherScore(const SchoolModel& model, int teacher);
int ClassScore(const SchoolModel& model, int cls);
int GroupScore(const SchoolModel& model, int group);
int LessonScore(const SchoolModel& model, int lesson);
int ParallelScore(const SchoolModel& model, const ParallelGroup& group);
template <class DaysOf>
int ParallelScore(const ParallelGroup& group, DaysOf&& daysOf) {
  return ParallelMismatch(group, daysOf) * kParallelWeight;
}

// The whole score: 0 is a timetable with none of the shortfalls above.
long long QualityScore(const SchoolModel& model, const std::vector<ParallelGroup>& parallel);

// Lessons that break a rule between lessons or of the week where they stand
// (a class or teacher twice in a period, a lesson beyond the week, in a
// "不排" cell of its course). The stated rules, special-course rooms
// included, are counted as StatedBreaches, not here.
int LessonBreaches(const SchoolModel& model);

struct QualityReport {
  int lessons = 0;        // lessons in the week
  int planned = 0;        // lessons a week the plan asks for (its usable rows)
  int teacherIdle = 0;    // idle periods of every teacher, in the week
  int worstTeacher = -1;  // the teacher with the most, -1 when no teacher is idle
  int worstTeacherIdle = 0;
  int teachersOverAllowance = 0;  // teachers idle more than kIdleAllowance periods a week
  int classGaps = 0;              // free periods between two lessons of a class
  int classesWithGaps = 0;
  int repeats = 0;           // avoidable same-day repeats of a course
  int crowdedCourses = 0;    // a class's course of 4+ lessons on fewer than 4 days
  int doublesAsked = 0;      // double periods the stated rules ask for
  int doublesPlaced = 0;     // of those, placed (no more than asked per course)
  int bestLessons = 0;       // lessons in a "最佳位置" cell
  int bestWanted = 0;        // lessons whose course, class or teacher marks one
  int avoidLessons = 0;      // lessons in a "尽量不排" cell
  int parallelMismatch = 0;  // 同头课: see ParallelMismatch
  int statedBreaches = 0;    // breaches of the stated rules (StatedBreaches)
  int lessonBreaches = 0;    // see LessonBreaches
  long long score = 0;
};

QualityReport MeasureQuality(const SchoolModel& model);

// One teacher's week as the quality window draws it: the idle periods (as
// TeacherIdleWeek counts them) and the lessons of each day.
struct TeacherWeekLoad {
  int teacher = 0;
  std::string name;
  int idle = 0;
  std::vector<int> perDay;  // Monday to Friday
};
// Every teacher with a lesson in the week, the most idle first (then by
// name, so that equal weeks keep one order).
std::vector<TeacherWeekLoad> TeacherLoads(const SchoolModel& model);
// The stored timetable, read in one transaction.
Result<QualityReport> MeasureQuality(TimetableDb& db, SchoolWeek week);

}  // namespace orv
