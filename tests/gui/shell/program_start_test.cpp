// SPDX-License-Identifier: GPL-3.0-or-later
// The desktop program's start (caption, the "open with" argument, failure),
// the files shipped beside the program, and frmSetLessonOfDay.
#include <gtest/gtest.h>

#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "core/database/lessons_per_day.h"
#include "gui/shell/lesson_of_day_window.h"
#include "gui/shell/program_start.h"
#include "gui/shell/shell_support.h"
#include "support/test_program.h"

namespace fs = std::filesystem;

namespace orv::ui {
namespace {

using test::Q;

TEST(ProgramStart, CaptionNamesSchoolAndTheDatabaseReallyOpenOrStartUpStops) {
  struct Case {
    std::string ini;
    const char* explicitDb;  // "" for none
    const char* appTitle;
    const char* opened;  // "" when the program must not start
  };
  // Which file the start chooses is the core's; the window shows it and the failure.
  for (const Case& c : {Case{"[USERINFO]\nUSER=第一中学\n", "", "第一中学排课软件系统", "kb.mdb"},
                        Case{"", "other.db", "排课软件系统", "other.db"},
                        Case{"[USERINFO]\nUSER=第一中学\n", "broken.mdb", "第一中学排课软件系统", ""}}) {
    SCOPED_TRACE(c.ini + c.explicitDb);
    test::TempDir dir;
    ASSERT_TRUE(TimetableDb::Create(dir / "kb.mdb") && TimetableDb::Create(dir / "other.db"));
    test::WriteFile(dir / "broken.mdb", "not a database");
    if (!c.ini.empty()) test::WriteFile(dir / "kbxt.ini", c.ini);
    test::ScriptedPrompter prompter;
    auto program = *c.explicitDb ? StartProgram(prompter, dir.Path(), (dir / c.explicitDb).string())
                                 : StartProgram(prompter, dir.Path());
    if (!*c.opened) {
      EXPECT_FALSE(program);
      EXPECT_EQ(test::Said(prompter),
                std::string("C|") + c.appTitle + "|打开数据库失败！\n不是课表数据库文件");
      continue;
    }
    ASSERT_TRUE(program);
    EXPECT_EQ(program->window->windowTitle(), QString(c.appTitle) + " -- " + Q(dir / c.opened));
    EXPECT_EQ(program->state.db->Path(), dir / c.opened);
    EXPECT_EQ(test::Said(prompter), "");
  }
}

TEST(ProgramFiles, ProgramDirectoryThenBesideTheProgramThenInstalledData) {
  test::TempDir root;
  const fs::path home = root / "home", bin = root / "prefix" / "bin", manual = "使用手册/使用手册.html";
  EXPECT_FALSE(FindProgramFile(home, manual, bin));
  for (const fs::path& dir : {root / "prefix" / "share" / "orvandel", bin, home}) {
    fs::create_directories(dir / "使用手册");
    test::WriteFile(dir / manual, "manual");
    EXPECT_EQ(FindProgramFile(home, manual, bin), dir / manual);
  }
  fs::create_directories(home / "HomePage.jpg");  // a directory of that name is no file
  EXPECT_FALSE(FindProgramFile(home, "HomePage.jpg", bin));
}

std::string IniFor(const char* lessons) { return std::string("[LESSON]\nLESSON_OF_DAY=") + lessons + "\n"; }

TEST(LessonOfDay, ShowsTheDatabasesValueAndSavesTheChoiceInTheDatabaseAndTheSettings) {
  struct Case {
    const char *stored, *click, *shown;  // stored "": no settings file; click "": none
    int saved;
  };
  for (const Case& c : {Case{"", "", "6节", 6}, Case{"7", "", "7节", 7}, Case{"7", "6", "7节", 6},
                        Case{"6", "7", "6节", 7}}) {
    SCOPED_TRACE(std::string(c.stored) + "->" + c.click);
    test::TestProgram program(*c.stored ? "[USERINFO]\nUSER=一中\n" + IniFor(c.stored) : "");
    program.Exec("insert into LessonListtb values ('11',1,6,'01','T1',1)");
    FrmSetLessonOfDay window(program.ctx());
    window.show();
    EXPECT_EQ((window.Opt6->isChecked() ? window.Opt6 : window.Opt7)->text(), c.shown);
    if (*c.click) QTest::mouseClick(*c.click == '6' ? window.Opt6 : window.Opt7, Qt::LeftButton);
    QTest::mouseClick(window.cmdOk, Qt::LeftButton);
    EXPECT_FALSE(window.isVisible());
    EXPECT_TRUE(program.prompter().questions().empty()) << "nothing to remove, nothing to ask";
    EXPECT_EQ(program.state().week.lessonsPerDay, c.saved);
    EXPECT_NE(program.Ini().find("LESSON_OF_DAY=" + std::to_string(c.saved) + "\n"), std::string::npos);
    EXPECT_EQ(*StoredLessonsPerDay(*program.state().db), c.saved);
    EXPECT_EQ(Settings(program.dir()).GetSchoolName(), *c.stored ? "一中" : "");
    EXPECT_EQ(program.Count("select count(*) from LessonListtb"), 1);
  }
}

// Lessons go only here, after the user has read how many, and together with
// the change itself.
TEST(LessonOfDay, AShorterDayAsksNamingTheLessonsItRemovesAndRemovesThemOnlyOnYes) {
  test::TestProgram program(IniFor("7"));
  program.AddSmallSchool();
  program.Exec(
      "insert into LessonListtb values ('11',1,7,'01','T1',0),('11',2,7,'01','T1',1),('12',3,7,'02','T2',2),"
      "('11',1,6,'01','T1',1)");
  program.Exec("update ClassPlantb set BuildCount=3 where ClassCode='11' and CourseCode='01'");
  FrmSetLessonOfDay window(program.ctx());
  window.show();
  QTest::mouseClick(window.Opt6, Qt::LeftButton);
  for (bool yes : {false, true}) {
    program.prompter().QueueYesNo(yes);
    QTest::mouseClick(window.cmdOk, Qt::LeftButton);
    EXPECT_EQ(program.prompter().questions().back(),
              "改为每天6节后，将删除第7节的 3 节课（其中固定课程 1 节）。\n确定要修改吗？");
    EXPECT_EQ(window.isVisible(), !yes);
    EXPECT_EQ(program.Count("select count(*) from LessonListtb"), yes ? 1 : 4);
    EXPECT_EQ(program.Count("select BuildCount from ClassPlantb where ClassCode='11' and CourseCode='01'"),
              yes ? 1 : 3);
    EXPECT_EQ(*StoredLessonsPerDay(*program.state().db), yes ? 6 : 7);
    EXPECT_EQ(program.state().week.lessonsPerDay, yes ? 6 : 7);
    EXPECT_NE(program.Ini().find(yes ? "LESSON_OF_DAY=6" : "LESSON_OF_DAY=7"), std::string::npos);
  }
}

TEST(LessonOfDay, CancelOrAFailedWriteKeepsTheValue) {
  for (bool blocked : {false, true}) {
    test::TestProgram program(IniFor("6"));
    const std::string before = program.Ini();
    if (blocked) test::BlockSettingsWrites(program.dir());
    FrmSetLessonOfDay window(program.ctx());
    window.show();
    QTest::mouseClick(window.Opt7, Qt::LeftButton);
    QTest::mouseClick(blocked ? window.cmdOk : window.cmdCancel, Qt::LeftButton);
    EXPECT_EQ(program.Said(), blocked ? "C|每天课时数设置|存盘失败！\n无法写入设置文件：" +
                                            (program.dir() / "kbxt.ini").string()
                                      : "");
    EXPECT_EQ(window.isVisible(), blocked);
    EXPECT_EQ(program.Ini(), before);
    EXPECT_EQ(program.state().week.lessonsPerDay, 6);
  }
}

// Without a Chinese font the start says so once, naming the packages in
// letters every font draws; with one (as here) it says nothing and F1 and
// the window places are looked after from the start.
TEST(ProgramStart, NoChineseFontIsSaidOnceNamingThePackages) {
  test::ScriptedPrompter prompter;
  WarnWithoutChineseFont(prompter, nullptr, "排课软件系统", false);
  ASSERT_EQ(prompter.messages().size(), 1u);
  EXPECT_EQ(prompter.messages()[0].icon, MessageIcon::Warning);
  EXPECT_TRUE(prompter.messages()[0].text.startsWith("没有找到中文字体"));
  EXPECT_TRUE(prompter.messages()[0].text.contains("fonts-noto-cjk"));
  WarnWithoutChineseFont(prompter, nullptr, "排课软件系统", true);
  EXPECT_EQ(prompter.messages().size(), 1u);

  test::TempDir dir;
  auto program = StartProgram(prompter, dir.Path());
  ASSERT_NE(program, nullptr);
  EXPECT_EQ(prompter.messages().size(), 1u) << "this machine has a Chinese font";
  EXPECT_NE(program->manners, nullptr);
}

}  // namespace
}  // namespace orv::ui
