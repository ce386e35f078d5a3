// SPDX-License-Identifier: GPL-3.0-or-later
// calendar run as a user runs it: the issue's own command stores a term that
// prints back in plain Chinese, a repeated run changes nothing, and every
// kind of bad option is told with exit 1 and the stored calendar untouched.
#include <gtest/gtest.h>

#include "cli/cli_runner.h"
#include "support/test_db.h"

namespace orv {
namespace {

class CalendarCli : public ::testing::Test {
 protected:
  void SetUp() override { t.Close(); }
  test::CliRun Run(std::vector<std::string> args) {
    args.insert(args.begin(), {"calendar", t.path().string()});
    return test::RunCli(args);
  }
  // What `calendar DB` prints: the stored calendar.
  std::string Shown() {
    const test::CliRun shown = Run({"--lessons-per-day", "7"});
    EXPECT_EQ(shown.exitCode, 0) << shown.err;
    return shown.out;
  }
  test::TestDb t;
};

const std::vector<std::string> kAutumn = {"--term-start",
                                          "2026-09-01",
                                          "--weeks",
                                          "20",
                                          "--bell",
                                          "1=08:00-08:40",
                                          "--bell",
                                          "2=8:50-9:30",
                                          "--holiday",
                                          "2026-10-01..2026-10-07",
                                          "--holiday",
                                          "2026-12-25",
                                          "--makeup",
                                          "2026-10-11=3",
                                          "--makeup",
                                          "2026-09-27=周一",
                                          "--lessons-per-day",
                                          "7"};

TEST_F(CalendarCli, StoresTheTermAndPrintsItBackInChinese) {
  EXPECT_EQ(Shown(), "尚未填写学期\n作息时间：未填写\n假日：无\n调休：无\n");
  const test::CliRun saved = Run(kAutumn);
  ASSERT_EQ(saved.exitCode, 0) << saved.err;
  const std::string want =
      "本学期 2026-09-01 至 2027-01-17，共 20 周，上课 95 天\n"
      "作息时间：\n  第1节 08:00-08:40\n  第2节 08:50-09:30\n  第3节 未填写\n  第4节 未填写\n"
      "  第5节 未填写\n  第6节 未填写\n  第7节 未填写\n"
      "假日：\n  2026-10-01 至 2026-10-07（7天）\n  2026-12-25\n"
      "调休：\n  2026-09-27（星期日）按星期一上课\n  2026-10-11（星期日）按星期三上课\n";
  EXPECT_EQ(saved.out, "校历已保存。\n" + want);
  EXPECT_EQ(Shown(), want);
  // The same command again: the same calendar, nothing doubled.
  ASSERT_EQ(Run(kAutumn).exitCode, 0);
  EXPECT_EQ(Shown(), want);

  // A bell given again replaces that lesson's; the clear options empty their part first.
  const test::CliRun changed = Run({"--bell", "2=09:00-09:40", "--clear-holidays", "--clear-makeups",
                                    "--holiday", "2026-11-02", "--makeup", "2026-11-01=星期五"});
  ASSERT_EQ(changed.exitCode, 0) << changed.err;
  EXPECT_NE(changed.out.find("  第2节 09:00-09:40\n"), std::string::npos) << changed.out;
  EXPECT_NE(changed.out.find("假日：\n  2026-11-02\n调休：\n  2026-11-01（星期日）按星期五上课\n"),
            std::string::npos)
      << changed.out;
  t.Reopen();
  EXPECT_EQ(t.Count("select count(*) from BellTimetb"), 2);
  EXPECT_EQ(t.Count("select count(*) from CalendarDaytb"), 2);
  t.Close();
  ASSERT_EQ(Run({"--clear-bells"}).exitCode, 0);
  EXPECT_NE(Shown().find("作息时间：未填写\n"), std::string::npos);
}

TEST_F(CalendarCli, BadOptionsAreToldAndChangeNothing) {
  ASSERT_EQ(Run(kAutumn).exitCode, 0);
  const std::string before = Shown();
  const struct {
    std::vector<std::string> args;
    const char* says;
  } cases[] = {
      {{"--term-start", "2026-09-31"}, "学期第一天“2026-09-31”不是有效的日期"},
      {{"--weeks", "twenty"}, "学期周数“twenty”应为1至30的整数"},
      {{"--weeks", "31"}, "学期周数应为1至30的整数"},
      {{"--bell", "3=10:00"}, "作息时间“3=10:00”应写成 节次=上课-下课"},
      {{"--bell", "3=10:00-25:00"}, "应写成 节次=上课-下课"},
      {{"--bell", "3=09:20-10:00"}, "第3节的上课时间（09:20）早于第2节的下课时间（09:30）"},
      {{"--bell", "3=10:00-09:40"}, "第3节的下课时间（09:40）应晚于上课时间（10:00）"},
      {{"--holiday", "2026-10-09..2026-10-08"}, "假日范围“2026-10-09..2026-10-08”的结束日期早于开始日期"},
      {{"--holiday", "2026-10-08..2027-06-30"}, "假日2027-01-18不在本学期（2026-09-01至2027-01-17）之内"},
      {{"--holiday", "2026-10-11"}, "2026-10-11填写了两次"},
      {{"--makeup", "2026-10-18"}, "调休“2026-10-18”应写成 日期=星期"},
      {{"--makeup", "2026-10-18=星期六"}, "的星期应为 1 至 5"},
      {{"--makeup", "2026-10-19=2"}, "调休日2026-10-19是星期一，本来就上课"},
      // A term moved later leaves the stored National Day holidays outside it.
      {{"--term-start", "2026-10-12"}, "假日2026-10-01不在本学期"},
  };
  for (const auto& c : cases) {
    // Each bad option comes with a good one, which must not be stored either.
    std::vector<std::string> args = c.args;
    args.insert(args.end(), {"--holiday", "2026-11-20", "--lessons-per-day", "7"});
    const test::CliRun run = Run(args);
    EXPECT_EQ(run.exitCode, 1) << c.says;
    EXPECT_NE(run.err.find(std::string("校历没有改变：")), std::string::npos) << run.err;
    EXPECT_NE(run.err.find(c.says), std::string::npos) << run.err;
    EXPECT_EQ(run.out, "");
  }
  EXPECT_EQ(Shown(), before);
}

TEST_F(CalendarCli, ATermNeedsItsWeeksAndABellBeyondTheDayIsRefused) {
  const test::CliRun noWeeks = Run({"--term-start", "2027-03-01"});
  EXPECT_EQ(noWeeks.exitCode, 1);
  EXPECT_NE(noWeeks.err.find("请用 --weeks 填写学期周数"), std::string::npos) << noWeeks.err;
  const test::CliRun noTerm = Run({"--holiday", "2027-04-05"});
  EXPECT_EQ(noTerm.exitCode, 1);
  EXPECT_NE(noTerm.err.find("没有填写学期第一天"), std::string::npos) << noTerm.err;
  // The test database keeps six lessons a day unless told otherwise.
  const test::CliRun seventh = Run({"--bell", "7=15:40-16:20"});
  EXPECT_EQ(seventh.exitCode, 1);
  EXPECT_NE(seventh.err.find("第7节不在每天的6节课之内"), std::string::npos) << seventh.err;
  t.Reopen();
  EXPECT_EQ(t.Count("select count(*) from Termtb") + t.Count("select count(*) from BellTimetb") +
                t.Count("select count(*) from CalendarDaytb"),
            0);
  t.Close();
}

}  // namespace
}  // namespace orv
