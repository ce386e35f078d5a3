// SPDX-License-Identifier: GPL-3.0-or-later
// Printing on the paper the printer really has: the template's paper asked
// for, a smaller one taken with the drawing shrunk whole onto it, a refused
// job told as such, and every PDF named after the school and selection.
#include <gtest/gtest.h>

#include <QPageSize>
#include <QPrinter>

#include "core/output/print_data_rows.h"
#include "core/output/print_document.h"
#include "print_test_support.h"
#include "printing/page_painter.h"
#include "printing/print_pages.h"
#include "printing/print_timetable.h"

namespace fs = std::filesystem;

namespace orv {
namespace {

// The whole school's overview, laid out on its A3 template.
PageDocument Overview(int classes) {
  std::vector<TimetableRow> rows;
  for (int c = 1; c <= classes; ++c) {
    const std::string name = "初" + std::to_string(c) + "班";
    rows.push_back({name, "语", "王芳", 1, 1});
    rows.push_back({name, "英", "赵六", 5, 6});
  }
  const Result<PrintTemplate> tpl = ReadPrintTemplate(test::TemplatePath("TotalSchd6A3.xml"));
  EXPECT_TRUE(tpl) << tpl.message();
  Result<PageDocument> pages =
      LayOutPages(PrintDataOf(TimetableScope::School, rows, "育才实验学校", 6), *tpl);
  EXPECT_TRUE(pages) << pages.message();
  return *pages;
}

TEST(PrinterPaper, AnA3OverviewOnAnA4PrinterIsShrunkWholeOntoThePage) {
  const PageDocument doc = Overview(25);
  test::TempDir dir;
  const fs::path pdf = dir / "a4.pdf";
  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(QString::fromStdString(pdf.string()));
  SetUpPrinter(printer, doc);
  EXPECT_TRUE(PaperNotice(printer, doc).isEmpty()) << "A3 asked of a printer that has it";
  // As the print dialog leaves a printer whose paper is A4.
  printer.setPageSize(QPageSize(QPageSize::A4));
  EXPECT_EQ(PaperNotice(printer, doc), "打印机纸张为A4，总表将缩小打印");
  EXPECT_NEAR(FitScale(printer, doc), 297.0 / 420.0, 0.01);
  const Outcome painted = PaintPages(printer, doc);
  ASSERT_TRUE(painted) << painted.message();

  EXPECT_EQ(test::PdfPaper(pdf), "A4");
  const test::PdfPageWords page = test::PdfWords(pdf, 1);
  ASSERT_GT(page.words.size(), 30u);
  bool friday = false, footer = false, lastClass = false;
  double left = page.width, right = 0;
  for (const test::PdfWord& w : page.words) {
    EXPECT_GE(w.left, 0) << w.text.toStdString();
    EXPECT_LE(w.right, page.width + 0.5) << w.text.toStdString() << " runs off the paper";
    EXPECT_LE(w.bottom, page.height + 0.5) << w.text.toStdString() << " runs off the paper";
    friday |= w.text.contains("星期五");
    footer |= w.text.contains("，共");
    lastClass |= w.text.contains("初25班");
    left = std::min(left, w.left), right = std::max(right, w.right);
  }
  EXPECT_TRUE(friday && footer && lastClass) << test::PdfText(pdf, 1).toStdString();
  // Centred: the margins either side differ by little.
  EXPECT_NEAR(left, page.width - right, 0.1 * page.width);
}

TEST(PrinterPaper, APrinterThatRefusesTheJobIsAFailureWithItsReason) {
  const PageDocument doc = Overview(2);
  test::TempDir dir;
  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  // A file that cannot be created: the painter never starts.
  printer.setOutputFileName(QString::fromStdString((dir / "没有的文件夹" / "x.pdf").string()));
  SetUpPrinter(printer, doc);
  const Outcome painted = PaintPages(printer, doc);
  EXPECT_FALSE(painted);
  EXPECT_NE(painted.message().find("打印机无法开始打印"), std::string::npos) << painted.message();
  EXPECT_FALSE(fs::exists(dir / "没有的文件夹"));
}

TEST(PdfMetadata, EveryPdfCarriesTitleAuthorCreatorAndDate) {
  test::TempDir programDir, out;
  fs::copy_file(test::TemplatePath("TeacherSchd6.xml"), programDir / "TeacherSchd6.xml");
  const fs::path pdf = out / "王芳.pdf";
  const std::vector<TimetableRow> rows{{"王芳", "语文", "一（1）", 1, 1, "T1"}};
  const Outcome printed = PrintTimetable(TimetableScope::Teacher, rows, "育才实验学校", 6, programDir.Path(),
                                         PrintTarget::Pdf(pdf));
  ASSERT_TRUE(printed) << printed.message();
  EXPECT_EQ(test::PdfInfo(pdf, "Title"), "育才实验学校 王芳 课程表");
  EXPECT_EQ(test::PdfInfo(pdf, "Author"), "育才实验学校");
  EXPECT_EQ(test::PdfInfo(pdf, "Creator"), "Orvandel排课软件");
  EXPECT_FALSE(test::PdfInfo(pdf, "CreationDate").isEmpty());
  EXPECT_TRUE(test::PdfText(pdf).contains("语文")) << "the author added, the pages kept";

  // A document printed without a job title is named by its own title line.
  const fs::path doc = out / "课表.xml";
  ASSERT_TRUE(
      WritePrintDocument(TimetableScope::AllClasses, doc, {{"一（2）班", "数学", "", 2, 3}}, "育才", 6));
  const fs::path second = out / "二.pdf";
  ASSERT_TRUE(PrintDocumentFile(doc, PrintTarget::Pdf(second), test::TemplatePath("ClassSchd6.xml")));
  EXPECT_TRUE(test::PdfInfo(second, "Title").contains("一（2）班"))
      << test::PdfInfo(second, "Title").toStdString();
  EXPECT_EQ(test::PdfInfo(second, "Creator"), "Orvandel排课软件");
}

}  // namespace
}  // namespace orv
