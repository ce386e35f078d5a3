// SPDX-License-Identifier: GPL-3.0-or-later
// export and print: one class, all classes, one teacher, all teachers or the
// whole-school overview, to an .xlsx workbook or a PDF file.
//
// print needs the print library, which is Qt; the command-line tool of the
// build without Qt keeps the command and says that it needs the desktop build.
#include <cctype>
#include <iostream>
#include <optional>

#include "cli/commands.h"
#include "core/calendar/term_calendar.h"
#include "core/database/record_names.h"
#include "core/files/output_file.h"
#include "core/output/excel_export.h"
#include "core/output/timetable_rows.h"
#include "core/settings/settings.h"

#ifdef ORVANDEL_WITH_PRINT
#include "cli/print_application.h"
#include "core/output/print_data_rows.h"
#include "printing/print_pages.h"
#include "printing/print_timetable.h"
#endif

namespace fs = std::filesystem;

namespace orv::cli {

namespace {

struct OutputRequest {
  std::string db;
  std::string className;
  std::string classCode;
  std::string teacherName;
  std::string teacherCode;
  bool allClasses = false;
  bool allTeachers = false;
  bool total = false;
  std::string out;
  bool force = false;
  std::optional<int> lessons;
  std::string document;      // print: a data document file instead of a database
  std::string templateFile;  // print --document: the template, else the document's own

