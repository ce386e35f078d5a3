// SPDX-License-Identifier: GPL-3.0-or-later
// The import: a school's basic data read from the exchange workbook (or from
// one CSV file per kind), checked as a whole, shown as what it would add and
// change, and only then written, in one transaction. Schools type their
// sheets by hand in WPS or Excel, so the reading forgives what people type
// (column order, full-width digits, class names in any common form) and every
// problem names the sheet, row and column where the user can mend it.
#pragma once

#include <array>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "core/database/code_lists.h"
#include "core/database/school_rules.h"
#include "core/database/timetable_db.h"
#include "core/domain/marks.h"
#include "core/domain/week.h"
#include "core/exchange/data_sheets.h"
#include "core/files/table_reader.h"
#include "core/outcome.h"

namespace orv {

// The sheets of an import file: every sheet of a workbook, or the one table
// of a CSV file. A CSV file's kind is `kind`, or else its name (教师.csv, or
// teachers.csv). Refused with a Chinese message: an unreadable file, a CSV
// file whose kind cannot be told, a file of another type.
struct ImportSheet {
  SheetKind kind;
  Table table;
};
Result<std::vector<ImportSheet>> ReadImportFile(const std::filesystem::path& path,
                                                std::optional<SheetKind> kind = std::nullopt);
// The sheets of a workbook's tables that hold a kind of data; sheets of other
// names (说明, the drop-down values, a school's own notes) are left out.
std::vector<ImportSheet> ImportSheetsOf(std::vector<Table> tables);

enum class ImportMode {
  Merge,    // records matched by code, or else by name, are updated; the rest is added
  Replace,  // the basic data and the timetable are cleared first
};

struct ImportOptions {
  ImportMode mode = ImportMode::Merge;
  // A plan row may name a course, teacher or class that no sheet and no
  // record has: with this it becomes a new record (a class only when its name
  // says its grade and number), for a school that has only its 任课表.
  bool createNamed = false;
};

// Where a problem is: row is the sheet's row as the user sees it (1 is the
// first), 0 for the whole sheet; column is the header, "" for the whole row.
struct ImportProblem {
  std::string sheet;
  int row = 0;
  std::string column;
  std::string reason;
};
// "教学计划 第12行 教师：…"
std::string ProblemText(const ImportProblem& p);

enum class ImportAction { Add, Change, Keep };
std::string_view ActionText(ImportAction action);  // 新增, 修改, 不变

// One line of the preview: a record, plan row, restriction or rule.
struct ImportChange {
  SheetKind sheet;
  int row = 0;  // where the sheet says it; 0 for a record a plan row creates
  ImportAction action = ImportAction::Keep;
  std::string item;    // "王伟（001）", "一（1）班 语文", "教师 王伟 星期一第1节"
  std::string detail;  // for a change: "姓名：王伟→王玮"; for an addition: its values
};

struct ImportCounts {
  int added = 0, changed = 0, kept = 0;
  bool operator==(const ImportCounts&) const = default;
};

// What Replace clears before it writes.
struct ImportClearing {
  int classes = 0, courses = 0, teachers = 0, rooms = 0, planRows = 0, lessons = 0, restrictions = 0,
      rules = 0;
  bool Any() const;
};

// The writes the import will make, resolved to codes.
struct ImportPlanRow {
  std::string classCode, courseCode, teacherCode;
  int count = 0;
  // The stored row's teacher when the row is stored; nullopt for a new row.
  std::optional<std::string> storedTeacher;
};
struct ImportLimit {
  LimitKind kind;
  std::string code;
  int day = 0, lesson = 0;
  LimitMark mark;
};

struct ImportPlan {
  ImportOptions options;
  std::vector<ImportProblem> problems;  // any problem: nothing may be written
  // What the user should know though nothing stops the import: lessons that
  // follow a plan row's new teacher into a clash, more placed lessons than a
  // new count.
  std::vector<std::string> warnings;
  std::vector<ImportChange> changes;  // in sheet order, then row order
  ImportClearing clearing;

  std::array<std::vector<CodeRecord>, 4> records;            // by CodeTable: added or changed
  std::vector<std::pair<std::string, bool>> specialCourses;  // course code, special
  std::vector<ImportPlanRow> planRows;                       // added or changed
  std::vector<ImportLimit> limits;                           // changed cells (Normal: no row)
  std::vector<SchoolRule> rules;                             // added or changed

  bool Ok() const { return problems.empty(); }
  ImportCounts CountsOf(SheetKind sheet) const;
  ImportCounts Total() const;
};

// Checks the sheets against each other and the database and works out every
// write, changing nothing. The week says how many lessons a class's plan may
// hold. Fails only when the database cannot be read; bad sheets are the
// plan's problems.
Result<ImportPlan> PlanImport(TimetableDb& db, const std::vector<ImportSheet>& sheets,
                              const ImportOptions& options, SchoolWeek week);

// Writes a plan without problems in one transaction: all of it or nothing.
// Plan rows keep BuildCount equal to their lessons in the timetable.
Outcome ApplyImport(TimetableDb& db, const ImportPlan& plan);

}  // namespace orv
