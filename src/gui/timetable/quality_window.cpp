// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/timetable/quality_window.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>
#include <algorithm>

#include "core/rules/rule_index.h"
#include "gui/common/editor_parts.h"
#include "gui/common/gui_support.h"
#include "gui/common/prompter.h"
#include "gui/common/ui_context.h"

namespace orv::ui {

namespace {

const QString kCaption = QStringLiteral("课表质量");

// The chart's geometry, in pixels.
constexpr int kRowHeight = 22;
constexpr int kHeaderHeight = 24;
constexpr int kNameWidth = 96;
constexpr int kIdleWidth = 200;  // room for the longest idle bar and its number
constexpr int kIdleUnitMost = 18;
constexpr int kDayWidth = 22;
constexpr int kMargin = 6;

const QColor kIdleColor(70, 130, 180);
const QColor kOverColor(220, 110, 40);
const QColor kAllowanceColor(200, 0, 0);
const QColor kDayColor(90, 160, 90);
const QString kDayNames[] = {"一", "二", "三", "四", "五"};

QLabel* ValueLabel(QWidget* parent, const char* name) {
  auto* label = new QLabel(parent);
  label->setObjectName(name);
  label->setStyleSheet("color: rgb(0,0,160); font-weight: bold;");
  label->setTextInteractionFlags(Qt::TextSelectableByMouse);
  return label;
}

}  // namespace

TeacherLoadChart::TeacherLoadChart(QWidget* parent) : QWidget(parent) {
  setObjectName("chtTeachers");
  // The chart sits on the input background of the desktop's palette, so a
  // dark theme gets a dark chart with light writing.
  setAutoFillBackground(true);
  setBackgroundRole(QPalette::Base);
  setForegroundRole(QPalette::Text);
}

void TeacherLoadChart::SetLoads(std::vector<TeacherWeekLoad> loads, int lessonsPerDay) {
  loads_ = std::move(loads);
  lessonsPerDay_ = std::max(1, lessonsPerDay);
  mostIdle_ = 0;
  for (const TeacherWeekLoad& l : loads_) mostIdle_ = std::max(mostIdle_, l.idle);
  updateGeometry();
  setMinimumSize(sizeHint());
  update();
}

QSize TeacherLoadChart::sizeHint() const {
  return {kMargin * 2 + kNameWidth + kIdleWidth + kDayWidth * kDaysPerWeek,
          kHeaderHeight + kRowHeight * std::max(1, Rows()) + kMargin};
}

void TeacherLoadChart::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing, false);
  const int idleX = kMargin + kNameWidth;
  const int daysX = idleX + kIdleWidth;
  // The bars share one scale, wide enough that the allowance always shows.
  const int unit = std::min(kIdleUnitMost, (kIdleWidth - 40) / std::max(mostIdle_, kIdleAllowance + 1));

  p.setPen(palette().color(QPalette::Text));
  p.drawText(QRect(kMargin, 0, kNameWidth, kHeaderHeight), Qt::AlignVCenter | Qt::AlignLeft, "教师");
  p.drawText(QRect(idleX, 0, kIdleWidth, kHeaderHeight), Qt::AlignVCenter | Qt::AlignLeft,
             QString("每周空节（红线：%1节）").arg(kIdleAllowance));
  for (int d = 0; d < kDaysPerWeek; ++d)
    p.drawText(QRect(daysX + d * kDayWidth, 0, kDayWidth, kHeaderHeight), Qt::AlignCenter, kDayNames[d]);
  if (loads_.empty()) {
    p.drawText(QRect(kMargin, kHeaderHeight, width() - 2 * kMargin, kRowHeight),
               Qt::AlignVCenter | Qt::AlignLeft, "（课表中没有老师的课）");
    return;
  }

  for (int row = 0; row < Rows(); ++row) {
    const TeacherWeekLoad& l = loads_[static_cast<size_t>(row)];
    const int y = kHeaderHeight + row * kRowHeight;
    if (row % 2 == 1) p.fillRect(QRect(0, y, width(), kRowHeight), palette().color(QPalette::AlternateBase));
    p.setPen(palette().color(QPalette::Text));
    p.drawText(QRect(kMargin, y, kNameWidth - 4, kRowHeight), Qt::AlignVCenter | Qt::AlignLeft,
               fontMetrics().elidedText(Q(l.name), Qt::ElideRight, kNameWidth - 4));
    const QRect bar(idleX, y + 5, l.idle * unit, kRowHeight - 10);
    p.fillRect(bar, l.idle > kIdleAllowance ? kOverColor : kIdleColor);
    p.drawText(QRect(bar.right() + 4, y, 36, kRowHeight), Qt::AlignVCenter | Qt::AlignLeft,
               QString::number(l.idle));
    for (int d = 0; d < kDaysPerWeek && d < static_cast<int>(l.perDay.size()); ++d) {
      const int n = l.perDay[static_cast<size_t>(d)];
      const int h = (kRowHeight - 6) * std::min(n, lessonsPerDay_) / lessonsPerDay_;
      const int x = daysX + d * kDayWidth + 4;
      p.fillRect(QRect(x, y + kRowHeight - 3 - h, kDayWidth - 8, h), kDayColor);
      p.setPen(QColor(200, 200, 200));
      p.drawLine(x, y + kRowHeight - 3, x + kDayWidth - 9, y + kRowHeight - 3);
    }
  }
  QPen allowance(kAllowanceColor, 1, Qt::DashLine);
  p.setPen(allowance);
  const int x = idleX + kIdleAllowance * unit;
  p.drawLine(x, kHeaderHeight, x, kHeaderHeight + Rows() * kRowHeight);
}

