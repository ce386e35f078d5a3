// SPDX-License-Identifier: GPL-3.0-or-later
// frmQuality (课表质量): how good the stored timetable is beyond keeping the
// rules, as the quality report measures it, each number with a line saying
// what it counts, and a chart of every teacher's idle periods and daily
// loads, since a school would rather look than read. 刷新 measures again
// (after a manual change, say). Everything shown is measured by the core.
#pragma once

#include <QDialog>
#include <vector>

#include "core/rules/quality.h"

class QLabel;
class QPushButton;
class QScrollArea;

namespace orv::ui {

struct UiContext;

// One row per teacher: the name, a bar of the week's idle periods with the
// allowance marked, and five small bars of the lessons Monday to Friday.
class TeacherLoadChart : public QWidget {
  Q_OBJECT

 public:
  explicit TeacherLoadChart(QWidget* parent = nullptr);

  void SetLoads(std::vector<TeacherWeekLoad> loads, int lessonsPerDay);
  const std::vector<TeacherWeekLoad>& Loads() const { return loads_; }
  int Rows() const { return static_cast<int>(loads_.size()); }

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override { return sizeHint(); }

 protected:
  void paintEvent(QPaintEvent* e) override;

 private:
  std::vector<TeacherWeekLoad> loads_;
  int lessonsPerDay_ = 7;
  int mostIdle_ = 0;
};

class FrmQuality : public QDialog {
  Q_OBJECT

 public:
  explicit FrmQuality(UiContext& ctx, QWidget* parent = nullptr);

  // Measures the stored timetable again and shows it.
  void Refresh();

  QLabel* lblNote;  // an empty or unfinished timetable, or a failure to read it
  QLabel* lblTeacherIdle;
  QLabel* lblWorstTeacher;
  QLabel* lblTeachersOver;
  QLabel* lblClassGaps;
  QLabel* lblRepeats;
  QLabel* lblCrowded;
  QLabel* lblDoubles;
  QLabel* lblBest;
  QLabel* lblAvoid;
  QLabel* lblParallel;
  QLabel* lblBreaches;
  QLabel* lblScore;
  TeacherLoadChart* chtTeachers;
  QScrollArea* scrChart;
  QPushButton* cmdRefresh;
  QPushButton* cmdExit;

 private:
  void Show(const QualityReport& r, const QString& worstName);
  void Clear();

  UiContext& ctx_;
};

// mnuQuality: the quality window, modal.
void ShowQuality(UiContext& ctx, QWidget* parent);

}  // namespace orv::ui
