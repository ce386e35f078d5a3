// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/timetable/manual_set_lesson_window.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QScrollBar>
#include <QShortcut>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <algorithm>

#include "core/scheduling/timetable_check.h"
#include "gui/common/editor_parts.h"

namespace orv::ui {

namespace {

constexpr int kRowRole = Qt::UserRole;  // the item's index in unplaced_
// Enough findings in the rule check's tooltip to act on, few enough to fit a screen.
constexpr int kFindingLines = 20;

QString OrCode(const std::string& name, const std::string& code) { return Q(name.empty() ? code : name); }

// A code missing from the lists still occupies its period and must stay visible.
QString CourseText(const LessonCell& cell) { return OrCode(cell.courseName, cell.courseCode); }

QString TeacherCellText(const LessonCell& cell) {
  const std::string& cls = cell.classShortName.empty() ? cell.className : cell.classShortName;
  return CourseText(cell) + QStringLiteral("\r\n") + OrCode(cls, cell.classCode);
}

QString OriginText(LessonOrigin origin) {
  switch (origin) {
    case LessonOrigin::Fixed:
      return QStringLiteral("预先固定的课");
    case LessonOrigin::Automatic:
      return QStringLiteral("自动排入的课");
    case LessonOrigin::Manual:
      break;
  }
  return QStringLiteral("手工排入的课");
}

QString LessonTip(const LessonCell& cell) {
  if (!cell.occupied) return {};
  return CourseText(cell) + QStringLiteral("\n任课老师：") + OrCode(cell.teacherName, cell.teacherCode) +
         "\n" + OriginText(cell.origin);
}

QString TargetTip(const LessonCell& cell, const SwapTarget& target) {
  QString tip = cell.occupied ? QStringLiteral("右键单击：与选中的课交换")
                              : QStringLiteral("右键单击：把选中的课移到这里");
  if (target.reasons.empty()) return tip + QStringLiteral("\n不违反自动排课的规则");
  tip += QStringLiteral("\n这样会违反自动排课的规则：");
  for (const std::string& reason : target.reasons) tip += "\n" + Q(reason);
  return tip;
}

// Selects the entry carrying the code, which runs the list's own handler, and
// says whether it did. A code the list lacks leaves no entry selected, quietly.
bool SelectCode(QComboBox* combo, const std::string& code) {
  const int index = code.empty() ? -1 : combo->findData(Q(code));
  if (index >= 0 && index != combo->currentIndex()) {
    combo->setCurrentIndex(index);
    return true;
  }
  if (index < 0) {
    const QSignalBlocker block(combo);
    combo->setCurrentIndex(-1);
  }
  return false;
}

// Each panel as wide as the longest text it usually shows, and never wider:
// the window keeps its size while the texts change, and a longer text (a
// refusal naming two periods) is cut, whole in the panel's tooltip.
void FixPanelWidths(StatusPanels* status, const QStringList& widest) {
  for (int i = 0; i < widest.size(); ++i) {
    auto* label = status->findChild<QLabel*>(QStringLiteral("staMsgPanel%1").arg(i + 1));
    const int width = label->fontMetrics().horizontalAdvance(widest[i]) + 2 * label->frameWidth() + 8;
    if (i == 0) {  // the help, which takes what the window has to spare and gives way on a small screen
      label->setSizePolicy(QSizePolicy::Ignored, label->sizePolicy().verticalPolicy());
      label->setMinimumWidth(width / 3);
    } else {
      label->setFixedWidth(width);
    }
  }
}

const PeriodChange* FirstPeriod(const LessonEdit& edit) {
  return edit.periods.empty() ? nullptr : &edit.periods.front();
}

}  // namespace

FrmManualSetLesson::FrmManualSetLesson(UiContext& ctx, QWidget* parent)
    : QDialog(parent),
      ctx_(ctx),
      lessons_(ctx.state.week.lessonsPerDay),
      history_(*ctx.state.db, lessons_),
      classCells_(lessons_),
      teacherCells_(lessons_),
      placement_(lessons_) {
  setObjectName("frmManualSetLesson");
  setWindowTitle(QStringLiteral("人工安排课程"));

  selector_ = MakeEntitySelector(this, ClassSelectorNames());
  grid_ = new WeekGrid(AdjustmentGridDesign(), this);
  grid_->Setup(lessons_);

  auto* label2 = new QLabel(QStringLiteral("任课表"), this);
  label2->setObjectName("Label2");
  teachers_ = new QComboBox(this);
  teachers_->setObjectName("CmbTeacher");
  label2->setBuddy(teachers_);
  teacherGrid_ = new WeekGrid(AdjustmentGridDesign(), this);
  teacherGrid_->setObjectName("grdTeacher");
  teacherGrid_->Setup(lessons_);

  auto* label1 = new QLabel(QStringLiteral("未排班级课程课程"), this);
  label1->setObjectName("Label1");
  courses_ =
      new RecordList("lstCourse", {QStringLiteral("班级"), QStringLiteral("课程"), QStringLiteral("节数")},
                     {1000, 1000, 550}, this);
  label1->setBuddy(courses_);
  courses_->setMinimumWidth(TwipsToPixels(2550) + 2 * courses_->frameWidth() +
                            courses_->verticalScrollBar()->sizeHint().width());

  auto* frame2 = new QGroupBox(this);
  frame2->setObjectName("Frame2");
  auto* buttons = new QHBoxLayout(frame2);
  undo_ = MakeCommandButton(frame2, "cmdUndo", QStringLiteral("撤销(&Z)"));
  redo_ = MakeCommandButton(frame2, "cmdRedo", QStringLiteral("重做(&Y)"));
  QPushButton* ok = MakeCommandButton(frame2, "cmdOK", QStringLiteral("退出(&Q)"));
  for (QPushButton* b : {undo_, redo_, ok}) buttons->addWidget(b);
  undoKey_ = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z), this);
  redoKey_ = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Y), this);

  status_ = new StatusPanels(4, this);
  FixPanelWidths(status_, {kManualHelpSelected, QStringLiteral("一年级（10）班"),
                           QStringLiteral("无法撤销：星期三第3节 已没有语文这节课"),
                           QStringLiteral("本班课表：违规 99 处，警告 99 处")});

  auto* body = new QGridLayout;
  body->addWidget(selector_.frame, 0, 0);
  auto* teacherLine = new QHBoxLayout;
  teacherLine->addWidget(label2);
  teacherLine->addWidget(teachers_, 1);
  body->addLayout(teacherLine, 0, 1, Qt::AlignBottom);
  body->addWidget(label1, 0, 2, Qt::AlignBottom);
  body->addWidget(grid_, 1, 0);
  body->addWidget(teacherGrid_, 1, 1);
  body->addWidget(courses_, 1, 2);
  // The two weeks take what the window grows by; the list keeps its width.
  body->setColumnStretch(0, 1);
  body->setColumnStretch(1, 1);
  body->setRowStretch(1, 1);
  body->addWidget(frame2, 2, 0, 1, 3, Qt::AlignRight);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(body, 1);
  layout->addWidget(status_);

  connect(selector_.combo, &QComboBox::currentIndexChanged, this,
          [this] { ChooseClass(SelectedCode(selector_.combo)); });
  connect(teachers_, &QComboBox::currentIndexChanged, this,
          [this] { ChooseTeacher(SelectedCode(teachers_)); });
  connect(courses_, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item) { PickUnplaced(item); });
  connect(courses_, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem* item) { PickUnplaced(item); });
  connect(grid_, &WeekGrid::lessonReleased, this,
          [this](Qt::MouseButton b, GridLesson at, const QPoint&) { ClassGridReleased(b, at); });
  connect(teacherGrid_, &WeekGrid::lessonReleased, this,
          [this](Qt::MouseButton, GridLesson at, const QPoint&) { TeacherGridReleased(at); });
  connect(undo_, &QPushButton::clicked, this, [this] { UndoOrRedo(true); });
  connect(redo_, &QPushButton::clicked, this, [this] { UndoOrRedo(false); });
  connect(undoKey_, &QShortcut::activated, this, [this] { UndoOrRedo(true); });
  connect(redoKey_, &QShortcut::activated, this, [this] { UndoOrRedo(false); });
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);

  TimetableDb& db = *ctx_.state.db;
  FillUnplacedList();
  Result<std::vector<NamedCode>> classes = LoadEntityNames(db, LimitKind::Class);
  Result<std::vector<NamedCode>> teachers = LoadEntityNames(db, LimitKind::Teacher);
  if (teachers)
    std::stable_sort(teachers->begin(), teachers->end(),
                     [](const NamedCode& a, const NamedCode& b) { return a.code < b.code; });
  FillEntitySelector(teachers_, teachers ? *teachers : std::vector<NamedCode>{});
  FillEntitySelector(selector_.combo, classes ? *classes : std::vector<NamedCode>{});
  if (selector_.combo->count() > 0)
    selector_.combo->setCurrentIndex(0);  // shows the first class
  else
    ChooseClass("");
  if (!classes || !teachers)
    ShowOutcome(status_, 3, QStringLiteral("读取失败"), classes ? teachers.outcome() : classes.outcome());
  ShowHistory();
}

