// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/shell/main_window.h"

#include <QAction>
#include <QCloseEvent>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QUrl>
#include <filesystem>
#include <optional>

#include "core/database/database_copy.h"
#include "core/database/maintenance.h"
#include "core/demo/demo_school.h"
#include "core/exchange/data_export.h"
#include "core/exchange/template_workbook.h"
#include "gui/editors/calendar_window.h"
#include "gui/editors/editor_windows.h"
#include "gui/editors/limit_window.h"
#include "gui/editors/school_rules_window.h"
#include "gui/output/changes_window.h"
#include "gui/output/export_window.h"
#include "gui/output/import_window.h"
#include "gui/output/print_window.h"
#include "gui/output/publish_window.h"
#include "gui/scheduling/analysis_window.h"
#include "gui/scheduling/auto_build_window.h"
#include "gui/scheduling/complete_build_window.h"
#include "gui/scheduling/confirm_window.h"
#include "gui/shell/help_window.h"
#include "gui/shell/info_windows.h"
#include "gui/shell/lesson_of_day_window.h"
#include "gui/shell/shell_support.h"
#include "gui/shell/start_page.h"
#include "gui/timetable/manual_set_lesson_window.h"
#include "gui/timetable/quality_window.h"
#include "gui/timetable/set_lesson_window.h"

namespace fs = std::filesystem;

