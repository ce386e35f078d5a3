// SPDX-License-Identifier: GPL-3.0-or-later
// frmMain: the database file commands, the commands behind a typed
// confirmation, data maintenance, the windows the menu opens, and closing.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QMenu>

#include "gui/shell/main_window.h"
#include "support/test_db.h"
#include "support/test_program.h"
#include "support/xlsx_reader.h"

namespace fs = std::filesystem;

namespace orv::ui {
namespace {

using test::Q;

class Shell : public ::testing::Test {
 protected:
  Shell() : window(program.ctx()) {
    window.setWindowTitle("主窗口");
    program.AddSmallSchool();
    program.Exec(
        "insert into LessonListtb values "
        "('11',5,6,'01','T1',0),('11',1,1,'01','T1',1),('12',2,1,'02','T2',2)");
  }
  void Choose(QAction* item, const fs::path& file) {
    program.prompter().QueueFileName(file.empty() ? QString() : Q(file));
    item->trigger();
  }
  void Confirm(QAction* item, const char* typed) {
    program.prompter().QueueModal([this, typed](QDialog& d) { warning = test::TypeConfirmation(d, typed); });
    item->trigger();
  }
  // The database that was open is still open, and caption and setting are unchanged.
  void ExpectUnchanged(const std::string& ini) {
    EXPECT_EQ(window.windowTitle(), "主窗口");
    ASSERT_TRUE(program.state().db);
    EXPECT_EQ(program.state().db->Path(), program.DefaultDb());
    EXPECT_EQ(program.Count("select count(*) from Classtb"), 2);
    EXPECT_EQ(program.Ini(), ini);
  }

