// SPDX-License-Identifier: GPL-3.0-or-later
// What every fuzz target demands of a laid-out printout: the reader either
// refused the input with a reason or the pages it gave are drawable, every
// coordinate a finite number near the paper. A breach stops the run (and
// libFuzzer keeps the input).
#pragma once

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "core/output/page_layout.h"

namespace orv::fuzz {

inline void Require(bool ok, const char* what) {
  if (ok) return;
  std::fprintf(stderr, "fuzz check failed: %s\n", what);
  std::abort();
}

// Within a kilometre of the paper: anything beyond is a broken number, not a layout.
inline bool Sane(double v) { return std::isfinite(v) && std::fabs(v) < 1e6; }

inline void RequireDrawable(const PageDocument& doc) {
  Require(Sane(doc.width) && Sane(doc.height) && doc.width > 0 && doc.height > 0, "paper size");
  for (const Page& page : doc.pages) {
    for (const PageText& t : page.texts)
      Require(
          Sane(t.x) && Sane(t.y) && Sane(t.width) && Sane(t.height) && Sane(t.style.size) && t.style.size > 0,
          "text box");
    for (const PageLine& l : page.lines)
      Require(Sane(l.x1) && Sane(l.y1) && Sane(l.x2) && Sane(l.y2) && Sane(l.width) && l.width >= 0, "line");
  }
}

inline void RequireTemplateSane(const PrintTemplate& t) {
  Require(t.lessonsPerDay == 6 || t.lessonsPerDay == 7, "lessons per day");
  Require(t.noonAfter >= 0 && t.noonAfter <= 7, "noon");
  for (double v : {t.paperWidth,  t.paperHeight,  t.marginTop,        t.marginBottom,     t.marginLeft,
                   t.marginRight, t.title.height, t.total.height,     t.footer.height,    t.header.height,
                   t.noon.height, t.lessonSize,   t.nameWidth,        t.rowHeight,        t.outerLine,
                   t.innerLine,   t.doubleGap,    t.title.style.size, t.lessonStyle.size, t.nameStyle.size})
    Require(Sane(v) && v >= 0, "template number");
  for (const CellLine& line : t.cellLines) Require(Sane(line.style.size) && line.style.size > 0, "cell font");
}

}  // namespace orv::fuzz
