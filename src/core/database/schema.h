// The eight tables of a timetable database and the indexes the slot queries use.
#pragma once

#include <array>
#include <string_view>

namespace orv {

inline constexpr int kSchemaVersion = 1;

struct TableShape {
  std::string_view name;
  std::string_view createSql;
  std::array<std::string_view, 6> columns;  // empty entries past the last column
};

// Table and column names and their order are fixed: other tools create files
// with this same DDL, and LessonListtb and Limittb rows are positional.
extern const std::array<TableShape, 8> kTables;

// Indexes added to every file on open; IF NOT EXISTS keeps the open idempotent.
extern const std::array<std::string_view, 7> kIndexSql;

}  // namespace orv
