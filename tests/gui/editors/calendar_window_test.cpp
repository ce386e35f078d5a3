// SPDX-License-Identifier: GPL-3.0-or-later
// 作息时间与校历: a school without a calendar saves a usable one at once; the
// term, holidays and make-up days entered in the window are stored together;
// a bad bell or day is told and stores nothing; closing never loses edits
// without a question.
#include "gui/editors/calendar_window.h"

#include <QDateEdit>
#include <QListWidget>
#include <QSpinBox>
#include <QTimeEdit>

#include "editor_test_support.h"
#include "gui/common/editor_parts.h"

namespace orv::test {
namespace {

class CalendarWindowTest : public EditorTest {
 protected:
  void OpenWindow() { Open<ui::CalendarWindow>(); }
  QDateEdit* DateBox(const char* name) { return Child<QDateEdit>(*window_, name); }
  QTimeEdit* TimeBox(const QString& name) { return Child<QTimeEdit>(*window_, name); }
  QListWidget* Items(const char* name) { return Child<QListWidget>(*window_, name); }
  QStringList Texts(const char* name) {
    QStringList texts;
    for (int i = 0; i < Items(name)->count(); ++i) texts << Items(name)->item(i)->text();
    return texts;
  }
  void Select(const char* list, int row) {
    Items(list)->setCurrentRow(row);
    Items(list)->item(row)->setSelected(true);
  }
  QString Summary() { return Child<QLabel>(*window_, "lblSummary")->text(); }
  TermCalendar Stored() { return LoadTermCalendar(db()).value(); }
  void AddHoliday(const QDate& from, const QDate& to) {
    DateBox("dtpHolidayFrom")->setDate(from);
    DateBox("dtpHolidayTo")->setDate(to);
    Click(Button("cmdAddHoliday"));
  }
  void AddMakeUp(const QDate& date, const QString& weekday) {
    DateBox("dtpMakeUp")->setDate(date);
    Choose(Combo("cmbMakeUpWeekday"), weekday);
    Click(Button("cmdAddMakeUp"));
  }
  // The autumn term of 2026 with the National Day week off and one make-up day.
  void EnterAutumn() {
    DateBox("dtpTermStart")->setDate(QDate(2026, 9, 1));
    Child<QSpinBox>(*window_, "spnWeeks")->setValue(20);
    AddHoliday(QDate(2026, 10, 1), QDate(2026, 10, 7));
    AddMakeUp(QDate(2026, 10, 11), "星期三");
  }
};

TEST_F(CalendarWindowTest, AnEmptySchoolSavesTheDefaultAndTheEnteredTermIsStored) {
  OpenWindow();
  const int lessons = program.state().week.lessonsPerDay;
  const QDate today = QDate::currentDate();
  const TermCalendar usual = DefaultTermCalendar({today.year(), today.month(), today.day()}, lessons);
  EXPECT_EQ(Summary(), QString::fromStdString(TermSummary(usual)));
  EXPECT_EQ(Child<QTableWidget>(*window_, "grdBells")->rowCount(), lessons);
  EXPECT_EQ(TimeBox("tmeStart5")->time(), QTime(14, 0));
  EXPECT_EQ(Count("select count(*) from Termtb"), 0);
  Click(Button("cmdSave"));
  EXPECT_EQ(Panel(1), "保存成功");
  EXPECT_EQ(Stored(), usual);

  EnterAutumn();
  EXPECT_EQ(Summary(), "本学期 2026-09-01 至 2027-01-17，共 20 周，上课 95 天");
  EXPECT_EQ(Texts("lstHolidays"), QStringList{"2026-10-01（星期四） 至 2026-10-07（星期三），共 7 天"});
  EXPECT_EQ(Texts("lstMakeUps"), QStringList{"2026-10-11（星期日）按星期三上课"});
  TimeBox("tmeEnd1")->setTime(QTime(8, 45));
  Click(Button("cmdSave"));
  EXPECT_TRUE(prompter.messages().empty()) << Said().toStdString();
  const TermCalendar stored = Stored();
  EXPECT_EQ(TermSummary(stored), "本学期 2026-09-01 至 2027-01-17，共 20 周，上课 95 天");
  EXPECT_EQ(stored.holidays.size(), 7u);
  EXPECT_EQ(stored.makeUps, (std::vector<MakeUpDay>{{{2026, 10, 11}, 3}}));
  EXPECT_EQ(stored.BellOf(1)->end, 8 * 60 + 45);

  // Opened again, the window shows what is stored and closes without a question.
  Click(Button("cmdClose"));
  OpenWindow();
  EXPECT_EQ(Texts("lstMakeUps"), QStringList{"2026-10-11（星期日）按星期三上课"});
  EXPECT_EQ(TimeBox("tmeEnd1")->time(), QTime(8, 45));
  Click(Button("cmdClose"));
  EXPECT_FALSE(window_->isVisible());
  EXPECT_TRUE(prompter.questions().empty());
}

TEST_F(CalendarWindowTest, AnOverlappingBellIsToldAndNothingChanges) {
  OpenWindow();
  EnterAutumn();
  Click(Button("cmdSave"));
  const TermCalendar before = Stored();
  TimeBox("tmeStart2")->setTime(QTime(8, 30));
  AddHoliday(QDate(2026, 12, 25), QDate(2026, 12, 25));  // a good change beside the bad one
  Click(Button("cmdSave"));
  EXPECT_EQ(Panel(1), "保存失败");
  EXPECT_EQ(Said(), "校历没有保存！\n第2节的上课时间（08:30）早于第1节的下课时间（08:40）");
  EXPECT_EQ(Stored(), before);
  // Closing now would lose the edits: asked, and No keeps the window.
  prompter.QueueYesNo(false);
  Click(Button("cmdClose"));
  EXPECT_TRUE(window_->isVisible());
  prompter.QueueYesNo(true);
  Click(Button("cmdClose"));
  EXPECT_FALSE(window_->isVisible());
  EXPECT_EQ(prompter.questions().size(), 2u);
  EXPECT_EQ(Stored(), before);
}

TEST_F(CalendarWindowTest, HolidaysAndMakeUpDaysAreAddedAndRemovedAndBadOnesAreTold) {
  OpenWindow();
  EnterAutumn();
  AddHoliday(QDate(2026, 12, 25), QDate(2026, 12, 25));
  AddHoliday(QDate(2026, 10, 6), QDate(2026, 10, 8));  // runs into the week off: one longer run
  EXPECT_EQ(Texts("lstHolidays"),
            (QStringList{"2026-10-01（星期四） 至 2026-10-08（星期四），共 8 天", "2026-12-25（星期五）"}));
  EXPECT_EQ(Summary(), "本学期 2026-09-01 至 2027-01-17，共 20 周，上课 93 天");

  prompter.ClearRecords();
  AddHoliday(QDate(2027, 1, 18), QDate(2027, 1, 19));
  EXPECT_EQ(Said(), "假日2027-01-18不在本学期（2026-09-01至2027-01-17）之内");
  DateBox("dtpHolidayFrom")->setDate(QDate(2026, 11, 3));
  DateBox("dtpHolidayTo")->setDate(QDate(2026, 11, 2));
  Click(Button("cmdAddHoliday"));
  EXPECT_EQ(Said(), "假日的结束日期（2026-11-02）早于开始日期（2026-11-03）。");
  AddMakeUp(QDate(2026, 10, 12), "星期一");
  EXPECT_TRUE(Said().startsWith("调休日2026-10-12是星期一，本来就上课")) << Said().toStdString();
  AddMakeUp(QDate(2026, 10, 4), "星期二");  // a Sunday inside the week off
  EXPECT_EQ(Said(), "2026-10-04填写了两次");
  EXPECT_EQ(prompter.messages().size(), 4u);
  EXPECT_EQ(Texts("lstHolidays").size(), 2);

  // The same date again takes the new weekday; a second make-up day sorts in.
  AddMakeUp(QDate(2026, 10, 11), "星期五");
  AddMakeUp(QDate(2026, 9, 27), "星期一");
  EXPECT_EQ(Texts("lstMakeUps"),
            (QStringList{"2026-09-27（星期日）按星期一上课", "2026-10-11（星期日）按星期五上课"}));

  Items("lstHolidays")->clearSelection();
  Click(Button("cmdRemoveHoliday"));
  EXPECT_EQ(Said(), ui::kSelectFirst);
  Select("lstHolidays", 0);
  Click(Button("cmdRemoveHoliday"));
  EXPECT_EQ(Texts("lstHolidays"), QStringList{"2026-12-25（星期五）"});
  Select("lstMakeUps", 1);
  Click(Button("cmdRemoveMakeUp"));
  EXPECT_EQ(Texts("lstMakeUps"), QStringList{"2026-09-27（星期日）按星期一上课"});
  EXPECT_EQ(Summary(), "本学期 2026-09-01 至 2027-01-17，共 20 周，上课 99 天");
  EXPECT_EQ(Count("select count(*) from CalendarDaytb"), 0);  // nothing stored before 保存
  Click(Button("cmdSave"));
  EXPECT_EQ(Count("select count(*) from CalendarDaytb"), 2);
  EXPECT_EQ(Stored().holidays, (std::vector<CivilDate>{{2026, 12, 25}}));
}

}  // namespace
}  // namespace orv::test
