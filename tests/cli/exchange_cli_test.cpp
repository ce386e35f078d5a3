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

}  // namespace
}  // namespace orv
