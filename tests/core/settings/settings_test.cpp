// kbxt.ini: defaults, trimming, the lessons-per-day safety net, and writes
// that keep the rest of the file.
#include <gtest/gtest.h>

#include "core/settings/program_dir.h"
#include "core/settings/settings.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;

namespace orv {
namespace {

using test::ReadFile;
using test::TempDir;
using test::WriteFile;

TEST(Settings, MissingFileGivesDefaults) {
  TempDir dir;
  const Settings s(dir.Path());
  EXPECT_EQ(s.GetDatabasePath(), (dir / "kb.mdb").string());
  EXPECT_EQ(s.GetSchoolName(), "");
  EXPECT_EQ(s.GetLessonsPerDay(), 6);
  EXPECT_EQ(s.GetWebsite(), kDefaultWebsite);
  EXPECT_EQ(s.GetForum(), kDefaultForum);
  EXPECT_FALSE(fs::exists(s.IniPath())) << "reading must not create the file";
}

TEST(Settings, ReadsTrimmedValuesCaseInsensitively) {
  TempDir dir;
  WriteFile(
      dir / "kbxt.ini",
      "[DB]\nFILENAME=   /data/学校/kb.mdb   \n[lesson]\nlesson_of_day= 7 \n[USERINFO]\nUSER=  第一中学 \n"
      "[WEB]\nSITE= https://school.example/ \nforum=https://school.example/bbs\n");
  const Settings s(dir.Path());
  EXPECT_EQ(s.GetDatabasePath(), "/data/学校/kb.mdb");
  EXPECT_EQ(s.GetWebsite(), "https://school.example/");
  EXPECT_EQ(s.GetForum(), "https://school.example/bbs");
  EXPECT_EQ(s.GetLessonsPerDay(), 7);
  EXPECT_EQ(s.GetSchoolName(), "第一中学");
  WriteFile(dir / "kbxt.ini", "[DB]\nFILENAME=   \n");
  EXPECT_EQ(s.GetDatabasePath(), (dir / "kb.mdb").string()) << "blank means the default database";
}

TEST(Settings, SchoolNameIsCutAtOneHundredCharacters) {
  TempDir dir;
  std::string longName;
  for (int i = 0; i < 120; ++i) longName += "校";
  WriteFile(dir / "kbxt.ini", "[USERINFO]\nUSER=" + longName + "\n");
  const std::string name = Settings(dir.Path()).GetSchoolName();
  EXPECT_EQ(name.size(), 100u * std::string("校").size()) << "cut on a character boundary";
}

TEST(LessonsPerDay, OnlySixOrSevenEverComeOut) {
  EXPECT_EQ(ParseLessonsPerDay("6"), 6);
  EXPECT_EQ(ParseLessonsPerDay("7"), 7);
  EXPECT_EQ(ParseLessonsPerDay(" 7"), 7);
  EXPECT_EQ(ParseLessonsPerDay("8"), 7);
  EXPECT_EQ(ParseLessonsPerDay("99999999999999"), 7);
  EXPECT_EQ(ParseLessonsPerDay("7节"), 7) << "leading digits count, as the profile functions read them";
  EXPECT_EQ(ParseLessonsPerDay("0"), 6) << "0 would wipe the timetable at start-up";
  EXPECT_EQ(ParseLessonsPerDay("5"), 6);
  EXPECT_EQ(ParseLessonsPerDay("-7"), 6);
  EXPECT_EQ(ParseLessonsPerDay("seven"), 6);
  EXPECT_EQ(ParseLessonsPerDay(""), 6);

  TempDir dir;
  WriteFile(dir / "kbxt.ini", "[LESSON]\nLESSON_OF_DAY=abc\n");
  EXPECT_EQ(Settings(dir.Path()).GetLessonsPerDay(), 6);
  WriteFile(dir / "kbxt.ini", "[LESSON]\nLESSON_OF_DAY=8\n");
  EXPECT_EQ(Settings(dir.Path()).GetLessonsPerDay(), 7);
}

TEST(Settings, WritesKeepOtherSectionsAndReadBack) {
  TempDir dir;
  WriteFile(dir / "kbxt.ini", "[USERINFO]\nUSER=第一中学\n[OTHER]\nKEY=value\n");
  const Settings s(dir.Path());
  ASSERT_TRUE(s.SetDatabasePath("/srv/kb 2026.mdb"));
  ASSERT_TRUE(s.SetLessonsPerDay(7));
  EXPECT_EQ(s.GetDatabasePath(), "/srv/kb 2026.mdb");
  EXPECT_EQ(s.GetLessonsPerDay(), 7);
  EXPECT_EQ(s.GetSchoolName(), "第一中学");
  const std::string text = ReadFile(s.IniPath());
  EXPECT_NE(text.find("KEY=value"), std::string::npos) << text;
  EXPECT_NE(text.find("LESSON_OF_DAY=7"), std::string::npos) << "KEY=VALUE without spaces: " << text;
  EXPECT_FALSE(fs::exists(s.IniPath().string() + ".tmp"));
  const Settings nowhere(dir / "no" / "such" / "dir");
  EXPECT_EQ(nowhere.SetLessonsPerDay(7).message(), "无法写入设置文件：" + nowhere.IniPath().string());
}

TEST(Titles, AppTitleAndCaption) {
  EXPECT_EQ(AppTitle("第一中学"), "第一中学排课软件系统");
  EXPECT_EQ(AppTitle(""), "排课软件系统");
  EXPECT_EQ(GetWindowTitle("排课软件系统", "/x/kb.mdb"), "排课软件系统 -- /x/kb.mdb");
}

TEST(ProgramDirectory, ExecutableDirectoryWhenWritableElseUserData) {
  TempDir dir;
  EXPECT_EQ(ResolveProgramDirectory(dir.Path()), dir.Path());
  const fs::path readOnly = dir / "ro";
  fs::create_directory(readOnly);
  fs::permissions(readOnly, fs::perms::owner_read | fs::perms::owner_exec);
  setenv("XDG_DATA_HOME", (dir / "data").c_str(), 1);
  const fs::path resolved = ResolveProgramDirectory(readOnly);
  if (geteuid() != 0) {
    EXPECT_EQ(resolved, dir / "data" / "orvandel");
    EXPECT_TRUE(fs::is_directory(resolved)) << "created on demand";
  }
  EXPECT_EQ(ResolveProgramDirectory(""), dir / "data" / "orvandel");
  EXPECT_TRUE(fs::is_directory(dir / "data" / "orvandel"));
  unsetenv("XDG_DATA_HOME");
}

TEST(ProgramDirectory, InstalledProgramKeepsUserFilesOutOfItsPrefixEvenWhenItMayWriteThere) {
  TempDir dir;
  setenv("XDG_DATA_HOME", (dir / "data").c_str(), 1);
  const fs::path bin = dir / "prefix" / "bin";
  fs::create_directories(bin);
  EXPECT_EQ(ResolveProgramDirectory(bin), bin) << "no data directory beside it: a portable copy";
  fs::create_directories(dir / "prefix" / "share" / "orvandel");
  EXPECT_EQ(InstalledDataDirectory(bin), dir / "prefix" / "share" / "orvandel");
  EXPECT_EQ(ResolveProgramDirectory(bin), dir / "data" / "orvandel");
  EXPECT_TRUE(fs::is_directory(dir / "data" / "orvandel"));
  unsetenv("XDG_DATA_HOME");
}

}  // namespace
}  // namespace orv
