#include "gui/editors/class_list_editor.h"

#include "editor_test_support.h"

namespace orv::test {
namespace {

using ui::ClassListEditor;
using ui::MessageIcon;

class ClassListEditorTest : public ::testing::Test {
 protected:
  ClassListEditor& Open() {
    window_ = std::make_unique<ClassListEditor>(bench.ctx());
    Show(*window_);
    return *window_;
  }
  QComboBox* Grade() { return Child<QComboBox>(*window_, "cmbGrade"); }
  QComboBox* Number() { return Child<QComboBox>(*window_, "cmbClass"); }
  QLineEdit* Box(const char* name) { return Child<QLineEdit>(*window_, name); }
  QTreeWidget* List() { return Child<QTreeWidget>(*window_, "lstAllRecord"); }
  QPushButton* Button(const char* name) { return Child<QPushButton>(*window_, name); }
  QStringList Names() {
    return {Box("txtName")->text(), Box("txtFullName")->text(), Box("txtShortName")->text()};
  }
  void Add(const QString& grade, const QString& number) {
    Choose(Grade(), grade);
    Choose(Number(), number);
    Click(Button("cmdAppend"));
  }

  EditorBench bench;
  std::unique_ptr<ClassListEditor> window_;
};

TEST_F(ClassListEditorTest, OpensWithEmptySelectorsAndTheStoredClasses) {
  bench.Exec("insert into Classtb values ('13','一（3）班','一年级（3）班','一（3）')");
  ClassListEditor& w = Open();
  EXPECT_EQ(w.windowTitle(), "班级名单");
  EXPECT_EQ(Grade()->count(), 10);
  EXPECT_EQ(Grade()->itemText(0), "学前");
  EXPECT_EQ(Grade()->itemText(9), "九年级");
  EXPECT_EQ(Number()->count(), 20);
  EXPECT_EQ(Number()->itemText(19), "20");
  EXPECT_EQ(Grade()->currentIndex(), -1);
  EXPECT_EQ(Number()->currentIndex(), -1);
  EXPECT_EQ(Child<QLabel>(w, "Label1")->text(), "班");
  EXPECT_EQ(List()->headerItem()->text(0), "班级代码");
  EXPECT_EQ(Row(List(), 0), (QStringList{"13", "一（3）班", "一年级（3）班", "一（3）"}));
  EXPECT_EQ(Names(), (QStringList{"", "", ""}));
}

TEST_F(ClassListEditorTest, GradeAndNumberComposeTheNamesAndTheCode) {
  ClassListEditor& w = Open();
  Choose(Grade(), "一年级");
  EXPECT_EQ(Names(), (QStringList{"", "", ""}));  // the number is still missing
  Choose(Number(), "3");
  EXPECT_EQ(Names(), (QStringList{"一（3）班", "一年级（3）班", "一（3）"}));
  Click(Button("cmdAppend"));
  EXPECT_EQ(bench.Count("select count(*) from Classtb where Code='13' and Name='一（3）班' and "
                        "FullName='一年级（3）班' and ShortName='一（3）'"),
            1);
  EXPECT_EQ(Panel(w, 1), "添加记录成功！添加了1条记录");
  EXPECT_EQ(Names(), (QStringList{"", "", ""}));
  // The selectors keep the class just stored, so the next number composes at once.
  EXPECT_EQ(Grade()->currentText(), "一年级");
  Choose(Number(), "4");
  EXPECT_EQ(Names().at(0), "一（4）班");

  Add("学前", "12");
  EXPECT_EQ(bench.Count("select count(*) from Classtb where Code='012' and Name='学前（12）班' and "
                        "FullName='学前年级（12）班' and ShortName='学前（12）'"),
            1);
  Add("二年级", "10");
  EXPECT_EQ(Column(List(), 0), (QStringList{"13", "012", "210"}));
}

TEST_F(ClassListEditorTest, ClickingARowChoosesItsGradeAndNumberAndShowsStoredNames) {
  bench.Exec(
      "insert into Classtb values ('210','二（10）班','二年级（10）班','二（10）'),"
      "('013','学前三班','学前年级（13）班','学前（13）'),('13','一（3）班','一年级（3）班','一（3）')");
  Open();
  ClickRow(List(), 0);
  EXPECT_EQ(Grade()->currentText(), "二年级");
  EXPECT_EQ(Number()->currentText(), "10");
  ClickRow(List(), 1);
  EXPECT_EQ(Grade()->currentText(), "学前");
  EXPECT_EQ(Number()->currentText(), "13");
  EXPECT_EQ(Names(), (QStringList{"学前三班", "学前年级（13）班", "学前（13）"}));
  ClickRow(List(), 2);
  EXPECT_EQ(Grade()->currentText(), "一年级");
  EXPECT_EQ(Number()->currentText(), "3");
}

TEST_F(ClassListEditorTest, ANameEditedBeforeAppendingIsStoredAsEdited) {
  Open();
  Choose(Grade(), "三年级");
  Choose(Number(), "1");
  Box("txtName")->clear();
  Type(Box("txtName"), " 三一班 ");
  QTest::keyClick(Box("txtShortName"), Qt::Key_Return);  // no key stores a class
  EXPECT_EQ(bench.Count("select count(*) from Classtb"), 0);
  Click(Button("cmdAppend"));
  EXPECT_EQ(bench.db().FirstText("select Name from Classtb where Code='31'"), "三一班");
  Choose(Number(), "2");
  ClickRow(List(), 0);
  EXPECT_EQ(Box("txtName")->text(), "三一班");
}

TEST_F(ClassListEditorTest, AnExistingClassIsNamedByItsSelectors) {
  bench.Exec("insert into Classtb values ('32','三（2）班','三年级（2）班','三（2）')");
  Open();
  Add("三年级", "2");
  const RecordedMessage& m = bench.prompter().lastMessage();
  EXPECT_EQ(m.text, "三年级（2）班 已经存在！");
  EXPECT_EQ(m.title, "育才学校排课软件系统");
  EXPECT_EQ(bench.Count("select count(*) from Classtb"), 1);
  EXPECT_EQ(List()->topLevelItemCount(), 1);
}

TEST_F(ClassListEditorTest, AMissingGradeIsReportedFirst) {
  ClassListEditor& w = Open();
  Choose(Number(), "3");
  Click(Button("cmdAppend"));
  const RecordedMessage& m = bench.prompter().lastMessage();
  EXPECT_EQ(m.text, "请选择年级。");
  EXPECT_EQ(m.icon, MessageIcon::Warning);
  EXPECT_EQ(m.title, "输入信息检查");
  EXPECT_TRUE(IsRed(Grade()));
  EXPECT_TRUE(IsWhite(Number()));
  EXPECT_TRUE(IsRed(Box("txtName")));
  EXPECT_TRUE(IsRed(Box("txtShortName")));
  EXPECT_EQ(w.focusWidget(), Grade());

  Choose(Grade(), "一年级");
  Box("txtFullName")->clear();
  Click(Button("cmdAppend"));
  EXPECT_EQ(bench.prompter().lastMessage().text, "请输入班级全称。");
  EXPECT_TRUE(IsWhite(Grade()));
  EXPECT_EQ(w.focusWidget(), Box("txtFullName"));
  EXPECT_EQ(bench.Count("select count(*) from Classtb"), 0);
}

TEST_F(ClassListEditorTest, EnterAndArrowsMoveBetweenTheNameBoxes) {
  ClassListEditor& w = Open();
  QTest::keyClick(Box("txtName"), Qt::Key_Return);
  EXPECT_EQ(w.focusWidget(), Box("txtFullName"));
  QTest::keyClick(Box("txtFullName"), Qt::Key_Down);
  EXPECT_EQ(w.focusWidget(), Box("txtShortName"));
  QTest::keyClick(Box("txtShortName"), Qt::Key_Down);
  EXPECT_EQ(w.focusWidget(), Box("txtShortName"));
  QTest::keyClick(Box("txtShortName"), Qt::Key_Up);
  EXPECT_EQ(w.focusWidget(), Box("txtFullName"));
  QTest::keyClick(Box("txtFullName"), Qt::Key_Up);
  EXPECT_EQ(w.focusWidget(), Box("txtName"));
}

TEST_F(ClassListEditorTest, ModifyRewritesNamesOfTheExactClassButNeverItsCode) {
  bench.Exec(
      "insert into Classtb values ('11','一（1）班','一年级（1）班','一（1）'),"
      "('110','一（10）班','一年级（10）班','一（10）')");
  ClassListEditor& w = Open();
  Click(Button("cmdModify"));
  EXPECT_EQ(bench.prompter().lastMessage().text, "请先选择一条记录。");

  ClickRow(List(), 0);
  Box("txtName")->setText("一一班");
  Click(Button("cmdModify"));
  EXPECT_EQ(Panel(w, 1), "修改记录成功！修改了1条记录");
  EXPECT_EQ(Row(List(), 0).at(1), "一一班");
  EXPECT_EQ(Row(List(), 1).at(1), "一（10）班");
  EXPECT_EQ(bench.db().FirstText("select Name from Classtb where Code='110'"), "一（10）班");
  EXPECT_EQ(bench.db().FirstText("select Name from Classtb where Code='11'"), "一一班");

  Choose(Number(), "2");
  Click(Button("cmdModify"));
  EXPECT_EQ(bench.prompter().lastMessage().text, "班级代码不能修改！");
  EXPECT_EQ(bench.prompter().lastMessage().icon, MessageIcon::Warning);
  EXPECT_TRUE(IsRed(Grade()));
  EXPECT_TRUE(IsRed(Number()));
  EXPECT_EQ(w.focusWidget(), Grade());
  EXPECT_EQ(bench.Count("select count(*) from Classtb where Name='一（2）班'"), 0);
}

TEST_F(ClassListEditorTest, DeletingAClassAsksWithCodeAndNameAndTakesItsRows) {
  bench.Exec(
      "insert into Classtb values ('13','一（3）班','一年级（3）班','一（3）'),"
      "('14','一（4）班','一年级（4）班','一（4）')");
  bench.Exec(
      "insert into ClassPlantb (ClassCode,CourseCode,TeacherCode,Count) values ('13','K','T',5),"
      "('14','K','T',5)");
  bench.Exec("insert into LessonListtb values ('13',1,1,'K','T',0),('14',1,2,'K','T',1)");
  bench.Exec("insert into Limittb values (0,'13',1,1,3),(1,'13',1,1,3)");
  ClassListEditor& w = Open();
  ClickRow(List(), 0);
  bench.prompter().QueueYesNo(true);
  QTest::keyClick(List(), Qt::Key_Delete);
  EXPECT_EQ(bench.prompter().questions().back(), "警告： 确定要删除 '13  一（3）班' 吗？(Y/N)？");
  EXPECT_EQ(Panel(w, 1), "删除记录成功！删除了1条记录");
  EXPECT_EQ(Column(List(), 0), (QStringList{"14"}));
  EXPECT_EQ(bench.Count("select count(*) from Classtb"), 1);
  EXPECT_EQ(bench.Count("select count(*) from ClassPlantb where ClassCode='13'"), 0);
  EXPECT_EQ(bench.Count("select count(*) from LessonListtb"), 1);
  EXPECT_EQ(bench.Count("select Kind from Limittb"), 1);  // only the course restriction on code 13 is left
  EXPECT_EQ(Names(), (QStringList{"", "", ""}));
}

}  // namespace
}  // namespace orv::test
