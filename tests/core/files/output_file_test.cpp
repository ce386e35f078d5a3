// SPDX-License-Identifier: GPL-3.0-or-later
// Files written for the user: the target is the old file or the complete new
// one, the hidden file goes on every path, leftovers of killed runs are
// cleared without touching anyone else's files, links are replaced rather
// than followed, and the longest file names work.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <climits>
#include <stdexcept>

#include "core/files/output_file.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;

namespace orv {
namespace {

using test::ReadFile;
using test::WriteFile;

std::vector<std::string> Names(const fs::path& dir) {
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(dir)) names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

Outcome WriteText(const fs::path& temp, const std::string& text) {
  WriteFile(temp, text);
  return Outcome::Ok();
}

TEST(OutputFile, ReplacesTheTargetOnlyWhenCompleteAndLeavesNothingBehindOnFailure) {
  test::TempDir dir;
  const fs::path target = dir / "课表.xlsx";
  WriteFile(target, "old");
  EXPECT_FALSE(WriteOutputFile(target, [](const fs::path&) { return Outcome::Fail("写不成"); }));
  EXPECT_THROW(WriteOutputFile(target, [](const fs::path&) -> Outcome { throw std::runtime_error("x"); }),
               std::runtime_error);
  EXPECT_EQ(ReadFile(target), "old");
  EXPECT_EQ(Names(dir.Path()), std::vector<std::string>{"课表.xlsx"});

  const mode_t mask = ::umask(022);
  {
    OutputFile file;
    ASSERT_TRUE(file.Begin(target));
    struct stat st {};
    ASSERT_EQ(::stat(file.TempPath().c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u) << "private while it is written";
    EXPECT_EQ(ReadFile(target), "old");
    ASSERT_TRUE(file.Write("new"));
    ASSERT_TRUE(file.Commit());
  }
  ::umask(mask);
  EXPECT_EQ(ReadFile(target), "new");
  EXPECT_EQ(fs::status(target).permissions(), fs::perms(0644)) << "the mode of any new file";
  EXPECT_EQ(Names(dir.Path()), std::vector<std::string>{"课表.xlsx"});

  OutputFile nowhere;
  EXPECT_NE(nowhere.Begin(dir / "无此文件夹" / "a.pdf").message().find("文件夹不存在"), std::string::npos);
}

// What a killed run leaves is removed by the next run for the same target;
// a run still writing, other targets' files and near misses are kept.
TEST(OutputFile, RemovesOnlyThisTargetsLeftoversOfRunsThatAreGone) {
  test::TempDir dir;
  const fs::path target = dir / "a.pdf";
  const std::string leftover = HiddenOutputName("a.pdf", "Xy12Z9");
  const std::vector<std::string> kept = {HiddenOutputName("b.pdf", "Xy12Z9"),
                                         HiddenOutputName("a.pdf", "Xy12Z"),   // not our pattern
                                         HiddenOutputName("a.pdf", "Xy1-Z9"),  // nor this
                                         ".a.pdf.12345", "a.pdf.orvandel-Xy12Z9"};
  WriteFile(dir / leftover, "half a file");
  for (const std::string& name : kept) WriteFile(dir / name, "someone's");
  fs::create_symlink(dir / "b.pdf", dir / HiddenOutputName("a.pdf", "LinkAB"));

  OutputFile running;
  ASSERT_TRUE(running.Begin(target));
  EXPECT_FALSE(fs::exists(dir / leftover));
  for (const std::string& name : kept) EXPECT_EQ(ReadFile(dir / name), "someone's") << name;
  EXPECT_TRUE(fs::is_symlink(dir / HiddenOutputName("a.pdf", "LinkAB"))) << "links are never ours";

  // A second run while the first still writes: the first's file is no leftover.
  ASSERT_TRUE(WriteOutputFile(target, [](const fs::path& t) { return WriteText(t, "second"); }));
  EXPECT_TRUE(fs::exists(running.TempPath()));
  ASSERT_TRUE(running.Write("first"));
  ASSERT_TRUE(running.Commit());
  EXPECT_EQ(ReadFile(target), "first");
}

TEST(OutputFile, ALinkAtTheTargetIsReplacedNotFollowed) {
  test::TempDir dir;
  const fs::path victim = dir / "victim.txt", link = dir / "out.pdf";
  WriteFile(victim, "keep me");
  fs::create_symlink(victim, link);

  ASSERT_TRUE(WriteOutputFile(link, [](const fs::path& t) { return WriteText(t, "pdf"); }));
  EXPECT_EQ(ReadFile(victim), "keep me");
  EXPECT_FALSE(fs::is_symlink(link));
  EXPECT_EQ(ReadFile(link), "pdf");

  // The hidden file swapped for a link while it was written is not renamed into place.
  OutputFile file;
  ASSERT_TRUE(file.Begin(dir / "swap.pdf"));
  fs::remove(file.TempPath());
  fs::create_symlink(victim, file.TempPath());
  EXPECT_FALSE(file.Commit());
  EXPECT_FALSE(fs::exists(dir / "swap.pdf"));
  EXPECT_EQ(ReadFile(victim), "keep me");
}

// A 255-byte target (the CLI test writes one) needs a shorter stem; it is
// cut between characters, never inside one.
TEST(OutputFile, TheHiddenNameFitsNameMaxAndStaysValidUtf8) {
  std::string name = "x";
  for (int i = 0; i < 83; ++i) name += "课";
  for (const std::string& n : {name + ".pdf", name.substr(0, 240) + ".pdf"}) {
    const std::string hidden = HiddenOutputName(n, "XXXXXX");
    const std::string stem = hidden.substr(1, hidden.rfind(".orvandel-") - 1);
    EXPECT_LE(hidden.size(), size_t(NAME_MAX));
    EXPECT_EQ(n.compare(0, stem.size(), stem), 0);
    EXPECT_NE(static_cast<unsigned char>(n[stem.size()]) & 0xC0, 0x80) << n.size();
  }
}

}  // namespace
}  // namespace orv
