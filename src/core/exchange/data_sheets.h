// SPDX-License-Identifier: GPL-3.0-or-later
// The exchange workbook: the sheets and columns in which a school's basic data
// goes out to a spreadsheet (the template, export-data) and comes back in
// (the import). Every reader and writer of that workbook takes its sheet
// names, headers and known values from here, so the three never disagree.
#pragma once

#include <array>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace orv {

enum class SheetKind { Guide, Courses, Teachers, Rooms, Classes, Plan, Restrictions, Rules };
inline constexpr int kSheetKindCount = 8;

// Where a column's value must come from; Courses and Teachers are the
// school's own names, which only a database knows.
enum class ValueList {
  None,
  Grades,
  ClassNumbers,
  Marks,
  RuleNames,
  RuleScopes,
  YesNo,
  LimitKinds,
  Days,
  Lessons,
  Courses,
  Teachers
};

struct ColumnInfo {
  std::string_view header;   // "名称", as the sheet's first row says it
  std::string_view meaning;  // one sentence for the 说明 sheet
  std::string_view example;
  bool required;
  ValueList values;
  bool number;  // written as a number (a count, a lesson, a class number)
  double width;
};

struct SheetInfo {
  SheetKind kind;
  std::string_view name;  // the sheet's name, and a CSV file's name without .csv
  std::string_view key;   // the CLI's --kind; "" for 说明
  std::span<const ColumnInfo> columns;
};

// In workbook order: 说明 first, then one sheet per kind.
const std::array<SheetInfo, kSheetKindCount>& ExchangeSheets();
const SheetInfo& SheetOf(SheetKind kind);
std::optional<SheetKind> SheetKindFromKey(std::string_view key);    // "courses"
std::optional<SheetKind> SheetKindFromName(std::string_view name);  // "课程"
// The column's position in the sheet, or nullopt.
std::optional<int> ColumnIndex(SheetKind kind, std::string_view header);

// The values a list allows, in drop-down order; empty for Courses, Teachers
// and None.
std::vector<std::string> KnownValues(ValueList list);

// Texts that stand for stored values, shared by the export and the import.
inline constexpr std::string_view kYes = "是";
inline constexpr std::string_view kNo = "否";
// Limittb.Kind 0-3 as the restriction sheet's 对象类型 names it.
inline constexpr std::array<std::string_view, 4> kLimitKindNames = {"班级", "课程", "教师", "教室"};
// RuleScope 0-4 as the rules sheet's 范围 names it.
inline constexpr std::array<std::string_view, 5> kRuleScopeNames = {"全校", "教师", "班级", "课程",
                                                                    "班级课程"};

}  // namespace orv
