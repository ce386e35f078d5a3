// SPDX-License-Identifier: GPL-3.0-or-later
// How long the 72-class school's PDFs take through the print step of the
// print window and the command-line tool: rows read, made into print data,
// laid out and painted into the finished PDF. Needs
// Qt, so it is built with the desktop program only. Run by `make bench`.
#include <QGuiApplication>

#include "bench_school.h"
#include "core/output/timetable_rows.h"
#include "printing/print_timetable.h"

namespace {

bool Pdf(orv::bench::BenchSchool& school, orv::TimetableScope scope, const char* name) {
  auto rows = orv::ReadTimetableRows(*school.db(), {scope, ""});
  if (!rows) return false;
  // The templates are found in the source tree as in a program directory.
  const orv::Outcome printed =
      orv::PrintTimetable(scope, *rows, "育才实验学校", orv::bench::kLessonsPerDay, ORVANDEL_TEMPLATE_DIR,
                          orv::PrintTarget::Pdf(school.File(name)));
  if (!printed) std::fprintf(stderr, "%s: %s\n", name, printed.message().c_str());
  return printed.ok();
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  using orv::TimetableScope;
  orv::bench::BenchSchool school;
  if (!school.db()) return 1;
  orv::bench::PrintHeader();
  bool ok = true;
  ok &= orv::bench::Measure("whole-school PDF (A3)", true,
                            [&] { return Pdf(school, TimetableScope::School, "total.pdf"); });
  ok &= orv::bench::Measure("all-teachers PDF (A4)", true,
                            [&] { return Pdf(school, TimetableScope::AllTeachers, "teachers.pdf"); });
  ok &= orv::bench::Measure("all-classes PDF (A4)", true,
                            [&] { return Pdf(school, TimetableScope::AllClasses, "classes.pdf"); });
  return ok ? 0 : 1;
}
