// SPDX-License-Identifier: GPL-3.0-or-later
// frmPrint and frmExport: the selectors, the guard of the single commands,
// the no-row messages and a failing database, on both windows; then what
// each does alone: the print document, the preview and the templates, the
// save dialog, the workbook and its result codes.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <algorithm>
#include <fstream>

#include "core/calendar/term_calendar.h"
#include "core/output/cell_text.h"
#include "gui/output/export_window.h"
#include "gui/output/print_window.h"
#include "printing/print_pages.h"
#include "support/process.h"
#include "support/test_program.h"
#include "support/xlsx_reader.h"

namespace fs = std::filesystem;

namespace orv::ui {
namespace {

// Three classes (the third without lessons), three teachers (the third
// without lessons), a named school, and the print templates where the
// program finds them.
class OutputSchool : public ::testing::Test {
 protected:
  OutputSchool() : program("[USERINFO]\nUSER=育才实验学校\n") {
    program.Exec(
        "insert into Classtb (Code,Name,FullName,ShortName) values "
        "('12','一（2）班','一年级（2）班','一（2）'),"
        "('11','一（1）班','一年级（1）班','一（1）'),('13','一（3）班','一年级（3）班','一（3）')");
    program.Exec(
        "insert into Coursetb (Code,Name,FullName,ShortName) values "
        "('01','语文','语文','语'),('02','数学','数学','数')");
    program.Exec(
        "insert into Teachertb (Code,Name,FullName,ShortName) values ('T2','李强','李强','李'),"
        "('T1','王芳','王芳','王'),('T3','赵六','赵六','赵')");
    program.Exec(
        "insert into LessonListtb values ('11',1,1,'01','T1',1),('11',2,3,'02','T2',1),"
        "('12',1,2,'01','T1',2),('12',5,6,'02','T2',0)");
    InstallTemplates(6);
  }
  void InstallTemplates(int lessons) {
    for (std::string name : {"ClassSchd%.xml", "TeacherSchd%.xml", "TotalSchd%A3.xml"}) {
      name.replace(name.find('%'), 1, std::to_string(lessons));
      fs::copy_file(fs::path(ORVANDEL_TEMPLATE_DIR) / name, program.dir() / name,
                    fs::copy_options::overwrite_existing);
    }
  }
  void Click(QPushButton* button) { test::Click(button); }

