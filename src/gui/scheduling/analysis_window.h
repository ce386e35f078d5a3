// SPDX-License-Identifier: GPL-3.0-or-later
// frmAnalysis: the check before scheduling. Lists what makes a complete
// timetable impossible (errors) or hard (warnings), each with its icon, and
// copies the list for a colleague.
#pragma once

#include <QDialog>
#include <vector>

#include "core/scheduling/school_analysis.h"

class QLabel;
class QListWidget;
class QPushButton;

namespace orv::ui {

struct UiContext;

class FrmAnalysis : public QDialog {
  Q_OBJECT

 public:
  // The findings are read before the window opens (RunAnalysis), so the
  // window itself never touches the database.
  FrmAnalysis(UiContext& ctx, std::vector<AnalysisFinding> findings, QWidget* parent = nullptr);

  QLabel* lblSummary;
  QListWidget* lstFindings;
  QPushButton* cmdCopy;
  QPushButton* cmdClose;

  // The summary and every finding, one line each, as copied.
  QString ReportText() const;

 private:
  void Copy();

  std::vector<AnalysisFinding> findings_;
};

// mnuAnalyze: checks the open database and shows frmAnalysis.
void RunAnalysis(UiContext& ctx, QWidget* parent);

}  // namespace orv::ui
