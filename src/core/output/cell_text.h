// SPDX-License-Identifier: GPL-3.0-or-later
// Names set into the cells of a printed page so that they stay readable. A
// name wider than its cell is first wrapped to two lines and only then set
// smaller, never below 7 pt; a name that fits two lines at no size takes more
// lines where the cell is tall enough; a name that fits in no way is cut with
// "…". The layout measures with the fonts the page is painted with (the
// print library's measure); the estimate serves where there are no fonts.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/output/print_template.h"

namespace orv {

inline constexpr double kMmPerPoint = 25.4 / 72;
// Nothing in a cell is set smaller than this, however long the name.
inline constexpr double kSmallestCellPoints = 7;
inline constexpr std::string_view kEllipsis = "…";

// The width in millimetres of `text` on one line in `style` at `points`.
using TextMeasure = std::function<double(std::string_view text, const TextStyle& style, double points)>;

// A measure without fonts: an ideograph or full-width form is one em wide,
// any other character a little more than half of one.
TextMeasure EstimatedMeasure();

// A text of a cell, as asked for and as set.
struct CellText {
  std::string text;
  TextStyle style;
};
struct SetText {
  std::vector<std::string> lines;  // at least one
  double points = 0;
  bool cut = false;  // the last line ends in "…" in place of the rest
};
struct CellSetting {
  std::vector<SetText> texts;  // in the order asked
  double spacing = 1.3;        // a line's height per point of its size
};

// The texts stacked in a box `width` by `height` millimetres. Each text keeps
// its size when it fits; wrapping comes before shrinking, and the text that
// takes the most room is the one set smaller first.
CellSetting SetCellTexts(const std::vector<CellText>& texts, double width, double height,
                         const TextMeasure& measure);

// `text` broken into lines no wider than `width` at `points`: between
// ideographs, at spaces, never inside a word of letters or digits nor before
// a closing or after an opening mark unless a line would otherwise be empty.
std::vector<std::string> WrapText(std::string_view text, const TextStyle& style, double points, double width,
                                  const TextMeasure& measure);

// What is said once for a printout whose names were cut.
std::string CutNamesNotice(const std::vector<std::string>& names);

}  // namespace orv
