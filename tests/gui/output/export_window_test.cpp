// frmExport: the save dialog, the guards, the no-row messages, the workbook
// each command writes, and the result messages with their codes.
#include <QApplication>

#include "gui/output/export_window.h"
#include "output_school.h"
#include "support/xlsx_reader.h"

namespace fs = std::filesystem;

namespace orv::ui {
namespace {

class ExportWindow : public test::OutputSchool {
 protected:
  // Clicks the button with the file name queued for the save dialog.
  void ExportTo(QPushButton* button, const fs::path& file) {
    program.prompter().ClearRecords();
    program.prompter().QueueFileName(file.empty() ? QString() : test::Q(file));
    Click(button);
  }
  fs::path File(const std::string& name) { return program.dir() / name; }
};

TEST_F(ExportWindow, ControlsAndTheSaveDialog) {
  FrmExport w(program.ctx());
  EXPECT_EQ(w.windowTitle(), "导出课表到Excel");
  EXPECT_EQ(w.Frame1->title(), "导出班级课表");
  EXPECT_EQ(w.Frame2->title(), "导出教师课表");
  EXPECT_EQ(w.cmdExportClass->text() + w.cmdExportAllClass->text() + w.cmdExportTeacher->text() +
                w.cmdExportAllTeacher->text() + w.CmdExportTotal->text() + w.cmdOK->text(),
            "导出选定班级导出全部班级导出选定教师导出全部教师导出总表退出(&Q)");
  EXPECT_EQ(w.CmbClass->currentText() + w.CmbTeacher->currentText(), "一（2）班王芳");
  ExportTo(w.cmdExportClass, "");
  ASSERT_EQ(program.prompter().fileDialogs().size(), 1u);
  EXPECT_EQ(program.prompter().fileDialogs()[0].caption, "保存为Excel文件");
  EXPECT_EQ(program.prompter().fileDialogs()[0].filter, "Excel(*.xlsx)");
  EXPECT_EQ(program.Said(), "") << "a cancelled dialog ends the command quietly";
}

TEST_F(ExportWindow, EachCommandWritesItsSheet) {
  FrmExport w(program.ctx());
  struct Case {
    QPushButton* button;
    const char* sheet;
    const char* cell;
    const char* text;
  } cases[] = {
      {w.cmdExportClass, "班级课表", "D1", "育才实验学校     一（2）班"},
      {w.cmdExportAllClass, "班级课表", "D12", "育才实验学校     一（2）班"},
      {w.cmdExportTeacher, "教师课表", "B4", "语文\n一（1）"},
      {w.cmdExportAllTeacher, "教师课表", "D12", "育才实验学校     李强"},
      {w.CmdExportTotal, "全校课程总表", "A1", "育才实验学校 20    -- 20   学年度第  学期总课程表"},
  };
  for (const Case& c : cases) {
    const fs::path file = File(c.button->objectName().toStdString() + ".xlsx");
    ExportTo(c.button, file);
    EXPECT_EQ(program.Said(), "I|导出课表到Excel|课表导出成功") << c.sheet;
    EXPECT_FALSE(program.prompter().lastMessage().waitCursor);
    const test::XlsxSheet s = test::ReadXlsx(file);
    EXPECT_EQ(s.name, c.sheet);
    EXPECT_EQ(s.Text(c.cell), c.text) << c.button->objectName().toStdString();
  }
  // The teacher who teaches two classes: each lesson names its class.
  const test::XlsxSheet teacher = test::ReadXlsx(File("cmdExportTeacher.xlsx"));
  EXPECT_EQ(teacher.Text("B5"), "语文\n一（2）");
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(ExportWindow, GuardsAndNoRowMessagesWriteNoWorkbook) {
  {
    program.Exec("delete from Classtb");
    program.Exec("delete from Teachertb");
    FrmExport empty(program.ctx());
    Click(empty.cmdExportClass);  // an unexpected save dialog would fail the test
    Click(empty.cmdExportTeacher);
    EXPECT_TRUE(program.prompter().fileDialogs().empty());
  }
  program.Exec("insert into Classtb (Code,Name,FullName,ShortName) values ('13','一（3）班','','一（3）')");
  program.Exec("insert into Teachertb (Code,Name,FullName,ShortName) values ('T3','赵六','','')");
  FrmExport w(program.ctx());
  ExportTo(w.cmdExportClass, File("c.xlsx"));
  EXPECT_EQ(program.Said(), "I|导出课表到Excel|该班级没有课表数据");
  ExportTo(w.cmdExportTeacher, File("t.xlsx"));
  EXPECT_EQ(program.Said(), "I|导出课表到Excel|该教师没有课表数据");
  program.Exec("delete from LessonListtb");
  for (QPushButton* b : {w.cmdExportAllClass, w.cmdExportAllTeacher, w.CmdExportTotal}) {
    ExportTo(b, File("all.xlsx"));
    EXPECT_EQ(program.Said(), "I|导出课表到Excel|没有课表数据") << b->objectName().toStdString();
  }
  for (const char* f : {"c.xlsx", "t.xlsx", "all.xlsx"}) EXPECT_FALSE(fs::exists(File(f))) << f;
}

TEST_F(ExportWindow, AWorkbookThatCannotBeCreatedIsReportedByCommand) {
  FrmExport w(program.ctx());
  const fs::path nowhere = program.dir() / "no such folder" / "x.xlsx";
  for (QPushButton* b : {w.cmdExportClass, w.cmdExportAllClass, w.cmdExportTeacher, w.cmdExportAllTeacher}) {
    ExportTo(b, nowhere);
    EXPECT_EQ(program.Said(), "C|导出课表到Excel|课表导出失败！运行Excel出错,请检查本机是否安装了Office!")
        << b->objectName().toStdString();
  }
  ExportTo(w.CmdExportTotal, nowhere);
  EXPECT_EQ(program.Said(), "C|导出课表到Excel|课表导出失败！(ret = -101)");

  program.Exec("drop table Coursetb");
  ExportTo(w.cmdExportAllClass, File("x.xlsx"));
  const test::RecordedMessage& m = program.prompter().lastMessage();
  EXPECT_EQ(m.icon, MessageIcon::Critical);
  EXPECT_TRUE(m.text.startsWith("课表导出失败！") && m.text.size() > 7 && !m.text.contains("ret"))
      << m.text.toStdString();
  EXPECT_FALSE(fs::exists(File("x.xlsx")));
}

}  // namespace
}  // namespace orv::ui
