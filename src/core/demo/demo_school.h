// SPDX-License-Identifier: GPL-3.0-or-later
// A realistic demo school: classes formed as the class editor forms them, the
// courses of a Chinese primary or middle school, teachers with ordinary loads,
// a teaching plan that fills most of the week, a few course restrictions, a
// few teachers who are away at known times, and the class meeting fixed on
// Friday's last lesson.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

#include "core/calendar/term_calendar.h"
#include "core/database/class_list.h"
#include "core/database/timetable_db.h"
#include "core/outcome.h"

namespace orv {

struct DemoOptions {
  int firstGrade = 1;       // 1-9
  int lastGrade = 6;        // firstGrade-9
  int classesPerGrade = 3;  // 1-20
  int lessonsPerDay = 6;    // 6 or 7
  std::uint64_t seed = 1;   // picks the teachers' names
  // Share of each class's week the plan fills, in percent (50-100); 0 keeps
  // the ordinary 80-95 %, which varies a little from grade to grade.
  int fillPercent = 0;
  // A part-time teacher away on Friday afternoons, one at a district meeting
  // on Wednesday afternoons, one who would rather not teach the last lesson.
  bool teacherLimits = true;
  // The rules such a school states: no teacher more than four lessons a day
  // or three in a row, and 语文 in grades 5-9 with one double period a week.
  bool statedRules = false;
  std::string schoolName = "育才实验学校";
  // The autumn term of 2026 (DemoTermCalendar), for the web pages and the
  // calendar files.
  bool termCalendar = false;
};

// From 2026-09-01 for 20 weeks, a bell time for each lesson, the National
// Day holiday 2026-10-01 to 10-07 and the Sunday 2026-10-11 taught as a Wednesday.
TermCalendar DemoTermCalendar(int lessonsPerDay);

// Checks the options; the message says what is wrong.
Outcome ValidateDemoOptions(const DemoOptions& options);

// Fills an empty timetable database, in one transaction; on failure the
// database is unchanged.
Outcome FillDemoSchool(TimetableDb& db, const DemoOptions& options);

}  // namespace orv