namespace orv::ui {

namespace {
const QString kTimetableTitle = "课表系统";
const QString kOpenFailed = Q(kOpenDatabaseFailed);
}  // namespace

FrmMain::FrmMain(UiContext& ctx, QWidget* parent) : QMainWindow(parent), ctx_(ctx) {
  setObjectName("frmMain");
  resize(900, 600);

  mnuFile = AddMenu("mnuFile", "文件(&F)");
  mnuNewDb = AddItem(mnuFile, "mnuNewDb", "新建数据库...");
  mnuNewDb->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));
  mnuOpenDb = AddItem(mnuFile, "mnuOpenDb", "打开数据库");
  mnuOpenDb->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
  mnuDemoSchool = AddItem(mnuFile, "mnuDemoSchool", "打开演示学校...");
  mnuDbSaveAs = AddItem(mnuFile, "mnuDbSaveAs", "数据库另存为...");
  mnuFile->addSeparator();
  mnuExportTemplate = AddItem(mnuFile, "mnuExportTemplate", "导出导入模板");
  mnuExportData = AddItem(mnuFile, "mnuExportData", "导出基础数据");
  mnuImportData = AddItem(mnuFile, "mnuImportData", "从表格导入");
  mnuFile->addSeparator();
  mnuEnd = AddItem(mnuFile, "mnuEnd", "退出");
  // Spelled out: the standard keys depend on the desktop, and some (Quit
  // on a few) have none, while the manual promises these.
  mnuEnd->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));

  mnuBasicData = AddMenu("mnuBasicData", "基础数据(&B)");
  mnuClassList = AddItem(mnuBasicData, "mnuClassList", "班级名单");
  mnuCourseList = AddItem(mnuBasicData, "mnuCourseList", "课程名单");
  mnuTeacherList = AddItem(mnuBasicData, "mnuTeacherList", "老师名单");
  mnuClassRoomList = AddItem(mnuBasicData, "mnuClassRoomList", "公共教室名单");
  mnuClassPlan = AddItem(mnuBasicData, "mnuClassPlan", "各班教学计划");

  mnuAuto = AddMenu("mnuAuto", "自动排课(&A)");
  mnuLimit = mnuAuto->addMenu("上课时间限制条件");
  mnuLimit->setObjectName("mnuLimit");
  mnuLimit->menuAction()->setObjectName("mnuLimit");
  mnuClassLimit = AddItem(mnuLimit, "mnuClassLimit", "班级上课时间限制");
  mnuCourseLimit = AddItem(mnuLimit, "mnuCourseLimit", "课程上课时间限制");
  mnuTeacherLimit = AddItem(mnuLimit, "mnuTeacherLimit", "老师上课时间限制");
  mnuClassroomLimit = AddItem(mnuLimit, "mnuClassroomLimit", "教室上课时间限制");
  mnuSchoolRules = AddItem(mnuAuto, "mnuSchoolRules", "排课规则");
  mnuPrepairBuild = AddItem(mnuAuto, "mnuPrepairBuild", "预先安排固定课程");
  mnuAutoBuild = AddItem(mnuAuto, "mnuAutoBuild", "自动生成课表");
  mnuCompleteBuild = AddItem(mnuAuto, "mnuCompleteBuild", "补排未排课程");
  mnuAnalyze = AddItem(mnuAuto, "mnuAnalyze", "排课前检查");

  mnuBuildKb = AddMenu("mnuBuildKb", "课表操作(&T)");
  mnuManualBuild = AddItem(mnuBuildKb, "mnuManualBuild", "手工调整课表");
  mnuQuality = AddItem(mnuBuildKb, "mnuQuality", "课表质量");
  mnuPrint = AddItem(mnuBuildKb, "mnuPrint", "打印课表");
  mnuExport = AddItem(mnuBuildKb, "mnuExport", "导出课表到Excel");
  mnuPublish = AddItem(mnuBuildKb, "mnuPublish", "发布网页课表");
  mnuChanges = AddItem(mnuBuildKb, "mnuChanges", "变更通知");
  mnuUpgradeAll = AddItem(mnuBuildKb, "mnuUpgradeAll", "课表学年升级");
  mnuDeleteLessonAll = AddItem(mnuBuildKb, "mnuDeleteLessonAll", "删除课表数据");

  mnuManager = AddMenu("mnuManager", "系统管理(&S)");
  mnuSetLessonNum = AddItem(mnuManager, "mnuSetLessonNum", "每天课时设置");
  mnuCalendar = AddItem(mnuManager, "mnuCalendar", "作息时间与校历");
  mnuDataMaintenance = AddItem(mnuManager, "mnuDataMaintenance", "数据维护");

  mnuHelp = AddMenu("mnuHelp", "帮助(&H)");
  mnuSimpleManual = AddItem(mnuHelp, "mnuSimpleManual", "简要使用说明");
  mnuManual = AddItem(mnuHelp, "mnuManual", "使用手册");
  mnuManual->setShortcut(QKeySequence(Qt::Key_F1));
  mnuToWebsite = AddItem(mnuHelp, "mnuToWebsite", "访问网站");
  mnuForum = AddItem(mnuHelp, "mnuForum", "使用交流");
  mnuAbout = AddItem(mnuHelp, "mnuAbout", "关于");

  connect(mnuNewDb, &QAction::triggered, this, &FrmMain::NewDatabase);
  connect(mnuOpenDb, &QAction::triggered, this, &FrmMain::OpenDatabase);
  connect(mnuDemoSchool, &QAction::triggered, this, &FrmMain::OpenDemoSchool);
  connect(mnuDbSaveAs, &QAction::triggered, this, &FrmMain::SaveDatabaseAs);
  connect(mnuExportTemplate, &QAction::triggered, this, &FrmMain::ExportTemplate);
  connect(mnuExportData, &QAction::triggered, this, &FrmMain::ExportBasicData);
  connect(mnuImportData, &QAction::triggered, this, [this] {
    if (HaveDatabase()) ShowImport(ctx_, this);
  });
  connect(mnuEnd, &QAction::triggered, this, &FrmMain::close);

  connect(mnuClassList, &QAction::triggered, this, [this] { ShowClassList(ctx_, this); });
  connect(mnuCourseList, &QAction::triggered, this, [this] { ShowCourseList(ctx_, this); });
  connect(mnuTeacherList, &QAction::triggered, this, [this] { ShowTeacherList(ctx_, this); });
  connect(mnuClassRoomList, &QAction::triggered, this, [this] { ShowClassRoomList(ctx_, this); });
  connect(mnuClassPlan, &QAction::triggered, this, [this] { ShowClassPlan(ctx_, this); });

  const std::pair<QAction*, LimitKind> limits[] = {{mnuClassLimit, LimitKind::Class},
                                                   {mnuCourseLimit, LimitKind::Course},
                                                   {mnuTeacherLimit, LimitKind::Teacher},
                                                   {mnuClassroomLimit, LimitKind::ClassRoom}};
  for (const auto& [item, kind] : limits)
    connect(item, &QAction::triggered, this, [this, kind] {
      if (HaveDatabase()) ShowLimitWindow(ctx_, kind, this);
    });
  connect(mnuSchoolRules, &QAction::triggered, this, [this] {
    if (HaveDatabase()) ShowSchoolRules(ctx_, this);
  });
  connect(mnuPrepairBuild, &QAction::triggered, this, [this] {
    if (HaveDatabase()) ShowSetLesson(ctx_, this);
  });
  connect(mnuAutoBuild, &QAction::triggered, this, &FrmMain::AutoBuild);
  connect(mnuPrint, &QAction::triggered, this, &FrmMain::PrintTimetables);
  connect(mnuExport, &QAction::triggered, this, &FrmMain::ExportTimetables);
  connect(mnuPublish, &QAction::triggered, this, &FrmMain::PublishSite);
  connect(mnuChanges, &QAction::triggered, this, &FrmMain::ShowChanges);
  connect(mnuCompleteBuild, &QAction::triggered, this, [this] {
    if (HaveDatabase()) RunCompleteBuild(ctx_, this);
  });
  connect(mnuAnalyze, &QAction::triggered, this, [this] {
    if (HaveDatabase()) RunAnalysis(ctx_, this);
  });
  connect(mnuManualBuild, &QAction::triggered, this, [this] {
    if (HaveDatabase()) ShowManualSetLesson(ctx_, this);
  });
  connect(mnuQuality, &QAction::triggered, this, [this] {
    if (HaveDatabase()) ShowQuality(ctx_, this);
  });
  connect(mnuUpgradeAll, &QAction::triggered, this, &FrmMain::UpgradeAll);
  connect(mnuDeleteLessonAll, &QAction::triggered, this, &FrmMain::DeleteLessonAll);
  connect(mnuSetLessonNum, &QAction::triggered, this, &FrmMain::SetLessonNum);
  connect(mnuDataMaintenance, &QAction::triggered, this, &FrmMain::DataMaintenance);
  connect(mnuCalendar, &QAction::triggered, this, [this] {
    if (HaveDatabase()) ShowCalendar(ctx_, this);
  });
  connect(mnuSimpleManual, &QAction::triggered, this, &FrmMain::SimpleManual);
  connect(mnuManual, &QAction::triggered, this, &FrmMain::Manual);
  connect(mnuToWebsite, &QAction::triggered, this, &FrmMain::ToWebsite);
  connect(mnuForum, &QAction::triggered, this, &FrmMain::Forum);
  connect(mnuAbout, &QAction::triggered, this, &FrmMain::About);

  frmStart = new StartPage(
      ctx_, {mnuClassList, mnuClassPlan, mnuClassLimit, mnuAnalyze, mnuAutoBuild, mnuManualBuild, mnuPrint},
      this);
  setCentralWidget(frmStart);  // the central widget follows every resize
  connect(frmStart->cmdNewDatabase, &QPushButton::clicked, mnuNewDb, &QAction::trigger);
  connect(frmStart->cmdDemoSchool, &QPushButton::clicked, mnuDemoSchool, &QAction::trigger);
  connect(frmStart->cmdImport, &QPushButton::clicked, mnuImportData, &QAction::trigger);
  connect(frmStart, &StartPage::RecentChosen, this, [this](const QString& path) {
    OpenDatabaseAt(path);
    frmStart->Refresh();
  });
  // Every window the menu opens is modal, so by the time the item's own
  // slot (connected above, hence called first) returns, its window has closed
  // and whatever it changed is stored: that is when the page reads again.
  for (QAction* item : findChildren<QAction*>())
    if (!item->menu()) connect(item, &QAction::triggered, frmStart, &StartPage::Refresh);
  if (ctx_.state.db) RememberDatabase(ctx_.state.db->Path().string());
  frmStart->Refresh();
}

