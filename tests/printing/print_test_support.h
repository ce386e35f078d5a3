// SPDX-License-Identifier: GPL-3.0-or-later
// Printing a document through the print library into a PDF in a temporary
// folder, as the print window and the command-line tool do, and what the PDF
// says as poppler's pdftotext reads it with its layout kept.
#pragma once

#include <QString>
#include <QStringList>
#include <filesystem>
#include <string>
#include <vector>

#include "core/output/timetable_rows.h"
#include "support/temp_dir.h"

namespace orv::test {

inline std::filesystem::path TemplatePath(const std::string& name) {
  return std::filesystem::path(ORVANDEL_TEMPLATE_DIR) / name;
}

struct Printout {
  int code = -1;
  std::filesystem::path pdf;
};

// Writes the scope's document and prints it with the scope's template.
Printout PrintRows(const TempDir& dir, TimetableScope scope, const std::vector<TimetableRow>& rows,
                   int lessonsPerDay, const std::string& school = "育才实验学校");

// The text of one page (from 1), or of the whole file for page 0, as a
// reader searching or copying from the PDF gets it.
QString PdfText(const std::filesystem::path& pdf, int page = 0);
QStringList PdfLines(const std::filesystem::path& pdf, int page = 0);
// The text in the order it was drawn, as a screen reader or a copy of a
// whole page gets it: a name wrapped over lines comes out in one piece.
QString PdfDrawnText(const std::filesystem::path& pdf);

// Pages and paper as pdfinfo reports them: "A4", "A3" and the like.
int PdfPageCount(const std::filesystem::path& pdf);
QString PdfPaper(const std::filesystem::path& pdf);

// One field of pdfinfo's report ("Title", "Creator"...), empty when absent.
QString PdfInfo(const std::filesystem::path& pdf, const QString& field);

// Every word poppler finds, with its box in points, and the page's size.
struct PdfWord {
  QString text;
  double left, top, right, bottom;
};
struct PdfPageWords {
  double width = 0, height = 0;
  std::vector<PdfWord> words;
};
PdfPageWords PdfWords(const std::filesystem::path& pdf, int page);

// The first line holding every word, in this order; -1 when there is none.
int LineWith(const QStringList& lines, const QStringList& words, int from = 0);

}  // namespace orv::test
