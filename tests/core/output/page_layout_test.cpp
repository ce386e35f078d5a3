// The page model: every text in its cell, row and column, the noon band, the
// total, the overview split over pages with its header repeated, the double
// lines between days, and documents that do not fit their template.
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

PageDocument Lay(const std::string& document, const char* file) {
  auto data = ParsePrintData(document);
  EXPECT_TRUE(data) << data.message();
  auto pages = LayOutPages(*data, Template(file));
  EXPECT_TRUE(pages) << pages.message();
  return pages ? *pages : PageDocument{};
}

const PageText& Find(const Page& page, const std::string& text) {
  auto it =
      std::find_if(page.texts.begin(), page.texts.end(), [&](const PageText& t) { return t.text == text; });
  if (it == page.texts.end()) throw std::runtime_error("no text " + text);
  return *it;
}

double MidX(const PageText& t) { return t.x + t.width / 2; }
double MidY(const PageText& t) { return t.y + t.height / 2; }
bool Inside(double v, double low, double high) { return v > low && v < high; }

TEST(TimetablePage, EveryTextInItsRowAndColumn) {
  const std::vector<TimetableRow> rows = {{"王芳", "语文", "一（1）", 1, 1},
                                          {"王芳", "数学", "一（2）", 2, 3},
                                          {"王芳", "科学", "二（1）", 5, 6},
                                          {"李强", "体育", "一（1）", 3, 5}};
  const PageDocument doc = Lay(TimetableXmlText(rows, "育才", 6), "TeacherSchd6.xml");
  EXPECT_EQ(doc.paper, "A4");
  ASSERT_EQ(doc.pages.size(), 2u) << "one page per teacher";
  const Page& page = doc.pages[0];

  const PageText& title = Find(page, "育才     王芳　课程表");
  std::vector<const PageText*> days, labels;
  for (const char* d : {"星期一", "星期二", "星期三", "星期四", "星期五"}) days.push_back(&Find(page, d));
  for (const char* l : {"第一节", "第二节", "第三节", "第四节", "第五节", "第六节"})
    labels.push_back(&Find(page, l));
  for (size_t i = 1; i < days.size(); ++i) {
    EXPECT_GT(days[i]->x, days[i - 1]->x);
    EXPECT_EQ(days[i]->y, days[0]->y);
  }
  for (size_t i = 1; i < labels.size(); ++i) EXPECT_GT(labels[i]->y, labels[i - 1]->y);
  EXPECT_LT(title.y + title.height, days[0]->y + 0.01);
  EXPECT_LT(days[0]->y, labels[0]->y);

  // A cell's lines sit in its day's column and its lesson's row, course above class.
  auto expectCell = [&](const std::string& text, int lesson, int day) {
    const PageText& t = Find(page, text);
    EXPECT_TRUE(Inside(MidX(t), days[day - 1]->x, days[day - 1]->x + days[day - 1]->width)) << text;
    EXPECT_TRUE(Inside(MidY(t), labels[lesson - 1]->y, labels[lesson - 1]->y + labels[lesson - 1]->height))
        << text;
    return t.y;
  };
  EXPECT_LT(expectCell("语文", 1, 1), expectCell("一（1）", 1, 1));
  EXPECT_LT(expectCell("数学", 3, 2), expectCell("一（2）", 3, 2));
  expectCell("科学", 6, 5);
  expectCell("二（1）", 6, 5);
  EXPECT_EQ(
      std::count_if(page.texts.begin(), page.texts.end(), [](const PageText& t) { return t.text == "体育"; }),
      0)
      << "the other teacher's lesson is on the other page";

  const PageText& noon = Find(page, "午　　休");
  EXPECT_GT(noon.y, labels[3]->y);
  EXPECT_LT(noon.y + noon.height, labels[4]->y + 0.01);
  const PageText& total = Find(page, "本周共 3 节课");
  EXPECT_GT(total.y, labels[5]->y + labels[5]->height - 0.01);
  for (const PageText& t : page.texts) {
    EXPECT_GE(t.x, 18 - 0.01) << t.text;
    EXPECT_LE(t.x + t.width, 210 - 18 + 0.01) << t.text;
    EXPECT_LE(t.y + t.height, 297 - 18 + 0.01) << t.text;
  }
  // No column line crosses the noon band.
  for (const PageLine& l : page.lines)
    if (l.x1 == l.x2 && l.x1 > 18.1 && l.x1 < 191.9) {
      EXPECT_FALSE(l.y1 < noon.y + 0.5 && l.y2 > noon.y + noon.height - 0.5) << "x=" << l.x1;
    }
  EXPECT_NO_THROW(Find(doc.pages[1], "本周共 1 节课"));
}