QMenu* FrmMain::AddMenu(const char* name, const QString& caption) {
  QMenu* menu = menuBar()->addMenu(caption);
  menu->setObjectName(name);
  return menu;
}

QAction* FrmMain::AddItem(QMenu* menu, const char* name, const QString& caption) {
  QAction* action = menu->addAction(caption);
  action->setObjectName(name);
  return action;
}

void FrmMain::RememberDatabase(const std::string& path) {
  std::error_code ec;
  const fs::path absolute = fs::absolute(path, ec);
  (void)ctx_.state.settings().AddRecentDatabase(ec ? path : absolute.lexically_normal().string());
}

QString FrmMain::DatabaseFolder() const {
  if (!ctx_.state.db) return {};
  std::error_code ec;
  const fs::path folder = fs::absolute(ctx_.state.db->Path(), ec).parent_path();
  return ec ? QString() : Q(folder.string());
}

bool FrmMain::HaveDatabase() {
  if (ctx_.state.db) return true;
  ctx_.prompter.Message(this, MessageIcon::Critical, Q(ctx_.state.appTitle), kOpenFailed);
  return false;
}

void FrmMain::OpenDatabase() {
  const QString chosen = ctx_.prompter.OpenFileName(this, "选择数据库文件", kDatabaseFilter);
  if (!chosen.isEmpty()) OpenDatabaseAt(chosen);
}

