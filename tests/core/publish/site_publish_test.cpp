// SPDX-License-Identifier: GPL-3.0-or-later
// Publishing into a folder: the site with its calendar files and CSV file,
// written beside and swapped in, so that a publish that fails at any step
// (the database, the folder, the record of the publication) leaves the old
// site byte for byte, and a folder that holds somebody else's files is
// never replaced.
#include <gtest/gtest.h>

#include <fstream>

#include "core/calendar/term_calendar.h"
#include "core/publish/publications.h"
#include "core/publish/site_publish.h"
#include "support/test_db.h"

namespace fs = std::filesystem;

namespace orv {
namespace {

std::map<std::string, std::string> Tree(const fs::path& dir) {
  std::map<std::string, std::string> files;
  if (!fs::exists(dir)) return files;
  for (const fs::directory_entry& e : fs::recursive_directory_iterator(dir))
    if (e.is_regular_file()) files[fs::relative(e.path(), dir).string()] = test::ReadFile(e.path());
  return files;
}

std::vector<std::string> Siblings(const fs::path& dir) {
  std::vector<std::string> names;
  for (const fs::directory_entry& e : fs::directory_iterator(dir.parent_path()))
    names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

class SitePublish : public ::testing::Test {
 protected:
  SitePublish() {
    t.AddClass("71", "七（1）班");
    t.AddClass("72", "七（2）班");
    t.AddCourse("01", "语文");
    t.AddCourse("02", "数学");
    t.AddTeacher("001", "王芳");
    t.AddTeacher("002", "李强");
    t.AddLesson("71", 1, 1, "01", "001", 1);
    t.AddLesson("71", 2, 3, "02", "002", 1);
    t.AddLesson("72", 5, 6, "02", "002", 2);
    options.schoolName = "育才实验学校";
    options.week = 6;
    options.publishedAt = "2026-12-07 17:30";
    options.stamp = "20261207T093000Z";
  }
  Result<Publication> Publish() { return PublishSite(t.db(), site, options); }

  test::TestDb t;
  fs::path site = t.dir() / "web" / "site";
  PublishOptions options;
};

TEST_F(SitePublish, WritesEveryPageTheCsvAndCalendarFilesOnlyForATermAndRecordsEachVersion) {
  const Result<Publication> first = Publish();
  ASSERT_TRUE(first) << first.message();
  EXPECT_EQ(first->publishedAt, "2026-12-07 17:30");
  std::map<std::string, std::string> files = Tree(site);
  for (const char* name : {"index.html", "c-71.html", "c-72.html", "t-001.html", "t-002.html",
                           "overview.html", "changes.html", "style.css", "lessons.csv", ".orvandel-site"})
    EXPECT_TRUE(files.count(name)) << name;
  EXPECT_FALSE(fs::exists(site / "ics")) << "no term stated, no calendar files";
  EXPECT_NE(files["changes.html"].find("这是第一次发布"), std::string::npos);
  EXPECT_EQ(files["lessons.csv"].substr(0, 3), "\xEF\xBB\xBF");
  EXPECT_EQ((fs::status(site).permissions() & fs::perms::others_read), fs::perms::others_read)
      << "a web server must be able to read it";

  TermCalendar term;
  term.start = ParseDate("2026-09-01");
  term.weeks = 20;
  ASSERT_TRUE(SaveTermCalendar(t.db(), term, 6));
  t.db().Execute("update LessonListtb set Day=3 where ClassCode='71' and Day=1");
  const Result<Publication> second = Publish();
  ASSERT_TRUE(second) << second.message();
  EXPECT_EQ(second->version, first->version + 1);
  files = Tree(site);
  for (const char* name : {"ics/c-71.ics", "ics/c-72.ics", "ics/t-001.ics", "ics/t-002.ics"})
    EXPECT_EQ(files[name].rfind("BEGIN:VCALENDAR", 0), 0u) << name;
  EXPECT_NE(files["changes.html"].find("王芳"), std::string::npos)
      << "the moved lesson is on the change page";
  EXPECT_EQ(Siblings(site), std::vector<std::string>{"site"}) << "nothing left beside it";
  EXPECT_EQ(ListPublications(t.db())->size(), 2u);
}

TEST_F(SitePublish, AFailureWhileRecordingPutsTheOldSiteBackByteForByte) {
  ASSERT_TRUE(Publish());
  const auto before = Tree(site);
  t.db().Execute("insert into Classtb (Code,Name) values ('73','七（3）班')");
  t.db().Execute(
      "create trigger refuse before insert on Publicationtb begin select raise(abort, 'disk full'); end");
  const Result<Publication> refused = Publish();
  EXPECT_FALSE(refused);
  EXPECT_EQ(Tree(site), before);
  EXPECT_EQ(Siblings(site), std::vector<std::string>{"site"});
  EXPECT_EQ(ListPublications(t.db())->size(), 1u);

  t.db().Execute("drop trigger refuse");
  t.db().Execute("drop table Coursetb");
  EXPECT_FALSE(Publish()) << "a database that cannot be read";
  EXPECT_EQ(Tree(site), before);
}

TEST_F(SitePublish, AFolderUnderAFileOrHoldingOtherFilesIsRefusedInChineseAndLeftAlone) {
  test::WriteFile(t.dir() / "notes.txt", "a file");
  site = t.dir() / "notes.txt" / "site";
  const Result<Publication> underFile = Publish();
  ASSERT_FALSE(underFile);
  EXPECT_NE(underFile.message().find("notes.txt”是文件，不是文件夹"), std::string::npos)
      << underFile.message();
  EXPECT_EQ(test::ReadFile(t.dir() / "notes.txt"), "a file");

  site = t.dir() / "notes.txt";
  EXPECT_NE(Publish().message().find("不是文件夹"), std::string::npos);

  site = t.dir() / "homework";
  fs::create_directories(site);
  test::WriteFile(site / "essay.doc", "mine");
  const Result<Publication> others = Publish();
  ASSERT_FALSE(others);
  EXPECT_NE(others.message().find("不是本程序发布的网页课表，不会替换"), std::string::npos)
      << others.message();
  EXPECT_EQ(Tree(site), (std::map<std::string, std::string>{{"essay.doc", "mine"}}));
  EXPECT_TRUE(ListPublications(t.db())->empty());

  options.baseUrl = "school.example";
  site = t.dir() / "new";
  EXPECT_NE(Publish().message().find("http://"), std::string::npos);
  EXPECT_FALSE(fs::exists(site));
}

TEST_F(SitePublish, AnEmptyFolderIsTakenAndTheLeftoversOfAKilledRunAreCleared) {
  fs::create_directories(site);
  const fs::path killed = site.string() + ".new-Ab12Cd";
  fs::create_directories(killed);
  test::WriteFile(killed / ".orvandel-site", "");
  const fs::path stranger = site.string() + ".new-Xy98Zw";
  fs::create_directories(stranger);
  test::WriteFile(stranger / "keep.txt", "not ours");
  ASSERT_TRUE(Publish());
  EXPECT_TRUE(fs::exists(site / "index.html"));
  EXPECT_FALSE(fs::exists(killed));
  EXPECT_EQ(test::ReadFile(stranger / "keep.txt"), "not ours");
}

}  // namespace
}  // namespace orv
