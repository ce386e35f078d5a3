// frmSetLesson driven as a user drives it: pick a class and a course, click
// the cyan lessons, right-click fixed ones; the course list and the targets
// follow every click.
#include "gui/timetable/set_lesson_window.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include "gui/shell/main_window.h"
#include "support/test_program.h"
#include "support/week_grid_clicks.h"

namespace orv::test {
namespace {

class SetLesson : public ::testing::Test {
 protected:
  explicit SetLesson(const std::string& ini = "") : program(ini) {
    program.Exec(
        "insert into Classtb values ('11','一（1）班','',''),('12','一（2）班','',''),('13','一（3）班','','')");
    program.Exec(
        "insert into Coursetb values ('01','语文','',''),('02','数学','',''),('03','英语','',''),"
        "('10','班会','','')");
    program.Exec("insert into Teachertb values ('T1','王','',''),('T2','李','',''),('T3','张','','')");
    program.Exec(
        "insert into ClassPlantb (ClassCode,CourseCode,TeacherCode,Count) values "
        "('11','10','T1',1),('11','03','T3',2),('11','02','T2',2),('11','01','T1',3),"
        "('12','01','T1',3),('12','02','T3',2)");
    program.Exec("insert into LessonListtb values ('12',1,1,'01','T1',0)");  // T1 fixed in another class
    program.Exec("insert into LessonListtb values ('12',2,1,'02','T2',1)");  // T2 only automatic elsewhere
    program.Exec("insert into LessonListtb values ('11',3,3,'02','T2',1)");  // the class's own automatic lesson
    program.Exec("update ClassPlantb set BuildCount=1 where ClassCode='11' and CourseCode='02'");
  }
  void Open() {
    window = std::make_unique<ui::FrmSetLesson>(program.ctx());
    window->show();
    (void)QTest::qWaitForWindowExposed(window.get());
  }
  template <class T>
  T* Child(const char* name) {
    T* w = window->findChild<T*>(name);
    if (w == nullptr) throw std::runtime_error(std::string("no control ") + name);
    return w;
  }
  ui::WeekGrid* Grid() { return Child<ui::WeekGrid>("MSFlexGrid1"); }
  QListWidget* List() { return Child<QListWidget>("lstCourse"); }
  QString Panel(int n) { return Child<QLabel>(("staMsgPanel" + std::to_string(n)).c_str())->text(); }
  void Click(const char* button) { QTest::mouseClick(Child<QPushButton>(button), Qt::LeftButton); }
  void PickCourse(int row) {
    QListWidgetItem* item = List()->item(row);
    ASSERT_NE(item, nullptr);
    QTest::mouseClick(List()->viewport(), Qt::LeftButton, {}, List()->visualItemRect(item).center());
  }
  // The listed courses, the selected one in brackets.
  QString Courses() {
    QStringList names;
    for (int i = 0; i < List()->count(); ++i)
      names << (i == List()->currentRow() ? "[" + List()->item(i)->text() + "]" : List()->item(i)->text());
    return names.join(',');
  }
  // A cell: the first character of its course on white, 'c' cyan, '.' white;
  // lessons separated by '/'.
  QString Week() {
    QString out;
    ui::WeekGrid* g = Grid();
    for (int lesson = 1; lesson <= g->lessons(); ++lesson) {
      if (lesson > 1) out += '/';
      for (int day = 1; day <= 5; ++day) {
        const QString text = g->Text({day, lesson});
        const QColor colour = g->Color({day, lesson});
        if (!text.isEmpty())
          out += colour == ui::kGridWhite ? text.left(1) : "?";
        else
          out += colour == ui::kGridCyan ? "c" : colour == ui::kGridWhite ? "." : "?";
      }
    }
    return out;
  }
  // Every lesson the same, then the given cells replaced.
  QString Fill(char c, std::initializer_list<std::tuple<int, int, const char*>> cells = {}) {
    QString week;
    for (int lesson = 1; lesson <= Grid()->lessons(); ++lesson) week += (lesson > 1 ? "/" : "") + QString(5, c);
    for (auto [day, lesson, text] : cells) week.replace((lesson - 1) * 6 + day - 1, 1, text);
    return week;
  }
  long long Count(const std::string& sql) { return program.Count(sql); }
  int BuildCount(const char* cls, const char* course) {
    return static_cast<int>(
        Count(std::string("select BuildCount from ClassPlantb where ClassCode='") + cls + "' and CourseCode='" +
              course + "'"));
  }

