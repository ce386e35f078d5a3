// SPDX-License-Identifier: GPL-3.0-or-later
// The steps of automatic generation, one function each, so that the order of
// plan rows, the spreading of a row over the week and the choice of one slot
// can be tested on their own. BuildTimetable strings them together.
//
// The steps work on the school model in memory: a run loads it once, places
// every lesson there, asking the rule book whether a slot is free, and
// writes the result back in one go. Each step sees the lessons placed just
// before it. The order in which rows are taken and slots are drawn is the
// one the stored plan and timetable give, so a seed always gives the same
// timetable.
#pragma once

#include <array>
#include <vector>

#include "core/database/timetable_db.h"
#include "core/domain/marks.h"
#include "core/model/school_model.h"
#include "core/outcome.h"
#include "core/rules/rule_book.h"
#include "core/scheduling/random.h"

namespace orv {

// What a run keeps of a plan row while it works.
struct GenerationRow {
  int buildCount = 0;
  bool autoBuilt = false;
  // Which codes are stored as NULL: such a code matches no lesson and no
  // other row, unlike an empty one.
  bool classNull = false, courseNull = false, teacherNull = false;
};

// A run in memory: the school, the plan's counters and the lessons placed.
struct GenerationState {
  SchoolModel model;
  std::vector<GenerationRow> rows;  // one per model.needs
  std::vector<int> placed;          // the run's lessons (model.lessons), in the order placed
  // The rows of each cap group (class and course) whose class and course are
  // stored, in table order: the first gives Count and BuildCount to all.
  std::vector<std::vector<int>> groupRows;
  std::vector<int> teacherLoad;  // per teacher: the sum of Count over its rows
  // Per teacher and day: its lessons that day, whatever their lesson number.
  std::vector<std::array<int, kDaysPerWeek>> teacherDay;
};

// The school as stored, read in the caller's transaction.
Result<GenerationState> LoadGenerationState(TimetableDb& db, SchoolWeek week);

// Writes a run back: drops the lessons that were not fixed in advance
// (SetFlag NULL stays), adds the placed ones in the order placed and sets
// every plan row's BuildCount and IsAutoBuild. Errors are thrown.
void WriteGeneration(TimetableDb& db, const GenerationState& state);

// What one run needs besides the state.
struct GenerationContext {
  GenerationState& state;
  UniformRandom& random;
};

// Drops every lesson that was not fixed in advance, unmarks all plan rows and
// sets each row's BuildCount to the number of its fixed lessons.
void ResetAutoBuild(GenerationState& state);

// The next course to place and, through teacher, the teacher whose classes
// are taken first: the teacher with unbuilt rows in the most classes, then
// that teacher's course in the most classes (more weekly lessons on a tie).
// -1 when no unbuilt row is left or the course chosen has no code.
int PickNextTeacherCourse(const GenerationState& state, int& teacher);

// The next unbuilt row of the course (an index into model.needs), preferring
// the given teacher; replaces the teacher by the row's own. -1 when the
// course has no unbuilt row.
int PickNextClass(const GenerationState& state, int course, int& teacher);

enum class RowOutcome {
  kBuilt,       // all missing lessons placed (or none were missing); row marked
  kNoSlot,      // a lesson found no slot; later lessons not tried; row marked
  kUnreadable,  // a code of the row is NULL: its lessons have no owner; not marked
};

// Places the row's missing lessons, spreading them evenly from Monday.
RowOutcome BuildPlanRow(GenerationContext& ctx, int row);

// The teacher already has at least cap lessons on day Int(d).
bool TeacherDayFull(const GenerationState& state, int teacher, double d, int cap);

// A lesson number for one lesson of the candidate, or -1 when the week has
// no acceptable slot. d is the day position (1.0 = Monday); on success its
// integer part is the day used, on failure it is restored.
int ChooseLesson(GenerationContext& ctx, const Candidate& lesson, double& d);

// A random acceptable lesson number of the day among the course's cells
// with the mark (a pass searches Best, Normal or Avoid cells), or -1.
int SearchSlot(GenerationContext& ctx, const Candidate& lesson, int day, LimitMark mark);

// The run's lessons in a "不排" cell of their class or teacher, which the
// generation leaves to the completion.
int LessonsInNeverCells(const GenerationState& state);

// Percent of planned lessons that stand in the timetable, halves rounded to
// even; at most 99 while any row misses a lesson. -1 with no plan or a zero
// total.
int CompletionRate(TimetableDb& db);

}  // namespace orv
