// SPDX-License-Identifier: GPL-3.0-or-later
// frmStart, the main window's centre: the steps' marks on an empty and on the
// demo school, the step buttons, the recent databases, the generation that
// says what is missing before it asks anything, and the File menu's manners.
#include <gtest/gtest.h>

#include <QAction>
#include <QDialog>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRegularExpression>

#include "core/scheduling/build_timetable.h"
#include "core/scheduling/random.h"
#include "gui/shell/main_window.h"
#include "gui/shell/start_page.h"
#include "support/test_db.h"
#include "support/test_program.h"

namespace fs = std::filesystem;

namespace orv::ui {
namespace {

using test::Click;
using test::Q;

class Start : public ::testing::Test {
 protected:
  // The marks as the page shows them, "x" done, "-" not yet, in step order.
  std::string Marks() {
    std::string marks;
    for (int i = 0; i < kWorkStepCount; ++i) marks += page().StepShownDone(WorkStep(i)) ? "x" : "-";
    return marks;
  }
  StartPage& page() { return *test::Child<StartPage>(window, "frmStart"); }
  // Clicks and notes the window that comes up, then closes it.
  QString Opened(QPushButton* button) {
    QString opened;
    program.prompter().QueueModal([&](QDialog& d) {
      opened = d.objectName();
      d.reject();
    });
    Click(button);
    return opened;
  }
  void OpenDemoSchool(const fs::path& file) {
    program.prompter().QueueFileName(Q(file));
    Click(page().cmdDemoSchool);
  }
  QStringList Recent() {
    QStringList shown;
    for (int i = 0; i < page().lstRecent->count(); ++i) shown << page().lstRecent->item(i)->text();
    return shown;
  }

