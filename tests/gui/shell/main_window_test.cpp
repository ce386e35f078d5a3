// frmMain: the menu bar, the background picture, the database file commands
// and closing.
#include <gtest/gtest.h>

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <vector>

#include "gui/shell/main_window.h"
#include "support/test_program.h"

namespace fs = std::filesystem;

namespace orv::ui {
namespace {

using test::TestProgram;

struct Item {
  const char* name;
  const char* caption;
  bool enabledNow;
};
struct Menu {
  const char* name;
  const char* caption;
  std::vector<Item> items;
};

const std::vector<Menu> kMenus = {
    {"mnuFile",
     "文件",
     {{"mnuOpenDb", "打开数据库", true}, {"mnuDbSaveAs", "数据库另存为...", true}, {"mnuEnd", "退出", true}}},
    {"mnuBasicData",
     "基础数据",
     {{"mnuClassList", "班级名单", true},
      {"mnuCourseList", "课程名单", true},
      {"mnuTeacherList", "老师名单", true},
      {"mnuClassRoomList", "公共教室名单", true},
      {"mnuClassPlan", "各班教学计划", true}}},
    {"mnuAuto",
     "自动排课",
     {{"mnuLimit", "上课时间限制条件", true},
      {"mnuPrepairBuild", "预先安排固定课程", false},
      {"mnuAutoBuild", "自动生成课表", true}}},
    {"mnuBuildKb",
     "课表操作",
     {{"mnuManualBuild", "手工调整课表", false},
      {"mnuPrint", "打印课表", false},
      {"mnuExport", "导出课表到Excel", false},
      {"mnuUpgradeAll", "课表学年升级", true},
      {"mnuDeleteLessonAll", "删除课表数据", true}}},
    {"mnuManager",
     "系统管理",
     {{"mnuSetLessonNum", "每天课时设置", true}, {"mnuDataMaintenance", "数据维护", true}}},
    {"mnuHelp",
     "帮助",
     {{"mnuSimpleManual", "简要使用说明", true},
      {"mnuManual", "使用手册", true},
      {"mnuToWebsite", "访问网站", true},
      {"mnuForum", "使用交流", true},
      {"mnuAbout", "关于", true}}},
};

TEST(MainWindowMenu, EveryMenuAndItemInOrder) {
  TestProgram program;
  FrmMain window(program.ctx());
  EXPECT_EQ(window.objectName(), "frmMain");
  const QList<QAction*> top = window.menuBar()->actions();
  ASSERT_EQ(top.size(), int(kMenus.size()));
  for (size_t m = 0; m < kMenus.size(); ++m) {
    QMenu* menu = top[int(m)]->menu();
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu->objectName(), kMenus[m].name);
    EXPECT_EQ(menu->title(), kMenus[m].caption);
    const QList<QAction*> items = menu->actions();
    ASSERT_EQ(items.size(), int(kMenus[m].items.size())) << kMenus[m].name;
    for (size_t i = 0; i < items.size(); ++i) {
      const Item& want = kMenus[m].items[i];
      EXPECT_EQ(items[int(i)]->objectName(), want.name);
      EXPECT_EQ(items[int(i)]->text(), want.caption);
      EXPECT_EQ(items[int(i)]->isEnabled(), want.enabledNow) << want.name;
    }
  }
  auto* limit = window.findChild<QMenu*>("mnuLimit");
  ASSERT_NE(limit, nullptr);
  QStringList names, captions;
  for (QAction* a : limit->actions()) {
    names << a->objectName();
    captions << a->text();
    EXPECT_FALSE(a->isEnabled());
  }
  EXPECT_EQ(names, QStringList({"mnuClassLimit", "mnuCourseLimit", "mnuTeacherLimit", "mnuClassroomLimit"}));
  EXPECT_EQ(captions,
            QStringList({"班级上课时间限制", "课程上课时间限制", "老师上课时间限制", "教室上课时间限制"}));
}

TEST(MainWindowPicture, MissingPictureStillOpensAndFollowsTheWindowSize) {
  TestProgram program;
  FrmMain window(program.ctx());
  auto* back = window.findChild<ImageBox*>("imgBack");
  ASSERT_NE(back, nullptr);
  EXPECT_FALSE(back->HasFilePicture());
  window.show();
  window.resize(700, 500);
  QTest::qWait(20);
  EXPECT_EQ(back->width(), window.width());
  EXPECT_EQ(back->height(), window.height() - window.menuBar()->height());
  window.resize(1000, 720);
  QTest::qWait(20);
  EXPECT_EQ(back->width(), 1000);
  EXPECT_EQ(back->height(), 720 - window.menuBar()->height());
}

TEST(MainWindowPicture, PictureFileOfTheProgramDirectoryIsUsed) {
  TestProgram program;
  QImage img(32, 20, QImage::Format_RGB32);
  img.fill(Qt::darkGreen);
  ASSERT_TRUE(img.save(QString::fromStdString((program.dir() / "HomePage.jpg").string()), "JPG"));
  FrmMain withPicture(program.ctx());
  EXPECT_TRUE(withPicture.imgBack->HasFilePicture());

  test::WriteFile(program.dir() / "HomePage.jpg", "not a picture");
  FrmMain brokenPicture(program.ctx());
  EXPECT_FALSE(brokenPicture.imgBack->HasFilePicture());
  EXPECT_TRUE(program.prompter().messages().empty());
}

class MainWindowFile : public ::testing::Test {
 protected:
  MainWindowFile() : window(program.ctx()) { window.setWindowTitle("caption before"); }
  QString Caption() const { return window.windowTitle(); }
  QString Path(const fs::path& p) const { return QString::fromStdString(p.string()); }

