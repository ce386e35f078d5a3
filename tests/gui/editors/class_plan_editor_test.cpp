#include "gui/editors/class_plan_editor.h"

#include "editor_test_support.h"

namespace orv::test {
namespace {

using ui::ClassPlanEditor;
using ui::MessageIcon;

// Two classes, three courses and three teachers; 一（1）班 has 语文 with 张 (5).
class ClassPlanEditorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    bench.Exec(
        "insert into Classtb values "
        "('11','一（1）班','',''),('12','一（2）班','',''),('13','一（3）班','','')");
    bench.Exec("insert into Coursetb values ('K','语文','',''),('M','数学','',''),('E','英语','','')");
    bench.Exec("insert into Teachertb values ('T3','王','',''),('T1','张','',''),('T2','李','','')");
    bench.Exec("insert into ClassPlantb (ClassCode,CourseCode,TeacherCode,Count) values ('11','K','T1',5)");
  }
  ClassPlanEditor& Open() {
    window_ = std::make_unique<ClassPlanEditor>(bench.ctx());
    Show(*window_);
    return *window_;
  }
  QComboBox* Combo(const char* name) { return Child<QComboBox>(*window_, name); }
  QLineEdit* CountBox() { return Child<QLineEdit>(*window_, "txtCount"); }
  QTreeWidget* List() { return Child<QTreeWidget>(*window_, "lstAllRecord"); }
  QTreeWidget* TeacherList() { return Child<QTreeWidget>(*window_, "lstTeacherInfo"); }
  QPushButton* Button(const char* name) { return Child<QPushButton>(*window_, name); }
  QString TeacherSum() { return Child<QLabel>(*window_, "lblTeacherSum")->text(); }
  // Picks course and teacher, types the count and presses Enter.
  void Enter(const QString& course, const QString& teacher, const QString& count) {
    if (course.isEmpty())
      Combo("CmbCourse")->setCurrentIndex(-1);
    else
      Choose(Combo("CmbCourse"), course);
    if (teacher.isEmpty())
      Combo("CmbTeacher")->setCurrentIndex(-1);
    else
      Choose(Combo("CmbTeacher"), teacher);
    CountBox()->clear();
    TypeAndEnter(CountBox(), count);
  }
  long long PlanCount(const char* cls, const char* course) {
    return bench.Count(std::string("select Count from ClassPlantb where ClassCode='") + cls +
                       "' and CourseCode='" + course + "'");
  }

  EditorBench bench;
  std::unique_ptr<ClassPlanEditor> window_;
};

TEST_F(ClassPlanEditorTest, OpensOnTheFirstClassWithItsFirstRowInTheInputs) {
  ClassPlanEditor& w = Open();
  EXPECT_EQ(w.windowTitle(), "班级计划");
  EXPECT_EQ(Combo("CmbClass")->currentText(), "一（1）班");
  // Teachers in code order in both teacher selectors.
  EXPECT_EQ(Combo("CmbTeacher")->itemText(0), "张");
  EXPECT_EQ(Combo("CmbTeacher2")->itemText(2), "王");
  EXPECT_EQ(Row(List(), 0), (QStringList{"语文", "张", "5"}));
  EXPECT_EQ(List()->columnWidth(2), 76);  // 1150 twips
  EXPECT_EQ(TeacherList()->columnWidth(0), 70);
  EXPECT_EQ(Combo("CmbCourse")->currentText(), "语文");
  EXPECT_EQ(Combo("CmbTeacher")->currentText(), "张");
  EXPECT_EQ(CountBox()->text(), "5");
  EXPECT_EQ(CountBox()->maxLength(), 2);
  EXPECT_EQ(Combo("CmbTeacher2")->currentText(), "张");
  EXPECT_EQ(TeacherSum(), "共  5  节课");
  EXPECT_EQ(Panel(w, 2), "一（1）班");
  EXPECT_EQ(Panel(w, 3), "1 门");
  EXPECT_EQ(Panel(w, 4), "5 节");
}

