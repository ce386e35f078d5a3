// SPDX-License-Identifier: GPL-3.0-or-later
// The published site in a real browser (headless Chromium): the index lists
// and filters, a class page shows every lesson in its cell, the stylesheet
// shows the grid on a desktop and the day list on a phone, and both
// screenshots come out at their sizes.
#include <gtest/gtest.h>

#include <regex>

#include "core/publish/site_publish.h"
#include "support/process.h"
#include "support/test_db.h"

namespace fs = std::filesystem;

namespace orv {
namespace {

class SiteInBrowser : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    db = new test::TestDb;
    db->AddClass("71", "七（1）班");
    db->AddClass("72", "七（2）班");
    db->AddClass("81", "八（1）<b>班</b>");
    db->AddCourse("01", "语文");
    db->AddCourse("02", "数学");
    db->AddTeacher("001", "王芳");
    db->AddTeacher("002", "李强");
    db->AddLesson("71", 1, 1, "01", "001", 1);
    db->AddLesson("71", 1, 2, "02", "002", 1);
    db->AddLesson("71", 3, 5, "02", "002", 2);
    db->AddLesson("71", 5, 6, "01", "001", 0);
    db->AddLesson("81", 2, 2, "02", "002", 1);
    PublishOptions options;
    options.schoolName = "育才实验学校";
    options.week = 6;
    options.publishedAt = "2026-12-07 17:30";
    ASSERT_TRUE(PublishSite(db->db(), Site(), options));
  }
  static void TearDownTestSuite() {
    delete db;
    db = nullptr;
  }
  static fs::path Site() { return db->dir() / "site"; }

  // The page as the browser leaves it after its scripts ran; `probe` is
  // added at the end of a copy of the page, beside the original.
  static std::string Dom(const std::string& page, const std::string& probe = "",
                         const char* size = "1280,800", const std::string& query = "") {
    std::string name = page;
    if (!probe.empty()) {
      std::string html = test::ReadFile(Site() / page);
      html.insert(html.rfind("</body>"), "<script>" + probe + "</script>\n");
      name = "probe-" + page;
      test::WriteFile(Site() / name, html);
    }
    const test::ProcessRun run = Chromium(
        {"--dump-dom", "--window-size=" + std::string(size), "file://" + (Site() / name).string() + query});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    return run.out;
  }
  static test::ProcessRun Chromium(std::vector<std::string> args) {
    args.insert(args.begin(), {"--headless=new", "--no-sandbox", "--disable-gpu", "--no-first-run",
                               "--hide-scrollbars", "--user-data-dir=" + (db->dir() / "profile").string()});
    return test::RunProcess(ORVANDEL_CHROMIUM, args);
  }
  static std::string Attribute(const std::string& dom, const std::string& name) {
    std::smatch m;
    return std::regex_search(dom, m, std::regex(name + "=\"([^\"]*)\"")) ? m[1].str() : "(none)";
  }

  static test::TestDb* db;
};
test::TestDb* SiteInBrowser::db = nullptr;

// What the page shows: the names in the lists that are not hidden.
const std::string kVisibleNames =
    "document.body.setAttribute('data-visible', [].filter.call(document.querySelectorAll('[data-name]'),"
    "function (li) { return !li.hidden; }).map(function (li) { return li.textContent; }).join('|'));";

TEST_F(SiteInBrowser, TheIndexListsEverythingAndTheSearchFiltersByQueryAndByTyping) {
  const std::string all = Dom("index.html", kVisibleNames);
  EXPECT_EQ(Attribute(all, "data-visible"), "七（1）班|七（2）班|八（1）&lt;b&gt;班&lt;/b&gt;|王芳|李强");
  for (const char* link :
       {"c-71.html", "c-81.html", "t-002.html", "overview.html", "changes.html", "lessons.csv"})
    EXPECT_NE(all.find(std::string("href=\"") + link + "\""), std::string::npos) << link;

  const std::string byQuery = Dom("index.html", kVisibleNames, "1280,800", "?q=%E4%B8%83");  // ?q=七
  EXPECT_EQ(Attribute(byQuery, "data-visible"), "七（1）班|七（2）班");
  EXPECT_NE(byQuery.find("<section class=\"group\" hidden=\"\"><h2>教师</h2>"), std::string::npos)
      << "a list with no match is hidden whole";

  const std::string typed = Dom("index.html",
                                "var q = document.getElementById('q'); q.value = '李';"
                                "q.dispatchEvent(new Event('input'));" +
                                    kVisibleNames);
  EXPECT_EQ(Attribute(typed, "data-visible"), "李强");
}

TEST_F(SiteInBrowser, AClassPageShowsEveryLessonInItsCellAsAGridOnADesktopAndAListOnAPhone) {
  const std::string probe =
      "var rows = [].map.call(document.querySelectorAll('table.week tbody tr:not(.lunch)'), function (tr) {"
      "  return [].map.call(tr.querySelectorAll('td'), function (td) { return td.textContent; }).join(','); "
      "});"
      "document.body.setAttribute('data-grid', rows.join(';'));"
      "document.body.setAttribute('data-shown', "
      "getComputedStyle(document.querySelector('table.week')).display"
      "  + '/' + getComputedStyle(document.querySelector('.days')).display);"
      "document.body.setAttribute('data-list', [].map.call(document.querySelectorAll('.days li'),"
      "  function (li) { return li.textContent; }).join('|'));";
  const std::string wide = Dom("c-71.html", probe);
  EXPECT_EQ(Attribute(wide, "data-grid"), "语文王芳,,,,;数学李强,,,,;,,,,;,,,,;,,数学李强,,;,,,,语文王芳");
  EXPECT_EQ(Attribute(wide, "data-shown"), "table/none");
  EXPECT_EQ(Attribute(wide, "data-list"),
            "第1节语文王芳|第2节数学李强|没有课|第5节数学李强|没有课|第6节语文王芳");
  EXPECT_EQ(Attribute(Dom("c-71.html", probe, "390,844"), "data-shown"), "none/block");
  EXPECT_NE(Dom("c-81.html").find("<h1>八（1）&lt;b&gt;班&lt;/b&gt; 课表</h1>"), std::string::npos)
      << "a name is text, never markup";
}

// The width and height in a PNG's IHDR chunk.
std::pair<int, int> PngSize(const std::string& png) {
  auto at = [&](size_t i) {
    return int((unsigned char)png[i]) << 24 | int((unsigned char)png[i + 1]) << 16 |
           int((unsigned char)png[i + 2]) << 8 | int((unsigned char)png[i + 3]);
  };
  return png.size() < 24 || png.compare(1, 3, "PNG") != 0 ? std::pair(0, 0) : std::pair(at(16), at(20));
}

TEST_F(SiteInBrowser, ScreenshotsOfAPhoneAndADesktopComeOutAtTheirSizes) {
  std::map<std::string, std::string> shots;
  for (const char* size : {"390,844", "1280,800"}) {
    const fs::path png = db->dir() / ("shot-" + std::string(size) + ".png");
    const test::ProcessRun run =
        Chromium({"--screenshot=" + png.string(), "--window-size=" + std::string(size),
                  "file://" + (Site() / "c-71.html").string()});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    shots[size] = test::ReadFile(png);
  }
  EXPECT_EQ(PngSize(shots["390,844"]), std::pair(390, 844));
  EXPECT_EQ(PngSize(shots["1280,800"]), std::pair(1280, 800));
  EXPECT_NE(shots["390,844"].size(), shots["1280,800"].size());
}

}  // namespace
}  // namespace orv
