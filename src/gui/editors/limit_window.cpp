// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/editors/limit_window.h"

#include <QGridLayout>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <array>

#include "core/database/school_rules.h"
#include "core/database/special_courses.h"
#include "gui/common/editor_parts.h"

namespace orv::ui {

namespace {

const QString kReadOk = QStringLiteral("读取成功");
const QString kReadFailed = QStringLiteral("读取失败");
const QString kWriteOk = QStringLiteral("写入成功");
const QString kWriteFailed = QStringLiteral("写入失败");

struct MarkItem {
  LimitMark mark;
  const char* name;
  QString text;
};
// PopMenu, in its order.
const std::array<MarkItem, 4> kMarkItems = {{
    {LimitMark::Best, "mnuZuiJiaWeiZhi", QStringLiteral("排课最佳位置")},
    {LimitMark::Normal, "mnuNormal", QStringLiteral("正常")},
    {LimitMark::Avoid, "mnuJinLiangBuPai", QStringLiteral("尽量不排")},
    {LimitMark::Never, "mnuBuPai", QStringLiteral("不排")},
}};

// Which stored rows the grid could not show, for the tooltip of "读取失败".
Outcome StrayRows(const std::vector<StrayMark>& stray) {
  if (stray.empty()) return Outcome::Ok();
  std::string where;
  for (const StrayMark& s : stray)
    where +=
        (where.empty() ? "" : "、") + SlotLabel(s.day, s.lessonNo) + "（" + std::to_string(s.attr) + "）";
  return Outcome::Fail("有 " + std::to_string(stray.size()) + " 条限制无法在表格中显示：" + where);
}

}  // namespace

const LimitWindowDesign& LimitDesign(LimitKind kind) {
  static const std::array<LimitWindowDesign, 4> kDesigns = {{
      {LimitKind::Class,
       "frmClassLimitInput",
       QStringLiteral("班级上课时间限制"),
       {"lblClass", QStringLiteral("班级"), "CmbClass", "CmdPrevClass", QStringLiteral("上一班级(&P)"),
        "CmdNextClass", QStringLiteral("下一班级(&N)")}},
      {LimitKind::Course,
       "frmCourseLimitInput",
       QStringLiteral("课程上课时间限制"),
       {"lblClass", QStringLiteral("课程"), "CmbCourse", "CmdPrev", QStringLiteral("上一课程(&P)"), "CmdNext",
        QStringLiteral("下一课程(&N)")}},
      {LimitKind::Teacher,
       "frmTeacherLimitInput",
       QStringLiteral("老师上课时间限制"),
       {"lblTeacher", QStringLiteral("老师"), "CmbTeacher", "CmdPrev", QStringLiteral("上一老师(&P)"),
        "CmdNext", QStringLiteral("下一老师(&N)")}},
      {LimitKind::ClassRoom,
       "frmClassRoomLimitInput",
       QStringLiteral("公共教室上课时间限制"),
       {"lblClassRoom", QStringLiteral("教室"), "CmbClassRoom", "CmdPrev", QStringLiteral("上一教室(&P)"),
        "CmdNext", QStringLiteral("下一教室(&N)")}},
  }};
  return kDesigns[static_cast<size_t>(DbValue(kind))];
}

LimitWindow::LimitWindow(UiContext& ctx, LimitKind kind, QWidget* parent)
    : QDialog(parent), ctx_(ctx), design_(LimitDesign(kind)), lessons_(ctx.state.week.lessonsPerDay) {
  setObjectName(design_.objectName);
  setWindowTitle(design_.caption);

  selector_ = MakeEntitySelector(this, design_.selector);

  auto* frame2 = new QGroupBox(this);
  frame2->setObjectName("Frame2");
  grid_ = new WeekGrid(RestrictionGridDesign(), frame2);
  grid_->Setup(lessons_);
  QPushButton* normalAll = MakeCommandButton(frame2, "cmdNormalAll", QStringLiteral("全部正常(&A)"));
  QPushButton* ok = MakeCommandButton(frame2, "cmdOK", QStringLiteral("退出(&Q)"));
  auto* buttons = new QVBoxLayout;
  buttons->addStretch();
  buttons->addWidget(normalAll);
  buttons->addWidget(ok);
  auto* inner = new QGridLayout(frame2);
  inner->addWidget(grid_, 0, 0);
  inner->addLayout(buttons, 0, 1);
  if (kind == LimitKind::Course) {
    special_ = new QCheckBox(kSpecialCourseText, frame2);
    special_->setObjectName("chkSpecialCourse");
    special_->setToolTip(
        QStringLiteral("例如信息技术课只有一个计算机房：自动排课时，同一节课全校只安排一个班上这门课"));
    const RuleKeyInfo& rooms = InfoOf(RuleKey::kRooms);
    rooms_ = new QSpinBox(frame2);
    rooms_->setObjectName("spnRooms");
    rooms_->setRange(rooms.minValue, rooms.maxValue);
    rooms_->setSuffix(QStringLiteral(" 间教室"));
    rooms_->setToolTip(Q(rooms.description));
    auto* specialRow = new QHBoxLayout;
    specialRow->addWidget(special_);
    specialRow->addWidget(rooms_);
    specialRow->addStretch();
    inner->addLayout(specialRow, 1, 0, 1, 2);
    connect(special_, &QCheckBox::clicked, this, &LimitWindow::ToggleSpecialCourse);
    connect(rooms_, &QSpinBox::valueChanged, this, &LimitWindow::StoreRooms);
  }

  status_ = new StatusPanels(2, this);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(selector_.frame);
  layout->addWidget(frame2, 1);
  layout->addWidget(status_);

  popMenu_ = new QMenu(QStringLiteral("PopMenu"), this);
  popMenu_->setObjectName("PopMenu");
  for (const MarkItem& m : kMarkItems) {
    QAction* item = popMenu_->addAction(m.text);
    item->setObjectName(m.name);
    item->setData(DbValue(m.mark));
  }

  connect(selector_.combo, &QComboBox::currentIndexChanged, this, &LimitWindow::ChooseEntity);
  connect(grid_, &WeekGrid::lessonReleased, this, &LimitWindow::GridReleased);
  connect(normalAll, &QPushButton::clicked, this, &LimitWindow::SetAllNormal);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);

