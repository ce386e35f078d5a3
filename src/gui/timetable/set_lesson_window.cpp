// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/timetable/set_lesson_window.h"

#include <QHBoxLayout>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <algorithm>

#include "core/database/lookups.h"
#include "gui/common/editor_parts.h"

namespace orv::ui {

namespace {

constexpr int kCodeRole = Qt::UserRole;

QString CellText(const FixedLesson& lesson) {
  // A course missing from the list still occupies the lesson and must stay visible.
  return Q(lesson.courseName.empty() ? lesson.courseCode : lesson.courseName);
}

}  // namespace

FrmSetLesson::FrmSetLesson(UiContext& ctx, QWidget* parent)
    : QDialog(parent), ctx_(ctx), lessons_(ctx.state.week.lessonsPerDay) {
  setObjectName("frmSetLesson");
  setWindowTitle(QStringLiteral("预先安排固定课程"));

  selector_ = MakeEntitySelector(this, ClassSelectorNames());

  auto* label1 =
      new QLabel(QStringLiteral("这是自动排课之前的准备工作：先在某些课时安排预先确定的课程"), this);
  label1->setObjectName("Label1");

  auto* frame3 = new QGroupBox(QStringLiteral("课程"), this);
  frame3->setObjectName("Frame3");
  courses_ = new QListWidget(frame3);
  courses_->setObjectName("lstCourse");
  courses_->setSelectionMode(QAbstractItemView::SingleSelection);
  courses_->setMinimumWidth(TwipsToPixels(2000));
  auto* listLayout = new QVBoxLayout(frame3);
  listLayout->addWidget(courses_);

  auto* frame2 = new QGroupBox(this);
  frame2->setObjectName("Frame2");
  grid_ = new WeekGrid(RestrictionGridDesign(), frame2);
  grid_->Setup(lessons_);
  QPushButton* ok = MakeCommandButton(frame2, "cmdOK", QStringLiteral("退出(&Q)"));
  auto* gridLayout = new QVBoxLayout(frame2);
  gridLayout->addWidget(grid_, 1);
  gridLayout->addWidget(ok, 0, Qt::AlignRight);

  status_ = new StatusPanels(3, this);

  auto* body = new QHBoxLayout;
  body->addWidget(frame3);
  body->addWidget(frame2, 1);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(selector_.frame);
  layout->addWidget(label1);
  layout->addLayout(body, 1);
  layout->addWidget(status_);

  connect(selector_.combo, &QComboBox::currentIndexChanged, this, &FrmSetLesson::ChooseClass);
  connect(courses_, &QListWidget::currentRowChanged, this, &FrmSetLesson::ChooseCourse);
  connect(grid_, &WeekGrid::lessonReleased, this,
          [this](Qt::MouseButton button, GridLesson at, const QPoint&) { GridReleased(button, at); });
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);

  Result<std::vector<NamedCode>> classes = LoadEntityNames(*ctx_.state.db, LimitKind::Class);
  if (!classes) ShowOutcome(status_, 3, QStringLiteral("读取失败"), classes.outcome());
  FillEntitySelector(selector_.combo, classes ? *classes : std::vector<NamedCode>{});
  if (selector_.combo->count() > 0)
    selector_.combo->setCurrentIndex(0);  // shows the first class
  else
    MarkPlacementTargets();
  status_->SetPanel(1, kSetLessonHelp);
}

void FrmSetLesson::ChooseClass() {
  curClassCode_ = SelectedCode(selector_.combo);
  status_->SetPanel(2, selector_.combo->currentText() + QStringLiteral("  预排课程"));
  LoadFixedLessons(true);
  {
    const QSignalBlocker block(courses_);
    courses_->clear();
  }
  FillCourseList();
  if (courses_->count() > 0)
    courses_->setCurrentRow(0);
  else
    ChooseCourse();
}

void FrmSetLesson::LoadFixedLessons(bool report) {
  grid_->ClearLessons();
  grid_->Setup(lessons_);
  grid_->PaintAll(grid_->PlainColor());
  targets_.clear();
  fixed_.clear();
  if (curClassCode_.empty()) return;
  Result<std::vector<FixedLesson>> loaded = orv::LoadFixedLessons(*ctx_.state.db, curClassCode_);
  if (!loaded) {
    if (report) ShowOutcome(status_, 3, QStringLiteral("读取失败"), loaded.outcome());
    return;
  }
  fixed_ = std::move(*loaded);
  int outside = 0;
  for (const FixedLesson& lesson : fixed_) {
    const GridLesson at{lesson.slot.day, lesson.slot.lessonNo};
    if (!grid_->Contains(at)) {
      ++outside;
      continue;
    }
    grid_->SetText(at, CellText(lesson));
    grid_->SetToolTip(at,
                      QStringLiteral("课程：%1\n任课老师：%2").arg(CellText(lesson), Q(lesson.teacherName)));
  }
  if (!report) return;
  if (outside > 0)
    ShowOutcome(status_, 3, QStringLiteral("读取失败"),
                Outcome::Fail("有 " + std::to_string(outside) + " 节固定课程不在每天的课时之内"));
  else
    ShowOutcome(status_, 3, QStringLiteral("读取成功"), Outcome::Ok());
}

