// SPDX-License-Identifier: GPL-3.0-or-later
// Reading an import file into sheets of known columns.
#include <algorithm>
#include <cctype>

#include "core/exchange/import_detail.h"
#include "core/exchange/typed_names.h"

namespace orv {

namespace {

std::string Lower(std::string text) {
  for (char& c : text) c = char(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

// What schools call a column in their own sheets, beside the template's
// header: a 任课表 says 任课教师 and 周课时, a staff list 教师姓名 or 工号.
struct Alias {
  SheetKind kind;
  std::string_view alias, header;
};
constexpr Alias kAliases[] = {
    {SheetKind::Courses, "课程", "名称"},        {SheetKind::Courses, "课程名称", "名称"},
    {SheetKind::Courses, "课程名", "名称"},      {SheetKind::Courses, "课程编号", "编号"},
    {SheetKind::Courses, "课程代码", "编号"},    {SheetKind::Courses, "代码", "编号"},
    {SheetKind::Teachers, "教师", "姓名"},       {SheetKind::Teachers, "教师姓名", "姓名"},
    {SheetKind::Teachers, "名称", "姓名"},       {SheetKind::Teachers, "教师编号", "编号"},
    {SheetKind::Teachers, "教师代码", "编号"},   {SheetKind::Teachers, "工号", "编号"},
    {SheetKind::Teachers, "代码", "编号"},       {SheetKind::Rooms, "教室", "名称"},
    {SheetKind::Rooms, "教室名称", "名称"},      {SheetKind::Rooms, "公共教室", "名称"},
    {SheetKind::Rooms, "教室编号", "编号"},      {SheetKind::Rooms, "代码", "编号"},
    {SheetKind::Classes, "班级编号", "编号"},    {SheetKind::Classes, "班级代码", "编号"},
    {SheetKind::Classes, "代码", "编号"},        {SheetKind::Classes, "班级", "名称"},
    {SheetKind::Classes, "班级名称", "名称"},    {SheetKind::Classes, "班", "班号"},
    {SheetKind::Plan, "班级名称", "班级"},       {SheetKind::Plan, "课程名称", "课程"},
    {SheetKind::Plan, "任课教师", "教师"},       {SheetKind::Plan, "教师姓名", "教师"},
    {SheetKind::Plan, "节数", "每周节数"},       {SheetKind::Plan, "周节数", "每周节数"},
    {SheetKind::Plan, "课时", "每周节数"},       {SheetKind::Plan, "周课时", "每周节数"},
    {SheetKind::Plan, "每周课时", "每周节数"},   {SheetKind::Restrictions, "类型", "对象类型"},
    {SheetKind::Restrictions, "对象", "名称"},   {SheetKind::Restrictions, "节", "节次"},
    {SheetKind::Restrictions, "第几节", "节次"}, {SheetKind::Restrictions, "对象编号", "编号"},
    {SheetKind::Rules, "规则名称", "规则"},      {SheetKind::Rules, "数值", "值"},
};

// A header cell as a column: spaces, a required-column star and full-width
// forms do not matter.
std::optional<size_t> HeaderColumn(SheetKind kind, std::string_view cell) {
  std::string h;
  for (char c : FoldTyped(cell))
    if (c != ' ' && c != '*') h += c;
  if (h.empty()) return std::nullopt;
  if (const std::optional<int> i = ColumnIndex(kind, h)) return size_t(*i);
  for (const Alias& a : kAliases)
    if (a.kind == kind && a.alias == h) return size_t(*ColumnIndex(kind, a.header));
  return std::nullopt;
}

// A title or a note may stand above the headers; they are looked for this far down.
constexpr size_t kHeaderSearchRows = 10;

struct HeaderRow {
  size_t index = 0;
  std::vector<int> cellColumn;  // by cell: the column it is, or -1
  size_t found = 0;
};

HeaderRow ReadHeader(SheetKind kind, const std::vector<std::string>& cells, size_t index) {
  HeaderRow h{index, std::vector<int>(cells.size(), -1), 0};
  for (size_t c = 0; c < cells.size(); ++c)
    if (const std::optional<size_t> col = HeaderColumn(kind, cells[c])) {
      h.cellColumn[c] = int(*col);
      ++h.found;
    }
  return h;
}

std::string Join(const std::vector<std::string>& items) {
  std::string out;
  for (const std::string& i : items) out += (out.empty() ? "" : "、") + i;
  return out;
}

}  // namespace

namespace import_detail {

void Problems::Add(const Sheet& sheet, const Row& row, size_t column, std::string reason) {
  out_.push_back(
      {sheet.name, row.number, std::string(SheetOf(sheet.kind).columns[column].header), std::move(reason)});
}

void Problems::Add(const Sheet& sheet, int row, std::string column, std::string reason) {
  out_.push_back({sheet.name, row, std::move(column), std::move(reason)});
}

std::optional<Sheet> ReadSheet(const ImportSheet& in, std::vector<ImportProblem>& problems) {
  const SheetInfo& info = SheetOf(in.kind);
  const std::string& name = in.table.name;
  if (!in.table.problem.empty()) {
    problems.push_back({name, 0, "", in.table.problem});
    return std::nullopt;
  }
  const auto& rows = in.table.rows;
  std::optional<HeaderRow> best;
  for (size_t r = 0; r < rows.size() && r < kHeaderSearchRows; ++r) {
    HeaderRow h = ReadHeader(in.kind, rows[r], r);
    if (!best || h.found > best->found) best = std::move(h);
  }
  if (!best || best->found == 0) {
    if (rows.empty()) return Sheet{in.kind, name, std::vector<bool>(info.columns.size()), {}};
    std::vector<std::string> headers;
    for (const ColumnInfo& c : info.columns) headers.emplace_back(c.header);
    problems.push_back({name, 0, "", "找不到列标题：第一行应写列标题，如“" + Join(headers) + "”"});
    return std::nullopt;
  }

  Sheet sheet{in.kind, name, std::vector<bool>(info.columns.size()), {}};
  std::vector<int> cellColumn = best->cellColumn;
  const int headerRow = int(best->index) + 1;
  size_t before = problems.size();
  for (size_t c = 0; c < cellColumn.size(); ++c) {
    const int col = cellColumn[c];
    if (col < 0) continue;
    if (sheet.present[size_t(col)]) {
      problems.push_back(
          {name, headerRow, std::string(info.columns[size_t(col)].header), "这一列出现了两次"});
      continue;
    }
    sheet.present[size_t(col)] = true;
  }
  for (size_t col = 0; col < info.columns.size(); ++col)
    if (info.columns[col].required && !sheet.present[col])
      problems.push_back({name, headerRow, std::string(info.columns[col].header), "缺少这一必填列"});
  if (problems.size() > before) return std::nullopt;

  for (size_t r = best->index + 1; r < rows.size(); ++r) {
    Row row{int(r) + 1, std::vector<std::string>(info.columns.size()),
            std::vector<std::string>(info.columns.size())};
    bool any = false;
    for (size_t c = 0; c < rows[r].size() && c < cellColumn.size(); ++c) {
      if (cellColumn[c] < 0) continue;
      std::string& cell = row.cells[size_t(cellColumn[c])];
      if (!cell.empty()) continue;  // a column repeated: the first one counts
      cell = FoldTyped(rows[r][c]);
      row.raw[size_t(cellColumn[c])] = TrimBlanks(rows[r][c]);
      any = any || !cell.empty();
    }
    if (any) sheet.rows.push_back(std::move(row));
  }
  return sheet;
}

}  // namespace import_detail

std::vector<ImportSheet> ImportSheetsOf(std::vector<Table> tables) {
  std::vector<ImportSheet> out;
  for (Table& t : tables) {
    std::string name;
    for (char c : FoldTyped(t.name))
      if (c != ' ') name += c;
    std::optional<SheetKind> kind = SheetKindFromName(name);
    if (!kind) kind = SheetKindFromKey(Lower(name));
    if (kind && *kind != SheetKind::Guide) out.push_back({*kind, std::move(t)});
  }
  return out;
}

Result<std::vector<ImportSheet>> ReadImportFile(const std::filesystem::path& path,
                                                std::optional<SheetKind> kind) {
  const std::string ext = Lower(path.extension().string());
  if (ext == ".csv") {
    if (!kind) {
      std::vector<Table> named(1);
      named[0].name = path.stem().string();
      std::vector<ImportSheet> known = ImportSheetsOf(std::move(named));
      if (known.empty())
        return Outcome::Fail("无法从文件名“" + path.filename().string() +
                             "”判断其内容：请把文件命名为课程.csv、教师.csv、公共教室.csv、班级.csv、"
                             "教学计划.csv、上课时间限制.csv或排课规则.csv，或指明内容");
      kind = known[0].kind;
    }
    if (*kind == SheetKind::Guide) return Outcome::Fail("说明工作表不能导入");
    Result<Table> table = ReadCsv(path);
    if (!table) return table.outcome();
    table->name = std::string(SheetOf(*kind).name);
    return std::vector<ImportSheet>{{*kind, std::move(*table)}};
  }
  if (ext != ".xlsx" && ext != ".xls" && ext != ".xlsm")
    return Outcome::Fail("只能导入 .xlsx 工作簿或 .csv 文件：" + path.filename().string());
  Result<std::vector<Table>> tables = ReadWorkbook(path);
  if (!tables) return tables.outcome();
  std::vector<ImportSheet> sheets = ImportSheetsOf(std::move(*tables));
  if (sheets.empty())
    return Outcome::Fail(
        "工作簿中没有可导入的工作表：工作表应命名为课程、教师、公共教室、班级、教学计划、"
        "上课时间限制或排课规则");
  return sheets;
}

std::string ProblemText(const ImportProblem& p) {
  std::string where = p.sheet;
  if (p.row > 0) where += " 第" + std::to_string(p.row) + "行";
  if (!p.column.empty()) where += " " + p.column;
  return where + "：" + p.reason;
}

std::string_view ActionText(ImportAction action) {
  switch (action) {
    case ImportAction::Add:
      return "新增";
    case ImportAction::Change:
      return "修改";
    case ImportAction::Keep:
      break;
  }
  return "不变";
}

bool ImportClearing::Any() const {
  return classes + courses + teachers + rooms + planRows + lessons + restrictions + rules > 0;
}

ImportCounts ImportPlan::CountsOf(SheetKind sheet) const {
  ImportCounts c;
  for (const ImportChange& ch : changes)
    if (ch.sheet == sheet)
      (ch.action == ImportAction::Add ? c.added : ch.action == ImportAction::Change ? c.changed : c.kept)++;
  return c;
}

ImportCounts ImportPlan::Total() const {
  ImportCounts c;
  for (const SheetInfo& s : ExchangeSheets()) {
    const ImportCounts k = CountsOf(s.kind);
    c.added += k.added;
    c.changed += k.changed;
    c.kept += k.kept;
  }
  return c;
}

}  // namespace orv