  Result<std::vector<NamedCode>> names = LoadEntityNames(*ctx_.state.db, kind);
  if (!names) ShowOutcome(status_, 1, kReadFailed, names.outcome());
  FillEntitySelector(selector_.combo, names ? *names : std::vector<NamedCode>{});
  if (selector_.combo->count() > 0)
    selector_.combo->setCurrentIndex(0);  // shows the first entity
  else
    ShowSpecialCourse();
}

void LimitWindow::ChooseEntity() {
  curCode_ = SelectedCode(selector_.combo);
  status_->SetPanel(2, selector_.combo->currentText() + QStringLiteral("  限制特征"));
  LoadRestrictions();
  ShowSpecialCourse();
}

QColor LimitWindow::MarkColor(LimitMark mark) const {
  switch (mark) {
    case LimitMark::Best:
      return kGridCyan;
    case LimitMark::Normal:
      return grid_->PlainColor();
    case LimitMark::Avoid:
      return kGridSilver;
    case LimitMark::Never:
      return kGridGrey;
  }
  return grid_->PlainColor();
}

void LimitWindow::ShowMark(GridLesson at, LimitMark mark) {
  grid_->SetColor(at, MarkColor(mark));
  grid_->SetText(at, Q(MarkText(mark)));
}

void LimitWindow::LoadRestrictions() {
  grid_->ClearLessons();
  grid_->Setup(lessons_);
  if (curCode_.empty()) return;
  Result<LoadedWeekMarks> loaded =
      OpenWeekMarks(*ctx_.state.db, design_.kind, curCode_, ctx_.state.week.lessonsPerDay);
  if (!loaded) {
    ShowOutcome(status_, 1, kReadFailed, loaded.outcome());
    return;
  }
  // A cell without a row counts as normal, and says so.
  for (int day = 1; day <= kDaysPerWeek; ++day)
    for (int lessonNo = 1; lessonNo <= lessons_; ++lessonNo)
      ShowMark({day, lessonNo}, loaded->marks.At(day, lessonNo));
  // A value no window writes is left blank, so the odd cell stands out.
  for (const StrayMark& s : loaded->stray) {
    grid_->SetText({s.day, s.lessonNo}, QString());
    grid_->SetColor({s.day, s.lessonNo}, grid_->PlainColor());
  }
  const Outcome stray = StrayRows(loaded->stray);
  ShowOutcome(status_, 1, stray ? kReadOk : kReadFailed, stray);
}

