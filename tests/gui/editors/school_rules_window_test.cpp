// SPDX-License-Identifier: GPL-3.0-or-later
// 排课规则: rules set for each kind of scope through the controls, the list
// showing them by name, removal after a question, and refusals that store
// nothing.
#include "gui/editors/school_rules_window.h"

#include <QSpinBox>

#include "editor_test_support.h"

namespace orv::test {
namespace {

class SchoolRulesWindowTest : public EditorTest {
 protected:
  void SetUp() override {
    Exec("insert into Teachertb values ('T1','王伟','',''),('T2','张伟','',''),('T3','张伟','','')");
    Exec("insert into Classtb values ('71','七（1）班','',''),('72','七（2）班','','')");
    Exec("insert into Coursetb values ('YW','语文','',''),('XX','信息','','')");
    Exec("insert into CourseAttrtb values ('XX')");
  }
  void OpenWindow() { Open<ui::SchoolRulesWindow>(); }
  QSpinBox* Value() { return Child<QSpinBox>(*window_, "spnValue"); }
  // Picks the rule, scope, whom, course and value, then clicks 设置.
  void SetRule(const QString& key, const QString& scope, const QString& who, const QString& course,
               int value) {
    Choose(Combo("cmbKey"), key);
    Choose(Combo("cmbScope"), scope);
    if (!who.isEmpty()) Choose(Combo("cmbWho"), who);
    if (!course.isEmpty()) Choose(Combo("cmbCourse"), course);
    if (Value()->isVisibleTo(window_.get()))
      Value()->setValue(value);
    else
      Choose(Combo("cmbYesNo"), value != 0 ? "是" : "否");
    Click(Button("cmdSet"));
  }
  std::string Rules() {
    std::string text;
    for (Cursor c = db().Query("select RuleKey,Scope,Code,CourseCode,Value from SchoolRuletb "
                               "order by RuleKey,Scope,Code");
         c.Next();)
      text += c.Text(0) + "/" + std::to_string(c.Int(1)) + "/" + c.Text(2) + "/" + c.Text(3) + "=" +
              std::to_string(c.Int(4)) + " ";
    return text;
  }
};

TEST_F(SchoolRulesWindowTest, SetsEveryScopeAndListsTheRulesByName) {
  OpenWindow();
  EXPECT_EQ(Lines(List("lstRules")), QStringList());
  SetRule("教师每天最多节数", "全校（默认）", "", "", 4);
  EXPECT_EQ(Panel(1), "设置成功");
  SetRule("教师最多连续节数", "某位教师", "张伟（T3）", "", 2);  // a shared name shows its code
  SetRule("班级课表无空节", "某个班级", "七（2）班", "", 1);
  SetRule("连堂课", "某班的某门课程", "七（1）班", "语文", 2);
  // Rooms are counted for special courses only: 语文 is not offered.
  Choose(Combo("cmbKey"), "专用教室数");
  EXPECT_EQ(Combo("cmbWho")->count(), 1);
  SetRule("专用教室数", "某门课程（所有班级）", "信息", "", 3);
  EXPECT_TRUE(prompter.messages().empty()) << prompter.lastMessage().text.toStdString();
  EXPECT_EQ(Rules(),
            "doubles-per-week/4/71/YW=2 max-in-a-row/1/T3/=2 max-lessons-per-day/0//=4 no-class-gaps/2/72/=1 "
            "rooms/3/XX/=3 ");
  EXPECT_EQ(Lines(List("lstRules")),
            (QStringList{"连堂课|七（1）班 的 语文|2", "教师最多连续节数|教师 张伟（T3）|2",
                         "教师每天最多节数|全校|4", "班级课表无空节|班级 七（2）班|是",
                         "专用教室数|课程 信息（所有班级）|3"}));
  // Setting the same rule again replaces its value.
  SetRule("教师每天最多节数", "全校（默认）", "", "", 5);
  EXPECT_EQ(Count("select Value from SchoolRuletb where RuleKey='max-lessons-per-day'"), 5);
  EXPECT_EQ(Count("select count(*) from SchoolRuletb"), 5);
}

TEST_F(SchoolRulesWindowTest, AClickedRuleFillsTheControlsAndIsRemovedOnlyAfterYes) {
  Exec("insert into SchoolRuletb values ('max-in-a-row',1,'T1','',3),('max-lessons-per-day',0,'','',4)");
  OpenWindow();
  ClickRow(List("lstRules"), 0);
  EXPECT_EQ(
      Combo("cmbKey")->currentText() + Combo("cmbScope")->currentText() + Combo("cmbWho")->currentText(),
      "教师最多连续节数某位教师王伟");
  EXPECT_EQ(Value()->value(), 3);
  prompter.QueueYesNo(false);
  Click(Button("cmdDelete"));
  EXPECT_EQ(Count("select count(*) from SchoolRuletb"), 2);
  prompter.QueueYesNo(true);
  Click(Button("cmdDelete"));
  EXPECT_EQ(Panel(1), "删除成功");
  EXPECT_EQ(Rules(), "max-lessons-per-day/0//=4 ");
  EXPECT_EQ(Lines(List("lstRules")), QStringList{"教师每天最多节数|全校|4"});
  // Nothing selected: a warning, nothing removed.
  List("lstRules")->clearSelection();
  Click(Button("cmdDelete"));
  EXPECT_EQ(Said(), ui::kSelectFirst);
  EXPECT_EQ(Count("select count(*) from SchoolRuletb"), 1);
  EXPECT_TRUE(prompter.AllAnswersUsed());
}

TEST_F(SchoolRulesWindowTest, ARefusedWriteIsSaidAndStoresNothing) {
  Exec("delete from Teachertb");
  OpenWindow();
  SetRule("教师最多连续节数", "某位教师", "", "", 3);  // no teacher to pick
  EXPECT_EQ(Said(), "请先选择规则适用的教师。");
  Exec("create trigger stop before insert on SchoolRuletb begin select raise(abort, 'no'); end");
  SetRule("教师每天最多节数", "全校（默认）", "", "", 4);
  EXPECT_EQ(Panel(1), "设置失败");
  EXPECT_TRUE(Said().startsWith("设置规则失败！")) << Said().toStdString();
  EXPECT_EQ(Count("select count(*) from SchoolRuletb"), 0);
  EXPECT_EQ(Lines(List("lstRules")), QStringList());
}

}  // namespace
}  // namespace orv::test
