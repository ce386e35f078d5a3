// The page model: texts in their rows and columns, the noon band that no
// column line crosses, the margins, the overview split over pages with its
// header repeated and double lines between days. (Texts in their cells are
// also read back from the PDFs; documents that do not fit their template are
// refused through the print library's entry.)
#include <gtest/gtest.h>

#include <algorithm>

#include "core/output/page_layout.h"
#include "core/output/print_document.h"
#include "support/temp_dir.h"

namespace orv {
namespace {

PrintTemplate Template(const char* file) {
  auto t = ParsePrintTemplate(test::ReadFile(std::filesystem::path(ORVANDEL_TEMPLATE_DIR) / file));
  EXPECT_TRUE(t) << t.message();
  return *t;
}

Result<PageDocument> Lay(const std::string& document, const char* file) {
  auto data = ParsePrintData(document);
  EXPECT_TRUE(data) << data.message();
  return LayOutPages(*data, Template(file));
}

const PageText& Find(const Page& page, const std::string& text) {
  auto it =
      std::find_if(page.texts.begin(), page.texts.end(), [&](const PageText& t) { return t.text == text; });
  if (it == page.texts.end()) throw std::runtime_error("no text " + text);
  return *it;
}

bool Inside(double v, double low, double high) { return v > low && v < high; }

TEST(TimetablePage, TextsInTheirRowsAndColumnsAroundTheNoonBand) {
  const auto doc = Lay(TimetableXmlText({{"王芳", "语文", "一（1）", 1, 1},
                                         {"王芳", "科学", "二（1）", 5, 6},
                                         {"李强", "体育", "一（1）", 3, 5}},
                                        "育才", 6),
                       "TeacherSchd6.xml");
  ASSERT_TRUE(doc) << doc.message();
  ASSERT_EQ(doc->pages.size(), 2u) << "one page per teacher";
  const Page& page = doc->pages[0];
  const PageText& title = Find(page, "育才     王芳　课程表");
  const PageText& monday = Find(page, "星期一");
  const PageText& friday = Find(page, "星期五");
  const PageText& first = Find(page, "第一节");
  const PageText& sixth = Find(page, "第六节");
  EXPECT_LT(title.y + title.height, monday.y + 0.01);
  EXPECT_EQ(friday.y, monday.y);
  const PageText& chinese = Find(page, "语文");
  const PageText& science = Find(page, "科学");
  EXPECT_TRUE(Inside(chinese.x + chinese.width / 2, monday.x, monday.x + monday.width));
  EXPECT_TRUE(Inside(chinese.y, first.y, first.y + first.height));
  EXPECT_LT(chinese.y, Find(page, "一（1）").y) << "the class under the course";
  EXPECT_TRUE(Inside(science.x + science.width / 2, friday.x, friday.x + friday.width));
  EXPECT_TRUE(Inside(science.y, sixth.y, sixth.y + sixth.height));

  const PageText& noon = Find(page, "午　　休");
  EXPECT_GT(noon.y, Find(page, "第四节").y);
  EXPECT_LT(noon.y + noon.height, Find(page, "第五节").y + 0.01);
  for (const PageLine& l : page.lines)
    if (l.x1 == l.x2 && l.x1 > 18.1 && l.x1 < 191.9)
      EXPECT_FALSE(l.y1 < noon.y + 0.5 && l.y2 > noon.y + noon.height - 0.5) << "x=" << l.x1;
  EXPECT_GT(Find(page, "本周共 2 节课").y, sixth.y + sixth.height - 0.01);
  for (const PageText& t : page.texts)
    EXPECT_TRUE(t.x >= 18 - 0.01 && t.x + t.width <= 192 + 0.01 && t.y + t.height <= 279 + 0.01) << t.text;
  EXPECT_NO_THROW(Find(doc->pages[1], "本周共 1 节课"));
}

TEST(SchoolPages, SplitOverPagesWithTitleHeaderAndDoubleDayLines) {
  std::vector<TimetableRow> rows;
  for (int c = 1; c <= 60; ++c) rows.push_back({"班" + std::to_string(c), "语", "师", 5, 6});
  const auto doc = Lay(SchoolTimetableXmlText(rows, "育才", 6), "TotalSchd6A3.xml");
  ASSERT_TRUE(doc) << doc.message();
  EXPECT_TRUE(doc->landscape);
  EXPECT_EQ(doc->width, 420);
  ASSERT_EQ(doc->pages.size(), 3u);
  int next = 1;
  for (size_t p = 0; p < doc->pages.size(); ++p) {
    const Page& page = doc->pages[p];
    EXPECT_NO_THROW(Find(page, "育才 20    -- 20   学年度第  学期总课程表")) << p;
    EXPECT_NO_THROW(Find(page, "第 " + std::to_string(p + 1) + " 页，共 3 页"));
    EXPECT_EQ(
        std::count_if(page.texts.begin(), page.texts.end(), [](const PageText& t) { return t.text == "6"; }),
        5);
    double lastY = Find(page, "班级").y;
    for (const PageText& t : page.texts)  // the classes follow each other down the page and on to the next
      if (t.text == "班" + std::to_string(next)) {
        EXPECT_GT(t.y, lastY);
        lastY = t.y;
        ++next;
      }
    const PageText& monday = Find(page, "星期一");
    for (int d = 1; d <= 4; ++d) {
      const double x = monday.x + d * monday.width;
      EXPECT_EQ(std::count_if(page.lines.begin(), page.lines.end(),
                              [&](const PageLine& l) { return l.x1 == l.x2 && std::abs(l.x1 - x) < 0.5; }),
                2)
          << "page " << p << " day " << d;
    }
  }
  EXPECT_EQ(next, 61) << "every class once, in order";
  const auto empty = Lay(SchoolTimetableXmlText({}, "育才", 6), "TotalSchd6A3.xml");
  ASSERT_TRUE(empty);
  ASSERT_EQ(empty->pages.size(), 1u) << "an empty overview still prints its header";
  EXPECT_NO_THROW(Find(empty->pages[0], "星期五"));
}

}  // namespace
}  // namespace orv
