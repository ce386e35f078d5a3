// SPDX-License-Identifier: GPL-3.0-or-later
// frmMain: the program's only top-level window, the start page under the
// menu bar from which every command starts.
#pragma once

#include <QMainWindow>

#include "gui/common/ui_context.h"

class QAction;
class QMenu;

namespace orv::ui {

class StartPage;

class FrmMain : public QMainWindow {
  Q_OBJECT

 public:
  explicit FrmMain(UiContext& ctx, QWidget* parent = nullptr);

  StartPage* frmStart;

  QMenu* mnuFile;
  QAction* mnuNewDb;
  QAction* mnuOpenDb;
  QAction* mnuDemoSchool;
  QAction* mnuDbSaveAs;
  QAction* mnuExportTemplate;
  QAction* mnuExportData;
  QAction* mnuImportData;
  QAction* mnuEnd;

  QMenu* mnuBasicData;
  QAction* mnuClassList;
  QAction* mnuCourseList;
  QAction* mnuTeacherList;
  QAction* mnuClassRoomList;
  QAction* mnuClassPlan;

  QMenu* mnuAuto;
  QMenu* mnuLimit;
  QAction* mnuClassLimit;
  QAction* mnuCourseLimit;
  QAction* mnuTeacherLimit;
  QAction* mnuClassroomLimit;
  QAction* mnuPrepairBuild;
  QAction* mnuAutoBuild;
  QAction* mnuCompleteBuild;
  QAction* mnuAnalyze;
  QAction* mnuSchoolRules;

  QMenu* mnuBuildKb;
  QAction* mnuManualBuild;
  QAction* mnuQuality;
  QAction* mnuPrint;
  QAction* mnuExport;
  QAction* mnuPublish;
  QAction* mnuChanges;
  QAction* mnuUpgradeAll;
  QAction* mnuDeleteLessonAll;

  QMenu* mnuManager;
  QAction* mnuSetLessonNum;
  QAction* mnuCalendar;
  QAction* mnuDataMaintenance;

  QMenu* mnuHelp;
  QAction* mnuSimpleManual;
  QAction* mnuManual;
  QAction* mnuToWebsite;
  QAction* mnuForum;
  QAction* mnuAbout;

  // The commands behind the menu items.
  void OpenDatabase();
  // Switches to the database at path as 打开数据库 does; false after saying
  // why it could not.
  bool OpenDatabaseAt(const QString& path);
  void NewDatabase();
  void OpenDemoSchool();
  void SaveDatabaseAs();
  void ExportTemplate();
  void ExportBasicData();
  void DeleteLessonAll();
  void UpgradeAll();
  void DataMaintenance();
  void SetLessonNum();
  void AutoBuild();
  void PrintTimetables();
  void ExportTimetables();
  void PublishSite();
  void ShowChanges();
  void SimpleManual();
  void Manual();
  void ToWebsite();
  void Forum();
  void About();

 protected:
  void closeEvent(QCloseEvent* e) override;

 private:
  QMenu* AddMenu(const char* name, const QString& caption);
  QAction* AddItem(QMenu* menu, const char* name, const QString& caption);
  // Remembered for the start page; a settings file that cannot be written
  // has already been reported by the caller, so this stays quiet.
  void RememberDatabase(const std::string& path);
  // The database's folder, where files about it are best proposed.
  QString DatabaseFolder() const;
  // False (after saying so) when no database is open, e.g. after closing.
  bool HaveDatabase();

  UiContext& ctx_;
};

inline constexpr const char* kDatabaseFilter = "数据库(*.mdb *.db)";

}  // namespace orv::ui
