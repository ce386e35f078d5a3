// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/output/page_layout.h"

#include <algorithm>
#include <cmath>

#include "core/domain/week.h"

namespace orv {

namespace {

constexpr double kCellPadding = 0.8;  // between a cell's border and its text

struct Area {
  double left, top, right, bottom;
};

class PageBuilder {
 public:
  PageBuilder(Page& page, const TextMeasure& measure, std::vector<std::string>& cut)
      : page_(page), measure_(measure), cut_(cut) {}

  void Text(double x, double y, double w, double h, std::string text, const TextStyle& style,
            TextAlign align = TextAlign::Center) {
    if (text.find_first_not_of(' ') == std::string::npos || w <= 0 || h <= 0) return;
    page_.texts.push_back({x, y, w, h, std::move(text), style, align});
  }
  void Band(const Area& a, double y, const TemplateBand& band, std::string text,
            TextAlign align = TextAlign::Center) {
    if (band.height > 0) Text(a.left, y, a.right - a.left, band.height, std::move(text), band.style, align);
  }
  void HLine(double x1, double x2, double y, double width) {
    if (width > 0) page_.lines.push_back({x1, y, x2, y, width});
  }
  void VLine(double x, double y1, double y2, double width) {
    if (width > 0) page_.lines.push_back({x, y1, x, y2, width});
  }
  // A day boundary: one line, or two either side of x.
  void DayLine(double x, double y1, double y2, const PrintTemplate& t) {
    if (!t.doubleDayLines) return VLine(x, y1, y2, t.innerLine);
    VLine(x - t.doubleGap / 2, y1, y2, t.innerLine);
    VLine(x + t.doubleGap / 2, y1, y2, t.innerLine);
  }
  // A lesson cell's lines, set to fit and stacked as one centred block;
  // blank ones left out.
  void Cell(double x, double y, double w, double h, const PrintCell& cell,
            const std::vector<CellLine>& lines) {
    std::vector<CellText> texts;
    for (const CellLine& line : lines) {
      const std::string& value = line.field == CellField::Course ? cell.course : cell.second;
      if (!TrimmedValue(value).empty()) texts.push_back({std::string(TrimmedValue(value)), line.style});
    }
    Stack(x, y, w, h, texts);
  }
  void Name(double x, double y, double w, double h, const std::string& name, const TextStyle& style) {
    if (!TrimmedValue(name).empty()) Stack(x, y, w, h, {{std::string(TrimmedValue(name)), style}});
  }

 private:
  void Stack(double x, double y, double w, double h, const std::vector<CellText>& texts) {
    if (texts.empty()) return;
    const double inner = w - 2 * kCellPadding;
    const CellSetting set = SetCellTexts(texts, inner, h, measure_);
    double block = 0;
    for (const SetText& t : set.texts) block += t.lines.size() * t.points * kMmPerPoint * set.spacing;
    double top = y + (h - block) / 2;
    for (size_t i = 0; i < texts.size(); ++i) {
      const SetText& t = set.texts[i];
      TextStyle style = texts[i].style;
      style.size = t.points;
      const double lineHeight = t.points * kMmPerPoint * set.spacing;
      for (const std::string& line : t.lines) {
        Text(x + kCellPadding, top, inner, lineHeight, line, style);
        top += lineHeight;
      }
      if (t.cut && std::find(cut_.begin(), cut_.end(), texts[i].text) == cut_.end())
        cut_.push_back(texts[i].text);
    }
  }

