// SPDX-License-Identifier: GPL-3.0-or-later
// Names are what people read; codes are what tell records apart. A large
// school has two teachers called 张伟, and a record may be stored without a
// name, so whatever shows one record among others (a printout's title, a
// selector, a warning) adds the code where the name alone would not do.
#pragma once

#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "core/database/code_lists.h"
#include "core/database/timetable_db.h"
#include "core/outcome.h"

namespace orv {

struct NamedRecord {
  std::string code;
  std::string name;

  bool operator==(const NamedRecord&) const = default;
};

// "张伟（T012）"; a record without a name is "（T012）".
std::string RecordLabel(std::string_view name, std::string_view code);
// The labels joined with "、".
std::string RecordLabels(const std::vector<NamedRecord>& records);

// What the table calls a record in a sentence: 班级, 课程, 教师, 教室.
std::string_view RecordNoun(CodeTable table);

// The names that do not tell one record of the table apart: those that two or
// more records share, and the blank name. `shortNames` reads the ShortName
// column (the whole-school overview names classes by it) instead of Name.
class NameClashes {
 public:
  static Result<NameClashes> Load(TimetableDb& db, CodeTable table, bool shortNames = false);

  bool Ambiguous(std::string_view name) const;
  // The name alone where it is unambiguous, RecordLabel otherwise.
  std::string Label(std::string_view name, std::string_view code) const;

 private:
  std::set<std::string, std::less<>> shared_;
};

// The records of the table with exactly this name, in stored order.
Result<std::vector<NamedRecord>> RecordsNamed(TimetableDb& db, CodeTable table, std::string_view name);
// The record with this code: none or one.
Result<std::vector<NamedRecord>> RecordsCoded(TimetableDb& db, CodeTable table, std::string_view code);

// The other records that already carry `name` (all but the one with `code`):
// what an editor asks about before it stores the name. Empty for a blank
// name, which the editors refuse on their own.
Result<std::vector<NamedRecord>> OtherRecordsNamed(TimetableDb& db, CodeTable table, std::string_view name,
                                                   std::string_view code);

// One name that does not identify a record: every record that carries it
// (two or more, or any number of records with a blank name).
struct NameClash {
  CodeTable table = CodeTable::Class;
  std::string name;  // "" for the blank name
  std::vector<NamedRecord> records;
};

// The clashes of all four lists: classes, courses, teachers, classrooms, each
// by name and then in stored order.
Result<std::vector<NameClash>> FindNameClashes(TimetableDb& db);

// One sentence about a clash for a report, naming the records and codes.
std::string NameClashText(const NameClash& clash);

}  // namespace orv
