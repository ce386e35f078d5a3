// SPDX-License-Identifier: GPL-3.0-or-later
// The published pages: names as text never as markup, ASCII page names that
// no two records share, every lesson of a class on its page, one colour per
// course on every page, the QR code on the printed class page, and the
// change page's three cases.
#include <gtest/gtest.h>

#include <algorithm>
#include <regex>

#include "core/publish/qr_code.h"
#include "core/publish/site_names.h"
#include "core/publish/site_pages.h"

namespace orv {
namespace {

PublishedLesson L(std::string cls, std::string className, int day, int lesson, std::string course,
                  std::string courseName, std::string teacher, std::string teacherName) {
  return {cls, className, day, lesson, course, courseName, teacher, teacherName, LessonOrigin::Automatic};
}

PublishedSchool School() {
  PublishedSchool s;
  s.schoolName = "育才<实验>学校";
  s.week = SchoolWeek(6);
  s.classes = {{"71", "七（1）班"}, {"72", "<script>alert(1)</script>"}};
  s.teachers = {{"001", "王芳"}, {"002", "李 & 强"}};
  s.specialCourses = {{"09", "微机"}};
  s.lessons = {L("71", "七（1）班", 1, 1, "02", "数学", "001", "王芳"),
               L("71", "七（1）班", 3, 6, "09", "微机", "002", "李 & 强"),
               L("72", "<script>alert(1)</script>", 1, 2, "02", "数学", "001", "王芳"),
               L("72", "<script>alert(1)</script>", 5, 5, "01", "语文", "002", "李 & 强")};
  return s;
}

struct Pages {
  explicit Pages(PublishedSchool s = School(), std::string baseUrl = "", ChangeNotice n = {},
                 std::vector<int> withoutBell = {})
      : school(std::move(s)), notice(std::move(n)) {
    calendar.bells = {{1, 8 * 60, 8 * 60 + 40}};
    for (SiteFile& f : SitePages({school, calendar, notice, "2026-12-07 17:30", baseUrl, true, withoutBell}))
      files[f.path] = std::move(f.bytes);
  }
  const std::string& operator[](const std::string& path) const { return files.at(path); }
  PublishedSchool school;
  TermCalendar calendar;
  ChangeNotice notice;
  std::map<std::string, std::string> files;
};

size_t Count(const std::string& text, const std::string& what) {
  size_t n = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

TEST(SiteNames, PageNamesAreAsciiAndNeverSharedEvenWhenCodesDifferOnlyInCaseOrAreChinese) {
  const std::vector<NamedRecord> records = {{"001", "a"},  {"A1", "b"}, {"a1", "c"}, {"a1-2", "d"},
                                            {"物理", "e"}, {"x", "f"},  {"", "g"},   {"a b", "h"}};
  const std::map<std::string, std::string> slugs = SiteSlugs(records, "t-");
  ASSERT_EQ(slugs.size(), records.size());
  std::set<std::string> seen;
  for (const auto& [code, slug] : slugs) {
    EXPECT_TRUE(seen.insert(slug).second) << "shared: " << slug;
    EXPECT_TRUE(std::regex_match(slug, std::regex("t-[a-z0-9_-]+"))) << slug;
  }
  EXPECT_EQ(slugs.at("001"), "t-001");
  EXPECT_EQ(slugs.at("物理"), "t-xe789a9e79086") << "the code's UTF-8 bytes in hex";
  EXPECT_EQ(slugs.at("A1"), "t-a1");
  EXPECT_EQ(slugs.at("a1"), "t-a1-2") << "a server that ignores case must not mix A1 and a1";
  EXPECT_EQ(slugs.at("a1-2"), "t-a1-2-2");
  EXPECT_EQ(HtmlEscape("<a href=\"x\">'&'</a>"), "&lt;a href=&quot;x&quot;&gt;&#39;&amp;&#39;&lt;/a&gt;");
}

TEST(SitePages, EveryNameIsEscapedAndEveryPageIsUtf8ChineseWithAViewport) {
  const Pages pages;
  for (const auto& [path, bytes] : pages.files) {
    EXPECT_EQ(bytes.find("<script>alert"), std::string::npos) << path;
    EXPECT_EQ(bytes.find("李 & 强"), std::string::npos) << path;
    if (path.ends_with(".html")) {
      EXPECT_NE(bytes.find("<html lang=\"zh-CN\">"), std::string::npos) << path;
      EXPECT_NE(bytes.find("<meta charset=\"utf-8\">"), std::string::npos) << path;
      EXPECT_NE(bytes.find("name=\"viewport\""), std::string::npos) << path;
      EXPECT_NE(bytes.find("育才&lt;实验&gt;学校"), std::string::npos) << path;
      EXPECT_EQ(bytes.find("http"), std::string::npos) << path << " must need nothing from outside";
    }
  }
  EXPECT_NE(pages["c-72.html"].find("<h1>&lt;script&gt;alert(1)&lt;/script&gt; 课表</h1>"),
            std::string::npos);
  EXPECT_NE(pages["t-002.html"].find("李 &amp; 强"), std::string::npos);
}

TEST(SitePages, TheIndexLinksEveryPageCalendarAndTheCsvAndEachClassPageHoldsItsLessons) {
  const Pages pages;
  const std::string& index = pages["index.html"];
  for (const char* page : {"c-71.html", "c-72.html", "t-001.html", "t-002.html", "k-09.html", "overview.html",
                           "changes.html", "ics/c-71.ics", "ics/t-002.ics", "lessons.csv"}) {
    EXPECT_NE(index.find(std::string("href=\"") + page + "\""), std::string::npos) << page;
    if (std::string(page).ends_with(".html")) {
      EXPECT_TRUE(pages.files.count(page)) << page;
    }
  }
  EXPECT_NE(index.find("id=\"q\""), std::string::npos) << "the search box";
  EXPECT_NE(index.find("data-name=\"王芳 001\""), std::string::npos);
  EXPECT_EQ(index.find("没有作息时间"), std::string::npos);
  EXPECT_NE(
      Pages(School(), "", {}, {5, 6})["index.html"].find("第5节、第6节没有作息时间，日历文件中没有这些课"),
      std::string::npos);

  // Class 七（1）班: 数学 on Monday's first lesson, 微机 on Wednesday's sixth, in
  // the grid and in the list by day; nothing of class 72.
  const std::string& c71 = pages["c-71.html"];
  EXPECT_EQ(Count(c71, "<b>数学</b><small>王芳</small>"), 2u);
  EXPECT_EQ(Count(c71, "<b>微机</b><small>李 &amp; 强</small>"), 2u);
  EXPECT_EQ(Count(c71, "<b>语文</b>"), 0u);
  EXPECT_NE(c71.find("第1节<span class=\"bell\">08:00-08:40</span>"), std::string::npos);
  // In the grid, row n's cells are days 1-5: 微机 stands in the third cell of the sixth row.
  const size_t row6 = c71.find("<tr><th class=\"no\">第6节</th>");
  ASSERT_NE(row6, std::string::npos);
  const std::string row = c71.substr(row6, c71.find("</tr>", row6) - row6);
  std::vector<std::string> cells;
  for (size_t at = row.find("<td>"); at != std::string::npos; at = row.find("<td>", at + 1))
    cells.push_back(row.substr(at, row.find("</td>", at) - at));
  ASSERT_EQ(cells.size(), 5u);
  for (size_t d = 0; d < 5; ++d) EXPECT_EQ(cells[d].find("微机") != std::string::npos, d == 2) << d;
  // The teacher's page names the class; the special course's page lists its classes.
  EXPECT_NE(pages["t-002.html"].find("<b>微机</b><small>七（1）班</small>"), std::string::npos);
  EXPECT_NE(pages["k-09.html"].find("<b>七（1）班</b><small>李 &amp; 强</small>"), std::string::npos);
}

TEST(SitePages, ACourseHasOneColourOnEveryPageAndTheOverviewHasARowPerClass) {
  const Pages pages;
  // Courses in code order 01 语文, 02 数学, 09 微机: k0, k1, k2.
  for (const char* page : {"c-71.html", "c-72.html", "t-001.html"})
    EXPECT_EQ(Count(pages[page], "lesson k1\"><b>数学"), Count(pages[page], "<b>数学")) << page;
  EXPECT_NE(pages["t-002.html"].find("lesson k0\"><b>语文"), std::string::npos);
  EXPECT_NE(pages["k-09.html"].find("lesson k2\"><b>七（1）班"), std::string::npos);
  const std::string& overview = pages["overview.html"];
  EXPECT_EQ(Count(overview, "<tr><th class=\"who\"><a href=\"c-"), 2u);
  EXPECT_EQ(Count(overview, "<td"), 2u * 30u) << "a cell per class and period";
  EXPECT_NE(overview.find("<td class=\"k1\">数学<br><small>王芳</small></td>"), std::string::npos);
  EXPECT_NE(pages["style.css"].find("@media (max-width"), std::string::npos);
  EXPECT_NE(pages["style.css"].find("@media print"), std::string::npos);
}

TEST(SitePages, WithABaseUrlEachClassPageCarriesTheQrCodeOfItsOwnAddress) {
  EXPECT_EQ(Pages()["c-71.html"].find("<svg"), std::string::npos) << "no address, no code";
  const Pages pages(School(), "https://school.example/kb");
  const std::string& c71 = pages["c-71.html"];
  EXPECT_NE(c71.find("<figure class=\"qr\">" + QrCodeSvg("https://school.example/kb/c-71.html")),
            std::string::npos);
  EXPECT_NE(pages["c-72.html"].find(QrCodeSvg("https://school.example/kb/c-72.html")), std::string::npos);
  EXPECT_EQ(pages["t-001.html"].find("<svg"), std::string::npos) << "the door code is the classes'";
}

// The three finder squares of a QR code stand in its corners, and the code
// grows with the text; a text beyond any QR version gives no code.
TEST(QrCode, TheSvgDrawsAQrSymbolWithItsFinderPatternsInsideTheQuietZone) {
  const std::string svg = QrCodeSvg("https://school.example/kb/c-71.html");
  std::smatch m;
  ASSERT_TRUE(std::regex_search(svg, m, std::regex("viewBox=\"0 0 (\\d+) \\d+\"")));
  const int size = std::stoi(m[1]), width = size - 8;
  EXPECT_EQ((width - 17) % 4, 0) << "a QR symbol is 21, 25, 29 … modules wide";
  std::set<std::pair<int, int>> dark;
  const std::string path = svg.substr(svg.find(" d=\""));
  const std::regex move("M(\\d+) (\\d+)");
  for (std::sregex_iterator it(path.begin(), path.end(), move), end; it != end; ++it)
    dark.insert({std::stoi((*it)[1]) - 4, std::stoi((*it)[2]) - 4});
  auto finder = [&](int x0, int y0) {
    for (int y = 0; y < 7; ++y)
      for (int x = 0; x < 7; ++x) {
        const bool ring = x == 0 || y == 0 || x == 6 || y == 6, core = x >= 2 && x <= 4 && y >= 2 && y <= 4;
        if (dark.count({x0 + x, y0 + y}) != (ring || core)) return false;
      }
    return true;
  };
  EXPECT_TRUE(finder(0, 0));
  EXPECT_TRUE(finder(width - 7, 0));
  EXPECT_TRUE(finder(0, width - 7));
  EXPECT_FALSE(finder(width - 7, width - 7));
  EXPECT_GT(QrCodeSvg(std::string(300, 'a')).size(), svg.size());
  EXPECT_EQ(QrCodeSvg(std::string(5000, 'a')), "");
}

TEST(SitePages, TheChangePageSaysFirstPublicationNoChangeOrEachChangeWithItsPage) {
  EXPECT_NE(Pages()["changes.html"].find("这是第一次发布"), std::string::npos);
  ChangeNotice none;
  none.sinceVersion = 3;
  none.sincePublishedAt = "2026-12-01 08:00";
  EXPECT_NE(
      Pages(School(), "", none)["changes.html"].find("自第3次发布（2026-12-01 08:00）以来，课表没有变化"),
      std::string::npos);
  ChangeNotice some = none;
  LessonChange moved;
  moved.text = "星期三第2节 数学（<七（2）班>）改到 星期四第5节";
  some.teachers = {{"001", "王芳", {moved}}};
  const std::string page = Pages(School(), "", some)["changes.html"];
  EXPECT_NE(page.find("<h3><a href=\"t-001.html\">王芳</a></h3>"), std::string::npos);
  EXPECT_NE(page.find("<li>星期三第2节 数学（&lt;七（2）班&gt;）改到 星期四第5节</li>"), std::string::npos);
  EXPECT_EQ(page.find("<h2>班级</h2>"), std::string::npos) << "no class was affected";
}

}  // namespace
}  // namespace orv
