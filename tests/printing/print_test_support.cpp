#include "print_test_support.h"

#include <gtest/gtest.h>

#include <QFont>
#include <QHash>
#include <QProcess>
#include <QRawFont>
#include <QRegularExpression>

#include "core/output/print_document.h"
#include "printing/print_fonts.h"
#include "printing/print_one_custom_xml.h"

namespace orv::test {

namespace {

QString Run(const QString& program, const QStringList& args) {
  QProcess p;
  p.start(program, args);
  if (!p.waitForFinished(30000) || p.exitCode() != 0) return {};
  return QString::fromUtf8(p.readAllStandardOutput());
}

// The PDF writer names each glyph by the lowest code point that maps to it,
// and the CJK fonts give radicals and ideographs one glyph; this maps the
// radicals back, from the fonts the templates use.
const QHash<char32_t, char32_t>& RadicalToIdeograph() {
  static const QHash<char32_t, char32_t> map = [] {
    InstallFontSubstitutions();
    QHash<char32_t, char32_t> m;
    for (const char* family : {"宋体", "黑体"}) {
      const QRawFont raw = QRawFont::fromFont(QFont(family));
      QHash<quint32, char32_t> ideographOf;
      for (char32_t c = 0x4E00; c <= 0x9FFF; ++c) {
        const QList<quint32> g = raw.glyphIndexesForString(QString::fromUcs4(&c, 1));
        if (!g.isEmpty() && g[0] != 0 && !ideographOf.contains(g[0])) ideographOf.insert(g[0], c);
      }
      for (char32_t r = 0x2E80; r <= 0x2FDF; ++r) {
        const QList<quint32> g = raw.glyphIndexesForString(QString::fromUcs4(&r, 1));
        if (!g.isEmpty() && g[0] != 0 && ideographOf.contains(g[0])) m.insert(r, ideographOf.value(g[0]));
      }
    }
    return m;
  }();
  return map;
}

}  // namespace

Printout PrintRows(const TempDir& dir, TimetableScope scope, const std::vector<TimetableRow>& rows,
                   int lessonsPerDay, const std::string& school) {
  const auto doc = dir / "tmp.xml";
  const Outcome written = WritePrintDocument(scope, doc, rows, school, lessonsPerDay);
  EXPECT_TRUE(written) << written.message();
  Printout out{-1, dir / "out.pdf"};
  out.code =
      PrintOneCustomXml(doc.string(), out.pdf.string(),
                        TemplatePath(PrintTemplateName(scope, lessonsPerDay)).string(), 0, 0, 0, "", 'T');
  EXPECT_EQ(out.code, 0) << LastPrintProblem();
  return out;
}

QString PdfText(const std::filesystem::path& pdf, int page) {
  QStringList args{"-layout"};
  if (page > 0) args << "-f" << QString::number(page) << "-l" << QString::number(page);
  args << QString::fromStdString(pdf.string()) << "-";
  const QString text = Run("pdftotext", args);
  QList<uint> ucs4 = text.toUcs4();
  for (uint& c : ucs4) c = RadicalToIdeograph().value(c, c);
  return QString::fromUcs4(reinterpret_cast<const char32_t*>(ucs4.constData()), ucs4.size());
}

QStringList PdfLines(const std::filesystem::path& pdf, int page) { return PdfText(pdf, page).split('\n'); }

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
