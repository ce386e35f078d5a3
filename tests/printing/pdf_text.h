// What a PDF says, as poppler's pdftotext reads it with its layout kept.
#pragma once

#include <QString>
#include <QStringList>
#include <filesystem>

namespace orv::test {

// The text of one page (from 1), or of the whole file for page 0. Characters
// that the CJK fonts draw with the glyph of a radical (一 and ⼀ share one)
// are read back as the ideograph, as a reader of the page sees them.
QString PdfText(const std::filesystem::path& pdf, int page = 0);
QStringList PdfLines(const std::filesystem::path& pdf, int page = 0);

// Pages and paper as pdfinfo reports them: "A4", "A3" and the like.
int PdfPageCount(const std::filesystem::path& pdf);
QString PdfPaper(const std::filesystem::path& pdf);

// The first line holding every word, in this order; -1 when there is none.
int LineWith(const QStringList& lines, const QStringList& words, int from = 0);

}  // namespace orv::test
