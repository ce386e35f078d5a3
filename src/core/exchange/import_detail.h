// SPDX-License-Identifier: GPL-3.0-or-later
// The importer's working parts, shared by its source files and by no one
// else: the sheets as rows of known columns, the records of each code list as
// they will be after the import, and how a sheet's name and code find one.
#pragma once

#include <array>
#include <deque>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "core/exchange/data_import.h"

namespace orv::import_detail {

// One data row: its number as the user sees it and its cells by the sheet's
// column order (folded, trimmed; "" where the sheet lacks the column). A name
// is compared folded but stored as typed (一（1）班 stays so): `raw` holds
// the cells only trimmed.
struct Row {
  int number = 0;
  std::vector<std::string> cells;
  std::vector<std::string> raw;
  const std::string& operator[](size_t column) const { return cells[column]; }
};

struct Sheet {
  SheetKind kind;
  std::string name;
  std::vector<bool> present;  // by column: the sheet has it
  std::vector<Row> rows;
};

// Finds the header row (any column order, common other names of a column,
// a title above it) and keeps the rows below it that say anything. nullopt
// with the reasons added to `problems` when the sheet cannot be read.
std::optional<Sheet> ReadSheet(const ImportSheet& in, std::vector<ImportProblem>& problems);

// Adds problems as the import goes.
class Problems {
 public:
  explicit Problems(std::vector<ImportProblem>& out) : out_(out) {}
  void Add(const Sheet& sheet, const Row& row, size_t column, std::string reason);
  void Add(const Sheet& sheet, int row, std::string column, std::string reason);
  size_t Count() const { return out_.size(); }

 private:
  std::vector<ImportProblem>& out_;
};

// A record of a code list as the import will leave it.
struct Entry {
  CodeRecord record;
  std::optional<CodeRecord> stored;  // as it is in the database; nullopt for a new one
  int sheetRow = 0;                  // the row of its own sheet that names it; 0 for none
  bool createdByPlan = false;
};

// The records of one code list: the stored ones (none when replacing) and
// those the sheets add.
class Directory {
 public:
  Directory(CodeTable table, std::vector<CodeRecord> stored);

  CodeTable table() const { return table_; }
  std::string_view noun() const;  // 班级, 课程, 教师, 教室

  Entry* ByCode(std::string_view code);
  // Records whose name has the name's NameKey.
  std::vector<Entry*> ByName(std::string_view name);
  // The stored record nearest in spelling, for "是不是…？"; "" when none is near.
  std::string NearestName(std::string_view name) const;
  // A new record: its code must be free.
  Entry& Add(CodeRecord record);
  // The next code no record has: one above the highest all-digit code, as
  // wide as the widest of them (or `width` in an empty list).
  std::string NextCode(size_t width) const;

  std::deque<Entry>& entries() { return entries_; }

 private:
  CodeTable table_;
  std::deque<Entry> entries_;  // a deque: the pointers handed out stay valid as records are added
  std::map<std::string, size_t, std::less<>> byCode_;
  std::multimap<std::string, size_t, std::less<>> byName_;
};

// What the database holds beside the code lists (nothing when replacing).
struct StoredPlanRow {
  std::string classCode, courseCode, teacherCode;
  int count = 0;
};
struct StoredLesson {
  std::string classCode;
  int day = 0, lesson = 0;
  std::string courseCode, teacherCode;
};
using LimitCell = std::tuple<int, std::string, int, int>;  // kind, code, day, lesson

// Everything one import works on.
struct Work {
  TimetableDb* db = nullptr;
  const ImportOptions* options = nullptr;
  SchoolWeek week;
  ImportPlan* plan = nullptr;
  std::array<Directory*, 4> lists{};    // by CodeTable
  std::map<std::string, bool> special;  // course code -> special, as the import leaves it
  std::vector<StoredPlanRow> storedPlan;
  std::vector<StoredLesson> storedLessons;
  std::map<LimitCell, std::vector<int>> storedLimits;  // the Attr of every row of a cell
  std::vector<SchoolRule> storedRules;

  Directory& List(CodeTable t) { return *lists[static_cast<size_t>(t)]; }
};

// The record a sheet's name (and code, where it has one) stands for; nullptr
// with a problem added when there is none or more than one. With `create`, a
// name no record has becomes a new record.
Entry* Resolve(Work& work, Problems& problems, CodeTable table, const Sheet& sheet, const Row& row,
               size_t nameColumn, std::optional<size_t> codeColumn, bool create = false);

// The four code-list sheets: courses (with their special marker), teachers,
// rooms and classes become the directories' records and the plan's changes.
void PlanRecords(Work& work, Problems& problems, const Sheet& sheet);
// The sheets that link records: teaching plan, restrictions and rules.
void PlanTeaching(Work& work, Problems& problems, const Sheet& sheet);
void PlanRestrictions(Work& work, Problems& problems, const Sheet& sheet);
void PlanRules(Work& work, Problems& problems, const Sheet& sheet);
// After every sheet: the records added and changed go into the plan's writes.
void CollectRecords(Work& work);

// What two spellings of one name share: "张　伟" and "张伟" (a space pads a
// two-character name to the width of three in many staff lists) are one.
std::string NameKey(std::string_view name);

// "王伟（001）"
std::string Label(const Entry& e);

}  // namespace orv::import_detail
