// The steps of automatic generation, one function each, so that the order of
// plan rows, the spreading of a row over the week and the choice of one slot
// can be tested on their own. BuildTimetable strings them together.
//
// Every step reads the current tables: nothing of the timetable is copied
// into memory, so each test sees the lessons placed just before it.
// Only BuildTimetable (and the tests) call these steps: their database errors
// are thrown (SQLite::Exception), and BuildTimetable turns them into its
// Outcome after rolling the whole run back. Windows and the CLI never call them.
#pragma once

#include <string>

#include "core/database/timetable_db.h"
#include "core/database/week_marks.h"
#include "core/rules/rule_book.h"
#include "core/scheduling/random.h"

namespace orv {

// What one run needs besides the database.
struct GenerationContext {
  TimetableDb& db;
  int lessonsPerDay;
  UniformRandom& random;
};

// Drops every lesson that was not fixed in advance, unmarks all plan rows and
// sets each row's BuildCount to the number of its fixed lessons.
void ResetAutoBuild(TimetableDb& db);

// The next course to place and, through *teacher, the teacher whose classes
// are taken first: the teacher with unbuilt rows in the most classes, then
// that teacher's course in the most classes (more weekly lessons on a tie).
// "" when no unbuilt row is left.
std::string PickNextTeacherCourse(TimetableDb& db, std::string& teacher);

// The next unbuilt row of the course, preferring the given teacher; replaces
// the teacher by the row's own. "" when the course has no unbuilt row.
std::string PickNextClass(TimetableDb& db, const std::string& course, std::string& teacher);

enum class RowOutcome {
  kBuilt,       // all missing lessons placed (or none were missing); row marked
  kNoSlot,      // a lesson found no slot; later lessons not tried; row marked
  kUnreadable,  // the row or its teacher's load could not be read; not marked
  kNotMarked,   // marking the row changed nothing (its key does not match)
};

// Places the row's missing lessons, spreading them evenly from Monday.
RowOutcome BuildPlanRow(GenerationContext& ctx, const std::string& cls, const std::string& course,
                        const std::string& teacher);

// Marks the row processed; returns the number of plan rows marked.
int MarkPlanRowBuilt(TimetableDb& db, const std::string& cls, const std::string& course,
                     const std::string& teacher);

// The teacher already has at least cap lessons on day Int(d).
bool TeacherDayFull(TimetableDb& db, const std::string& teacher, double d, int cap);

// Percent of planned lessons that stand in the timetable, halves rounded to
// even; at most 99 while any row misses a lesson. -1 with no plan or a zero
// total.
int CompletionRate(TimetableDb& db);

// A lesson number for one lesson of the row, or -1 when the week has no
// acceptable slot. d is the day position (1.0 = Monday); on success its
// integer part is the day used, on failure it is restored. x is Count / 5.
int ChooseLesson(GenerationContext& ctx, const std::string& cls, const std::string& course,
                 const std::string& teacher, double& d, double x);

// A random acceptable lesson number of the day among the course's cells
// with the mark (a pass searches Best, Normal or Avoid cells), or -1.
int SearchSlot(GenerationContext& ctx, const std::string& cls, const std::string& course,
               const std::string& teacher, int day, double x, LimitMark mark);

// The class already has Int(x) + 1 or more lessons of the course on the day.
bool CourseDayFull(TimetableDb& db, const std::string& cls, const std::string& course, int day, double x);

}  // namespace orv
