// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/output/excel_export.h"

#include <fcntl.h>
#include <unistd.h>
#include <xlsxwriter.h>

#include <algorithm>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <tuple>

#include "core/database/valid_text.h"
#include "core/domain/week.h"
#include "core/files/output_file.h"
#include "core/output/print_document.h"

namespace fs = std::filesystem;

namespace orv {

namespace {

constexpr const char* kFont = "宋体";
constexpr int kBlockRows = 11;  // rows from one class or teacher block to the next
// The most characters a cell holds; the library refuses a longer text, which
// would fail the whole workbook for one overlong name.
constexpr std::size_t kCellCharacters = 32767;

struct CellStyle {
  bool border = false;       // thin on all sides
  bool doubleRight = false;  // the day's last column
  bool title = false;
  auto operator<=>(const CellStyle&) const = default;
};

struct Cell {
  std::string text;
  bool number = false;
  CellStyle style;
};

struct Merge {
  int firstRow, firstCol, lastRow, lastCol;
};

// How a spreadsheet program prints the sheet. Paper numbers are the
// workbook format's own: 9 is A4, 8 is A3.
struct PageSetup {
  static constexpr std::uint8_t kA4 = 9, kA3 = 8;
  std::uint8_t paper = kA4;
  bool landscape = false;
  std::vector<int> breaksBefore;        // rows (from 1) that start a new page
  int repeatFirst = 0, repeatLast = 0;  // rows (from 1) printed atop every page; 0 for none
};

// One worksheet, gathered in memory (rows and columns from 1, as a
// spreadsheet user counts them) and then written in one go: a cell's value and
// its borders come from different steps of the layout.
class Sheet {
 public:
  explicit Sheet(std::vector<std::string>* warnings) : warnings_(warnings) {}
  Cell& At(int row, int col) { return cells_[{row, col}]; }
  void Text(int row, int col, std::string text) { At(row, col).text = Fit(std::move(text)); }
  void Number(int row, int col, int n) {
    Cell& c = At(row, col);
    c.text = std::to_string(n);
    c.number = true;
  }
  void Border(int row, int col, bool doubleRight = false) {
    CellStyle& s = At(row, col).style;
    s.border = true;
    s.doubleRight = s.doubleRight || doubleRight;
  }
  void Title(int row, int col, std::string text) {
    Text(row, col, std::move(text));
    At(row, col).style.title = true;
  }
  void MergeCells(int r1, int c1, int r2, int c2) { merges_.push_back({r1, c1, r2, c2}); }
  void ColumnWidth(int first, int last, double width) { widths_.push_back({first, last, width}); }
  void RowHeight(int row, double height) { heights_[row] = height; }
  void DefaultRowHeight(double height) { defaultHeight_ = height; }
  PageSetup& Page() { return page_; }

  Outcome Save(const fs::path& path, const char* sheetName) const;

 private:
  Outcome Fill(lxw_workbook* wb, const char* sheetName) const;
  Outcome SetUpPage(lxw_worksheet* ws) const;

