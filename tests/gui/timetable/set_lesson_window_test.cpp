// SPDX-License-Identifier: GPL-3.0-or-later
// frmSetLesson driven as a user drives it: pick a class and a course, click
// the cyan lessons, right-click fixed ones; the list and the targets follow.
#include "gui/timetable/set_lesson_window.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include "support/test_program.h"
#include "support/week_grid_clicks.h"

namespace orv::test {
namespace {

class SetLesson : public ::testing::Test {
 protected:
  SetLesson() {
    program.Exec(
        "insert into Classtb values ('11','一（1）班','',''),('12','一（2）班','',''),('13','三班','','')");
    program.Exec(
        "insert into Coursetb values ('01','语文','',''),('02','数学','',''),('03','英语','',''),"
        "('10','班会','','')");
    program.Exec(
        "insert into ClassPlantb (ClassCode,CourseCode,TeacherCode,Count,BuildCount) values "
        "('11','10','T1',1,0),"
        "('11','03','T3',2,0),('11','02','T2',2,1),('11','01','T1',3,0),('12','01','T1',3,1),('12','02','T3',"
        "2,0)");
    program.Exec(
        "insert into LessonListtb values ('12',1,1,'01','T1',0),"  // T1 fixed in another class
        "('12',2,1,'02','T2',1),"                                  // T2 only automatic elsewhere
        "('11',3,3,'02','T2',1)");                                 // the class's own automatic lesson
  }
  void Open() {
    window = std::make_unique<ui::FrmSetLesson>(program.ctx());
    window->show();
  }
  ui::WeekGrid* Grid() { return Child<ui::WeekGrid>(*window, "MSFlexGrid1"); }
  QListWidget* List() { return Child<QListWidget>(*window, "lstCourse"); }
  QString Panels() {
    return Child<QLabel>(*window, "staMsgPanel2")->text() + "|" +
           Child<QLabel>(*window, "staMsgPanel3")->text();
  }
  void Press(const char* button) { test::Press(*window, button); }
  void Pick(int row) {
    QTest::mouseClick(List()->viewport(), Qt::LeftButton, {},
                      List()->visualItemRect(List()->item(row)).center());
  }
  // The list, the selected entry in brackets.
  QString Courses() {
    QStringList names;
    for (int i = 0; i < List()->count(); ++i)
      names << (i == List()->currentRow() ? "[" + List()->item(i)->text() + "]" : List()->item(i)->text());
    return names.join(',');
  }
  // A cell: the first character of its course on white, 'c' cyan, '.' white.
  QString Week() {
    ui::WeekGrid* g = Grid();
    return WeekText(g->lessons(), [g](ui::GridLesson at) -> QString {
      const QColor colour = g->Color(at);
      if (!g->Text(at).isEmpty()) return colour == ui::kGridWhite ? g->Text(at).left(1) : "?";
      return colour == ui::kGridCyan ? "c" : colour == ui::kGridWhite ? "." : "?";
    });
  }
  QString Fill(char c, std::initializer_list<std::tuple<int, int, const char*>> cells = {}) {
    return With(QString(5 * Grid()->lessons(), c), cells);
  }
  long long Count(const std::string& where) {
    return program.Count("select count(*) from LessonListtb where " + where);
  }

