// SPDX-License-Identifier: GPL-3.0-or-later
// publish as a user runs it: the site in the folder with the school's name
// from kbxt.ini, the version reported, and bad input refused with exit 1,
// a Chinese reason and nothing written.
#include <gtest/gtest.h>

#include "cli/cli_runner.h"
#include "support/test_db.h"

namespace fs = std::filesystem;

namespace orv {
namespace {

TEST(PublishCli, WritesTheSiteWithTheSchoolNameAndRefusesBadInputWithoutWriting) {
  test::TestDb t;
  t.AddClass("71", "七（1）班");
  t.AddCourse("02", "数学");
  t.AddTeacher("001", "王芳");
  t.AddLesson("71", 2, 7, "02", "001", 1);
  t.Close();
  const fs::path dir = t.dir().Path();
  test::WriteFile(dir / "kbxt.ini", "[USERINFO]\nUSER=育才实验学校\n");
  const std::string db = t.path().string(), site = (dir / "site").string();

  const test::CliRun run = test::RunCli({"--program-dir", dir.string(), "publish", db, "--out", site,
                                         "--lessons-per-day", "7", "--base-url", "https://kb.example/"});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_NE(run.out.find("已发布网页课表（第1次发布"), std::string::npos) << run.out;
  EXPECT_NE(test::ReadFile(dir / "site" / "index.html").find("<h1>育才实验学校 课表</h1>"),
            std::string::npos);
  const std::string page = test::ReadFile(dir / "site" / "c-71.html");
  EXPECT_NE(page.find("<b>数学</b><small>王芳</small>"), std::string::npos) << "lesson 7 of a 7-lesson day";
  EXPECT_NE(page.find("<svg"), std::string::npos) << "the door's QR code";

  const test::CliRun badUrl =
      test::RunCli({"publish", db, "--out", (dir / "other").string(), "--base-url", "kb"});
  EXPECT_EQ(badUrl.exitCode, 1);
  EXPECT_NE(badUrl.err.find("--base-url 无效"), std::string::npos) << badUrl.err;
  EXPECT_FALSE(fs::exists(dir / "other"));

  const test::CliRun underFile = test::RunCli({"publish", db, "--out", (dir / "kbxt.ini" / "site").string()});
  EXPECT_EQ(underFile.exitCode, 1);
  EXPECT_NE(underFile.err.find("发布网页课表失败！"), std::string::npos) << underFile.err;
  EXPECT_NE(underFile.err.find("不是文件夹"), std::string::npos) << underFile.err;

  const test::CliRun missing = test::RunCli({"publish", (dir / "none.mdb").string(), "--out", site});
  EXPECT_EQ(missing.exitCode, 1);
  EXPECT_TRUE(fs::exists(dir / "site" / "c-71.html")) << "the published site stays";
  EXPECT_EQ(test::RunCli({"publish", db}).exitCode, 2) << "--out is required";
}

}  // namespace
}  // namespace orv