  Page& page_;
  const TextMeasure& measure_;
  std::vector<std::string>& cut_;
};

Area ContentArea(const PrintTemplate& t) {
  return {t.marginLeft, t.marginTop, t.paperWidth - t.marginRight, t.paperHeight - t.marginBottom};
}

std::string Footer(const PrintTemplate& t, size_t page, size_t pages) {
  return FillPattern(FillPattern(t.footer.text, "page", std::to_string(page)), "pages",
                     std::to_string(pages));
}

void LayOutTimetablePage(Page& page, const PrintSubject& subject, const PrintTemplate& t, size_t number,
                         size_t pages, const TextMeasure& measure, std::vector<std::string>& cut) {
  PageBuilder b(page, measure, cut);
  const Area a = ContentArea(t);
  const int n = t.lessonsPerDay;
  b.Band(a, a.top, t.title, FillPattern(t.title.text, "title", subject.title));
  b.Band(a, a.bottom - t.footer.height, t.footer, Footer(t, number, pages));

  const bool noon = t.noonAfter > 0 && t.noonAfter < n && t.noon.height > 0;
  const double noonHeight = noon ? t.noon.height : 0;
  const double top = a.top + t.title.height;
  const double room = a.bottom - t.footer.height - t.total.height - top - t.header.height - noonHeight;
  const double rowHeight = std::min(t.rowHeight, room / n);

  const double labelRight = a.left + t.lessonSize;
  const double dayWidth = (a.right - labelRight) / kDaysPerWeek;
  auto dayX = [&](int d) { return labelRight + d * dayWidth; };  // left edge of day d (0-based)

  // Header row.
  const double headerBottom = top + t.header.height;
  b.Text(a.left, top, t.lessonSize, t.header.height, t.header.text, t.header.style);
  for (int d = 0; d < kDaysPerWeek; ++d)
    b.Text(dayX(d), top, dayWidth, t.header.height, std::string(kDayNames[size_t(d)]), t.header.style);

  // Lesson rows, with the noon band after the morning.
  double y = headerBottom;
  double noonTop = -1;
  for (int lesson = 1; lesson <= n; ++lesson) {
    if (noon && lesson == t.noonAfter + 1) {
      noonTop = y;
      b.Text(a.left, y, a.right - a.left, noonHeight, t.noon.text, t.noon.style);
      b.HLine(a.left, a.right, y, t.innerLine);
      y += noonHeight;
    }
    b.HLine(a.left, a.right, y, lesson == 1 ? t.outerLine : t.innerLine);
    b.Text(a.left, y, t.lessonSize, rowHeight, LessonLabel(t.lessonLabel, lesson), t.lessonStyle);
    for (int d = 0; d < kDaysPerWeek; ++d)
      b.Cell(dayX(d), y, dayWidth, rowHeight, subject.cells[size_t((lesson - 1) * kDaysPerWeek + d)],
             t.cellLines);
    y += rowHeight;
  }
  const double bottom = y;

  // Frame and column lines; the noon band runs across without them.
  b.HLine(a.left, a.right, top, t.outerLine);
  b.HLine(a.left, a.right, bottom, t.outerLine);
  b.VLine(a.left, top, bottom, t.outerLine);
  b.VLine(a.right, top, bottom, t.outerLine);
  for (int d = 0; d < kDaysPerWeek; ++d) {
    const double x = dayX(d);
    if (noonTop < 0) {
      b.VLine(x, top, bottom, t.innerLine);
    } else {
      b.VLine(x, top, noonTop, t.innerLine);
      b.VLine(x, noonTop + noonHeight, bottom, t.innerLine);
    }
  }
  b.Band(a, bottom, t.total, FillPattern(t.total.text, "total", std::to_string(subject.total)),
         TextAlign::Left);
}

void LayOutSchoolPage(Page& page, const std::string& title, const std::vector<PrintSubject>& subjects,
                      size_t first, size_t count, const PrintTemplate& t, size_t number, size_t pages,
                      const TextMeasure& measure, std::vector<std::string>& cut) {
  PageBuilder b(page, measure, cut);
  const Area a = ContentArea(t);
  const int n = t.lessonsPerDay;
  const int columns = n * kDaysPerWeek;
  b.Band(a, a.top, t.title, FillPattern(t.title.text, "title", title));
  b.Band(a, a.bottom - t.footer.height, t.footer, Footer(t, number, pages));

  const double top = a.top + t.title.height;
  const double dayBottom = top + t.header.height;
  const double headBottom = dayBottom + t.lessonSize;
  const double nameRight = a.left + t.nameWidth;
  const double colWidth = (a.right - nameRight) / columns;
  auto colX = [&](int c) { return nameRight + c * colWidth; };  // left edge of column c (0-based)

  b.Text(a.left, top, t.nameWidth, headBottom - top, t.header.text, t.header.style);
  for (int d = 0; d < kDaysPerWeek; ++d) {
    b.Text(colX(d * n), top, n * colWidth, t.header.height, std::string(kDayNames[size_t(d)]),
           t.header.style);
    for (int l = 1; l <= n; ++l)
      b.Text(colX(d * n + l - 1), dayBottom, colWidth, t.lessonSize, LessonLabel(t.lessonLabel, l),
             t.lessonStyle);
  }

  double y = headBottom;
  for (size_t r = first; r < first + count; ++r) {
    const PrintSubject& s = subjects[r];
    b.HLine(a.left, a.right, y, r == first ? t.outerLine : t.innerLine);
    b.Name(a.left, y, t.nameWidth, t.rowHeight, s.name, t.nameStyle);
    for (int c = 0; c < columns && size_t(c) < s.cells.size(); ++c)
      b.Cell(colX(c), y, colWidth, t.rowHeight, s.cells[size_t(c)], t.cellLines);
    y += t.rowHeight;
  }
  const double bottom = y;

  b.HLine(a.left, a.right, top, t.outerLine);
  b.HLine(nameRight, a.right, dayBottom, t.innerLine);
  b.HLine(a.left, a.right, bottom, t.outerLine);
  b.VLine(a.left, top, bottom, t.outerLine);
  b.VLine(a.right, top, bottom, t.outerLine);
  b.VLine(nameRight, top, bottom, t.outerLine);
  for (int c = 1; c < columns; ++c) {
    if (c % n == 0)
      b.DayLine(colX(c), top, bottom, t);
    else
      b.VLine(colX(c), dayBottom, bottom, t.innerLine);
  }
}

// A teacher's changes as lines under the title; a teacher with more than a
// page holds goes on over the next pages, each with the title again.
void LayOutNotice(PageDocument& doc, const PrintData& data, const PrintTemplate& t,
                  const TextMeasure& measure) {
  const Area a = ContentArea(t);
  const double top = a.top + t.title.height + t.header.height;
  const double room = a.bottom - t.footer.height - top;
  const size_t perPage = size_t(std::max(1.0, std::floor(room / t.rowHeight + 1e-9)));
  struct Part {
    const PrintSubject* subject;
    size_t first, count;
    size_t page, pages;  // within the teacher's notice: each is handed out alone
  };
  std::vector<Part> parts;
  for (const PrintSubject& s : data.subjects) {
    const size_t pages = std::max<size_t>(1, (s.lines.size() + perPage - 1) / perPage);
    for (size_t p = 0; p < pages; ++p)
      parts.push_back({&s, p * perPage, std::min(perPage, s.lines.size() - p * perPage), p + 1, pages});
  }
  doc.pages.resize(parts.size());
  for (size_t p = 0; p < parts.size(); ++p) {
    PageBuilder b(doc.pages[p], measure, doc.cutNames);
    const Part& part = parts[p];
    b.Band(a, a.top, t.title, FillPattern(t.title.text, "title", part.subject->title));
    b.Band(a, a.top + t.title.height, t.header, FillPattern(t.header.text, "since", part.subject->name),
           TextAlign::Left);
    b.Band(a, a.bottom - t.footer.height, t.footer, Footer(t, part.page, part.pages));
    double y = top;
    b.HLine(a.left, a.right, y, t.outerLine);
    for (size_t i = part.first; i < part.first + part.count; ++i) {
      b.Text(a.left + kCellPadding, y, a.right - a.left - 2 * kCellPadding, t.rowHeight,
             part.subject->lines[i], t.cellLines.front().style, TextAlign::Left);
      y += t.rowHeight;
      b.HLine(a.left, a.right, y, t.innerLine);
    }
  }
}

}  // namespace

Outcome DocumentFitsTemplate(const PrintData& data, const PrintTemplate& t) {
  const bool notice = t.layout == TemplateLayout::Notice;
  if (notice != (data.kind == PrintDataKind::Notice))
    return Outcome::Fail(notice ? "打印数据是课表，模板却是变更通知" : "打印数据是变更通知，模板却是课表");
  if (notice && data.subjects.empty()) return Outcome::Fail("打印数据中没有变更");
  const bool school = t.layout == TemplateLayout::School;
  if (!data.subjects.empty() && (data.kind == PrintDataKind::School) != school)
    return Outcome::Fail(school ? "打印数据是班级或教师课表，模板却是全校总表"
                                : "打印数据是全校总表，模板却是班级或教师课表");
  if (!notice && !data.subjects.empty() && data.lessonsPerDay != t.lessonsPerDay)
    return Outcome::Fail("打印数据每天 " + std::to_string(data.lessonsPerDay) + " 节课，模板却是每天 " +
                         std::to_string(t.lessonsPerDay) + " 节课");
  if (data.subjects.empty() && !school) return Outcome::Fail("打印数据中没有课表");
  return Outcome::Ok();
}

Result<PageDocument> LayOutPages(const PrintData& data, const PrintTemplate& t, const TextMeasure& measure) {
  if (Outcome fits = DocumentFitsTemplate(data, t); !fits) return fits;
  const bool notice = t.layout == TemplateLayout::Notice;
  const bool school = t.layout == TemplateLayout::School;

  PageDocument doc;
  doc.paper = t.paper;
  doc.landscape = t.landscape;
  doc.width = t.paperWidth;
  doc.height = t.paperHeight;
  if (notice) {
    LayOutNotice(doc, data, t, measure);
    return doc;
  }
  if (!school) {
    doc.pages.resize(data.subjects.size());
    for (size_t i = 0; i < data.subjects.size(); ++i)
      LayOutTimetablePage(doc.pages[i], data.subjects[i], t, i + 1, data.subjects.size(), measure,
                          doc.cutNames);
    return doc;
  }
  const Area a = ContentArea(t);
  const double room = a.bottom - t.footer.height - a.top - t.title.height - t.header.height - t.lessonSize;
  const size_t perPage = size_t(std::max(1.0, std::floor(room / t.rowHeight + 1e-9)));
  const size_t pages = std::max<size_t>(1, (data.subjects.size() + perPage - 1) / perPage);
  const std::string title = data.subjects.empty() ? std::string() : data.subjects.front().title;
  doc.pages.resize(pages);
  for (size_t p = 0; p < pages; ++p) {
    const size_t first = p * perPage;
    const size_t count = std::min(perPage, data.subjects.size() - std::min(first, data.subjects.size()));
    LayOutSchoolPage(doc.pages[p], title, data.subjects, first, count, t, p + 1, pages, measure,
                     doc.cutNames);
  }
  return doc;
}

}  // namespace orv
