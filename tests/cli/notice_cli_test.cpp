// SPDX-License-Identifier: GPL-3.0-or-later
// changes, publications and export-csv run as a user runs them: the notice
// after a swap, "nothing changed" and "nothing published", a version that
// was never published refused, and the CSV file written safely.
#include <gtest/gtest.h>

#include <fstream>

#include "cli/cli_runner.h"
#include "core/editing/timetable_edit.h"
#include "core/publish/publications.h"
#include "support/process.h"
#include "support/test_db.h"

namespace fs = std::filesystem;

namespace orv {
namespace {

std::string Contents(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

class NoticeCli : public ::testing::Test {
 protected:
  void SetUp() override {
    t.AddClass("702", "七（2）班");
    t.AddCourse("01", "语文");
    t.AddCourse("02", "数学");
    t.AddTeacher("T1", "王伟");
    t.AddTeacher("T2", "李明");
    t.AddPlan("702", "02", "T1", 1);
    t.AddPlan("702", "01", "T2", 1);
    t.AddLesson("702", 3, 2, "02", "T1", 1);
    t.AddLesson("702", 4, 5, "01", "T2", 0);
  }
  void Publish(const std::string& at) {
    ASSERT_TRUE(RecordPublication(t.db(), ReadPublishedSchool(t.db(), 6, "").value(), at));
  }
  test::TestDb t;
};

TEST_F(NoticeCli, ChangesSaysWhatMovedForEachTeacherAndClass) {
  const std::string db = t.path().string();
  t.Close();
  const test::CliRun never = test::RunCli({"changes", db});
  EXPECT_EQ(never.exitCode, 0) << never.err;
  EXPECT_EQ(never.out, "还没有发布过课表，没有可以比较的版本\n");
  EXPECT_EQ(test::RunCli({"publications", db}).out, "还没有发布过课表\n");

  const test::CliRun recorded = test::RunCli({"publications", db, "--record"});
  ASSERT_EQ(recorded.exitCode, 0) << recorded.err;
  EXPECT_TRUE(recorded.out.starts_with("已记为第1次发布（20")) << recorded.out;
  EXPECT_NE(recorded.out.find("，2节课）"), std::string::npos) << recorded.out;
  const std::string none = test::RunCli({"changes", db}).out;
  EXPECT_TRUE(none.starts_with("自第1次发布（20") && none.ends_with("）以来没有变动\n")) << none;

  t.Reopen();
  t.db().Execute("delete from PublishedLessontb");
  t.db().Execute("delete from Publicationtb");
  Publish("2026-09-01 08:00");
  ASSERT_TRUE(SwapLessons(t.db(), "702", 3, 2, 4, 5, 6));
  Publish("2026-09-08 08:00");
  t.Close();
  const test::CliRun same = test::RunCli({"changes", db});
  EXPECT_EQ(same.exitCode, 0) << same.err;
  EXPECT_EQ(same.out, "自第2次发布（2026-09-08 08:00）以来没有变动\n");
  const test::CliRun since1 = test::RunCli({"changes", db, "--since", "1"});
  EXPECT_EQ(since1.exitCode, 0) << since1.err;
  EXPECT_EQ(since1.out,
            "自第1次发布（2026-09-01 08:00）以来的变动：\n"
            "教师\n"
            "  王伟：\n"
            "    星期三第2节 数学（七（2）班）改到 星期四第5节\n"
            "  李明：\n"
            "    星期四第5节 语文（七（2）班）改到 星期三第2节\n"
            "班级\n"
            "  七（2）班：\n"
            "    星期三第2节 数学（王伟）改到 星期四第5节\n"
            "    星期四第5节 语文（李明）改到 星期三第2节\n");
  EXPECT_EQ(test::RunCli({"publications", db}).out,
            "第1次发布  2026-09-01 08:00  每天6节\n第2次发布  2026-09-08 08:00  每天6节\n");

#ifdef ORVANDEL_CLI_PRINTS
  // A page for each of the two teachers, and an existing file kept without --force.
  const std::string pdf = (t.dir().Path() / "变更通知.pdf").string();
  // Where fontconfig knows no font, no notice of empty boxes is printed.
  const std::string conf = (t.dir().Path() / "fonts.conf").string();
  std::ofstream(conf) << "<?xml version=\"1.0\"?>\n<fontconfig></fontconfig>\n";
  const char* cli =
      getenv("ORVANDEL_CLI") && *getenv("ORVANDEL_CLI") ? getenv("ORVANDEL_CLI") : ORVANDEL_CLI_PATH;
  const test::CliRun boxes =
      test::RunProcess(cli, {"changes", db, "--since", "1", "--pdf", pdf}, {{"FONTCONFIG_FILE", conf}});
  EXPECT_EQ(boxes.exitCode, 1);
  EXPECT_EQ(boxes.err.find("没有找到中文字体"), 0u) << boxes.err;
  EXPECT_FALSE(fs::exists(pdf));
  const test::CliRun printed = test::RunCli({"changes", db, "--since", "1", "--pdf", pdf});
  ASSERT_EQ(printed.exitCode, 0) << printed.err;
  EXPECT_NE(test::RunProcess("/usr/bin/pdfinfo", {pdf}).out.find("Pages:           2\n"), std::string::npos);
  const std::string text = test::RunProcess("/usr/bin/pdftotext", {pdf, "-"}).out;
  EXPECT_NE(text.find("星期三第2节 数学（七（2）班）改到 星期四第5节"), std::string::npos) << text;
  EXPECT_EQ(test::RunCli({"changes", db, "--since", "1", "--pdf", pdf}).exitCode, 1);
  EXPECT_EQ(test::RunCli({"changes", db, "--since", "1", "--pdf", pdf, "--force"}).exitCode, 0);
#endif

  const test::CliRun unknown = test::RunCli({"changes", db, "--since", "3"});
  EXPECT_EQ(unknown.exitCode, 1);
  EXPECT_NE(unknown.err.find("没有第3次发布"), std::string::npos) << unknown.err;
  EXPECT_TRUE(unknown.out.empty());
}

TEST_F(NoticeCli, ExportCsvWritesEveryLessonAndKeepsAnExistingFileWithoutForce) {
  const std::string db = t.path().string();
  t.Close();
  const fs::path out = t.dir().Path() / "课表.csv";
  const test::CliRun run = test::RunCli({"export-csv", db, "--out", out.string()});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  const std::string csv =
      "\xEF\xBB\xBF班级,星期,节次,课程,教师,来源\r\n"
      "七（2）班,星期三,2,数学,王伟,自动\r\n"
      "七（2）班,星期四,5,语文,李明,固定\r\n";
  EXPECT_EQ(Contents(out), csv);

  std::ofstream(out, std::ios::trunc) << "the school's own file";
  const test::CliRun kept = test::RunCli({"export-csv", db, "--out", out.string()});
  EXPECT_EQ(kept.exitCode, 1);
  EXPECT_NE(kept.err.find("--force"), std::string::npos) << kept.err;
  EXPECT_EQ(Contents(out), "the school's own file");
  ASSERT_EQ(test::RunCli({"export-csv", db, "--out", out.string(), "--force"}).exitCode, 0);
  EXPECT_EQ(Contents(out), csv);

  for (const fs::path& bad : {t.dir().Path() / "课表.txt", t.dir().Path() / "没有这个文件夹" / "课表.csv"}) {
    const test::CliRun refused = test::RunCli({"export-csv", db, "--out", bad.string()});
    EXPECT_EQ(refused.exitCode, 1) << bad;
    EXPECT_FALSE(refused.err.empty());
    EXPECT_FALSE(fs::exists(bad));
  }
}

}  // namespace
}  // namespace orv
