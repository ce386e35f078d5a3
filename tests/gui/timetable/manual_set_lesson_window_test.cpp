// SPDX-License-Identifier: GPL-3.0-or-later
// frmManualSetLesson driven as a user drives it: pick a missing lesson and
// click a cyan period, select a lesson and right-click a yellow one, right-
// click a white lesson, click the teacher's week, undo and redo; every step
// checked in the tables.
#include <gtest/gtest.h>

#include "core/editing/manual_edit_fixture.h"
#include "core/editing/timetable_edit.h"
#include "manual_window_driver.h"
#include "support/test_program.h"

namespace orv::test {
namespace {

// Two classes. 王 teaches 语文 in both, 李 数学 in 一（1）, 张 英语 in 一（1）
// and 数学 in 一（2） (on Thursday's second lesson), 赵 the special course 信息技术 in both; 语文 may never
// stand on Thursday's first lesson. 一（1）班 lacks one 英语 and its 信息技术,
// 一（2）班 one 语文 and one 数学 and has one 信息技术 too many.
class ManualSetLesson : public ::testing::Test, public ManualWindowDriver {
 protected:
  ManualSetLesson() {
    program.Exec(
        "insert into Classtb values "
        "('11','一（1）班','一年级（1）班','一1'),('12','一（2）班','一年级（2）班','一2')");
    program.Exec(
        "insert into Coursetb values ('01','语文','',''),('02','数学','',''),('03','英语','',''),"
        "('04','信息技术','','')");
    program.Exec(
        "insert into Teachertb values "
        "('T3','张','',''),('T1','王','',''),('T4','赵','',''),('T2','李','','')");
    program.Exec("insert into CourseAttrtb values ('04')");
    program.Exec("insert into Limittb values (1,'01',4,1,3)");
    program.Exec(
        "insert into ClassPlantb (ClassCode,CourseCode,TeacherCode,Count) values ('11','01','T1',3),"
        "('11','02','T2',2),('11','03','T3',2),('11','04','T4',1),('12','01','T1',2),('12','02','T3',2),"
        "('12','04','T4',0)");
    program.Exec(
        "insert into LessonListtb values "
        "('11',1,1,'01','T1',1),('11',1,2,'02','T2',1),('11',1,3,'01','T1',1),"
        "('11',2,1,'01','T1',0),('11',2,2,'03','T3',1),('11',3,1,'02','T2',1),"
        "('12',4,2,'02','T3',1),('12',1,2,'01','T1',1),('12',3,2,'04','T4',1)");
    program.Exec(
        "update ClassPlantb set BuildCount=(select count(*) from LessonListtb L where L.ClassCode="
        "ClassPlantb.ClassCode and L.CourseCode=ClassPlantb.CourseCode and "
        "L.TeacherCode=ClassPlantb.TeacherCode)");
  }
  void Open() { ManualWindowDriver::Open(program.ctx()); }

  // One period as "course/teacher/SetFlag", "" when empty.
  std::string At(const char* cls, int day, int lessonNo) {
    return db
        .FirstText(
            "select group_concat(CourseCode||'/'||TeacherCode||'/'||SetFlag,' ') from LessonListtb"
            " where ClassCode=? and Day=? and LessonNo=?",
            cls, day, lessonNo)
        .value_or("");
  }
  std::string Tables() { return TimetableState(db); }
  // The help's state, the teacher beside the class and the result panel.
  QString State() {
    const QString help = Panel(1)->text();
    return (help == ui::kManualHelpPlain      ? "plain"
            : help == ui::kManualHelpPlacing  ? "placing"
            : help == ui::kManualHelpSelected ? "selected"
                                              : "?") +
           QString("|%1|%2").arg(Teachers()->currentText(), Panel(3)->text());
  }