TEST_F(ClassPlanEditorTest, PreviousAndNextStopAtTheEnds) {
  ClassPlanEditor& w = Open();
  Click(Button("CmdPrevClass"));
  EXPECT_EQ(Combo("CmbClass")->currentIndex(), 0);
  Click(Button("CmdNextClass"));
  EXPECT_EQ(Panel(w, 2), "一（2）班");
  EXPECT_EQ(List()->topLevelItemCount(), 0);
  EXPECT_EQ(Panel(w, 3), "0 门");
  EXPECT_EQ(Combo("CmbCourse")->currentIndex(), -1);  // an empty plan clears the inputs
  Click(Button("CmdNextClass"));
  Click(Button("CmdNextClass"));
  EXPECT_EQ(Combo("CmbClass")->currentText(), "一（3）班");
  Click(Button("CmdPrevClass"));
  Click(Button("CmdPrevClass"));
  EXPECT_EQ(Combo("CmbClass")->currentText(), "一（1）班");
  EXPECT_EQ(List()->topLevelItemCount(), 1);
}

TEST_F(ClassPlanEditorTest, AppendingAddsToTheRowOfTheSameTeacher) {
  ClassPlanEditor& w = Open();
  Click(Button("CmdNextClass"));
  Enter("数学", "李", "5");
  EXPECT_EQ(PlanCount("12", "M"), 5);
  EXPECT_EQ(Panel(w, 1), "添加记录成功！添加了1条记录");
  EXPECT_EQ(w.focusWidget(), Combo("CmbCourse"));
  EXPECT_EQ(CountBox()->text(), "");
  EXPECT_EQ(Combo("CmbCourse")->currentIndex(), -1);
  EXPECT_EQ(Combo("CmbTeacher2")->currentText(), "李");
  Enter("数学", "李", "2");
  EXPECT_EQ(PlanCount("12", "M"), 7);
  EXPECT_EQ(bench.Count("select count(*) from ClassPlantb where ClassCode='12'"), 1);
  EXPECT_EQ(Row(List(), 0), (QStringList{"数学", "李", "7"}));
  EXPECT_EQ(Panel(w, 4), "7 节");
  EXPECT_EQ(bench.Count("select BuildCount + IsAutoBuild from ClassPlantb where ClassCode='12'"), 0);

  // 0 adds a row with no lessons, -1 lowers an existing row, and "2." is 2.
  Enter("英语", "王", "0");
  EXPECT_EQ(PlanCount("12", "E"), 0);
  Enter("数学", "李", "-1");
  EXPECT_EQ(PlanCount("12", "M"), 6);
  Enter("英语", "王", "2.");
  EXPECT_EQ(PlanCount("12", "E"), 2);
  EXPECT_EQ(Panel(w, 3), "2 门");
  EXPECT_EQ(Panel(w, 4), "8 节");
}

TEST_F(ClassPlanEditorTest, ACourseHasOneTeacherPerClass) {
  ClassPlanEditor& w = Open();
  Enter("语文", "李", "3");
  const RecordedMessage& m = bench.prompter().lastMessage();
  EXPECT_EQ(m.text, "添加记录失败  不允许一门课多个老师");
  EXPECT_EQ(m.title, "添加失败");
  EXPECT_EQ(m.icon, MessageIcon::Information);
  EXPECT_EQ(Panel(w, 1), "添加记录失败   不允许一门课多个老师");
  EXPECT_EQ(bench.Count("select count(*) from ClassPlantb"), 1);
  EXPECT_EQ(PlanCount("11", "K"), 5);
  EXPECT_EQ(w.focusWidget(), CountBox());  // a refused Enter leaves the cursor in place
}

TEST_F(ClassPlanEditorTest, ANegativeWeeklyCountIsRefused) {
  Open();
  Enter("数学", "李", "-1");
  EXPECT_EQ(bench.prompter().lastMessage().text, "添加记录失败  每周节数不能小于0");
  EXPECT_EQ(bench.Count("select count(*) from ClassPlantb where CourseCode='M'"), 0);
  Enter("语文", "张", "-6");
  EXPECT_EQ(PlanCount("11", "K"), 5);
  EXPECT_TRUE(IsRed(CountBox()));
}

