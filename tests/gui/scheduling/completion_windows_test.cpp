// SPDX-License-Identifier: GPL-3.0-or-later
// frmAnalysis (the findings with their icons, the copy button) and the
// completion progress window (a real run, cancelling, failing) on the
// mnuAnalyze and mnuCompleteBuild roads.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>

#include "core/demo/demo_school.h"
#include "core/editing/manual_edit_fixture.h"
#include "core/rules/quality.h"
#include "core/scheduling/build_timetable.h"
#include "gui/scheduling/analysis_window.h"
#include "gui/scheduling/complete_build_window.h"
#include "support/test_program.h"

namespace orv::ui {
namespace {

TEST(Analysis, FindingsAreListedWithTheirSeverityAndCopiedAsText) {
  test::TestProgram program;
  program.AddSmallSchool();
  QString shown, copied;
  auto look = [&](QDialog& d) {
    auto* list = d.findChild<QListWidget*>("lstFindings");
    shown = d.findChild<QLabel*>("lblSummary")->text();
    for (int i = 0; i < list->count(); ++i)
      shown += "\n" + list->item(i)->toolTip() + "|" + list->item(i)->text() + "|" +
               (list->item(i)->icon().isNull() ? "no icon" : "icon");
    QApplication::clipboard()->clear();
    QTest::mouseClick(d.findChild<QPushButton*>("cmdCopy"), Qt::LeftButton);
    copied = QApplication::clipboard()->text();
    QTest::mouseClick(d.findChild<QPushButton*>("cmdClose"), Qt::LeftButton);
  };
  program.prompter().QueueModal(look);
  RunAnalysis(program.ctx(), nullptr);
  EXPECT_EQ(shown.toStdString(), "没有发现问题，可以自动生成课表。\n|没有发现问题|icon");

  // T2 may teach on Mondays only, and a fixed lesson of T1 stands in one of
  // class 11's "不排" cells.
  for (int day = 2; day <= 5; ++day)
    for (int lesson = 1; lesson <= 6; ++lesson)
      program.Exec("insert into Limittb values (2,'T2',?,?,3)", day, lesson);
  program.Exec("insert into Limittb values (0,'11',1,1,3)");
  program.Exec("insert into LessonListtb values ('11',1,1,'01','T1',0)");
  program.prompter().QueueModal(look);
  RunAnalysis(program.ctx(), nullptr);
  const std::string summary =
      "发现 2 个错误、1 个警告。有错误时课表不可能排满，请先修改教学计划、上课时间限制或固定课程。";
  const std::string cap =
      " 数学（李）：每周2节，每天最多1节，除去课程、班级和教师“不排”及已占用的节次，只有1天能排这门课，"
      "最多只能排1节";
  std::string wantShown = summary, wantCopied = summary + "\n";
  for (const auto& [severity, text] : {std::pair<std::string, std::string>{"错误：", "11" + cap},
                                       {"错误：", "12" + cap},
                                       {"警告：", "11 星期一第1节：固定课程语文排在了班级“不排”的时间"}}) {
    wantShown += "\n" + severity + text + "|" + text + "|icon";
    wantCopied += severity + text + "\n";
  }
  EXPECT_EQ(shown.toStdString(), wantShown);
  EXPECT_EQ(copied.toStdString(), wantCopied);

  program.Exec("drop table Limittb");
  RunAnalysis(program.ctx(), nullptr);
  EXPECT_EQ(program.Said().rfind("C|排课前检查|排课前检查失败！\n读取排课数据失败：", 0), 0u)
      << program.Said();
  EXPECT_TRUE(program.prompter().AllAnswersUsed());
}

// Two teachers of one name are a warning, listed with both codes.
TEST(Analysis, ASharedNameIsAWarningThatNamesBothCodes) {
  test::TestProgram program;
  program.AddSmallSchool();
  program.Exec("update Teachertb set Name=(select Name from Teachertb where Code='T1') where Code='T2'");
  QString summary, item;
  program.prompter().QueueModal([&](QDialog& d) {
    auto* list = d.findChild<QListWidget*>("lstFindings");
    summary = d.findChild<QLabel*>("lblSummary")->text();
    if (list->count() == 1) item = list->item(0)->toolTip();
    d.reject();
  });
  RunAnalysis(program.ctx(), nullptr);
  EXPECT_EQ(summary.toStdString(), "发现 0 个错误、1 个警告。警告不妨碍排课，但值得逐条看一看。");
  EXPECT_TRUE(item.startsWith("警告：2个教师同名“") && item.contains("（T1）、") && item.contains("（T2），"))
      << item.toStdString();
  EXPECT_TRUE(program.prompter().AllAnswersUsed());
}

// A cancelled run leaves the timetable as it was; a run to the end places
// every lesson.
TEST(CompleteBuild, ARealRunCancelledChangesNothingAndOtherwisePlacesEveryLesson) {
  test::TestProgram program;
  program.AddSmallSchool();
  program.Exec("insert into LessonListtb values ('11',1,1,'01','T1',1),('12',5,6,'02','T2',0)");
  program.Exec("update ClassPlantb set BuildCount=1 where ClassCode||CourseCode in ('1101','1202')");
  const std::string before = test::TimetableState(*program.state().db);
  program.prompter().QueueModal([](QDialog& d) {
    QTest::mouseClick(d.findChild<QPushButton*>("cmdCancel"), Qt::LeftButton);
    EXPECT_TRUE(test::WaitUntil([&] { return !d.isVisible(); }));
  });
  RunCompleteBuild(program.ctx(), nullptr);
  EXPECT_EQ(program.Said(), "I|补排未排课程|已取消补排，课表没有改动。");
  EXPECT_EQ(test::TimetableState(*program.state().db), before);

  program.prompter().QueueModal([](QDialog& d) {
    EXPECT_EQ(d.objectName() + d.windowTitle(), "frmCompleteBuild补排未排课程");
    EXPECT_TRUE(test::WaitUntil([&] { return !d.isVisible(); }));
  });
  RunCompleteBuild(program.ctx(), nullptr);
  // The optimiser follows the completion and says what it made of the week.
  const std::string said = program.Said();
  EXPECT_EQ(
      said.rfind("I|补排未排课程|课表完成率统计:  100％\n全部课程均已排入（新排入 8 节，调整 0 节）。\n课表",
                 0),
      0u)
      << said;
  EXPECT_NE(said.find("质量分"), std::string::npos) << said;
  EXPECT_EQ(program.Count("select count(*) from LessonListtb where SetFlag=1"), 9);
  EXPECT_EQ(program.Count("select count(*) from ClassPlantb where BuildCount<>Count"), 0);
}

// The window's outcomes with a scripted completion: the cancel button and
// Esc stop a run that is still going, a failure and a short run are reported.
TEST(CompleteBuild, CancelFailureAndShortRunsAreReported) {
  enum class Ends { kCancelButton, kEscape, kCloseBox, kFails, kShort };
  struct Case {
    Ends ends;
    std::string said;
  };
  // Ten missing lessons: the first eight are listed, the rest counted.
  CompletionReport shortRun;
  shortRun.rate = 96;
  shortRun.missingAfter = 10;
  std::string shortSaid = "I|补排未排课程|课表完成率统计:  96％\n还有 10 节课未能排入：";
  for (int i = 0; i < 10; ++i) {
    shortRun.missing.push_back({"11", "02", "T2", "11 数学（李）", 1, "理由" + std::to_string(i)});
    if (i < 8) shortSaid += "\n11 数学（李）缺1节：理由" + std::to_string(i);
  }
  shortSaid += "\n……（另有 2 项）\n可用“排课前检查”查看原因，或在“手工调整课表”中手工安排。";
  const std::string cancelled = "I|补排未排课程|已取消补排，课表没有改动。";
  const Case cases[] = {{Ends::kCancelButton, cancelled},
                        {Ends::kEscape, cancelled},
                        {Ends::kCloseBox, cancelled},
                        {Ends::kFails, "C|补排未排课程|补排课表失败！\n磁盘已满"},
                        {Ends::kShort, shortSaid}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.said);
    test::TestProgram program;
    QString missingShown;
    FrmCompleteBuild* self = nullptr;
    FrmCompleteBuild window(program.ctx(),
                            [&](const FrmCompleteBuild::Progress& progress,
                                const std::atomic<bool>& cancel) -> Result<CompletionReport> {
                              if (c.ends == Ends::kFails) return Outcome::Fail("磁盘已满");
                              if (c.ends == Ends::kShort) return shortRun;
                              // A search that goes on until it is told to stop, or
                              // gives up long after it should have been.
                              for (int missing = 40, step = 0; !cancel; missing = std::max(1, missing - 1)) {
                                if (++step > 2000) return shortRun;
                                progress(missing);
                                if (missing == 30 && missingShown.isEmpty()) {
                                  missingShown = self->lblMissing->text();
                                  if (c.ends == Ends::kCancelButton)
                                    QTest::mouseClick(self->cmdCancel, Qt::LeftButton);
                                  if (c.ends == Ends::kEscape) QTest::keyClick(self, Qt::Key_Escape);
                                  if (c.ends == Ends::kCloseBox) self->close();
                                }
                                QTest::qWait(1);
                              }
                              return Outcome::Fail("stopped", kCompletionCancelled);
                            });
    self = &window;
    window.show();
    ASSERT_TRUE(test::WaitUntil([&] { return !window.isVisible(); }));
    EXPECT_EQ(program.Said(), c.said);
    if (c.ends < Ends::kFails) {
      EXPECT_EQ(missingShown.toStdString(), "尚未排入：30 节");
    }
  }
}

// The optimisation phase with scripted runs: Esc and the close box stop it
// (not the completion, which has written its week); a cancelled or failed
// completion is not followed by it; its failure is reported beside the
// completion's; alone (frmOptimise) it reports after the preface it is given.
TEST(CompleteBuild, TheOptimisationPhaseStopsOnRequestAndIsReportedWithTheCompletion) {
  enum class Ends { kEscape, kCloseBox, kCompletionCancelled, kOptimiserFails, kAlone };
  struct Case {
    Ends ends;
    std::string said;
  };
  const std::string done = "课表完成率统计:  100％\n全部课程均已排入（新排入 3 节，调整 1 节）。\n";
  const Case cases[] = {
      {Ends::kEscape,
       "I|补排未排课程|" + done +
           "已停止优化，保留了目前找到的最好课表。\n课表已优化：质量分 90 → 40（越小越好），调整了 7 节课。"},
      {Ends::kCloseBox,
       "I|补排未排课程|" + done +
           "已停止优化，保留了目前找到的最好课表。\n课表已优化：质量分 90 → 40（越小越好），调整了 7 节课。"},
      {Ends::kCompletionCancelled, "I|补排未排课程|已取消补排，课表没有改动。"},
      {Ends::kOptimiserFails, "W|补排未排课程|" + done + "优化课表失败！\n磁盘已满"},
      {Ends::kAlone, "I|优化课表|课表完成率统计:  100％\n课表质量分 90（越小越好），没有找到更好的安排。"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.said);
    test::TestProgram program;
    int optimisations = 0;
    FrmCompleteBuild* self = nullptr;
    CompletionReport completed;
    completed.rate = 100;
    completed.placedLessons = 3;
    completed.movedLessons = 1;
    FrmCompleteBuild::Runner completion;
    if (c.ends != Ends::kAlone)
      completion = [&](const FrmCompleteBuild::Progress&,
                       const std::atomic<bool>&) -> Result<CompletionReport> {
        if (c.ends == Ends::kCompletionCancelled) return Outcome::Fail("stopped", kCompletionCancelled);
        return completed;
      };
    FrmCompleteBuild window(program.ctx(), completion,
                            [&](const OptimiserControl& control) -> Result<OptimiserReport> {
                              ++optimisations;
                              if (c.ends == Ends::kOptimiserFails) return Outcome::Fail("磁盘已满");
                              OptimiserReport report{90, 90, 0, 0, 0, false, false, 0};
                              for (int step = 0; step < 2000 && !control.cancel->load(); ++step) {
                                control.progress(report.scoreAfter);
                                if (c.ends == Ends::kAlone) return report;
                                report.scoreAfter = 40;
                                report.movedLessons = 7;
                                if (step == 5 && c.ends == Ends::kEscape)
                                  QTest::keyClick(self, Qt::Key_Escape);
                                if (step == 5 && c.ends == Ends::kCloseBox) self->close();
                                QTest::qWait(1);
                              }
                              report.cancelled = control.cancel->load();
                              return report;
                            });
    self = &window;
    window.SetPreface(c.ends == Ends::kAlone ? "课表完成率统计:  100％" : "");
    window.show();
    ASSERT_TRUE(test::WaitUntil([&] { return !window.isVisible(); }));
    EXPECT_EQ(program.Said(), c.said);
    EXPECT_EQ(optimisations, c.ends == Ends::kCompletionCancelled ? 0 : 1);
    EXPECT_EQ(window.objectName().toStdString(), c.ends == Ends::kAlone ? "frmOptimise" : "frmCompleteBuild");
  }
}

// The optimiser after the completion, on a demo school: the stop button ends
// it early and keeps the best week found so far, which is what it reports
// and never worse than the completed week; a run to the end lowers the
// stored score further, to what it reports.
TEST(CompleteBuild, TheOptimiserLowersTheStoredScoreAndStopKeepsTheBestWeekFound) {
  test::TestProgram program("[LESSON]\nLESSON_OF_DAY=6\n");
  TimetableDb& db = *program.state().db;
  DemoOptions school;
  school.classesPerGrade = 6;  // enough work that the score is reported midway
  ASSERT_TRUE(FillDemoSchool(db, school));
  UniformRandom random(7);
  ASSERT_TRUE(BuildTimetable(db, 6, random).ok());
  auto score = [&] {
    Result<QualityReport> r = MeasureQuality(db, SchoolWeek(6));
    EXPECT_TRUE(r) << r.message();
    return r ? r->score : -1;
  };
  const long long generated = score();

  long long beforeOptimising = -1;
  int reports = 0;
  QString shownAtStop;
  FrmCompleteBuild* self = nullptr;
  FrmCompleteBuild window(
      program.ctx(),
      [&](const FrmCompleteBuild::Progress& progress, const std::atomic<bool>& cancel) {
        CompletionOptions options;
        options.lessonsPerDay = 6;
        options.progress = progress;
        options.cancel = &cancel;
        return CompleteTimetable(db, options);
      },
      [&](const OptimiserControl& control) {
        beforeOptimising = score();
        OptimiserControl watched = control;
        watched.progress = [&](long long best) {
          control.progress(best);
          if (++reports != 2) return;
          shownAtStop = self->lblScore->text();
          EXPECT_TRUE(self->cmdStop->isVisible() && !self->cmdCancel->isVisible());
          QTest::mouseClick(self->cmdStop, Qt::LeftButton);
        };
        return FrmCompleteBuild::ProgramOptimiser(program.ctx())(watched);
      });
  self = &window;
  window.show();
  ASSERT_TRUE(test::WaitUntil([&] { return !window.isVisible(); }));
  ASSERT_GE(reports, 2) << program.Said();
  const long long stopped = score();
  EXPECT_LT(stopped, beforeOptimising);
  EXPECT_TRUE(shownAtStop.startsWith("质量分：") &&
              shownAtStop.endsWith(QString("（开始时 %1）").arg(beforeOptimising)))
      << shownAtStop.toStdString();
  EXPECT_EQ(window.prgOptimise->value(), window.prgOptimise->maximum());
  const std::string said = program.Said();
  EXPECT_EQ(said.rfind("I|补排未排课程|课表完成率统计:  100％\n", 0), 0u) << said;
  EXPECT_NE(said.find("\n已停止优化，保留了目前找到的最好课表。\n课表已优化：质量分 " +
                      std::to_string(beforeOptimising) + " → " + std::to_string(stopped)),
            std::string::npos)
      << said;

  // The menu's road: nothing is missing now, and the optimiser goes on
  // from the week it was stopped at.
  program.prompter().QueueModal(
      [](QDialog& d) { EXPECT_TRUE(test::WaitUntil([&] { return !d.isVisible(); })); });
  RunCompleteBuild(program.ctx(), nullptr);
  const long long final = score();
  EXPECT_LE(final, stopped);
  EXPECT_LT(final, generated);
  EXPECT_NE(program.Said().find(std::to_string(final) + "（越小越好）"), std::string::npos) << program.Said();
}

}  // namespace
}  // namespace orv::ui
