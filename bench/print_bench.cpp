// How long the 72-class school's PDFs take through the print library: rows
// read, document written, laid out and painted into the finished PDF. Needs
// Qt, so it is built with the desktop program only. Run by `make bench`.
#include <QGuiApplication>

#include "bench_school.h"
#include "core/output/print_document.h"
#include "core/output/timetable_rows.h"
#include "printing/print_one_custom_xml.h"

namespace {

bool Pdf(orv::bench::BenchSchool& school, orv::TimetableScope scope, const char* name) {
  auto rows = orv::ReadTimetableRows(*school.db(), {scope, ""});
  const auto document = school.File("tmp.xml");
  if (!rows || !orv::WritePrintDocument(scope, document, *rows, "育才实验学校", orv::bench::kLessonsPerDay))
    return false;
  const std::string tpl =
      std::string(ORVANDEL_TEMPLATE_DIR) + "/" + orv::PrintTemplateName(scope, orv::bench::kLessonsPerDay);
  const int code =
      orv::PrintOneCustomXml(document.string(), school.File(name).string(), tpl, 0, 0, 0, "", 'T');
  if (code != 0) std::fprintf(stderr, "%s: %s\n", name, orv::LastPrintProblem().c_str());
  return code == 0;
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
