// Files shipped with the program are found in the build tree and when
// installed, with a copy in the program directory taking precedence.
#include <gtest/gtest.h>

#include "gui/shell/shell_support.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;

namespace orv::ui {
namespace {

TEST(ProgramFiles, ProgramDirectoryThenBesideTheProgramThenInstalledData) {
  test::TempDir root;
  const fs::path programDir = root / "home";
  const fs::path bin = root / "prefix" / "bin";
  const fs::path manual = fs::path("使用手册") / "使用手册.html";
  fs::create_directories(programDir);
  fs::create_directories(bin);
  EXPECT_FALSE(FindProgramFile(programDir, manual, bin));

  const fs::path installed = root / "prefix" / "share" / "orvandel" / manual;
  fs::create_directories(installed.parent_path());
  test::WriteFile(installed, "installed");
  EXPECT_EQ(FindProgramFile(programDir, manual, bin), installed);

  fs::create_directories(bin / "使用手册");
  test::WriteFile(bin / manual, "beside");
  EXPECT_EQ(FindProgramFile(programDir, manual, bin), bin / manual);

  fs::create_directories(programDir / "使用手册");
  test::WriteFile(programDir / manual, "own");
  EXPECT_EQ(FindProgramFile(programDir, manual, bin), programDir / manual);

  // A directory of that name is no file.
  fs::create_directories(programDir / "HomePage.jpg");
  EXPECT_FALSE(FindProgramFile(programDir, "HomePage.jpg", bin));
}

}  // namespace
}  // namespace orv::ui
