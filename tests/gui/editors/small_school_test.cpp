// A school entered by hand through the five editors, as a new user would,
// then scheduled by the generation engine.
#include "core/scheduling/build_timetable.h"
#include "gui/editors/editor_windows.h"

#include "editor_test_support.h"

namespace orv::test {
namespace {

void TypeRecord(QDialog& d, const QString& code, const QString& name, const QString& shortName) {
  // Name, full name, short name, code, each followed by Enter.
  TypeAndEnter(Child<QLineEdit>(d, "txtName"), name);
  TypeAndEnter(Child<QLineEdit>(d, "txtFullName"), name);
  TypeAndEnter(Child<QLineEdit>(d, "txtShortName"), shortName);
  TypeAndEnter(Child<QLineEdit>(d, "txtCode"), code);
}

void PlanRow(QDialog& d, const QString& course, const QString& teacher, const QString& count) {
  Choose(Child<QComboBox>(d, "CmbCourse"), course);
  Choose(Child<QComboBox>(d, "CmbTeacher"), teacher);
  TypeAndEnter(Child<QLineEdit>(d, "txtCount"), count);
}

TEST(SmallSchool, EnteredThroughTheEditorsGetsATimetable) {
  EditorBench bench;
  ui::UiContext& ctx = bench.ctx();
  ScriptedPrompter& prompter = bench.prompter();

  prompter.QueueModal([](QDialog& d) {
    TypeRecord(d, "01", "语文", "语");
    TypeRecord(d, "02", "数学", "数");
    TypeRecord(d, "03", "体育", "体");
    Click(Child<QPushButton>(d, "cmdOK"));
  });
  ui::ShowCourseList(ctx, nullptr);

  prompter.QueueModal([](QDialog& d) {
    TypeRecord(d, "T1", "张老师", "张");
    TypeRecord(d, "T2", "李老师", "李");
    TypeRecord(d, "T3", "王老师", "王");
    Click(Child<QPushButton>(d, "cmdOK"));
  });
  ui::ShowTeacherList(ctx, nullptr);

  prompter.QueueModal([](QDialog& d) {
    TypeRecord(d, "R1", "操场", "操场");
    Click(Child<QPushButton>(d, "cmdOK"));
  });
  ui::ShowClassRoomList(ctx, nullptr);

  prompter.QueueModal([](QDialog& d) {
    Choose(Child<QComboBox>(d, "cmbGrade"), "一年级");
    for (const char* number : {"1", "2"}) {
      Choose(Child<QComboBox>(d, "cmbClass"), number);
      Click(Child<QPushButton>(d, "cmdAppend"));
    }
    Click(Child<QPushButton>(d, "cmdOK"));
  });
  ui::ShowClassList(ctx, nullptr);

  prompter.QueueModal([](QDialog& d) {
    for (int cls = 0; cls < 2; ++cls) {
      PlanRow(d, "语文", "张老师", "6");
      PlanRow(d, "数学", "李老师", "5");
      PlanRow(d, "体育", "王老师", "2");
      Click(Child<QPushButton>(d, "CmdNextClass"));
    }
    Click(Child<QPushButton>(d, "cmdOK"));
  });
  ui::ShowClassPlan(ctx, nullptr);

  EXPECT_TRUE(prompter.messages().empty()) << prompter.lastMessage().text.toStdString();
  EXPECT_TRUE(prompter.AllAnswersUsed());
  EXPECT_EQ(bench.Count("select count(*) from Coursetb"), 3);
  EXPECT_EQ(bench.Count("select count(*) from Teachertb"), 3);
  EXPECT_EQ(bench.Count("select count(*) from ClassRoomtb"), 1);
  EXPECT_EQ(bench.Count("select count(*) from Classtb where Code in ('11','12')"), 2);
  EXPECT_EQ(bench.Count("select count(*) from ClassPlantb"), 6);
  EXPECT_EQ(bench.Count("select sum(Count) from ClassPlantb"), 26);

  UniformRandom random;
  const BuildResult result = BuildTimetable(bench.db(), 6, random);
  ASSERT_EQ(result.rate, 100) << result.error;
  EXPECT_EQ(result.plannedLessons, 26);
  EXPECT_EQ(bench.Count("select count(*) from LessonListtb"), 26);
  EXPECT_EQ(bench.Count("select count(*) from LessonListtb where ClassCode='12' and CourseCode='01' and "
                        "TeacherCode='T1'"),
            6);
  // Neither a class nor a teacher is anywhere twice at once.
  EXPECT_EQ(bench.Count("select count(*) from (select 1 from LessonListtb group by ClassCode,Day,LessonNo "
                        "having count(*)>1)"),
            0);
  EXPECT_EQ(bench.Count("select count(*) from (select 1 from LessonListtb group by TeacherCode,Day,LessonNo "
                        "having count(*)>1)"),
            0);
}

}  // namespace
}  // namespace orv::test
