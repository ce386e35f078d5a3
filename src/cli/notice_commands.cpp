// SPDX-License-Identifier: GPL-3.0-or-later
// changes, publications and export-csv: what changed for each teacher and
// class since a publication, the publications made, and the timetable as one
// CSV file.
#include <cctype>
#include <ctime>
#include <iostream>

#include "cli/commands.h"
#include "core/files/output_file.h"
#include "core/publish/calendar_files.h"
#include "core/publish/change_notice.h"
#include "core/publish/publications.h"
#include "core/settings/settings.h"

#ifdef ORVANDEL_WITH_PRINT
#include "cli/print_application.h"
#include "printing/print_pages.h"
#include "printing/print_timetable.h"
#endif

namespace fs = std::filesystem;

namespace orv::cli {

namespace {

struct ChangesRequest {
  std::string db;
  std::optional<int> since;
  std::optional<int> lessons;
  std::string pdf;  // the notice printed there, a page per teacher
  bool force = false;
};

// The output name and any file already there; kExitDone when it may be written.
int CheckOutputName(const std::string& out, const char* extension, bool force) {
  std::string ext = fs::path(out).extension().string();
  for (char& c : ext) c = char(std::tolower(static_cast<unsigned char>(c)));
  if (ext != extension) return Fail("输出文件名必须以 " + std::string(extension) + " 结尾：" + out);
  if (PathIsTaken(out) && !force) return Fail("文件已存在，不会覆盖（覆盖请加 --force）：" + out);
  return kExitDone;
}

#ifdef ORVANDEL_WITH_PRINT
int PrintNotice(const ChangeNotice& notice, const ChangesRequest& r, const Context& ctx) {
  if (notice.teachers.empty()) {
    std::cout << "没有教师的课有变动，没有写PDF文件\n";
    return kExitDone;
  }
  const fs::path programDir = ctx.ProgramDir();
  PrintApplication qt;
  if (!ChineseFontInstalled()) return Fail(kNoChineseFontText);
  const std::string school = Settings(programDir).GetSchoolName();
  const Outcome printed =
      PrintPages(NoticePrintData(notice, school), BySchool(PrintTarget::Pdf(r.pdf), school),
                 PrintTemplatePath(programDir, "NoticeA4.xml"));
  if (!printed) return Fail("打印失败！(ret = " + std::to_string(printed.code()) + ") " + printed.message());
  std::cout << "已打印变更通知（" << notice.teachers.size() << "位教师，每人一页）：" << r.pdf << "\n";
  return kExitDone;
}
#else
int PrintNotice(const ChangeNotice&, const ChangesRequest&, const Context&) {
  return Fail("打印需要桌面版：这个 orvandel-cli 构建时没有 Qt 打印库（ORVANDEL_GUI=OFF）。");
}
#endif

void PrintEntries(const char* heading, const std::vector<ChangeNoticeEntry>& entries) {
  if (entries.empty()) return;
  std::cout << heading << "\n";
  for (const ChangeNoticeEntry& e : entries) {
    std::cout << "  " << e.name << "：\n";
    for (const LessonChange& c : e.changes) std::cout << "    " << c.text << "\n";
  }
}

int RunChanges(const ChangesRequest& r, Context& ctx) {
  if (!r.pdf.empty())
    if (const int refused = CheckOutputName(r.pdf, ".pdf", r.force); refused != kExitDone) return refused;
  // Only read: the notice may be asked of a database marked read-only.
  auto db = OpenOrReport(r.db, DbAccess::kReadOnly);
  if (!db) return kExitFailed;
  const Result<ChangeNotice> notice = ChangesSince(*db, ctx.LessonsPerDay(r.lessons, *db), r.since);
  if (!notice) return Fail("无法列出变动！", notice.outcome());
  if (!notice->sinceVersion) {
    std::cout << "还没有发布过课表，没有可以比较的版本\n";
    return kExitDone;
  }
  const std::string since = SinceText(*notice);
  if (notice->Empty()) {
    std::cout << since << "没有变动\n";
    return kExitDone;
  }
  std::cout << since << "的变动：\n";
  PrintEntries("教师", notice->teachers);
  PrintEntries("班级", notice->classes);
  return r.pdf.empty() ? kExitDone : PrintNotice(*notice, r, ctx);
}

struct PublicationsRequest {
  std::string db;
  bool record = false;
  std::optional<int> lessons;
};

// "2026-12-07 17:30" by this computer's clock and time zone.
std::string LocalNow() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%d %H:%M", &local);
  return text;
}

int RunPublications(const PublicationsRequest& r, Context& ctx) {
  auto db = OpenOrReport(r.db, r.record ? DbAccess::kReadWrite : DbAccess::kReadOnly);
  if (!db) return kExitFailed;
  if (r.record) {
    const Result<PublishedSchool> school = ReadPublishedSchool(*db, ctx.LessonsPerDay(r.lessons, *db),
                                                               Settings(ctx.ProgramDir()).GetSchoolName());
    if (!school) return Fail("记录失败！", school.outcome());
    const Result<Publication> recorded = RecordPublication(*db, *school, LocalNow());
    if (!recorded) return Fail("记录失败！", recorded.outcome());
    std::cout << "已记为第" << recorded->version << "次发布（" << recorded->publishedAt << "，"
              << school->lessons.size() << "节课）\n";
    return kExitDone;
  }
  const Result<std::vector<Publication>> all = ListPublications(*db);
  if (!all) return Fail("无法列出发布记录！", all.outcome());
  if (all->empty()) std::cout << "还没有发布过课表\n";
  for (const Publication& p : *all)
    std::cout << "第" << p.version << "次发布  " << p.publishedAt << "  每天" << p.lessonsPerDay << "节\n";
  return kExitDone;
}

struct CsvRequest {
  std::string db;
  std::string out;
  bool force = false;
  std::optional<int> lessons;
};

int RunExportCsv(const CsvRequest& r, Context& ctx) {
  if (const int refused = CheckOutputName(r.out, ".csv", r.force); refused != kExitDone) return refused;
  auto db = OpenOrReport(r.db, DbAccess::kReadOnly);
  if (!db) return kExitFailed;
  const Result<PublishedSchool> school =
      ReadPublishedSchool(*db, ctx.LessonsPerDay(r.lessons, *db), Settings(ctx.ProgramDir()).GetSchoolName());
  if (!school) return Fail("课表导出失败！", school.outcome());
  OutputFile file;
  Outcome done = file.Begin(r.out);
  if (done) done = file.Write(LessonsCsv(*school));
  if (done) done = file.Commit();
  if (!done) return Fail("课表导出失败！", done);
  std::cout << "已导出课表：" << r.out << "（" << school->lessons.size() << "节课）\n";
  return kExitDone;
}

}  // namespace

