// export and print: one class, all classes, one teacher, all teachers or the
// whole-school overview, to an .xlsx workbook or a PDF file.
//
// print needs the print library, which is Qt; the command-line tool of the
// build without Qt keeps the command and says that it needs the desktop build.
#include <unistd.h>

#include <cctype>
#include <iostream>

#include "cli/commands.h"
#include "core/output/excel_export.h"
#include "core/output/print_document.h"
#include "core/output/timetable_rows.h"
#include "core/settings/program_dir.h"
#include "core/settings/settings.h"

#ifdef ORVANDEL_WITH_PRINT
#include <QGuiApplication>

#include "printing/print_one_custom_xml.h"
#endif

namespace fs = std::filesystem;

namespace orv::cli {

namespace {

struct OutputRequest {
  std::string db;
  std::string className;
  std::string teacherName;
  bool allClasses = false;
  bool allTeachers = false;
  bool total = false;
  std::string out;
  bool force = false;
  std::optional<int> lessons;

  TimetableSelection Selection() const {
    if (!className.empty()) return {TimetableScope::Class, className};
    if (!teacherName.empty()) return {TimetableScope::Teacher, teacherName};
    if (allTeachers) return {TimetableScope::AllTeachers, ""};
    if (total) return {TimetableScope::School, ""};
    return {TimetableScope::AllClasses, ""};
  }
};

bool HasExtension(const std::string& path, std::string_view ext) {
  std::string e = fs::path(path).extension().string();
  for (char& c : e) c = char(std::tolower(static_cast<unsigned char>(c)));
  return e == ext;
}

// What both commands read before they write: the selection's rows, after
// checking the output name and any file already there.
struct Rows {
  int exitCode = 0;  // not 0 when a step failed and said why
  TimetableScope scope = TimetableScope::AllClasses;
  std::vector<TimetableRow> rows;
};

Rows Failed(int exitCode) {
  Rows failed;
  failed.exitCode = exitCode;
  return failed;
}

Rows ReadRows(const OutputRequest& r, std::string_view ext, const char* what, const char* failed,
              bool emptyIsFine) {
  if (!HasExtension(r.out, ext))
    return Failed(Fail(std::string(what) + "文件名必须以 " + std::string(ext) + " 结尾: " + r.out));
  std::error_code ec;
  if (fs::exists(r.out, ec) && !r.force)
    return Failed(Fail("文件已存在，不会覆盖（覆盖请加 --force）: " + r.out));
  auto db = OpenOrReport(r.db);
  if (!db) return Failed(1);
  const TimetableSelection selection = r.Selection();
  Result<std::vector<TimetableRow>> rows = ReadTimetableRows(*db, selection);
  if (!rows) return Failed(Fail(std::string(failed) + rows.message()));
  if (rows->empty() && !emptyIsFine) return Failed(Fail(std::string(NoTimetableMessage(selection.scope))));
  Rows read;
  read.scope = selection.scope;
  read.rows = std::move(rows).value();
  return read;
}

int RunExport(const Context& ctx, const OutputRequest& r) {
  const Rows in = ReadRows(r, ".xlsx", "导出", "课表导出失败！", false);
  if (in.exitCode != 0) return in.exitCode;
  const int lessons = ctx.LessonsPerDay(r.lessons);
  std::vector<std::string> warnings;
  const Outcome done = ExportTimetable(in.scope, r.out, in.rows, Settings(ctx.ProgramDir()).GetSchoolName(),
                                       lessons, &warnings);
  for (const std::string& warning : warnings) std::cerr << warning << "\n";
  if (!done) return Fail("课表导出失败！(ret = " + std::to_string(done.code()) + ") " + done.message());
  std::cout << "课表导出成功: " << r.out << "\n";
  return 0;
}

#ifdef ORVANDEL_WITH_PRINT
// The document goes to a file of its own, so two printouts at once never
// share one; it is removed afterwards.
class TempDocument {
 public:
  TempDocument()
      : path_(fs::temp_directory_path() / ("orvandel-print-" + std::to_string(::getpid()) + ".xml")) {}
  ~TempDocument() {
    std::error_code ec;
    fs::remove(path_, ec);
  }
  const fs::path& path() const { return path_; }

