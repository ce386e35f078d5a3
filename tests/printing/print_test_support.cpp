// SPDX-License-Identifier: GPL-3.0-or-later
#include "print_test_support.h"

#include <gtest/gtest.h>

#include <QProcess>
#include <QRegularExpression>

#include "core/output/print_document.h"
#include "printing/print_pages.h"

namespace orv::test {

namespace {

QString Run(const QString& program, const QStringList& args) {
  QProcess p;
  p.start(program, args);
  if (!p.waitForFinished(30000) || p.exitCode() != 0) return {};
  return QString::fromUtf8(p.readAllStandardOutput());
}

}  // namespace

Printout PrintRows(const TempDir& dir, TimetableScope scope, const std::vector<TimetableRow>& rows,
                   int lessonsPerDay, const std::string& school) {
  const auto doc = dir / "tmp.xml";
  const Outcome written = WritePrintDocument(scope, doc, rows, school, lessonsPerDay);
  EXPECT_TRUE(written) << written.message();
  Printout out{-1, dir / "out.pdf"};
  const Outcome printed = PrintDocumentFile(doc, PrintTarget::Pdf(out.pdf),
                                            TemplatePath(PrintTemplateName(scope, lessonsPerDay)));
  out.code = printed.code();
  EXPECT_EQ(out.code, 0) << printed.message();
  return out;
}

QString PdfText(const std::filesystem::path& pdf, int page) {
  QStringList args{"-layout"};
  if (page > 0) args << "-f" << QString::number(page) << "-l" << QString::number(page);
  args << QString::fromStdString(pdf.string()) << "-";
  return Run("pdftotext", args);
}

QStringList PdfLines(const std::filesystem::path& pdf, int page) { return PdfText(pdf, page).split('\n'); }

QString PdfDrawnText(const std::filesystem::path& pdf) {
  return Run("pdftotext", {"-raw", QString::fromStdString(pdf.string()), "-"});
}

int PdfPageCount(const std::filesystem::path& pdf) {
  const auto m =
      QRegularExpression("Pages:\\s+(\\d+)").match(Run("pdfinfo", {QString::fromStdString(pdf.string())}));
  return m.hasMatch() ? m.captured(1).toInt() : -1;
}

QString PdfPaper(const std::filesystem::path& pdf) {
  const auto m = QRegularExpression("Page size:.*\\((\\w+)\\)")
                     .match(Run("pdfinfo", {QString::fromStdString(pdf.string())}));
  return m.hasMatch() ? m.captured(1) : QString();
}

QString PdfInfo(const std::filesystem::path& pdf, const QString& field) {
  const auto m = QRegularExpression("^" + field + ":\\s+(.*)$", QRegularExpression::MultilineOption)
                     .match(Run("pdfinfo", {QString::fromStdString(pdf.string())}));
  return m.hasMatch() ? m.captured(1).trimmed() : QString();
}

PdfPageWords PdfWords(const std::filesystem::path& pdf, int page) {
  const QString html = Run("pdftotext", {"-bbox", "-f", QString::number(page), "-l", QString::number(page),
                                         QString::fromStdString(pdf.string()), "-"});
  PdfPageWords out;
  const auto size = QRegularExpression(R"re(<page width="([\d.]+)" height="([\d.]+)")re").match(html);
  if (size.hasMatch()) out.width = size.captured(1).toDouble(), out.height = size.captured(2).toDouble();
  QRegularExpression word(
      R"re(<word xMin="([-\d.]+)" yMin="([-\d.]+)" xMax="([-\d.]+)" yMax="([-\d.]+)">([^<]*)</word>)re");
  for (auto it = word.globalMatch(html); it.hasNext();) {
    const auto m = it.next();
    out.words.push_back({m.captured(5), m.captured(1).toDouble(), m.captured(2).toDouble(),
                         m.captured(3).toDouble(), m.captured(4).toDouble()});
  }
  return out;
}

int LineWith(const QStringList& lines, const QStringList& words, int from) {
  for (int i = std::max(0, from); i < lines.size(); ++i) {
    qsizetype at = 0;
    bool all = true;
    for (const QString& w : words) {
      at = lines[i].indexOf(w, at);
      if (at < 0) {
        all = false;
        break;
      }
      at += w.size();
    }
    if (all) return i;
  }
  return -1;
}

}  // namespace orv::test
