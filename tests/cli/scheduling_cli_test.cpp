// generate and check, run as a user would run them.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "cli/cli_runner.h"
#include "core/database/timetable_db.h"
#include "core/settings/settings.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;

namespace orv {
namespace {

using test::RunCli;
using test::TempDir;

std::string LastLine(const std::string& text) {
  std::istringstream in(text);
  std::string line, last;
  while (std::getline(in, line))
    if (!line.empty()) last = line;
  return last;
}

using LessonRow = std::tuple<std::string, int, int, std::string, std::string, int>;

std::vector<LessonRow> Lessons(const std::string& path) {
  auto db = TimetableDb::Open(path);
  EXPECT_TRUE(db);
  std::vector<LessonRow> rows;
  if (!db) return rows;
  Cursor c = db->Query(
      "select ClassCode,Day,LessonNo,CourseCode,TeacherCode,SetFlag from LessonListtb order by rowid");
  while (c.Next()) rows.emplace_back(c.Text(0), c.Int(1), c.Int(2), c.Text(3), c.Text(4), c.Int(5));
  return rows;
}

class SchedulingCli : public ::testing::Test {
 protected:
  void SetUp() override {
    db = (dir / "kb.mdb").string();
    ASSERT_EQ(RunCli({"demo", db}).exitCode, 0);
  }
  // Every run reads kbxt.ini from this directory, so the test never depends
  // on a settings file beside the built program.
  test::CliRun Run(std::vector<std::string> args) {
    args.insert(args.begin(), {"--program-dir", dir.Path().string()});
    return RunCli(args);
  }

  TempDir dir;
  std::string db;
};

TEST_F(SchedulingCli, DemoThenGenerateThenCheck) {
  auto run = Run({"generate", db});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_NE(run.out.find("planned lessons: 480\n"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("incomplete plan rows: "), std::string::npos);
  const std::string last = LastLine(run.out);
  int rate = -1;
  ASSERT_EQ(std::sscanf(last.c_str(), "completion: %d%%", &rate), 1) << last;
  EXPECT_GT(rate, 50);
  EXPECT_LE(rate, 100);

  run = Run({"check", db});
  EXPECT_EQ(run.exitCode, 0) << run.out;
  EXPECT_EQ(LastLine(run.out), "violations: 0, warnings: 0");
}

TEST_F(SchedulingCli, SameSeedOrFreshStartGivesTheSameTimetable) {
  const std::string copy = (dir / "copy.mdb").string();
  fs::copy_file(db, copy);
  const std::string other = (dir / "other.mdb").string();
  fs::copy_file(db, other);

  ASSERT_EQ(Run({"generate", db, "--seed", "11"}).exitCode, 0);
  ASSERT_EQ(Run({"generate", copy, "--seed", "11"}).exitCode, 0);
  EXPECT_EQ(Lessons(db), Lessons(copy));

  ASSERT_EQ(Run({"generate", db}).exitCode, 0);
  ASSERT_EQ(Run({"generate", other}).exitCode, 0);
  EXPECT_EQ(Lessons(db), Lessons(other)) << "the default seed is the same at every start";
}

TEST_F(SchedulingCli, LessonsPerDayFromTheOptionElseTheSettingsFileElseSix) {
  auto run = Run({"generate", db});
  ASSERT_EQ(run.exitCode, 0);
  EXPECT_NE(run.out.find("lessons per day: 6\n"), std::string::npos);

  ASSERT_TRUE(Settings(dir.Path()).SetLessonsPerDay(7));
  run = Run({"generate", db});
  ASSERT_EQ(run.exitCode, 0);
  EXPECT_NE(run.out.find("lessons per day: 7\n"), std::string::npos);

  run = Run({"generate", db, "--lessons-per-day", "6"});
  ASSERT_EQ(run.exitCode, 0);
  EXPECT_NE(run.out.find("lessons per day: 6\n"), std::string::npos);

  EXPECT_EQ(Run({"generate", db, "--lessons-per-day", "5"}).exitCode, 2);
  EXPECT_EQ(Run({"check", db, "--lessons-per-day", "8"}).exitCode, 2);
  EXPECT_EQ(Run({"generate"}).exitCode, 2);
}

TEST_F(SchedulingCli, EmptyPlanFailsAndKeepsTheTimetable) {
  const std::string empty = (dir / "empty.mdb").string();
  ASSERT_EQ(RunCli({"init", empty}).exitCode, 0);
  {
    auto t = TimetableDb::Open(empty);
    ASSERT_TRUE(t);
    t->Execute("insert into LessonListtb values (?,?,?,?,?,?)", "101", 1, 1, "01", "001", 2);
  }
  const auto run = Run({"generate", empty});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.err.find("生成课表失败！"), std::string::npos) << run.err;
  EXPECT_EQ(Lessons(empty).size(), 1u);

  EXPECT_EQ(Run({"generate", (dir / "missing.mdb").string()}).exitCode, 1);
  EXPECT_EQ(Run({"check", (dir / "missing.mdb").string()}).exitCode, 1);
}

TEST_F(SchedulingCli, CheckReportsEachBrokenRuleAndFailsOnViolations) {
  ASSERT_EQ(Run({"generate", db, "--seed", "3"}).exitCode, 0);
  {
    auto t = TimetableDb::Open(db);
    ASSERT_TRUE(t);
    // Class 11 gets a seventh lesson with a teacher outside its plan.
    const std::string teacher = t->FirstText("select Code from Teachertb order by Code desc").value_or("");
    t->Execute("insert into LessonListtb values (?,?,?,?,?,?)", "11", 2, 7, "01", teacher, 2);
  }
  auto run = Run({"check", db});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.out.find("违规：一（1）班 星期二第7节："), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("警告：一（1）班 星期二第7节：语文由"), std::string::npos) << run.out;
  EXPECT_EQ(LastLine(run.out).rfind("violations: ", 0), 0u);

  // With seven lessons a day the lesson is inside the week; the teacher and
  // the daily count remain, as warnings.
  run = Run({"check", db, "--lessons-per-day", "7"});
  EXPECT_EQ(LastLine(run.out).rfind("violations: 0, warnings: ", 0), 0u) << run.out;
  EXPECT_EQ(run.exitCode, 0);
}

}  // namespace
}  // namespace orv
