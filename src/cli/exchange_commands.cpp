// SPDX-License-Identifier: GPL-3.0-or-later
// template and export-data: the exchange workbook of a school's basic data,
// empty (for a school to fill in) or with a database's records.
#include <cctype>
#include <iostream>

#include "cli/commands.h"
#include "core/exchange/data_export.h"
#include "core/exchange/data_import.h"
#include "core/exchange/template_workbook.h"
#include "core/files/output_file.h"

namespace fs = std::filesystem;

namespace orv::cli {

namespace {

struct ExchangeRequest {
  std::string db;
  std::string out;
  bool force = false;
};

// The output name and any file already there; kExitDone when it may be written.
int CheckWorkbookName(const ExchangeRequest& r) {
  std::string ext = fs::path(r.out).extension().string();
  for (char& c : ext) c = char(std::tolower(static_cast<unsigned char>(c)));
  if (ext != ".xlsx") return Fail("导出文件名必须以 .xlsx 结尾：" + r.out);
  if (PathIsTaken(r.out) && !r.force) return Fail("文件已存在，不会覆盖（覆盖请加 --force）：" + r.out);
  return kExitDone;
}

int RunTemplate(const ExchangeRequest& r) {
  if (const int refused = CheckWorkbookName(r); refused != kExitDone) return refused;
  if (const Outcome written = WriteTemplateWorkbook(r.out); !written)
    return Fail("导入模板导出失败！", written);
  std::cout << "已导出导入模板：" << r.out << "\n";
  return kExitDone;
}

int RunExportData(const ExchangeRequest& r) {
  if (const int refused = CheckWorkbookName(r); refused != kExitDone) return refused;
  // Only read: a database marked read-only will do.
  auto db = OpenOrReport(r.db, DbAccess::kReadOnly);
  if (!db) return kExitFailed;
  if (const Outcome written = ExportBasicData(*db, r.out); !written)
    return Fail("基础数据导出失败！", written);
  std::cout << "已导出基础数据：" << r.out << "\n";
  return kExitDone;
}

struct ImportRequest {
  std::string db;
  std::string file;
  std::string kind;
  bool dryRun = false;
  bool replace = false;
  bool createNamed = false;
  bool all = false;
  std::optional<int> lessons;
};

void PrintPlan(const ImportPlan& plan, bool all) {
  for (const SheetInfo& s : ExchangeSheets()) {
    const ImportCounts c = plan.CountsOf(s.kind);
    if (c == ImportCounts{}) continue;
    std::cout << "  " << s.name << "：新增 " << c.added << "，修改 " << c.changed << "，不变 " << c.kept
              << "\n";
  }
  const ImportClearing& k = plan.clearing;
  if (k.Any())
    std::cout << "先清除：班级 " << k.classes << " 个，课程 " << k.courses << " 门，教师 " << k.teachers
              << " 位，公共教室 " << k.rooms << " 个，教学计划 " << k.planRows << " 行，课表 " << k.lessons
              << " 节，时间限制 " << k.restrictions << " 条，排课规则 " << k.rules << " 条\n";
  int unlisted = 0;
  for (const ImportChange& ch : plan.changes) {
    if (ch.action == ImportAction::Keep && !all) {
      ++unlisted;
      continue;
    }
    std::cout << ActionText(ch.action) << "  " << SheetOf(ch.sheet).name;
    if (ch.row > 0) std::cout << " 第" << ch.row << "行";
    std::cout << "  " << ch.item;
    if (!ch.detail.empty()) std::cout << "：" << ch.detail;
    std::cout << "\n";
  }
  if (unlisted > 0) std::cout << "（不变的 " << unlisted << " 项未列出，加 --all 列出）\n";
  for (const std::string& w : plan.warnings) std::cout << "注意：" << w << "\n";
}

int RunImport(const ImportRequest& r, Context& ctx) {
  std::optional<SheetKind> kind;
  if (!r.kind.empty()) {
    kind = SheetKindFromKey(r.kind);
    if (!kind) kind = SheetKindFromName(r.kind);
    if (!kind || *kind == SheetKind::Guide)
      return Fail("--kind 应为 courses、teachers、rooms、classes、plan、restrictions 或 rules: " + r.kind);
  }
  Result<std::vector<ImportSheet>> sheets = ReadImportFile(r.file, kind);
  if (!sheets) return Fail("无法读取导入文件！", sheets.outcome());
  auto db = OpenOrReport(r.db, r.dryRun ? DbAccess::kReadOnly : DbAccess::kReadWrite);
  if (!db) return kExitFailed;
  ImportOptions options;
  options.mode = r.replace ? ImportMode::Replace : ImportMode::Merge;
  options.createNamed = r.createNamed;
  const Result<ImportPlan> plan = PlanImport(*db, *sheets, options, ctx.LessonsPerDay(r.lessons, *db));
  if (!plan) return Fail("导入失败！", plan.outcome());
  if (!plan->Ok()) {
    std::cerr << "发现 " << plan->problems.size() << " 个问题，没有导入任何数据：\n";
    for (const ImportProblem& p : plan->problems) std::cerr << "  " << ProblemText(p) << "\n";
    return kExitFailed;
  }
  std::cout << (r.dryRun ? "试运行，数据库没有改变。将导入：\n" : "导入：\n");
  PrintPlan(*plan, r.all);
  if (r.dryRun) return kExitDone;
  if (const Outcome done = ApplyImport(*db, *plan); !done) return Fail("导入失败！", done);
  const ImportCounts total = plan->Total();
  std::cout << "导入完成：新增 " << total.added << "，修改 " << total.changed << "，不变 " << total.kept
            << "\n";
  return kExitDone;
}

}  // namespace

void AddExchangeCommands(CLI::App& app, Context& ctx) {
  static ExchangeRequest templateRequest;
  auto* tpl = app.add_subcommand("template", "Write the import template workbook (.xlsx)");
  tpl->add_option("--out", templateRequest.out, "Workbook to write (.xlsx)")->required();
  tpl->add_flag("--force", templateRequest.force, "Replace an existing output file");
  tpl->callback([&ctx] { ctx.exitCode = RunTemplate(templateRequest); });

  static ExchangeRequest exportRequest;
  auto* exp = app.add_subcommand("export-data", "Export the basic data in the import template's format");
  exp->add_option("DB", exportRequest.db, "Database file")->required();
  exp->add_option("--out", exportRequest.out, "Workbook to write (.xlsx)")->required();
  exp->add_flag("--force", exportRequest.force, "Replace an existing output file");
  exp->callback([&ctx] { ctx.exitCode = RunExportData(exportRequest); });

  static ImportRequest importRequest;
  auto* imp = app.add_subcommand("import", "Import basic data from an .xlsx workbook or a .csv file");
  imp->add_option("DB", importRequest.db, "Database file")->required();
  imp->add_option("FILE", importRequest.file, "Workbook (.xlsx) or CSV file (.csv)")->required();
  imp->add_option("--kind", importRequest.kind,
                  "What a CSV file holds: courses|teachers|rooms|classes|plan|restrictions|rules "
                  "(default: from its name, e.g. 教师.csv)");
  imp->add_flag("--dry-run", importRequest.dryRun, "Check and show what would change; write nothing");
  imp->add_flag("--replace", importRequest.replace, "Clear the basic data and the timetable first");
  imp->add_flag("--create-missing", importRequest.createNamed,
                "Create courses, teachers and classes that only the teaching plan names");
  imp->add_flag("--all", importRequest.all, "Also list the records that stay unchanged");
  AddLessonsOption(imp, importRequest.lessons);
  imp->callback([&ctx] { ctx.exitCode = RunImport(importRequest, ctx); });
}

}  // namespace orv::cli
