// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/editors/class_plan_editor.h"

#include "editor_test_support.h"

namespace orv::test {
namespace {

using ui::ClassPlanEditor;

// Three classes, three courses and three teachers; class 11 has 语文 with 张 (5).
class ClassPlanEditorTest : public EditorTest {
 protected:
  void SetUp() override {
    Exec("insert into Classtb values ('11','1班','',''),('12','2班','',''),('13','3班','','')");
    Exec("insert into Coursetb values ('K','语文','',''),('M','数学','',''),('E','英语','','')");
    Exec("insert into Teachertb values ('T3','王','',''),('T1','张','',''),('T2','李','','')");
    Plan("('11','K','T1',5)");
  }
  void Plan(const std::string& rows) {
    Exec("insert into ClassPlantb (ClassCode,CourseCode,TeacherCode,Count) values " + rows);
  }
  QLineEdit* CountBox() { return Box("txtCount"); }
  QString Inputs() {
    return Combo("CmbCourse")->currentText() + "|" + Combo("CmbTeacher")->currentText() + "|" +
           CountBox()->text();
  }
  QString TeacherSum() { return Child<QLabel>(*window_, "lblTeacherSum")->text(); }
  QStringList Panels() { return {Panel(2), Panel(3), Panel(4)}; }
  // Picks course and teacher ("" for none), types the count and presses Enter.
  void Enter(const QString& course, const QString& teacher, const QString& count) {
    Choose(Combo("CmbCourse"), course);
    Choose(Combo("CmbTeacher"), teacher);
    CountBox()->clear();
    TypeAndEnter(CountBox(), count);
  }
  long long Plans(const std::string& where) {
    return Count("select count(*) from ClassPlantb where " + where);
  }
};

TEST_F(ClassPlanEditorTest, OpensOnTheFirstRowWithItsTeachersLoadAndStepsThroughTheClasses) {
  Plan("('12','M','T1',4)");
  Open<ClassPlanEditor>();
  EXPECT_EQ(Lines(List()), (QStringList{"语文|张|5"}));
  EXPECT_EQ(Inputs(), "语文|张|5");
  EXPECT_EQ(Panels(), (QStringList{"1班", "1 门", "5 节"}));
  // The teacher panel totals the row's teacher over all classes.
  EXPECT_EQ(Lines(List("lstTeacherInfo")), (QStringList{"1班|语文|5", "2班|数学|4"}));
  EXPECT_EQ(TeacherSum(), "共  9  节课");
  Choose(Combo("CmbTeacher2"), "李");
  EXPECT_EQ(TeacherSum(), "共  0  节课");

  Click(Button("CmdPrevClass"));
  EXPECT_EQ(Panel(2), "1班");
  Click(Button("CmdNextClass"));
  Click(Button("CmdNextClass"));
  EXPECT_EQ(Panels(), (QStringList{"3班", "0 门", "0 节"}));
  EXPECT_EQ(Inputs(), "||");  // an empty plan clears the inputs
  Click(Button("CmdNextClass"));
  EXPECT_EQ(Panel(2), "3班");

  // Nothing selected in an empty plan: modify and delete say so and write nothing.
  Choose(Combo("CmbCourse"), "语文");
  Choose(Combo("CmbTeacher"), "张");
  CountBox()->setText("3");
  Click(Button("cmdModify"));
  Click(Button("cmdDelete"));
  EXPECT_EQ(prompter.messages().size(), 2u);
  EXPECT_EQ(Said(), "请先选择一条记录。");
  EXPECT_EQ(Plans("1"), 2);
}

TEST_F(ClassPlanEditorTest, EnterChecksTheInputsAndAddsToTheSameTeachersRowButNeverCorruptsThePlan) {
  Open<ClassPlanEditor>();
  Click(Button("CmdNextClass"));
  Enter("语文", "张", "");
  EXPECT_EQ(Said(), "请输入节数。");
  EXPECT_TRUE(IsRed(CountBox()));
  Enter("语文", "张", "a");
  EXPECT_EQ(Said(), "节数必须是数字。");
  Enter("", "张", "");
  EXPECT_EQ(Said(), "请选择课程。");
  EXPECT_EQ(Focused(), Combo("CmbCourse"));
  EXPECT_TRUE(IsRed(Combo("CmbCourse")));
  EXPECT_TRUE(IsWhite(Combo("CmbTeacher")));
  Type(CountBox(), "123");
  EXPECT_EQ(CountBox()->text(), "12");  // at most two characters

  Enter("数学", "李", "5");
  EXPECT_EQ(Panel(1), "添加记录成功！添加了1条记录");
  EXPECT_EQ(Focused(), Combo("CmbCourse"));
  EXPECT_EQ(Inputs(), "||");
  EXPECT_EQ(Combo("CmbTeacher2")->currentText(), "李");
  Enter("数学", "李", "2.");
  EXPECT_EQ(Lines(List()), (QStringList{"数学|李|7"}));
  EXPECT_EQ(Panel(4), "7 节");

  Enter("数学", "王", "3");
  EXPECT_EQ(Said(), "添加记录失败  不允许一门课多个老师");
  EXPECT_EQ(Panel(1), "添加记录失败   不允许一门课多个老师");
  EXPECT_EQ(Focused(), CountBox());  // a refused Enter leaves the cursor in place
  for (const char* bad : {"-1", "0", "36", "99"}) {
    Enter("英语", "王", bad);
    EXPECT_EQ(Said(), "节数必须是1到35之间的整数。") << bad;
    EXPECT_TRUE(IsRed(CountBox()));
    EXPECT_EQ(Focused(), CountBox());
  }
  Enter("数学", "李", "29");
  EXPECT_EQ(Said(), "添加记录失败  每周节数合计不能超过35");
  EXPECT_TRUE(IsRed(CountBox()));
  EXPECT_EQ(Lines(List()), (QStringList{"数学|李|7"}));
  // A database that refuses the write: its reason follows the same words.
  Exec("create trigger refuse before insert on ClassPlantb begin select raise(abort,'no'); end");
  Enter("英语", "王", "2");
  EXPECT_EQ(Said(), "添加记录失败  数据不符合表的约束");
  EXPECT_EQ(Panel(1), "添加记录失败   数据不符合表的约束");
  EXPECT_EQ(Plans("ClassCode='12'"), 1);
  EXPECT_EQ(Plans("ClassCode='12' and Count=7"), 1);
}

TEST_F(ClassPlanEditorTest, ModifyAndDeleteWorkOnTheClickedRowOnly) {
  // 语文拓展 stands first and its name begins with 语文.
  Exec("insert into Coursetb values ('K2','语文拓展','','')");
  Exec("delete from ClassPlantb");
  Plan("('11','K2','T1',2),('11','K','T1',5)");
  Exec("insert into LessonListtb values ('11',1,1,'K2','T1',0),('11',1,3,'K','T1',1)");
  Open<ClassPlanEditor>();
  ClickRow(List(), 1);
  Choose(Combo("CmbCourse"), "数学");
  Click(Button("cmdModify"));
  EXPECT_EQ(Said(), "修改记录失败  只允许修改老师和节数");
  EXPECT_EQ(Combo("CmbCourse")->currentText(), "语文");
  EXPECT_TRUE(IsRed(Combo("CmbCourse")));
  EXPECT_EQ(Focused(), Combo("CmbCourse"));

  Choose(Combo("CmbTeacher"), "李");
  CountBox()->setText("6");
  Click(Button("cmdModify"));
  EXPECT_EQ(Panel(1), "修改记录成功！修改了1条记录");
  EXPECT_EQ(Lines(List()), (QStringList{"语文拓展|张|2", "语文|李|6"}));
  EXPECT_EQ(Plans("CourseCode='K' and TeacherCode='T2' and Count=6"), 1);
  EXPECT_EQ(Plans("CourseCode='K2' and TeacherCode='T1' and Count=2"), 1);
  EXPECT_EQ(Panel(4), "8 节");
  EXPECT_EQ(TeacherSum(), "共  6  节课");

  ClickRow(List(), 0);
  prompter.QueueYesNo(false);
  Click(Button("cmdDelete"));
  EXPECT_EQ(prompter.questions().back(), "警告： 确定要删除 '张'的'语文拓展' 吗？(Y/N)？");
  EXPECT_EQ(List()->topLevelItemCount(), 2);
  prompter.QueueYesNo(true);
  QTest::keyClick(List(), Qt::Key_Delete);
  EXPECT_EQ(Panel(1), "删除记录成功！删除了1条记录");
  EXPECT_EQ(Lines(List()), (QStringList{"语文|李|6"}));
  EXPECT_EQ(Panels(), (QStringList{"1班", "1 门", "6 节"}));
  EXPECT_EQ(db().FirstText("select group_concat(CourseCode) from LessonListtb").value_or(""), "K");
  EXPECT_EQ(Plans("1"), 1);
  EXPECT_EQ(TeacherSum(), "共  0  节课");
}

}  // namespace
}  // namespace orv::test
