// SPDX-License-Identifier: GPL-3.0-or-later
// The pages of a printout, laid out from a parsed print data document and a
// template: where every text and every line goes, in millimetres from the
// page's top left corner. The print library only paints what this gives, so
// the whole layout is tested without a printer or Qt.
#pragma once

#include <string>
#include <vector>

#include "core/outcome.h"
#include "core/output/cell_text.h"
#include "core/output/print_data.h"
#include "core/output/print_template.h"

namespace orv {

enum class TextAlign { Center, Left, Right };

// A text drawn on one line inside its box, aligned in it and centred
// vertically. Names in cells come set to fit (wrapped, smaller or cut); for
// the bands the painter shrinks a text wider than its box.
struct PageText {
  double x = 0, y = 0, width = 0, height = 0;
  std::string text;
  TextStyle style;
  TextAlign align = TextAlign::Center;
};

struct PageLine {
  double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
  double width = 0.2;
};

struct Page {
  std::vector<PageText> texts;
  std::vector<PageLine> lines;
};

struct PageDocument {
  std::string paper = "A4";
  bool landscape = false;
  double width = 210, height = 297;  // as oriented
  std::vector<Page> pages;
  // The names that did not fit their cells even at the smallest size and
  // were cut, each once: what the printout reports.
  std::vector<std::string> cutNames;
};

// Fails with the reason when the document does not fit the template: the
// other kind, another number of lessons a day, or nothing to print.
Outcome DocumentFitsTemplate(const PrintData& data, const PrintTemplate& tpl);

// Timetable documents give one page per class or teacher; the overview gives
// as many pages as its rows need, each with the title and the header. Fails
// when the document does not fit the template (the other kind, or another
// number of lessons a day) or has nothing to print. Names are measured with
// `measure`: the print library passes the fonts it paints with.
Result<PageDocument> LayOutPages(const PrintData& data, const PrintTemplate& tpl,
                                 const TextMeasure& measure = EstimatedMeasure());

}  // namespace orv
