// SPDX-License-Identifier: GPL-3.0-or-later
// template and export-data run as a user runs them: the workbook written,
// an existing file kept without --force, and a bad name or database refused
// with nothing written.
#include <gtest/gtest.h>

#include <fstream>

#include "cli/cli_runner.h"
#include "support/test_db.h"
#include "support/xlsx_reader.h"

namespace fs = std::filesystem;

namespace orv {
namespace {

std::string Contents(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

TEST(ExchangeCli, TemplateIsWrittenAndAnExistingFileIsReplacedOnlyWithForce) {
  const test::TempDir dir;
  const std::string out = (dir.Path() / "导入模板.xlsx").string();
  const test::CliRun written = test::RunCli({"template", "--out", out});
  ASSERT_EQ(written.exitCode, 0) << written.err;
  EXPECT_EQ(test::XlsxSheetNames(out).at(1), "课程");
  EXPECT_EQ(test::ReadXlsx(out, 5).Text("A1"), "班级");

  std::ofstream(out, std::ios::trunc) << "the school's own file";
  const test::CliRun kept = test::RunCli({"template", "--out", out});
  EXPECT_EQ(kept.exitCode, 1);
  EXPECT_NE(kept.err.find("--force"), std::string::npos) << kept.err;
  EXPECT_EQ(Contents(out), "the school's own file");
  ASSERT_EQ(test::RunCli({"template", "--out", out, "--force"}).exitCode, 0);
  EXPECT_EQ(test::XlsxSheetNames(out).at(0), "说明");

  const test::CliRun wrongName = test::RunCli({"template", "--out", (dir.Path() / "t.xls").string()});
  EXPECT_EQ(wrongName.exitCode, 1);
  EXPECT_NE(wrongName.err.find(".xlsx"), std::string::npos) << wrongName.err;
  EXPECT_FALSE(fs::exists(dir.Path() / "t.xls"));
}

TEST(ExchangeCli, ExportDataWritesTheSchoolAndRefusesAMissingDatabase) {
  test::TestDb t;
  t.AddClass("11", "一（1）班", "一年级（1）班", "一（1）");
  t.AddCourse("01", "语文");
  t.AddTeacher("001", "王伟");
  t.AddPlan("11", "01", "001", 5);
  t.Close();
  const std::string out = (t.dir().Path() / "school.xlsx").string();
  const test::CliRun run = test::RunCli({"export-data", t.path().string(), "--out", out});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  const test::XlsxSheet plan = test::ReadXlsx(out, 5);
  EXPECT_EQ(plan.name, "教学计划");
  EXPECT_EQ(plan.Text("A2") + plan.Text("B2") + plan.Text("C2") + plan.Text("E2") + plan.Text("F2"),
            "一（1）班11语文王伟001");
  EXPECT_EQ(plan.Text("G2"), "5");

  const std::string other = (t.dir().Path() / "other.xlsx").string();
  const test::CliRun missing =
      test::RunCli({"export-data", (t.dir().Path() / "none.mdb").string(), "--out", other});
  EXPECT_EQ(missing.exitCode, 1);
  EXPECT_FALSE(missing.err.empty());
  EXPECT_FALSE(fs::exists(other));
}

TEST(ExchangeCli, ImportChecksFirstDryRunWritesNothingAndAProblemExitsNonZero) {
  test::TestDb t;
  t.AddClass("11", "一（1）班", "一年级（1）班", "一（1）");
  t.AddCourse("01", "语文");
  t.AddTeacher("001", "王伟");
  t.Close();
  const std::string db = t.path().string();
  const fs::path plan = t.dir().Path() / "教学计划.csv";
  std::ofstream(plan) << "班级,课程,教师,每周节数\n一(1)班,语文,王伟,5\n一(1)班,数学,王伟,4\n";

  const test::CliRun refused = test::RunCli({"import", db, plan.string()});
  EXPECT_EQ(refused.exitCode, 1);
  EXPECT_NE(refused.err.find("发现 1 个问题，没有导入任何数据"), std::string::npos) << refused.err;
  EXPECT_NE(refused.err.find("教学计划 第3行 课程：没有名为“数学”的课程"), std::string::npos) << refused.err;

  const test::CliRun dry = test::RunCli({"import", db, plan.string(), "--dry-run", "--create-missing"});
  ASSERT_EQ(dry.exitCode, 0) << dry.err;
  EXPECT_NE(dry.out.find("教学计划：新增 2，修改 0，不变 0"), std::string::npos) << dry.out;
  EXPECT_NE(dry.out.find("新增  课程  数学（02）"), std::string::npos) << dry.out;
  t.Reopen();
  EXPECT_EQ(t.Count("select count(*) from ClassPlantb"), 0);
  t.Close();

  const test::CliRun done = test::RunCli({"import", db, plan.string(), "--create-missing"});
  ASSERT_EQ(done.exitCode, 0) << done.err;
  EXPECT_EQ(test::LastLine(done.out), "导入完成：新增 3，修改 0，不变 0");
  t.Reopen();
  EXPECT_EQ(t.Count("select sum(Count) from ClassPlantb"), 9);
  t.Close();

  const test::CliRun badKind = test::RunCli({"import", db, plan.string(), "--kind", "pupils"});
  EXPECT_EQ(badKind.exitCode, 1);
  EXPECT_NE(badKind.err.find("--kind"), std::string::npos) << badKind.err;
}

}  // namespace
}  // namespace orv
