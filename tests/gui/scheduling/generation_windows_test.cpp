// SPDX-License-Identifier: GPL-3.0-or-later
// frmConfirm (only OK, in any case and with surrounding spaces, confirms) and
// frmAutoBuild (one run of the generation, the completion report) on the
// mnuAutoBuild road.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QThread>
#include <QTimer>

#include "gui/scheduling/auto_build_window.h"
#include "gui/scheduling/confirm_window.h"
#include "support/test_program.h"

namespace orv::ui {
namespace {

TEST(Confirm, OnlyOkConfirms) {
  enum How { Click, Enter, Cancel, Escape };
  struct Typed {
    const char* text;
    How how;
    bool confirms;
  };
  for (const Typed& t : {Typed{"OK", Click, true}, Typed{" ok ", Click, true}, Typed{"oK", Enter, true},
                         Typed{"o k", Click, false}, Typed{"", Click, false}, Typed{"OKK", Enter, false},
                         Typed{"0K", Click, false}, Typed{"OK", Cancel, false}, Typed{"OK", Escape, false}}) {
    SCOPED_TRACE(std::string("\"") + t.text + "\" " + "CECE"[t.how]);
    FrmConfirm window;
    window.show();
    QTest::keyClicks(window.Text1, t.text);
    if (t.how == Enter || t.how == Escape)
      QTest::keyClick(window.Text1, t.how == Enter ? Qt::Key_Return : Qt::Key_Escape);
    else
      QTest::mouseClick(t.how == Click ? window.cmdOK : window.cmdCancel, Qt::LeftButton);
    EXPECT_EQ(window.Confirmed(), t.confirms);
    EXPECT_EQ(window.result(), t.confirms ? QDialog::Accepted : QDialog::Rejected);
    // A refused text stays in the box, selected, so the next typing replaces it.
    EXPECT_EQ(window.isVisible(), !t.confirms && t.how < Cancel);
    if (window.isVisible()) {
      EXPECT_EQ(window.Text1->selectedText(), window.Text1->text());
    }
  }
}

TEST(AutoBuild, OnlyAConfirmedRunReplacesTheTimetableAndTheOutcomeIsReported) {
  test::TestProgram program;
  // Answers the confirmation; when that is accepted, waits for the progress
  // window, which runs by itself once shown, and for the completion window
  // when the answer to its question is Yes.
  // The window after the generation: none, the completion or the optimisation.
  auto run = [&](const char* typed, bool confirms, const char* after = nullptr) {
    program.prompter().QueueModal([typed](QDialog& d) {
      EXPECT_TRUE(test::TypeConfirmation(d, typed).startsWith("自动生成课表将会清除您以前排好的课表！\n"));
    });
    for (const char* window : {"frmAutoBuild自动生成课表", after}) {
      if (!confirms || window == nullptr) break;
      program.prompter().QueueModal([window](QDialog& d) {
        EXPECT_EQ(d.objectName() + d.windowTitle(), window);
        EXPECT_TRUE(test::WaitUntil([&] { return !d.isVisible(); }));
      });
    }
    RunAutoBuild(program.ctx(), nullptr);
    EXPECT_TRUE(program.prompter().AllAnswersUsed());
  };
  // An empty school hears what it lacks before anyone is asked to type OK
  // for a run that could only fail: no window is queued, so one would fail.
  RunAutoBuild(program.ctx(), nullptr);
  EXPECT_EQ(program.Said(),
            "W|自动生成课表|无法自动生成课表：没有班级，没有课程，没有老师，教学计划为空。\n"
            "请先在“基础数据”菜单中录入班级、课程、老师和各班教学计划。");
  EXPECT_TRUE(program.prompter().AllAnswersUsed());

  program.prompter().ClearRecords();
  program.AddSmallSchool();
  program.Exec("insert into LessonListtb values ('11',1,1,'01','T1',2),('12',5,6,'02','T2',0)");
  run("o k", false);
  EXPECT_EQ(program.Said(), "");
  EXPECT_EQ(program.Count("select count(*) from LessonListtb"), 2);
  // Nothing is left to complete, so the optimiser improves the week at once
  // and reports with the generation's rate.
  run("  ok ", true, "frmOptimise优化课表");
  EXPECT_EQ(program.Said().rfind("I|优化课表|课表完成率统计:  100％\n课表", 0), 0u) << program.Said();
  EXPECT_NE(program.Said().find("质量分"), std::string::npos) << program.Said();
  EXPECT_EQ(program.Count("select count(*) from LessonListtb where SetFlag=1"), 9);
  EXPECT_EQ(program.Count("select count(*) from LessonListtb where SetFlag<>1"), 1);  // the fixed one

  // Li may never teach, which the generation does not honour: a full week
  // still breaks his marks three times, so the completion is offered too.
  for (int day = 1; day <= 5; ++day)
    for (int lesson = 1; lesson <= 6; ++lesson)
      program.Exec("insert into Limittb values (2,'T2',?,?,3)", day, lesson);
  program.prompter().QueueYesNo(false);
  run("ok", true);
  EXPECT_EQ(program.prompter().questions().back().toStdString(),
            "课表完成率统计:  100％\n有 3 节课排在了班级或老师“不排”的时间。\n是否立即自动补排？");
  program.Exec("delete from Limittb");

  // Maths may never be taught: 3 of its 4 lessons cannot be placed. The
  // report asks whether to complete the timetable at once; No leaves it.
  for (int day = 1; day <= 5; ++day)
    for (int lesson = 1; lesson <= 6; ++lesson)
      program.Exec("insert into Limittb values (1,'02',?,?,3)", day, lesson);
  program.prompter().QueueYesNo(false);
  run("ok", true);
  EXPECT_EQ(program.prompter().questions().back().toStdString(),
            "课表完成率统计:  70％\n还有 3 节课未能排入。\n是否立即自动补排？");
  // Completing at once is what the report recommends: Enter gives Yes.
  ASSERT_FALSE(program.prompter().defaultYesQuestions().empty());
  EXPECT_EQ(program.prompter().defaultYesQuestions().back(), program.prompter().questions().back());
  EXPECT_EQ(program.Count("select count(*) from LessonListtb"), 7);

  // Yes runs the completion, which cannot place them either and says why.
  program.prompter().ClearRecords();
  program.prompter().QueueYesNo(true);
  run("ok", true, "frmCompleteBuild补排未排课程");
  EXPECT_EQ(program.Said().rfind(
                "I|补排未排课程|课表完成率统计:  70％\n还有 3 节课未能排入：\n11 数学（李）缺2节：", 0),
            0u)
      << program.Said();
}

TEST(AutoBuild, WindowRunsOnceAnimatingDotsAndRefusesToCloseMeanwhile) {
  test::TestProgram program;
  int runs = 0;
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
    BuildResult result;
    result.rate = 80 + runs++;
    return result;
  });
  self = &window;
  window.show();
  QEvent activate(QEvent::WindowActivate);
  QCoreApplication::sendEvent(&window, &activate);
  ASSERT_TRUE(test::WaitUntil([&] { return !window.isVisible(); }));
  EXPECT_TRUE(visibleAfterClose);
  EXPECT_GE(dotsSeen.size(), 2);
  EXPECT_EQ(dotsSeen, QString(dotsSeen.size(), '.'));
  QCoreApplication::sendEvent(&window, &activate);
  window.show();
  QTest::qWait(50);
  EXPECT_EQ(runs, 1);
  // A run that left nothing to complete says nothing yet: the optimisation follows.
  EXPECT_TRUE(program.prompter().messages().empty());
  EXPECT_TRUE(window.OptimisationRequested());
  EXPECT_EQ(window.Report().toStdString(), "课表完成率统计:  80％");
}

}  // namespace
}  // namespace orv::ui
