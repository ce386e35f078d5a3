// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/output/print_template.h"

#include <array>
#include <charconv>
#include <cmath>
#include <utility>

#include "core/domain/week.h"
#include "core/output/markup_reader.h"

namespace orv {

namespace {

struct Paper {
  std::string_view name;
  double width, height;  // portrait
};
constexpr std::array<Paper, 5> kPapers = {{
    {"A3", 297, 420},
    {"A4", 210, 297},
    {"A5", 148, 210},
    {"B5", 176, 250},
    {"Letter", 215.9, 279.4},
}};

// Reads one template element's attributes, remembering the first problem.
class Reader {
 public:
  explicit Reader(std::string& problem) : problem_(problem) {}

  void Number(const MarkupElement& e, std::string_view key, double& out, double low, double high) {
    const std::string* v = e.Attribute(key);
    if (!v) return;
    double value = 0;
    auto [end, ec] = std::from_chars(v->data(), v->data() + v->size(), value);
    // from_chars reads "nan" and "inf" too; NaN compares false both ways, so
    // only a positive range test keeps it out (a NaN margin made a blank page).
    if (ec != std::errc() || end != v->data() + v->size() || !std::isfinite(value) ||
        !(value >= low && value <= high))
      Problem("<" + e.name + "> 的 " + std::string(key) + " 不是 " + Format(low) + " 到 " + Format(high) +
              " 之间的数：" + *v);
    else
      out = value;
  }
  void Text(const MarkupElement& e, std::string_view key, std::string& out) {
    if (const std::string* v = e.Attribute(key)) out = *v;
  }
  void Flag(const MarkupElement& e, std::string_view key, bool& out) {
    if (const std::string* v = e.Attribute(key)) out = *v == "1" || *v == "true" || *v == "yes";
  }
  void Style(const MarkupElement& e, TextStyle& style) {
    Text(e, "family", style.family);
    Number(e, "size", style.size, 3, 72);
    Flag(e, "bold", style.bold);
  }
  void Band(const MarkupElement& e, TemplateBand& band, std::string_view textKey = "text") {
    Text(e, textKey, band.text);
    Style(e, band.style);
    Number(e, "height", band.height, 0, 200);
  }
  void Problem(std::string text) {
    if (problem_.empty()) problem_ = std::move(text);
  }