  TestProgram program;
  TimetableDb& db = *program.state().db;
  // 一（1）班 as it is stored, lesson 1 Monday to Friday, then lesson 2 ...
  const QString kWeek11 = QStringLiteral("语语数..数英...语....") + QString(15, '.');
};

TEST_F(ManualSetLesson, OpensOnTheFirstClassWithTheMissingLessonsAndNoTeacher) {
  Open();
  EXPECT_EQ(Classes()->currentText() + "|" + Panel(2)->text(), "一（1）班|一（1）班");
  EXPECT_EQ(Week(), kWeek11);
  EXPECT_EQ(Rows(), (QStringList{"一（1）班|英语|1", "一（1）班|信息技术|1", "一（2）班|语文|1",
                                 "一（2）班|数学|1", "一（2）班|信息技术|-1"}));
  QStringList teachers;
  for (int i = 0; i < Teachers()->count(); ++i) teachers << Teachers()->itemText(i);
  EXPECT_EQ(teachers, (QStringList{"王", "李", "张", "赵"})) << "in the order of their codes";
  EXPECT_EQ(State(), "plain||读取成功");
  EXPECT_EQ(TeacherWeek(), "");
  EXPECT_FALSE(Button("cmdUndo")->isEnabled() || Button("cmdRedo")->isEnabled());
}

TEST_F(ManualSetLesson, APickedLessonGoesIntoACyanPeriodOnly) {
  Open();
  Pick(0);  // 一（1）班 英语 by 张, who teaches 一（2）班 on Thursday's second lesson
  EXPECT_EQ(Week(), QStringLiteral("语语数cc数英c.c语cccc") + QString(15, 'c'));
  EXPECT_EQ(State(), "placing|张|读取成功") << "the picked lesson's teacher beside it";

  Left(4, 1);
  EXPECT_EQ(At("11", 4, 1), "03/T3/2");
  EXPECT_EQ(State(), "plain|张|写入成功");
  EXPECT_EQ(Week(), QStringLiteral("语语数英.数英...语....") + QString(15, '.')) << "plain again";
  EXPECT_EQ(Rows().first(), "一（1）班|信息技术|1") << "英语 has all its lessons";
  EXPECT_EQ(TeacherWeek(), "2/2:英语/一1 4/1:英语/一1 4/2:数学/一2");

  Left(5, 1);  // white, empty: the pending lesson needs another pick
  EXPECT_EQ(At("11", 5, 1), "");

  Pick(2);  // 一（2）班 数学: the window changes class
  EXPECT_EQ(Classes()->currentText() + "|" + Panel(2)->text(), "一（2）班|一（2）班");
  EXPECT_EQ(Rows()[2], "[一（2）班|数学|1]");
  EXPECT_EQ(Week().left(10), "ccc.c语.信数c") << "张 teaches 一（1）班 at 星期四第1节 and 星期二第2节";
  Left(2, 1);
  Left(3, 3);  // no longer cyan
  EXPECT_EQ(At("12", 2, 1) + "|" + At("12", 3, 3), "02/T3/2|");

  const std::string placed = Tables();
  Pick(2);  // 信息技术, one too many: listed, nothing cyan
  EXPECT_EQ(Rows()[2], "[一（2）班|信息技术|-1]");
  EXPECT_EQ(Week().count('c'), 0);
  EXPECT_EQ(State(), "plain|赵|读取成功");
  Left(4, 4);
  EXPECT_EQ(Tables(), placed);
}

TEST_F(ManualSetLesson, ASelectedLessonSwapsOrMovesWithAYellowOne) {
  Open();
  Left(1, 2);  // 数学 by 李; 王 teaches 一（2）班 then, so no 语文 qualifies
  EXPECT_EQ(Week(), QStringLiteral("语语数yyRYyyy语yyyy") + QString(15, 'y'));
  EXPECT_EQ(State(), "selected|李|读取成功");

  const std::string before = Tables();
  Left(1, 2);   // the red cell again
  Right(1, 2);  // red: nothing
  Right(1, 1);  // a white lesson while selected: deleted, the selection kept
  EXPECT_EQ(At("11", 1, 1), "");
  EXPECT_EQ(Week().left(10), "y语数yyRYyyy") << "the marks follow the new week";
  EXPECT_EQ(State(), "selected||删除成功") << "the clicked period is empty now";
  Press("cmdUndo");
  EXPECT_EQ(Tables(), before);

  Left(1, 2);
  Left(2, 2);  // a yellow lesson is selected in its turn
  EXPECT_EQ(Grid()->Color({2, 2}), ui::kGridRed);
  EXPECT_EQ(State(), "selected|张|撤销成功");
  Left(1, 2);
  Right(2, 2);  // swap with 英语: each period keeps its SetFlag
  EXPECT_EQ(At("11", 1, 2) + "|" + At("11", 2, 2), "03/T3/1|02/T2/1");
  EXPECT_EQ(State(), "plain|李|换课成功") << "the clicked period's lesson";
  EXPECT_EQ(Week().left(10), "语语数..英数...");
  EXPECT_EQ(TeacherWeek(), "2/2:数学/一1 3/1:数学/一1");

  Left(2, 2);
  Right(5, 3);  // an empty yellow period: a move, a new manual row
  EXPECT_EQ(At("11", 2, 2) + "|" + At("11", 5, 3), "|02/T2/2");

  Left(2, 1);  // fixed 语文: 王 is busy in 一（2）班 at 星期一第2节
  EXPECT_EQ(Grid()->Color({1, 2}), ui::kGridWhite);
  EXPECT_EQ(Grid()->Color({1, 3}), ui::kGridWhite) << "the same course never qualifies";
  Left(4, 4);  // an empty cell that is yellow: the marks go
  EXPECT_EQ(Week().count('y') + Week().count('R'), 0);
  EXPECT_EQ(State(), "plain||换课成功");
}

// A click does what the core found for the period when the marks were
// drawn: a colour changed since (by a style, a theme, a repaint) decides nothing.
TEST_F(ManualSetLesson, AClickActsOnTheTargetsFoundNotOnTheColourShown) {
  Open();
  Left(2, 2);  // 英语 by 张, who teaches 一（2）班 at 星期四第2节
  const std::string before = Tables();
  Grid()->SetColor({4, 2}, ui::kGridYellow);
  Right(4, 2);
  EXPECT_EQ(Tables(), before);
  EXPECT_EQ(State(), "selected|张|读取成功") << "no swap was tried";
  Grid()->SetColor({5, 3}, ui::kGridWhite);
  Right(5, 3);  // a target all the same
  EXPECT_EQ(At("11", 2, 2) + "|" + At("11", 5, 3), "|03/T3/2");
  Press("cmdUndo");

  Pick(0);  // 英语 again, to be placed
  Grid()->SetColor({4, 2}, ui::kGridCyan);
  Left(4, 2);
  EXPECT_EQ(Tables(), before);
  EXPECT_EQ(State(), "plain||读取成功") << "an empty period that is no target takes the marks away";
  Pick(0);
  Grid()->SetColor({5, 1}, ui::kGridWhite);
  Left(5, 1);
  EXPECT_EQ(At("11", 5, 1), "03/T3/2");
}

TEST_F(ManualSetLesson, RightClickDeletesAWhiteLessonAndNothingElse) {
  Open();
  Teachers()->setCurrentIndex(0);  // 王, chosen by hand
  const QString teacherWeek = TeacherWeek();
  const std::string before = Tables();
  Right(4, 4);  // empty white
  EXPECT_EQ(Tables(), before);
  EXPECT_EQ(State(), "plain|王|读取成功");
  EXPECT_EQ(TeacherWeek(), teacherWeek);

  Right(2, 1);  // fixed lessons go too, without a question
  EXPECT_EQ(At("11", 2, 1), "");
  EXPECT_EQ(State(), "plain||删除成功");
  EXPECT_EQ(Rows().first(), "一（1）班|语文|1");
  EXPECT_EQ(TeacherWeek(), "");

  Pick(2);  // 信息技术 by 赵, busy in 一（2）班 on Wednesday's second lesson
  const std::string placing = Tables();
  Right(2, 1);  // cyan: nothing
  EXPECT_EQ(Tables(), placing);
  EXPECT_EQ(Week().count('c'), 24);
}

TEST_F(ManualSetLesson, TheTeachersWeekFollowsTheClickedLessonAndLeadsToItsClasses) {
  Open();
  const QString week1 = "1/1:语文/一1 1/2:语文/一2 1/3:语文/一1 2/1:语文/一1";
  Left(1, 1);
  EXPECT_EQ(TeacherWeek(), week1);
  EXPECT_EQ(TeacherGrid()->Current(), (ui::GridLesson{1, 1}));

  // Changed behind the window's back: only the cursor moves for the same teacher.
  program.Exec("insert into LessonListtb values ('12',5,6,'01','T1',2)");
  Left(1, 3);
  EXPECT_EQ(TeacherGrid()->Current(), (ui::GridLesson{1, 3}));
  EXPECT_EQ(TeacherWeek(), week1) << "not reloaded";
  Left(1, 2);
  Left(1, 1);  // another teacher in between: 王's week is read again
  EXPECT_EQ(TeacherWeek(), week1 + " 5/6:语文/一2");

  ClickLesson(TeacherGrid(), Qt::LeftButton, 1, 3);  // the shown class: the cursor only
  EXPECT_EQ(Grid()->Current(), (ui::GridLesson{1, 3}));
  EXPECT_EQ(Grid()->Color({1, 1}), ui::kGridRed) << "the marks stay";
  ClickLesson(TeacherGrid(), Qt::RightButton, 4, 4);  // an empty period
  EXPECT_EQ(Classes()->currentText(), "一（1）班");

  ClickLesson(TeacherGrid(), Qt::RightButton, 5, 6);  // any button leads to the class
  EXPECT_EQ(Classes()->currentText() + "|" + Panel(2)->text(), "一（2）班|一（2）班");
  EXPECT_EQ(Week().left(10), ".....语.信数.");
  EXPECT_EQ(Grid()->Current(), (ui::GridLesson{5, 6}));
  EXPECT_EQ(State(), "plain|王|读取成功");

  Left(4, 4);  // an empty period: no teacher
  EXPECT_EQ(State(), "plain||读取成功");
  EXPECT_EQ(TeacherWeek(), "");
}

TEST_F(ManualSetLesson, UndoAndRedoByButtonsAndKeysRestoreTheTablesExactly) {
  Open();
  const std::string opened = Tables();
  Pick(0);
  Left(4, 1);  // place 英语
  Left(1, 2);
  Right(2, 2);  // swap 数学 with 英语
  Right(2, 1);  // delete the fixed 语文
  const std::string changed = Tables();
  EXPECT_TRUE(Button("cmdUndo")->isEnabled());
  EXPECT_FALSE(Button("cmdRedo")->isEnabled());
  EXPECT_TRUE(Button("cmdUndo")->toolTip().startsWith("撤销：删除 一（1）班 星期二第1节 语文"));

  Press("cmdUndo");
  EXPECT_EQ(At("11", 2, 1), "01/T1/0") << "fixed again";
  EXPECT_EQ(Panel(3)->text(), "撤销成功");
  Key(Qt::Key_Z);
  Key(Qt::Key_Z);
  EXPECT_EQ(Tables(), opened);
  EXPECT_EQ(Week(), kWeek11);
  EXPECT_EQ(Rows().first(), "[一（1）班|英语|1]") << "still the picked lesson";
  EXPECT_FALSE(Button("cmdUndo")->isEnabled());
  Key(Qt::Key_Z);  // nothing left to undo
  EXPECT_EQ(Tables(), opened);

  Key(Qt::Key_Y);
  Press("cmdRedo");
  Press("CmdNextClass");  // a redo of another class's change brings it back
  Key(Qt::Key_Y);
  EXPECT_EQ(Tables(), changed);
  EXPECT_EQ(Classes()->currentText() + "|" + Panel(3)->text(), "一（1）班|重做成功");
  EXPECT_EQ(Week().left(10), "语.数英.英数...");
  EXPECT_FALSE(Button("cmdRedo")->isEnabled());

  Press("cmdUndo");
  Left(5, 5);  // a new change drops what could be redone
  Left(1, 1);
  Right(5, 5);
  EXPECT_FALSE(Button("cmdRedo")->isEnabled());
}

TEST_F(ManualSetLesson, AnUndoWhosePeriodWasTakenMeanwhileIsRefused) {
  Open();
  Left(1, 2);
  Right(5, 3);  // move 数学 away
  ASSERT_EQ(At("11", 5, 3), "02/T2/2");
  // Someone else fills the period it came from.
  ASSERT_TRUE(PlaceLesson(db, "11", 1, 2, "03", "T3", 6));
  const std::string taken = Tables();
  Key(Qt::Key_Z);
  EXPECT_EQ(Tables(), taken);
  EXPECT_EQ(Panel(3)->text(), "无法撤销：星期一第2节 已有其他课程");
  EXPECT_TRUE(Button("cmdUndo")->isEnabled()) << "the change stays in the history";
  EXPECT_TRUE(program.prompter().messages().empty());
}

TEST_F(ManualSetLesson, AFailedSwapRedrawsTheClassFromTheTables) {
  Open();
  Left(1, 2);
  // Meanwhile 李 gets a lesson in 一（2）班 at the target, and 一（1）班 loses one.
  program.Exec("insert into LessonListtb values ('12',5,3,'02','T2',2)");
  program.Exec("delete from LessonListtb where ClassCode='11' and Day=3 and LessonNo=1");
  Right(5, 3);
  EXPECT_TRUE(Panel(3)->text().startsWith("换课失败：")) << Panel(3)->text().toStdString();
  EXPECT_EQ(At("11", 1, 2) + "|" + At("11", 5, 3), "02/T2/1|");
  EXPECT_EQ(Week(), QStringLiteral("语语...数英...语....") + QString(15, '.'));
}

TEST_F(ManualSetLesson, TheRuleCheckCountsAfterEveryChangeAndTheTooltipsWarnBefore) {
  Open();
  // Two 语文 on Monday go beyond the daily cap of three a week.
  EXPECT_EQ(Panel(4)->text(), "本班课表：违规 0 处，警告 1 处");
  Left(1, 1);  // 语文 may never stand on Thursday's first lesson
  EXPECT_EQ(
      Grid()->item(ui::LessonToGridRow(1), 4)->toolTip(),
      "右键单击：把选中的课移到这里\n这样会违反自动排课的规则：\n语文 星期四第1节 该课程此时段设为不排");
  EXPECT_EQ(Grid()->item(ui::LessonToGridRow(5), 4)->toolTip(),
            "右键单击：把选中的课移到这里\n不违反自动排课的规则");
  Right(4, 1);
  EXPECT_EQ(At("11", 4, 1), "01/T1/2");
  EXPECT_EQ(Panel(4)->text(), "本班课表：违规 1 处，警告 0 处");
  EXPECT_EQ(Panel(4)->toolTip(), "违规：一（1）班 星期四第1节：语文排在了课程“不排”的位置");
  Press("cmdUndo");
  EXPECT_EQ(Panel(4)->text(), "本班课表：违规 0 处，警告 1 处");
  Press("CmdNextClass");
  EXPECT_EQ(Panel(4)->text(), "本班课表未发现问题") << "the count is the shown class's";
}

}  // namespace
}  // namespace orv::test
