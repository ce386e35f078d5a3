// frmSetLessonOfDay: 6 or 7 lessons a day, saved to kbxt.ini.
#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "gui/shell/lesson_of_day_window.h"
#include "support/test_program.h"

namespace orv::ui {
namespace {

using test::TestProgram;

std::string IniFor(const char* lessons) { return std::string("[LESSON]\nLESSON_OF_DAY=") + lessons + "\n"; }

TEST(LessonOfDay, Captions) {
  TestProgram program;
  FrmSetLessonOfDay window(program.ctx());
  EXPECT_EQ(window.windowTitle(), "每天课时数设置");
  EXPECT_EQ(window.findChild<QLabel*>("Label1")->text(), "每天课时数");
  EXPECT_EQ(window.findChild<QRadioButton*>("Opt6")->text(), "6节");
  EXPECT_EQ(window.findChild<QRadioButton*>("Opt7")->text(), "7节");
  EXPECT_EQ(window.findChild<QPushButton*>("cmdOk")->text(), "确定");
  EXPECT_EQ(window.findChild<QPushButton*>("cmdCancel")->text(), "取消");
}

struct Case {
  const char* stored;  // "" for no settings file
  bool sixShown;
};

class LessonOfDayLoad : public ::testing::TestWithParam<Case> {};

TEST_P(LessonOfDayLoad, SelectsTheStoredValue) {
  TestProgram program(*GetParam().stored ? IniFor(GetParam().stored) : "");
  FrmSetLessonOfDay window(program.ctx());
  EXPECT_EQ(window.Opt6->isChecked(), GetParam().sixShown);
  EXPECT_EQ(window.Opt7->isChecked(), !GetParam().sixShown);
}

INSTANTIATE_TEST_SUITE_P(Values, LessonOfDayLoad,
                         ::testing::Values(Case{"", true}, Case{"6", true}, Case{"7", false},
                                           Case{"8", false}),
                         [](const ::testing::TestParamInfo<Case>& info) {
                           return std::string("stored_") + (*info.param.stored ? info.param.stored : "none");
                         });

TEST(LessonOfDay, HandWrittenEightIsSavedAsSeven) {
  TestProgram program(IniFor("8"));
  FrmSetLessonOfDay window(program.ctx());
  window.show();
  QTest::mouseClick(window.cmdOk, Qt::LeftButton);
  EXPECT_EQ(window.result(), QDialog::Accepted);
  EXPECT_EQ(Settings(program.dir()).GetLessonsPerDay(), 7);
  EXPECT_NE(program.Ini().find("LESSON_OF_DAY=7"), std::string::npos);
  EXPECT_EQ(program.state().lessonsPerDay, 7);
}

TEST(LessonOfDay, SwitchingTakesEffectAtOnceAndKeepsOtherSettings) {
  TestProgram program("[USERINFO]\nUSER=第一中学\n[LESSON]\nLESSON_OF_DAY=7\n");
  program.AddSmallSchool();
  program.Exec("insert into LessonListtb values ('11',1,7,'01','T1',1)");
  FrmSetLessonOfDay window(program.ctx());
  window.show();
  QTest::mouseClick(window.Opt6, Qt::LeftButton);
  QTest::mouseClick(window.cmdOk, Qt::LeftButton);
  EXPECT_FALSE(window.isVisible());
  EXPECT_EQ(program.state().lessonsPerDay, 6);
  EXPECT_EQ(Settings(program.dir()).GetLessonsPerDay(), 6);
  EXPECT_EQ(Settings(program.dir()).GetSchoolName(), "第一中学");
  // The seventh lessons stay until the next start.
  EXPECT_EQ(program.Count("select count(*) from LessonListtb where LessonNo=7"), 1);
}

TEST(LessonOfDay, CancelChangesNothing) {
  TestProgram program(IniFor("6"));
  const std::string before = program.Ini();
  FrmSetLessonOfDay window(program.ctx());
  window.show();
  QTest::mouseClick(window.Opt7, Qt::LeftButton);
  QTest::mouseClick(window.cmdCancel, Qt::LeftButton);
  EXPECT_EQ(window.result(), QDialog::Rejected);
  EXPECT_EQ(program.Ini(), before);
  EXPECT_EQ(program.state().lessonsPerDay, 6);
}

TEST(LessonOfDay, UnwritableSettingsKeepTheWindowAndTheValue) {
  TestProgram program(IniFor("6"));
  test::BlockSettingsWrites(program.dir());
  FrmSetLessonOfDay window(program.ctx());
  window.show();
  QTest::mouseClick(window.Opt7, Qt::LeftButton);
  QTest::mouseClick(window.cmdOk, Qt::LeftButton);
  const auto& m = program.prompter().lastMessage();
  EXPECT_EQ(m.icon, MessageIcon::Critical);
  EXPECT_EQ(m.title, "每天课时数设置");
  EXPECT_EQ(m.text, "存盘失败！");
  EXPECT_TRUE(window.isVisible());
  EXPECT_EQ(program.state().lessonsPerDay, 6);
  EXPECT_EQ(Settings(program.dir()).GetLessonsPerDay(), 6);
}

}  // namespace
}  // namespace orv::ui
