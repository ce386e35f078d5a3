// SPDX-License-Identifier: GPL-3.0-or-later
// generate, check, analyze and complete, run as a user would run them.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "cli/cli_runner.h"
#include "core/database/school_rules.h"
#include "core/settings/settings.h"
#include "support/temp_dir.h"
#include "support/test_db.h"

namespace orv {
namespace {

using test::LastLine;

std::string Lessons(const std::string& path) {
  return test::OpenDb(path)
      ->FirstText(
          "select group_concat(ClassCode||'/'||Day||'/'||LessonNo||'/'||TeacherCode,' ') from"
          " (select * from LessonListtb order by rowid)")
      .value_or("");
}

int Rate(const std::string& out) {
  int rate = -1;
  EXPECT_EQ(std::sscanf(LastLine(out).c_str(), "课表完成率：%d%%", &rate), 1) << out;
  return rate;
}

class SchedulingCli : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(test::RunCli({"demo", db}).exitCode, 0); }
  // Every run reads kbxt.ini from this directory, never one beside the program.
  test::CliRun Run(std::vector<std::string> args) {
    args.insert(args.begin(), {"--program-dir", dir.Path().string()});
    return test::RunCli(args);
  }

  test::TempDir dir;
  std::string db = (dir / "kb.mdb").string();
};

TEST_F(SchedulingCli, AnalyzeWarnsAboutASharedNameWithoutBlocking) {
  test::OpenDb(db)->Execute("update Teachertb set Name='张伟' where Code in ('001','002')");
  const auto run = Run({"analyze", db});
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(run.out,
            "警告：2个教师同名“张伟”：张伟（001）、张伟（002），打印和导出时在名称后加代码区分；"
            "如是同一教师重复录入，请删去多余的一条\n错误 0 个，警告 1 个\n");
}

TEST_F(SchedulingCli, AnalyzeGenerateCheckAndCompleteTheDemoSchool) {
  auto run = Run({"analyze", db});
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(run.out, "错误 0 个，警告 0 个\n");

  const std::string copy = (dir / "copy.mdb").string();
  std::filesystem::copy_file(db, copy);
  run = Run({"generate", db});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_NE(run.out.find("计划节数：480\n"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("每天课时数：6\n"), std::string::npos) << "no settings file, no option";
  EXPECT_GT(Rate(run.out), 50);
  ASSERT_EQ(Run({"generate", copy}).exitCode, 0);
  EXPECT_EQ(Lessons(db), Lessons(copy)) << "a fresh start gives the same timetable";

  // The generation consults only the course's marks: lessons may stand in
  // the demo teachers' "不排" cells, which the check warns about.
  run = Run({"check", db});
  EXPECT_EQ(run.exitCode, 0) << run.out;
  EXPECT_EQ(LastLine(run.out).rfind("违规 0 处，警告 ", 0), 0u) << run.out;

  // The completion alone (the optimizer after it has its own tests).
  run = Run({"generate", db, "--complete", "--seed", "5", "--no-optimize"});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_NE(run.out.find("自动生成后的完成率："), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("仍缺的课：0\n"), std::string::npos) << run.out;
  EXPECT_EQ(LastLine(run.out), "课表完成率：100%");
  EXPECT_EQ(LastLine(Run({"check", db}).out), "违规 0 处，警告 0 处");

  // Completing a complete timetable changes nothing.
  const std::string before = Lessons(db);
  run = Run({"complete", db, "--no-optimize"});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_NE(run.out.find("补排的课：0\n移动的课：0\n移除的课：0\n"), std::string::npos) << run.out;
  EXPECT_EQ(LastLine(run.out), "课表完成率：100%");
  EXPECT_EQ(Lessons(db), before);
}

TEST_F(SchedulingCli, LessonsPerDayFromTheOptionElseTheDatabaseFailuresExit1BadArgumentsExit2) {
  ASSERT_TRUE(Settings(dir.Path()).SetLessonsPerDay(7));
  EXPECT_NE(Run({"generate", db}).out.find("每天课时数：6\n"), std::string::npos)
      << "the school's own day, not the computer's";
  // A 7-lesson school made without settings is scheduled and checked with its 7 lessons.
  const std::string seven = (dir / "seven.mdb").string();
  ASSERT_EQ(test::RunCli({"demo", seven, "--lessons-per-day", "7"}).exitCode, 0);
  ASSERT_TRUE(Settings(dir.Path()).SetLessonsPerDay(6));
  auto generated = Run({"generate", seven, "--complete"});
  EXPECT_NE(generated.out.find("每天课时数：7\n"), std::string::npos) << generated.out;
  EXPECT_EQ(LastLine(generated.out), "课表完成率：100%");
  EXPECT_EQ(LastLine(Run({"check", seven}).out), "违规 0 处，警告 0 处");

  // An explicit longer day is recorded; a shorter one that would strand lessons is refused.
  EXPECT_NE(Run({"generate", db, "--lessons-per-day", "7"}).out.find("每天课时数：7\n"), std::string::npos);
  EXPECT_NE(Run({"generate", db}).out.find("每天课时数：7\n"), std::string::npos);
  const std::string before = Lessons(db);
  generated = Run({"generate", db, "--lessons-per-day", "6"});
  EXPECT_EQ(generated.exitCode, 1);
  EXPECT_NE(generated.err.find("不能按每天6节排课"), std::string::npos) << generated.err;
  EXPECT_EQ(Lessons(db), before);

  const std::string empty = (dir / "empty.mdb").string(), missing = (dir / "missing.mdb").string();
  ASSERT_EQ(test::RunCli({"init", empty}).exitCode, 0);
  test::OpenDb(empty)->Execute("insert into LessonListtb values ('101',1,1,'01','001',2)");
  auto run = Run({"generate", empty});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.err.find("生成课表失败！ 教学计划为空或总课时为0"), std::string::npos) << run.err;
  run = Run({"complete", empty});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_EQ(run.err, "补排课表失败！ 教学计划为空，没有需要补排的课程\n");
  EXPECT_EQ(Lessons(empty), "101/1/1/001") << "the empty plan keeps the timetable";

  const std::pair<std::vector<std::string>, int> cases[] = {
      {{"generate", missing}, 1},
      {{"check", missing}, 3},  // could not look, unlike violations found (1)
      {{"complete", missing}, 1},
      {{"analyze", missing}, 3},
      {{"generate"}, 2},
      {{"generate", db, "--lessons-per-day", "5"}, 2},
      {{"check", db, "--lessons-per-day", "8"}, 2},
      {{"analyze", db, "--lessons-per-day", "5"}, 2},
      {{"complete", db, "--time-limit", "0"}, 2},
      {{"complete", db, "--seed", "x"}, 2},
  };
  for (const auto& [args, exitCode] : cases)
    EXPECT_EQ(Run(args).exitCode, exitCode) << args[0] << args.back();
}