  TimetableScope Scope() const {
    if (!className.empty() || !classCode.empty()) return TimetableScope::Class;
    if (!teacherName.empty() || !teacherCode.empty()) return TimetableScope::Teacher;
    if (allTeachers) return TimetableScope::AllTeachers;
    if (total) return TimetableScope::School;
    return TimetableScope::AllClasses;
  }
};

// The one class or teacher a name or a code stands for. A name that two
// records share stands for neither: printing one of them would be a guess,
// so the user is shown both with their codes and picks one by code.
Result<std::string> OneRecord(TimetableDb& db, CodeTable table, const std::string& name,
                              const std::string& code, const char* codeOption) {
  const std::string noun(RecordNoun(table));
  if (!code.empty()) {
    Result<std::vector<NamedRecord>> found = RecordsCoded(db, table, code);
    if (!found) return found.outcome();
    if (found->empty()) return Outcome::Fail("没有代码为“" + code + "”的" + noun);
    return code;
  }
  Result<std::vector<NamedRecord>> found = RecordsNamed(db, table, name);
  if (!found) return found.outcome();
  if (found->empty())
    return Outcome::Fail("没有名为“" + name + "”的" + noun + "（按代码选定请用 " + codeOption + "）");
  if (found->size() > 1)
    return Outcome::Fail(std::to_string(found->size()) + "个" + noun + "同名“" + name + "”：" +
                         RecordLabels(*found) + "；请用 " + codeOption + " 加代码选定其中一个");
  return found->front().code;
}

Result<TimetableSelection> Resolve(TimetableDb& db, const OutputRequest& r) {
  const TimetableScope scope = r.Scope();
  Result<std::string> code = std::string();
  if (scope == TimetableScope::Class)
    code = OneRecord(db, CodeTable::Class, r.className, r.classCode, "--class-code");
  if (scope == TimetableScope::Teacher)
    code = OneRecord(db, CodeTable::Teacher, r.teacherName, r.teacherCode, "--teacher-code");
  if (!code) return code.outcome();
  return TimetableSelection{scope, *code};
}

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
  int lessonsPerDay = 6;
  std::optional<CivilDate> termStart;  // for the overview's title; none when not stated
};

Rows Failed(int exitCode) {
  Rows failed;
  failed.exitCode = exitCode;
  return failed;
}

// The output file's name, and any file already there; the exit status.
int CheckOutput(const OutputRequest& r, std::string_view ext, const char* what) {
  if (!HasExtension(r.out, ext))
    return Fail(std::string(what) + "文件名必须以 " + std::string(ext) + " 结尾：" + r.out);
  // A symbolic link counts even when it leads nowhere: the new file would
  // take its place.
  if (PathIsTaken(r.out) && !r.force) return Fail("文件已存在，不会覆盖（覆盖请加 --force）：" + r.out);
  return kExitDone;
}

Rows ReadRows(const Context& ctx, const OutputRequest& r, std::string_view ext, const char* what,
              const char* failed, bool emptyIsFine) {
  if (const int refused = CheckOutput(r, ext, what); refused != kExitDone) return Failed(refused);
  // Output only reads, so a database marked read-only will do.
  auto db = OpenOrReport(r.db, DbAccess::kReadOnly);
  if (!db) return Failed(kExitFailed);
  const Result<TimetableSelection> selection = Resolve(*db, r);
  if (!selection) return Failed(Fail(std::string(failed) + selection.message()));
  Result<std::vector<TimetableRow>> rows = ReadTimetableRows(*db, *selection);
  if (!rows) return Failed(Fail(std::string(failed) + rows.message()));
  if (rows->empty() && !emptyIsFine) return Failed(Fail(std::string(NoTimetableMessage(selection->scope))));
  Rows read;
  read.scope = selection->scope;
  read.rows = std::move(rows).value();
  read.lessonsPerDay = ctx.LessonsPerDay(r.lessons, *db);
  // A calendar that cannot be read leaves the title's blanks for the pen:
  // it is no reason to refuse the timetable.
  if (const Result<TermCalendar> term = LoadTermCalendar(*db)) read.termStart = term->start;
  return read;
}

int RunExport(const Context& ctx, const OutputRequest& r) {
  const Rows in = ReadRows(ctx, r, ".xlsx", "导出", "课表导出失败！", false);
  if (in.exitCode != 0) return in.exitCode;
  const int lessons = in.lessonsPerDay;
  std::vector<std::string> warnings;
  const Outcome done = ExportTimetable(in.scope, r.out, in.rows, Settings(ctx.ProgramDir()).GetSchoolName(),
                                       lessons, &warnings, in.termStart);
  for (const std::string& warning : warnings) std::cerr << warning << "\n";
  if (!done) return Fail("课表导出失败！(ret = " + std::to_string(done.code()) + ") " + done.message());
  std::cout << "课表导出成功：" << r.out << "\n";
  return 0;
}

#ifdef ORVANDEL_WITH_PRINT
int Report(const Outcome& printed, const OutputRequest& r, const std::vector<std::string>& warnings = {}) {
  for (const std::string& warning : warnings) std::cerr << warning << "\n";
  if (printed.code() == kNoTimetableData) return Fail(printed.message());
  if (!printed) return Fail("打印失败！(ret = " + std::to_string(printed.code()) + ") " + printed.message());
  std::cout << "打印完成：" << r.out << "\n";
  return kExitDone;
}

// A data document file printed as the documented file interface prints it.
// Without --template the document's kind and lessons a day choose one.
int RunPrintDocument(const Context& ctx, const OutputRequest& r) {
  if (const int refused = CheckOutput(r, ".pdf", "PDF "); refused != kExitDone) return refused;
  const PrintTarget target = BySchool(PrintTarget::Pdf(r.out), Settings(ctx.ProgramDir()).GetSchoolName());
  if (!r.templateFile.empty()) {
    PrintApplication qt;
    if (!ChineseFontInstalled()) return Fail(kNoChineseFontText);
    std::vector<std::string> warnings;
    const Outcome printed = PrintDocumentFile(r.document, target, r.templateFile, &warnings);
    return Report(printed, r, warnings);
  }
  const Result<PrintData> data = ReadPrintDocument(r.document);
  if (!data) return Report(data.outcome(), r);
  const fs::path programDir = ctx.ProgramDir();
  // An overview without classes does not say its lessons a day.
  const int lessons = r.lessons.value_or(Settings(programDir).GetLessonsPerDay());
  const fs::path tpl = PrintTemplatePath(programDir, PrintTemplateNameOf(*data, lessons));
  PrintApplication qt;
  if (!ChineseFontInstalled()) return Fail(kNoChineseFontText);
  std::vector<std::string> warnings;
  const Outcome printed = PrintPages(*data, target, tpl, &warnings);
  return Report(printed, r, warnings);
}

int RunPrint(const Context& ctx, const OutputRequest& r) {
  if (!r.document.empty()) return RunPrintDocument(ctx, r);
  // The overview prints its header even for an empty timetable, which the
  // print step decides.
  const Rows in = ReadRows(ctx, r, ".pdf", "PDF ", "打印失败！", true);
  if (in.exitCode != 0) return in.exitCode;
  const fs::path programDir = ctx.ProgramDir();
  PrintApplication qt;
  // Without a Chinese font every character would come out as an empty box,
  // under a "打印完成" that the user would believe.
  if (!ChineseFontInstalled()) return Fail(kNoChineseFontText);
  // The rows go to the print library in memory: no temporary file that
  // someone else could read, replace or point elsewhere.
  std::vector<std::string> warnings;
  const Outcome printed =
      PrintTimetable(in.scope, in.rows, Settings(programDir).GetSchoolName(), in.lessonsPerDay, programDir,
                     PrintTarget::Pdf(r.out), in.termStart, &warnings);
  return Report(printed, r, warnings);
}
#else
int RunPrint(const Context&, const OutputRequest&) {
  return Fail(
      "打印需要桌面版：这个 orvandel-cli 构建时没有 Qt 打印库（ORVANDEL_GUI=OFF）。请用桌面版构建的 "
      "orvandel-cli，或用 export 导出 .xlsx。");
}
#endif

CLI::Option_group* AddSelectors(CLI::App* command, OutputRequest& r) {
  command->add_option("DB", r.db, "Database file")->required();
  CLI::Option_group* which = command->add_option_group("selection", "What to output (exactly one)");
  which->add_option("--class", r.className, "One class, by name (refused when two classes share it)");
  which->add_option("--class-code", r.classCode, "One class, by code");
  which->add_flag("--all-classes", r.allClasses, "Every class");
  which->add_option("--teacher", r.teacherName, "One teacher, by name (refused when two teachers share it)");
  which->add_option("--teacher-code", r.teacherCode, "One teacher, by code");
  which->add_flag("--all-teachers", r.allTeachers, "Every teacher");
  which->add_flag("--total", r.total, "The whole-school overview");
  which->require_option(1);
  AddLessonsOption(command, r.lessons);
  command->add_flag("--force", r.force, "Replace an existing output file");
  return which;
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
  CLI::Option_group* which = AddSelectors(print, printRequest);
  // A data document file stands in for the database and the selection.
  CLI::Option* db = print->get_option("DB");
  db->required(false);
  CLI::Option* document =
      which->add_option("--document", printRequest.document, "Print data document file to print (no DB)");
  db->excludes(document);
  print
      ->add_option("--template", printRequest.templateFile,
                   "Template for --document (default: by the document's kind and lessons per day)")
      ->needs(document);
  print->add_option("--pdf", printRequest.out, "PDF file to write")->required();
  print->callback([&ctx] {
    // Without a document the database is required, as for export.
    if (printRequest.db.empty() && printRequest.document.empty()) throw CLI::RequiredError("DB");
    ctx.exitCode = RunPrint(ctx, printRequest);
  });
}

}  // namespace orv::cli
