// SPDX-License-Identifier: GPL-3.0-or-later
// How long the import of the 72-class school's basic data takes, from
// reading its workbook to the committed transaction, and that a file over
// the size limit is refused before it is read. Run by `make bench`.
#include <sys/resource.h>

#include <fstream>

#include "bench_school.h"
#include "core/exchange/data_export.h"
#include "core/exchange/data_import.h"

namespace {

bool Import(const std::filesystem::path& book, orv::TimetableDb& db, int* records = nullptr) {
  auto sheets = orv::ReadImportFile(book);
  if (!sheets) return false;
  auto plan = orv::PlanImport(db, *sheets, {}, orv::bench::kLessonsPerDay);
  if (!plan || !plan->Ok()) return false;
  if (records) *records = int(plan->changes.size());
  return orv::ApplyImport(db, *plan).ok();
}

long MaxResidentKb() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

}  // namespace

int main() {
  orv::bench::BenchSchool school;
  orv::TimetableDb* db = school.db();
  if (!db) return 1;
  const auto book = school.File("school.xlsx");
  if (!orv::ExportBasicData(*db, book)) return 1;
  orv::bench::PrintHeader();
  bool ok = true;
  int run = 0, records = 0;
  ok &= orv::bench::Measure("import into an empty database", true, [&] {
    const auto file = school.File("empty" + std::to_string(run++) + ".mdb");
    if (!orv::TimetableDb::Create(file)) return false;
    auto empty = orv::TimetableDb::Open(file);
    return empty && Import(book, **empty, &records);
  });
  std::printf("(%d records, plan rows, restrictions and rules)\n", records);
  ok &= orv::bench::Measure("import over the same school", true, [&] { return Import(book, *db); });

  // 60 MB of CSV: refused by its size, so memory never holds it.
  const auto huge = school.File("教学计划.csv");
  {
    std::ofstream out(huge, std::ios::binary);
    const std::string row = "一(1)班,语文,王伟,5\n";
    for (size_t written = 0; written < 60u * 1024 * 1024; written += row.size()) out << row;
  }
  const long before = MaxResidentKb();
  ok &= orv::bench::Measure("60 MB CSV refused", true, [&] { return !orv::ReadImportFile(huge).ok(); });
  const long grown = MaxResidentKb() - before;
  std::printf("memory grown while refusing it: %ld kB%s\n", grown, grown < 10 * 1024 ? "" : "  TOO MUCH");
  return ok && grown < 10 * 1024 ? 0 : 1;
}