bool FrmMain::OpenDatabaseAt(const QString& chosen) {
  try {
    const std::string path = S(chosen);
    std::error_code ec;
    // The open file is held exclusively, so choosing it again must not try
    // a second connection to it.
    const bool alreadyOpen =
        ctx_.state.db && fs::exists(path, ec) && fs::equivalent(path, ctx_.state.db->Path(), ec);
    if (alreadyOpen) {
      ctx_.state.databasePath = path;
    } else if (Outcome opened = OpenTimetableDb(ctx_.state, path); !opened) {
      // The database that was open stays open: it is closed only once the
      // new one has opened.
      ctx_.prompter.Message(this, MessageIcon::Critical, Q(ctx_.state.appTitle),
                            FailureText(kOpenFailed, opened));
      return false;
    }
    setWindowTitle("Orvandel排课软件 -- " + chosen);
    if (Outcome saved = ctx_.state.settings().SetDatabasePath(path); !saved)
      ctx_.prompter.Message(this, MessageIcon::Critical, windowTitle(),
                            FailureText("保存新数据库文件名！", saved));
    else
      RememberDatabase(path);
    return true;
  } catch (const std::exception&) {
    ctx_.prompter.Message(this, MessageIcon::Critical, windowTitle(), "系统异常错误！");
    return false;
  }
}

void FrmMain::NewDatabase() {
  const QString folder = DatabaseFolder();
  const QString chosen = ctx_.prompter.SaveFileName(this, "新建数据库", kDatabaseFilter,
                                                    folder.isEmpty() ? QString() : folder + "/新学校.mdb");
  if (chosen.isEmpty()) return;
  // The file dialog may have agreed to replace a file; a school's data is
  // never replaced behind its back, so an existing file is refused.
  if (Outcome created = TimetableDb::Create(S(chosen)); !created) {
    ctx_.prompter.Message(this, MessageIcon::Critical, windowTitle(),
                          FailureText("新建数据库失败！", created));
    return;
  }
  OpenDatabaseAt(chosen);
}

void FrmMain::OpenDemoSchool() {
  const QString folder = DatabaseFolder();
  const QString chosen = ctx_.prompter.SaveFileName(this, "打开演示学校：保存为", kDatabaseFilter,
                                                    folder.isEmpty() ? QString() : folder + "/演示学校.mdb");
  if (chosen.isEmpty()) return;
  const QString failed = "建立演示学校失败！";
  if (Outcome created = TimetableDb::Create(S(chosen)); !created) {
    ctx_.prompter.Message(this, MessageIcon::Critical, windowTitle(), FailureText(failed, created));
    return;
  }
  {
    std::optional<WaitCursor> wait(std::in_place);
    Result<std::unique_ptr<TimetableDb>> demo = TimetableDb::Open(S(chosen));
    DemoOptions options;
    options.lessonsPerDay = ctx_.state.week.lessonsPerDay;
    const Outcome filled = demo ? FillDemoSchool(**demo, options) : demo.outcome();
    if (!filled) {
      // The new file stays, empty: it is the user's file now, and nothing
      // is deleted unasked.
      wait.reset();
      ctx_.prompter.Message(this, MessageIcon::Critical, windowTitle(), FailureText(failed, filled));
      return;
    }
  }  // closed here: the file is held exclusively
  OpenDatabaseAt(chosen);
}

void FrmMain::SaveDatabaseAs() {
  if (!HaveDatabase()) return;
  // Beside the database, under a name that does not replace it.
  const fs::path open = ctx_.state.db->Path();
  const QString suggested =
      DatabaseFolder() + "/" + Q(open.stem().string() + "-副本" + open.extension().string());
  const QString chosen = ctx_.prompter.SaveFileName(this, "数据库另存为", kDatabaseFilter, suggested);
  if (chosen.isEmpty()) return;
  if (Outcome copied = SaveDatabaseCopy(*ctx_.state.db, S(chosen)); !copied)
    ctx_.prompter.Message(this, MessageIcon::Critical, windowTitle(),
                          FailureText("保存数据库文件错误！", copied));
}

// The file dialog asks before it replaces a file, so the workbook may take
// an existing one's place.
void FrmMain::ExportTemplate() {
  const QString chosen = ctx_.prompter.SaveFileName(this, "保存导入模板", kExcelFilter, {});
  if (chosen.isEmpty()) return;
  WaitCursor wait;
  if (Outcome written = WriteTemplateWorkbook(S(chosen)); written)
    ctx_.prompter.Message(this, MessageIcon::Information, windowTitle(), "导入模板导出成功");
  else
    ctx_.prompter.Message(this, MessageIcon::Critical, windowTitle(),
                          FailureText("导入模板导出失败！", written));
}