void FrmManualSetLesson::ChooseClass(const std::string& code) {
  curClassCode_ = code;
  const int index = selector_.combo->findData(Q(code));
  status_->SetPanel(2, index >= 0 ? selector_.combo->itemText(index) : Q(code));
  LoadClassTimetable();
  ShowRuleCheck();
}

void FrmManualSetLesson::ShowClass(const std::string& code, bool reload) {
  if (!SelectCode(selector_.combo, code) && (code != curClassCode_ || reload)) ChooseClass(code);
}

void FrmManualSetLesson::LoadClassTimetable() {
  Result<WeekCells> loaded = LoadClassCells(*ctx_.state.db, curClassCode_, lessons_);
  classCells_ = loaded ? std::move(*loaded) : WeekCells(lessons_);
  grid_->ClearLessons();
  grid_->Setup(lessons_);
  ResetCellColours();
  ShowOutcome(status_, 3, loaded ? QStringLiteral("读取成功") : QStringLiteral("读取失败"), loaded.outcome());
}

void FrmManualSetLesson::DrawClassCells() {
  for (int day = 1; day <= kDaysPerWeek; ++day)
    for (int lessonNo = 1; lessonNo <= lessons_; ++lessonNo) {
      const LessonCell& cell = classCells_.At(day, lessonNo);
      grid_->SetText({day, lessonNo}, cell.occupied ? CourseText(cell) : QString());
      grid_->SetToolTip({day, lessonNo}, LessonTip(cell));
    }
}

