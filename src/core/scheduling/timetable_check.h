// SPDX-License-Identifier: GPL-3.0-or-later
// The timetable checker: after manual changes and before printing, lists
// every lesson that breaks a rule of the timetable (violations) or goes
// against a restriction or the plan (warnings), in words the school uses.
// Which rule a lesson breaks is the rule book's answer (core/rules); a hard
// rule makes a violation, a soft one a warning. The checker adds what no
// placement rule says: codes no list knows and a plan its lessons disagree with.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/database/timetable_db.h"
#include "core/model/school_model.h"
#include "core/outcome.h"

namespace orv {

enum class Severity { kViolation, kWarning };

enum class FindingKind {
  // Violations.
  kClassDoubleBooked,    // a class has two lessons in one slot
  kTeacherDoubleBooked,  // a teacher has two lessons in one slot
  kCourseNeverCell,      // a lesson in a course cell marked "不排"
  kSpecialCourseClash,   // more classes in a special course at one slot than it has rooms
  kOutsideWeek,          // day or lesson number outside the week
  kUnknownClass,
  kUnknownCourse,
  kUnknownTeacher,
  kBuildCountWrong,  // a plan row's BuildCount differs from its lessons
  // The rules a school states (core/rules/stated_rules.h); a special course
  // over its rooms is kSpecialCourseClash.
  kTeacherDayMax,   // a teacher's day past max-lessons-per-day
  kTeacherInARow,   // a teacher's run past max-in-a-row
  kTeacherGaps,     // a teacher's idle periods of the week past max-gaps-per-week
  kClassGaps,       // a free period between two lessons of a class with no-class-gaps
  kDoublesMissing,  // fewer double periods than doubles-per-week asks
  // Warnings.
  kCourseDayCap,      // more lessons of a course on a day than the daily cap
  kNotPlanTeacher,    // the lesson's teacher is not the plan row's teacher
  kNotInPlan,         // the class has no plan row for the lesson's course
  kCourseAvoidCell,   // a lesson in a course cell marked "尽量不排"
  kClassNeverCell,    // a lesson in a class cell marked "不排"
  kTeacherNeverCell,  // a lesson in a teacher cell marked "不排"
};

struct Finding {
  Severity severity = Severity::kViolation;
  FindingKind kind = FindingKind::kClassDoubleBooked;
  std::string classCode;
  int day = 0;       // 0 when the finding is not about one day
  int lessonNo = 0;  // 0 when the finding is not about one slot
  std::string text;  // Chinese, naming the class, the slot and what is wrong
  // Every class the finding concerns, classCode first; a clash between
  // classes (a teacher or a special course twice at one slot) names them all.
  std::vector<std::string> classes;
};

// Checks the whole timetable against the plan and the restrictions. Findings
// come violations first, each kind ordered by class, day and lesson. A
// lesson outside the week is reported as such and breaks no other rule.
Result<std::vector<Finding>> CheckTimetable(TimetableDb& db, SchoolWeek week);
// The same over a model already loaded.
std::vector<Finding> CheckTimetable(const SchoolModel& model);

// The findings that concern one class, exactly as CheckTimetable reports
// them: its lessons, its plan rows, and every clash one of its lessons takes
// part in. Only the class's own lessons ask the rule book, so it is quick
// enough to run after every change made by hand; most of its time is the
// loading of the model, which a caller that holds one saves.
Result<std::vector<Finding>> CheckClassTimetable(TimetableDb& db, SchoolWeek week,
                                                 std::string_view classCode);
std::vector<Finding> CheckClassTimetable(const SchoolModel& model, std::string_view classCode);

struct FindingCounts {
  int violations = 0;
  int warnings = 0;
};

// The counts of CheckClassTimetable, for a status line.
Result<FindingCounts> CountClassFindings(TimetableDb& db, SchoolWeek week, std::string_view classCode);

// "本班课表：违规 1 处，警告 2 处", or "本班课表未发现问题".
std::string FindingCountsText(const FindingCounts& counts);

// "违规：..." or "警告：...", one line for a report.
std::string FindingLine(const Finding& finding);

int CountFindings(const std::vector<Finding>& findings, Severity severity);

}  // namespace orv