TEST_F(ClassPlanEditorTest, TheCheckNamesTheFirstProblem) {
  ClassPlanEditor& w = Open();
  Enter("语文", "张", "");
  EXPECT_EQ(bench.prompter().lastMessage().text, "请输入节数。");
  EXPECT_EQ(bench.prompter().lastMessage().title, "输入检查信息");
  EXPECT_TRUE(IsRed(CountBox()));
  Enter("语文", "张", "a");
  EXPECT_EQ(bench.prompter().lastMessage().text, "节数必须是数字。");
  Enter("", "张", "");
  EXPECT_EQ(bench.prompter().lastMessage().text, "请选择课程。");
  EXPECT_EQ(w.focusWidget(), Combo("CmbCourse"));
  EXPECT_TRUE(IsRed(Combo("CmbCourse")));
  EXPECT_TRUE(IsRed(CountBox()));
  EXPECT_TRUE(IsWhite(Combo("CmbTeacher")));
  Enter("语文", "", "3");
  EXPECT_EQ(bench.prompter().lastMessage().text, "请选择教师。");
  EXPECT_TRUE(IsWhite(CountBox()));
  EXPECT_EQ(PlanCount("11", "K"), 5);
  // The box holds at most two characters.
  CountBox()->clear();
  Type(CountBox(), "123");
  EXPECT_EQ(CountBox()->text(), "12");
}

TEST_F(ClassPlanEditorTest, ModifyChangesTeacherAndCountButNotTheCourse) {
  bench.Exec("insert into LessonListtb values ('11',1,1,'K','T1',1)");
  ClassPlanEditor& w = Open();
  ClickRow(List(), 0);
  Choose(Combo("CmbCourse"), "数学");
  Click(Button("cmdModify"));
  EXPECT_EQ(bench.prompter().lastMessage().text, "修改记录失败  只允许修改老师和节数");
  EXPECT_EQ(bench.prompter().lastMessage().title, "修改失败");
  EXPECT_EQ(Panel(w, 1), "修改记录失败   只允许修改老师和节数");
  EXPECT_EQ(Combo("CmbCourse")->currentText(), "语文");
  EXPECT_TRUE(IsRed(Combo("CmbCourse")));
  EXPECT_EQ(w.focusWidget(), Combo("CmbCourse"));

  Choose(Combo("CmbTeacher"), "李");
  CountBox()->setText("4");
  Click(Button("cmdModify"));
  EXPECT_EQ(Panel(w, 1), "修改记录成功！修改了1条记录");
  EXPECT_TRUE(IsWhite(Combo("CmbCourse")));
  EXPECT_EQ(bench.Count("select count(*) from ClassPlantb where ClassCode='11' and CourseCode='K' and "
                        "TeacherCode='T2' and Count=4"),
            1);
  EXPECT_EQ(Row(List(), 0), (QStringList{"语文", "李", "4"}));
  EXPECT_EQ(Panel(w, 4), "4 节");
  EXPECT_EQ(Combo("CmbTeacher2")->currentText(), "李");
  EXPECT_EQ(TeacherSum(), "共  4  节课");
  // The lesson already placed keeps its teacher.
  EXPECT_EQ(bench.Count("select count(*) from LessonListtb where TeacherCode='T1'"), 1);

  // The inputs were cleared; the row is still the one a modify rewrites.
  Choose(Combo("CmbCourse"), "语文");
  Choose(Combo("CmbTeacher"), "李");
  CountBox()->setText("-1");
  Click(Button("cmdModify"));
  EXPECT_EQ(bench.prompter().lastMessage().text, "修改记录失败  每周节数不能小于0");
  EXPECT_EQ(PlanCount("11", "K"), 4);
}

TEST_F(ClassPlanEditorTest, ModifyFindsTheRowByItsCourseNotByANamePrefix) {
  bench.Exec("insert into Coursetb values ('K2','语文拓展','','')");
  bench.Exec("delete from ClassPlantb");
  bench.Exec(
      "insert into ClassPlantb (ClassCode,CourseCode,TeacherCode,Count) values ('11','K2','T1',2),"
      "('11','K','T1',5)");
  Open();
  ClickRow(List(), 1);
  ASSERT_EQ(Combo("CmbCourse")->currentText(), "语文");
  CountBox()->setText("6");
  Click(Button("cmdModify"));
  EXPECT_EQ(Row(List(), 0), (QStringList{"语文拓展", "张", "2"}));
  EXPECT_EQ(Row(List(), 1), (QStringList{"语文", "张", "6"}));
  EXPECT_EQ(PlanCount("11", "K2"), 2);
  EXPECT_EQ(PlanCount("11", "K"), 6);
}

