// The editors as the program offers them: from the basic-data menu, and a
// school entered by hand through all five, then scheduled.
#include "core/scheduling/build_timetable.h"
#include "gui/editors/editor_windows.h"
#include "gui/shell/main_window.h"

#include "editor_test_support.h"

namespace orv::test {
namespace {

using BasicData = EditorTest;

TEST_F(BasicData, EachMenuItemOpensItsEditor) {
  ui::FrmMain window(ctx);
  QStringList opened;
  for (QAction* item : {window.mnuClassList, window.mnuCourseList, window.mnuTeacherList,
                        window.mnuClassRoomList, window.mnuClassPlan}) {
    prompter.QueueModal([&](QDialog& d) {
      opened << d.objectName();
      Click(Child<QPushButton>(d, "cmdOK"));
    });
    item->trigger();
  }
  EXPECT_EQ(opened, (QStringList{"frmClassInput", "frmCourseInput", "frmTeacherInput", "frmClassRoomInput",
                                 "frmClassPlanInput"}));
}

TEST_F(BasicData, ASmallSchoolEnteredThroughTheEditorsGetsATimetable) {
  using Records = std::vector<std::array<QString, 3>>;  // code, name (also the full name), short name
  const std::pair<void (*)(ui::UiContext&, QWidget*), Records> lists[] = {
      {ui::ShowCourseList, {{"01", "语文", "语"}, {"02", "数学", "数"}, {"03", "体育", "体"}}},
      {ui::ShowTeacherList, {{"T1", "张老师", "张"}, {"T2", "李老师", "李"}, {"T3", "王老师", "王"}}},
      {ui::ShowClassRoomList, {{"R1", "操场", "操场"}}}};
  for (const auto& [show, records] : lists) {
    prompter.QueueModal([&](QDialog& d) {
      for (const auto& [code, name, shortName] : records) {
        TypeAndEnter(Child<QLineEdit>(d, "txtName"), name);
        TypeAndEnter(Child<QLineEdit>(d, "txtFullName"), name);
        TypeAndEnter(Child<QLineEdit>(d, "txtShortName"), shortName);
        TypeAndEnter(Child<QLineEdit>(d, "txtCode"), code);
      }
      Click(Child<QPushButton>(d, "cmdOK"));
    });
    show(ctx, nullptr);
  }
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
      for (const auto& [course, teacher, count] : {std::array<QString, 3>{"语文", "张老师", "6"},
                                                   {"数学", "李老师", "5"},
                                                   {"体育", "王老师", "2"}}) {
        Choose(Child<QComboBox>(d, "CmbCourse"), course);
        Choose(Child<QComboBox>(d, "CmbTeacher"), teacher);
        TypeAndEnter(Child<QLineEdit>(d, "txtCount"), count);
      }
      Click(Child<QPushButton>(d, "CmdNextClass"));
    }
    Click(Child<QPushButton>(d, "cmdOK"));
  });
  ui::ShowClassPlan(ctx, nullptr);

  EXPECT_TRUE(prompter.messages().empty()) << prompter.lastMessage().text.toStdString();
  EXPECT_TRUE(prompter.AllAnswersUsed());
  // Courses, teachers and classes are there, or the plan could not name them.
  EXPECT_EQ(Count("select count(*) from ClassRoomtb where Code='R1'"), 1);
  EXPECT_EQ(Count("select sum(Count) from ClassPlantb"), 26);

  UniformRandom random;
  const Result<BuildResult> result = BuildTimetable(db(), 6, random);
  ASSERT_TRUE(result) << result.message();
  ASSERT_EQ(result->rate, 100);
  EXPECT_EQ(Count("select count(*) from LessonListtb"), 26);
  EXPECT_EQ(Count("select count(*) from LessonListtb where ClassCode='12' and CourseCode='01' and "
                  "TeacherCode='T1'"),
            6);
}

}  // namespace
}  // namespace orv::test
