// The whole-database commands of the main window behind their confirmation,
// data maintenance, and the help items.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDesktopServices>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QUrl>

#include "gui/shell/main_window.h"
#include "support/test_program.h"

namespace fs = std::filesystem;

namespace orv::ui {
namespace {

using test::TestProgram;

void Type(QDialog& d, const char* text, const QString& firstLine) {
  ASSERT_EQ(d.objectName(), "frmConfirm");
  EXPECT_EQ(d.findChild<QLabel*>("lblTitle")->text(),
            firstLine + "\n您最好先保存现在的课表数据。\n菜单“文件”->“数据库另存为”");
  EXPECT_TRUE(d.findChild<QLineEdit*>("Text1")->text().isEmpty());
  QTest::keyClicks(d.findChild<QLineEdit*>("Text1"), text);
  QTest::mouseClick(d.findChild<QPushButton*>("cmdOK"), Qt::LeftButton);
  if (d.isVisible()) QTest::mouseClick(d.findChild<QPushButton*>("cmdCancel"), Qt::LeftButton);
}

class MenuCommands : public ::testing::Test {
 protected:
  MenuCommands() : window(program.ctx()) {
    window.setWindowTitle("主窗口");
    program.AddSmallSchool();
    program.Exec("insert into LessonListtb values ('11',5,6,'01','T1',0)");
    program.Exec("insert into LessonListtb values ('11',1,1,'01','T1',1)");
    program.Exec("insert into LessonListtb values ('12',2,1,'02','T2',2)");
    program.Exec("update ClassPlantb set BuildCount=1 where ClassCode='11' and CourseCode='01'");
  }
  long long Lessons() { return program.Count("select count(*) from LessonListtb"); }

