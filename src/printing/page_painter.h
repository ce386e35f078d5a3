// SPDX-License-Identifier: GPL-3.0-or-later
// Paints a laid-out page document on a printer (or a PDF printer) with
// QPainter: millimetres to device dots, fonts shrunk where a band's text is
// wider than its box.
#pragma once

#include <QFont>
#include <QList>
#include <QString>

#include "core/outcome.h"
#include "core/output/page_layout.h"

class QPrinter;

namespace orv {

// Sets the printer's paper and orientation to the document's, with no
// margins: the page model already holds them.
void SetUpPrinter(QPrinter& printer, const PageDocument& doc);

// The pages on whatever paper the printer has now: a dialog or a printer
// without the template's paper may have changed it, so the drawing is
// shrunk to fit and centred rather than cut. Fails with the reason when the
// printer would not start, take a page or finish the job.
Outcome PaintPages(QPrinter& printer, const PageDocument& doc);

// How much the drawing is shrunk on the printer's paper: 1 when it fits.
double FitScale(const QPrinter& printer, const PageDocument& doc);

// What the user is told before a shrunk print, e.g.
// "打印机纸张为A4，总表将缩小打印"; empty when the drawing fits.
QString PaperNotice(const QPrinter& printer, const PageDocument& doc);

// Widths as the painted fonts give them, for laying names out in their
// cells; the font substitutions must be installed first.
TextMeasure FontMeasure();

// The fonts the pages are painted with (one of each family and weight) and
// every text on them, for setting the PDF's text layer right.
QList<QFont> PageFonts(const PageDocument& doc);
QString PrintedText(const PageDocument& doc);

}  // namespace orv
