// SPDX-License-Identifier: GPL-3.0-or-later
// The term calendar: dates that exist, weekdays, bell times that follow each
// other, holidays and make-up days inside the term, the school days they
// give, and a refused calendar that leaves the stored one alone.
#include <gtest/gtest.h>

#include <SQLiteCpp/SQLiteCpp.h>

#include "core/calendar/term_calendar.h"
#include "support/test_db.h"

namespace orv {
namespace {

CivilDate D(const char* text) { return ParseDate(text).value(); }

TermCalendar Autumn() {
  TermCalendar c;
  c.start = D("2026-09-01");  // a Tuesday
  c.weeks = 20;
  c.bells = {{1, 8 * 60, 8 * 60 + 40}, {2, 8 * 60 + 50, 9 * 60 + 30}};
  for (int d = 1; d <= 7; ++d) c.holidays.push_back({2026, 10, d});
  c.makeUps = {{D("2026-10-11"), 3}};
  return c;
}

TEST(TermCalendar, DatesAndClockTimesReadOnlyWhenTheyExist) {
  EXPECT_EQ(DateText(D("2028-02-29")), "2028-02-29");
  for (const char* bad : {"2026-02-29", "2026-13-01", "2026-9-1", "2026/09/01", "", "2026-09-31"})
    EXPECT_FALSE(ParseDate(bad)) << bad;
  EXPECT_EQ(IsoWeekday(D("2026-09-01")), 2);
  EXPECT_EQ(IsoWeekday(D("1970-01-01")), 4);
  EXPECT_EQ(AddDays(D("2026-12-31"), 1), D("2027-01-01"));
  EXPECT_EQ(DateOfDayNumber(DayNumber(D("2000-03-01"))), D("2000-03-01"));
  EXPECT_EQ(ParseClockTime("8:05"), 8 * 60 + 5);
  EXPECT_EQ(ClockText(13 * 60 + 5), "13:05");
  for (const char* bad : {"24:00", "08:60", "0800", "8:5", ""}) EXPECT_FALSE(ParseClockTime(bad)) << bad;
}

TEST(TermCalendar, SchoolDaysLeaveOutHolidaysAndWeekendsAndAddMakeUpDays) {
  const std::vector<SchoolDay> days = SchoolDays(Autumn());
  // 20 weeks from a Tuesday: 99 weekdays, less the 5 weekdays of the National Day week, plus one make-up.
  EXPECT_EQ(days.size(), 99u - 5u + 1u);
  EXPECT_EQ(days.front(), (SchoolDay{D("2026-09-01"), 2}));
  EXPECT_EQ(std::count(days.begin(), days.end(), SchoolDay{D("2026-10-11"), 3}), 1);
  EXPECT_EQ(
      std::count_if(days.begin(), days.end(), [](const SchoolDay& s) { return s.date == D("2026-10-08"); }),
      1);
  EXPECT_LT(days.back().date, Autumn().End());
}

TEST(TermCalendar, ABadCalendarIsToldAndNothingIsStored) {
  test::TestDb t;
  ASSERT_TRUE(SaveTermCalendar(t.db(), Autumn(), 7));
  const struct {
    const char* says;
    std::function<void(TermCalendar&)> spoil;
  } cases[] = {
      {"学期周数应为1至30的整数", [](TermCalendar& c) { c.weeks = 0; }},
      {"第2节的上课时间（08:30）早于第1节的下课时间（08:40）",
       [](TermCalendar& c) { c.bells[1].start = 8 * 60 + 30; }},
      {"第1节的下课时间（08:00）应晚于上课时间（08:00）", [](TermCalendar& c) { c.bells[0].end = 8 * 60; }},
      {"第7节不在每天的6节课之内",
       [](TermCalendar& c) {
         c.bells.push_back({7, 17 * 60, 17 * 60 + 40});
       }},
      {"假日2027-03-01不在本学期（2026-09-01至2027-01-17）之内",
       [](TermCalendar& c) { c.holidays.push_back(D("2027-03-01")); }},
      {"2026-10-11填写了两次", [](TermCalendar& c) { c.holidays.push_back(D("2026-10-11")); }},
      {"调休日2026-10-12是星期一，本来就上课", [](TermCalendar& c) { c.makeUps[0].date = D("2026-10-12"); }},
      {"应按星期一至星期五之一上课", [](TermCalendar& c) { c.makeUps[0].weekday = 6; }},
  };
  for (const auto& c : cases) {
    TermCalendar bad = Autumn();
    c.spoil(bad);
    const Outcome saved = SaveTermCalendar(t.db(), bad, 6);
    ASSERT_FALSE(saved) << c.says;
    EXPECT_NE(saved.message().find(c.says), std::string::npos) << saved.message();
    EXPECT_EQ(LoadTermCalendar(t.db()).value(), Autumn());
  }
}

TEST(TermCalendar, ATermStartedMidweekEndsOnTheSundayOfItsLastWeek) {
  // Teaching weeks run Monday to Sunday, the first being the week of the
  // first day: 20 weeks from Tuesday 1 September end on Sunday 17 January,
  // not on a lone Monday in a 21st week.
  TermCalendar c;
  c.start = D("2026-09-01");
  c.weeks = 20;
  EXPECT_EQ(c.End(), D("2027-01-18"));
  EXPECT_TRUE(c.Contains(D("2027-01-17")));
  EXPECT_FALSE(c.Contains(D("2027-01-18")));
  EXPECT_FALSE(c.Contains(D("2026-08-31")));  // the Monday of the first week is still holidays
  EXPECT_EQ(SchoolDays(c).size(), 4u + 19u * 5u);
  EXPECT_EQ(SchoolDays(c).back().date, D("2027-01-15"));
  c.start = D("2026-08-31");  // from a Monday the weeks are whole
  EXPECT_EQ(c.End(), D("2027-01-18"));
  EXPECT_EQ(SchoolDays(c).size(), 100u);
}

TEST(TermCalendar, AFileFromBeforeTheCalendarReadsAsHavingNoneWhenOnlyRead) {
  test::TestDb t;
  t.Close();
  {
    // As an earlier version wrote it: no calendar tables.
    SQLite::Database raw(t.path().string(), SQLite::OPEN_READWRITE);
    for (const char* table : {"Termtb", "BellTimetb", "CalendarDaytb"})
      raw.exec(std::string("DROP TABLE ") + table);
    raw.exec("PRAGMA user_version=3");
  }
  {
    auto reader = TimetableDb::Open(t.path(), DbAccess::kReadOnly);
    ASSERT_TRUE(reader) << reader.message();
    const Result<TermCalendar> read = LoadTermCalendar(**reader);
    ASSERT_TRUE(read) << read.message();
    EXPECT_EQ(*read, TermCalendar{});
  }
  t.Reopen();  // opened for writing, the file gains the tables
  ASSERT_TRUE(SaveTermCalendar(t.db(), Autumn(), 7));
  EXPECT_EQ(LoadTermCalendar(t.db()).value(), Autumn());
}

TEST(TermCalendar, TheDefaultTermStartsOnTheNextFirstOfMarchOrSeptemberAndCanBeKept) {
  EXPECT_EQ(DefaultTermCalendar(D("2026-12-07"), 6).start, D("2027-03-01"));
  EXPECT_EQ(DefaultTermCalendar(D("2026-09-01"), 6).start, D("2026-09-01"));
  EXPECT_EQ(DefaultTermCalendar(D("2026-03-02"), 6).start, D("2026-09-01"));
  EXPECT_EQ(DefaultTermCalendar(D("2026-01-10"), 6).start, D("2026-03-01"));
  const TermCalendar seven = DefaultTermCalendar(D("2026-07-01"), 7);
  EXPECT_EQ(seven.weeks, 20);
  ASSERT_EQ(seven.bells.size(), 7u);
  EXPECT_EQ(seven.bells[3], (BellTime{4, 10 * 60 + 30, 11 * 60 + 10}));
  EXPECT_EQ(seven.bells[4], (BellTime{5, 14 * 60, 14 * 60 + 40}));
  EXPECT_EQ(seven.bells[6], (BellTime{7, 15 * 60 + 40, 16 * 60 + 20}));
  for (int lessons : {4, 6, 7})
    EXPECT_EQ(CalendarProblem(DefaultTermCalendar(D("2026-07-01"), lessons), lessons), "");
  EXPECT_EQ(TermSummary(Autumn()), "本学期 2026-09-01 至 2027-01-17，共 20 周，上课 95 天");
  EXPECT_EQ(TermSummary(TermCalendar{}), "尚未填写学期");
}

TEST(TermCalendar, HolidaysGroupIntoRunsAndWeekdaysReadInEveryWayASchoolWritesThem) {
  const std::vector<std::pair<CivilDate, CivilDate>> runs = DateRuns(
      {D("2027-01-01"), D("2026-12-31"), D("2026-10-02"), D("2026-10-01"), D("2026-10-01"), D("2026-12-25")});
  ASSERT_EQ(runs.size(), 3u);
  EXPECT_EQ(runs[0], std::make_pair(D("2026-10-01"), D("2026-10-02")));
  EXPECT_EQ(runs[1], std::make_pair(D("2026-12-25"), D("2026-12-25")));
  EXPECT_EQ(runs[2], std::make_pair(D("2026-12-31"), D("2027-01-01")));
  EXPECT_EQ(ParseSchoolWeekday("3"), 3);
  EXPECT_EQ(ParseSchoolWeekday("星期五"), 5);
  EXPECT_EQ(ParseSchoolWeekday("周一"), 1);
  for (const char* bad : {"0", "6", "星期六", "周日", "三", ""}) EXPECT_FALSE(ParseSchoolWeekday(bad)) << bad;
  EXPECT_EQ(WeekdayName(7), "星期日");
}

}  // namespace
}  // namespace orv