  TestProgram program;
  std::unique_ptr<ui::FrmSetLesson> window;
};

TEST_F(SetLesson, FixingMovesTheCourseUpTheListAndTheSelectionFollowsIt) {
  Open();
  EXPECT_EQ(Panels(), "一（1）班  预排课程|读取成功");
  EXPECT_EQ(Courses(), "[语文],数学,英语,班会");
  EXPECT_EQ(Week(), Fill('c', {{1, 1, "."}})) << "王 is fixed in 一（2）班 on Monday's first lesson";
  Pick(1);
  EXPECT_EQ(Week(), Fill('c')) << "automatic lessons, here or of 李 elsewhere, do not count";

  Pick(2);  // 英语, twice a week
  ClickLesson(Grid(), Qt::LeftButton, 1, 2);
  EXPECT_EQ(Panels(), "一（1）班  预排课程|写入成功");
  EXPECT_EQ(
      Count("ClassCode='11' and Day=1 and LessonNo=2 and CourseCode='03' and TeacherCode='T3' and SetFlag=0"),
      1);
  EXPECT_EQ(Courses(), "[英语],语文,数学,班会");
  EXPECT_EQ(Week(), Fill('c', {{1, 2, "英"}}));

  ClickLesson(Grid(), Qt::LeftButton, 3, 3);  // over the class's automatic 数学
  EXPECT_EQ(Courses(), "[语文],数学,班会") << "英语 has all its lessons fixed: its place passes on";
  EXPECT_EQ(Count("ClassCode='11' and Day=3 and LessonNo=3 and CourseCode='03'"), 1);
  EXPECT_EQ(Week(), Fill('c', {{1, 1, "."}, {1, 2, "英"}, {3, 3, "英"}}));
  for (auto [day, lesson] : {std::pair{1, 1}, {1, 2}}) ClickLesson(Grid(), Qt::LeftButton, day, lesson);
  for (auto [row, col] : {std::pair{0, 2}, {4, 0}, {5, 2}}) ClickCell(Grid(), Qt::LeftButton, row, col);
  EXPECT_EQ(Count("SetFlag=0"), 3) << "only cyan lessons take a course";

  Pick(2);  // 班会, once a week: the list ends at the entry before
  ClickLesson(Grid(), Qt::LeftButton, 5, 6);
  EXPECT_EQ(Courses(), "语文,[数学]");
}

// The list re-sorts after every fix; a highlight left on the old row would
// make the second click fix a different course.
TEST_F(SetLesson, TheSecondClickFixesTheSameCourseAgain) {
  Open();
  Pick(1);  // 数学 (02), one of two lessons still to fix
  ClickLesson(Grid(), Qt::LeftButton, 2, 1);
  ASSERT_EQ(Count("ClassCode='11' and CourseCode='02' and SetFlag=0"), 1);
  ASSERT_NE(List()->currentItem(), nullptr);
  EXPECT_EQ(List()->currentItem()->text(), "数学");
  ClickLesson(Grid(), Qt::LeftButton, 2, 2);
  EXPECT_EQ(Count("ClassCode='11' and Day=2 and LessonNo=2 and CourseCode='02' and SetFlag=0"), 1);
  EXPECT_EQ(Count("ClassCode='11' and SetFlag=0"), 2) << "no other course was fixed";
}

// A click does what the core found when the targets were marked, whatever
// colour the cell shows since.
TEST_F(SetLesson, AClickFixesOnATargetFoundNotOnTheColourShown) {
  Open();
  Grid()->SetColor({1, 1}, ui::kGridCyan);  // 王 is fixed in 一（2）班 then
  ClickLesson(Grid(), Qt::LeftButton, 1, 1);
  EXPECT_EQ(Panels(), "一（1）班  预排课程|读取成功") << "nothing was tried";
  EXPECT_EQ(Count("ClassCode='11' and SetFlag=0"), 0);
  Grid()->SetColor({2, 2}, ui::kGridWhite);
  ClickLesson(Grid(), Qt::LeftButton, 2, 2);
  EXPECT_EQ(Count("ClassCode='11' and Day=2 and LessonNo=2 and CourseCode='01' and SetFlag=0"), 1);
}

TEST_F(SetLesson, RightClickRemovesOnlyAFixedLesson) {
  program.Exec("insert into LessonListtb values ('11',2,4,'01','T1',0)");
  program.Exec("update ClassPlantb set BuildCount=1 where ClassCode='11' and CourseCode='01'");
  Open();
  const QString before = Week();
  ClickLesson(Grid(), Qt::RightButton, 4, 4);
  ClickLesson(Grid(), Qt::RightButton, 3, 3);  // automatic
  for (auto [row, col] : {std::pair{0, 2}, {4, 0}, {5, 2}}) ClickCell(Grid(), Qt::RightButton, row, col);
  EXPECT_EQ(Panels(), "一（1）班  预排课程|读取成功");
  EXPECT_EQ(Week(), before);
  ClickLesson(Grid(), Qt::RightButton, 2, 4);
  EXPECT_EQ(Panels(), "一（1）班  预排课程|删除成功");
  EXPECT_EQ(Week(), Fill('c', {{1, 1, "."}}));
  EXPECT_EQ(Count("ClassCode='11'"), 1);
}

TEST_F(SetLesson, StepsThroughTheClassesAndAClassWithoutPlanOffersNothing) {
  Open();
  Press("CmdPrevClass");
  Press("CmdNextClass");
  EXPECT_EQ(Panels(), "一（2）班  预排课程|读取成功");
  EXPECT_EQ(Courses(), "[语文],数学");
  EXPECT_EQ(Week(), Fill('c', {{1, 1, "语"}}));
  Press("CmdNextClass");
  Press("CmdNextClass");
  EXPECT_EQ(Panels(), "三班  预排课程|读取成功");
  EXPECT_EQ(Courses(), "");
  EXPECT_EQ(Week(), Fill('.'));
  ClickLesson(Grid(), Qt::LeftButton, 2, 2);
  EXPECT_EQ(Count("ClassCode='13'"), 0);
}

TEST_F(SetLesson, TheSeventhLessonIsRowEightAndCanBeFixed) {
  program.state().week.lessonsPerDay = 7;
  Open();
  ASSERT_EQ(Grid()->rowCount(), 9);
  ClickCell(Grid(), Qt::LeftButton, 8, 5);
  EXPECT_EQ(Count("ClassCode='11' and Day=5 and LessonNo=7 and SetFlag=0"), 1);
  EXPECT_EQ(Grid()->item(8, 0)->text() + Grid()->Text({5, 7}), "七语文");
}

}  // namespace
}  // namespace orv::test