  // The text cut to what a cell holds, with a warning (once per text).
  std::string Fit(std::string text) {
    if (text.size() <= kCellCharacters || Utf8Length(text) <= kCellCharacters) return text;
    std::string cut(Utf8Prefix(text, kCellCharacters));
    const std::string warning = "警告：文字超过Excel单元格上限" + std::to_string(kCellCharacters) +
                                "个字符，已截断：" + std::string(Utf8Prefix(text, 20)) + "…";
    if (warnings_ && std::find(warnings_->begin(), warnings_->end(), warning) == warnings_->end())
      warnings_->push_back(warning);
    return cut;
  }
  std::vector<std::string>* warnings_;
  struct Width {
    int first, last;
    double width;
  };
  std::map<std::pair<int, int>, Cell> cells_;
  std::vector<Merge> merges_;
  std::vector<Width> widths_;
  std::map<int, double> heights_;
  double defaultHeight_ = 0;
  PageSetup page_;
};

struct WorkbookCloser {
  void operator()(lxw_workbook* wb) const {
    if (wb) workbook_close(wb);
  }
};

lxw_format* MakeFormat(lxw_workbook* wb, const CellStyle& s) {
  lxw_format* f = workbook_add_format(wb);
  format_set_font_name(f, kFont);
  format_set_font_size(f, s.title ? 16 : 11);
  if (s.title) format_set_bold(f);
  format_set_align(f, LXW_ALIGN_CENTER);
  format_set_align(f, LXW_ALIGN_VERTICAL_CENTER);
  format_set_text_wrap(f);
  if (s.border) format_set_border(f, LXW_BORDER_THIN);
  if (s.doubleRight) format_set_right(f, LXW_BORDER_DOUBLE);
  return f;
}

// libxlsxwriter reports its failures on stderr as well as in its return
// codes; the codes become this module's messages, so the library's own lines
// are kept off the terminal while it runs.
class QuietStderr {
 public:
  QuietStderr() : saved_(::dup(STDERR_FILENO)) {
    const int null = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (saved_ >= 0 && null >= 0) ::dup2(null, STDERR_FILENO);
    if (null >= 0) ::close(null);
  }
  ~QuietStderr() {
    if (saved_ < 0) return;
    ::dup2(saved_, STDERR_FILENO);
    ::close(saved_);
  }
  QuietStderr(const QuietStderr&) = delete;
  QuietStderr& operator=(const QuietStderr&) = delete;