  test::TestProgram program;
  FrmMain window;
  QString warning;
};

TEST_F(Shell, CancelledOrFailedFileCommandsKeepThePreviousDatabase) {
  const std::string ini = program.Ini();
  Choose(window.mnuOpenDb, "");
  Choose(window.mnuDbSaveAs, "");
  EXPECT_EQ(program.prompter().fileDialogs()[0].caption + program.prompter().fileDialogs()[1].caption,
            "选择数据库文件数据库另存为");
  EXPECT_EQ(program.Said(), "");
  ExpectUnchanged(ini);
  test::WriteFile(program.dir() / "notes.mdb", "this is no database");
  // Each failure names its reason below the fixed first line.
  const std::string openFailed = "C|" + program.state().appTitle + "|打开数据库失败！\n";
  const std::string copyFailed = "C|主窗口|保存数据库文件错误！\n";
  const std::tuple<QAction*, fs::path, std::string> attempts[] = {
      {window.mnuOpenDb, program.dir() / "notes.mdb", openFailed + "不是课表数据库文件"},
      {window.mnuOpenDb, program.dir() / "missing.mdb", openFailed + "文件不存在"},
      {window.mnuDbSaveAs, program.dir() / "no such folder" / "copy.mdb",
       copyFailed + "文件夹不存在：" + (program.dir() / "no such folder").string()},
      {window.mnuDbSaveAs, program.DefaultDb(), copyFailed + "不能用副本覆盖正在使用的数据库文件"}};
  for (const auto& [item, file, said] : attempts) {
    program.prompter().ClearRecords();
    Choose(item, file);
    EXPECT_EQ(program.Said(), said) << file;
    ExpectUnchanged(ini);
  }
  EXPECT_EQ(test::ReadFile(program.dir() / "notes.mdb"), "this is no database");
}

TEST_F(Shell, FileMenuExportsTheTemplateAndTheBasicDataAsWorkbooks) {
  const std::string ini = program.Ini();
  const QList<QAction*> fileItems = window.mnuFile->actions();
  EXPECT_EQ(fileItems.indexOf(window.mnuImportData), fileItems.indexOf(window.mnuExportData) + 1);
  Choose(window.mnuExportTemplate, "");
  Choose(window.mnuExportData, "");
  EXPECT_EQ(program.Said(), "");
  EXPECT_EQ(program.prompter().fileDialogs()[0].caption + program.prompter().fileDialogs()[1].caption,
            "保存导入模板保存基础数据");

  const fs::path tpl = program.dir() / "导入模板.xlsx", data = program.dir() / "school.xlsx";
  Choose(window.mnuExportTemplate, tpl);
  EXPECT_EQ(program.Said(), "I|主窗口|导入模板导出成功");
  EXPECT_EQ(test::XlsxSheetNames(tpl).at(7), "排课规则");
  program.prompter().ClearRecords();
  Choose(window.mnuExportData, data);
  EXPECT_EQ(program.Said(), "I|主窗口|基础数据导出成功");
  const test::XlsxSheet plan = test::ReadXlsx(data, 5);
  EXPECT_EQ(plan.Text("B2") + plan.Text("D2") + plan.Text("F2") + plan.Text("G2"), "1101T13");
  EXPECT_EQ(plan.Text("B5") + plan.Text("D5") + plan.Text("F5") + plan.Text("G5"), "1202T22");

  program.prompter().ClearRecords();
  Choose(window.mnuExportData, program.dir() / "no such folder" / "school.xlsx");
  EXPECT_EQ(program.Said().rfind("C|主窗口|基础数据导出失败！\n", 0), 0u) << program.Said();
  ExpectUnchanged(ini);
}

TEST_F(Shell, OpeningAnotherDatabaseSwitchesCaptionAndSetting) {
  const fs::path other = program.dir() / "other.db";
  ASSERT_TRUE(TimetableDb::Create(other));
  for (int time = 0; time < 2; ++time) {  // choosing the open file again is no failure
    Choose(window.mnuOpenDb, other);
    EXPECT_EQ(program.Said(), "");
    EXPECT_EQ(window.windowTitle(), "Orvandel排课软件 -- " + Q(other));
    EXPECT_EQ(program.state().db->Path(), other);
    EXPECT_EQ(Settings(program.dir()).GetDatabasePath(), other.string());
  }
  EXPECT_TRUE(test::DatabaseIsFree(program.DefaultDb()));

  test::BlockSettingsWrites(program.dir());
  Choose(window.mnuOpenDb, program.DefaultDb());
  EXPECT_EQ(program.Said(), "C|Orvandel排课软件 -- " + program.DefaultDb().string() +
                                "|保存新数据库文件名！\n无法写入设置文件：" +
                                (program.dir() / "kbxt.ini").string());
  EXPECT_EQ(program.state().db->Path(), program.DefaultDb());
}

// A school's file means the same on every computer: opening a 7-lesson school
// from an older version on a computer set to 6 keeps all 22 lessons, fixed
// ones too, and the program takes the file's day.
TEST_F(Shell, OpeningASevenLessonSchoolOnASixLessonComputerKeepsEveryLesson) {
  const fs::path other = program.dir() / "seven.mdb";
  ASSERT_TRUE(TimetableDb::Create(other));
  {
    auto db = test::OpenDb(other);
    for (int n = 0; n < 22; ++n)
      db->Execute("insert into LessonListtb values ('11',?,?,'01','T1',?)", n % 5 + 1, n / 5 + 3,
                  n >= 16 ? 0 : 1);
    db->Execute("drop table SchoolSettingtb");
    db->Execute("pragma user_version=1");
  }
  ASSERT_EQ(program.state().week.lessonsPerDay, 6);
  Choose(window.mnuOpenDb, other);
  EXPECT_EQ(program.Said(), "");
  EXPECT_EQ(program.state().week.lessonsPerDay, 7);
  EXPECT_EQ(program.Count("select count(*) from LessonListtb"), 22);
  EXPECT_EQ(program.Count("select count(*) from LessonListtb where SetFlag=0 and LessonNo=7"), 2);
  EXPECT_EQ(Settings(program.dir()).GetLessonsPerDay(), 7);

  Choose(window.mnuOpenDb, program.DefaultDb());  // and back: the first file's own day again
  EXPECT_EQ(program.state().week.lessonsPerDay, 6);
  EXPECT_EQ(program.Count("select count(*) from LessonListtb"), 3);
  EXPECT_EQ(test::OpenDb(other)->FirstInt("select count(*) from LessonListtb"), 22);
}

TEST_F(Shell, SaveAsWritesASnapshotAndKeepsWorkingOnTheOriginal) {
  const std::string ini = program.Ini();
  const fs::path copy = program.dir() / "copy.mdb";
  test::WriteFile(copy, "an older file of that name");
  Choose(window.mnuDbSaveAs, copy);
  EXPECT_EQ(program.Said(), "");
  ExpectUnchanged(ini);
  program.Exec("insert into Classtb (Code,Name,FullName,ShortName) values ('13','13','13','13')");
  auto snapshot = test::OpenDb(copy);
  ASSERT_TRUE(snapshot);
  EXPECT_EQ(snapshot->FirstInt("select count(*) from Classtb"), 2);
  EXPECT_EQ(program.Count("select count(*) from Classtb"), 3);
}

TEST_F(Shell, WipingCommandsNeedOkAndReportTheOutcome) {
  struct Wipe {
    QAction* item;
    const char *firstLine, *done, *failed;
    const char* effect;  // counts what the command changes
    long long before, after;
    const char* breakIt;  // makes the command fail
  };
  // The upgrade first: the class it cannot promote does not hinder deleting.
  for (const Wipe& w :
       {Wipe{window.mnuUpgradeAll, "课表学年升级将会清除您以前排好的课表！", "课表学年升级完成。",
             "课表学年升级失败！\n班级代码 'A1' 不以年级数字开头",
             "select count(*) from ClassPlantb where ClassCode='21'", 0, 2,
             "insert into Classtb (Code,Name,FullName,ShortName) values ('A1','甲','甲','甲')"},
        Wipe{window.mnuDeleteLessonAll, "删除课表数据将会清除您以前排好的课表！", "删除课表完成。",
             "删除课表失败！\n数据库结构不完整或操作无法执行", "select count(*) from LessonListtb", 3, 0,
             "drop table ClassPlantb"}}) {
    SCOPED_TRACE(w.done);
    program.prompter().ClearRecords();
    for (const char* refused : {"o k", "no", "OKK"}) Confirm(w.item, refused);
    EXPECT_EQ(warning, QString(w.firstLine) + "\n您最好先保存现在的课表数据。\n菜单“文件”->“数据库另存为”");
    EXPECT_EQ(program.Said(), "");
    EXPECT_EQ(program.Count(w.effect), w.before);
    Confirm(w.item, " ok ");
    EXPECT_EQ(program.Said(), std::string("I|课表系统|") + w.done);
    EXPECT_EQ(program.Count(w.effect), w.after);
    program.Exec(w.breakIt);
    Confirm(w.item, "OK");
    EXPECT_EQ(program.Said(), std::string("C|课表系统|") + w.failed);
  }
}

TEST_F(Shell, MaintenanceRunsUnderTheHourglassAndReportsWhatItRepairedOrTheFailure) {
  program.Exec("delete from Teachertb where Code='T2'");
  window.mnuDataMaintenance->trigger();
  // Each kind of repair is listed with its count.
  EXPECT_EQ(program.Said(),
            "I|主窗口|数据维护完成\n删除班级、课程或教师已不存在的课：1\n"
            "删除班级、课程或教师已不存在的教学计划：2\n重新计算已排节数的教学计划：1");
  EXPECT_TRUE(program.prompter().lastMessage().waitCursor);
  window.mnuDataMaintenance->trigger();
  EXPECT_EQ(program.Said(), "I|主窗口|数据维护完成\n没有发现需要修复的数据");
  EXPECT_EQ(program.Count("select count(*) from ClassPlantb where TeacherCode='T2'"), 0);
  program.Exec("drop table Limittb");
  window.mnuDataMaintenance->trigger();
  EXPECT_EQ(program.Said(), "C|主窗口|数据维护失败！\n数据库结构不完整或操作无法执行");
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

// Every item that opens a window is live and opens its own; closing it
// changes nothing.
TEST_F(Shell, ItemsOpenTheirWindows) {
  const std::pair<QAction*, const char*> items[] = {{window.mnuClassList, "frmClassInput"},
                                                    {window.mnuCourseList, "frmCourseInput"},
                                                    {window.mnuTeacherList, "frmTeacherInput"},
                                                    {window.mnuClassRoomList, "frmClassRoomInput"},
                                                    {window.mnuClassPlan, "frmClassPlanInput"},
                                                    {window.mnuClassLimit, "frmClassLimitInput"},
                                                    {window.mnuCourseLimit, "frmCourseLimitInput"},
                                                    {window.mnuTeacherLimit, "frmTeacherLimitInput"},
                                                    {window.mnuClassroomLimit, "frmClassRoomLimitInput"},
                                                    {window.mnuSchoolRules, "frmSchoolRules"},
                                                    {window.mnuPrepairBuild, "frmSetLesson"},
                                                    {window.mnuAutoBuild, "frmConfirm"},
                                                    {window.mnuCompleteBuild, "frmCompleteBuild"},
                                                    {window.mnuAnalyze, "frmAnalysis"},
                                                    {window.mnuManualBuild, "frmManualSetLesson"},
                                                    {window.mnuQuality, "frmQuality"},
                                                    {window.mnuPrint, "frmPrint"},
                                                    {window.mnuExport, "frmExport"},
                                                    {window.mnuPublish, "frmPublish"},
                                                    {window.mnuChanges, "frmChanges"},
                                                    {window.mnuImportData, "frmImport"},
                                                    {window.mnuSetLessonNum, "frmSetLessonOfDay"},
                                                    {window.mnuCalendar, "frmCalendar"},
                                                    {window.mnuSimpleManual, "frmSimpleManual"},
                                                    {window.mnuAbout, "frmAbout"}};
  for (const auto& [item, want] : items) {
    QString opened;
    program.prompter().QueueModal([&](QDialog& d) {
      opened = d.objectName();
      d.reject();
    });
    item->trigger();
    EXPECT_EQ(opened, want) << item->objectName().toStdString();
  }
  EXPECT_TRUE(program.prompter().AllAnswersUsed());
  EXPECT_EQ(program.Said(), "");
  EXPECT_EQ(program.Count("select count(*) from LessonListtb"), 3);
}

TEST_F(Shell, MissingManualIsReported) {
  window.mnuManual->trigger();
  EXPECT_EQ(program.Said(),
            "W|主窗口|找不到使用手册文件：" + (program.dir() / "使用手册" / "使用手册.html").string());
}

TEST(MainWindow, ExitAndCloseBoxBothCloseTheDatabase) {
  for (bool useMenu : {true, false}) {
    test::TestProgram program;
    FrmMain window(program.ctx());
    window.show();
    useMenu ? window.mnuEnd->trigger() : void(window.close());
    EXPECT_FALSE(window.isVisible());
    EXPECT_FALSE(program.state().db);
    EXPECT_TRUE(test::DatabaseIsFree(program.DefaultDb()));
  }
}

}  // namespace
}  // namespace orv::ui