void FrmSetLesson::FillCourseList() {
  const int kept = courses_->currentRow();
  const QString keptCode = kept >= 0 ? courses_->item(kept)->data(kCodeRole).toString() : QString();
  {
    const QSignalBlocker block(courses_);
    courses_->clear();
    // A failing read leaves the list with what it has; the window reports nothing.
    Result<std::vector<FixableCourse>> fixable = LoadFixableCourses(*ctx_.state.db, curClassCode_);
    if (fixable) {
      for (const FixableCourse& c : *fixable) {
        auto* item = new QListWidgetItem(Q(c.courseName.empty() ? c.courseCode : c.courseName), courses_);
        item->setData(kCodeRole, Q(c.courseCode));
        item->setToolTip(QStringLiteral("还可以预排 %1 节").arg(c.remaining));
      }
    }
    // Fixing a lesson re-sorts the list: the selection follows the course, so
    // the next click fixes the same one. Only a course that has left the list
    // (all its lessons fixed) hands the selection to the entry now at its place.
    if (kept >= 0 && courses_->count() > 0) {
      int row = std::min(kept, courses_->count() - 1);
      for (int i = 0; i < courses_->count(); ++i)
        if (courses_->item(i)->data(kCodeRole).toString() == keptCode) row = i;
      courses_->setCurrentRow(row);
    }
  }
  if (kept >= 0) ChooseCourse();
}

void FrmSetLesson::ChooseCourse() {
  const QListWidgetItem* item = courses_->currentItem();
  curCourseCode_ = item ? S(item->data(kCodeRole).toString()) : std::string();
  curTeacherCode_ =
      curCourseCode_.empty()
          ? std::string()
          : GetPlanTeacher(*ctx_.state.db, curClassCode_, curCourseCode_).value_or(std::string());
  MarkPlacementTargets();
}

void FrmSetLesson::MarkPlacementTargets() {
  grid_->PaintAll(grid_->PlainColor());
  targets_.clear();
  if (curCourseCode_.empty()) return;
  Result<std::vector<LessonSlot>> targets =
      FixedLessonTargets(*ctx_.state.db, curClassCode_, curTeacherCode_, lessons_);
  if (!targets) return;
  for (const LessonSlot& slot : *targets) {
    const GridLesson at{slot.day, slot.lessonNo};
    if (FixedAt(at) != nullptr) continue;
    targets_.push_back(slot);
    grid_->SetColor(at, kGridCyan);
  }
}

bool FrmSetLesson::IsTarget(GridLesson at) const {
  return std::any_of(targets_.begin(), targets_.end(),
                     [&](const LessonSlot& s) { return s.day == at.day && s.lessonNo == at.lessonNo; });
}

const FixedLesson* FrmSetLesson::FixedAt(GridLesson at) const {
  const auto it = std::find_if(fixed_.begin(), fixed_.end(), [&](const FixedLesson& l) {
    return l.slot.day == at.day && l.slot.lessonNo == at.lessonNo;
  });
  return it == fixed_.end() ? nullptr : &*it;
}

void FrmSetLesson::GridReleased(Qt::MouseButton button, GridLesson at) {
  TimetableDb& db = *ctx_.state.db;
  const LessonSlot slot{at.day, at.lessonNo};
  if (button == Qt::LeftButton) {
    if (curCourseCode_.empty()) return;
    if (IsTarget(at)) {
      const Outcome placed = PlaceFixedLesson(db, curClassCode_, curCourseCode_, slot, lessons_);
      ShowOutcome(status_, 3, placed ? QStringLiteral("写入成功") : QStringLiteral("写入失败"), placed);
      if (placed) LoadFixedLessons(false);
    }
  } else if (button == Qt::RightButton && FixedAt(at) != nullptr) {
    const Outcome removed = DeleteFixedLesson(db, curClassCode_, slot);
    ShowOutcome(status_, 3, removed ? QStringLiteral("删除成功") : QStringLiteral("删除失败"), removed);
    if (removed) LoadFixedLessons(false);
  }
  FillCourseList();
}

void ShowSetLesson(UiContext& ctx, QWidget* parent) {
  FrmSetLesson window(ctx, parent);
  ctx.prompter.RunModal(window);
}

}  // namespace orv::ui