 private:
  fs::path path_;
};

// The toolkit's own warnings (no runtime directory, no window system) mean
// nothing to someone printing to a file; its errors still show.
void QuietQtMessages(QtMsgType type, const QMessageLogContext&, const QString& message) {
  if (type == QtCriticalMsg || type == QtFatalMsg) std::cerr << message.toStdString() << "\n";
}

int RunPrint(const Context& ctx, const OutputRequest& r) {
  // The overview prints its header even for an empty timetable.
  const Rows in = ReadRows(r, ".pdf", "PDF ", "打印失败！", r.Selection().scope == TimetableScope::School);
  if (in.exitCode != 0) return in.exitCode;
  const int lessons = ctx.LessonsPerDay(r.lessons);
  const fs::path programDir = ctx.ProgramDir();
  TempDocument document;
  const Outcome written =
      WritePrintDocument(in.scope, document.path(), in.rows, Settings(programDir).GetSchoolName(), lessons);
  if (!written) return Fail("打印失败！(ret = -1) " + written.message());
  const std::string name = PrintTemplateName(in.scope, lessons);
  const fs::path tpl = FindProgramFile(programDir, name, ExecutableDirectory()).value_or(programDir / name);

  qInstallMessageHandler(QuietQtMessages);
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  int argc = 1;
  char arg0[] = "orvandel-cli";
  char* argv[] = {arg0, nullptr};
  QGuiApplication app(argc, argv);
  const int ret = PrintOneCustomXml(document.path().string(), r.out, tpl.string(), 0, 0, 0, "", 'T');
  if (ret != 0) return Fail("打印失败！(ret = " + std::to_string(ret) + ") " + LastPrintProblem());
  std::cout << "打印完成: " << r.out << "\n";
  return 0;
}
#else
int RunPrint(const Context&, const OutputRequest&) {
  return Fail(
      "打印需要桌面版：这个 orvandel-cli 构建时没有 Qt 打印库（ORVANDEL_GUI=OFF）。请用桌面版构建的 "
      "orvandel-cli，或用 export 导出 .xlsx。");
}
#endif

void AddSelectors(CLI::App* command, OutputRequest& r) {
  command->add_option("DB", r.db, "Database file")->required();
  CLI::Option_group* which = command->add_option_group("selection", "What to output (exactly one)");
  which->add_option("--class", r.className, "One class, by name");
  which->add_flag("--all-classes", r.allClasses, "Every class");
  which->add_option("--teacher", r.teacherName, "One teacher, by name");
  which->add_flag("--all-teachers", r.allTeachers, "Every teacher");
  which->add_flag("--total", r.total, "The whole-school overview");
  which->require_option(1);
  AddLessonsOption(command, r.lessons);
  command->add_flag("--force", r.force, "Replace an existing output file");
}

}  // namespace

void AddOutputCommands(CLI::App& app, Context& ctx) {
  static OutputRequest exportRequest;
  auto* exp = app.add_subcommand("export", "Export timetables to an .xlsx workbook");
  AddSelectors(exp, exportRequest);
  exp->add_option("--out", exportRequest.out, "Workbook to write (.xlsx)")->required();
  exp->callback([&ctx] { ctx.exitCode = RunExport(ctx, exportRequest); });

  static OutputRequest printRequest;
  auto* print = app.add_subcommand("print", "Print timetables to a PDF file (needs the desktop build)");
  AddSelectors(print, printRequest);
  print->add_option("--pdf", printRequest.out, "PDF file to write")->required();
  print->callback([&ctx] { ctx.exitCode = RunPrint(ctx, printRequest); });
}

}  // namespace orv::cli
