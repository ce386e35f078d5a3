// SPDX-License-Identifier: GPL-3.0-or-later
// The rows every printout and export is made from: one row per lesson, owned
// by a class, a teacher or (in the whole-school overview) a class row, sorted
// so that one owner's lessons are consecutive and in cell order (lesson, then
// day). Also the class and teacher lists the output windows offer.
//
// An owner is its code: two teachers called 张伟 are two owners, and their
// names carry the code ("张伟（T012）") so that a reader tells the pages apart.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/database/timetable_db.h"
#include "core/outcome.h"

namespace orv {

struct TimetableRow {
  TimetableRow() = default;
  // The owner may be left out where rows are made by hand: rows of one name
  // and no code are then one owner.
  TimetableRow(std::string name, std::string courseName, std::string classShortName, int day, int lessonNo,
               std::string owner = {})
      : name(std::move(name)),
        courseName(std::move(courseName)),
        classShortName(std::move(classShortName)),
        day(day),
        lessonNo(lessonNo),
        owner(std::move(owner)) {}

  std::string name;            // class name, teacher name, or class short name in the overview,
                               // followed by the code when another owner shares it or it is blank
  std::string courseName;      // course name, or course short name in the overview
  std::string classShortName;  // second line: class short name (teachers), teacher name (overview), ""
                               // (classes), with the code like the name above
  int day = 0;                 // 1-5
  int lessonNo = 0;            // 1 to the lessons per day
  std::string owner;           // the class or teacher code: what tells one owner's rows from the next

  bool operator==(const TimetableRow&) const = default;
};

enum class TimetableScope { Class, AllClasses, Teacher, AllTeachers, School };

// What one output command reads: Class and Teacher give the code of the one
// they print (never its name, which another record may share).
struct TimetableSelection {
  TimetableScope scope = TimetableScope::AllClasses;
  std::string code;
};

// The rows of the selection; a code of no class or teacher gives no rows. A
// database failure is code -1 with the reason.
Result<std::vector<TimetableRow>> ReadTimetableRows(TimetableDb& db, const TimetableSelection& selection);

// What a command reports when its selection has no lesson (code -102).
inline constexpr int kNoTimetableData = -102;
std::string_view NoTimetableMessage(TimetableScope scope);

// One entry of a selector: the code it selects and the text it shows, the
// name as the printout's title gives it (with the code when not unique).
struct TimetableChoice {
  std::string code;
  std::string label;

  bool operator==(const TimetableChoice&) const = default;
};

// The classes in table order and the teachers in code order, as the
// selectors of the print and export windows list them.
Result<std::vector<TimetableChoice>> ReadClassChoices(TimetableDb& db);
Result<std::vector<TimetableChoice>> ReadTeacherChoices(TimetableDb& db);

}  // namespace orv
