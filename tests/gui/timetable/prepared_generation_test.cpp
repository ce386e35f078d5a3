// What the administrator prepares in the windows reaches the generation: a
// lesson fixed in frmSetLesson stays where it was put, and a course marked
// special in the course window is never taught to two classes at once.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include "core/scheduling/build_timetable.h"
#include "gui/shell/main_window.h"
#include "support/test_program.h"
#include "support/week_grid_clicks.h"

namespace orv::test {
namespace {

template <class T>
T* Child(QDialog& d, const char* name) {
  T* w = d.findChild<T*>(name);
  if (w == nullptr) throw std::runtime_error(std::string("no control ") + name);
  return w;
}

void Press(QDialog& d, const char* button) { QTest::mouseClick(Child<QPushButton>(d, button), Qt::LeftButton); }

// Classes 11..1n, each with Chinese and maths of its own teachers and the
// given third course by a teacher of its own.
void AddSchool(TestProgram& p, int classes, const char* third, int chinese, int maths, int thirdCount) {
  p.Exec("insert into Coursetb values ('01','语文','',''),('02','数学','',''),('09','信息技术','',''),"
         "('10','班会','','')");
  for (int i = 1; i <= classes; ++i) {
    const std::string cls = "1" + std::to_string(i);
    p.Exec("insert into Classtb values (?,?,'','')", cls, "一（" + std::to_string(i) + "）班");
    for (const char* role : {"C", "M", "X"})
      p.Exec("insert into Teachertb values (?,?,'','')", role + cls, role + cls);
    p.Exec("insert into ClassPlantb (ClassCode,CourseCode,TeacherCode,Count) values (?,'01',?,?),(?,'02',?,?),"
           "(?,?,?,?)",
           cls, "C" + cls, chinese, cls, "M" + cls, maths, cls, std::string(third), "X" + cls, thirdCount);
  }
}

// Slots where two or more classes have the course.
long long Clashes(TestProgram& p, const char* course) {
  return p.Count(std::string("select count(*) from (select Day,LessonNo from LessonListtb where CourseCode='") +
                 course + "' group by Day,LessonNo having count(*) > 1)");
}

TEST(PreparedGeneration, TheClassMeetingFixedOnFridaysLastLessonIsKept) {
  TestProgram program;
  AddSchool(program, 3, "10", 14, 14, 1);
  ui::FrmMain main(program.ctx());
  program.prompter().QueueModal([](QDialog& d) {
    for (int i = 0; i < 3; ++i) {
      auto* courses = Child<QListWidget>(d, "lstCourse");
      const QList<QListWidgetItem*> meeting = courses->findItems("班会", Qt::MatchExactly);
      ASSERT_EQ(meeting.size(), 1);
      QTest::mouseClick(courses->viewport(), Qt::LeftButton, {}, courses->visualItemRect(meeting[0]).center());
      ClickLesson(Child<ui::WeekGrid>(d, "MSFlexGrid1"), Qt::LeftButton, 5, 6);
      Press(d, "CmdNextClass");
    }
    Press(d, "cmdOK");
  });
  main.mnuPrepairBuild->trigger();
  ASSERT_EQ(program.Count("select count(*) from LessonListtb where SetFlag=0 and CourseCode='10' and Day=5 and "
                          "LessonNo=6"),
            3);

  UniformRandom random;
  const BuildResult built = BuildTimetable(*program.state().db, 6, random);
  ASSERT_EQ(built.rate, 100) << built.error;
  EXPECT_EQ(program.Count("select count(*) from LessonListtb where CourseCode='10' and SetFlag=0 and Day=5 and "
                          "LessonNo=6"),
            3);
  EXPECT_EQ(program.Count("select count(*) from LessonListtb where CourseCode='10'"), 3);
  EXPECT_EQ(program.Count("select count(*) from LessonListtb where Day=5 and LessonNo=6 and CourseCode<>'10'"), 0);
  EXPECT_EQ(program.Count("select sum(BuildCount) from ClassPlantb where CourseCode='10'"), 3);
}

TEST(PreparedGeneration, ASpecialCourseIsNeverTaughtToTwoClassesAtOnce) {
  TestProgram program;
  AddSchool(program, 6, "09", 10, 10, 4);
  UniformRandom random;
  // Unmarked, six teachers of 信息技术 happily share lessons.
  ASSERT_GE(BuildTimetable(*program.state().db, 6, random).rate, 0);
  ASSERT_GT(Clashes(program, "09"), 0) << "the school must be able to show a clash";

  ui::FrmMain main(program.ctx());
  program.prompter().QueueModal([](QDialog& d) {
    auto* courses = Child<QComboBox>(d, "CmbCourse");
    courses->setCurrentIndex(courses->findText("信息技术"));
    Child<QCheckBox>(d, "chkSpecialCourse")->click();
    Press(d, "cmdOK");
  });
  main.mnuCourseLimit->trigger();
  ASSERT_EQ(program.Count("select count(*) from CourseAttrtb where CourseCode='09'"), 1);

  for (std::uint64_t seed : {1u, 2u, 3u}) {
    random.Seed(seed);
    const BuildResult built = BuildTimetable(*program.state().db, 6, random);
    ASSERT_GE(built.rate, 0) << built.error;
    EXPECT_EQ(Clashes(program, "09"), 0) << "seed " << seed;
    // The mark keeps the classes apart; it does not stop the course being taught.
    EXPECT_GE(program.Count("select count(*) from LessonListtb where CourseCode='09'"), 12) << "seed " << seed;
  }
}

}  // namespace
}  // namespace orv::test
