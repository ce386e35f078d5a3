// SPDX-License-Identifier: GPL-3.0-or-later
// The page model, where the PDFs read back with pdftotext cannot show it:
// the noon band that no column line crosses, the margins, the overview's
// page count and the double lines between days. (Texts in their cells are
// read back from the PDFs; documents that do not fit their template are
// refused through the print library's entry.)
#include <gtest/gtest.h>

#include <algorithm>

#include "core/output/page_layout.h"
#include "core/output/print_document.h"
#include "support/temp_dir.h"

namespace orv {
namespace {

Result<PageDocument> Lay(const std::string& document, const char* file) {
  auto data = ParsePrintData(document);
  EXPECT_TRUE(data) << data.message();
  auto t = ParsePrintTemplate(test::ReadFile(std::filesystem::path(ORVANDEL_TEMPLATE_DIR) / file));
  EXPECT_TRUE(t) << t.message();
  return LayOutPages(*data, *t);
}

const PageText& Find(const Page& page, const std::string& text) {
  auto it =
      std::find_if(page.texts.begin(), page.texts.end(), [&](const PageText& t) { return t.text == text; });
  if (it == page.texts.end()) throw std::runtime_error("no text " + text);
  return *it;
}

TEST(TimetablePage, NoColumnLineCrossesTheNoonBandAndEveryTextStaysInsideTheMargins) {
  const auto doc =
      Lay(TimetableXmlText({{"王芳", "语文", "一（1）", 1, 1}, {"王芳", "科学", "二（1）", 5, 6}}, "育才", 6),
          "TeacherSchd6.xml");
  ASSERT_TRUE(doc) << doc.message();
  const Page& page = doc->pages.at(0);
  const PageText& noon = Find(page, "午　　休");
  EXPECT_GT(noon.y, Find(page, "第四节").y);
  EXPECT_LT(noon.y + noon.height, Find(page, "第五节").y + 0.01);
  for (const PageLine& l : page.lines)
    if (l.x1 == l.x2 && l.x1 > 18.1 && l.x1 < 191.9) {
      EXPECT_FALSE(l.y1 < noon.y + 0.5 && l.y2 > noon.y + noon.height - 0.5) << "x=" << l.x1;
    }
  for (const PageText& t : page.texts) {
    EXPECT_TRUE(t.x >= 18 - 0.01 && t.x + t.width <= 192 + 0.01 && t.y + t.height <= 279 + 0.01) << t.text;
  }
}

TEST(SchoolPages, SplitOverPagesWithDoubleLinesBetweenDays) {
  for (const char* file : {"TotalSchd6A3.xml", "TotalSchd7A3.xml"}) {
    std::vector<TimetableRow> rows;
    for (int c = 1; c <= 60; ++c) rows.push_back({"班" + std::to_string(c), "语", "师", 5, 6});
    const auto doc = Lay(SchoolTimetableXmlText(rows, "育才", file[9] - '0'), file);
    ASSERT_TRUE(doc) << doc.message();
    EXPECT_TRUE(doc->landscape);
    EXPECT_EQ(doc->width, 420);
    ASSERT_EQ(doc->pages.size(), 3u);
    for (size_t p = 0; p < doc->pages.size(); ++p) {
      const Page& page = doc->pages[p];
      const PageText& monday = Find(page, "星期一");
      for (int d = 1; d <= 4; ++d) {
        const double x = monday.x + d * monday.width;
        EXPECT_EQ(std::count_if(page.lines.begin(), page.lines.end(),
                                [&](const PageLine& l) { return l.x1 == l.x2 && std::abs(l.x1 - x) < 0.5; }),
                  2)
            << file << " page " << p << " day " << d;
      }
    }
  }
  const auto empty = Lay(SchoolTimetableXmlText({}, "育才", 6), "TotalSchd6A3.xml");
  ASSERT_TRUE(empty);
  ASSERT_EQ(empty->pages.size(), 1u) << "an empty overview still prints its header";
  EXPECT_NO_THROW(Find(empty->pages[0], "星期五"));
}

// No two texts of a page share any of their area: a wrapped name keeps to
// its cell and clear of the line below it.
void ExpectNoOverlap(const Page& page, const std::string& where) {
  for (size_t i = 0; i < page.texts.size(); ++i)
    for (size_t j = i + 1; j < page.texts.size(); ++j) {
      const PageText &a = page.texts[i], &b = page.texts[j];
      const bool apart = a.x + a.width <= b.x + 1e-6 || b.x + b.width <= a.x + 1e-6 ||
                         a.y + a.height <= b.y + 1e-6 || b.y + b.height <= a.y + 1e-6;
      EXPECT_TRUE(apart) << where << ": " << a.text << " / " << b.text;
    }
}

TEST(LongNames, WrapInsideTheirCellsInTheTimetablesAndAreCutOnceInTheOverview) {
  const std::string thirty = "中华优秀传统文化与劳动技术综合实践活动暨校本研究性学习拓展课";
  for (const char* file : {"ClassSchd6.xml", "ClassSchd7.xml", "TeacherSchd6.xml", "TeacherSchd7.xml"}) {
    const int n = file[std::string(file).size() - 5] - '0';
    const auto doc = Lay(TimetableXmlText({{"一（1）班", thirty, "欧阳明月", 1, 1}}, "育才", n), file);
    ASSERT_TRUE(doc) << doc.message();
    const Page& page = doc->pages.at(0);
    ExpectNoOverlap(page, file);
    std::string shown;
    for (const PageText& t : page.texts)
      if (thirty.find(t.text) != std::string::npos) {
        shown += t.text;
        EXPECT_GE(t.style.size, kSmallestCellPoints) << file;
      }
    EXPECT_EQ(shown, thirty) << file;
    EXPECT_TRUE(doc->cutNames.empty()) << file;
  }
  for (const char* file : {"TotalSchd6A3.xml", "TotalSchd7A3.xml"}) {
    std::vector<TimetableRow> rows;
    for (int c = 1; c <= 30; ++c)
      for (int day = 1; day <= 5; ++day)
        rows.push_back(
            {"七年级（" + std::to_string(c) + "）班实验班", "道德与法治综合实践活动", "欧阳明月", day, 1});
    const auto doc = Lay(SchoolTimetableXmlText(rows, "育才", file[9] - '0'), file);
    ASSERT_TRUE(doc) << doc.message();
    for (const Page& page : doc->pages) ExpectNoOverlap(page, file);
    EXPECT_EQ(doc->cutNames, std::vector<std::string>{"道德与法治综合实践活动"}) << "reported once";
    EXPECT_NO_THROW(Find(doc->pages[0], "班实验班")) << "a long class name wraps in its column";
  }
}

}  // namespace
}  // namespace orv