  TestProgram program;
  std::unique_ptr<ui::FrmSetLesson> window;
};

TEST_F(SetLesson, OpensOnTheFirstClassWithItsFirstCourseMarked) {
  Open();
  EXPECT_EQ(window->objectName() + window->windowTitle(), "frmSetLesson预先安排固定课程");
  EXPECT_EQ(Child<QLabel>("Label1")->text(), "这是自动排课之前的准备工作：先在某些课时安排预先确定的课程");
  EXPECT_EQ(Panel(1), "鼠标左键单击青色课时 -- 安排课时       鼠标右键 -- 删除设置的课程");
  EXPECT_EQ(Panel(2), "一（1）班  预排课程");
  EXPECT_EQ(Panel(3), "读取成功");
  EXPECT_EQ(Courses(), "[语文],数学,英语,班会");
  // 王 has a fixed lesson in 一（2）班 on Monday's first lesson.
  EXPECT_EQ(Week(), Fill('c', {{1, 1, "."}}));
  // 李 only has an automatic lesson elsewhere, and the class's own automatic
  // lesson does not count either.
  PickCourse(1);
  EXPECT_EQ(Week(), Fill('c'));
}

TEST_F(SetLesson, FixingMovesTheCourseUpTheListAndKeepsTheSelectedPosition) {
  Open();
  PickCourse(2);  // 英语, twice a week
  test::ClickLesson(Grid(), Qt::LeftButton, 1, 2);
  EXPECT_EQ(Panel(3), "写入成功");
  EXPECT_EQ(Count("select count(*) from LessonListtb where ClassCode='11' and Day=1 and LessonNo=2 and "
                  "CourseCode='03' and TeacherCode='T3' and SetFlag=0"),
            1);
  EXPECT_EQ(BuildCount("11", "03"), 1);
  // Partly fixed courses come first; the selection stays at the third entry.
  EXPECT_EQ(Courses(), "英语,语文,[数学],班会");
  EXPECT_EQ(Week(), Fill('c', {{1, 2, "英"}}));

  PickCourse(0);
  test::ClickLesson(Grid(), Qt::LeftButton, 5, 6);
  EXPECT_EQ(Courses(), "[语文],数学,班会") << "英语 has all its lessons fixed";
  EXPECT_EQ(BuildCount("11", "03"), 2);
  EXPECT_EQ(Week(), Fill('c', {{1, 1, "."}, {1, 2, "英"}, {5, 6, "英"}}));

  // Lessons that are not cyan take nothing.
  for (auto [day, lesson] : {std::pair{1, 1}, {1, 2}}) test::ClickLesson(Grid(), Qt::LeftButton, day, lesson);
  EXPECT_EQ(Count("select count(*) from LessonListtb where SetFlag=0"), 3);

  // The last entry is selected when the list becomes shorter than the position.
  PickCourse(2);  // 班会, once a week
  test::ClickLesson(Grid(), Qt::LeftButton, 5, 5);
  EXPECT_EQ(Courses(), "语文,[数学]");
}

TEST_F(SetLesson, FixingWhereTheClassHasAnAutomaticLessonReplacesIt) {
  Open();
  test::ClickLesson(Grid(), Qt::LeftButton, 3, 3);  // 语文 over the automatic 数学
  EXPECT_EQ(Count("select count(*) from LessonListtb where ClassCode='11' and Day=3 and LessonNo=3"), 1);
  EXPECT_EQ(Count("select count(*) from LessonListtb where ClassCode='11' and Day=3 and LessonNo=3 and "
                  "CourseCode='01' and SetFlag=0"),
            1);
  EXPECT_EQ(BuildCount("11", "01"), 1);
  EXPECT_EQ(BuildCount("11", "02"), 0);
}

TEST_F(SetLesson, RightClickRemovesOnlyAFixedLesson) {
  program.Exec("insert into LessonListtb values ('11',2,4,'01','T1',0)");
  program.Exec("update ClassPlantb set BuildCount=1 where ClassCode='11' and CourseCode='01'");
  Open();
  EXPECT_EQ(Courses(), "[语文],数学,英语,班会");
  EXPECT_EQ(Grid()->Text({2, 4}), "语文");
  const QString before = Week();
  // Empty cells, the class's automatic lesson and the headers hold nothing to remove.
  test::ClickLesson(Grid(), Qt::RightButton, 4, 4);
  test::ClickLesson(Grid(), Qt::RightButton, 3, 3);
  for (auto [row, col] : {std::pair{0, 2}, {4, 0}, {5, 2}}) test::ClickCell(Grid(), Qt::RightButton, row, col);
  EXPECT_EQ(Panel(3), "读取成功");
  EXPECT_EQ(Week(), before);
  EXPECT_EQ(Count("select count(*) from LessonListtb"), 4);

  test::ClickLesson(Grid(), Qt::RightButton, 2, 4);
  EXPECT_EQ(Panel(3), "删除成功");
  EXPECT_EQ(Grid()->Text({2, 4}), "");
  EXPECT_EQ(Week(), Fill('c', {{1, 1, "."}}));
  EXPECT_EQ(BuildCount("11", "01"), 0);
  EXPECT_EQ(Count("select count(*) from LessonListtb where ClassCode='11'"), 1);
}

TEST_F(SetLesson, StepsThroughTheClassesAndAClassWithoutPlanOffersNothing) {
  Open();
  Click("CmdPrevClass");
  EXPECT_EQ(Panel(2), "一（1）班  预排课程");
  Click("CmdNextClass");
  EXPECT_EQ(Panel(2), "一（2）班  预排课程");
  EXPECT_EQ(Courses(), "[语文],数学") << "the first course of the new class";
  EXPECT_EQ(Week(), Fill('c', {{1, 1, "语"}}));
  PickCourse(1);  // 数学 by 张 here
  EXPECT_EQ(Week(), Fill('c', {{1, 1, "语"}}));

  Click("CmdNextClass");
  Click("CmdNextClass");
  EXPECT_EQ(Panel(2), "一（3）班  预排课程");
  EXPECT_EQ(Courses(), "");
  EXPECT_EQ(Week(), Fill('.'));
  test::ClickLesson(Grid(), Qt::LeftButton, 2, 2);
  EXPECT_EQ(Count("select count(*) from LessonListtb where ClassCode='13'"), 0);
}

class SetLessonSeven : public SetLesson {
 protected:
  SetLessonSeven() : SetLesson("[LESSON]\nLESSON_OF_DAY=7\n") {}
};

TEST_F(SetLessonSeven, TheSeventhLessonIsRowEightAndCanBeFixed) {
  Open();
  ASSERT_EQ(Grid()->rowCount(), 9);
  EXPECT_EQ(Grid()->item(8, 0)->text(), "七");
  test::ClickCell(Grid(), Qt::LeftButton, 8, 5);
  EXPECT_EQ(Count("select count(*) from LessonListtb where ClassCode='11' and Day=5 and LessonNo=7 and SetFlag=0"),
            1);
  EXPECT_EQ(Grid()->Text({5, 7}), "语文");
}

TEST_F(SetLesson, TheMenuOpensTheFiveWindows) {
  ui::FrmMain main(program.ctx());
  QStringList opened;
  for (QAction* item : {main.mnuClassLimit, main.mnuCourseLimit, main.mnuTeacherLimit, main.mnuClassroomLimit,
                        main.mnuPrepairBuild}) {
    EXPECT_TRUE(item->isEnabled());
    program.prompter().QueueModal([&](QDialog& d) {
      opened << d.objectName();
      QTest::mouseClick(d.findChild<QPushButton*>("cmdOK"), Qt::LeftButton);
    });
    item->trigger();
  }
  EXPECT_EQ(opened, (QStringList{"frmClassLimitInput", "frmCourseLimitInput", "frmTeacherLimitInput",
                                 "frmClassRoomLimitInput", "frmSetLesson"}));
}

}  // namespace
}  // namespace orv::test
