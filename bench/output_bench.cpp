// SPDX-License-Identifier: GPL-3.0-or-later
// How long the 72-class school's workbooks and print documents take, from
// reading the rows to the finished file. Run by `make bench`.
#include "bench_school.h"
#include "core/output/excel_export.h"
#include "core/output/print_document.h"
#include "core/output/print_template.h"
#include "core/output/timetable_rows.h"

namespace {

bool Workbook(orv::TimetableDb& db, orv::TimetableScope scope, const std::filesystem::path& file) {
  auto rows = orv::ReadTimetableRows(db, {scope, ""});
  return rows && orv::ExportTimetable(scope, file, *rows, "育才实验学校", orv::bench::kLessonsPerDay).ok();
}

bool Document(orv::TimetableDb& db, orv::TimetableScope scope, const std::filesystem::path& file) {
  auto rows = orv::ReadTimetableRows(db, {scope, ""});
  return rows && orv::WritePrintDocument(scope, file, *rows, "育才实验学校", orv::bench::kLessonsPerDay).ok();
}

}  // namespace

int main() {
  using orv::TimetableScope;
  orv::bench::BenchSchool school;
  orv::TimetableDb* db = school.db();
  if (!db) return 1;
  orv::bench::PrintHeader();
  bool ok = true;
  ok &= orv::bench::Measure("whole-school workbook", true,
                            [&] { return Workbook(*db, TimetableScope::School, school.File("total.xlsx")); });
  ok &= orv::bench::Measure("all-classes workbook", true, [&] {
    return Workbook(*db, TimetableScope::AllClasses, school.File("classes.xlsx"));
  });
  ok &= orv::bench::Measure("all-teachers workbook", true, [&] {
    return Workbook(*db, TimetableScope::AllTeachers, school.File("teachers.xlsx"));
  });
  ok &= orv::bench::Measure("whole-school print document", false,
                            [&] { return Document(*db, TimetableScope::School, school.File("total.xml")); });
  ok &= orv::bench::Measure("all-teachers print document", false, [&] {
    return Document(*db, TimetableScope::AllTeachers, school.File("teachers.xml"));
  });
  // A damaged or hostile template: 1.6 MB of '&' in one value. Reading it
  // once took 14 s when each '&' searched the rest of the text for its ';'.
  const std::string hostile = "<template><title text=\"" + std::string(1600000, '&') + "\">";
  ok &= orv::bench::Measure("template of 1.6 MB of '&'", false,
                            [&] { return orv::ParsePrintTemplate(hostile).ok(); });
  return ok ? 0 : 1;
}
