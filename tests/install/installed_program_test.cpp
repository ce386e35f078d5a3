// SPDX-License-Identifier: GPL-3.0-or-later
// The installed program: this build installed with `cmake --install` into a
// temporary prefix, then started there offscreen on a fresh home directory
// with its bin directory write-protected, as after installing the package.
#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <set>

#include "core/database/timetable_db.h"
#include "support/process.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;

namespace orv {
namespace {

// Installed once for all tests of this run; the prefix is removed at exit.
const fs::path& Prefix() {
  static test::TempDir root;
  static const fs::path prefix = [] {
    const fs::path p = root / "prefix";
    const test::ProcessRun run =
        test::RunProcess(ORVANDEL_CMAKE, {"--install", ORVANDEL_BUILD_DIR, "--prefix", p.string()});
    EXPECT_EQ(run.exitCode, 0) << run.out << run.err;
    return p;
  }();
  return prefix;
}

std::set<std::string> Names(const fs::path& dir) {
  std::set<std::string> names;
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(dir, ec)) names.insert(entry.path().filename().string());
  return names;
}

// The value after "label：" on its own line of the self-check's report.
std::string Reported(const std::string& out, const std::string& label) {
  std::smatch m;
  if (!std::regex_search(out, m, std::regex("(^|\n)" + label + "：([^\n]*)"))) return "";
  return m[2];
}

TEST(InstalledProgram, ProgramsDesktopEntryIconAndManualWithItsPicturesAreInPlace) {
  const fs::path share = Prefix() / "share";
  EXPECT_EQ(Names(Prefix() / "bin"), (std::set<std::string>{"orvandel", "orvandel-cli"}));
  const std::string desktop = test::ReadFile(share / "applications" / "orvandel.desktop");
  EXPECT_NE(desktop.find("\nExec=orvandel %f\n"), std::string::npos) << desktop;
  EXPECT_NE(desktop.find("\nIcon=orvandel\n"), std::string::npos) << desktop;
  EXPECT_TRUE(fs::is_regular_file(share / "icons" / "hicolor" / "scalable" / "apps" / "orvandel.svg"));

  const fs::path manualDir = share / "orvandel" / "使用手册";
  const std::string manual = test::ReadFile(manualDir / "使用手册.html");
  ASSERT_FALSE(manual.empty());
  const std::regex picture("src=\"(images/[^\"]+)\"");
  int pictures = 0;
  for (std::sregex_iterator it(manual.begin(), manual.end(), picture), end; it != end; ++it, ++pictures)
    EXPECT_TRUE(fs::is_regular_file(manualDir / (*it)[1].str())) << (*it)[1];
  EXPECT_GE(pictures, 5);
}

TEST(InstalledProgram, StartsOnAFreshHomeKeepingItsFilesThereAndFindsTheInstalledManual) {
  const fs::path bin = Prefix() / "bin";
  fs::permissions(bin, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                  fs::perm_options::remove);
  test::TempDir home;
  const std::map<std::string, std::string> env{
      {"HOME", home.Path().string()}, {"XDG_DATA_HOME", ""}, {"QT_QPA_PLATFORM", "offscreen"}};

  const test::ProcessRun run = test::RunProcess((bin / "orvandel").string(), {"--self-check"}, env);
  ASSERT_EQ(run.exitCode, 0) << run.out << run.err;

  const fs::path data = home / ".local" / "share" / "orvandel";
  EXPECT_EQ(Reported(run.out, "程序目录"), data.string()) << run.out;
  EXPECT_EQ(Reported(run.out, "设置文件"), (data / "kbxt.ini").string());
  EXPECT_EQ(Reported(run.out, "数据库"), (data / "kb.mdb").string());
  const fs::path manual = Reported(run.out, "使用手册");
  EXPECT_EQ(fs::weakly_canonical(manual),
            fs::weakly_canonical(Prefix() / "share/orvandel/使用手册/使用手册.html"));
  EXPECT_EQ(Names(bin), (std::set<std::string>{"orvandel", "orvandel-cli"})) << "nothing written beside it";

  // A real, empty timetable database, free again once the program ended,
  // which the installed command-line tool reads too.
  {
    auto db = TimetableDb::Open(data / "kb.mdb");
    ASSERT_TRUE(db) << db.message();
    EXPECT_EQ((*db)->FirstInt("select count(*) from Classtb"), 0);
  }
  const test::ProcessRun info =
      test::RunProcess((bin / "orvandel-cli").string(), {"info", (data / "kb.mdb").string()}, env);
  EXPECT_EQ(info.exitCode, 0) << info.err;
}

}  // namespace
}  // namespace orv
