// SPDX-License-Identifier: GPL-3.0-or-later
// The school term as a calendar: its first day and number of weeks, the bell
// times of each lesson (作息时间), the holidays and the make-up days (调休,
// a Saturday or Sunday that follows a weekday's timetable). The timetable
// says what happens on 星期三第2节; the term calendar says on which dates and
// at what time, which is what a phone calendar and a web page need.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/database/timetable_db.h"
#include "core/outcome.h"

namespace orv {

// A day of the Gregorian calendar.
struct CivilDate {
  int year = 1970, month = 1, day = 1;
  auto operator<=>(const CivilDate&) const = default;
};

// "2026-09-01"; nullopt for anything else, a date that does not exist included.
std::optional<CivilDate> ParseDate(std::string_view text);
std::string DateText(const CivilDate& date);  // "2026-09-01"
long long DayNumber(const CivilDate& date);   // days since 1970-01-01
CivilDate DateOfDayNumber(long long days);
CivilDate AddDays(const CivilDate& date, long long days);
int IsoWeekday(const CivilDate& date);  // 1 Monday … 7 Sunday

// Minutes since midnight; "08:00" and "8:00" both read.
std::optional<int> ParseClockTime(std::string_view text);
std::string ClockText(int minutes);  // "08:00"

struct BellTime {
  int lesson = 0;          // 1-7
  int start = 0, end = 0;  // minutes since midnight
  bool operator==(const BellTime&) const = default;
};

struct MakeUpDay {
  CivilDate date;
  int weekday = 0;  // the timetable day it follows, 1-5
  bool operator==(const MakeUpDay&) const = default;
};

struct TermCalendar {
  std::optional<CivilDate> start;  // nullopt: no term stated
  int weeks = 0;                   // 1-30
  std::vector<BellTime> bells;     // by lesson
  std::vector<CivilDate> holidays;
  std::vector<MakeUpDay> makeUps;
  bool operator==(const TermCalendar&) const = default;

  // The day after the last day of the term: the Monday after its last week
  // (weeks run Monday to Sunday; the first is the week of `start`).
  CivilDate End() const;
  bool Contains(const CivilDate& date) const;
  const BellTime* BellOf(int lesson) const;
};

inline constexpr int kMaxTermWeeks = 30;

// Why the calendar cannot be kept ("" when it can), in Chinese: weeks out of
// range, a lesson beyond the day, a bell that ends before it starts or
// overlaps the next, a holiday or make-up day outside the term or given twice,
// a make-up day on a school day or following no weekday.
std::string CalendarProblem(const TermCalendar& calendar, int lessonsPerDay);

// A date with lessons: the date and the timetable day (1-5) it follows.
struct SchoolDay {
  CivilDate date;
  int day = 0;
  bool operator==(const SchoolDay&) const = default;
};

// Every date of the term with lessons, in order: the weekdays that are no
// holiday, and the make-up days.
std::vector<SchoolDay> SchoolDays(const TermCalendar& calendar);

// "本学期 2026-09-01 至 2027-01-18，共 20 周，上课 96 天"; "尚未填写学期" without a start.
std::string TermSummary(const TermCalendar& calendar);

// "星期六" for 6: the names of all seven days, where kDayNames has the school's five.
std::string WeekdayName(int isoWeekday);
// The timetable day a make-up day follows: "3", "星期三" or "周三"; 1-5.
std::optional<int> ParseSchoolWeekday(std::string_view text);

// The dates in order, each run of consecutive days as its first and last
// date: how a school states its holidays ("10月1日至7日").
std::vector<std::pair<CivilDate, CivilDate>> DateRuns(std::vector<CivilDate> dates);

// A calendar a school can keep as it is: the term from the next 1 March or
// 1 September (today included), 20 weeks, lessons of 40 minutes from 08:00
// with 10-minute breaks, the afternoon from 14:00. No holidays yet.
TermCalendar DefaultTermCalendar(const CivilDate& today, int lessonsPerDay);

// The stored calendar; an empty one (no start) in a file that states none.
Result<TermCalendar> LoadTermCalendar(TimetableDb& db);
// Replaces the stored calendar in one transaction after CalendarProblem
// found nothing; refused with its reason and nothing written otherwise.
Outcome SaveTermCalendar(TimetableDb& db, const TermCalendar& calendar, int lessonsPerDay);

}  // namespace orv
