// A realistic demo school: classes formed as the class editor forms them, the
// courses of a Chinese primary or middle school, teachers with ordinary loads,
// a teaching plan that fills most of the week, a few course restrictions, and
// the class meeting fixed on Friday's last lesson.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

#include "core/database/timetable_db.h"
#include "core/outcome.h"

namespace orv {

struct DemoOptions {
  int firstGrade = 1;       // 1-9
  int lastGrade = 6;        // firstGrade-9
  int classesPerGrade = 3;  // 1-20
  int lessonsPerDay = 6;    // 6 or 7
  std::uint64_t seed = 1;   // picks the teachers' names
  std::string schoolName = "育才实验学校";
};

// Checks the options; the message says what is wrong.
Outcome ValidateDemoOptions(const DemoOptions& options);

// Fills an empty timetable database, in one transaction; on failure the
// database is unchanged.
Outcome FillDemoSchool(TimetableDb& db, const DemoOptions& options);

// Class code and names exactly as the class list editor composes them.
std::string ClassCodeFor(int grade, int number);
std::string GradeText(int grade);

}  // namespace orv
