// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/editors/calendar_window.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <algorithm>

#include "core/domain/week.h"
#include "gui/common/editor_parts.h"
#include "gui/common/gui_support.h"

namespace orv::ui {

namespace {

const QString kCaption = QStringLiteral("作息时间与校历");

QDate ToQDate(const CivilDate& d) { return QDate(d.year, d.month, d.day); }
CivilDate ToCivil(const QDate& d) { return {d.year(), d.month(), d.day()}; }
int Minutes(const QTime& t) { return t.hour() * 60 + t.minute(); }
QTime ToQTime(int minutes) { return QTime(minutes / 60 % 24, minutes % 60); }

QDateEdit* MakeDateEdit(QWidget* parent, const char* name) {
  auto* edit = new QDateEdit(parent);
  edit->setObjectName(name);
  edit->setCalendarPopup(true);
  edit->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
  edit->setDateRange(QDate(2000, 1, 1), QDate(2099, 12, 31));
  // Room for the whole date beside the popup arrow.
  edit->setMinimumWidth(edit->fontMetrics().horizontalAdvance(QStringLiteral("2026-09-30")) + 48);
  return edit;
}

QTimeEdit* MakeTimeEdit(QWidget* parent, const QString& name) {
  auto* edit = new QTimeEdit(parent);
  edit->setObjectName(name);
  edit->setDisplayFormat(QStringLiteral("HH:mm"));
  edit->setFrame(false);
  return edit;
}

}  // namespace

CalendarWindow::CalendarWindow(UiContext& ctx, QWidget* parent) : QDialog(parent), ctx_(ctx) {
  setObjectName("frmCalendar");
  setWindowTitle(kCaption);
  lessonsPerDay_ = ctx_.state.week.lessonsPerDay;

  auto* term = new QGroupBox(QStringLiteral("学期"), this);
  term->setObjectName("fraTerm");
  termStart_ = MakeDateEdit(term, "dtpTermStart");
  weeks_ = new QSpinBox(term);
  weeks_->setObjectName("spnWeeks");
  weeks_->setRange(1, kMaxTermWeeks);
  weeks_->setSuffix(QStringLiteral(" 周"));
  summary_ = new QLabel(term);
  summary_->setObjectName("lblSummary");
  auto* termRow = new QHBoxLayout(term);
  termRow->addWidget(new QLabel(QStringLiteral("第一天"), term));
  termRow->addWidget(termStart_);
  termRow->addSpacing(12);
  termRow->addWidget(new QLabel(QStringLiteral("周数"), term));
  termRow->addWidget(weeks_);
  termRow->addSpacing(12);
  termRow->addWidget(summary_, 1);

  auto* bellFrame = new QGroupBox(QStringLiteral("作息时间"), this);
  bellFrame->setObjectName("fraBells");
  bells_ = new QTableWidget(lessonsPerDay_, 2, bellFrame);
  bells_->setObjectName("grdBells");
  bells_->setHorizontalHeaderLabels({QStringLiteral("上课"), QStringLiteral("下课")});
  bells_->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
  bells_->setSelectionMode(QAbstractItemView::NoSelection);
  for (int row = 0; row < lessonsPerDay_; ++row) {
    bells_->setVerticalHeaderItem(row, new QTableWidgetItem(QStringLiteral("第%1节").arg(row + 1)));
    starts_.push_back(MakeTimeEdit(bells_, QStringLiteral("tmeStart%1").arg(row + 1)));
    ends_.push_back(MakeTimeEdit(bells_, QStringLiteral("tmeEnd%1").arg(row + 1)));
    bells_->setCellWidget(row, 0, starts_.back());
    bells_->setCellWidget(row, 1, ends_.back());
  }
  bells_->setMinimumWidth(TwipsToPixels(3600));
  auto* bellLayout = new QVBoxLayout(bellFrame);
  bellLayout->addWidget(bells_);

  auto* holidayFrame = new QGroupBox(QStringLiteral("假日（不上课的日子）"), this);
  holidayFrame->setObjectName("fraHolidays");
  holidayList_ = new QListWidget(holidayFrame);
  holidayList_->setObjectName("lstHolidays");
  holidayFrom_ = MakeDateEdit(holidayFrame, "dtpHolidayFrom");
  holidayTo_ = MakeDateEdit(holidayFrame, "dtpHolidayTo");
  QPushButton* addHoliday = MakeCommandButton(holidayFrame, "cmdAddHoliday", QStringLiteral("添加"));
  QPushButton* removeHoliday = MakeCommandButton(holidayFrame, "cmdRemoveHoliday", QStringLiteral("删除"));
  auto* holidayRow = new QHBoxLayout;
  holidayRow->addWidget(new QLabel(QStringLiteral("从"), holidayFrame));
  holidayRow->addWidget(holidayFrom_);
  holidayRow->addWidget(new QLabel(QStringLiteral("至"), holidayFrame));
  holidayRow->addWidget(holidayTo_);
  holidayRow->addWidget(addHoliday);
  holidayRow->addWidget(removeHoliday);
  auto* holidayLayout = new QVBoxLayout(holidayFrame);
  holidayLayout->addWidget(holidayList_);
  holidayLayout->addLayout(holidayRow);

  auto* makeUpFrame = new QGroupBox(QStringLiteral("调休（周末按某天课表上课）"), this);
  makeUpFrame->setObjectName("fraMakeUps");
  makeUpList_ = new QListWidget(makeUpFrame);
  makeUpList_->setObjectName("lstMakeUps");
  makeUpDate_ = MakeDateEdit(makeUpFrame, "dtpMakeUp");
  makeUpWeekday_ = new QComboBox(makeUpFrame);
  makeUpWeekday_->setObjectName("cmbMakeUpWeekday");
  for (int day = 1; day <= kDaysPerWeek; ++day) makeUpWeekday_->addItem(Q(WeekdayName(day)), day);
  QPushButton* addMakeUp = MakeCommandButton(makeUpFrame, "cmdAddMakeUp", QStringLiteral("添加"));
  QPushButton* removeMakeUp = MakeCommandButton(makeUpFrame, "cmdRemoveMakeUp", QStringLiteral("删除"));
  auto* makeUpRow = new QHBoxLayout;
  makeUpRow->addWidget(makeUpDate_);
  makeUpRow->addWidget(new QLabel(QStringLiteral("按"), makeUpFrame));
  makeUpRow->addWidget(makeUpWeekday_);
  makeUpRow->addWidget(new QLabel(QStringLiteral("上课"), makeUpFrame));
  makeUpRow->addWidget(addMakeUp);
  makeUpRow->addWidget(removeMakeUp);
  auto* makeUpLayout = new QVBoxLayout(makeUpFrame);
  makeUpLayout->addWidget(makeUpList_);
  makeUpLayout->addLayout(makeUpRow);

  auto* days = new QVBoxLayout;
  days->addWidget(holidayFrame, 3);
  days->addWidget(makeUpFrame, 2);
  auto* middle = new QHBoxLayout;
  middle->addWidget(bellFrame);
  middle->addLayout(days, 1);

  QPushButton* save = MakeCommandButton(this, "cmdSave", QStringLiteral("保存(&S)"));
  QPushButton* close = MakeCommandButton(this, "cmdClose", QStringLiteral("关闭(&C)"));
  status_ = new StatusPanels(1, this);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(status_, 1);
  buttons->addWidget(save);
  buttons->addWidget(close);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(term);
  layout->addLayout(middle, 1);
  layout->addLayout(buttons);

  TermCalendar shown;
  if (Result<TermCalendar> stored = LoadTermCalendar(*ctx_.state.db)) {
    shown = std::move(*stored);
  } else {
    Tell(FailureText(QStringLiteral("读取校历失败！"), stored.outcome()));
  }
  // Without a term of its own the school starts from the usual one, keeping
  // any bell times it stored.
  if (!shown.start) {
    const std::vector<BellTime> bells = shown.bells;
    shown = DefaultTermCalendar(ToCivil(QDate::currentDate()), lessonsPerDay_);
    if (!bells.empty()) shown.bells = bells;
  }
  Fill(shown);
  saved_ = Current();

  connect(termStart_, &QDateEdit::dateChanged, this, &CalendarWindow::Refresh);
  connect(weeks_, &QSpinBox::valueChanged, this, &CalendarWindow::Refresh);
  // Most holidays are a single day: the end follows the start.
  connect(holidayFrom_, &QDateEdit::dateChanged, this, [this](const QDate& d) {
    if (holidayTo_->date() < d) holidayTo_->setDate(d);
  });
  connect(addHoliday, &QPushButton::clicked, this, &CalendarWindow::AddHoliday);
  connect(removeHoliday, &QPushButton::clicked, this, &CalendarWindow::RemoveHoliday);
  connect(addMakeUp, &QPushButton::clicked, this, &CalendarWindow::AddMakeUp);
  connect(removeMakeUp, &QPushButton::clicked, this, &CalendarWindow::RemoveMakeUp);
  connect(save, &QPushButton::clicked, this, &CalendarWindow::Save);
  connect(close, &QPushButton::clicked, this, &CalendarWindow::reject);
}

void CalendarWindow::Fill(const TermCalendar& c) {
  termStart_->setDate(ToQDate(c.start.value_or(CivilDate{2000, 1, 1})));
  weeks_->setValue(c.weeks);
  // A lesson without a stored bell follows the one before it, so the rows
  // never start out overlapping.
  int next = 8 * 60;
  for (int lesson = 1; lesson <= lessonsPerDay_; ++lesson) {
    const BellTime* b = c.BellOf(lesson);
    const BellTime bell = b ? *b : BellTime{lesson, next, next + 40};
    starts_[size_t(lesson - 1)]->setTime(ToQTime(bell.start));
    ends_[size_t(lesson - 1)]->setTime(ToQTime(bell.end));
    next = bell.end + 10;
  }
  holidays_ = c.holidays;
  makeUps_ = c.makeUps;
  holidayFrom_->setDate(termStart_->date());
  holidayTo_->setDate(termStart_->date());
  makeUpDate_->setDate(termStart_->date());
  ShowHolidays();
  ShowMakeUps();
  Refresh();
}

TermCalendar CalendarWindow::Current() const {
  TermCalendar c;
  c.start = ToCivil(termStart_->date());
  c.weeks = weeks_->value();
  for (int lesson = 1; lesson <= lessonsPerDay_; ++lesson)
    c.bells.push_back(
        {lesson, Minutes(starts_[size_t(lesson - 1)]->time()), Minutes(ends_[size_t(lesson - 1)]->time())});
  c.holidays = holidays_;
  c.makeUps = makeUps_;
  return c;
}

void CalendarWindow::ShowHolidays() {
  std::sort(holidays_.begin(), holidays_.end());
  holidayList_->clear();
  for (const auto& [first, last] : DateRuns(holidays_)) {
    const long long days = DayNumber(last) - DayNumber(first) + 1;
    QString text = Q(DateText(first)) + QStringLiteral("（%1）").arg(Q(WeekdayName(IsoWeekday(first))));
    if (days > 1)
      text += QStringLiteral(" 至 %1（%2），共 %3 天")
                  .arg(Q(DateText(last)), Q(WeekdayName(IsoWeekday(last))))
                  .arg(days);
    auto* item = new QListWidgetItem(text, holidayList_);
    item->setData(Qt::UserRole, DayNumber(first));
    item->setData(Qt::UserRole + 1, DayNumber(last));
  }
}

void CalendarWindow::ShowMakeUps() {
  std::sort(makeUps_.begin(), makeUps_.end(),
            [](const MakeUpDay& a, const MakeUpDay& b) { return a.date < b.date; });
  makeUpList_->clear();
  for (const MakeUpDay& m : makeUps_) {
    auto* item = new QListWidgetItem(Q(DateText(m.date) + "（" + WeekdayName(IsoWeekday(m.date)) + "）按" +
                                       WeekdayName(m.weekday) + "上课"),
                                     makeUpList_);
    item->setData(Qt::UserRole, DayNumber(m.date));
  }
}

void CalendarWindow::Refresh() { summary_->setText(Q(TermSummary(Current()))); }

void CalendarWindow::Tell(const QString& text) {
  ctx_.prompter.Message(this, MessageIcon::Warning, kCaption, text);
}

bool CalendarWindow::Accept(const TermCalendar& changed) {
  // Only what the change itself breaks is refused here: a bell still being
  // typed or a term being moved is for 保存 to judge.
  const std::string problem = CalendarProblem(changed, lessonsPerDay_);
  if (!problem.empty() && problem != CalendarProblem(Current(), lessonsPerDay_)) {
    Tell(Q(problem));
    return false;
  }
  holidays_ = changed.holidays;
  makeUps_ = changed.makeUps;
  ShowHolidays();
  ShowMakeUps();
  Refresh();
  return true;
}

bool CalendarWindow::AddHoliday() {
  const CivilDate first = ToCivil(holidayFrom_->date()), last = ToCivil(holidayTo_->date());
  if (last < first) {
    Tell(QStringLiteral("假日的结束日期（%1）早于开始日期（%2）。")
             .arg(Q(DateText(last)), Q(DateText(first))));
    return false;
  }
  TermCalendar changed = Current();
  for (long long n = DayNumber(first); n <= DayNumber(last); ++n) {
    const CivilDate d = DateOfDayNumber(n);
    if (std::find(changed.holidays.begin(), changed.holidays.end(), d) == changed.holidays.end())
      changed.holidays.push_back(d);
  }
  std::sort(changed.holidays.begin(), changed.holidays.end());
  return Accept(changed);
}

bool CalendarWindow::RemoveHoliday() {
  QListWidgetItem* item = holidayList_->currentItem();
  if (item == nullptr || !item->isSelected()) {
    Tell(kSelectFirst);
    return false;
  }
  const long long first = item->data(Qt::UserRole).toLongLong(),
                  last = item->data(Qt::UserRole + 1).toLongLong();
  TermCalendar changed = Current();
  std::erase_if(changed.holidays,
                [&](const CivilDate& d) { return first <= DayNumber(d) && DayNumber(d) <= last; });
  return Accept(changed);
}

bool CalendarWindow::AddMakeUp() {
  const MakeUpDay day{ToCivil(makeUpDate_->date()), makeUpWeekday_->currentData().toInt()};
  TermCalendar changed = Current();
  // The same date again is a new weekday for it.
  std::erase_if(changed.makeUps, [&](const MakeUpDay& m) { return m.date == day.date; });
  changed.makeUps.push_back(day);
  return Accept(changed);
}

bool CalendarWindow::RemoveMakeUp() {
  QListWidgetItem* item = makeUpList_->currentItem();
  if (item == nullptr || !item->isSelected()) {
    Tell(kSelectFirst);
    return false;
  }
  const long long date = item->data(Qt::UserRole).toLongLong();
  TermCalendar changed = Current();
  std::erase_if(changed.makeUps, [&](const MakeUpDay& m) { return DayNumber(m.date) == date; });
  return Accept(changed);
}

bool CalendarWindow::Save() {
  const TermCalendar c = Current();
  if (const Outcome saved = SaveTermCalendar(*ctx_.state.db, c, lessonsPerDay_); !saved) {
    status_->SetPanel(1, QStringLiteral("保存失败"));
    Tell(FailureText(QStringLiteral("校历没有保存！"), saved));
    return false;
  }
  saved_ = c;
  status_->SetPanel(1, QStringLiteral("保存成功"));
  return true;
}

void CalendarWindow::reject() {
  if (Current() != saved_ &&
      !ctx_.prompter.AskYesNo(this, kCaption,
                              QStringLiteral("校历的修改还没有保存，关闭后将丢失。确实要关闭吗？")))
    return;
  QDialog::reject();
}

void ShowCalendar(UiContext& ctx, QWidget* parent) {
  CalendarWindow window(ctx, parent);
  ctx.prompter.RunModal(window);
}

}  // namespace orv::ui