  test::TestProgram program;
};

struct Window {
  const char* verb;  // the middle of the command buttons' names: cmdPrintClass
  std::unique_ptr<OutputWindow> (*make)(UiContext&);
  const char* failed;
};
void PrintTo(const Window& w, std::ostream* os) { *os << w.verb; }

template <class T>
std::unique_ptr<OutputWindow> Make(UiContext& ctx) {
  return std::make_unique<T>(ctx);
}
const Window kWindows[] = {{"Print", Make<FrmPrint>, "打印失败！"},
                           {"Export", Make<FrmExport>, "课表导出失败！"}};

class OutputWindows : public OutputSchool, public ::testing::WithParamInterface<Window> {
 protected:
  void Open() { w = GetParam().make(program.ctx()); }
  // Runs "Class", "AllClass", "Teacher" or "AllTeacher"; an export names its file first.
  void Run(const char* command) {
    program.prompter().ClearRecords();
    if (GetParam().make == Make<FrmExport>)
      program.prompter().QueueFileName(test::Q(program.dir() / "out.xlsx"));
    test::Press(*w, QString("cmd%1%2").arg(GetParam().verb, command));
  }
  bool Written() { return fs::exists(program.dir() / "out.xlsx") || fs::exists(program.dir() / "tmp.xml"); }
  std::unique_ptr<OutputWindow> w;
};

QString Items(const QComboBox* c) {
  QStringList s;
  for (int i = 0; i < c->count(); ++i) s << c->itemText(i);
  return s.join(',');
}

TEST_P(OutputWindows, ListsStepWithinTheirEndsAndWithoutSelectionTheSingleCommandsDoNothing) {
  Open();
  EXPECT_EQ(Items(w->CmbClass), "一（2）班,一（1）班,一（3）班") << "table order";
  EXPECT_EQ(Items(w->CmbTeacher), "王芳,李强,赵六") << "code order";
  for (auto [combo, prev, next] : {std::tuple{w->CmbClass, w->CmdPrevClass, w->CmdNextClass},
                                   {w->CmbTeacher, w->CmdPrevTeacher, w->CmdNextTeacher}}) {
    QString seen = QString::number(combo->currentIndex());
    for (QPushButton* b : {prev, next, next, next, prev}) {
      Click(b);
      seen += QString::number(combo->currentIndex());
    }
    EXPECT_EQ(seen, "001221") << combo->objectName().toStdString();
  }
  EXPECT_EQ(program.Said(), "") << "moving the selection runs nothing";

  program.Exec("delete from Classtb");
  program.Exec("delete from Teachertb");
  Open();
  EXPECT_EQ(w->CmbClass->count() + w->CmbTeacher->count(), 0);
  for (const char* single : {"Class", "Teacher"})
    test::Press(*w, QString("cmd%1%2").arg(GetParam().verb, single));
  EXPECT_EQ(program.Said(), "");
  EXPECT_TRUE(program.prompter().fileDialogs().empty());
  EXPECT_FALSE(Written());
}

TEST_P(OutputWindows, NoRowsSayTheirMessageAndWriteNothing) {
  Open();
  w->CmbClass->setCurrentIndex(2);
  w->CmbTeacher->setCurrentIndex(2);
  const std::string said = "I|" + w->windowTitle().toStdString() + "|";
  Run("Class");
  EXPECT_EQ(program.Said(), said + "该班级没有课表数据");
  Run("Teacher");
  EXPECT_EQ(program.Said(), said + "该教师没有课表数据");
  program.Exec("delete from LessonListtb");
  for (const char* all : {"AllClass", "AllTeacher"}) {
    Run(all);
    EXPECT_EQ(program.Said(), said + "没有课表数据") << all;
  }
  EXPECT_FALSE(Written());
  EXPECT_TRUE(program.prompter().AllAnswersUsed());
}

TEST_P(OutputWindows, AFailingDatabaseIsReportedWithItsReasonAfterTheHourglass) {
  Open();
  program.Exec("drop table Coursetb");
  Run("AllClass");
  const test::RecordedMessage& m = program.prompter().lastMessage();
  EXPECT_EQ(m.icon, MessageIcon::Critical);
  EXPECT_TRUE(m.text.startsWith(GetParam().failed) && m.text.size() > QString(GetParam().failed).size() &&
              !m.text.contains("ret"))
      << m.text.toStdString();
  EXPECT_FALSE(m.waitCursor);
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
  EXPECT_FALSE(Written());
}

INSTANTIATE_TEST_SUITE_P(Both, OutputWindows, ::testing::ValuesIn(kWindows),
                         [](const auto& info) { return std::string(info.param.verb); });

class PrintWindow : public OutputSchool {
 protected:
  // The preview comes up through the prompter: note its pages and whether
  // the pointer was normal, keep its pages as a PDF to read back, then print
  // (accept) or close it.
  void QueuePreview(bool print = true) {
    program.prompter().QueueModal([this, print](QDialog& d) {
      previewName = d.objectName();
      pointerWasNormal = QApplication::overrideCursor() == nullptr;
      auto* widget = d.findChild<QPrintPreviewWidget*>();
      if (widget) widget->updatePreview();
      QApplication::processEvents();
      previewPages = widget ? widget->pageCount() : -1;
      const auto notices = d.findChildren<QLabel*>("lblCutNotice");
      cutNotices = int(notices.size());
      cutNotice = notices.isEmpty() ? QString() : notices.front()->text();
      if (auto* preview = qobject_cast<QPrintPreviewDialog*>(&d)) {
        QPrinter* printer = preview->printer();
        docName = printer->docName();
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(test::Q(program.dir() / "preview.pdf"));
        emit preview->paintRequested(printer);
      }
      print ? d.accept() : d.reject();
    });
  }
  // The text of the pages the last preview showed.
  std::string Pages() {
    return test::RunProcess("/usr/bin/pdftotext", {(program.dir() / "preview.pdf").string(), "-"}).out;
  }

