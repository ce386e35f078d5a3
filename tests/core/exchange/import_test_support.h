// SPDX-License-Identifier: GPL-3.0-or-later
// Sheets as a school types them, and the database as a whole, for the
// importer's tests.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "core/exchange/data_import.h"
#include "support/test_db.h"

namespace orv::test {

using Cells = std::vector<std::vector<std::string>>;

inline ImportSheet SheetOfRows(SheetKind kind, Cells rows) {
  return {kind, Table{std::string(SheetOf(kind).name), std::move(rows), ""}};
}

// Every row of the basic-data and timetable tables, sorted, as one text: two
// equal texts are two equal databases.
inline std::string Dump(TimetableDb& db) {
  const std::pair<const char*, const char*> tables[] = {
      {"Classtb", "Code,Name,FullName,ShortName"},
      {"Coursetb", "Code,Name,FullName,ShortName"},
      {"Teachertb", "Code,Name,FullName,ShortName"},
      {"ClassRoomtb", "Code,Name,FullName,ShortName"},
      {"ClassPlantb", "ClassCode,CourseCode,TeacherCode,Count,BuildCount,IsAutoBuild"},
      {"LessonListtb", "ClassCode,Day,LessonNo,CourseCode,TeacherCode,SetFlag"},
      {"Limittb", "Kind,Code,Day,LessonNo,Attr"},
      {"CourseAttrtb", "CourseCode"},
      {"SchoolRuletb", "RuleKey,Scope,Code,CourseCode,Value"},
  };
  std::string out;
  for (const auto& [table, columns] : tables) {
    std::string row = "quote(" + std::string(columns) + ")";
    for (size_t at; (at = row.find(',')) != std::string::npos;) row.replace(at, 1, ")||'|'||quote(");
    std::vector<std::string> rows;
    for (Cursor c = db.Query("select " + row + " from " + table); c.Next();) rows.push_back(c.Text(0));
    std::sort(rows.begin(), rows.end());
    out += std::string(table) + "\n";
    for (const std::string& r : rows) out += "  " + r + "\n";
  }
  return out;
}

// The problems as the user reads them, one per line.
inline std::string ProblemsText(const ImportPlan& plan) {
  std::string out;
  for (const ImportProblem& p : plan.problems) out += ProblemText(p) + "\n";
  return out;
}

inline ImportPlan Planned(TimetableDb& db, const std::vector<ImportSheet>& sheets, ImportOptions options = {},
                          int lessonsPerDay = 7) {
  Result<ImportPlan> plan = PlanImport(db, sheets, options, lessonsPerDay);
  EXPECT_TRUE(plan) << plan.message();
  return plan ? std::move(*plan) : ImportPlan{};
}

}  // namespace orv::test
