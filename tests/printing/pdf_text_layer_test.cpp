// SPDX-License-Identifier: GPL-3.0-or-later
// The PDF's text layer as a reader searching or copying gets it: every name
// exactly as printed in the class, teacher and overview templates, and the
// rewriting of a font's ToUnicode map behind it.
#include <gtest/gtest.h>

#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>

#include "core/output/print_document.h"
#include "print_test_support.h"
#include "printing/pdf_text_layer.h"
#include "printing/print_fonts.h"
#include "printing/print_pages.h"

namespace orv {
namespace {

// The first character from the radical blocks, or 0.
char32_t RadicalIn(const QString& text) {
  for (const char32_t c : text.toUcs4())
    if (c >= 0x2E80 && c <= 0x2FDF) return c;
  return 0;
}

// The CJK fonts draw 一 with the glyph of ⼀ (U+2F00), 黄 and 马 with those of
// ⻩ and ⻢, ／ with that of ∕, ～ with 〜 and 〈〉 with U+2329/U+232A.
TEST(PdfTextLayer, ReadsBackEveryNameAsPrinted) {
  struct Case {
    TimetableScope scope;
    std::vector<TimetableRow> rows;
    std::vector<const char*> names;
  } cases[] = {
      {TimetableScope::AllClasses,
       {{"一（1）班", "语文", "", 1, 1},
        {"一（1）班", "音乐／美术", "", 2, 3},
        {"二（3）班", "〈书法〉※", "", 5, 6}},
       {"一（1）班", "语文", "音乐／美术", "二（3）班", "〈书法〉※", "星期一", "第一节", "本周共 2 节课"}},
      {TimetableScope::Teacher,
       {{"黄晓燕", "语文", "一（1）", 1, 1}, {"马丽", "数学～提高", "二（3）", 4, 2}},
       {"黄晓燕", "马丽", "语文", "数学～提高", "一（1）", "二（3）"}},
      {TimetableScope::School,
       {{"一（1）", "语", "黄晓燕", 1, 1}, {"一（2）", "数", "马丽", 3, 2}, {"二（1）", "英", "黄马", 5, 6}},
       {"一（1）", "一（2）", "二（1）", "黄晓燕", "马丽", "黄马", "星期一"}},
  };
  for (const Case& c : cases) {
    test::TempDir dir;
    const auto out = test::PrintRows(dir, c.scope, c.rows, 6, "黄马一中");
    const QString text = test::PdfText(out.pdf);
    for (const char* name : c.names)
      EXPECT_TRUE(text.contains(QString::fromUtf8(name))) << name << "\n" << text.toStdString();
    EXPECT_TRUE(text.contains("黄马一中")) << text.toStdString();
    EXPECT_EQ(RadicalIn(text), 0u) << text.toStdString();
  }
}

TEST(PdfTextLayer, APdfPrintedFromThePreviewIsCorrectedToo) {
  test::TempDir dir;
  ASSERT_TRUE(WriteTimetableXml(dir / "tmp.xml", {{"一（1）班", "语文", "", 1, 1}}, "黄马一中", 6));
  const auto pdf = dir / "预览.pdf";
  ScopedPreviewRunner runner([&](QDialog& dialog) {
    QPrinter* printer = static_cast<QPrintPreviewDialog&>(dialog).printer();
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setOutputFileName(QString::fromStdString(pdf.string()));
    dialog.findChild<QPrintPreviewWidget*>()->print();
    return int(QDialog::Accepted);
  });
  const Outcome printed =
      PrintDocumentFile(dir / "tmp.xml", PrintTarget::Preview(), test::TemplatePath("ClassSchd6.xml"));
  ASSERT_EQ(printed.code(), kPrinted) << printed.message();
  const QString text = test::PdfText(pdf);
  EXPECT_TRUE(text.contains("黄马一中") && text.contains("一（1）班")) << text.toStdString();
  EXPECT_EQ(RadicalIn(text), 0u) << text.toStdString();
}

// As Qt writes them: a run of single mappings, a range counting up, and one
// with an array; then a section of single characters.
constexpr std::string_view kQtStyleMap =
    "/CIDInit /ProcSet findresource begin\n12 dict begin\nbegincmap\n"
    "1 begincodespacerange\n<0000> <FFFF>\nendcodespacerange\n"
    "3 beginbfrange\n<0000> <0000> <0000>\n<0001> <0003> [<2F00> <FF08> <2EE9> ]\n"
    "<0004> <000D> <0030>\nendbfrange\n"
    "1 beginbfchar\n<0020> <2215>\nendbfchar\n"
    "endcmap\nCMapName currentdict /CMap defineresource pop\nend\nend\n";

TEST(PdfTextLayer, RewritesOnlyTheMappingsThatStandForAnotherCharacter) {
  const auto fixed =
      CorrectToUnicodeCMap(kQtStyleMap, {{0x2F00, 0x4E00}, {0x2EE9, 0x9EC4}, {0x2215, 0xFF0F}});
  ASSERT_TRUE(fixed);
  for (const char* line : {"<0001> <4E00>\n", "<0002> <FF08>\n", "<0003> <9EC4>\n", "<0004> <0030>\n",
                           "<000D> <0039>\n", "<0020> <FF0F>\n", "begincmap\n1 begincodespacerange"})
    EXPECT_NE(fixed->find(line), std::string::npos) << line << "\n" << *fixed;
  EXPECT_EQ(fixed->find("2F00"), std::string::npos) << *fixed;
  EXPECT_NE(fixed->find("endbfchar\nendcmap\nCMapName"), std::string::npos) << *fixed;
  // Rewritten again it changes nothing, so a map shared by two fonts is safe.
  EXPECT_FALSE(CorrectToUnicodeCMap(*fixed, {{0x2F00, 0x4E00}}));

  EXPECT_FALSE(CorrectToUnicodeCMap(kQtStyleMap, {{0x5B57, 0x2F26}})) << "nothing to correct";
  std::string odd(kQtStyleMap);
  odd.replace(odd.find("endbfrange\n"), 11, "endbfrange\n1 begincidrange\n<00> <FF> 1\nendcidrange\n");
  EXPECT_FALSE(CorrectToUnicodeCMap(odd, {{0x2F00, 0x4E00}})) << "a map it does not fully read stays";
}

TEST(PdfTextLayer, AFileThatIsNoPdfIsRefusedAndLeftAsItIs) {
  test::TempDir dir;
  const auto file = dir / "课表.pdf";
  test::WriteFile(file, "%PDF-1.4 cut short");
  const Outcome fixed = CorrectPdfText(file.string(), {{0x2F00, 0x4E00}});
  EXPECT_FALSE(fixed);
  EXPECT_NE(fixed.message().find("课表.pdf"), std::string::npos) << fixed.message();
  EXPECT_EQ(test::ReadFile(file), "%PDF-1.4 cut short");
}

TEST(PdfTextLayer, CorrectsOnlyCharactersTheTextHolds) {
  InstallFontSubstitutions();
  const QList<QFont> fonts{QFont("宋体")};
  const TextCorrections c = PdfTextCorrections(fonts, "一年级 黄 ／");
  EXPECT_EQ(c.count(0x2F00) ? c.at(0x2F00) : 0, U'一');
  EXPECT_EQ(c.count(0x2EE9) ? c.at(0x2EE9) : 0, U'黄');
  EXPECT_EQ(c.count(0x2215) ? c.at(0x2215) : 0, U'／');
  EXPECT_FALSE(c.count(0x2EE2)) << "马 is not in the text";
  EXPECT_FALSE(PdfTextCorrections(fonts, "一⼀").count(0x2F00)) << "both are held: they cannot be told apart";
}

}  // namespace
}  // namespace orv