TEST_F(SchedulingCli, CheckReportsEachBrokenRuleAndExits1OnViolations) {
  ASSERT_EQ(Run({"generate", db, "--seed", "3"}).exitCode, 0);
  {
    // Class 11 gets a seventh lesson with a teacher outside its plan.
    auto t = test::OpenDb(db);
    const std::string teacher = t->FirstText("select Code from Teachertb order by Code desc").value_or("");
    t->Execute("insert into LessonListtb values (?,?,?,?,?,?)", "11", 2, 7, "01", teacher, 2);
  }
  auto run = Run({"check", db});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.out.find("违规：一（1）班 星期二第7节："), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("警告：一（1）班 星期二第7节：语文由"), std::string::npos) << run.out;
  EXPECT_EQ(LastLine(run.out).rfind("违规 1 处，警告 ", 0), 0u) << run.out;

  // With seven lessons a day the lesson is inside the week; only warnings remain.
  run = Run({"check", db, "--lessons-per-day", "7"});
  EXPECT_EQ(LastLine(run.out).rfind("违规 0 处，警告 ", 0), 0u) << run.out;
  EXPECT_EQ(run.exitCode, 0);
}

TEST_F(SchedulingCli, CheckReportsABrokenStatedRuleAsAViolation) {
  ASSERT_EQ(Run({"generate", db, "--complete", "--seed", "2"}).exitCode, 0);
  ASSERT_EQ(LastLine(Run({"check", db}).out), "违规 0 处，警告 0 处");
  ASSERT_TRUE(SetSchoolRule(*test::OpenDb(db), {RuleKey::kMaxLessonsPerDay, RuleScope::kSchool, "", "", 1}));
  const auto run = Run({"check", db});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_EQ(run.out.rfind("违规：教师", 0), 0u) << run.out;
  EXPECT_NE(run.out.find("节，超过每天最多1节\n"), std::string::npos) << run.out;
}

// A script must tell "the timetable has violations" (1) from "there was
// nothing to look at" (3): a busy database, or a file that is none.
TEST_F(SchedulingCli, CheckAndAnalyzeExit3WhenTheyCannotRun) {
  const std::string notes = (dir / "notes.mdb").string();
  test::WriteFile(notes, std::string(4096, 'x'));
  auto held = test::OpenDb(db);
  for (const char* command : {"check", "analyze"}) {
    for (const auto& [path, why] : {std::pair{db, "数据库已被其他程序打开"}, {notes, "不是课表数据库文件"}}) {
      const auto run = Run({command, path});
      EXPECT_EQ(run.exitCode, 3) << command << " " << path << run.err;
      EXPECT_NE(run.err.find(why), std::string::npos) << run.err;
      EXPECT_EQ(run.out, "") << "no verdict";
    }
  }
  held.reset();
  EXPECT_EQ(Run({"check", db}).exitCode, 0) << "nothing placed, nothing broken";
}

TEST_F(SchedulingCli, AnImpossibleSchoolIsNamedByAnalyzeAndCompleteEndsShortSayingWhy) {
  {
    // The first Chinese teacher is away from Monday to Thursday.
    auto t = test::OpenDb(db);
    const std::string teacher =
        t->FirstText("select TeacherCode from ClassPlantb where CourseCode='01' order by rowid").value_or("");
    for (int day = 1; day <= 4; ++day)
      for (int lesson = 1; lesson <= 6; ++lesson)
        t->Execute("insert into Limittb values (2,?,?,?,3)", teacher, day, lesson);
  }
  auto run = Run({"analyze", db});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_EQ(run.out.rfind("错误：教师", 0), 0u) << run.out;
  EXPECT_EQ(LastLine(run.out).rfind("错误 2 个，警告 ", 0), 0u) << run.out;

  run = Run({"complete", db, "--time-limit", "2"});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_NE(run.out.find("\n未排：一（1）班 语文（"), std::string::npos) << run.out;
  EXPECT_LT(Rate(run.out), 100);
  EXPECT_EQ(LastLine(Run({"check", db}).out).rfind("违规 0 处，", 0), 0u);
}

}  // namespace
}  // namespace orv
