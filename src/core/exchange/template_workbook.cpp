// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/exchange/template_workbook.h"

#include <xlsxwriter.h>

#include <algorithm>
#include <charconv>
#include <map>
#include <memory>

#include "core/files/output_file.h"

namespace fs = std::filesystem;

namespace orv {

namespace {

constexpr const char* kFont = "宋体";
// Rows beyond the data that still get the drop-downs, for what the school adds.
constexpr int kSpareRows = 1000;

struct WorkbookCloser {
  void operator()(lxw_workbook* wb) const {
    if (wb) workbook_close(wb);
  }
};

class Writer {
 public:
  Writer(lxw_workbook* wb, const ExchangeRows& data) : wb_(wb), data_(data) {
    header_ = workbook_add_format(wb);
    format_set_font_name(header_, kFont);
    format_set_bold(header_);
    // Codes such as 01 stay text when the user types them into the sheet.
    text_ = workbook_add_format(wb);
    format_set_font_name(text_, kFont);
    format_set_num_format(text_, "@");
    number_ = workbook_add_format(wb);
    format_set_font_name(number_, kFont);
    wrap_ = workbook_add_format(wb);
    format_set_font_name(wrap_, kFont);
    format_set_text_wrap(wrap_);
  }

  Outcome Write() {
    for (const SheetInfo& sheet : ExchangeSheets()) {
      if (sheet.kind == SheetKind::Guide)
        Guide(sheet);
      else
        Kind(sheet);
    }
    Lists();
    if (error_ != LXW_NO_ERROR) return Outcome::Fail(std::string("写入工作表出错：") + lxw_strerror(error_));
    return Outcome::Ok();
  }

 private:
  void Check(lxw_error e) {
    if (error_ == LXW_NO_ERROR) error_ = e;
  }
  void Text(lxw_worksheet* ws, int row, int col, std::string_view text, lxw_format* f) {
    const std::string s(text);
    Check(s.empty() ? worksheet_write_blank(ws, lxw_row_t(row), lxw_col_t(col), f)
                    : worksheet_write_string(ws, lxw_row_t(row), lxw_col_t(col), s.c_str(), f));
  }

  lxw_worksheet* Add(std::string_view name) {
    lxw_worksheet* ws = workbook_add_worksheet(wb_, std::string(name).c_str());
    if (!ws) Check(LXW_ERROR_SHEETNAME_ALREADY_USED);
    return ws;
  }

  void Guide(const SheetInfo& guide) {
    lxw_worksheet* ws = Add(guide.name);
    if (!ws) return;
    for (size_t c = 0; c < guide.columns.size(); ++c)
      worksheet_set_column(ws, lxw_col_t(c), lxw_col_t(c), guide.columns[c].width, wrap_);
    Text(ws, 0, 0,
         "每个工作表的第一行是列标题，从第二行起每行一条记录；列的顺序可以调整。"
         "标“是”的列必须填写，带下拉列表的列请从列表中选择。",
         nullptr);
    int row = 2;
    for (size_t c = 0; c < guide.columns.size(); ++c) Text(ws, row, int(c), guide.columns[c].header, header_);
    for (const SheetInfo& sheet : ExchangeSheets()) {
      if (sheet.kind == SheetKind::Guide) continue;
      for (const ColumnInfo& col : sheet.columns) {
        ++row;
        Text(ws, row, 0, sheet.name, wrap_);
        Text(ws, row, 1, col.header, wrap_);
        Text(ws, row, 2, col.required ? kYes : kNo, wrap_);
        Text(ws, row, 3, col.meaning, wrap_);
        Text(ws, row, 4, col.example, wrap_);
      }
    }
    worksheet_freeze_panes(ws, 3, 0);
  }

