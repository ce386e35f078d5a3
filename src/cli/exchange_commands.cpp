// template and export-data: the exchange workbook of a school's basic data,
// empty (for a school to fill in) or with a database's records.
#include <cctype>
#include <iostream>

#include "cli/commands.h"
#include "core/exchange/data_export.h"
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
  if (ext != ".xlsx") return Fail("导出文件名必须以 .xlsx 结尾: " + r.out);
  if (PathIsTaken(r.out) && !r.force) return Fail("文件已存在，不会覆盖（覆盖请加 --force）: " + r.out);
  return kExitDone;
}

int RunTemplate(const ExchangeRequest& r) {
  if (const int refused = CheckWorkbookName(r); refused != kExitDone) return refused;
  if (const Outcome written = WriteTemplateWorkbook(r.out); !written)
    return Fail("导入模板导出失败！", written);
  std::cout << "已导出导入模板: " << r.out << "\n";
  return kExitDone;
}

int RunExportData(const ExchangeRequest& r) {
  if (const int refused = CheckWorkbookName(r); refused != kExitDone) return refused;
  // Only read: a database marked read-only will do.
  auto db = OpenOrReport(r.db, DbAccess::kReadOnly);
  if (!db) return kExitFailed;
  if (const Outcome written = ExportBasicData(*db, r.out); !written)
    return Fail("基础数据导出失败！", written);
  std::cout << "已导出基础数据: " << r.out << "\n";
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
}

}  // namespace orv::cli
