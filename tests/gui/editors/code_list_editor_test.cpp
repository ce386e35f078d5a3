// SPDX-License-Identifier: GPL-3.0-or-later
// The course, teacher and classroom editors are one window configured three
// times; every test runs on each configuration.
#include "gui/editors/code_list_editor.h"

#include "editor_test_support.h"

namespace orv::test {
namespace {

struct Config {
  const char* name;
  const ui::CodeListDesign& (*design)();
  const char* table;
  QString kind;             // the word in the messages
  QString fullNameMissing;  // message when only the full name is empty; "" when it is optional
  QString codeChange;       // "" when modify rewrites whatever code is typed
};
void PrintTo(const Config& c, std::ostream* os) { *os << c.name; }

const Config kConfigs[] = {
    {"Course", ui::CourseListDesign, "Coursetb", "课程", "请输入课程全称。", "课程代码不能修改！"},
    {"Teacher", ui::TeacherListDesign, "Teachertb", "老师", "请输入老师名称。", "教师代码不能修改！"},
    {"ClassRoom", ui::ClassRoomListDesign, "ClassRoomtb", "教室", "", ""},
};

class CodeListEditorTest : public EditorTest, public ::testing::WithParamInterface<Config> {
 protected:
  const Config& P() { return GetParam(); }
  void Open(const std::string& values = "") {
    if (!values.empty()) Exec(std::string("insert into ") + P().table + " values " + values);
    EditorTest::Open<ui::CodeListEditor>(P().design());
  }
  long long Rows(const std::string& where = "1") {
    return Count(std::string("select count(*) from ") + P().table + " where " + where);
  }
  // Name, full name, short name and code; the focus ends in the code box.
  void Fill(const QStringList& texts) {
    for (int i = 0; const char* box : {"txtName", "txtFullName", "txtShortName", "txtCode"})
      Box(box)->setText(texts[i++]);
    Box("txtCode")->setFocus();
  }
};

TEST_P(CodeListEditorTest, EnterWalksTheBoxesAndStoresTheTrimmedRecordOnce) {
  Open();
  TypeAndEnter(Box("txtName"), "O'语");
  EXPECT_EQ(Focused(), Box("txtFullName"));
  TypeAndEnter(Box("txtFullName"), "语文课");
  EXPECT_EQ(Focused(), Box("txtShortName"));
  TypeAndEnter(Box("txtShortName"), "语");
  EXPECT_EQ(Focused(), Box("txtCode"));
  TypeAndEnter(Box("txtCode"), " 01 ");
  EXPECT_EQ(Rows("Code='01' and Name='O''语' and FullName='语文课' and ShortName='语'"), 1);
  EXPECT_EQ(Lines(List()), (QStringList{"01|O'语|语文课|语"}));
  EXPECT_TRUE(List()->topLevelItem(0)->isSelected());
  EXPECT_EQ(Panel(1), "添加记录成功！添加了1条记录");
  EXPECT_EQ(Box("txtCode")->text() + Box("txtName")->text() + Box("txtFullName")->text(), "");
  EXPECT_EQ(Focused(), Box("txtName"));
  QTest::keyClick(Box("txtName"), Qt::Key_Down);  // the arrows walk the same way
  EXPECT_EQ(Focused(), Box("txtFullName"));

  // The same code again is named as typed; the record stays in the boxes.
  Fill({"数学", "数学", "数", " 01"});
  QTest::keyClick(Box("txtCode"), Qt::Key_Return);
  EXPECT_EQ(Said(), "该" + P().kind + "代码：  01 已经存在！");
  EXPECT_EQ(Rows(), 1);
  EXPECT_EQ(Box("txtName")->text(), "数学");
  EXPECT_EQ(Focused(), Box("txtCode"));
}

TEST_P(CodeListEditorTest, MissingBoxesTurnRedAndTheFirstIsNamedAndFocused) {
  Open();
  TypeAndEnter(Box("txtCode"), "01");
  EXPECT_EQ(Said(), "请输入" + P().kind + "名称。");
  const bool needsAll = !P().fullNameMissing.isEmpty();
  EXPECT_TRUE(IsRed(Box("txtName")));
  EXPECT_EQ(IsRed(Box("txtShortName")), needsAll);
  EXPECT_TRUE(IsWhite(Box("txtCode")));
  EXPECT_EQ(Focused(), Box("txtName"));
  EXPECT_EQ(Rows(), 0);

  // Only the full name empty: named (the teacher editor calls it the name), or
  // for classrooms not needed at all.
  Fill({"张三", "", "张", "01"});
  Click(Button("cmdAppend"));
  EXPECT_TRUE(IsWhite(Box("txtName")));
  EXPECT_EQ(IsRed(Box("txtFullName")), needsAll);
  EXPECT_EQ(Rows(), needsAll ? 0 : 1);
  if (needsAll) {
    EXPECT_EQ(Said(), P().fullNameMissing);
    EXPECT_EQ(Focused(), Box("txtFullName"));
  }
}

TEST_P(CodeListEditorTest, ModifyRewritesTheClickedCodeOnlyAndDeleteAsksFirst) {
  Open("('1','语文','语文','语'),('10','数学','数学','数')");
  // Nothing selected: modify and delete say so and write nothing.
  Fill({"x", "x", "x", "1"});
  Click(Button("cmdModify"));
  Click(Button("cmdDelete"));
  EXPECT_EQ(prompter.messages().size(), 2u);
  EXPECT_EQ(Said(), "请先选择一条记录。");
  EXPECT_TRUE(prompter.questions().empty());
  EXPECT_EQ(Rows("Name='x'"), 0);

  ClickRow(List(), 0);
  EXPECT_EQ(Box("txtShortName")->text(), "语");
  Box("txtName")->setText(" 国文 ");
  Click(Button("cmdModify"));
  EXPECT_EQ(Panel(1), "修改记录成功！修改了1条记录");
  EXPECT_EQ(Lines(List()), (QStringList{"1|国文|语文|语", "10|数学|数学|数"}));
  EXPECT_EQ(Rows("Code='1' and Name='国文'") + Rows("Code='10' and Name='数学'"), 2);

  // Another code typed: refused, or in the classroom editor that code's record.
  const bool refused = !P().codeChange.isEmpty();
  const size_t said = prompter.messages().size();
  Box("txtCode")->setText("10");
  Box("txtName")->setText("算术");
  Click(Button("cmdModify"));
  EXPECT_EQ(prompter.messages().size(), said + (refused ? 1 : 0));
  EXPECT_EQ(Rows("Code='10' and Name='算术'") + Rows("Code='1' and Name='国文'"), refused ? 1 : 2);
  EXPECT_EQ(List()->topLevelItem(1)->text(1), refused ? "数学" : "算术");
  EXPECT_EQ(IsRed(Box("txtCode")), refused);
  if (refused) {
    EXPECT_EQ(Focused(), Box("txtCode"));
  }
  Box("txtCode")->setText("9");
  Click(Button("cmdModify"));
  EXPECT_EQ(Said(), refused ? P().codeChange : "修改记录失败,代码为9的记录未被修改");

  // Answering No keeps table, list and boxes; Yes (here by the Delete key) takes the record.
  ClickRow(List(), 0);
  prompter.QueueYesNo(false);
  Click(Button("cmdDelete"));
  EXPECT_EQ(prompter.questions().back(), "警告： 确定要删除 '国文' 吗？(Y/N)？");
  EXPECT_EQ(List()->topLevelItemCount(), 2);
  EXPECT_EQ(Box("txtName")->text(), "国文");
  prompter.QueueYesNo(true);
  QTest::keyClick(List(), Qt::Key_Delete);
  EXPECT_EQ(Panel(1), "删除记录成功！删除了1条记录");
  EXPECT_EQ(List()->topLevelItemCount(), 1);
  EXPECT_EQ(Box("txtName")->text(), "");
  EXPECT_EQ(Rows("Code='10'"), 1);
  EXPECT_EQ(Rows(), 1);
}

// A name another record carries is asked about, naming that record by code;
// No stores nothing, Yes stores the second 张伟. Keeping a name never asks.
TEST_P(CodeListEditorTest, ANameAnotherRecordHasIsAskedAboutAndMayStillBeStored) {
  const QString noun = P().table == std::string("Coursetb")    ? "课程"
                       : P().table == std::string("Teachertb") ? "教师"
                                                               : "教室";
  Open("('A12','张伟','张伟','张'),('A20','李强','李强','李')");
  Fill({"张伟", "张伟", "张", "A13"});
  prompter.QueueYesNo(false);
  Click(Button("cmdAppend"));
  ASSERT_EQ(prompter.questions().size(), 1u);
  EXPECT_EQ(prompter.questions().back(), "已有同名的" + noun +
                                             "：张伟（A12）。\n保存后，打印和导出时在名称后加代码区分。\n"
                                             "确定要保存 张伟（A13） 吗？(Y/N)？");
  EXPECT_EQ(Rows(), 2) << "No stores nothing";
  EXPECT_EQ(Box("txtCode")->text(), "A13") << "and keeps what was typed";

  prompter.QueueYesNo(true);
  Click(Button("cmdAppend"));
  EXPECT_EQ(Rows("Name='张伟'"), 2);
  EXPECT_EQ(Panel(1), "添加记录成功！添加了1条记录");

  // Renaming 李强 to 张伟 names both holders; keeping a name asks nothing.
  ClickRow(List(), 1);
  ASSERT_EQ(Box("txtCode")->text(), "A20");
  Box("txtName")->setText("张伟");
  prompter.QueueYesNo(false);
  Click(Button("cmdModify"));
  EXPECT_TRUE(prompter.questions().back().contains("：张伟（A12）、张伟（A13）。"))
      << prompter.questions().back().toStdString();
  EXPECT_EQ(Rows("Code='A20' and Name='李强'"), 1);
  const size_t asked = prompter.questions().size();
  ClickRow(List(), 0);
  Box("txtShortName")->setText("伟");
  Click(Button("cmdModify"));
  EXPECT_EQ(prompter.questions().size(), asked);
  EXPECT_EQ(Rows("Code='A12' and ShortName='伟'"), 1);
  EXPECT_TRUE(prompter.AllAnswersUsed());
}

TEST_P(CodeListEditorTest, AWriteTheDatabaseRefusesIsReportedWithItsReasonAndChangesNothing) {
  Open("('1','语文','语文','语')");
  for (const char* op : {"insert", "update", "delete"})
    Exec(std::string("create trigger refuse_") + op + " before " + op + " on " + P().table +
         " begin select raise(abort,'no'); end");
  const QString reason = "\n数据不符合表的约束";
  Fill({"数学", "数学", "数", "2"});
  Click(Button("cmdAppend"));
  EXPECT_EQ(Said(), "添加记录失败" + reason);
  EXPECT_EQ(prompter.lastMessage().title, "添加失败");
  EXPECT_EQ(Panel(1), "添加记录失败");
  ClickRow(List(), 0);
  Box("txtName")->setText("国文");
  Click(Button("cmdModify"));
  EXPECT_EQ(Said(), "修改记录失败,代码为1的记录未被修改" + reason);
  prompter.QueueYesNo(true);
  Click(Button("cmdDelete"));
  EXPECT_EQ(Said(), "删除记录失败, '国文' 未被删除" + reason);
  EXPECT_EQ(Panel(1), "删除记录失败");
  EXPECT_EQ(Lines(List()), (QStringList{"1|语文|语文|语"}));
  EXPECT_EQ(Rows(), 1);
}

TEST_P(CodeListEditorTest, HeadersSortAsTextAndTheSameHeaderReverses) {
  Open("('9','b','z','z'),('10','c','y','y'),('2','a','x','x')");
  ClickHeader(List(), 0);
  EXPECT_EQ(Lines(List()), (QStringList{"10|c|y|y", "2|a|x|x", "9|b|z|z"}));
  ClickHeader(List(), 0);
  EXPECT_EQ(Lines(List()), (QStringList{"9|b|z|z", "2|a|x|x", "10|c|y|y"}));
  // Another header sorts by its column in the order in force (descending).
  ClickHeader(List(), 1);
  EXPECT_EQ(Lines(List()), (QStringList{"10|c|y|y", "9|b|z|z", "2|a|x|x"}));
  ClickHeader(List(), 1);
  // Once sorted, a new record takes its sorted place.
  Fill({"aa", "w", "w", "5"});
  Click(Button("cmdAppend"));
  EXPECT_EQ(Lines(List()), (QStringList{"2|a|x|x", "5|aa|w|w", "9|b|z|z", "10|c|y|y"}));
  EXPECT_TRUE(List()->topLevelItem(1)->isSelected());
}

INSTANTIATE_TEST_SUITE_P(Editors, CodeListEditorTest, ::testing::ValuesIn(kConfigs),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace orv::test