  FrmPrint w{program.ctx()};
  QString previewName, docName, cutNotice;
  int previewPages = -1, cutNotices = -1;
  bool pointerWasNormal = false;
};

TEST_F(PrintWindow, EachCommandMakesOneDocumentAndOneCall) {
  struct Case {
    QPushButton* button;
    int pages;
    std::vector<std::string> titles;  // in the document, in order
    QString selection;                // in the job title, between the school and 课程表
  } cases[] = {
      {w.cmdPrintClass, 1, {"一（2）班"}, w.CmbClass->currentText()},
      {w.cmdPrintAllClass, 2, {"一（1）班", "一（2）班"}, "全部班级"},
      {w.cmdPrintTeacher, 1, {"王芳"}, w.CmbTeacher->currentText()},
      {w.cmdPrintAllTeacher, 2, {"王芳", "李强"}, "全部老师"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.button->objectName().toStdString());
    program.prompter().ClearRecords();
    QueuePreview();
    Click(c.button);
    EXPECT_EQ(program.Said(), "I|打印课表|打印完成");
    EXPECT_EQ(previewName, "dlgPrintPreview");
    EXPECT_EQ(previewPages, c.pages);
    EXPECT_EQ(docName, QString::fromStdString(
                           JobTitle(program.state().settings().GetSchoolName(), c.selection.toStdString())));
    EXPECT_TRUE(docName.contains(c.titles.size() == 1 ? QString::fromStdString(c.titles[0]).mid(1) : "全部"));
    EXPECT_TRUE(pointerWasNormal) << "the user works in the preview with the normal pointer";
    EXPECT_FALSE(program.prompter().lastMessage().waitCursor) << "the hourglass is gone before the report";
    const std::string pages = Pages();
    // Names as the PDF's text reads back: the first character of 一（1）班
    // may come out as a look-alike, so the rest of it is what is looked for.
    for (const char* name : {"（1）班", "（2）班", "王芳", "李强"}) {
      const bool wanted = std::find_if(c.titles.begin(), c.titles.end(), [&](const std::string& t) {
                            return t.find(name) != std::string::npos;
                          }) != c.titles.end();
      EXPECT_EQ(pages.find(name) != std::string::npos, wanted) << name << "\n" << pages;
    }
  }
  QueuePreview();
  Click(w.CmdPrintTotal);
  EXPECT_EQ(program.Said(), "I|打印课表|打印完成");
  // A PDF saved from the preview says what made it and whose it is.
  const std::string info =
      test::RunProcess("/usr/bin/pdfinfo", {(program.dir() / "preview.pdf").string()}).out;
  EXPECT_NE(info.find("Title:           育才实验学校 全校总表 课程表\n"), std::string::npos) << info;
  EXPECT_NE(info.find("Author:          育才实验学校\n"), std::string::npos) << info;
  EXPECT_NE(info.find("Creator:         Orvandel排课软件\n"), std::string::npos) << info;
  EXPECT_NE(Pages().find("学期总课程表"), std::string::npos);
  EXPECT_NE(Pages().find("语"), std::string::npos);
  EXPECT_EQ(previewPages, 1);

  // Without lessons the overview still prints its header.
  program.Exec("delete from LessonListtb");
  QueuePreview();
  Click(w.CmdPrintTotal);
  EXPECT_EQ(program.Said(), "I|打印课表|打印完成");
  EXPECT_NE(Pages().find("星期三"), std::string::npos) << Pages();
  EXPECT_EQ(Pages().find("语"), std::string::npos);
  EXPECT_TRUE(program.prompter().AllAnswersUsed());
}

// The overview's narrow cells take a course's short name; one too long for
// them is cut, and the preview says so once, naming it, before printing.
TEST_F(PrintWindow, ANameCutToFitIsToldOnceInThePreview) {
  QueuePreview();
  Click(w.CmdPrintTotal);
  EXPECT_EQ(cutNotices, 0) << "nothing to tell";
  program.Exec("update Coursetb set ShortName='道德与法治综合实践活动' where Code='01'");
  QueuePreview();
  Click(w.CmdPrintTotal);
  EXPECT_EQ(program.Said(), "I|打印课表|打印完成");
  ASSERT_EQ(cutNotices, 1);
  EXPECT_EQ(cutNotice.toStdString(), CutNamesNotice({"道德与法治综合实践活动"}));
  EXPECT_NE(Pages().find("…"), std::string::npos);
}

TEST_F(PrintWindow, TemplatesFollowTheLessonsPerDay) {
  fs::remove(program.dir() / "TotalSchd6A3.xml");
  Click(w.CmdPrintTotal);
  const std::string said = program.Said();
  EXPECT_EQ(said.rfind("C|打印课表|打印失败！(ret = 1) 找不到打印模板文件", 0), 0u)
      << said << ": the library's code and reason";
  EXPECT_FALSE(program.prompter().lastMessage().waitCursor);

  // With seven lessons every command names the *7 templates.
  program.state().week.lessonsPerDay = 7;
  for (const auto& entry : fs::directory_iterator(program.dir()))
    if (entry.path().extension() == ".xml") fs::remove(entry.path());
  InstallTemplates(7);
  for (QPushButton* b :
       {w.cmdPrintClass, w.cmdPrintAllClass, w.cmdPrintTeacher, w.cmdPrintAllTeacher, w.CmdPrintTotal}) {
    QueuePreview();
    Click(b);
    // The library refuses a document whose lessons a day differ from the template's.
    EXPECT_EQ(program.Said(), "I|打印课表|打印完成") << b->objectName().toStdString();
  }
}

// The document used to be written to tmp.xml in the program directory,
// following whatever link was there. Now it goes to the library in memory.
TEST_F(PrintWindow, AClosedPreviewIsNoFailureAndNoDocumentFileIsWritten) {
  test::WriteFile(program.dir() / "victim.txt", "keep me");
  fs::create_symlink(program.dir() / "victim.txt", program.dir() / "tmp.xml");
  QueuePreview(false);
  Click(w.cmdPrintAllClass);
  EXPECT_EQ(program.Said(), "") << "closing the preview is no failure to report";
  EXPECT_TRUE(program.prompter().AllAnswersUsed());
  EXPECT_EQ(test::ReadFile(program.dir() / "victim.txt"), "keep me");
  EXPECT_TRUE(fs::is_symlink(program.dir() / "tmp.xml"));
}

class ExportWindow : public OutputSchool {
 protected:
  // Clicks the button with the file name queued for the save dialog.
  void ExportTo(QPushButton* button, const fs::path& file) {
    program.prompter().ClearRecords();
    program.prompter().QueueFileName(file.empty() ? QString() : test::Q(file));
    Click(button);
  }
  fs::path File(const std::string& name) { return program.dir() / name; }
  FrmExport w{program.ctx()};
};

TEST_F(ExportWindow, EachCommandAsksForTheFileAndWritesItsSheet) {
  ExportTo(w.cmdExportClass, "");
  ASSERT_EQ(program.prompter().fileDialogs().size(), 1u);
  EXPECT_EQ(program.prompter().fileDialogs()[0].caption, "保存为Excel文件");
  EXPECT_EQ(program.prompter().fileDialogs()[0].filter, "Excel(*.xlsx)");
  EXPECT_EQ(program.Said(), "") << "a cancelled dialog ends the command quietly";

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
    SCOPED_TRACE(c.button->objectName().toStdString());
    const fs::path file = File(c.button->objectName().toStdString() + ".xlsx");
    ExportTo(c.button, file);
    EXPECT_EQ(program.Said(), "I|导出课表到Excel|课表导出成功");
    EXPECT_FALSE(program.prompter().lastMessage().waitCursor);
    const test::XlsxSheet s = test::ReadXlsx(file);
    EXPECT_EQ(s.name, c.sheet);
    EXPECT_EQ(s.Text(c.cell), c.text);
  }
  // The teacher who teaches two classes: each lesson names its class.
  EXPECT_EQ(test::ReadXlsx(File("cmdExportTeacher.xlsx")).Text("B5"), "语文\n一（2）");
  // Once the school states its term, the overview's title names it.
  ASSERT_TRUE(SaveTermCalendar(*program.state().db,
                               DefaultTermCalendar({2026, 8, 1}, program.state().week.lessonsPerDay),
                               program.state().week.lessonsPerDay));
  ExportTo(w.CmdExportTotal, File("term.xlsx"));
  EXPECT_EQ(test::ReadXlsx(File("term.xlsx")).Text("A1"), "育才实验学校 2026--2027学年度第1学期总课程表");
  program.Exec("delete from LessonListtb");
  ExportTo(w.CmdExportTotal, File("empty.xlsx"));
  EXPECT_EQ(program.Said(), "I|导出课表到Excel|没有课表数据");
  EXPECT_FALSE(fs::exists(File("empty.xlsx")));
}

// Two teachers called 王芳: the list tells them apart by code, the one chosen
// is the one exported, and "all" gives each a block under its own title.
TEST_F(ExportWindow, TwoTeachersOfOneNameAreListedAndExportedByCode) {
  program.Exec("insert into Teachertb (Code,Name,FullName,ShortName) values ('T0','王芳','王芳','王')");
  program.Exec("insert into LessonListtb values ('13',4,4,'02','T0',1)");
  FrmExport two{program.ctx()};
  EXPECT_EQ(Items(two.CmbTeacher), "王芳（T0）,王芳（T1）,李强,赵六");
  two.CmbTeacher->setCurrentIndex(1);
  ExportTo(two.cmdExportTeacher, File("one.xlsx"));
  test::XlsxSheet s = test::ReadXlsx(File("one.xlsx"));
  EXPECT_EQ(s.Text("D1"), "育才实验学校     王芳（T1）");
  EXPECT_EQ(s.Text("B4"), "语文\n一（1）") << "T1's own lesson";
  EXPECT_EQ(s.Text("D12"), "") << "and no other teacher's";

  ExportTo(two.cmdExportAllTeacher, File("all.xlsx"));
  s = test::ReadXlsx(File("all.xlsx"));
  EXPECT_EQ(s.Text("D1") + "|" + s.Text("D12") + "|" + s.Text("D23"),
            "育才实验学校     王芳（T0）|育才实验学校     王芳（T1）|育才实验学校     李强");
}

// -101 is the file system refusing the workbook: the message gives its reason
// and the path, not a hint at Office. A folder under a regular file cannot be
// written even by root, who runs the tests here.
TEST_F(ExportWindow, AWorkbookThatCannotBeCreatedIsReportedWithItsReason) {
  const fs::path blocker = program.dir() / "a file";
  std::ofstream(blocker) << "x";
  const fs::path nowhere = blocker / "x.xlsx";
  for (QPushButton* b :
       {w.cmdExportClass, w.cmdExportAllClass, w.cmdExportTeacher, w.cmdExportAllTeacher, w.CmdExportTotal}) {
    ExportTo(b, nowhere);
    EXPECT_EQ(program.Said(), "C|导出课表到Excel|课表导出失败！无法创建文件：" + nowhere.string() +
                                  "（文件夹不存在） (ret = -101)")
        << b->objectName().toStdString();
  }
  EXPECT_FALSE(fs::exists(nowhere));
}

}  // namespace
}  // namespace orv::ui