 private:
  int saved_;
};

Outcome Sheet::Fill(lxw_workbook* wb, const char* sheetName) const {
  lxw_worksheet* ws = workbook_add_worksheet(wb, sheetName);
  if (!ws) return Outcome::Fail("无法添加工作表");

  std::map<CellStyle, lxw_format*> formats;
  auto format = [&](const CellStyle& s) {
    auto [it, added] = formats.try_emplace(s, nullptr);
    if (added) it->second = MakeFormat(wb, s);
    return it->second;
  };
  if (defaultHeight_ > 0) worksheet_set_default_row(ws, defaultHeight_, LXW_FALSE);
  for (const Width& w : widths_)
    worksheet_set_column(ws, lxw_col_t(w.first - 1), lxw_col_t(w.last - 1), w.width, format({}));
  for (const auto& [row, height] : heights_) worksheet_set_row(ws, lxw_row_t(row - 1), height, nullptr);

  lxw_error error = LXW_NO_ERROR;
  auto write = [&](int row, int col, const Cell& c) {
    lxw_format* f = format(c.style);
    const auto r = lxw_row_t(row - 1);
    const auto k = lxw_col_t(col - 1);
    lxw_error e = c.number         ? worksheet_write_number(ws, r, k, std::stod(c.text), f)
                  : c.text.empty() ? worksheet_write_blank(ws, r, k, f)
                                   : worksheet_write_string(ws, r, k, c.text.c_str(), f);
    if (error == LXW_NO_ERROR) error = e;
  };
  for (const auto& [at, cell] : cells_) write(at.first, at.second, cell);
  // A merged range takes its first cell's value; each cell of it keeps its
  // own borders, so only the day's last column carries the double line.
  static const Cell kBlank;
  for (const Merge& m : merges_) {
    auto cellAt = [&](int r, int c) -> const Cell& {
      auto it = cells_.find({r, c});
      return it == cells_.end() ? kBlank : it->second;
    };
    const Cell& first = cellAt(m.firstRow, m.firstCol);
    lxw_error e = worksheet_merge_range(ws, lxw_row_t(m.firstRow - 1), lxw_col_t(m.firstCol - 1),
                                        lxw_row_t(m.lastRow - 1), lxw_col_t(m.lastCol - 1),
                                        first.text.c_str(), format(first.style));
    if (error == LXW_NO_ERROR) error = e;
    for (int r = m.firstRow; r <= m.lastRow; ++r)
      for (int c = m.firstCol; c <= m.lastCol; ++c)
        if (r != m.firstRow || c != m.firstCol) write(r, c, Cell{"", false, cellAt(r, c).style});
  }
  if (error != LXW_NO_ERROR) return Outcome::Fail(std::string("写入工作表出错：") + lxw_strerror(error));
  return SetUpPage(ws);
}

// Schools print the workbook from a spreadsheet program, not from here: the
// sheet carries its paper, one page wide whatever the printer's margins, and
// its own page breaks, or a class's Friday spills onto a page of its own.
Outcome Sheet::SetUpPage(lxw_worksheet* ws) const {
  worksheet_set_paper(ws, page_.paper);
  if (page_.landscape) worksheet_set_landscape(ws);
  worksheet_fit_to_pages(ws, 1, 0);
  worksheet_center_horizontally(ws);
  worksheet_set_margins(ws, 0.4, 0.4, 0.6, 0.6);
  if (!page_.breaksBefore.empty()) {
    // The format holds so many breaks; a longer sheet still prints, its
    // last pages filled by the spreadsheet program.
    std::vector<lxw_row_t> breaks;
    for (int row : page_.breaksBefore)
      if (breaks.size() < LXW_BREAKS_MAX && row > 1) breaks.push_back(lxw_row_t(row - 1));
    breaks.push_back(0);
    if (lxw_error e = worksheet_set_h_pagebreaks(ws, breaks.data()); e != LXW_NO_ERROR)
      return Outcome::Fail(std::string("设置分页出错：") + lxw_strerror(e));
  }
  if (page_.repeatFirst > 0) {
    if (lxw_error e =
            worksheet_repeat_rows(ws, lxw_row_t(page_.repeatFirst - 1), lxw_row_t(page_.repeatLast - 1));
        e != LXW_NO_ERROR)
      return Outcome::Fail(std::string("设置打印标题出错：") + lxw_strerror(e));
  }
  return Outcome::Ok();
}

Outcome Sheet::Save(const fs::path& path, const char* sheetName) const {
  OutputFile file;
  if (Outcome begun = file.Begin(path); !begun) return Outcome::Fail(begun.message(), kWorkbookNotCreated);
  const Outcome notCreated = Outcome::Fail("无法创建文件：" + path.string(), kWorkbookNotCreated);
  {
    const QuietStderr quiet;
    lxw_workbook* wb = workbook_new(file.TempPath().c_str());
    if (!wb) return notCreated;
    std::unique_ptr<lxw_workbook, WorkbookCloser> guard(wb);
    if (Outcome filled = Fill(wb, sheetName); !filled) return filled;
    const lxw_error closed = workbook_close(guard.release());
    if (closed == LXW_ERROR_CREATING_XLSX_FILE || closed == LXW_ERROR_CREATING_TMPFILE) return notCreated;
    if (closed != LXW_NO_ERROR) return Outcome::Fail(std::string("保存工作簿出错：") + lxw_strerror(closed));
  }
  if (Outcome committed = file.Commit(); !committed)
    return Outcome::Fail(committed.message(), kWorkbookNotCreated);
  return Outcome::Ok();
}

// One block per class or teacher; teachers' cells add the class under the course.
Outcome ExportBlocks(const fs::path& path, const std::vector<TimetableRow>& rows, std::string_view school,
                     SchoolWeek week, const char* sheetName, bool withClass,
                     std::vector<std::string>* warnings) {
  Sheet sheet(warnings);
  sheet.ColumnWidth(1, 1, 6);
  sheet.ColumnWidth(2, 6, 14);
  sheet.DefaultRowHeight(30);
  int r = 1;
  for (const SubjectWeek& subject : GroupSubjects(rows, week)) {
    sheet.Title(r, 4, std::string(school) + "     " + subject.first->name);
    sheet.Border(r + 2, 1);
    for (int d = 1; d <= kDaysPerWeek; ++d) {
      sheet.Text(r + 2, d + 1, std::string(kDayNames[size_t(d - 1)]));
      sheet.Border(r + 2, d + 1);
    }
    for (int i = 1; i <= week.lessonsPerDay; ++i) {
      sheet.Number(r + 2 + i, 1, i);
      for (int c = 1; c <= kDaysPerWeek + 1; ++c) sheet.Border(r + 2 + i, c);
    }
    for (size_t i = 0; i < subject.cells.size(); ++i) {
      const TimetableRow* row = subject.cells[i];
      if (!row) continue;
      const int lesson = int(i) / kDaysPerWeek + 1, day = int(i) % kDaysPerWeek + 1;
      // A line break inside a cell is a line feed in every spreadsheet program.
      sheet.Text(r + 2 + lesson, 1 + day,
                 withClass ? row->courseName + "\n" + row->classShortName : row->courseName);
    }
    r += kBlockRows;
    sheet.Page().breaksBefore.push_back(r);
  }
  // One class or teacher per A4 page: no break after the last block.
  if (!sheet.Page().breaksBefore.empty()) sheet.Page().breaksBefore.pop_back();
  return sheet.Save(path, sheetName);
}

}  // namespace

Outcome ExportClassSheets(const fs::path& path, const std::vector<TimetableRow>& rows,
                          std::string_view school, SchoolWeek week, std::vector<std::string>* warnings) {
  return ExportBlocks(path, rows, school, week, "班级课表", false, warnings);
}

Outcome ExportTeacherSheets(const fs::path& path, const std::vector<TimetableRow>& rows,
                            std::string_view school, SchoolWeek week, std::vector<std::string>* warnings) {
  return ExportBlocks(path, rows, school, week, "教师课表", true, warnings);
}

Outcome ExportTotalSheet(const fs::path& path, const std::vector<TimetableRow>& rows, std::string_view school,
                         SchoolWeek week, std::vector<std::string>* warnings,
                         const std::optional<CivilDate>& termStart) {
  const int n = week.lessonsPerDay;
  const int lastCol = kDaysPerWeek * n + 1;
  auto isDayEnd = [n](int col) { return col > 1 && col < kDaysPerWeek * n + 1 && (col - 1) % n == 0; };
  auto borderRow = [&](Sheet& s, int row) {
    for (int c = 1; c <= lastCol; ++c) s.Border(row, c, isDayEnd(c));
  };
  Sheet sheet(warnings);
  // A3 across; a large school runs onto more pages, each under the title and
  // the day and lesson headers.
  sheet.Page() = PageSetup{PageSetup::kA3, true, {}, 1, 4};
  sheet.ColumnWidth(1, 1, 10);
  sheet.ColumnWidth(2, lastCol, 6);
  sheet.RowHeight(1, 50);
  sheet.RowHeight(3, 30);
  sheet.RowHeight(4, 20);
  sheet.Title(1, 1, SchoolTitle(school, termStart));
  sheet.MergeCells(1, 1, 1, lastCol);
  for (int d = 1; d <= kDaysPerWeek; ++d) {
    sheet.Text(3, (d - 1) * n + 2, std::string(kDayNames[size_t(d - 1)]));
    sheet.MergeCells(3, (d - 1) * n + 2, 3, d * n + 1);
    for (int l = 1; l <= n; ++l) sheet.Number(4, (d - 1) * n + l + 1, l);
  }
  sheet.MergeCells(3, 1, 4, 1);
  borderRow(sheet, 3);
  borderRow(sheet, 4);
  int row = 5;
  for (const SubjectWeek& subject : GroupSubjects(rows, SchoolWeek(n))) {
    // Two lines in every cell: the row is made tall enough to show both.
    sheet.RowHeight(row, 30);
    sheet.Text(row, 1, subject.first->name);
    borderRow(sheet, row);
    for (size_t i = 0; i < subject.cells.size(); ++i) {
      if (const TimetableRow* r = subject.cells[i]) {
        const int lesson = int(i) / kDaysPerWeek + 1, day = int(i) % kDaysPerWeek + 1;
        sheet.Text(row, (day - 1) * n + lesson + 1, r->courseName + "\n" + r->classShortName);
      }
    }
    ++row;
  }
  return sheet.Save(path, "全校课程总表");
}

Outcome ExportTimetable(TimetableScope scope, const fs::path& path, const std::vector<TimetableRow>& rows,
                        std::string_view school, SchoolWeek week, std::vector<std::string>* warnings,
                        const std::optional<CivilDate>& termStart) {
  switch (scope) {
    case TimetableScope::Class:
    case TimetableScope::AllClasses:
      return ExportClassSheets(path, rows, school, week.lessonsPerDay, warnings);
    case TimetableScope::Teacher:
    case TimetableScope::AllTeachers:
      return ExportTeacherSheets(path, rows, school, week.lessonsPerDay, warnings);
    case TimetableScope::School:
      return ExportTotalSheet(path, rows, school, week.lessonsPerDay, warnings, termStart);
  }
  return Outcome::Fail("未知的课表范围");
}

}  // namespace orv
