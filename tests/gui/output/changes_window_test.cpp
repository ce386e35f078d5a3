// SPDX-License-Identifier: GPL-3.0-or-later
// frmChanges: nothing published said plainly; after a publication and a
// manual swap the two teachers and the class with their sentences; the
// publication to compare with chosen; and the printout read back from real
// pages: the preview's page count and a PDF with one page per teacher.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QPushButton>
#include <QTreeWidget>

#include "core/editing/timetable_edit.h"
#include "core/publish/publications.h"
#include "gui/output/changes_window.h"
#include "support/process.h"
#include "support/test_program.h"

namespace fs = std::filesystem;

namespace orv::ui {
namespace {

class ChangesWindow : public ::testing::Test {
 protected:
  ChangesWindow() : program("[USERINFO]\nUSER=育才实验学校\n") {
    program.Exec(
        "insert into Classtb (Code,Name,FullName,ShortName) values ('702','七（2）班','七（2）班','七2')");
    program.Exec(
        "insert into Coursetb (Code,Name,FullName,ShortName) values ('01','语文','语文','语'),"
        "('02','数学','数学','数'),('03','英语','英语','英')");
    program.Exec(
        "insert into Teachertb (Code,Name,FullName,ShortName) values ('T1','王伟','王伟','王'),"
        "('T2','李明','李明','李'),('T3','张华','张华','张')");
    program.Exec(
        "insert into ClassPlantb (ClassCode,CourseCode,TeacherCode,Count) values "
        "('702','02','T1',1),('702','01','T2',1),('702','03','T3',1)");
    program.Exec(
        "insert into LessonListtb values ('702',3,2,'02','T1',1),('702',4,5,'01','T2',1),"
        "('702',1,1,'03','T3',1)");
    fs::copy_file(fs::path(ORVANDEL_TEMPLATE_DIR) / "NoticeA4.xml", program.dir() / "NoticeA4.xml");
  }
  void Publish(const std::string& at) {
    TimetableDb& db = *program.state().db;
    ASSERT_TRUE(RecordPublication(db, ReadPublishedSchool(db, program.state().week, "").value(), at));
  }
  // The tree as lines, children indented.
  static std::vector<std::string> Tree(QTreeWidget* tree) {
    std::vector<std::string> out;
    std::function<void(QTreeWidgetItem*, std::string)> walk = [&](QTreeWidgetItem* item, std::string indent) {
      out.push_back(indent + item->text(0).toStdString());
      for (int i = 0; i < item->childCount(); ++i) walk(item->child(i), indent + "  ");
    };
    for (int i = 0; i < tree->topLevelItemCount(); ++i) walk(tree->topLevelItem(i), "");
    return out;
  }
  std::string PdfInfo(const fs::path& pdf) {
    return test::RunProcess("/usr/bin/pdfinfo", {pdf.string()}).out;
  }
  std::string PdfText(const fs::path& pdf) {
    return test::RunProcess("/usr/bin/pdftotext", {pdf.string(), "-"}).out;
  }