void FrmMain::ExportBasicData() {
  if (!HaveDatabase()) return;
  const fs::path suggested = ctx_.state.db->Path().parent_path() / "基础数据.xlsx";
  const QString chosen =
      ctx_.prompter.SaveFileName(this, "保存基础数据", kExcelFilter, Q(suggested.string()));
  if (chosen.isEmpty()) return;
  WaitCursor wait;
  if (Outcome written = orv::ExportBasicData(*ctx_.state.db, S(chosen)); written)
    ctx_.prompter.Message(this, MessageIcon::Information, windowTitle(), "基础数据导出成功");
  else
    ctx_.prompter.Message(this, MessageIcon::Critical, windowTitle(),
                          FailureText("基础数据导出失败！", written));
}

void FrmMain::DeleteLessonAll() {
  if (!HaveDatabase()) return;
  if (!AskTypedConfirmation(ctx_, this, "删除课表数据将会清除您以前排好的课表！")) return;
  if (Outcome deleted = DeleteAllLessons(*ctx_.state.db); deleted)
    ctx_.prompter.Message(this, MessageIcon::Information, kTimetableTitle, "删除课表完成。");
  else
    ctx_.prompter.Message(this, MessageIcon::Critical, kTimetableTitle,
                          FailureText("删除课表失败！", deleted));
}

void FrmMain::UpgradeAll() {
  if (!HaveDatabase()) return;
  if (!AskTypedConfirmation(ctx_, this, "课表学年升级将会清除您以前排好的课表！")) return;
  if (Outcome upgraded = UpgradeSchoolYear(*ctx_.state.db); upgraded)
    ctx_.prompter.Message(this, MessageIcon::Information, kTimetableTitle, "课表学年升级完成。");
  else
    ctx_.prompter.Message(this, MessageIcon::Critical, kTimetableTitle,
                          FailureText("课表学年升级失败！", upgraded));
}

void FrmMain::DataMaintenance() {
  if (!HaveDatabase()) return;
  WaitCursor wait;
  // A failed maintenance changes nothing, and must not be reported as done.
  if (const Result<MaintenanceReport> maintained = MaintainData(*ctx_.state.db); maintained) {
    // What was removed or repaired, so that "done" is never said of data
    // that was silently kept or silently dropped.
    QString text = QStringLiteral("数据维护完成");
    for (const std::string& line : MaintenanceLines(*maintained)) text += "\n" + Q(line);
    ctx_.prompter.Message(this, MessageIcon::Information, windowTitle(), text);
  } else {
    ctx_.prompter.Message(this, MessageIcon::Critical, windowTitle(),
                          FailureText("数据维护失败！", maintained.outcome()));
  }
}

void FrmMain::SetLessonNum() {
  FrmSetLessonOfDay window(ctx_, this);
  ctx_.prompter.RunModal(window);
}

void FrmMain::AutoBuild() {
  if (!HaveDatabase()) return;
  RunAutoBuild(ctx_, this);
}

void FrmMain::PrintTimetables() {
  if (!HaveDatabase()) return;
  FrmPrint window(ctx_, this);
  ctx_.prompter.RunModal(window);
}

void FrmMain::ExportTimetables() {
  if (!HaveDatabase()) return;
  FrmExport window(ctx_, this);
  ctx_.prompter.RunModal(window);
}

void FrmMain::PublishSite() {
  if (!HaveDatabase()) return;
  FrmPublish window(ctx_, this);
  ctx_.prompter.RunModal(window);
}

void FrmMain::ShowChanges() {
  if (!HaveDatabase()) return;
  FrmChanges window(ctx_, this);
  ctx_.prompter.RunModal(window);
}

void FrmMain::SimpleManual() {
  FrmSimpleManual window(this);
  ctx_.prompter.RunModal(window);
}

void FrmMain::Manual() { OpenHelp(ctx_, this, {}); }

void FrmMain::ToWebsite() { OpenDocument(QUrl(Q(ctx_.state.settings().GetWebsite()))); }
void FrmMain::Forum() { OpenDocument(QUrl(Q(ctx_.state.settings().GetForum()))); }

void FrmMain::About() {
  FrmAbout window(this);
  ctx_.prompter.RunModal(window);
}

void FrmMain::closeEvent(QCloseEvent* e) {
  CloseTimetableDb(ctx_.state);
  QMainWindow::closeEvent(e);
}

}  // namespace orv::ui
