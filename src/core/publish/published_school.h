// SPDX-License-Identifier: GPL-3.0-or-later
// The timetable as it is handed out: every lesson with the names people read,
// the classes, teachers and special courses that get a page or a calendar,
// read once. The web pages, the calendar files, the CSV file, the stored
// publication and the change notice all work from this one picture, so they
// never disagree about what was published.
#pragma once

#include <string>
#include <vector>

#include "core/database/record_names.h"
#include "core/database/timetable_db.h"
#include "core/domain/marks.h"
#include "core/domain/week.h"
#include "core/outcome.h"

namespace orv {

struct PublishedLesson {
  std::string classCode, className;
  int day = 0, lesson = 0;
  std::string courseCode, courseName;
  std::string teacherCode, teacherName;
  LessonOrigin origin = LessonOrigin::Automatic;
  bool operator==(const PublishedLesson&) const = default;
};

struct PublishedSchool {
  std::string schoolName;
  SchoolWeek week;
  // Code order. A name shared by two records carries its code (RecordLabel),
  // so that no two pages or calendars have one title.
  std::vector<NamedRecord> classes, teachers, specialCourses;
  // By class, day and lesson; lessons outside the week are left out.
  std::vector<PublishedLesson> lessons;
};

// One read transaction.
Result<PublishedSchool> ReadPublishedSchool(TimetableDb& db, SchoolWeek week, std::string schoolName);

}  // namespace orv
