// SPDX-License-Identifier: GPL-3.0-or-later
// The check before scheduling: what makes a complete timetable impossible
// (blocking) or hard to reach (warning), found from the plan, the
// restrictions and the lessons that do not move, before any search.
#pragma once

#include <string>
#include <vector>

#include "core/database/timetable_db.h"
#include "core/model/school_model.h"
#include "core/outcome.h"
#include "core/rules/rule_index.h"

namespace orv {

enum class AnalysisSeverity { kBlocking, kWarning };

enum class AnalysisKind {
  // Blocking.
  kNoClasses,             // the class list is empty
  kNoCourses,             // the course list is empty
  kNoTeachers,            // the teacher list is empty
  kEmptyPlan,             // the teaching plan has no row
  kUnknownInPlan,         // a plan row's class, course or teacher no longer exists
  kBadPlanCount,          // a plan row's weekly count is missing or no whole number from 1 to 35
  kClassOverloaded,       // more lessons than the class's open periods
  kTeacherOverloaded,     // more lessons than the teacher's open periods
  kClassTeacherOverload,  // a teacher's lessons in a class exceed the periods both have open
  kDailyCapShort,         // the daily cap on the open days leaves too little room
  kSpecialOverloaded,     // a special course's lessons exceed its rooms in its open periods
  kWallsClash,            // two lessons that do not move share a class, teacher or special course
  kTeacherDayMaxShort,    // a teacher's max-lessons-per-day on the open days leaves too little room
  kDoublesImpossible,     // doubles-per-week asks more pairs than the free adjacent periods give
  // Warnings.
  kTeacherTight,
  kSpecialTight,
  kWallInNeverCell,  // a fixed or hand-placed lesson in a "不排" cell
  kDuplicatePlanRow,
  kSharedName,  // two or more classes, courses, teachers or classrooms of one name
  kBlankName,   // a record without a name
};

struct AnalysisFinding {
  AnalysisSeverity severity = AnalysisSeverity::kBlocking;
  AnalysisKind kind = AnalysisKind::kUnknownInPlan;
  // What it is about; empty where it is not about one.
  std::string classCode, courseCode, teacherCode;
  std::string text;  // Chinese, naming them and giving the numbers
  // Lessons it keeps out of every timetable; 0 for doubles that cannot all
  // be paired, which keep no lesson out.
  int shortfall = 0;
};

// The findings for the school in the database, blocking ones first. Names
// that do not tell records apart are warned about last: scheduling works by
// code, but the people who read the windows and printouts go by name.
Result<std::vector<AnalysisFinding>> AnalyzeSchool(TimetableDb& db, int lessonsPerDay);
std::vector<AnalysisFinding> AnalyzeModel(const SchoolModel& model);

// "错误：..." or "警告：...", one line for a report.
std::string AnalysisLine(const AnalysisFinding& finding);
int CountAnalysis(const std::vector<AnalysisFinding>& findings, AnalysisSeverity severity);

// Lessons that no timetable can place, as far as the findings prove.
int ProvenShortfall(const std::vector<AnalysisFinding>& findings);

// The first blocking finding about the row's class, course or teacher.
const AnalysisFinding* BlockingFindingFor(const std::vector<AnalysisFinding>& findings,
                                          const SchoolModel& model, const PlanNeed& need);

}  // namespace orv
