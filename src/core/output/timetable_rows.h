// The rows every printout and export is made from: one row per lesson, owned
// by a class, a teacher or (in the whole-school overview) a class row, sorted
// so that one owner's lessons are consecutive and in cell order (lesson, then
// day). Also the class and teacher lists the output windows offer.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/database/timetable_db.h"
#include "core/outcome.h"

namespace orv {

struct TimetableRow {
  std::string name;        // class name, teacher name, or class short name in the overview
  std::string courseName;  // course name, or course short name in the overview
  std::string
      classShortName;  // second line: class short name (teachers), teacher name (overview), "" (classes)
  int day = 0;         // 1-5
  int lessonNo = 0;    // 1 to the lessons per day

  bool operator==(const TimetableRow&) const = default;
};

enum class TimetableScope { Class, AllClasses, Teacher, AllTeachers, School };

// What one output command reads: Class and Teacher name the one they print.
struct TimetableSelection {
  TimetableScope scope = TimetableScope::AllClasses;
  std::string name;
};

// The rows of the selection; a name that resolves to no class or teacher
// gives no rows. A database failure is code -1 with the reason.
Result<std::vector<TimetableRow>> ReadTimetableRows(TimetableDb& db, const TimetableSelection& selection);

// What a command reports when its selection has no lesson (code -102).
inline constexpr int kNoTimetableData = -102;
std::string_view NoTimetableMessage(TimetableScope scope);

// The class names in table order and the teacher names in code order, as the
// selectors of the print and export windows list them.
Result<std::vector<std::string>> ReadClassNames(TimetableDb& db);
Result<std::vector<std::string>> ReadTeacherNames(TimetableDb& db);

}  // namespace orv