void FrmManualSetLesson::FillUnplacedList() {
  // A failing read leaves the list as it was.
  Result<std::vector<UnplacedLesson>> loaded = LoadUnplacedLessons(*ctx_.state.db);
  if (!loaded) return;
  unplaced_ = std::move(*loaded);
  courses_->clear();
  QTreeWidgetItem* pending = nullptr;
  for (size_t i = 0; i < unplaced_.size(); ++i) {
    const UnplacedLesson& u = unplaced_[i];
    QTreeWidgetItem* item = courses_->AddRow(
        {OrCode(u.className, u.classCode), OrCode(u.courseName, u.courseCode), QString::number(u.remaining)});
    item->setData(0, kRowRole, static_cast<int>(i));
    for (int column = 0; column < 3; ++column)
      item->setToolTip(column, QStringLiteral("任课老师：") + OrCode(u.teacherName, u.teacherCode));
    if (pendingLesson_ && pendingLesson_->classCode == u.classCode &&
        pendingLesson_->courseCode == u.courseCode && pendingLesson_->teacherCode == u.teacherCode)
      pending = item;
  }
  courses_->SelectRow(pending);
}

void FrmManualSetLesson::ChooseTeacher(const std::string& code) {
  curTeacherCode_ = code;
  LoadTeacherTimetable();
}

void FrmManualSetLesson::ShowTeacher(const std::string& code, bool reload) {
  if (!SelectCode(teachers_, code) && (code != curTeacherCode_ || reload)) ChooseTeacher(code);
}

void FrmManualSetLesson::LoadTeacherTimetable() {
  // A failing read shows an empty week; the window reports nothing.
  Result<WeekCells> loaded = LoadTeacherCells(*ctx_.state.db, curTeacherCode_, lessons_);
  teacherCells_ = loaded ? std::move(*loaded) : WeekCells(lessons_);
  teacherGrid_->ClearLessons();
  teacherGrid_->Setup(lessons_);
  teacherGrid_->PaintAll(teacherGrid_->PlainColor());
  for (int day = 1; day <= kDaysPerWeek; ++day)
    for (int lessonNo = 1; lessonNo <= lessons_; ++lessonNo) {
      const LessonCell& cell = teacherCells_.At(day, lessonNo);
      if (!cell.occupied) continue;
      teacherGrid_->SetText({day, lessonNo}, TeacherCellText(cell));
      teacherGrid_->SetToolTip(
          {day, lessonNo}, OrCode(cell.className, cell.classCode) + QStringLiteral("\n") + CourseText(cell));
    }
}

void FrmManualSetLesson::ResetCellColours() {
  grid_->PaintAll(grid_->PlainColor());
  DrawClassCells();  // the yellow cells' tooltips go with their colour
  marks_ = Marks::Plain;
  targets_ = {};
  placement_ = WeekSlots(lessons_);
  status_->SetPanel(1, kManualHelpPlain);
}