  void Kind(const SheetInfo& sheet) {
    lxw_worksheet* ws = Add(sheet.name);
    if (!ws) return;
    const auto& rows = data_.rows[static_cast<size_t>(sheet.kind)];
    const int lastRow = std::min(int(rows.size()) + kSpareRows, int(LXW_ROW_MAX) - 1);
    for (size_t c = 0; c < sheet.columns.size(); ++c) {
      const ColumnInfo& col = sheet.columns[c];
      worksheet_set_column(ws, lxw_col_t(c), lxw_col_t(c), col.width, col.number ? number_ : text_);
      Text(ws, 0, int(c), col.header, header_);
      if (const std::string range = ListRange(col.values); !range.empty()) {
        lxw_data_validation dv{};
        dv.validate = LXW_VALIDATION_TYPE_LIST_FORMULA;
        std::string formula = "=" + range;
        dv.value_formula = formula.data();
        Check(worksheet_data_validation_range(ws, 1, lxw_col_t(c), lxw_row_t(lastRow), lxw_col_t(c), &dv));
      }
    }
    for (size_t r = 0; r < rows.size(); ++r)
      for (size_t c = 0; c < rows[r].size() && c < sheet.columns.size(); ++c) {
        const std::string& cell = rows[r][c];
        int n = 0;
        const auto [end, ec] = std::from_chars(cell.data(), cell.data() + cell.size(), n);
        if (sheet.columns[c].number && !cell.empty() && ec == std::errc() && end == cell.data() + cell.size())
          Check(worksheet_write_number(ws, lxw_row_t(r + 1), lxw_col_t(c), n, number_));
        else
          Text(ws, int(r) + 1, int(c), cell, text_);
      }
    worksheet_freeze_panes(ws, 1, 0);
  }

  std::vector<std::string> Values(ValueList list) const {
    if (list == ValueList::Courses) return data_.courses;
    if (list == ValueList::Teachers) return data_.teachers;
    return KnownValues(list);
  }

  // '下拉选项'!$C$1:$C$10 for the list's column of the list sheet; "" when
  // the column takes any value.
  std::string ListRange(ValueList list) {
    if (Values(list).empty()) return "";
    auto [it, added] = listColumns_.try_emplace(list, int(listColumns_.size()));
    std::string letters;
    for (int c = it->second + 1; c > 0; c = (c - 1) / 26)
      letters.insert(letters.begin(), char('A' + (c - 1) % 26));
    return "'" + std::string(kListSheetName) + "'!$" + letters + "$1:$" + letters + "$" +
           std::to_string(Values(list).size());
  }

  void Lists() {
    lxw_worksheet* ws = Add(kListSheetName);
    if (!ws) return;
    for (const auto& [list, col] : listColumns_) {
      const std::vector<std::string> values = Values(list);
      for (size_t r = 0; r < values.size(); ++r) Text(ws, int(r), col, values[r], text_);
    }
    worksheet_hide(ws);
  }

  lxw_workbook* wb_;
  const ExchangeRows& data_;
  lxw_format *header_, *text_, *number_, *wrap_;
  std::map<ValueList, int> listColumns_;
  lxw_error error_ = LXW_NO_ERROR;
};

}  // namespace

Outcome WriteExchangeWorkbook(const fs::path& path, const ExchangeRows& data) {
  OutputFile file;
  if (Outcome begun = file.Begin(path); !begun) return begun;
  const Outcome notCreated = Outcome::Fail("无法创建文件：" + path.string());
  {
    lxw_workbook* wb = workbook_new(file.TempPath().c_str());
    if (!wb) return notCreated;
    std::unique_ptr<lxw_workbook, WorkbookCloser> guard(wb);
    if (Outcome written = Writer(wb, data).Write(); !written) return written;
    const lxw_error closed = workbook_close(guard.release());
    if (closed == LXW_ERROR_CREATING_XLSX_FILE || closed == LXW_ERROR_CREATING_TMPFILE) return notCreated;
    if (closed != LXW_NO_ERROR) return Outcome::Fail(std::string("保存工作簿出错：") + lxw_strerror(closed));
  }
  return file.Commit();
}

}  // namespace orv
