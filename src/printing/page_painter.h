// SPDX-License-Identifier: GPL-3.0-or-later
// Paints a laid-out page document on a printer (or a PDF printer) with
// QPainter: millimetres to device dots, fonts shrunk where a text is wider
// than its box.
#pragma once

#include <QFont>
#include <QList>
#include <QString>

#include "core/output/page_layout.h"

class QPrinter;

namespace orv {

// Sets the printer's paper and orientation to the document's, with no
// margins: the page model already holds them.
void SetUpPrinter(QPrinter& printer, const PageDocument& doc);

// False when the printer could not be started.
bool PaintPages(QPrinter& printer, const PageDocument& doc);

// The fonts the pages are painted with (one of each family and weight) and
// every text on them, for setting the PDF's text layer right.
QList<QFont> PageFonts(const PageDocument& doc);
QString PrintedText(const PageDocument& doc);

}  // namespace orv
