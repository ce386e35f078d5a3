// frmPrint: its controls and lists, the guards, the no-row messages, one
// document and one library call per command, the templates by day length,
// the hourglass, and the result messages.
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QPrintPreviewWidget>

#include "gui/output/print_window.h"
#include "gui/shell/main_window.h"
#include "output_school.h"

namespace fs = std::filesystem;

namespace orv::ui {
namespace {

class PrintWindow : public test::OutputSchool {
 protected:
  PrintWindow() { InstallTemplates(6); }
  // The preview comes up through the prompter: note its pages and whether
  // the pointer was normal, then print (accept) or close it.
  void QueuePreview(bool print = true) {
    program.prompter().QueueModal([this, print](QDialog& d) {
      previewName = d.objectName();
      pointerWasNormal = QApplication::overrideCursor() == nullptr;
      auto* widget = d.findChild<QPrintPreviewWidget*>();
      if (widget) widget->updatePreview();
      QApplication::processEvents();
      previewPages = widget ? widget->pageCount() : -1;
      print ? d.accept() : d.reject();
    });
  }
  std::string Document() { return test::ReadFile(program.dir() / "tmp.xml"); }
  bool DocumentWritten() { return fs::exists(program.dir() / "tmp.xml"); }

  QString previewName;
  int previewPages = -1;
  bool pointerWasNormal = false;
};

TEST_F(PrintWindow, ControlsListsPreviousNextAndEmptyLists) {
  FrmPrint w(program.ctx());
  EXPECT_EQ(w.windowTitle(), "打印课表");
  QStringList captions;
  for (const char* name : {"lblClass", "CmdPrevClass", "CmdNextClass", "cmdPrintClass", "cmdPrintAllClass",
                           "Label2", "Label1", "CmdPrevTeacher", "CmdNextTeacher", "cmdPrintTeacher",
                           "cmdPrintAllTeacher", "Label3", "CmdPrintTotal", "Label4", "cmdOK"})
    captions << w.findChild<QWidget*>(name)->property("text").toString();
  EXPECT_EQ(captions.join(',').toStdString(),
            "班级,上一班级,下一班级,选定班级打印,全部班级打印,（A4纸张）,教师,上一教师,下一教师,选定教师打印,"
            "全部教师打印,（A4纸张）,总表打印,（A3纸张）,退出(&Q)");
  EXPECT_EQ(w.Frame1->title() + w.Frame2->title(), "班级课表打印教师课表打印");

  auto items = [](QComboBox* c) {
    QStringList s;
    for (int i = 0; i < c->count(); ++i) s << c->itemText(i);
    return s.join(',');
  };
  EXPECT_EQ(items(w.CmbClass), "一（2）班,一（1）班,一（3）班") << "table order";
  EXPECT_EQ(items(w.CmbTeacher), "王芳,李强,赵六") << "code order";
  EXPECT_EQ(w.CmbClass->currentIndex(), 0);
  EXPECT_EQ(w.CmbTeacher->currentIndex(), 0);
  Click(w.CmdPrevClass);
  EXPECT_EQ(w.CmbClass->currentIndex(), 0) << "nothing before the first";
  for (int i = 0; i < 4; ++i) Click(w.CmdNextClass);
  EXPECT_EQ(w.CmbClass->currentIndex(), 2) << "nothing after the last";
  Click(w.CmdPrevClass);
  EXPECT_EQ(w.CmbClass->currentIndex(), 1);
  Click(w.CmdNextTeacher);
  EXPECT_EQ(w.CmbTeacher->currentText(), "李强");
  Click(w.CmdPrevTeacher);
  Click(w.CmdPrevTeacher);
  EXPECT_EQ(w.CmbTeacher->currentText(), "王芳");
  EXPECT_EQ(program.Said(), "") << "moving the selection runs nothing";

  program.Exec("delete from Classtb");
  program.Exec("delete from Teachertb");
  FrmPrint empty(program.ctx());
  EXPECT_EQ(empty.CmbClass->count() + empty.CmbTeacher->count(), 0);
  Click(empty.cmdPrintClass);
  Click(empty.cmdPrintTeacher);
  EXPECT_EQ(program.Said(), "") << "nothing selected: the single commands do nothing";
  EXPECT_FALSE(DocumentWritten());
}

TEST_F(PrintWindow, NoRowsSayItsMessageAndPrintNothing) {
  FrmPrint w(program.ctx());
  w.CmbClass->setCurrentIndex(2);
  Click(w.cmdPrintClass);
  EXPECT_EQ(program.Said(), "I|打印课表|该班级没有课表数据");
  w.CmbTeacher->setCurrentIndex(2);
  Click(w.cmdPrintTeacher);
  EXPECT_EQ(program.Said(), "I|打印课表|该教师没有课表数据");
  EXPECT_FALSE(DocumentWritten()) << "nothing written, nothing printed";

  program.Exec("delete from LessonListtb");
  for (QPushButton* all : {w.cmdPrintAllClass, w.cmdPrintAllTeacher}) {
    program.prompter().ClearRecords();
    Click(all);
    EXPECT_EQ(program.Said(), "I|打印课表|没有课表数据");
  }
  // The overview has no such check: its skeleton goes to the library.
  QueuePreview();
  Click(w.CmdPrintTotal);
  EXPECT_EQ(program.Said(), "I|打印课表|打印完成");
  EXPECT_EQ(Document(), "<root docname=\"Orvandel排课\">\r\n<record>\r\n</record>\r\n</root>\r\n");
  EXPECT_EQ(previewPages, 1);
  EXPECT_TRUE(program.prompter().AllAnswersUsed());
}

TEST_F(PrintWindow, EachCommandMakesOneDocumentAndOneCall) {
  FrmPrint w(program.ctx());
  struct Case {
    QPushButton* button;
    int pages;
    std::vector<std::string> titles;  // in the document, in order
  } cases[] = {
      {w.cmdPrintClass, 1, {"一（2）班"}},
      {w.cmdPrintAllClass, 2, {"一（1）班", "一（2）班"}},
      {w.cmdPrintTeacher, 1, {"王芳"}},
      {w.cmdPrintAllTeacher, 2, {"王芳", "李强"}},
  };
  for (const Case& c : cases) {
    program.prompter().ClearRecords();
    QueuePreview();
    Click(c.button);
    EXPECT_EQ(program.Said(), "I|打印课表|打印完成") << c.button->objectName().toStdString();
    EXPECT_EQ(previewName, "dlgPrintPreview");
    EXPECT_EQ(previewPages, c.pages) << c.button->objectName().toStdString();
    EXPECT_TRUE(pointerWasNormal) << "the user works in the preview with the normal pointer";
    EXPECT_FALSE(program.prompter().lastMessage().waitCursor) << "the hourglass is gone before the report";
    const std::string doc = Document();
    size_t at = 0, titles = 0;
    for (const std::string& t : c.titles) {
      at = doc.find("<title value=\"育才实验学校     " + t + "\">", at);
      EXPECT_NE(at, std::string::npos) << t;
    }
    for (size_t i = doc.find("<title"); i != std::string::npos; i = doc.find("<title", i + 1)) ++titles;
    EXPECT_EQ(titles, c.titles.size());
  }
  QueuePreview();
  Click(w.CmdPrintTotal);
  EXPECT_EQ(program.Said(), "I|打印课表|打印完成");
  EXPECT_NE(Document().find("<coursenameL11 value=\"语\"></coursename>"), std::string::npos);
  EXPECT_EQ(previewPages, 1);
  EXPECT_TRUE(program.prompter().AllAnswersUsed());
}

TEST_F(PrintWindow, TemplatesFollowTheLessonsPerDay) {
  fs::remove(program.dir() / "TotalSchd6A3.xml");
  FrmPrint w(program.ctx());
  Click(w.CmdPrintTotal);
  EXPECT_EQ(program.Said(), "C|打印课表|打印失败！(ret = 1)") << "template missing: the library's code";
  EXPECT_FALSE(program.prompter().lastMessage().waitCursor);

  // With seven lessons every command names the *7 templates.
  program.state().lessonsPerDay = 7;
  for (const auto& entry : fs::directory_iterator(program.dir()))
    if (entry.path().extension() == ".xml" && entry.path().filename() != "tmp.xml") fs::remove(entry.path());
  InstallTemplates(7);
  for (QPushButton* b :
       {w.cmdPrintClass, w.cmdPrintAllClass, w.cmdPrintTeacher, w.cmdPrintAllTeacher, w.CmdPrintTotal}) {
    QueuePreview();
    Click(b);
    EXPECT_EQ(program.Said(), "I|打印课表|打印完成") << b->objectName().toStdString();
  }
  EXPECT_NE(Document().find("L75"), std::string::npos);
}

TEST_F(PrintWindow, FailuresAndTheClosedPreview) {
  FrmPrint w(program.ctx());
  QueuePreview(false);
  Click(w.cmdPrintAllClass);
  EXPECT_EQ(program.Said(), "") << "closing the preview is no failure to report";
  EXPECT_TRUE(program.prompter().AllAnswersUsed());

  fs::remove(program.dir() / "tmp.xml");
  fs::create_directory(program.dir() / "tmp.xml");
  Click(w.cmdPrintAllTeacher);
  EXPECT_EQ(program.Said(), "C|打印课表|打印失败！(ret = -1)") << "the document could not be written";
  fs::remove(program.dir() / "tmp.xml");

  program.Exec("drop table Coursetb");
  Click(w.cmdPrintAllClass);
  const test::RecordedMessage& m = program.prompter().lastMessage();
  EXPECT_EQ(m.icon, MessageIcon::Critical);
  EXPECT_TRUE(m.text.startsWith("打印失败！") && !m.text.contains("ret")) << m.text.toStdString();
  EXPECT_GT(m.text.size(), 5);
  EXPECT_FALSE(m.waitCursor);
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(PrintWindow, TheMenuItemsOpenThePrintAndExportWindows) {
  FrmMain main(program.ctx());
  for (QAction* item : {main.mnuPrint, main.mnuExport}) {
    EXPECT_TRUE(item->isEnabled());
    QString opened;
    program.prompter().QueueModal([&](QDialog& d) {
      opened = d.objectName() + " " + d.windowTitle();
      d.accept();
    });
    item->trigger();
    EXPECT_EQ(opened, item == main.mnuPrint ? "frmPrint 打印课表" : "frmExport 导出课表到Excel");
  }
}

}  // namespace
}  // namespace orv::ui
