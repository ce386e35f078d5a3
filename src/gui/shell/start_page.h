// SPDX-License-Identifier: GPL-3.0-or-later
// frmStart: the main window's centre. A newcomer sees which database is open,
// what it holds, the work steps in order with what is done, and where to
// begin: a new database, the demo school, an import or a recent file.
#pragma once

#include <QWidget>
#include <array>
#include <functional>

#include "core/overview/work_steps.h"
#include "gui/common/ui_context.h"

class QAction;
class QLabel;
class QListWidget;
class QPushButton;

namespace orv::ui {

class StartPage : public QWidget {
  Q_OBJECT

 public:
  // `stepActions` are the menu items behind the steps, in working order:
  // a step's button does exactly what its menu item does.
  StartPage(UiContext& ctx, const std::array<QAction*, kWorkStepCount>& stepActions,
            QWidget* parent = nullptr);

  QLabel* lblDatabase;
  QLabel* lblCounts;
  QPushButton* cmdStepBasicData;
  QPushButton* cmdStepPlan;
  QPushButton* cmdStepRestrictions;
  QPushButton* cmdStepAnalysis;
  QPushButton* cmdStepGeneration;
  QPushButton* cmdStepAdjustment;
  QPushButton* cmdStepPublishing;
  QPushButton* cmdNewDatabase;
  QPushButton* cmdDemoSchool;
  QPushButton* cmdImport;
  QListWidget* lstRecent;

  // Reads the database and the recent list again.
  void Refresh();
  // Whether the step's button shows it done (for the window tests).
  bool StepShownDone(WorkStep step) const;

 signals:
  // A recent database was chosen; the main window opens it.
  void RecentChosen(const QString& path);

 private:
  void ShowSteps(const std::vector<WorkStepState>& steps);
  void ShowRecent();

  UiContext& ctx_;
  std::array<QPushButton*, kWorkStepCount> stepButtons_{};
  std::array<bool, kWorkStepCount> shownDone_{};
};

}  // namespace orv::ui