  TestProgram program;
  FrmMain window;
};

TEST_F(MenuCommands, DeleteLessonsNeedsOk) {
  const QString first = "删除课表数据将会清除您以前排好的课表！";
  program.prompter().QueueModal([&](QDialog& d) { Type(d, "o k", first); });
  window.mnuDeleteLessonAll->trigger();
  EXPECT_EQ(Lessons(), 3);
  EXPECT_TRUE(program.prompter().messages().empty());

  program.prompter().QueueModal([&](QDialog& d) { Type(d, " ok ", first); });
  window.mnuDeleteLessonAll->trigger();
  EXPECT_EQ(Lessons(), 0);  // fixed lessons too
  EXPECT_EQ(program.Count("select sum(BuildCount) from ClassPlantb"), 0);
  const auto& m = program.prompter().lastMessage();
  EXPECT_EQ(m.icon, MessageIcon::Information);
  EXPECT_EQ(m.title, "课表系统");
  EXPECT_EQ(m.text, "删除课表完成。");
}

TEST_F(MenuCommands, DeleteLessonsFailureIsReported) {
  program.Exec("drop table ClassPlantb");
  program.prompter().QueueModal([&](QDialog& d) { Type(d, "OK", "删除课表数据将会清除您以前排好的课表！"); });
  window.mnuDeleteLessonAll->trigger();
  const auto& m = program.prompter().lastMessage();
  EXPECT_EQ(m.icon, MessageIcon::Critical);
  EXPECT_EQ(m.title, "课表系统");
  EXPECT_EQ(m.text, "删除课表失败！");
}

TEST_F(MenuCommands, UpgradeMovesClassesUpAGrade) {
  const QString first = "课表学年升级将会清除您以前排好的课表！";
  program.prompter().QueueModal([&](QDialog& d) { Type(d, "no", first); });
  window.mnuUpgradeAll->trigger();
  EXPECT_EQ(program.Count("select count(*) from Classtb where Code like '2%'"), 0);

  program.prompter().QueueModal([&](QDialog& d) { Type(d, "ok", first); });
  window.mnuUpgradeAll->trigger();
  const auto& m = program.prompter().lastMessage();
  EXPECT_EQ(m.icon, MessageIcon::Information);
  EXPECT_EQ(m.title, "课表系统");
  EXPECT_EQ(m.text, "课表学年升级完成。");
  EXPECT_EQ(program.Count("select count(*) from Classtb where Code in ('21','22')"), 2);
  EXPECT_EQ(program.Count("select count(*) from Classtb where Code in ('11','12')"), 2);
  EXPECT_EQ(program.Count("select count(*) from ClassPlantb where ClassCode='21'"), 2);
  EXPECT_EQ(program.Count("select count(*) from ClassPlantb where ClassCode='11'"), 0);
}

TEST_F(MenuCommands, UpgradeFailureIsReported) {
  program.Exec("insert into Classtb (Code,Name,FullName,ShortName) values ('A1','甲班','甲班','甲')");
  program.prompter().QueueModal([&](QDialog& d) { Type(d, "OK", "课表学年升级将会清除您以前排好的课表！"); });
  window.mnuUpgradeAll->trigger();
  const auto& m = program.prompter().lastMessage();
  EXPECT_EQ(m.icon, MessageIcon::Critical);
  EXPECT_EQ(m.title, "课表系统");
  EXPECT_EQ(m.text, "课表学年升级失败！");
}

TEST_F(MenuCommands, MaintenanceRunsUnderTheHourglass) {
  program.Exec("delete from Teachertb where Code='T2'");
  window.mnuDataMaintenance->trigger();
  const auto& m = program.prompter().lastMessage();
  EXPECT_EQ(m.icon, MessageIcon::Information);
  EXPECT_EQ(m.title, "主窗口");
  EXPECT_EQ(m.text, "数据维护完成");
  EXPECT_TRUE(m.waitCursor);
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
  EXPECT_EQ(program.Count("select count(*) from LessonListtb where TeacherCode='T2'"), 0);
  EXPECT_EQ(program.Count("select count(*) from ClassPlantb where TeacherCode='T2'"), 0);
  // The counter follows the lessons that are really there: one automatic, one fixed.
  EXPECT_EQ(program.Count("select BuildCount from ClassPlantb where ClassCode='11' and CourseCode='01'"), 2);
}

TEST_F(MenuCommands, FailedMaintenanceIsNotReportedAsDone) {
  program.Exec("drop table Limittb");
  window.mnuDataMaintenance->trigger();
  const auto& m = program.prompter().lastMessage();
  EXPECT_EQ(m.icon, MessageIcon::Critical);
  EXPECT_EQ(m.text, "数据维护失败！");
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(MenuCommands, LessonsPerDayWindowOpensFromTheMenu) {
  program.prompter().QueueModal([](QDialog& d) {
    EXPECT_EQ(d.objectName(), "frmSetLessonOfDay");
    QTest::mouseClick(d.findChild<QPushButton*>("cmdCancel"), Qt::LeftButton);
  });
  window.mnuSetLessonNum->trigger();
  EXPECT_TRUE(program.prompter().AllAnswersUsed());
}

TEST_F(MenuCommands, AboutAndShortHelp) {
  program.prompter().QueueModal([](QDialog& d) {
    EXPECT_EQ(d.objectName(), "frmAbout");
    EXPECT_EQ(d.windowTitle(), "关于");
    EXPECT_TRUE(QRegularExpression("^Ver \\d+\\.\\d+\\.\\d+$")
                    .match(d.findChild<QLabel*>("lblVersion")->text())
                    .hasMatch());
    EXPECT_EQ(d.findChild<QLabel*>("Label1")->text(), "Orvandel排课软件");
    EXPECT_FALSE(d.findChild<QLabel*>("Image1")->pixmap().isNull());
    d.accept();
  });
  window.mnuAbout->trigger();

  program.prompter().QueueModal([](QDialog& d) {
    EXPECT_EQ(d.objectName(), "frmSimpleManual");
    EXPECT_EQ(d.windowTitle(), "简要使用说明");
    const QString text = d.findChild<QLabel*>("Label1")->text();
    EXPECT_TRUE(text.startsWith("简要使用步骤：（详细操作请参考《使用手册》）"));
    int at = 0;
    for (const char* step : {"一、输入基础数据", "1. 加入班级名单", "2. 加入课程名单", "3. 加入老师名单",
                             "4. 调整上课时间限制", "5. 输入各班级教学计划", "二、生成课表", "打印"}) {
      const int found = text.indexOf(QString::fromUtf8(step), at);
      EXPECT_GT(found, 0) << step;
      at = std::max(at, found);
    }
    d.accept();
  });
  window.mnuSimpleManual->trigger();
  EXPECT_TRUE(program.prompter().AllAnswersUsed());
}

// Catches what the help items hand to the desktop.
class UrlCatcher : public QObject {
  Q_OBJECT
 public:
  UrlCatcher() {
    for (const char* scheme : {"file", "http", "https"})
      QDesktopServices::setUrlHandler(scheme, this, "Open");
  }
  ~UrlCatcher() override {
    for (const char* scheme : {"file", "http", "https"}) QDesktopServices::unsetUrlHandler(scheme);
  }
  QList<QUrl> urls;
 public slots:
  void Open(const QUrl& url) { urls << url; }
};

TEST_F(MenuCommands, ManualAndWebPagesOpenOnTheDesktop) {
  UrlCatcher catcher;
  const fs::path manual = program.dir() / "使用手册" / "使用手册.html";
  window.mnuManual->trigger();
  EXPECT_TRUE(catcher.urls.isEmpty());
  EXPECT_EQ(program.prompter().lastMessage().icon, MessageIcon::Warning);
  EXPECT_TRUE(program.prompter().lastMessage().text.startsWith("找不到使用手册文件"));

  fs::create_directories(manual.parent_path());
  test::WriteFile(manual, "<html></html>");
  window.mnuManual->trigger();
  window.mnuToWebsite->trigger();
  window.mnuForum->trigger();
  ASSERT_EQ(catcher.urls.size(), 3);
  EXPECT_EQ(catcher.urls[0], QUrl::fromLocalFile(QString::fromStdString(manual.string())));
  EXPECT_EQ(catcher.urls[1], QUrl("https://github.com/orvandel/orvandel"));
  EXPECT_EQ(catcher.urls[2], QUrl("https://github.com/orvandel/orvandel/discussions"));

  test::WriteFile(program.dir() / "kbxt.ini",
                  "[WEB]\nSITE=https://school.example/kb\nFORUM=https://school.example/bbs\n");
  window.mnuToWebsite->trigger();
  window.mnuForum->trigger();
  EXPECT_EQ(catcher.urls[3], QUrl("https://school.example/kb"));
  EXPECT_EQ(catcher.urls[4], QUrl("https://school.example/bbs"));
}

}  // namespace
}  // namespace orv::ui

#include "menu_commands_test.moc"