TEST_F(ClassPlanEditorTest, DeleteTakesTheRowAndExactlyItsLessons) {
  bench.Exec(
      "insert into ClassPlantb (ClassCode,CourseCode,TeacherCode,Count) values ('11','M','T2',4),"
      "('12','K','T1',5)");
  bench.Exec(
      "insert into LessonListtb values ('11',1,1,'K','T1',0),('11',1,2,'K','T1',2),"
      "('11',1,3,'M','T2',1),('12',1,1,'K','T1',1)");
  ClassPlanEditor& w = Open();
  EXPECT_EQ(Panel(w, 4), "9 节");
  ClickRow(List(), 0);
  bench.prompter().QueueYesNo(false);
  Click(Button("cmdDelete"));
  EXPECT_EQ(bench.prompter().questions().back(), "警告： 确定要删除 '张'的'语文' 吗？(Y/N)？");
  EXPECT_EQ(List()->topLevelItemCount(), 2);
  EXPECT_EQ(bench.Count("select count(*) from LessonListtb"), 4);

  bench.prompter().QueueYesNo(true);
  QTest::keyClick(List(), Qt::Key_Delete);
  EXPECT_EQ(Panel(w, 1), "删除记录成功！删除了1条记录");
  EXPECT_EQ(Column(List(), 0), (QStringList{"数学"}));
  EXPECT_EQ(Panel(w, 3), "1 门");
  EXPECT_EQ(Panel(w, 4), "4 节");
  EXPECT_EQ(bench.Count("select count(*) from ClassPlantb where ClassCode='11' and CourseCode='K'"), 0);
  EXPECT_EQ(bench.Count("select count(*) from LessonListtb where ClassCode='11' and CourseCode='K'"), 0);
  EXPECT_EQ(bench.Count("select count(*) from LessonListtb"), 2);
  // The teacher panel shows 张's load without the deleted row.
  EXPECT_EQ(Combo("CmbTeacher2")->currentText(), "张");
  EXPECT_EQ(TeacherSum(), "共  5  节课");

  // Nothing selected any more: modify and delete say so and write nothing.
  Click(Button("cmdDelete"));
  EXPECT_EQ(bench.prompter().lastMessage().text, "请先选择一条记录。");
  Choose(Combo("CmbCourse"), "语文");
  Choose(Combo("CmbTeacher"), "张");
  CountBox()->setText("3");
  Click(Button("cmdModify"));
  EXPECT_EQ(bench.prompter().lastMessage().text, "请先选择一条记录。");
  EXPECT_EQ(bench.Count("select count(*) from ClassPlantb"), 2);
}

TEST_F(ClassPlanEditorTest, AnEmptyPlanHasNothingToModifyOrDelete) {
  Open();
  Click(Button("CmdNextClass"));
  Choose(Combo("CmbCourse"), "语文");
  Choose(Combo("CmbTeacher"), "张");
  CountBox()->setText("3");
  Click(Button("cmdModify"));
  EXPECT_EQ(bench.prompter().lastMessage().text, "请先选择一条记录。");
  Click(Button("cmdDelete"));
  EXPECT_EQ(bench.prompter().lastMessage().text, "请先选择一条记录。");
  EXPECT_EQ(bench.Count("select count(*) from ClassPlantb"), 1);
}

TEST_F(ClassPlanEditorTest, TheTeacherPanelTotalsAllClasses) {
  bench.Exec("insert into ClassPlantb (ClassCode,CourseCode,TeacherCode,Count) values ('12','M','T1',4)");
  Open();
  Choose(Combo("CmbTeacher2"), "张");
  EXPECT_EQ(Column(TeacherList(), 0), (QStringList{"一（1）班", "一（2）班"}));
  EXPECT_EQ(Column(TeacherList(), 2), (QStringList{"5", "4"}));
  EXPECT_EQ(TeacherSum(), "共  9  节课");
  Choose(Combo("CmbTeacher2"), "王");
  EXPECT_EQ(TeacherList()->topLevelItemCount(), 0);
  EXPECT_EQ(TeacherSum(), "共  0  节课");
  Combo("CmbTeacher2")->setCurrentIndex(-1);
  EXPECT_EQ(TeacherSum(), "");
}

TEST_F(ClassPlanEditorTest, CountsSortAsText) {
  bench.Exec(
      "insert into ClassPlantb (ClassCode,CourseCode,TeacherCode,Count) values ('11','M','T2',10),"
      "('11','E','T3',9)");
  Open();
  ClickHeader(List(), 2);
  EXPECT_EQ(Column(List(), 2), (QStringList{"10", "5", "9"}));
  ClickHeader(List(), 2);
  EXPECT_EQ(Column(List(), 2), (QStringList{"9", "5", "10"}));
}

}  // namespace
}  // namespace orv::test
