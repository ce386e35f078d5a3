// SPDX-License-Identifier: GPL-3.0-or-later
// The user manual as shipped: one chapter sequence in the order of the work,
// links that land, pictures that exist and none left over, and a row in the
// menu chapter for every item of the main window's menu bar. Several people
// add chapters to it; these are the faults that creep in when they do.
#include <gtest/gtest.h>

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <algorithm>
#include <functional>
#include <map>
#include <regex>
#include <set>

#include "gui/shell/main_window.h"
#include "support/test_program.h"

namespace fs = std::filesystem;

namespace orv::ui {
namespace {

const fs::path kManualDir = ORVANDEL_MANUAL_DIR;

std::vector<std::string> AllMatches(const std::string& text, const std::string& pattern) {
  std::vector<std::string> found;
  const std::regex re(pattern);
  for (std::sregex_iterator it(text.begin(), text.end(), re), end; it != end; ++it)
    found.push_back((*it)[1].str());
  return found;
}

// 1 -> "一", 10 -> "十", 14 -> "十四", 21 -> "二十一".
std::string ChineseNumber(int n) {
  static const char* const kDigits[] = {"", "一", "二", "三", "四", "五", "六", "七", "八", "九"};
  if (n < 10) return kDigits[n];
  return std::string(n >= 20 ? kDigits[n / 10] : "") + "十" + kDigits[n % 10];
}

struct Chapter {
  std::string id, title;
  size_t begin = 0, end = 0;  // the chapter's text, heading included
};

std::vector<Chapter> Chapters(const std::string& html) {
  std::vector<Chapter> chapters;
  const std::regex heading(R"re(<h2(?: id="([^"]*)")?>([^<]*)</h2>)re");
  for (std::sregex_iterator it(html.begin(), html.end(), heading), end; it != end; ++it) {
    if (!chapters.empty()) chapters.back().end = static_cast<size_t>(it->position());
    chapters.push_back({(*it)[1].str(), (*it)[2].str(), static_cast<size_t>(it->position()), html.size()});
  }
  return chapters;
}

class UserManual : public ::testing::Test {
 protected:
  std::string html = test::ReadFile(kManualDir / "使用手册.html");
  std::vector<Chapter> chapters = Chapters(html);
};

// Ids are checked once, for the whole page, below.
TEST_F(UserManual, ChaptersAreNumberedOnceInOrderAndEachCanBeLinkedTo) {
  ASSERT_GE(chapters.size(), 10u);
  for (size_t i = 0; i < chapters.size(); ++i) {
    const Chapter& c = chapters[i];
    EXPECT_EQ(c.title.rfind(ChineseNumber(static_cast<int>(i) + 1) + "、", 0), 0u) << c.title;
    EXPECT_FALSE(c.id.empty()) << c.title;
  }
}

TEST_F(UserManual, EveryLinkLandsAndNoLaterVersionIsPromised) {
  const std::vector<std::string> anchors = AllMatches(html, R"re(id="([^"]+)")re");
  const std::set<std::string> targets(anchors.begin(), anchors.end());
  EXPECT_EQ(targets.size(), anchors.size()) << "an id is used twice";
  for (const std::string& link : AllMatches(html, R"re(href="#([^"]*)")re"))
    EXPECT_TRUE(targets.count(link)) << "#" << link;
  for (const char* stale : {"随后续版本提供", "后续版本", "class=\"later\""})
    EXPECT_EQ(html.find(stale), std::string::npos) << stale;
}

TEST_F(UserManual, EveryPictureExistsAndEveryPictureFileIsShown) {
  const std::vector<std::string> shown = AllMatches(html, R"re(<img src="([^"]+)")re");
  const std::set<std::string> referenced(shown.begin(), shown.end());
  for (const std::string& src : referenced) EXPECT_TRUE(fs::is_regular_file(kManualDir / src)) << src;
  for (const auto& entry : fs::directory_iterator(kManualDir / "images"))
    EXPECT_TRUE(referenced.count("images/" + entry.path().filename().string())) << "unused " << entry.path();
}

// The steps of the first chapter walk the chapters after the menu chapter in
// the order they stand, so the manual reads in the order of the work.
TEST_F(UserManual, WorkStepsLinkEveryChapterInTheOrderOfTheChapters) {
  ASSERT_GE(chapters.size(), 3u);
  const std::string steps = html.substr(chapters[0].begin, chapters[0].end - chapters[0].begin);
  const size_t list = steps.find("<ol>");
  ASSERT_NE(list, std::string::npos);
  std::vector<std::string> linked;
  for (const std::string& id : AllMatches(steps.substr(list), R"re(href="#([^"]*)")re"))
    if (std::find(linked.begin(), linked.end(), id) == linked.end()) linked.push_back(id);
  std::vector<std::string> expected;
  for (size_t i = 2; i < chapters.size(); ++i) expected.push_back(chapters[i].id);
  EXPECT_EQ(linked, expected);
}

// Every menu item has its row in the menu chapter; a command with a chapter
// of its own links there.
TEST_F(UserManual, MenuChapterHasARowForEveryMenuItem) {
  ASSERT_GE(chapters.size(), 2u);
  const std::string menuChapter = html.substr(chapters[1].begin, chapters[1].end - chapters[1].begin);
  std::map<std::string, std::string> rows;  // first cell -> the whole row
  const std::regex row(R"(<tr><td>([^<]*)</td>[\s\S]*?</tr>)");
  for (std::sregex_iterator it(menuChapter.begin(), menuChapter.end(), row), end; it != end; ++it)
    rows[(*it)[1].str()] = (*it)[0].str();
  // Commands that open no window of their own, or open this manual.
  const std::set<std::string> noChapter = {"退出", "使用手册", "关于"};

  test::TestProgram program;
  FrmMain window(program.ctx());
  int items = 0;
  std::function<void(QMenu*, const std::string&)> walk = [&](QMenu* menu, const std::string& prefix) {
    for (QAction* a : menu->actions()) {
      if (a->isSeparator()) continue;
      if (a->menu()) {
        walk(a->menu(), a->text().toStdString() + " → ");
        continue;
      }
      ++items;
      const std::string name = prefix + a->text().toStdString();
      const auto row = rows.find(name);
      if (row == rows.end()) {
        ADD_FAILURE() << "no row for " << name;
        continue;
      }
      if (!noChapter.count(name)) {
        EXPECT_NE(row->second.find("href=\"#"), std::string::npos) << name;
      }
    }
  };
  for (QAction* a : window.menuBar()->actions())
    if (a->menu()) walk(a->menu(), "");
  EXPECT_GE(items, 20);
}

}  // namespace
}  // namespace orv::ui