FrmQuality::FrmQuality(UiContext& ctx, QWidget* parent) : QDialog(parent), ctx_(ctx) {
  setObjectName("frmQuality");
  setWindowTitle(kCaption);
  setWindowFlag(Qt::WindowContextHelpButtonHint, false);

  auto* numbers = new QGroupBox("质量指标", this);
  numbers->setObjectName("fraNumbers");
  auto* grid = new QGridLayout(numbers);
  grid->setHorizontalSpacing(12);
  int row = 0;
  auto add = [&](const char* name, const QString& caption, const QString& explanation) {
    QLabel* value = ValueLabel(numbers, name);
    auto* explain = new QLabel(explanation, numbers);
    explain->setStyleSheet("color: rgb(96,96,96);");
    explain->setWordWrap(true);  // wraps rather than push the window past a small screen
    grid->addWidget(new QLabel(caption, numbers), row, 0);
    grid->addWidget(value, row, 1);
    grid->addWidget(explain, row, 2);
    ++row;
    return value;
  };
  lblTeacherIdle =
      add("lblTeacherIdle", "教师空节合计", "老师每天首末两节课之间的空闲节次（本人“不排”不算）");
  lblWorstTeacher = add("lblWorstTeacher", "最多的教师", "空节最多的老师");
  lblTeachersOver = add("lblTeachersOver", QString("空节超过%1节的教师").arg(kIdleAllowance),
                        QString("每周空节超过%1节的老师（超出部分加倍计分）").arg(kIdleAllowance));
  lblClassGaps = add("lblClassGaps", "班级课中空节", "班级上午或下午两节课之间的空节");
  lblRepeats = add("lblRepeats", "可避免的同日重复", "同一门课一天上两次，本可分在不同的日子");
  lblCrowded = add("lblCrowded", "4节以上却不足4天的课程", "每周4节以上的课却排在不到4天里（按班计）");
  lblDoubles = add("lblDoubles", "连堂课 已排/要求", "排课规则要求的连堂（相邻两节，不跨午休）");
  lblBest = add("lblBest", "排在最佳位置", "有“最佳位置”的课中，排在最佳位置的节数");
  lblAvoid = add("lblAvoid", "排在尽量不排", "排在课程、班级或老师“尽量不排”时间的课");
  lblParallel = add("lblParallel", "同头课不齐", "同一老师的平行班每天上该课节数之差的合计");
  lblBreaches = add("lblBreaches", "违反排课规则", "违反排课规则或冲突之处，应当为0");
  lblScore = add("lblScore", "质量分 (越小越好)", "以上各项加权之和，0分表示没有任何不足");
  grid->setColumnStretch(2, 1);
  grid->setRowStretch(row, 1);

  auto* chartBox = new QGroupBox("教师空节与每天课时（按空节从多到少）", this);
  chartBox->setObjectName("fraChart");
  chtTeachers = new TeacherLoadChart;
  scrChart = new QScrollArea(chartBox);
  scrChart->setObjectName("scrChart");
  scrChart->setWidget(chtTeachers);
  scrChart->setWidgetResizable(true);
  scrChart->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  scrChart->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  scrChart->setMinimumWidth(chtTeachers->sizeHint().width() +
                            scrChart->verticalScrollBar()->sizeHint().width() + 2 * scrChart->frameWidth());
  auto* chartLayout = new QVBoxLayout(chartBox);
  chartLayout->addWidget(scrChart);

  lblNote = new QLabel(this);
  lblNote->setObjectName("lblNote");
  lblNote->setWordWrap(true);
  cmdRefresh = MakeCommandButton(this, "cmdRefresh", "刷新(&R)");
  cmdExit = MakeCommandButton(this, "cmdExit", "退出(&Q)");
  connect(cmdRefresh, &QPushButton::clicked, this, &FrmQuality::Refresh);
  connect(cmdExit, &QPushButton::clicked, this, &QDialog::accept);

  auto* upper = new QHBoxLayout;
  upper->addWidget(numbers, 3);
  upper->addWidget(chartBox, 2);
  auto* lower = new QHBoxLayout;
  lower->addWidget(lblNote, 1);
  lower->addWidget(cmdRefresh);
  lower->addWidget(cmdExit);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(upper, 1);
  layout->addLayout(lower);
  resize(sizeHint().width(), 560);
  Refresh();
}