  TestProgram program;
  FrmMain window;
};

TEST_F(MainWindowFile, OpenDialogTitleAndFilter) {
  program.prompter().QueueFileName("");
  window.mnuOpenDb->trigger();
  ASSERT_EQ(program.prompter().fileDialogs().size(), 1u);
  EXPECT_EQ(program.prompter().fileDialogs()[0].caption, "选择数据库文件");
  EXPECT_TRUE(program.prompter().fileDialogs()[0].filter.contains("*.mdb"));
  EXPECT_TRUE(program.prompter().fileDialogs()[0].filter.contains("*.db"));
}

TEST_F(MainWindowFile, CancellingTheOpenDialogChangesNothing) {
  const std::string ini = program.Ini();
  program.prompter().QueueFileName("");
  window.mnuOpenDb->trigger();
  EXPECT_EQ(Caption(), "caption before");
  ASSERT_TRUE(program.state().db);
  EXPECT_EQ(program.db().Path(), program.DefaultDb());
  EXPECT_EQ(program.Ini(), ini);
  EXPECT_TRUE(program.prompter().messages().empty());
}

TEST_F(MainWindowFile, InvalidFileKeepsThePreviousDatabaseOpen) {
  program.Exec("insert into Coursetb (Code,Name,FullName,ShortName) values ('01','语文','语文','语')");
  const std::string ini = program.Ini();
  for (const fs::path& bad : {program.dir() / "notes.mdb", program.dir() / "missing.mdb"}) {
    if (bad.filename() == "notes.mdb") test::WriteFile(bad, "this is no database");
    program.prompter().QueueFileName(Path(bad));
    window.mnuOpenDb->trigger();
    const auto& m = program.prompter().lastMessage();
    EXPECT_EQ(m.icon, MessageIcon::Critical);
    EXPECT_EQ(m.text, "打开数据库失败！");
    EXPECT_EQ(m.title, QString::fromStdString(program.state().appTitle));
    EXPECT_EQ(Caption(), "caption before");
    ASSERT_TRUE(program.state().db);
    EXPECT_EQ(program.db().Path(), program.DefaultDb());
    EXPECT_EQ(program.Count("select count(*) from Coursetb"), 1);
    EXPECT_EQ(program.Ini(), ini);
  }
  EXPECT_EQ(test::ReadFile(program.dir() / "notes.mdb"), "this is no database");
}

TEST_F(MainWindowFile, OpeningAnotherDatabaseSwitchesCaptionAndSetting) {
  const fs::path other = program.CreateDatabase("other.db");
  program.prompter().QueueFileName(Path(other));
  window.mnuOpenDb->trigger();
  EXPECT_TRUE(program.prompter().messages().empty());
  EXPECT_EQ(Caption(), "Orvandel排课软件 -- " + Path(other));
  EXPECT_EQ(program.db().Path(), other);
  EXPECT_EQ(Settings(program.dir()).GetDatabasePath(), other.string());
  // The previous file was released.
  EXPECT_TRUE(test::DatabaseIsFree(program.DefaultDb()));
  EXPECT_FALSE(test::DatabaseIsFree(other));

  // Choosing the open file again is no failure.
  program.prompter().QueueFileName(Path(other));
  window.mnuOpenDb->trigger();
  EXPECT_TRUE(program.prompter().messages().empty());
  EXPECT_EQ(program.db().Path(), other);
}

TEST_F(MainWindowFile, UnwritableSettingsAreReportedAfterOpening) {
  const fs::path other = program.CreateDatabase("other.mdb");
  test::BlockSettingsWrites(program.dir());
  program.prompter().QueueFileName(Path(other));
  window.mnuOpenDb->trigger();
  const auto& m = program.prompter().lastMessage();
  EXPECT_EQ(m.icon, MessageIcon::Critical);
  EXPECT_EQ(m.text, "保存新数据库文件名！");
  EXPECT_EQ(m.title, "Orvandel排课软件 -- " + Path(other));
  EXPECT_EQ(program.db().Path(), other);
}

TEST_F(MainWindowFile, SaveAsWritesASnapshotAndKeepsWorkingOnTheOriginal) {
  program.AddSmallSchool();
  const fs::path copy = program.dir() / "copy.mdb";
  test::WriteFile(copy, "an older file of that name");
  program.prompter().QueueFileName(Path(copy));
  window.mnuDbSaveAs->trigger();
  EXPECT_TRUE(program.prompter().messages().empty());
  EXPECT_EQ(program.prompter().fileDialogs().back().caption, "数据库另存为");
  EXPECT_EQ(Caption(), "caption before");
  EXPECT_EQ(program.db().Path(), program.DefaultDb());

  program.Exec("insert into Coursetb (Code,Name,FullName,ShortName) values ('09','美术','美术','美')");
  auto snapshot = TimetableDb::Open(copy);
  ASSERT_TRUE(snapshot);
  EXPECT_EQ(snapshot->FirstInt("select count(*) from Classtb"), 2);
  EXPECT_EQ(snapshot->FirstInt("select count(*) from ClassPlantb"), 4);
  EXPECT_EQ(snapshot->FirstInt("select count(*) from Coursetb"), 2);
  EXPECT_EQ(program.Count("select count(*) from Coursetb"), 3);
  EXPECT_EQ(Settings(program.dir()).GetDatabasePath(), program.DefaultDb().string());
}

TEST_F(MainWindowFile, FailedCopyIsReportedAndTheDatabaseStaysOpen) {
  program.AddSmallSchool();
  for (const fs::path& target : {program.dir() / "no such folder" / "copy.mdb", program.DefaultDb()}) {
    program.prompter().QueueFileName(Path(target));
    window.mnuDbSaveAs->trigger();
    const auto& m = program.prompter().lastMessage();
    EXPECT_EQ(m.icon, MessageIcon::Critical);
    EXPECT_EQ(m.text, "保存数据库文件错误！");
    EXPECT_EQ(m.title, "caption before");
    ASSERT_TRUE(program.state().db);
    program.Exec("insert into LessonListtb values ('11',1,1,'01','T1',2)");
  }
  EXPECT_EQ(program.Count("select count(*) from LessonListtb"), 2);
  EXPECT_EQ(program.Count("select count(*) from ClassPlantb"), 4);
  EXPECT_FALSE(fs::exists(program.dir() / "no such folder"));
}

TEST_F(MainWindowFile, CancelledSaveAsWritesNothing) {
  program.prompter().QueueFileName("");
  window.mnuDbSaveAs->trigger();
  EXPECT_TRUE(program.prompter().messages().empty());
  EXPECT_TRUE(program.state().db);
}

TEST(MainWindowClose, ExitAndCloseBoxBothCloseTheDatabase) {
  for (bool useMenu : {true, false}) {
    TestProgram program;
    FrmMain window(program.ctx());
    window.show();
    if (useMenu)
      window.mnuEnd->trigger();
    else
      window.close();
    EXPECT_FALSE(window.isVisible());
    EXPECT_FALSE(program.state().db);
    EXPECT_TRUE(test::DatabaseIsFree(program.DefaultDb()));
  }
}

}  // namespace
}  // namespace orv::ui
