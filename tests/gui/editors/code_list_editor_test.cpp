#include "gui/editors/code_list_editor.h"
#include "gui/editors/editor_windows.h"

#include "editor_test_support.h"

namespace orv::test {
namespace {

using ui::CodeListEditor;
using ui::MessageIcon;

class CodeListEditorTest : public ::testing::Test {
 protected:
  // Opens the editor on what the bench holds now.
  CodeListEditor& Open(const ui::CodeListDesign& design) {
    window_ = std::make_unique<CodeListEditor>(bench.ctx(), design);
    Show(*window_);
    return *window_;
  }
  QLineEdit* Box(const char* name) { return Child<QLineEdit>(*window_, name); }
  QTreeWidget* List() { return Child<QTreeWidget>(*window_, "lstAllRecord"); }
  QPushButton* Button(const char* name) { return Child<QPushButton>(*window_, name); }
  void Fill(const QString& code, const QString& name, const QString& full, const QString& shortName) {
    for (auto [box, text] : {std::pair{"txtCode", code},
                             {"txtName", name},
                             {"txtFullName", full},
                             {"txtShortName", shortName}}) {
      Box(box)->clear();
      Type(Box(box), text);
    }
  }

  EditorBench bench;
  std::unique_ptr<CodeListEditor> window_;
};

TEST_F(CodeListEditorTest, TheThreeEditorsDifferOnlyInTheirDescription) {
  struct Expect {
    const ui::CodeListDesign& design;
    const char* objectName;
    QString caption, codeLabel, nameLabel, nameHeader;
  };
  const Expect expects[] = {
      {ui::CourseListDesign(), "frmCourseInput", "课程名单", "课程代码", "课程名称", "课程名称"},
      {ui::TeacherListDesign(), "frmTeacherInput", "老师名单", "老师代码", "老师姓名", "老师名称"},
      {ui::ClassRoomListDesign(), "frmClassRoomInput", "教室名单", "教室代码", "教室名称", "教室名称"},
  };
  for (const Expect& e : expects) {
    CodeListEditor& w = Open(e.design);
    EXPECT_EQ(w.objectName(), e.objectName);
    EXPECT_EQ(w.windowTitle(), e.caption);
    EXPECT_EQ(Child<QLabel>(w, "lblCode")->text(), e.codeLabel);
    EXPECT_EQ(Child<QLabel>(w, "lblName")->text(), e.nameLabel);
    EXPECT_EQ(List()->headerItem()->text(1), e.nameHeader);
    // 1700 and 2000 twips.
    EXPECT_EQ(List()->columnWidth(0), 113);
    EXPECT_EQ(List()->columnWidth(3), 133);
    EXPECT_EQ(Box("txtCode")->maxLength(), 10);
    EXPECT_EQ(Button("cmdAppend")->text(), "添加(&A)");
    EXPECT_EQ(Button("cmdOK")->text(), "退出(&Q)");
  }
  // The classroom editor stands its boxes name, full name, short name, code.
  Open(ui::ClassRoomListDesign());
  EXPECT_LT(Box("txtName")->y(), Box("txtFullName")->y());
  EXPECT_LT(Box("txtShortName")->y(), Box("txtCode")->y());
  Open(ui::CourseListDesign());
  EXPECT_LT(Box("txtCode")->y(), Box("txtName")->y());
}

TEST_F(CodeListEditorTest, EnterWalksTheBoxesAndTheCodeBoxStoresTheRecord) {
  CodeListEditor& w = Open(ui::CourseListDesign());
  TypeAndEnter(Box("txtName"), "语文");
  EXPECT_EQ(w.focusWidget(), Box("txtFullName"));
  TypeAndEnter(Box("txtFullName"), "语文课");
  EXPECT_EQ(w.focusWidget(), Box("txtShortName"));
  TypeAndEnter(Box("txtShortName"), "语");
  EXPECT_EQ(w.focusWidget(), Box("txtCode"));
  TypeAndEnter(Box("txtCode"), " 01 ");

  EXPECT_EQ(bench.Count("select count(*) from Coursetb where Code='01' and Name='语文' and FullName='语文课' "
                        "and ShortName='语'"),
            1);
  ASSERT_EQ(List()->topLevelItemCount(), 1);
  EXPECT_EQ(Row(List(), 0), (QStringList{"01", "语文", "语文课", "语"}));
  EXPECT_TRUE(List()->topLevelItem(0)->isSelected());
  EXPECT_EQ(Panel(w, 1), "添加记录成功！添加了1条记录");
  for (const char* box : {"txtCode", "txtName", "txtFullName", "txtShortName"})
    EXPECT_EQ(Box(box)->text(), "");
  EXPECT_EQ(w.focusWidget(), Box("txtName"));
  EXPECT_TRUE(bench.prompter().messages().empty());
}

TEST_F(CodeListEditorTest, ArrowKeysMoveBetweenBoxes) {
  CodeListEditor& w = Open(ui::CourseListDesign());
  QTest::keyClick(Box("txtName"), Qt::Key_Down);
  EXPECT_EQ(w.focusWidget(), Box("txtFullName"));
  QTest::keyClick(Box("txtFullName"), Qt::Key_Down);
  EXPECT_EQ(w.focusWidget(), Box("txtShortName"));
  QTest::keyClick(Box("txtShortName"), Qt::Key_Down);
  EXPECT_EQ(w.focusWidget(), Box("txtCode"));
  QTest::keyClick(Box("txtCode"), Qt::Key_Up);
  EXPECT_EQ(w.focusWidget(), Box("txtShortName"));
  QTest::keyClick(Box("txtShortName"), Qt::Key_Up);
  EXPECT_EQ(w.focusWidget(), Box("txtFullName"));
  QTest::keyClick(Box("txtFullName"), Qt::Key_Up);
  EXPECT_EQ(w.focusWidget(), Box("txtName"));
}

TEST_F(CodeListEditorTest, EmptyBoxesAreRedAndTheFirstOneIsNamed) {
  CodeListEditor& w = Open(ui::CourseListDesign());
  TypeAndEnter(Box("txtCode"), "01");
  ASSERT_EQ(bench.prompter().messages().size(), 1u);
  const RecordedMessage& m = bench.prompter().lastMessage();
  EXPECT_EQ(m.text, "请输入课程名称。");
  EXPECT_EQ(m.title, "输入信息检查");
  EXPECT_EQ(m.icon, MessageIcon::Information);
  EXPECT_TRUE(IsRed(Box("txtName")));
  EXPECT_TRUE(IsRed(Box("txtFullName")));
  EXPECT_TRUE(IsRed(Box("txtShortName")));
  EXPECT_TRUE(IsWhite(Box("txtCode")));
  EXPECT_EQ(w.focusWidget(), Box("txtName"));
  EXPECT_EQ(bench.Count("select count(*) from Coursetb"), 0);

  // Filling them turns them white again.
  Fill("01", "语文", "语文", "语");
  Click(Button("cmdAppend"));
  EXPECT_TRUE(IsWhite(Box("txtName")));
  EXPECT_EQ(bench.Count("select count(*) from Coursetb"), 1);
}

TEST_F(CodeListEditorTest, TeacherFullNameMissingIsReportedAsTheName) {
  CodeListEditor& w = Open(ui::TeacherListDesign());
  Fill("T1", "张三", "", "张");
  Click(Button("cmdAppend"));
  EXPECT_EQ(bench.prompter().lastMessage().text, "请输入老师名称。");
  EXPECT_TRUE(IsRed(Box("txtFullName")));
  EXPECT_TRUE(IsWhite(Box("txtShortName")));
  EXPECT_EQ(w.focusWidget(), Box("txtFullName"));
}

TEST_F(CodeListEditorTest, ClassroomsNeedOnlyNameAndCode) {
  CodeListEditor& w = Open(ui::ClassRoomListDesign());
  Click(Button("cmdAppend"));
  EXPECT_EQ(bench.prompter().lastMessage().text, "请输入教室代码。");
  EXPECT_EQ(bench.prompter().lastMessage().title, "输入检查信息");
  EXPECT_EQ(w.focusWidget(), Box("txtCode"));
  EXPECT_TRUE(IsRed(Box("txtName")));
  EXPECT_TRUE(IsWhite(Box("txtFullName")));
  TypeAndEnter(Box("txtName"), "机房");
  TypeAndEnter(Box("txtFullName"), "");
  TypeAndEnter(Box("txtShortName"), "");
  TypeAndEnter(Box("txtCode"), "R1");
  EXPECT_EQ(bench.Count("select count(*) from ClassRoomtb where Code='R1' and FullName=''"), 1);
}

TEST_F(CodeListEditorTest, ADuplicateCodeIsNamedAsTypedAndNothingIsWritten) {
  bench.Exec("insert into Coursetb values ('01','语文','语文','语')");
  CodeListEditor& w = Open(ui::CourseListDesign());
  Fill("", "数学", "数学", "数");
  TypeAndEnter(Box("txtCode"), " 01");
  const RecordedMessage& m = bench.prompter().lastMessage();
  EXPECT_EQ(m.text, "该课程代码：  01 已经存在！");
  EXPECT_EQ(m.title, "育才学校排课软件系统");
  EXPECT_EQ(bench.Count("select count(*) from Coursetb where Name='数学'"), 0);
  EXPECT_EQ(List()->topLevelItemCount(), 1);
  // The refused record stays in the boxes and the focus stays in the code box.
  EXPECT_EQ(Box("txtName")->text(), "数学");
  EXPECT_EQ(w.focusWidget(), Box("txtCode"));
}

TEST_F(CodeListEditorTest, QuotesAreStoredAsTyped) {
  Open(ui::TeacherListDesign());
  Fill("T'1", "O'Neil", "O'Neil", "'");
  Click(Button("cmdAppend"));
  EXPECT_EQ(bench.db().FirstText("select Name from Teachertb where Code=?", "T'1"), "O'Neil");
  EXPECT_EQ(Row(List(), 0), (QStringList{"T'1", "O'Neil", "O'Neil", "'"}));
}

TEST_F(CodeListEditorTest, ModifyRewritesTheClickedRowOnlyAndNeverTheCode) {
  bench.Exec("insert into Coursetb values ('1','语文','语文','语')");
  bench.Exec("insert into Coursetb values ('10','数学','数学','数')");
  CodeListEditor& w = Open(ui::CourseListDesign());
  ClickRow(List(), 0);
  EXPECT_EQ(Box("txtCode")->text(), "1");
  EXPECT_EQ(Box("txtShortName")->text(), "语");
  Box("txtName")->clear();
  Type(Box("txtName"), " 国文 ");
  Click(Button("cmdModify"));
  EXPECT_EQ(Panel(w, 1), "修改记录成功！修改了1条记录");
  EXPECT_EQ(Row(List(), 0), (QStringList{"1", "国文", "语文", "语"}));
  EXPECT_EQ(Row(List(), 1), (QStringList{"10", "数学", "数学", "数"}));
  EXPECT_EQ(bench.Count("select count(*) from Coursetb where Code='1' and Name='国文'"), 1);
  EXPECT_EQ(bench.Count("select count(*) from Coursetb where Code='10' and Name='数学'"), 1);
  EXPECT_EQ(Box("txtName")->text(), " 国文 ");  // the boxes keep their contents

  // A changed code is refused, even by one trailing blank.
  Type(Box("txtCode"), " ");
  Click(Button("cmdModify"));
  EXPECT_EQ(bench.prompter().lastMessage().text, "课程代码不能修改！");
  EXPECT_EQ(bench.prompter().lastMessage().icon, MessageIcon::Warning);
  EXPECT_EQ(bench.prompter().lastMessage().title, "输入信息检查");
  EXPECT_TRUE(IsRed(Box("txtCode")));
  EXPECT_EQ(w.focusWidget(), Box("txtCode"));
  Box("txtCode")->setText("10");
  Click(Button("cmdModify"));
  EXPECT_EQ(bench.prompter().lastMessage().text, "课程代码不能修改！");
  EXPECT_EQ(bench.Count("select count(*) from Coursetb where Name='国文'"), 1);
}

TEST_F(CodeListEditorTest, TheTeacherEditorRefusesACodeChangeInItsOwnWords) {
  bench.Exec("insert into Teachertb values ('T1','张','张','张')");
  Open(ui::TeacherListDesign());
  ClickRow(List(), 0);
  Box("txtCode")->setText("T2");
  Click(Button("cmdModify"));
  EXPECT_EQ(bench.prompter().lastMessage().text, "教师代码不能修改！");
}

TEST_F(CodeListEditorTest, TheClassroomEditorModifiesWhateverCodeIsTyped) {
  bench.Exec("insert into ClassRoomtb values ('R1','机房','',''),('R2','实验室','','')");
  CodeListEditor& w = Open(ui::ClassRoomListDesign());
  ClickRow(List(), 0);
  Box("txtCode")->setText("R2");
  Box("txtName")->setText("化学实验室");
  Click(Button("cmdModify"));
  EXPECT_EQ(bench.Count("select count(*) from ClassRoomtb where Code='R2' and Name='化学实验室'"), 1);
  EXPECT_EQ(bench.Count("select count(*) from ClassRoomtb where Code='R1' and Name='机房'"), 1);
  EXPECT_EQ(Row(List(), 1).at(1), "化学实验室");

  Box("txtCode")->setText("R9");
  Click(Button("cmdModify"));
  const RecordedMessage& m = bench.prompter().lastMessage();
  EXPECT_EQ(m.text, "修改记录失败,代码为R9的记录未被修改");
  EXPECT_EQ(m.title, "更修改失败");
  EXPECT_EQ(Panel(w, 1), "修改记录失败");
  EXPECT_EQ(bench.Count("select count(*) from ClassRoomtb where Name='化学实验室'"), 1);
}

TEST_F(CodeListEditorTest, ModifyAndDeleteWithoutASelectedRowWriteNothing) {
  bench.Exec("insert into Coursetb values ('01','语文','语文','语')");
  Open(ui::CourseListDesign());
  Fill("01", "数学", "数学", "数");
  Click(Button("cmdModify"));
  EXPECT_EQ(bench.prompter().lastMessage().text, "请先选择一条记录。");
  Click(Button("cmdDelete"));
  EXPECT_EQ(bench.prompter().lastMessage().text, "请先选择一条记录。");
  EXPECT_TRUE(bench.prompter().questions().empty());
  EXPECT_EQ(bench.Count("select count(*) from Coursetb where Name='语文'"), 1);
}

TEST_F(CodeListEditorTest, DeletingACourseAsksAndTakesItsDependentRows) {
  bench.Exec("insert into Coursetb values ('01','语文','语文','语'),('02','数学','数学','数')");
  bench.Exec(
      "insert into ClassPlantb (ClassCode,CourseCode,TeacherCode,Count) values ('11','01','T',5),"
      "('11','02','T',4)");
  bench.Exec("insert into LessonListtb values ('11',1,1,'01','T',1),('11',1,2,'02','T',0)");
  bench.Exec("insert into Limittb values (1,'01',1,1,3),(2,'01',1,1,3)");
  CodeListEditor& w = Open(ui::CourseListDesign());
  ClickRow(List(), 0);

  bench.prompter().QueueYesNo(false);
  Click(Button("cmdDelete"));
  EXPECT_EQ(bench.prompter().questions().back(), "警告： 确定要删除 '语文' 吗？(Y/N)？");
  EXPECT_EQ(List()->topLevelItemCount(), 2);
  EXPECT_EQ(Box("txtName")->text(), "语文");
  EXPECT_EQ(bench.Count("select count(*) from LessonListtb"), 2);

  // The Delete key in the list does the same.
  bench.prompter().QueueYesNo(true);
  QTest::keyClick(List(), Qt::Key_Delete);
  EXPECT_EQ(Panel(w, 1), "删除记录成功！删除了1条记录");
  EXPECT_EQ(Column(List(), 0), (QStringList{"02"}));
  EXPECT_EQ(Box("txtName")->text(), "");
  EXPECT_EQ(bench.Count("select count(*) from Coursetb"), 1);
  EXPECT_EQ(bench.Count("select count(*) from ClassPlantb"), 1);
  EXPECT_EQ(bench.Count("select count(*) from LessonListtb"), 1);
  // Only the course restriction goes; a teacher restriction with the same code stays.
  EXPECT_EQ(bench.Count("select count(*) from Limittb"), 1);
  EXPECT_EQ(bench.Count("select Kind from Limittb"), 2);
}

TEST_F(CodeListEditorTest, DeletingAClassroomLeavesItsRestrictions) {
  bench.Exec("insert into ClassRoomtb values ('R1','机房','','')");
  bench.Exec("insert into Limittb values (3,'R1',1,1,3)");
  Open(ui::ClassRoomListDesign());
  ClickRow(List(), 0);
  bench.prompter().QueueYesNo(true);
  Click(Button("cmdDelete"));
  EXPECT_EQ(bench.Count("select count(*) from ClassRoomtb"), 0);
  EXPECT_EQ(bench.Count("select count(*) from Limittb"), 1);
  EXPECT_EQ(List()->topLevelItemCount(), 0);
}

TEST_F(CodeListEditorTest, HeadersSortAsTextAndTheSameHeaderReverses) {
  bench.Exec("insert into Coursetb values ('9','b','z','z'),('10','c','y','y'),('2','a','x','x')");
  Open(ui::CourseListDesign());
  EXPECT_EQ(Column(List(), 0), (QStringList{"9", "10", "2"}));  // table order until sorted
  ClickHeader(List(), 0);
  EXPECT_EQ(Column(List(), 0), (QStringList{"10", "2", "9"}));
  ClickHeader(List(), 0);
  EXPECT_EQ(Column(List(), 0), (QStringList{"9", "2", "10"}));
  // Another header sorts by its column in the order in force (descending).
  ClickHeader(List(), 1);
  EXPECT_EQ(Column(List(), 1), (QStringList{"c", "b", "a"}));
  ClickHeader(List(), 1);
  EXPECT_EQ(Column(List(), 1), (QStringList{"a", "b", "c"}));
  // Once sorted, a new record takes its sorted place.
  Fill("5", "aa", "w", "w");
  Click(Button("cmdAppend"));
  EXPECT_EQ(Column(List(), 1), (QStringList{"a", "aa", "b", "c"}));
  EXPECT_TRUE(List()->topLevelItem(1)->isSelected());
}

TEST_F(CodeListEditorTest, TheEntryPointRunsTheWindowModally) {
  bench.Exec("insert into Teachertb values ('T1','张','张','张')");
  bool ran = false;
  bench.prompter().QueueModal([&](QDialog& d) {
    ran = true;
    EXPECT_EQ(d.objectName(), "frmTeacherInput");
    EXPECT_EQ(Child<QTreeWidget>(d, "lstAllRecord")->topLevelItemCount(), 1);
    Click(Child<QPushButton>(d, "cmdOK"));
    EXPECT_FALSE(d.isVisible());
  });
  ui::ShowTeacherList(bench.ctx(), nullptr);
  EXPECT_TRUE(ran);
}

}  // namespace
}  // namespace orv::test
