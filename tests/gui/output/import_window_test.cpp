// SPDX-License-Identifier: GPL-3.0-or-later
// frmImport: a merge that adds and changes, a file with a problem that
// writes nothing, replacing only after a Yes, and the preview thrown away by
// every change of the choices, all asserted on the database.
#include <gtest/gtest.h>

#include <QDialog>
#include <functional>

#include "core/exchange/template_workbook.h"
#include "gui/output/import_window.h"
#include "support/temp_dir.h"
#include "support/test_program.h"

namespace fs = std::filesystem;

namespace orv::ui {
namespace {

using Rows = std::vector<std::vector<std::string>>;

// Two classes of grade one, two teachers, three plan rows, and a timetable
// that replacing must clear.
class ImportWindow : public ::testing::Test {
 protected:
  ImportWindow() : window(program.ctx()) {
    program.Exec(
        "insert into Classtb values ('11','一（1）班','一年级（1）班','一（1）'),"
        "('12','一（2）班','一年级（2）班','一（2）')");
    program.Exec("insert into Coursetb values ('01','语文','语文','语'),('02','数学','数学','数')");
    program.Exec("insert into Teachertb values ('T1','王芳','王芳','王'),('T2','李强','李强','李')");
    program.Exec(
        "insert into ClassPlantb (ClassCode,CourseCode,TeacherCode,Count,BuildCount) values "
        "('11','01','T1',3,1),('11','02','T2',2,1),('12','01','T1',3,0)");
    program.Exec("insert into LessonListtb values ('11',1,1,'01','T1',1),('11',2,3,'02','T2',0)");
  }
  fs::path Workbook(const Rows& teachers, const Rows& plan, const Rows& classes = {},
                    const Rows& courses = {}) {
    ExchangeRows data;
    data.rows[size_t(SheetKind::Teachers)] = teachers;
    data.rows[size_t(SheetKind::Plan)] = plan;
    data.rows[size_t(SheetKind::Classes)] = classes;
    data.rows[size_t(SheetKind::Courses)] = courses;
    const fs::path file = program.dir() / "school.xlsx";
    EXPECT_TRUE(WriteExchangeWorkbook(file, data));
    return file;
  }
  void Choose(const fs::path& file) {
    program.prompter().QueueFileName(test::Q(file));
    test::Click(window.cmdBrowse);
  }
  QString Cell(int row, int column) const {
    const QTableWidgetItem* item = window.grdPreview->item(row, column);
    return item ? item->text() : "<none>";
  }
  int Visible(const QString& action) const {
    int n = 0;
    for (int row = 0; row < window.grdPreview->rowCount(); ++row)
      n += !window.grdPreview->isRowHidden(row) && Cell(row, 2) == action;
    return n;
  }
  // Every table the import may write, as a count or the plan's counts.
  std::string Snapshot() {
    std::string s;
    for (const char* table : {"Classtb", "Coursetb", "Teachertb", "ClassPlantb", "LessonListtb"})
      s += std::to_string(program.Count(std::string("select count(*) from ") + table)) + ",";
    return s + std::to_string(program.Count("select sum(Count*10+BuildCount) from ClassPlantb"));
  }

