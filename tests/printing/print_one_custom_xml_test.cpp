// SPDX-License-Identifier: GPL-3.0-or-later
// The print library's entry: its result codes, the preview run through the
// injected runner, and PDF files that appear only complete.
#include <gtest/gtest.h>

#include <QApplication>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>

#include "core/output/print_document.h"
#include "print_test_support.h"
#include "printing/print_one_custom_xml.h"

namespace fs = std::filesystem;

namespace orv {
namespace {

using test::TemplatePath;

class PrintEntry : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(WriteTimetableXml(doc, {{"一（1）班", "语文", "", 1, 1}, {"一（2）班", "数学", "", 2, 2}},
                                  "育才", 6));
  }
  // The typed file entry, with its reason; the numbered one must agree.
  Outcome Print(const fs::path& data, const std::string& output, const fs::path& tpl) {
    const Outcome printed = PrintDocumentFile(data, PrintTargetOf(output), tpl);
    if (printed.code() != kPrintCancelled) {  // the numbered call would ask the preview again
      EXPECT_EQ(PrintOneCustomXml(data.string(), output, tpl.string(), 0, 0, 0, "", 'T'), printed.code());
    }
    return printed;
  }
  test::TempDir dir;
  fs::path doc = dir / "tmp.xml";
  fs::path pdf = dir / "课表.pdf";
  fs::path classTemplate = TemplatePath("ClassSchd6.xml");
};

TEST_F(PrintEntry, EachFailureHasItsCodeAndReason) {
  test::WriteFile(dir / "page.html", "<html><body>no template</body></html>");
  test::WriteFile(dir / "bad.xml", "<template lessons=\"9\">");
  test::WriteFile(dir / "notes.txt", "just some notes");
  ASSERT_TRUE(WriteTimetableXml(dir / "seven.xml", {{"一（1）班", "语文", "", 1, 1}}, "", 7));
  struct Case {
    fs::path data;
    std::string output;
    fs::path tpl;
    int code;
    std::string reason;
  } cases[] = {
      {doc, pdf.string(), dir / "ClassSchd6.xml", kTemplateMissing, "ClassSchd6.xml"},
      {doc, pdf.string(), dir / "page.html", kTemplateInvalid, "template"},
      {doc, pdf.string(), dir / "bad.xml", kTemplateInvalid, "lessons"},
      {dir / "missing.xml", pdf.string(), classTemplate, kDocumentUnreadable, "missing.xml"},
      {dir / "notes.txt", pdf.string(), classTemplate, kDocumentUnreadable, "不是课表打印数据文件"},
      {doc, pdf.string(), TemplatePath("TotalSchd6A3.xml"), kDocumentDoesNotFit, "全校总表"},
      {dir / "seven.xml", pdf.string(), classTemplate, kDocumentDoesNotFit, "每天 7 节课"},
      {doc, (dir / "no such folder" / "x.pdf").string(), classTemplate, kPrinterError, "x.pdf"},
      {doc, "没有这台打印机", classTemplate, kPrinterError, "没有这台打印机"},
  };
  for (const Case& c : cases) {
    const Outcome printed = Print(c.data, c.output, c.tpl);
    EXPECT_EQ(printed.code(), c.code) << c.tpl << " " << c.data;
    EXPECT_NE(printed.message().find(c.reason), std::string::npos) << printed.message();
    EXPECT_FALSE(fs::exists(pdf));
  }
  EXPECT_EQ(PrintCodeText(kTemplateMissing), "找不到打印模板文件");
}

TEST_F(PrintEntry, APdfReplacesTheFileOnlyWhenComplete) {
  test::WriteFile(pdf, "an older printout");
  const Outcome printed = Print(doc, pdf.string(), classTemplate);
  ASSERT_TRUE(printed) << printed.message();
  EXPECT_EQ(printed.message(), "");
  EXPECT_EQ(test::PdfPageCount(pdf), 2);
  EXPECT_EQ(test::ReadFile(pdf).substr(0, 5), "%PDF-");

  fs::create_directory(dir / "taken.pdf");
  EXPECT_EQ(Print(doc, (dir / "taken.pdf").string(), classTemplate).code(), kPrinterError);
  EXPECT_TRUE(fs::is_directory(dir / "taken.pdf"));
  size_t files = 0;
  for ([[maybe_unused]] const auto& e : fs::directory_iterator(dir.Path())) ++files;
  EXPECT_EQ(files, 3u) << "tmp.xml, the PDF and the folder; nothing left beside them";
}

TEST_F(PrintEntry, PreviewRunsThroughTheRunnerAndReportsCancel) {
  int shownPages = -1;
  QString shownName;
  bool accept = true;
  ScopedPreviewRunner runner([&](QDialog& dialog) {
    shownName = dialog.objectName();
    dialog.show();
    auto* widget = dialog.findChild<QPrintPreviewWidget*>();
    if (widget) widget->updatePreview();
    QApplication::processEvents();
    shownPages = widget ? widget->pageCount() : -1;
    if (accept)
      dialog.accept();
    else
      dialog.reject();
    return dialog.result();
  });
  EXPECT_EQ(Print(doc, "", classTemplate).code(), kPrinted);
  EXPECT_EQ(shownName, "dlgPrintPreview");
  EXPECT_EQ(shownPages, 2);
  accept = false;
  EXPECT_EQ(Print(doc, "", classTemplate).code(), kPrintCancelled);
  EXPECT_EQ(PrintCodeText(kPrintCancelled), "打印已取消");
}

}  // namespace
}  // namespace orv