  test::TestProgram program;
  FrmMain window{program.ctx()};
};

TEST_F(Start, AnEmptyDatabaseHasNothingDoneAndGenerationSaysWhatIsMissingWithoutAskingOk) {
  EXPECT_EQ(Marks(), "-------");
  EXPECT_TRUE(page().lblDatabase->text().contains("kb.mdb"));
  EXPECT_TRUE(page().lblDatabase->text().contains(Q(program.dir())));
  EXPECT_TRUE(page().lblCounts->text().startsWith("班级 0 个")) << page().lblCounts->text().toStdString();
  EXPECT_TRUE(page().cmdStepRestrictions->text().contains("可选"));

  // No typed OK is queued: a question would fail the test.
  for (QAction* generate : {window.mnuAutoBuild, static_cast<QAction*>(nullptr)}) {
    program.prompter().ClearRecords();
    generate ? generate->trigger() : Click(page().cmdStepGeneration);
    const std::string said = program.Said();
    EXPECT_EQ(said.rfind("W|自动生成课表|无法自动生成课表：没有班级，没有课程，没有老师，教学计划为空。", 0),
              0u)
        << said;
    EXPECT_TRUE(program.prompter().questions().empty());
  }
  EXPECT_TRUE(program.prompter().AllAnswersUsed());
}

TEST_F(Start, TheDemoSchoolFillsTheStepsAsItsTimetableGrows) {
  const fs::path demo = program.dir() / "演示学校.mdb";
  OpenDemoSchool(demo);
  EXPECT_EQ(program.Said(), "");
  ASSERT_TRUE(program.state().db);
  EXPECT_EQ(fs::absolute(program.state().db->Path()), fs::absolute(demo));
  EXPECT_TRUE(page().lblDatabase->text().contains("演示学校.mdb"));
  EXPECT_EQ(Marks(), "xxxx---") << "basic data, plan, restrictions and a check that finds nothing blocking";
  EXPECT_EQ(program.prompter().fileDialogs().back().suggestedPath, Q(program.dir() / "演示学校.mdb"));

  // Generated behind the page's back: it reads again once a window closes.
  ASSERT_TRUE(BuildTimetable(*program.state().db, program.state().week.lessonsPerDay, ProgramRandom()));
  EXPECT_EQ(Marks(), "xxxx---");
  EXPECT_EQ(Opened(page().cmdStepAnalysis), "frmAnalysis");
  const long long planned = program.Count("select sum(Count) from ClassPlantb");
  const long long placed = program.Count("select sum(BuildCount) from ClassPlantb");
  EXPECT_EQ(Marks(), placed == planned ? "xxxxxx-" : "xxxxx--");
  EXPECT_TRUE(page().lblCounts->text().contains(QString("已排 %1 节").arg(placed)))
      << page().lblCounts->text().toStdString();

  // An existing file is never replaced by the demo school.
  const std::uintmax_t before = fs::file_size(demo);
  program.prompter().ClearRecords();
  OpenDemoSchool(demo);
  EXPECT_EQ(program.Said().rfind("C|", 0), 0u) << program.Said();
  EXPECT_EQ(fs::file_size(demo), before);
  EXPECT_EQ(program.Count("select sum(BuildCount) from ClassPlantb"), placed);
}

TEST_F(Start, NewDatabaseOpensAnEmptyFileAndNeverReplacesOne) {
  program.AddSmallSchool();
  const fs::path fresh = program.dir() / "新学校.mdb";
  program.prompter().QueueFileName(Q(fresh));
  Click(page().cmdNewDatabase);
  EXPECT_EQ(program.Said(), "");
  EXPECT_EQ(program.prompter().fileDialogs().back().suggestedPath, Q(fresh));
  EXPECT_EQ(program.state().db->Path(), fresh);
  EXPECT_EQ(Marks(), "-------");

  // The dialog may agree to replace the school's file; the program does not.
  program.prompter().QueueFileName(Q(program.DefaultDb()));
  Click(page().cmdNewDatabase);
  EXPECT_EQ(program.Said().rfind("C|", 0), 0u) << program.Said();
  EXPECT_EQ(program.state().db->Path(), fresh);
  EXPECT_EQ(test::OpenDb(program.DefaultDb())->FirstInt("select count(*) from Classtb"), 2);
}

TEST_F(Start, EachStepButtonOpensTheWindowOfItsMenuItem) {
  program.AddSmallSchool();
  const std::pair<QPushButton*, const char*> steps[] = {{page().cmdStepBasicData, "frmClassInput"},
                                                        {page().cmdStepPlan, "frmClassPlanInput"},
                                                        {page().cmdStepRestrictions, "frmClassLimitInput"},
                                                        {page().cmdStepAnalysis, "frmAnalysis"},
                                                        {page().cmdStepGeneration, "frmConfirm"},
                                                        {page().cmdStepAdjustment, "frmManualSetLesson"},
                                                        {page().cmdStepPublishing, "frmPrint"}};
  for (const auto& [button, want] : steps)
    EXPECT_EQ(Opened(button), want) << button->objectName().toStdString();
  EXPECT_TRUE(program.prompter().AllAnswersUsed());
  EXPECT_EQ(program.Said(), "");
  // The small school was added after the page first read: closing the
  // windows brought it up to date.
  EXPECT_EQ(Marks(), "xx-x---");
}

TEST_F(Start, RecentDatabasesNewestFirstAtMostFiveAMissingOneGreyed) {
  const QString first = Q(program.DefaultDb());
  EXPECT_EQ(Recent(), QStringList{first});
  std::vector<fs::path> files;
  for (const char* name : {"a.mdb", "b.mdb", "c.mdb", "d.mdb", "e.mdb"}) {
    files.push_back(program.dir() / name);
    ASSERT_TRUE(TimetableDb::Create(files.back()));
  }
  for (const fs::path& file : {files[0], files[1]}) {
    program.prompter().QueueFileName(Q(file));
    window.mnuOpenDb->trigger();
  }
  EXPECT_EQ(Recent(), (QStringList{Q(files[1]), Q(files[0]), first}));
  for (const fs::path& file : {files[2], files[3], files[4]}) {
    program.prompter().QueueFileName(Q(file));
    window.mnuOpenDb->trigger();
  }
  EXPECT_EQ(Recent(), (QStringList{Q(files[4]), Q(files[3]), Q(files[2]), Q(files[1]), Q(files[0])}));

  // Choosing one opens it as 打开数据库 does and puts it first.
  QListWidgetItem* b = page().lstRecent->item(3);
  emit page().lstRecent->itemActivated(b);
  EXPECT_EQ(program.state().db->Path(), files[1]);
  EXPECT_EQ(window.windowTitle(), "Orvandel排课软件 -- " + Q(files[1]));
  EXPECT_EQ(Settings(program.dir()).GetDatabasePath(), files[1].string());
  EXPECT_EQ(Recent().front(), Q(files[1]));

  // A file gone since stays listed, greyed, and choosing it does nothing.
  fs::remove(files[0]);
  program.prompter().QueueModal([](QDialog& d) { d.reject(); });
  window.mnuSimpleManual->trigger();  // any window closing reads the list again
  QListWidgetItem* gone = page().lstRecent->item(4);
  EXPECT_TRUE(gone->text().startsWith(Q(files[0])));
  EXPECT_FALSE(gone->flags() & Qt::ItemIsEnabled);
  emit page().lstRecent->itemActivated(gone);
  EXPECT_EQ(program.state().db->Path(), files[1]);
  EXPECT_EQ(program.Said(), "");
}

TEST_F(Start, MenusHaveMnemonicsAndTheUsualShortcutsAndSaveAsStartsBesideTheDatabase) {
  for (QAction* menu : window.menuBar()->actions())
    EXPECT_TRUE(menu->text().contains(QRegularExpression(R"(\(&[A-Z]\)$)"))) << menu->text().toStdString();
  EXPECT_EQ(window.mnuOpenDb->shortcut(), QKeySequence("Ctrl+O"));
  EXPECT_EQ(window.mnuEnd->shortcut(), QKeySequence("Ctrl+Q"));
  EXPECT_EQ(window.mnuManual->shortcut(), QKeySequence(Qt::Key_F1));

  program.prompter().QueueFileName("");
  window.mnuDbSaveAs->trigger();
  EXPECT_EQ(program.prompter().fileDialogs().back().suggestedPath, Q(program.dir() / "kb-副本.mdb"));
}

}  // namespace
}  // namespace orv::ui