  test::TestProgram program;
  FrmImport window;
};

TEST_F(ImportWindow, MergeAddsTheNewTeacherAndChangesThePlanCount) {
  Choose(Workbook({{"T3", "张三", "张三", "张"}}, {{"一（1）班", "11", "语文", "01", "王芳", "T1", "4"}}));
  EXPECT_EQ(window.txtFile->text(), test::Q(program.dir() / "school.xlsx"));
  EXPECT_EQ(program.prompter().fileDialogs().at(0).filter, "表格文件 (*.xlsx *.csv)");
  EXPECT_FALSE(window.cmbKind->isEnabled()) << "a workbook names its own sheets";
  EXPECT_FALSE(window.cmdImport->isEnabled()) << "nothing is written unseen";

  test::Click(window.cmdPreview);
  EXPECT_EQ(program.Said(), "");
  EXPECT_TRUE(window.lblSummary->text().startsWith("新增 1，修改 1"))
      << window.lblSummary->text().toStdString();
  ASSERT_EQ(window.grdPreview->rowCount(), 2);
  EXPECT_EQ(window.grdPreview->horizontalHeaderItem(2)->text(), "操作");
  EXPECT_EQ(Cell(0, 0) + Cell(0, 1) + Cell(0, 2), "教师2新增");
  EXPECT_TRUE(Cell(0, 3).contains("张三"));
  EXPECT_EQ(Cell(1, 0) + Cell(1, 1) + Cell(1, 2), "教学计划2修改");
  EXPECT_TRUE(window.lstWarnings->isHidden());
  EXPECT_EQ(program.Count("select count(*) from Teachertb"), 2) << "a preview writes nothing";

  ASSERT_TRUE(window.cmdImport->isEnabled());
  test::Click(window.cmdImport);
  EXPECT_EQ(program.Said(), "I|从表格导入|导入完成：新增 1，修改 1。");
  EXPECT_EQ(window.result(), QDialog::Accepted);
  EXPECT_EQ(program.Count("select count(*) from Teachertb where Code='T3' and Name='张三'"), 1);
  EXPECT_EQ(program.Count("select Count from ClassPlantb where ClassCode='11' and CourseCode='01'"), 4);
  EXPECT_EQ(program.Count("select count(*) from ClassPlantb"), 3);
  EXPECT_EQ(program.Count("select count(*) from LessonListtb"), 2) << "a merge keeps the timetable";
}

TEST_F(ImportWindow, AnUnknownTeacherIsShownWhereItIsAndNothingIsWrittenUnlessNewNamesAreAllowed) {
  const std::string before = Snapshot();
  const fs::path csv = program.dir() / "upload.csv";
  test::WriteFile(csv, "班级,课程,教师,每周节数\n一（1）班,语文,王芳,3\n一（2）班,数学,赵六,2\n");
  Choose(csv);
  ASSERT_TRUE(window.cmbKind->isEnabled());
  test::Click(window.cmdPreview);
  EXPECT_TRUE(program.Said().starts_with("C|从表格导入|读取文件失败！\n")) << "a CSV name that tells no kind";
  EXPECT_FALSE(window.cmdImport->isEnabled());

  window.cmbKind->setCurrentText("教学计划");
  test::Click(window.cmdPreview);
  EXPECT_TRUE(window.lblSummary->text().startsWith("发现 1 个问题，不能导入"))
      << window.lblSummary->text().toStdString();
  ASSERT_EQ(window.grdPreview->rowCount(), 1);
  EXPECT_EQ(window.grdPreview->horizontalHeaderItem(3)->text(), "问题");
  EXPECT_EQ(Cell(0, 0) + "|" + Cell(0, 1) + "|" + Cell(0, 2), "教学计划|3|教师");
  EXPECT_TRUE(Cell(0, 3).contains("赵六")) << Cell(0, 3).toStdString();
  EXPECT_FALSE(window.cmdImport->isEnabled());
  window.Import();
  EXPECT_EQ(Snapshot(), before);

  test::Click(window.chkCreateNamed);
  test::Click(window.cmdPreview);
  ASSERT_TRUE(window.cmdImport->isEnabled()) << window.lblSummary->text().toStdString();
  EXPECT_EQ(Visible("不变"), 0) << "the unchanged first row is left out until asked for";
  EXPECT_GT(Visible("新增"), 0);
  test::Click(window.chkShowKept);
  EXPECT_EQ(Visible("不变"), 1);
  test::Click(window.cmdImport);
  EXPECT_EQ(program.Count("select count(*) from Teachertb where Name='赵六'"), 1);
  EXPECT_EQ(program.Count("select count(*) from ClassPlantb p join Teachertb t on t.Code=p.TeacherCode "
                          "where p.ClassCode='12' and p.CourseCode='02' and t.Name='赵六' and p.Count=2"),
            1);
}

// Columns are sized while the unchanged rows are still hidden; once shown,
// they must not be cut off to "王…".
TEST_F(ImportWindow, UnchangedRecordsShownOnRequestFitTheirColumns) {
  Choose(Workbook({{"T1", "王芳", "王芳", "王"}, {"T2", "李强", "李强", "李"}}, {}));
  test::Click(window.cmdPreview);
  EXPECT_EQ(window.lblSummary->text(), "新增 0，修改 0，不变 2。文件与数据库相同，没有要导入的内容。");
  EXPECT_FALSE(window.cmdImport->isEnabled()) << "a merge that writes nothing";
  EXPECT_EQ(Visible("不变"), 0);
  test::Click(window.chkShowKept);
  ASSERT_EQ(Visible("不变"), 2);
  for (int row = 0; row < 2; ++row)
    EXPECT_GE(window.grdPreview->columnWidth(3),
              window.grdPreview->fontMetrics().horizontalAdvance(Cell(row, 3)))
        << Cell(row, 3).toStdString();
}

TEST_F(ImportWindow, AFailedWriteIsReportedAndLeavesTheDatabaseAsItWas) {
  Choose(Workbook({{"T3", "张三", "张三", "张"}}, {{"一（1）班", "11", "语文", "01", "王芳", "T1", "4"}}));
  test::Click(window.cmdPreview);
  ASSERT_TRUE(window.cmdImport->isEnabled());
  const std::string before = Snapshot();
  program.Exec(
      "create trigger frozen before update on ClassPlantb begin select raise(abort, '计划已锁定'); end");
  test::Click(window.cmdImport);
  EXPECT_TRUE(program.Said().starts_with("C|从表格导入|导入失败！\n")) << program.Said();
  EXPECT_EQ(Snapshot(), before) << "the teacher added before the failing row is rolled back";
  EXPECT_NE(window.result(), QDialog::Accepted);
}

TEST_F(ImportWindow, ReplaceAsksNamingWhatIsClearedAndOnlyYesReplaces) {
  Choose(Workbook({{"T1", "王芳", "王芳", "王"}}, {{"一（1）班", "11", "语文", "01", "王芳", "T1", "5"}},
                  {{"11", "一年级", "1", "一（1）班", "一年级（1）班", "一（1）"}},
                  {{"01", "语文", "语文", "语", "否"}}));
  test::Click(window.optReplace);
  test::Click(window.cmdPreview);
  EXPECT_TRUE(
      window.lblSummary->text().contains("导入前将清除全部基础数据和课表：班级 2 个、课程 2 门、教师 2 位"))
      << window.lblSummary->text().toStdString();
  const std::string before = Snapshot();

  program.prompter().QueueYesNo(false);
  test::Click(window.cmdImport);
  ASSERT_EQ(program.prompter().questions().size(), 1u);
  EXPECT_EQ(program.prompter().questions()[0],
            "将清除全部基础数据和课表（班级 2 个、课程 2 门、教师 2 位、教学计划 3 行、课表中 2 "
            "节课），然后导入。确定吗？");
  EXPECT_EQ(Snapshot(), before);
  EXPECT_EQ(program.Said(), "");

  program.prompter().QueueYesNo(true);
  test::Click(window.cmdImport);
  EXPECT_EQ(window.result(), QDialog::Accepted);
  EXPECT_EQ(Snapshot(), "1,1,1,1,0,50") << "only the file's school, its plan count 5, no timetable";
}

TEST_F(ImportWindow, EveryChangeOfFileKindModeOrOptionThrowsThePreviewAway) {
  const fs::path workbook = Workbook({{"T3", "张三", "张三", "张"}}, {});
  const fs::path csv = program.dir() / "教师.csv";
  test::WriteFile(csv, "编号,姓名\nT4,孙七\n");
  const std::pair<fs::path, std::function<void()>> changes[] = {{workbook, [&] { test::Click(window.optReplace); }},
                                                                {workbook, [&] { test::Click(window.optMerge); }},
                                                                {workbook, [&] { test::Click(window.chkCreateNamed); }},
                                                                {workbook, [&] { Choose(csv); }},
                                                                {csv, [&] { window.cmbKind->setCurrentText("教师"); }},
                                                                {csv, [&] { Choose(workbook); }}};
  for (const auto& [file, change] : changes) {
    Choose(file);
    test::Click(window.cmdPreview);
    ASSERT_TRUE(window.cmdImport->isEnabled()) << file << window.lblSummary->text().toStdString();
    ASSERT_GT(window.grdPreview->rowCount(), 0);
    change();
    EXPECT_FALSE(window.cmdImport->isEnabled()) << file;
    EXPECT_EQ(window.grdPreview->rowCount(), 0);
  }
  EXPECT_EQ(window.cmbKind->isEnabled(), false) << "the last file is the workbook";
  EXPECT_EQ(program.Count("select count(*) from Teachertb"), 2);
}

}  // namespace
}  // namespace orv::ui