void AddNoticeCommands(CLI::App& app, Context& ctx) {
  static ChangesRequest changes;
  auto* ch = app.add_subcommand("changes", "List per teacher and class what changed since a publication");
  ch->add_option("DB", changes.db, "Database file")->required();
  ch->add_option("--since", changes.since, "Publication to compare with (default: the latest)");
  AddLessonsOption(ch, changes.lessons);
  ch->add_option("--pdf", changes.pdf,
                 "Also print the notice to this PDF file, a page per teacher (needs the desktop build)");
  ch->add_flag("--force", changes.force, "Replace an existing PDF file");
  ch->callback([&ctx] { ctx.exitCode = RunChanges(changes, ctx); });

  static PublicationsRequest publications;
  auto* pub = app.add_subcommand("publications", "List the publications made, oldest first");
  pub->add_option("DB", publications.db, "Database file")->required();
  pub->add_flag(
      "--record", publications.record,
      "Record the timetable as it stands as the next publication (e.g. after handing out printouts)");
  AddLessonsOption(pub, publications.lessons);
  pub->callback([&ctx] { ctx.exitCode = RunPublications(publications, ctx); });

  static CsvRequest csv;
  auto* exp = app.add_subcommand("export-csv", "Write every lesson to a CSV file (UTF-8 with a BOM)");
  exp->add_option("DB", csv.db, "Database file")->required();
  exp->add_option("--out", csv.out, "CSV file to write (.csv)")->required();
  exp->add_flag("--force", csv.force, "Replace an existing output file");
  AddLessonsOption(exp, csv.lessons);
  exp->callback([&ctx] { ctx.exitCode = RunExportCsv(csv, ctx); });
}

}  // namespace orv::cli
