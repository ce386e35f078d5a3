// SPDX-License-Identifier: GPL-3.0-or-later
// The eight tables of a timetable database, the tables added to them since,
// and the indexes the slot queries use.
#pragma once

#include <array>
#include <span>
#include <string_view>

namespace orv {

// PRAGMA user_version of a file that has every migration below. Files made
// before migrations existed say 0 or 1 and hold just the eight tables.
inline constexpr int kSchemaVersion = 4;

struct TableShape {
  std::string_view name;
  std::string_view createSql;
  std::array<std::string_view, 6> columns;  // empty entries past the last column
};

// Table and column names and their order are fixed: other tools create files
// with this same DDL, and LessonListtb and Limittb rows are positional.
extern const std::array<TableShape, 8> kTables;

// One numbered step from the file format before it: the statements bring a
// file of version toVersion-1 to toVersion. They only add (tables, rows that
// record what the file already implies); nothing in an older file changes
// meaning, so a file can always be opened by this and every later version.
struct Migration {
  int toVersion;
  std::span<const std::string_view> statements;
};

// In order of toVersion, the last one reaching kSchemaVersion.
extern const std::array<Migration, 3> kMigrations;

// Settings a database keeps for itself (Name, Value), so that a school's file
// means the same on every computer that opens it.
inline constexpr std::string_view kSchoolSettingTable = "SchoolSettingtb";

// The rules a school states beyond the weeks of marks (version 3): one row a
// rule and scope, e.g. ("max-lessons-per-day", teacher, "007", "", 4).
inline constexpr std::string_view kSchoolRuleTable = "SchoolRuletb";

// Indexes added to every file on open; IF NOT EXISTS keeps the open idempotent.
extern const std::array<std::string_view, 7> kIndexSql;

}  // namespace orv
