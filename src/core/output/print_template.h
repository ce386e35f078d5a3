// SPDX-License-Identifier: GPL-3.0-or-later
// A print template: how the print library lays out one kind of printout on
// paper. The format is described in src/printing/templates/README.md; this is
// its reading, with every size in millimetres and every font size in points.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/outcome.h"

namespace orv {

enum class TemplateLayout {
  Timetable,  // one week grid per page: a class or a teacher
  School,     // the overview: one row per class, one column per lesson of the week
  Notice,     // 变更通知: a page of sentences per teacher
};

struct TextStyle {
  std::string family = "宋体";
  double size = 12;  // points
  bool bold = false;
};

// A line of text across the page: the title, the total, the footer.
struct TemplateBand {
  std::string text;  // with {title}, {total}, {page}, {pages} filled in
  TextStyle style;
  double height = 0;  // 0: the band is left out
};

// A line of a lesson cell: what it shows and in which font.
enum class CellField { Course, Second };
struct CellLine {
  CellField field = CellField::Course;
  TextStyle style;
};

struct PrintTemplate {
  TemplateLayout layout = TemplateLayout::Timetable;
  int lessonsPerDay = 6;

  std::string paper = "A4";  // A3, A4, A5, B5 or Letter
  double paperWidth = 210;   // as oriented
  double paperHeight = 297;
  bool landscape = false;
  double marginTop = 15, marginBottom = 15, marginLeft = 15, marginRight = 15;

  TemplateBand title;
  TemplateBand total;   // below the grid (timetables)
  TemplateBand footer;  // at the foot of every page

  TemplateBand header;  // the day names' row; its text is the corner cell's
  // The lesson labels: a column of the given width (timetables) or a row of
  // the given height (overview). {numeral} is 一..七, {number} 1..7.
  std::string lessonLabel = "{number}";
  TextStyle lessonStyle;
  double lessonSize = 20;
  TextStyle nameStyle;  // the overview's class column
  double nameWidth = 24;
  double rowHeight = 20;
  int noonAfter = 0;  // lessons before the noon band; 0 for none
  TemplateBand noon;  // the band between morning and afternoon lessons
  std::vector<CellLine> cellLines;

  double outerLine = 0.5;  // line widths
  double innerLine = 0.2;
  double doubleGap = 0.6;  // between the two lines that separate days
  bool doubleDayLines = false;
};

// Reads a template. Fails (code -1, Chinese reason) on a text that is no
// template or asks for something impossible (unknown layout or paper,
// lessons other than 6 or 7, sizes that do not fit the paper).
Result<PrintTemplate> ParsePrintTemplate(std::string_view text);

// The label of a lesson by the pattern: {numeral} and {number} replaced.
std::string LessonLabel(std::string_view pattern, int lessonNo);

// `pattern` with every {key} replaced by value.
std::string FillPattern(std::string pattern, std::string_view key, std::string_view value);

}  // namespace orv