void FrmQuality::Clear() {
  for (QLabel* l : {lblTeacherIdle, lblWorstTeacher, lblTeachersOver, lblClassGaps, lblRepeats, lblCrowded,
                    lblDoubles, lblBest, lblAvoid, lblParallel, lblBreaches, lblScore})
    l->setText("—");
  chtTeachers->SetLoads({}, ctx_.state.week.lessonsPerDay);
}

void FrmQuality::Refresh() {
  if (!ctx_.state.db) {
    Clear();
    lblNote->setStyleSheet("color: rgb(160,0,0);");
    lblNote->setText("没有打开的数据库。");
    return;
  }
  Result<SchoolModel> model = [&] {
    WaitCursor wait;
    return LoadIndexedSchool(*ctx_.state.db, ctx_.state.week);
  }();
  if (!model) {
    Clear();
    lblNote->setStyleSheet("color: rgb(160,0,0);");
    lblNote->setText(FailureText("读取课表失败！", model.outcome()).replace('\n', ' '));
    return;
  }
  const QualityReport r = MeasureQuality(*model);
  QString worst = "无";
  if (r.worstTeacher >= 0)
    worst = QString("%1（%2节）")
                .arg(Q(model->teachers[static_cast<size_t>(r.worstTeacher)].name))
                .arg(r.worstTeacherIdle);
  Show(r, worst);
  chtTeachers->SetLoads(TeacherLoads(*model), model->week.lessonsPerDay);
  // Red while the numbers speak of a week that is not all there.
  lblNote->setStyleSheet(r.lessons == 0 || r.lessons < r.planned ? "color: rgb(160,0,0);" : QString());
  if (r.lessons == 0)
    lblNote->setText("课表中还没有课：请先自动生成课表，再来查看质量。");
  else if (r.lessons < r.planned)
    lblNote->setText(QString("课表尚未排完（已排 %1 节，教学计划共 %2 节）：以下数字只反映已排的课，"
                             "可先用“补排未排课程”排满。")
                         .arg(r.lessons)
                         .arg(r.planned));
  else
    lblNote->setText(QString("共 %1 节课。").arg(r.lessons));
}

void FrmQuality::Show(const QualityReport& r, const QString& worstName) {
  lblTeacherIdle->setText(QString("%1 节").arg(r.teacherIdle));
  lblWorstTeacher->setText(worstName);
  lblTeachersOver->setText(QString("%1 人").arg(r.teachersOverAllowance));
  lblClassGaps->setText(QString("%1 节（%2 个班）").arg(r.classGaps).arg(r.classesWithGaps));
  lblRepeats->setText(QString("%1 次").arg(r.repeats));
  lblCrowded->setText(QString("%1 门").arg(r.crowdedCourses));
  lblDoubles->setText(QString("%1 / %2").arg(r.doublesPlaced).arg(r.doublesAsked));
  lblBest->setText(QString("%1 / %2 节").arg(r.bestLessons).arg(r.bestWanted));
  lblAvoid->setText(QString("%1 节").arg(r.avoidLessons));
  lblParallel->setText(QString::number(r.parallelMismatch));
  lblBreaches->setText(QString("%1 处").arg(r.statedBreaches + r.lessonBreaches));
  lblScore->setText(QString::number(r.score));
}

void ShowQuality(UiContext& ctx, QWidget* parent) {
  FrmQuality window(ctx, parent);
  ctx.prompter.RunModal(window);
}

}  // namespace orv::ui