void FrmManualSetLesson::PickUnplaced(QTreeWidgetItem* item) {
  if (item == nullptr) return;
  const int index = item->data(0, kRowRole).toInt();
  if (index < 0 || index >= static_cast<int>(unplaced_.size())) return;
  pendingLesson_ = unplaced_[static_cast<size_t>(index)];
  ShowClass(pendingLesson_->classCode, true);
  // The teacher's week beside it says why a period is not cyan.
  ShowTeacher(pendingLesson_->teacherCode, false);
  if (pendingLesson_->remaining >= 1) MarkPlacementTargets();
}

void FrmManualSetLesson::MarkPlacementTargets() {
  const UnplacedLesson& p = *pendingLesson_;
  Result<WeekSlots> cyan =
      orv::MarkPlacementTargets(*ctx_.state.db, p.classCode, p.courseCode, p.teacherCode, lessons_);
  if (!cyan) return;
  const QString tip = QStringLiteral("左键单击：在这里安排") + OrCode(p.courseName, p.courseCode) +
                      QStringLiteral("（") + OrCode(p.teacherName, p.teacherCode) + QStringLiteral("）");
  placement_ = WeekSlots(lessons_);
  for (int day = 1; day <= kDaysPerWeek; ++day)
    for (int lessonNo = 1; lessonNo <= lessons_; ++lessonNo)
      if (cyan->At(day, lessonNo) && !classCells_.At(day, lessonNo).occupied) {
        placement_.Set(day, lessonNo, true);
        grid_->SetColor({day, lessonNo}, kGridCyan);
        grid_->SetToolTip({day, lessonNo}, tip);
      }
  marks_ = Marks::Placing;
  status_->SetPanel(1, kManualHelpPlacing);
}

void FrmManualSetLesson::MarkSwapTargets(GridLesson at) {
  Result<SwapTargets> found =
      orv::MarkSwapTargets(*ctx_.state.db, curClassCode_, at.day, at.lessonNo, lessons_);
  ResetCellColours();
  if (!found) return;
  targets_ = std::move(*found);
  selected_ = at;
  for (const SwapTarget& t : targets_.targets) {
    grid_->SetColor({t.day, t.lessonNo}, kGridYellow);
    grid_->SetToolTip({t.day, t.lessonNo}, TargetTip(classCells_.At(t.day, t.lessonNo), t));
  }
  grid_->SetColor(at, kGridRed);
  marks_ = Marks::Selected;
  status_->SetPanel(1, kManualHelpSelected);
}

void FrmManualSetLesson::Redraw(Marks keep) {
  const std::optional<GridLesson> current = grid_->Current();
  Result<WeekCells> loaded = LoadClassCells(*ctx_.state.db, curClassCode_, lessons_);
  classCells_ = loaded ? std::move(*loaded) : WeekCells(lessons_);
  ResetCellColours();
  if (current) grid_->SetCurrent(*current);
  FillUnplacedList();
  ShowRuleCheck();
  ShowHistory();
  if (keep == Marks::Placing && pendingLesson_ && pendingLesson_->classCode == curClassCode_)
    MarkPlacementTargets();
  else if (keep == Marks::Selected && classCells_.At(selected_.day, selected_.lessonNo).occupied)
    MarkSwapTargets(selected_);
}

FrmManualSetLesson::CellRole FrmManualSetLesson::RoleOf(GridLesson at) const {
  switch (marks_) {
    case Marks::Plain:
      break;
    case Marks::Placing:
      if (placement_.At(at.day, at.lessonNo)) return CellRole::PlacementTarget;
      break;
    case Marks::Selected:
      if (at == selected_) return CellRole::Selected;
      if (targets_.Find(at.day, at.lessonNo) != nullptr) return CellRole::SwapTarget;
      break;
  }
  return CellRole::Plain;
}

void FrmManualSetLesson::ClassGridReleased(Qt::MouseButton button, GridLesson at) {
  // The click means what the core found for the period when the marks were
  // drawn, whatever the cell's background shows.
  const CellRole role = RoleOf(at);
  const bool occupied = classCells_.At(at.day, at.lessonNo).occupied;
  bool changed = false;
  if (button == Qt::LeftButton) {
    if (occupied) {
      if (role != CellRole::Selected) MarkSwapTargets(at);
    } else if (role == CellRole::PlacementTarget) {
      if (pendingLesson_) {
        const UnplacedLesson p = *pendingLesson_;
        Result<LessonEdit> placed =
            history_.Place(curClassCode_, at.day, at.lessonNo, p.courseCode, p.teacherCode);
        Report(placed);
        Redraw(placed ? Marks::Plain : Marks::Placing);
        changed = placed.ok();
      }
    } else {
      ResetCellColours();
    }
  } else if (button == Qt::RightButton) {
    if (role == CellRole::Plain && !occupied) return;  // the teacher's week stays too
    changed = RightClick(at, role);
  } else {
    return;
  }
  TeacherFollowUp(at, changed);
}

