// What the administrator prepares in the windows reaches the generation: a
// lesson fixed in frmSetLesson stays where it was put, and a course marked
// special in the course window is never taught to two classes at once.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QListWidget>

#include "core/scheduling/build_timetable.h"
#include "gui/shell/main_window.h"
#include "support/test_program.h"
#include "support/week_grid_clicks.h"

namespace orv::test {
namespace {

// Classes 11..1n, each taught Chinese, maths and a third course by teachers of its own.
void AddSchool(TestProgram& p, int classes, const char* third, int thirdCount) {
  p.Exec(
      "insert into Coursetb values ('01','语文','',''),('02','数学','',''),('09','信息技术','',''),"
      "('10','班会','','')");
  for (int i = 1; i <= classes; ++i) {
    const std::string c = "1" + std::to_string(i);
    p.Exec("insert into Classtb values (?,?,'','')", c, c);
    p.Exec(
        "insert into ClassPlantb (ClassCode,CourseCode,TeacherCode,Count) values (?,'01',?,?),(?,'02',?,?),"
        "(?,?,?,?)",
        c, "C" + c, 14 - thirdCount / 2, c, "M" + c, 14 - thirdCount / 2, c, std::string(third), "X" + c,
        thirdCount);
  }
}

TEST(PreparedGeneration, TheClassMeetingFixedOnFridaysLastLessonIsKept) {
  TestProgram program;
  AddSchool(program, 3, "10", 1);
  ui::FrmMain main(program.ctx());
  program.prompter().QueueModal([](QDialog& d) {
    auto* courses = d.findChild<QListWidget*>("lstCourse");
    for (int i = 0; i < 3; ++i) {
      QListWidgetItem* meeting = courses->findItems("班会", Qt::MatchExactly).value(0);
      ASSERT_TRUE(meeting);
      QTest::mouseClick(courses->viewport(), Qt::LeftButton, {}, courses->visualItemRect(meeting).center());
      ClickLesson(d.findChild<ui::WeekGrid*>("MSFlexGrid1"), Qt::LeftButton, 5, 6);
      Press(d, "CmdNextClass");
    }
    Press(d, "cmdOK");
  });
  main.mnuPrepairBuild->trigger();
  const std::string kept =
      "select count(*) from LessonListtb where CourseCode='10' and SetFlag=0 and Day=5 and LessonNo=6";
  ASSERT_EQ(program.Count(kept), 3);

  UniformRandom random;
  const Result<BuildResult> built = BuildTimetable(*program.state().db, 6, random);
  ASSERT_TRUE(built) << built.message();
  ASSERT_EQ(built->rate, 100);
  EXPECT_EQ(program.Count(kept), 3);
  EXPECT_EQ(
      program.Count("select count(*) from LessonListtb where CourseCode='10' or (Day=5 and LessonNo=6)"), 3);
  EXPECT_EQ(program.Count("select sum(BuildCount) from ClassPlantb where CourseCode='10'"), 3);
}

TEST(PreparedGeneration, ASpecialCourseIsNeverTaughtToTwoClassesAtOnce) {
  TestProgram program;
  AddSchool(program, 6, "09", 4);
  const auto clashes = [&] {
    return program.Count(
        "select count(*) from (select 1 from LessonListtb where CourseCode='09' "
        "group by Day,LessonNo having count(*) > 1)");
  };
  UniformRandom random;
  // Unmarked, the six teachers of 信息技术 happily share lessons.
  ASSERT_TRUE(BuildTimetable(*program.state().db, 6, random).ok());
  ASSERT_GT(clashes(), 0) << "the school must be able to show a clash";

  ui::FrmMain main(program.ctx());
  program.prompter().QueueModal([](QDialog& d) {
    auto* courses = d.findChild<QComboBox*>("CmbCourse");
    courses->setCurrentIndex(courses->findText("信息技术"));
    d.findChild<QCheckBox*>("chkSpecialCourse")->click();
    Press(d, "cmdOK");
  });
  main.mnuCourseLimit->trigger();
  for (std::uint64_t seed : {1u, 2u, 3u}) {
    random.Seed(seed);
    ASSERT_TRUE(BuildTimetable(*program.state().db, 6, random).ok());
    EXPECT_EQ(clashes(), 0) << "seed " << seed;
    // The mark keeps the classes apart; it does not stop the course being taught.
    EXPECT_GE(program.Count("select count(*) from LessonListtb where CourseCode='09'"), 12)
        << "seed " << seed;
  }
}

}  // namespace
}  // namespace orv::test
