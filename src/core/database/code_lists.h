// SPDX-License-Identifier: GPL-3.0-or-later
// The four code lists (classes, courses, teachers, public classrooms) share
// one record shape. These routines are what their editors write: each user
// operation is one transaction, and nothing is written when it is refused.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/database/timetable_db.h"
#include "core/outcome.h"

namespace orv {

enum class CodeTable { Class, Course, Teacher, ClassRoom };
enum class CodeField { Code, Name, FullName, ShortName };

struct CodeRecord {
  std::string code;
  std::string name;
  std::string fullName;
  std::string shortName;

  bool operator==(const CodeRecord&) const = default;
};

// Leading and trailing blanks (spaces, tabs, the full-width space) removed.
std::string TrimBlanks(std::string_view text);
CodeRecord TrimmedRecord(const CodeRecord& record);

// Stored: the order the table returns the records; ByCode: sorted by code.
enum class CodeOrder { Stored, ByCode };

// Every record of the table. A failing read ends the list silently with the
// records read so far, as the editors fill their lists.
std::vector<CodeRecord> LoadCodeRecords(TimetableDb& db, CodeTable table,
                                        CodeOrder order = CodeOrder::Stored);

// The required fields of an editor that are blank, in the order in which the
// editor reports them (the first one names the problem and takes the focus).
// Classrooms need only a code and a name.
std::vector<CodeField> MissingCodeFields(CodeTable table, const CodeRecord& typed);

// Codes of a refused write. A database failure has Outcome::kFailed and the
// reason as its message. Nothing is written when a write fails.
inline constexpr int kDuplicateCode = -2;   // the message is the editor's "... 已经存在！"
inline constexpr int kRecordNotFound = -3;  // no stored record has the code

// Inserts the trimmed record unless its code is already stored.
Outcome AppendCodeRecord(TimetableDb& db, CodeTable table, const CodeRecord& typed);

// Rewrites name, full name and short name of the record with the trimmed
// code; the code itself is never written.
Outcome ModifyCodeRecord(TimetableDb& db, CodeTable table, const CodeRecord& typed);

// Deletes the record and, for classes, courses and teachers, its lessons,
// plan rows, restrictions and school rules (a course also its special-course
// mark). A
// classroom loses only its own row: its
// restrictions stay until data maintenance. All or nothing.
Outcome DeleteCodeRecord(TimetableDb& db, CodeTable table, std::string_view code);

}  // namespace orv