 private:
  static std::string Format(double v) {
    std::string s = std::to_string(v);
    s.erase(s.find_last_not_of('0') + 1);
    if (!s.empty() && s.back() == '.') s.pop_back();
    return s;
  }
  std::string& problem_;
};

void ReadPage(Reader& r, const MarkupElement& e, PrintTemplate& t) {
  if (const std::string* paper = e.Attribute("paper")) {
    const Paper* found = nullptr;
    for (const Paper& p : kPapers)
      if (p.name == *paper) found = &p;
    if (!found) {
      r.Problem("不支持的纸张：" + *paper);
    } else {
      t.paper = std::string(found->name);
      t.paperWidth = found->width;
      t.paperHeight = found->height;
    }
  }
  if (const std::string* o = e.Attribute("orientation")) {
    if (*o != "portrait" && *o != "landscape") r.Problem("纸张方向只能是 portrait 或 landscape：" + *o);
    t.landscape = *o == "landscape";
  }
  r.Number(e, "top", t.marginTop, 0, 100);
  r.Number(e, "bottom", t.marginBottom, 0, 100);
  r.Number(e, "left", t.marginLeft, 0, 100);
  r.Number(e, "right", t.marginRight, 0, 100);
}

}  // namespace

std::string FillPattern(std::string pattern, std::string_view key, std::string_view value) {
  const std::string token = "{" + std::string(key) + "}";
  size_t at = pattern.find(token);
  if (at == std::string::npos) return pattern;
  // Built afresh rather than replaced in place: a text with many tokens would
  // otherwise move its tail once per token.
  std::string out;
  out.reserve(pattern.size());
  size_t from = 0;
  for (; at != std::string::npos; at = pattern.find(token, from)) {
    out.append(pattern, from, at - from).append(value);
    from = at + token.size();
  }
  out.append(pattern, from, std::string::npos);
  return out;
}

std::string LessonLabel(std::string_view pattern, int lessonNo) {
  const std::string numeral =
      lessonNo >= 1 && lessonNo <= kMaxLessonsPerDay ? std::string(kLessonNumerals[lessonNo - 1]) : "";
  return FillPattern(FillPattern(std::string(pattern), "numeral", numeral), "number",
                     std::to_string(lessonNo));
}

Result<PrintTemplate> ParsePrintTemplate(std::string_view text) {
  const std::vector<MarkupElement> elements = ReadMarkup(text);
  PrintTemplate t;
  std::string problem;
  Reader r(problem);
  bool seen = false;
  for (const MarkupElement& e : elements) {
    if (e.name == "template") {
      seen = true;
      if (const std::string* layout = e.Attribute("layout")) {
        if (*layout == "school")
          t.layout = TemplateLayout::School;
        else if (*layout == "notice")
          t.layout = TemplateLayout::Notice;
        else if (*layout != "timetable")
          r.Problem("未知的版式：" + *layout);
      }
      double lessons = t.lessonsPerDay;
      r.Number(e, "lessons", lessons, 6, 7);
      t.lessonsPerDay = int(lessons);
      if (lessons != t.lessonsPerDay) r.Problem("每天课时数只能是 6 或 7");
    } else if (e.name == "page") {
      ReadPage(r, e, t);
    } else if (e.name == "title") {
      r.Band(e, t.title);
    } else if (e.name == "total") {
      r.Band(e, t.total);
    } else if (e.name == "footer") {
      r.Band(e, t.footer);
    } else if (e.name == "header") {
      r.Band(e, t.header, "corner");
    } else if (e.name == "lessons") {
      r.Text(e, "label", t.lessonLabel);
      r.Style(e, t.lessonStyle);
      r.Number(e, "width", t.lessonSize, 1, 200);
      r.Number(e, "height", t.lessonSize, 1, 200);
    } else if (e.name == "names") {
      r.Style(e, t.nameStyle);
      r.Number(e, "width", t.nameWidth, 1, 200);
    } else if (e.name == "rows") {
      r.Number(e, "height", t.rowHeight, 2, 200);
    } else if (e.name == "noon") {
      double after = 0;
      r.Number(e, "after", after, 0, kMaxLessonsPerDay);
      t.noonAfter = int(after);
      r.Band(e, t.noon);
    } else if (e.name == "cell") {
      CellLine line;
      if (const std::string* field = e.Attribute("field")) {
        if (*field == "second")
          line.field = CellField::Second;
        else if (*field != "course")
          r.Problem("格子只能显示 course 或 second：" + *field);
      }
      r.Style(e, line.style);
      t.cellLines.push_back(line);
    } else if (e.name == "lines") {
      r.Number(e, "outer", t.outerLine, 0, 5);
      r.Number(e, "inner", t.innerLine, 0, 5);
      r.Number(e, "gap", t.doubleGap, 0, 5);
      if (const std::string* days = e.Attribute("days")) t.doubleDayLines = *days == "double";
    }
  }
  if (!seen) return Outcome::Fail("不是打印模板文件（缺少 <template>）");
  if (t.landscape) std::swap(t.paperWidth, t.paperHeight);
  const double width = t.paperWidth - t.marginLeft - t.marginRight;
  const double height = t.paperHeight - t.marginTop - t.marginBottom;
  const double fixedWidth = t.layout == TemplateLayout::Timetable ? t.lessonSize
                            : t.layout == TemplateLayout::School  ? t.nameWidth
                                                                  : 0;
  if (width <= fixedWidth + 10 ||
      height <= t.title.height + t.header.height + t.total.height + t.footer.height + 10)
    r.Problem("模板的页边距和表格尺寸超出了纸张");
  if (t.cellLines.empty()) t.cellLines.push_back({});
  if (!problem.empty()) return Outcome::Fail("打印模板有误：" + problem);
  return t;
}

}  // namespace orv
