// SPDX-License-Identifier: GPL-3.0-or-later
// quality and optimize, and the optimiser at the end of generate --complete
// and complete, run as a user would run them.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "cli/cli_runner.h"
#include "support/temp_dir.h"
#include "support/test_db.h"

namespace orv {
namespace {

using test::LastLine;

// The number after `label` in the output, -1 when it is not there.
long long Number(const std::string& out, const std::string& label) {
  const auto at = out.find(label);
  return at == std::string::npos ? -1 : std::stoll(out.substr(at + label.size()));
}

class QualityCli : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(test::RunCli({"demo", db, "--lessons-per-day", "7"}).exitCode, 0); }
  test::CliRun Run(std::vector<std::string> args) {
    args.insert(args.begin(), {"--program-dir", dir.Path().string()});
    return test::RunCli(args);
  }
  std::string Lessons() {
    return test::OpenDb(db)
        ->FirstText(
            "select group_concat(Day||'/'||LessonNo,' ') from (select * from LessonListtb order by rowid)")
        .value_or("");
  }

  test::TempDir dir;
  std::string db = (dir / "kb.mdb").string();
};

TEST_F(QualityCli, GenerateCompleteOptimizesAndQualityReportsTheScoreItReached) {
  auto run = Run({"generate", db, "--complete", "--seed", "3"});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  const long long before = Number(run.out, "优化前评分：");
  const long long after = Number(run.out, "优化后评分：");
  ASSERT_GE(before, 0) << run.out;
  EXPECT_LT(after, before) << run.out;
  EXPECT_GE(after, 0);
  EXPECT_EQ(LastLine(run.out), "课表完成率：100%");
  EXPECT_EQ(LastLine(Run({"check", db}).out), "违规 0 处，警告 0 处");

  run = Run({"quality", db});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(LastLine(run.out), "评分：" + std::to_string(after));
  EXPECT_NE(run.out.find("违反硬性规则：0（排课规则：0，课：0）\n"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("空闲超过 3 节的教师："), std::string::npos) << run.out;

  run = Run({"quality", db, "--json"});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.out.front(), '{');
  EXPECT_EQ(run.out.substr(run.out.size() - 2), "}\n");
  EXPECT_EQ(Number(run.out, "\"score\":"), after) << run.out;
  EXPECT_EQ(Number(run.out, "\"lessonBreaches\":"), 0) << run.out;

  // Optimizing again from there never makes it worse, and writes what it says.
  run = Run({"optimize", db, "--seed", "9", "--time-limit", "1"});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(Number(run.out, "优化前评分："), after);
  const long long again = Number(run.out, "优化后评分：");
  EXPECT_LE(again, after);
  EXPECT_EQ(LastLine(Run({"quality", db}).out), "评分：" + std::to_string(again));
}

TEST_F(QualityCli, NoOptimizeLeavesTheCompletionAndAZeroLimitChangesNothing) {
  auto run = Run({"generate", db, "--complete", "--no-optimize"});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.out.find("optimizing"), std::string::npos) << run.out;
  const std::string before = Lessons();
  const std::string score = LastLine(Run({"quality", db}).out);

  run = Run({"optimize", db, "--time-limit", "0"});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_NE(run.out.find("优化移动的课：0"), std::string::npos) << run.out;
  EXPECT_EQ(Lessons(), before);
  EXPECT_EQ(LastLine(Run({"quality", db}).out), score);

  run = Run({"complete", db, "--optimize-time-limit", "1"});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_LT(Number(run.out, "优化后评分："), Number(run.out, "优化前评分："));
}

TEST_F(QualityCli, AnUnreadableDatabaseExits3AndBadArgumentsExit2) {
  const std::string missing = (dir / "missing.mdb").string();
  auto run = Run({"quality", missing});
  EXPECT_EQ(run.exitCode, 3);
  EXPECT_NE(run.err.find(missing), std::string::npos) << run.err;
  EXPECT_TRUE(run.out.empty()) << run.out;

  const std::string garbage = (dir / "garbage.mdb").string();
  std::FILE* f = std::fopen(garbage.c_str(), "wb");
  ASSERT_NE(f, nullptr);
  std::fputs("this is not a timetable", f);
  std::fclose(f);
  EXPECT_EQ(Run({"quality", garbage, "--json"}).exitCode, 3);

  run = Run({"optimize", missing});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_FALSE(run.err.empty());
  EXPECT_EQ(Run({"optimize", db, "--time-limit", "-1"}).exitCode, 2);
  EXPECT_EQ(Run({"quality", db, "--lessons-per-day", "8"}).exitCode, 2);
}

}  // namespace
}  // namespace orv
