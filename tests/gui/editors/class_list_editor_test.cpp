// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/editors/class_list_editor.h"

#include "editor_test_support.h"

namespace orv::test {
namespace {

using ui::ClassListEditor;

class ClassListEditorTest : public EditorTest {
 protected:
  QString Names() {
    return Box("txtName")->text() + "|" + Box("txtFullName")->text() + "|" + Box("txtShortName")->text();
  }
  QString Chosen() { return Combo("cmbGrade")->currentText() + Combo("cmbClass")->currentText(); }
  void Add(const QString& grade, const QString& number) {
    Choose(Combo("cmbGrade"), grade);
    Choose(Combo("cmbClass"), number);
    Click(Button("cmdAppend"));
  }
  long long Classes(const std::string& where = "1") {
    return Count("select count(*) from Classtb where " + where);
  }
};

TEST_F(ClassListEditorTest, GradeAndNumberComposeTheClassAndItsRowChoosesThemAgain) {
  Open<ClassListEditor>();
  Choose(Combo("cmbClass"), "3");
  Click(Button("cmdAppend"));
  EXPECT_EQ(Said(), "请选择年级。");  // first, though the names are missing too
  EXPECT_TRUE(IsRed(Combo("cmbGrade")) && IsRed(Box("txtName")));
  EXPECT_TRUE(IsWhite(Combo("cmbClass")));
  EXPECT_EQ(Focused(), Combo("cmbGrade"));

  Choose(Combo("cmbGrade"), "一年级");
  EXPECT_EQ(Names(), "一（3）班|一年级（3）班|一（3）");
  Click(Button("cmdAppend"));
  EXPECT_EQ(Panel(1), "添加记录成功！添加了1条记录");
  EXPECT_EQ(Names(), "||");
  Add("学前", "12");
  Add("二年级", "10");
  EXPECT_EQ(Lines(List()),
            (QStringList{"13|一（3）班|一年级（3）班|一（3）", "012|学前（12）班|学前年级（12）班|学前（12）",
                         "210|二（10）班|二年级（10）班|二（10）"}));
  EXPECT_EQ(Classes("Code in ('13','012','210')"), 3);
  Add("学前", "12");
  EXPECT_EQ(Said(), "学前（12）班 已经存在！");
  EXPECT_EQ(Classes(), 3);
  ClickRow(List(), 2);
  EXPECT_EQ(Chosen(), "二年级10");
  ClickRow(List(), 1);
  EXPECT_EQ(Chosen(), "学前12");

  // A name edited by hand is stored as edited, and shown again from its row.
  Choose(Combo("cmbClass"), "1");
  Box("txtName")->clear();
  Type(Box("txtName"), " 学前一班 ");
  QTest::keyClick(Box("txtShortName"), Qt::Key_Return);  // no key stores a class
  EXPECT_EQ(Classes(), 3);
  Click(Button("cmdAppend"));
  EXPECT_EQ(Classes("Code='01' and Name='学前一班'"), 1);
  ClickRow(List(), 1);
  ClickRow(List(), 3);
  EXPECT_EQ(Box("txtName")->text(), "学前一班");
}

// Class names are composed, so one that another class has is a slip: refused,
// naming that class by code, and nothing is stored.
TEST_F(ClassListEditorTest, ANameAnotherClassHasIsRefusedNamingIt) {
  Exec(
      "insert into Classtb values ('11','一（1）班','一年级（1）班','一（1）'),"
      "('12','一（2）班','一年级（2）班','一（2）')");
  Open<ClassListEditor>();
  Choose(Combo("cmbGrade"), "一年级");
  Choose(Combo("cmbClass"), "3");
  Box("txtName")->setText("一（1）班");
  Click(Button("cmdAppend"));
  EXPECT_EQ(Said(), "已有同名的班级：一（1）班（11）。班级名称不能重复，请修改班级名称。");
  EXPECT_EQ(prompter.lastMessage().icon, ui::MessageIcon::Warning);
  EXPECT_TRUE(IsRed(Box("txtName")));
  EXPECT_EQ(Focused(), Box("txtName"));
  EXPECT_EQ(Classes(), 2);

  ClickRow(List(), 1);
  ASSERT_EQ(Chosen(), "一年级2");
  Box("txtName")->setText(" 一（1）班");
  Click(Button("cmdModify"));
  EXPECT_EQ(Said(), "已有同名的班级：一（1）班（11）。班级名称不能重复，请修改班级名称。");
  EXPECT_EQ(Classes("Code='12' and Name='一（2）班'"), 1);
  EXPECT_TRUE(prompter.questions().empty());
}

TEST_F(ClassListEditorTest, ModifyAndDeleteWorkOnTheClickedClassOnlyAndNeverChangeItsCode) {
  Exec("insert into Classtb values ('11','一（1）班','一年级（1）班','一（1）'),('110','一（10）班','','')");
  Open<ClassListEditor>();
  Click(Button("cmdModify"));
  Click(Button("cmdDelete"));
  EXPECT_EQ(prompter.messages().size(), 2u);
  EXPECT_EQ(Said(), "请先选择一条记录。");
  EXPECT_TRUE(prompter.questions().empty());

  ClickRow(List(), 0);
  Box("txtName")->setText("一一班");
  Click(Button("cmdModify"));
  EXPECT_EQ(Panel(1), "修改记录成功！修改了1条记录");
  EXPECT_EQ(Lines(List()), (QStringList{"11|一一班|一年级（1）班|一（1）", "110|一（10）班||"}));
  EXPECT_EQ(Classes("Code='11' and Name='一一班'") + Classes("Code='110' and Name='一（10）班'"), 2);

  Choose(Combo("cmbClass"), "2");
  Click(Button("cmdModify"));
  EXPECT_EQ(Said(), "班级代码不能修改！");
  EXPECT_TRUE(IsRed(Combo("cmbGrade")) && IsRed(Combo("cmbClass")));
  EXPECT_EQ(Focused(), Combo("cmbGrade"));
  EXPECT_EQ(Classes("Name='一（2）班'"), 0);

  ClickRow(List(), 0);
  prompter.QueueYesNo(true);
  QTest::keyClick(List(), Qt::Key_Delete);
  EXPECT_EQ(prompter.questions().back(), "警告： 确定要删除 '11  一一班' 吗？(Y/N)？");
  EXPECT_EQ(Lines(List()), (QStringList{"110|一（10）班||"}));
  EXPECT_EQ(Classes(), 1);
}

}  // namespace
}  // namespace orv::test
