// SPDX-License-Identifier: GPL-3.0-or-later
// The print step of the print window and the command-line tool: rows in,
// pages out, with nothing written but the PDF asked for.
#include <gtest/gtest.h>

#include "print_test_support.h"
#include "printing/print_timetable.h"

namespace fs = std::filesystem;

namespace orv {
namespace {

class PrintStep : public ::testing::Test {
 protected:
  void InstallTemplate(const std::string& name) {
    fs::copy_file(test::TemplatePath(name), programDir / name, fs::copy_options::overwrite_existing);
  }
  size_t FilesIn(const fs::path& folder) {
    size_t files = 0;
    for ([[maybe_unused]] const auto& e : fs::directory_iterator(folder)) ++files;
    return files;
  }
  test::TempDir programDir, out;
  const std::vector<TimetableRow> teachers{{"王芳", "语文", "一（1）", 1, 1, "T1"},
                                           {"王芳", "音乐&美术", "一（2）", 5, 7, "T1"},
                                           {"李强", "数学<提高>", "二（3）", 3, 4, "T2"}};
};

TEST_F(PrintStep, PrintsThePagesTheDocumentFileGivesAndWritesOnlyThePdf) {
  InstallTemplate("TeacherSchd7.xml");
  const fs::path pdf = out / "教师.pdf";
  const Outcome printed = PrintTimetable(TimetableScope::AllTeachers, teachers, "育才", 7, programDir.Path(),
                                         PrintTarget::Pdf(pdf));
  ASSERT_TRUE(printed) << printed.message();
  EXPECT_EQ(FilesIn(out.Path()), 1u) << "the PDF and nothing beside it";
  EXPECT_EQ(FilesIn(programDir.Path()), 1u) << "the template and no document";

  test::TempDir viaFile;
  const test::Printout expected = test::PrintRows(viaFile, TimetableScope::AllTeachers, teachers, 7, "育才");
  ASSERT_EQ(expected.code, kPrinted);
  EXPECT_EQ(test::PdfPageCount(pdf), 2);
  for (int page = 1; page <= 2; ++page)
    EXPECT_EQ(test::PdfText(pdf, page), test::PdfText(expected.pdf, page));
  EXPECT_TRUE(test::PdfText(pdf).contains("音乐&美术")) << test::PdfText(pdf).toStdString();
}

TEST_F(PrintStep, SaysWhatStoppedItWithTheCodeAndTheReason) {
  // No rows for one class: nothing to print, and nothing printed.
  const fs::path pdf = out / "课表.pdf";
  Outcome printed =
      PrintTimetable(TimetableScope::Class, {}, "育才", 6, programDir.Path(), PrintTarget::Pdf(pdf));
  EXPECT_EQ(printed.code(), kNoTimetableData);
  EXPECT_EQ(printed.message(), NoTimetableMessage(TimetableScope::Class));

  // No template anywhere: the program directory is where a school puts one.
  printed = PrintTimetable(TimetableScope::School, {}, "育才", 6, programDir.Path(), PrintTarget::Pdf(pdf));
  EXPECT_EQ(printed.code(), kTemplateMissing);
  EXPECT_NE(printed.message().find((programDir / "TotalSchd6A3.xml").string()), std::string::npos)
      << printed.message();

  InstallTemplate("TotalSchd6A3.xml");
  printed = PrintTimetable(TimetableScope::School, {}, "育才", 6, programDir.Path(),
                           PrintTarget::Printer("没有这台打印机"));
  EXPECT_EQ(printed.code(), kPrinterError);
  EXPECT_NE(printed.message().find("没有这台打印机"), std::string::npos) << printed.message();
  EXPECT_EQ(FilesIn(out.Path()), 0u);

  // The overview prints its header even without a lesson.
  printed = PrintTimetable(TimetableScope::School, {}, "育才", 6, programDir.Path(), PrintTarget::Pdf(pdf));
  ASSERT_TRUE(printed) << printed.message();
  EXPECT_EQ(test::PdfPaper(pdf), "A3");
  EXPECT_TRUE(test::PdfText(pdf).contains("星期三"));
}

}  // namespace
}  // namespace orv
