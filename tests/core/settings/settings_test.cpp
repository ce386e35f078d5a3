// SPDX-License-Identifier: GPL-3.0-or-later
// kbxt.ini: defaults, trimming, the lessons-per-day safety net, writes that
// keep the rest of the file, and where the program keeps its files.
#include <gtest/gtest.h>

#include "core/session/program_dir.h"
#include "core/settings/settings.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;

namespace orv {
namespace {

using test::TempDir;
using test::WriteFile;

TEST(Settings, DefaultsWithoutAFileAndTrimmedValuesCaseInsensitivelyWithOne) {
  TempDir dir;
  const Settings s(dir.Path());
  EXPECT_EQ(s.GetDatabasePath(), (dir / "kb.mdb").string());
  EXPECT_EQ(s.GetSchoolName(), "");
  EXPECT_EQ(s.GetLessonsPerDay(), 6);
  EXPECT_EQ(s.GetWebsite(), kDefaultWebsite);
  EXPECT_EQ(s.GetForum(), kDefaultForum);
  EXPECT_FALSE(fs::exists(s.IniPath())) << "reading must not create the file";

  std::string longName;
  for (int i = 0; i < 120; ++i) longName += "校";
  WriteFile(dir / "kbxt.ini",
            "[DB]\nFILENAME=   /data/学校/kb.mdb   \n[lesson]\nlesson_of_day= 7 \n[USERINFO]\n"
            "USER=  " +
                longName +
                "\n[WEB]\nSITE= https://school.example/ \n"
                "forum=https://school.example/bbs\n");
  EXPECT_EQ(s.GetDatabasePath(), "/data/学校/kb.mdb");
  EXPECT_EQ(s.GetWebsite(), "https://school.example/");
  EXPECT_EQ(s.GetForum(), "https://school.example/bbs");
  EXPECT_EQ(s.GetLessonsPerDay(), 7);
  EXPECT_EQ(s.GetSchoolName(), longName.substr(0, 100 * std::string("校").size())) << "cut at 100 characters";
  WriteFile(dir / "kbxt.ini", "[DB]\nFILENAME=   \n");
  EXPECT_EQ(s.GetDatabasePath(), (dir / "kb.mdb").string()) << "blank means the default database";
}

TEST(LessonsPerDay, OnlySixOrSevenEverComeOut) {
  // Leading digits count, as the profile functions read them; 0 would wipe
  // the timetable at start-up.
  const std::pair<const char*, int> cases[] = {
      {"6", 6}, {"7", 7},  {" 7", 7},    {"8", 7}, {"99999999999999", 7}, {"7节", 7}, {"0", 6},
      {"5", 6}, {"-7", 6}, {"seven", 6}, {"", 6}};
  for (const auto& [text, lessons] : cases) EXPECT_EQ(ParseLessonsPerDay(text), lessons) << text;
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
  const std::string text = test::ReadFile(s.IniPath());
  EXPECT_NE(text.find("KEY=value"), std::string::npos) << text;
  EXPECT_NE(text.find("LESSON_OF_DAY=7"), std::string::npos) << "KEY=VALUE without spaces: " << text;
  EXPECT_FALSE(fs::exists(s.IniPath().string() + ".tmp"));
  // A link planted at the name beside is replaced, never written through.
  WriteFile(dir / "victim.txt", "keep me");
  fs::create_symlink(dir / "victim.txt", s.IniPath().string() + ".tmp");
  ASSERT_TRUE(s.SetSchoolName("第二中学"));
  EXPECT_EQ(test::ReadFile(dir / "victim.txt"), "keep me");
  EXPECT_EQ(s.GetSchoolName(), "第二中学");
  const Settings nowhere(dir / "no" / "such" / "dir");
  EXPECT_EQ(nowhere.SetLessonsPerDay(7).message(), "无法写入设置文件：" + nowhere.IniPath().string());
}

TEST(Settings, RecentDatabasesNewestFirstOnceEachAtMostFive) {
  TempDir dir;
  WriteFile(dir / "kbxt.ini", "[DB]\nFILENAME=/srv/kb.mdb\n");
  const Settings s(dir.Path());
  EXPECT_TRUE(s.GetRecentDatabases().empty());
  for (const char* path : {"/a.mdb", "/b.mdb", "/a.mdb"}) ASSERT_TRUE(s.AddRecentDatabase(path));
  EXPECT_EQ(s.GetRecentDatabases(), (std::vector<std::string>{"/a.mdb", "/b.mdb"}));
  for (const char* path : {"/c.mdb", "/d.mdb", "/e.mdb", "/学校 f.mdb"})
    ASSERT_TRUE(s.AddRecentDatabase(path));
  EXPECT_EQ(s.GetRecentDatabases(),
            (std::vector<std::string>{"/学校 f.mdb", "/e.mdb", "/d.mdb", "/c.mdb", "/a.mdb"}));
  // A path the list cannot hold is left out rather than split in two.
  ASSERT_TRUE(s.AddRecentDatabase("/x|y.mdb"));
  EXPECT_EQ(s.GetRecentDatabases().front(), "/学校 f.mdb");
  EXPECT_EQ(s.GetDatabasePath(), "/srv/kb.mdb");
}

// The executable's directory when writable and not an installed prefix,
// else the user's data directory, created on demand.
TEST(ProgramDirectory, ExecutableDirectoryOnlyForAWritablePortableCopy) {
  TempDir dir;
  setenv("XDG_DATA_HOME", (dir / "data").c_str(), 1);
  const fs::path data = dir / "data" / "orvandel", bin = dir / "prefix" / "bin", readOnly = dir / "ro";
  fs::create_directories(bin);
  EXPECT_EQ(ResolveProgramDirectory(bin), bin) << "no data directory beside it: a portable copy";
  EXPECT_FALSE(fs::exists(data));
  fs::create_directory(readOnly);
  fs::permissions(readOnly, fs::perms::owner_read | fs::perms::owner_exec);
  if (geteuid() != 0) {
    EXPECT_EQ(ResolveProgramDirectory(readOnly), data);
  }
  EXPECT_EQ(ResolveProgramDirectory(""), data);
  EXPECT_TRUE(fs::is_directory(data));
  fs::remove_all(data);
  fs::create_directories(dir / "prefix" / "share" / "orvandel");
  EXPECT_EQ(InstalledDataDirectory(bin), dir / "prefix" / "share" / "orvandel");
  EXPECT_EQ(ResolveProgramDirectory(bin), data) << "an installed program keeps user files out of its prefix";
  EXPECT_TRUE(fs::is_directory(data));
  unsetenv("XDG_DATA_HOME");
}

// Window places live beside the other settings and never disturb them; a
// damaged line reads as no place at all rather than as a window at 0,0.
TEST(Settings, WindowPlacesRoundTripAndDamagedLinesReadAsNone) {
  TempDir dir;
  WriteFile(dir / "kbxt.ini", "[DB]\nFILENAME=/data/kb.mdb\n");
  const Settings s(dir.Path());
  EXPECT_EQ(s.GetWindowPlace("frmQuality"), std::nullopt);
  const WindowPlace quality{-20, 35, 900, 640, false};
  const WindowPlace manual{10, 20, 1000, 700, true};
  ASSERT_TRUE(s.SetWindowPlace("frmQuality", quality));
  ASSERT_TRUE(s.SetWindowPlace("frmManualSetLesson", manual));
  EXPECT_EQ(s.GetWindowPlace("frmQuality"), quality);
  EXPECT_EQ(s.GetWindowPlace("frmManualSetLesson"), manual);
  EXPECT_EQ(s.GetDatabasePath(), "/data/kb.mdb");
  EXPECT_NE(test::ReadFile(s.IniPath()).find("frmManualSetLesson=10,20,1000,700,max"), std::string::npos);

  for (const char* damaged :
       {"", "1,2,3", "1,2,3,4,", "1,2,0,4", "1,2,3,-4", "a,2,3,4", "1,2,3,4,min", "1,2,3,4 ", "1,2,999999,4"})
    EXPECT_EQ(ParseWindowPlace(damaged), std::nullopt) << damaged;
  EXPECT_EQ(ParseWindowPlace("0,-5,30,40"), (WindowPlace{0, -5, 30, 40, false}));
}

}  // namespace
}  // namespace orv