bool FrmManualSetLesson::RightClick(GridLesson at, CellRole role) {
  if (role == CellRole::Plain) {
    const Marks keep = marks_;
    Result<LessonEdit> deleted = history_.Delete(curClassCode_, at.day, at.lessonNo);
    Report(deleted);
    if (deleted) Redraw(keep);
    return deleted.ok();
  }
  if (role == CellRole::SwapTarget) {
    Result<LessonEdit> swapped =
        history_.Swap(curClassCode_, selected_.day, selected_.lessonNo, at.day, at.lessonNo);
    Report(swapped);
    // Drawn from the tables whether or not the swap went through.
    Redraw(Marks::Plain);
    return true;
  }
  return false;  // the selected lesson and the placement targets
}

void FrmManualSetLesson::TeacherFollowUp(GridLesson at, bool reload) {
  const LessonCell& cell = classCells_.At(at.day, at.lessonNo);
  ShowTeacher(cell.occupied ? cell.teacherCode : std::string(), reload);
  if (cell.occupied) teacherGrid_->SetCurrent(at);
}

void FrmManualSetLesson::TeacherGridReleased(GridLesson at) {
  const LessonCell cell = teacherCells_.At(at.day, at.lessonNo);
  if (!cell.occupied) return;
  ShowClass(cell.classCode, false);
  grid_->SetCurrent(at);
}

void FrmManualSetLesson::Report(const Result<LessonEdit>& result, const QString& done) {
  // A failure shows the core's reason, which begins with the operation's
  // failure text ("写入失败" ...); a success names the change in its tooltip.
  if (result)
    ShowPanel(status_, 3, done.isEmpty() ? Q(EditDoneText(result->kind)) : done, Q(result->description));
  else
    ShowPanel(status_, 3, Q(result.message()), Q(result.message()));
}

void FrmManualSetLesson::UndoOrRedo(bool undo) {
  if (!(undo ? history_.CanUndo() : history_.CanRedo())) return;
  Result<LessonEdit> done = undo ? history_.Undo() : history_.Redo();
  if (!done) {
    Report(done);  // refused: nothing was written, nothing to redraw
    ShowHistory();
    return;
  }
  ShowClass(done->classCode, false);
  Redraw(Marks::Plain);
  if (const PeriodChange* first = FirstPeriod(*done)) {
    const GridLesson at{first->day, first->lessonNo};
    grid_->SetCurrent(at);
    // The week of the teacher whose lesson came or went.
    const std::optional<StoredLesson>& lesson = first->after ? first->after : first->before;
    ShowTeacher(lesson ? lesson->teacherCode : std::string(), true);
    teacherGrid_->SetCurrent(at);
  } else {
    LoadTeacherTimetable();
  }
  Report(done, undo ? QStringLiteral("撤销成功") : QStringLiteral("重做成功"));
}

void FrmManualSetLesson::ShowHistory() {
  undo_->setEnabled(history_.CanUndo());
  redo_->setEnabled(history_.CanRedo());
  undoKey_->setEnabled(history_.CanUndo());
  redoKey_->setEnabled(history_.CanRedo());
  undo_->setToolTip(Q(history_.UndoLabel()) + QStringLiteral("  (Ctrl+Z)"));
  redo_->setToolTip(Q(history_.RedoLabel()) + QStringLiteral("  (Ctrl+Y)"));
}

void FrmManualSetLesson::ShowRuleCheck() {
  if (curClassCode_.empty()) {
    ShowPanel(status_, 4, QString(), QString());
    return;
  }
  Result<std::vector<Finding>> findings = CheckClassTimetable(*ctx_.state.db, lessons_, curClassCode_);
  if (!findings) {
    ShowPanel(status_, 4, Q(findings.message()), Q(findings.message()));
    return;
  }
  const FindingCounts counts{CountFindings(*findings, Severity::kViolation),
                             CountFindings(*findings, Severity::kWarning)};
  QStringList lines;
  for (const Finding& f : *findings) {
    if (lines.size() == kFindingLines) {
      lines << QStringLiteral("……共 %1 条").arg(findings->size());
      break;
    }
    lines << Q(FindingLine(f));
  }
  ShowPanel(status_, 4, Q(FindingCountsText(counts)), lines.join('\n'));
}

void ShowManualSetLesson(UiContext& ctx, QWidget* parent) {
  FrmManualSetLesson window(ctx, parent);
  ctx.prompter.RunModal(window);
}

}  // namespace orv::ui
