// frmAutoBuild and the mnuAutoBuild road: confirmation, one run of the
// generation, the completion report.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QThread>
#include <QTimer>

#include "gui/scheduling/auto_build_window.h"
#include "support/test_program.h"

namespace orv::ui {
namespace {

using test::TestProgram;

BuildResult Result(int rate, int unplaced = 0) {
  BuildResult r;
  r.rate = rate;
  r.unplacedLessons = unplaced;
  return r;
}

void TypeAndConfirm(QDialog& d, const char* text) {
  EXPECT_EQ(d.objectName(), "frmConfirm");
  EXPECT_TRUE(
      d.findChild<QLabel*>("lblTitle")->text().startsWith("自动生成课表将会清除您以前排好的课表！\n"));
  QTest::keyClicks(d.findChild<QLineEdit*>("Text1"), text);
  QTest::mouseClick(d.findChild<QPushButton*>("cmdOK"), Qt::LeftButton);
  if (d.isVisible()) QTest::mouseClick(d.findChild<QPushButton*>("cmdCancel"), Qt::LeftButton);
}

// The progress window runs by itself once shown; the test waits for it.
void WaitForProgress(QDialog& d) {
  EXPECT_EQ(d.objectName(), "frmAutoBuild");
  EXPECT_EQ(d.windowTitle(), "自动生成课表");
  EXPECT_TRUE(test::WaitUntil([&] { return !d.isVisible(); }));
}

TEST(AutoBuild, ConfirmedRunPlacesThePlanAndReportsTheRate) {
  TestProgram program;
  program.AddSmallSchool();
  program.Exec("insert into LessonListtb values ('11',1,1,'01','T1',2)");  // a hand-placed lesson
  program.prompter().QueueModal([](QDialog& d) { TypeAndConfirm(d, "  ok "); });
  program.prompter().QueueModal(WaitForProgress);
  RunAutoBuild(program.ctx(), nullptr);

  ASSERT_EQ(program.prompter().messages().size(), 1u);
  const auto& m = program.prompter().lastMessage();
  EXPECT_EQ(m.icon, MessageIcon::Information);
  EXPECT_EQ(m.title, "自动生成课表");
  EXPECT_EQ(m.text, "课表完成率统计:  100％");
  EXPECT_EQ(program.Count("select count(*) from LessonListtb where SetFlag=1"), 10);
  EXPECT_EQ(program.Count("select count(*) from LessonListtb where SetFlag=2"), 0);
  EXPECT_TRUE(program.prompter().AllAnswersUsed());
}

TEST(AutoBuild, RefusedConfirmationLeavesTheTimetable) {
  TestProgram program;
  program.AddSmallSchool();
  program.Exec("insert into LessonListtb values ('11',1,1,'01','T1',2)");
  program.prompter().QueueModal([](QDialog& d) { TypeAndConfirm(d, "o k"); });
  RunAutoBuild(program.ctx(), nullptr);  // a progress window would be an unexpected modal
  EXPECT_TRUE(program.prompter().messages().empty());
  EXPECT_EQ(program.Count("select count(*) from LessonListtb"), 1);
}

TEST(AutoBuild, EmptyPlanFails) {
  TestProgram program;
  program.prompter().QueueModal([](QDialog& d) { TypeAndConfirm(d, "OK"); });
  program.prompter().QueueModal(WaitForProgress);
  RunAutoBuild(program.ctx(), nullptr);
  const auto& m = program.prompter().lastMessage();
  EXPECT_EQ(m.icon, MessageIcon::Critical);
  EXPECT_EQ(m.title, "自动生成课表");
  EXPECT_EQ(m.text, "生成课表失败！");
}

TEST(AutoBuild, UnplacedLessonsAreCountedInASecondLine) {
  TestProgram program;
  program.AddSmallSchool();
  // Maths may never be taught: its 4 lessons cannot be placed.
  for (int day = 1; day <= 5; ++day)
    for (int lesson = 1; lesson <= 6; ++lesson)
      program.Exec("insert into Limittb values (1,'02',?,?,3)", day, lesson);
  program.prompter().QueueModal([](QDialog& d) { TypeAndConfirm(d, "ok"); });
  program.prompter().QueueModal(WaitForProgress);
  RunAutoBuild(program.ctx(), nullptr);
  const auto& m = program.prompter().lastMessage();
  EXPECT_EQ(m.icon, MessageIcon::Information);
  const QStringList lines = m.text.split('\n');
  ASSERT_EQ(lines.size(), 2) << m.text.toStdString();
  EXPECT_EQ(lines[0], "课表完成率统计:  60％");
  EXPECT_TRUE(lines[1].contains(" 4 ")) << lines[1].toStdString();
  EXPECT_TRUE(lines[1].contains("手工调整课表"));
}

TEST(AutoBuild, CompletionMessageLines) {
  EXPECT_EQ(CompletionMessage(Result(97, 3)),
            "课表完成率统计:  97％\n还有 3 节课未能排入，请在菜单“课表操作”->“手工调整课表”中手工安排。");
  EXPECT_EQ(CompletionMessage(Result(0)), "课表完成率统计:  0％");
}

TEST(AutoBuildWindow, RunsOnceHowEverOftenActivated) {
  TestProgram program;
  int runs = 0;
  FrmAutoBuild window(program.ctx(), [&](const BuildProgress&) {
    ++runs;
    return Result(100);
  });
  EXPECT_EQ(window.findChild<QLabel*>("Label1")->text(), "正在自动生成课表 ...");
  EXPECT_TRUE(window.findChild<QLabel*>("lblStatus")->text().isEmpty());
  window.show();
  QEvent activate(QEvent::WindowActivate);
  QCoreApplication::sendEvent(&window, &activate);
  ASSERT_TRUE(test::WaitUntil([&] { return !window.isVisible(); }));
  QCoreApplication::sendEvent(&window, &activate);
  window.show();
  QTest::qWait(50);
  EXPECT_EQ(runs, 1);
  EXPECT_GE(window.Activations(), 2);
  EXPECT_EQ(program.prompter().messages().size(), 1u);
}

TEST(AutoBuildWindow, DotsAnimateAndClosingIsRefusedWhileRunning) {
  TestProgram program;
  QString dotsSeen;
  bool visibleAfterClose = false;
  FrmAutoBuild* self = nullptr;
  FrmAutoBuild window(program.ctx(), [&](const BuildProgress& progress) {
    // A generation that takes 1.3 s, handing control back on every pass.
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 1300) {
      progress();
      QThread::msleep(5);
    }
    self->close();
    QTest::keyClick(self, Qt::Key_Escape);
    progress();
    visibleAfterClose = self->isVisible();
    dotsSeen = self->lblStatus->text();
    return Result(80);
  });
  self = &window;
  EXPECT_EQ(window.Timer1->interval(), 500);
  window.show();
  ASSERT_TRUE(test::WaitUntil([&] { return !window.isVisible(); }));
  EXPECT_TRUE(visibleAfterClose);
  EXPECT_GE(dotsSeen.size(), 2);
  EXPECT_EQ(dotsSeen, QString(dotsSeen.size(), '.'));
  EXPECT_FALSE(window.Timer1->isActive());
  EXPECT_EQ(program.prompter().lastMessage().text, "课表完成率统计:  80％");
}

TEST(AutoBuildWindow, DotsRestartAfterTwentyTicks) {
  TestProgram program;
  FrmAutoBuild window(program.ctx(), [](const BuildProgress&) { return BuildResult{}; });
  window.Timer1->stop();
  for (int i = 0; i < 19; ++i) window.Tick();
  EXPECT_EQ(window.lblStatus->text(), QString(19, '.'));
  window.Tick();
  EXPECT_TRUE(window.lblStatus->text().isEmpty());
  window.Tick();
  EXPECT_EQ(window.lblStatus->text(), ".");
}

}  // namespace
}  // namespace orv::ui