void LimitWindow::SetCellAttr(LimitMark mark) {
  const std::optional<GridLesson> at = grid_->Current();
  if (!at || curCode_.empty()) return;
  const Outcome saved = SaveWeekMark(*ctx_.state.db, design_.kind, curCode_, at->day, at->lessonNo, mark);
  // A failed write leaves the cell showing what is stored.
  if (saved) ShowMark(*at, mark);
  ShowOutcome(status_, 1, saved ? kWriteOk : kWriteFailed, saved);
}

void LimitWindow::SetAllNormal() {
  if (curCode_.empty()) return;
  const Outcome saved = SaveWeekMarks(*ctx_.state.db, design_.kind, curCode_, WeekMarks(), lessons_);
  if (saved)
    for (int day = 1; day <= kDaysPerWeek; ++day)
      for (int lessonNo = 1; lessonNo <= lessons_; ++lessonNo) ShowMark({day, lessonNo}, LimitMark::Normal);
  ShowOutcome(status_, 1, saved ? kWriteOk : kWriteFailed, saved);
}

void LimitWindow::GridReleased(Qt::MouseButton button, GridLesson, const QPoint& globalPos) {
  // Every write needs a shown entity; a left release only moves the current cell.
  if (button != Qt::RightButton || curCode_.empty()) return;
  if (QAction* chosen = ctx_.prompter.PopupMenu(*popMenu_, globalPos))
    if (const std::optional<LimitMark> mark = MarkFromDb(chosen->data().toInt())) SetCellAttr(*mark);
}

void LimitWindow::ShowSpecialCourse() {
  if (special_ == nullptr) return;
  const QSignalBlocker block(special_);
  Result<bool> special = curCode_.empty() ? Result<bool>(false) : IsSpecialCourse(*ctx_.state.db, curCode_);
  special_->setChecked(special && *special);
  special_->setEnabled(special && !curCode_.empty());
  if (!special) ShowOutcome(status_, 1, kReadFailed, special.outcome());
  // One room unless the school said otherwise.
  const QSignalBlocker blockRooms(rooms_);
  int rooms = 1;
  if (special && *special) {
    const Result<std::vector<SchoolRule>> rules = LoadSchoolRules(*ctx_.state.db);
    if (!rules) ShowOutcome(status_, 1, kReadFailed, rules.outcome());
    for (const SchoolRule& r : rules ? *rules : std::vector<SchoolRule>{})
      if (r.key == RuleKey::kRooms && r.scope == RuleScope::kCourse && r.code == curCode_) rooms = r.value;
  }
  rooms_->setValue(rooms);
  rooms_->setEnabled(special_->isEnabled() && special_->isChecked());
}

void LimitWindow::StoreRooms(int rooms) {
  if (curCode_.empty() || !special_->isChecked()) return;
  // One room is what a special course has anyway: no rule is kept for it.
  const Outcome saved =
      rooms == 1 ? RemoveSchoolRule(*ctx_.state.db, RuleKey::kRooms, RuleScope::kCourse, curCode_, "")
                 : SetSchoolRule(*ctx_.state.db, {RuleKey::kRooms, RuleScope::kCourse, curCode_, "", rooms});
  ShowOutcome(status_, 1, saved ? kWriteOk : kWriteFailed, saved);
  if (!saved) ShowSpecialCourse();  // back to what is stored
}

void LimitWindow::ToggleSpecialCourse(bool special) {
  if (curCode_.empty()) return;
  // Unmarking the course removes its room count with the mark.
  const Outcome saved = orv::SetSpecialCourse(*ctx_.state.db, curCode_, special);
  ShowSpecialCourse();
  ShowOutcome(status_, 1, saved ? kWriteOk : kWriteFailed, saved);
}

void ShowLimitWindow(UiContext& ctx, LimitKind kind, QWidget* parent) {
  LimitWindow window(ctx, kind, parent);
  ctx.prompter.RunModal(window);
}

}  // namespace orv::ui