  test::TestProgram program;
};

TEST_F(ChangesWindow, NothingPublishedIsSaidUntilTheTimetableIsRecorded) {
  FrmChanges w(program.ctx());
  EXPECT_FALSE(w.cmbSince->isEnabled());
  EXPECT_TRUE(w.lblSummary->text().startsWith("还没有发布过课表"));
  EXPECT_EQ(w.lstChanges->topLevelItemCount(), 0);
  EXPECT_FALSE(w.cmdPrint->isEnabled());
  EXPECT_FALSE(w.cmdPdf->isEnabled());
  EXPECT_EQ(program.Said(), "");

  // A school that hands out printouts records what it handed out.
  program.prompter().QueueYesNo(false);
  test::Click(w.cmdRecord);
  EXPECT_EQ(program.Count("select count(*) from Publicationtb"), 0);
  program.prompter().QueueYesNo(true);
  test::Click(w.cmdRecord);
  EXPECT_EQ(program.prompter().questions().back(),
            "把现在的课表记为第1次发布吗？\n以后的变更通知默认与这个版本比较。");
  EXPECT_EQ(program.Said(), "I|变更通知|已记为第1次发布");
  EXPECT_EQ(program.Count("select count(*) from PublishedLessontb where Version=1"), 3);
  ASSERT_EQ(w.cmbSince->count(), 1);
  EXPECT_TRUE(w.lblSummary->text().endsWith("以来没有变动。")) << w.lblSummary->text().toStdString();
  ASSERT_TRUE(SwapLessons(*program.state().db, "702", 3, 2, 4, 5, program.state().week));
  program.prompter().QueueYesNo(true);
  test::Click(w.cmdRecord);
  EXPECT_EQ(w.cmbSince->currentData().toInt(), 2) << "the new version is the one compared with";
  EXPECT_TRUE(program.prompter().AllAnswersUsed());
}

TEST_F(ChangesWindow, AfterASwapTheTwoTeachersGetAPageEach) {
  Publish("2026-09-01 08:00");
  ASSERT_TRUE(SwapLessons(*program.state().db, "702", 3, 2, 4, 5, program.state().week));
  FrmChanges w(program.ctx());
  ASSERT_EQ(w.cmbSince->count(), 1);
  EXPECT_EQ(w.cmbSince->currentText(), "第1次发布（2026-09-01 08:00）");
  EXPECT_EQ(Tree(w.lstChanges), (std::vector<std::string>{
                                    "教师（2）",
                                    "  王伟（1处）",
                                    "    星期三第2节 数学（七（2）班）改到 星期四第5节",
                                    "  李明（1处）",
                                    "    星期四第5节 语文（七（2）班）改到 星期三第2节",
                                    "班级（1）",
                                    "  七（2）班（2处）",
                                    "    星期三第2节 数学（王伟）改到 星期四第5节",
                                    "    星期四第5节 语文（李明）改到 星期三第2节",
                                }));

  const fs::path pdf = program.dir() / "通知";
  program.prompter().QueueFileName(test::Q(pdf));
  test::Click(w.cmdPdf);
  EXPECT_EQ(program.Said(), "I|变更通知|已保存：" + pdf.string() + ".pdf");
  const std::string info = PdfInfo(pdf.string() + ".pdf");
  EXPECT_NE(info.find("Pages:           2\n"), std::string::npos) << info;
  EXPECT_NE(info.find("(A4)"), std::string::npos) << "A4: " << info;
  const std::string text = PdfText(pdf.string() + ".pdf");
  for (const char* wanted : {"育才实验学校", "王伟", "李明", "课表变更通知", "改到", "第1次发布"})
    EXPECT_NE(text.find(wanted), std::string::npos) << wanted << "\n" << text;
  EXPECT_EQ(text.find("张华"), std::string::npos) << "a teacher without a change gets no page";

  int previewPages = -1;
  program.prompter().QueueModal([&](QDialog& d) {
    auto* widget = d.findChild<QPrintPreviewWidget*>();
    if (widget) widget->updatePreview();
    QApplication::processEvents();
    previewPages = widget ? widget->pageCount() : -1;
    d.accept();
  });
  test::Click(w.cmdPrint);
  EXPECT_EQ(previewPages, 2);
  EXPECT_EQ(program.Said(), "I|变更通知|打印完成");
  EXPECT_TRUE(program.prompter().AllAnswersUsed());
}

TEST_F(ChangesWindow, ThePublicationToCompareWithIsChosenAndAMissingTemplateIsReported) {
  Publish("2026-09-01 08:00");
  ASSERT_TRUE(SwapLessons(*program.state().db, "702", 3, 2, 4, 5, program.state().week));
  Publish("2026-09-08 08:00");
  FrmChanges w(program.ctx());
  ASSERT_EQ(w.cmbSince->count(), 2);
  EXPECT_EQ(w.cmbSince->currentData().toInt(), 2) << "the latest by default";
  EXPECT_EQ(w.lblSummary->text(), "自第2次发布（2026-09-08 08:00）以来没有变动。");
  EXPECT_FALSE(w.cmdPrint->isEnabled());
  w.cmbSince->setCurrentIndex(1);
  EXPECT_EQ(w.cmbSince->currentData().toInt(), 1);
  EXPECT_EQ(w.lblSummary->text(), "自第1次发布（2026-09-01 08:00）以来，2位教师、1个班级的课有变动：");
  EXPECT_TRUE(w.cmdPrint->isEnabled());

  fs::remove(program.dir() / "NoticeA4.xml");
  const fs::path pdf = program.dir() / "变更通知.pdf";
  program.prompter().QueueFileName(test::Q(pdf));
  test::Click(w.cmdPdf);
  EXPECT_EQ(program.prompter().lastMessage().icon, MessageIcon::Critical);
  EXPECT_TRUE(program.prompter().lastMessage().text.startsWith("保存PDF失败！\n找不到打印模板文件"))
      << program.Said();
  EXPECT_FALSE(fs::exists(pdf));
}

}  // namespace
}  // namespace orv::ui
