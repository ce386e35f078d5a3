// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/output/print_data.h"

#include <algorithm>
#include <charconv>
#include <optional>

#include "core/domain/week.h"
#include "core/output/markup_reader.h"

namespace orv {

namespace {

constexpr std::string_view kNotADocument = "不是课表打印数据文件";

std::string ValueOf(const MarkupElement& e) {
  const std::string* v = e.Attribute("value");
  return v ? *v : std::string();
}

// The week's running total of lessons: a whole number no week exceeds, or
// nothing (a number out of int's range used to be read as 0, and a negative
// one was printed as it stood).
std::optional<int> LessonTotalOf(std::string_view text) {
  text = TrimmedValue(text);
  int n = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), n);
  if (ec != std::errc() || end != text.data() + text.size() || n < 0 || n > kDaysPerWeek * kMaxLessonsPerDay)
    return std::nullopt;
  return n;
}

// "coursenameL32" with prefix "coursename": lesson 3, day 2. False when the
// name carries no key.
bool CellKey(std::string_view name, std::string_view prefix, int& lesson, int& day) {
  if (!name.starts_with(prefix) || name.size() < prefix.size() + 3 || name[prefix.size()] != 'l')
    return false;
  const std::string_view digits = name.substr(prefix.size() + 1);
  for (char c : digits)
    if (c < '0' || c > '9') return false;
  day = digits.back() - '0';
  auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size() - 1, lesson);
  return ec == std::errc() && lesson >= 1 && lesson <= 9 && day >= 1 && day <= kDaysPerWeek;
}

Result<PrintData> ReadTimetable(const std::vector<MarkupElement>& elements) {
  PrintData data;
  data.kind = PrintDataKind::Timetable;
  for (const MarkupElement& e : elements) {
    if (e.name == "title") {
      data.subjects.push_back({ValueOf(e), "", {}, 0, {}});
    } else if (e.name == "coursename") {
      if (data.subjects.empty()) data.subjects.push_back({});
      data.subjects.back().cells.push_back({ValueOf(e), ""});
    } else if (e.name == "classname" && !data.subjects.empty() && !data.subjects.back().cells.empty()) {
      data.subjects.back().cells.back().second = ValueOf(e);
    } else if (e.name == "totallesson" && !data.subjects.empty()) {
      const std::optional<int> total = LessonTotalOf(ValueOf(e));
      if (!total) return Outcome::Fail("课表打印数据的课时总数无效");
      data.subjects.back().total = *total;
    }
  }
  for (const PrintSubject& s : data.subjects) {
    const size_t cells = s.cells.size();
    if (cells == 0 || cells % kDaysPerWeek != 0 || cells / kDaysPerWeek > size_t(kMaxLessonsPerDay))
      return Outcome::Fail("课表打印数据不完整：" + s.title);
    if (data.lessonsPerDay == 0) data.lessonsPerDay = int(cells / kDaysPerWeek);
    if (cells != size_t(data.lessonsPerDay) * kDaysPerWeek)
      return Outcome::Fail("课表打印数据的每天课时数不一致");
  }
  return data;
}

Result<PrintData> ReadSchool(const std::vector<MarkupElement>& elements) {
  struct Keyed {
    int lesson, day;
    PrintCell cell;
  };
  struct Row {
    PrintSubject subject;
    std::vector<Keyed> cells;
  };
  std::vector<Row> rows;
  int lessonsPerDay = 0;
  for (const MarkupElement& e : elements) {
    int lesson = 0, day = 0;
    if (e.name == "title") {
      rows.push_back({{ValueOf(e), "", {}, 0, {}}, {}});
    } else if (CellKey(e.name, "coursename", lesson, day)) {
      if (rows.empty()) return Outcome::Fail(std::string(kNotADocument));
      rows.back().cells.push_back({lesson, day, {ValueOf(e), ""}});
      lessonsPerDay = std::max(lessonsPerDay, lesson);
    } else if (rows.empty() || rows.back().cells.empty()) {
      continue;
    } else if (CellKey(e.name, "classname", lesson, day)) {
      // Every cell up to the class's last lesson carries its short name.
      if (std::string& name = rows.back().subject.name; name.empty()) name = ValueOf(e);
    } else if (CellKey(e.name, "teachername", lesson, day)) {
      rows.back().cells.back().cell.second = ValueOf(e);
    }
  }
  if (lessonsPerDay > kMaxLessonsPerDay) return Outcome::Fail("课表打印数据的每天课时数超出范围");
  PrintData data{PrintDataKind::School, lessonsPerDay, {}};
  for (Row& row : rows) {
    PrintSubject& s = row.subject;
    s.cells.assign(size_t(lessonsPerDay) * kDaysPerWeek, PrintCell{" ", " "});
    for (const Keyed& k : row.cells) s.cells[size_t((k.lesson - 1) * kDaysPerWeek + k.day - 1)] = k.cell;
    // Counted over the week, not over the keys: a document naming one cell
    // twice still has one lesson there.
    for (const PrintCell& cell : s.cells) s.total += TrimmedValue(cell.course).empty() ? 0 : 1;
    data.subjects.push_back(std::move(s));
  }
  return data;
}

}  // namespace

std::string_view TrimmedValue(std::string_view text) {
  const size_t first = text.find_first_not_of(" \t\r\n");
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

Result<PrintData> ParsePrintData(std::string_view text) {
  const std::vector<MarkupElement> elements = ReadMarkup(text);
  bool root = false, keyed = false;
  for (const MarkupElement& e : elements) {
    int lesson = 0, day = 0;
    root = root || e.name == "root";
    keyed = keyed || CellKey(e.name, "coursename", lesson, day);
  }
  if (!root) return Outcome::Fail(std::string(kNotADocument));
  return keyed ? ReadSchool(elements) : ReadTimetable(elements);
}

}  // namespace orv