TEST(TimetablePage, SevenLessonsFitTheSameSheet) {
  std::vector<TimetableRow> rows;
  for (int l = 1; l <= 7; ++l)
    for (int d = 1; d <= 5; ++d)
      rows.push_back({"七（1）班", "课" + std::to_string(l) + std::to_string(d), "", d, l});
  const PageDocument doc = Lay(TimetableXmlText(rows, "育才", 7), "ClassSchd7.xml");
  ASSERT_EQ(doc.pages.size(), 1u);
  EXPECT_NO_THROW(Find(doc.pages[0], "第七节"));
  EXPECT_NO_THROW(Find(doc.pages[0], "课75"));
  EXPECT_NO_THROW(Find(doc.pages[0], "本周共 35 节课"));
  for (const PageText& t : doc.pages[0].texts) EXPECT_LE(t.y + t.height, 297 - 18 + 0.01) << t.text;
}

std::vector<TimetableRow> School(int classes, int lessons) {
  std::vector<TimetableRow> rows;
  for (int c = 1; c <= classes; ++c)
    for (int d = 1; d <= 5; ++d)
      rows.push_back({"班" + std::to_string(c), "语", "师" + std::to_string(c), d, lessons});
  return rows;
}

TEST(SchoolPages, SplitOverPagesWithTitleAndHeaderRepeated) {
  const PageDocument doc = Lay(SchoolTimetableXmlText(School(60, 6), "育才", 6), "TotalSchd6A3.xml");
  EXPECT_EQ(doc.paper, "A3");
  EXPECT_TRUE(doc.landscape);
  EXPECT_EQ(doc.width, 420);
  ASSERT_EQ(doc.pages.size(), 3u);
  int next = 1;
  for (size_t p = 0; p < doc.pages.size(); ++p) {
    const Page& page = doc.pages[p];
    EXPECT_NO_THROW(Find(page, "育才 20    -- 20   学年度第  学期总课程表")) << p;
    EXPECT_NO_THROW(Find(page, "第 " + std::to_string(p + 1) + " 页，共 3 页"));
    EXPECT_EQ(std::count_if(page.texts.begin(), page.texts.end(),
                            [](const PageText& t) { return t.text.rfind("星期", 0) == 0; }),
              5);
    EXPECT_EQ(
        std::count_if(page.texts.begin(), page.texts.end(), [](const PageText& t) { return t.text == "6"; }),
        5)
        << "each day's lesson numbers";
    const PageText& corner = Find(page, "班级");
    double lastY = corner.y;
    // The classes follow each other down the page and on to the next.
    for (; next <= 60; ++next) {
      auto it = std::find_if(page.texts.begin(), page.texts.end(),
                             [&](const PageText& t) { return t.text == "班" + std::to_string(next); });
      if (it == page.texts.end()) break;
      EXPECT_GT(it->y, lastY);
      lastY = it->y;
      EXPECT_TRUE(Inside(MidX(*it), corner.x, corner.x + corner.width));
    }
    EXPECT_LE(lastY, 297 - 10);
    // Double lines between the days: two close vertical lines at each of the four boundaries.
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
  // The teacher line sits under the course in the class's Friday cell.
  const PageText& teacher = Find(doc.pages[2], "师60");
  EXPECT_GT(teacher.x, Find(doc.pages[2], "星期五").x - 0.01);
}

TEST(SchoolPages, SevenLessonsAndTheEmptyOverview) {
  const PageDocument doc = Lay(SchoolTimetableXmlText(School(3, 7), "育才", 7), "TotalSchd7A3.xml");
  ASSERT_EQ(doc.pages.size(), 1u);
  EXPECT_EQ(std::count_if(doc.pages[0].texts.begin(), doc.pages[0].texts.end(),
                          [](const PageText& t) { return t.text == "7"; }),
            5);
  const PageDocument empty = Lay(SchoolTimetableXmlText({}, "育才", 6), "TotalSchd6A3.xml");
  ASSERT_EQ(empty.pages.size(), 1u) << "an empty overview still prints its header";
  EXPECT_NO_THROW(Find(empty.pages[0], "星期五"));
  EXPECT_NO_THROW(Find(empty.pages[0], "第 1 页，共 1 页"));
}

TEST(PageLayoutMismatch, DocumentsThatDoNotFitTheirTemplateAreRefused) {
  const std::vector<TimetableRow> rows = {{"一（1）班", "语文", "", 1, 1}};
  struct Case {
    std::string document;
    const char* templateFile;
    const char* reason;
  } cases[] = {
      {SchoolTimetableXmlText(rows, "", 6), "ClassSchd6.xml", "全校总表"},
      {TimetableXmlText(rows, "", 6), "TotalSchd6A3.xml", "班级或教师课表"},
      {TimetableXmlText(rows, "", 7), "ClassSchd6.xml", "每天 7 节课"},
      {SchoolTimetableXmlText(rows, "", 6), "TotalSchd7A3.xml", "每天 6 节课"},
      {"<root><record></record></root>", "TeacherSchd6.xml", "没有课表"},
  };
  for (const Case& c : cases) {
    auto data = ParsePrintData(c.document);
    ASSERT_TRUE(data);
    auto pages = LayOutPages(*data, Template(c.templateFile));
    ASSERT_FALSE(pages) << c.templateFile;
    EXPECT_NE(pages.message().find(c.reason), std::string::npos) << pages.message();
  }
}

}  // namespace
}  // namespace orv
