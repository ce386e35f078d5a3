// SPDX-License-Identifier: GPL-3.0-or-later
// frmQuality on the mnuQuality road: the numbers are the quality report's,
// the chart has a row for every teacher with lessons, and an empty or
// unfinished timetable is said to be one.
#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>

#include "core/demo/demo_school.h"
#include "core/rules/quality.h"
#include "core/scheduling/build_timetable.h"
#include "gui/common/gui_support.h"
#include "gui/timetable/quality_window.h"
#include "support/test_program.h"

namespace orv::ui {
namespace {

TEST(Quality, TheWindowShowsTheReportAndAChartRowPerTeacherWithLessons) {
  test::TestProgram program("[LESSON]\nLESSON_OF_DAY=6\n");
  TimetableDb& db = *program.state().db;
  DemoOptions school;
  school.lastGrade = 3;
  ASSERT_TRUE(FillDemoSchool(db, school));
  db.Execute("delete from LessonListtb");  // the demo's fixed lessons too

  FrmQuality window(program.ctx());
  EXPECT_EQ(window.lblNote->text().toStdString(), "课表中还没有课：请先自动生成课表，再来查看质量。");
  EXPECT_EQ(window.chtTeachers->Rows(), 0);
  EXPECT_EQ(window.lblWorstTeacher->text().toStdString(), "无");

  UniformRandom random(3);
  ASSERT_TRUE(BuildTimetable(db, 6, random).ok());
  db.Execute("delete from LessonListtb where rowid in (select rowid from LessonListtb limit 2)");
  test::Press(window, "cmdRefresh");
  Result<QualityReport> r = MeasureQuality(db, SchoolWeek(6));
  ASSERT_TRUE(r);
  ASSERT_GT(r->teacherIdle, 0);
  const std::pair<QLabel*, QString> shown[] = {
      {window.lblTeacherIdle, QString("%1 节").arg(r->teacherIdle)},
      {window.lblTeachersOver, QString("%1 人").arg(r->teachersOverAllowance)},
      {window.lblClassGaps, QString("%1 节（%2 个班）").arg(r->classGaps).arg(r->classesWithGaps)},
      {window.lblRepeats, QString("%1 次").arg(r->repeats)},
      {window.lblCrowded, QString("%1 门").arg(r->crowdedCourses)},
      {window.lblDoubles, QString("%1 / %2").arg(r->doublesPlaced).arg(r->doublesAsked)},
      {window.lblBest, QString("%1 / %2 节").arg(r->bestLessons).arg(r->bestWanted)},
      {window.lblAvoid, QString("%1 节").arg(r->avoidLessons)},
      {window.lblParallel, QString::number(r->parallelMismatch)},
      {window.lblBreaches, QString("%1 处").arg(r->statedBreaches + r->lessonBreaches)},
      {window.lblScore, QString::number(r->score)}};
  for (const auto& [label, want] : shown) EXPECT_EQ(label->text(), want) << label->objectName().toStdString();
  EXPECT_TRUE(window.lblNote->text().startsWith(
      QString("课表尚未排完（已排 %1 节，教学计划共 %2 节）").arg(r->lessons).arg(r->planned)))
      << window.lblNote->text().toStdString();
  EXPECT_EQ(window.chtTeachers->Rows(),
            program.Count("select count(distinct TeacherCode) from LessonListtb"));
  const std::vector<TeacherWeekLoad>& rows = window.chtTeachers->Loads();
  ASSERT_FALSE(rows.empty());
  // The most idle teacher heads the chart, and is the one the report names.
  EXPECT_EQ(rows.front().idle, r->worstTeacherIdle);
  bool named = false;
  for (const TeacherWeekLoad& l : rows)
    named |= l.idle == r->worstTeacherIdle &&
             window.lblWorstTeacher->text() == QString("%1（%2节）").arg(Q(l.name)).arg(l.idle);
  EXPECT_TRUE(named) << window.lblWorstTeacher->text().toStdString();

  // The menu's road: 退出 closes it.
  program.prompter().QueueModal([](QDialog& d) { test::Press(d, "cmdExit"); });
  ShowQuality(program.ctx(), nullptr);
  EXPECT_TRUE(program.prompter().AllAnswersUsed());
  EXPECT_EQ(program.Said(), "");
}

}  // namespace
}  // namespace orv::ui
