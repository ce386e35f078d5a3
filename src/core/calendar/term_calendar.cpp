// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/calendar/term_calendar.h"

#include <algorithm>
#include <cstdio>
#include <set>

#include "core/database/guard.h"
#include "core/domain/week.h"

namespace orv {

namespace {

std::optional<int> Digits(std::string_view text) {
  if (text.empty() || text.size() > 4) return std::nullopt;
  int n = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    n = n * 10 + (c - '0');
  }
  return n;
}

int DaysInMonth(int year, int month) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  return month == 2 && leap ? 29 : kDays[month - 1];
}

// Holidays and make-up days are stored by kind.
constexpr int kHoliday = 0;
constexpr int kMakeUp = 1;

}  // namespace

std::optional<CivilDate> ParseDate(std::string_view text) {
  if (text.size() != 10 || text[4] != '-' || text[7] != '-') return std::nullopt;
  const std::optional<int> y = Digits(text.substr(0, 4)), m = Digits(text.substr(5, 2)),
                           d = Digits(text.substr(8, 2));
  if (!y || !m || !d || *y < 1900 || *m < 1 || *m > 12 || *d < 1 || *d > DaysInMonth(*y, *m))
    return std::nullopt;
  return CivilDate{*y, *m, *d};
}

std::string DateText(const CivilDate& date) {
  char text[16];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d", date.year, date.month, date.day);
  return text;
}

// Howard Hinnant's days-from-civil.
long long DayNumber(const CivilDate& date) {
  const int y = date.year - (date.month <= 2 ? 1 : 0);
  const int era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = unsigned(y - era * 400);
  const unsigned doy = unsigned((153 * (date.month + (date.month > 2 ? -3 : 9)) + 2) / 5 + date.day - 1);
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097LL + doe - 719468;
}

CivilDate DateOfDayNumber(long long days) {
  days += 719468;
  const long long era = (days >= 0 ? days : days - 146096) / 146097;
  const unsigned doe = unsigned(days - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  const int d = int(doy - (153 * mp + 2) / 5 + 1);
  const int m = int(mp < 10 ? mp + 3 : mp - 9);
  return {int(yoe + era * 400 + (m <= 2 ? 1 : 0)), m, d};
}

CivilDate AddDays(const CivilDate& date, long long days) { return DateOfDayNumber(DayNumber(date) + days); }

int IsoWeekday(const CivilDate& date) {
  const long long n = DayNumber(date);  // 1970-01-01 was a Thursday
  return int(((n + 3) % 7 + 7) % 7) + 1;
}

std::optional<int> ParseClockTime(std::string_view text) {
  const size_t colon = text.find(':');
  if (colon == std::string_view::npos || colon == 0 || colon > 2 || text.size() - colon != 3)
    return std::nullopt;
  const std::optional<int> h = Digits(text.substr(0, colon)), m = Digits(text.substr(colon + 1));
  if (!h || !m || *h > 23 || *m > 59) return std::nullopt;
  return *h * 60 + *m;
}

std::string ClockText(int minutes) {
  char text[16];
  std::snprintf(text, sizeof text, "%02d:%02d", (minutes / 60) % 100, minutes % 60);
  return text;
}

// Teaching weeks run Monday to Sunday, the first being the week of the first
// day, so a term that starts midweek still ends on a Sunday.
CivilDate TermCalendar::End() const {
  const CivilDate first = start.value_or(CivilDate{});
  return AddDays(first, 7LL * weeks - (IsoWeekday(first) - 1));
}

bool TermCalendar::Contains(const CivilDate& date) const { return start && *start <= date && date < End(); }

const BellTime* TermCalendar::BellOf(int lesson) const {
  for (const BellTime& b : bells)
    if (b.lesson == lesson) return &b;
  return nullptr;
}

std::string CalendarProblem(const TermCalendar& c, int lessonsPerDay) {
  if (!c.start) {
    if (c.weeks != 0 || !c.holidays.empty() || !c.makeUps.empty()) return "没有填写学期第一天";
  } else if (c.weeks < 1 || c.weeks > kMaxTermWeeks) {
    return "学期周数应为1至" + std::to_string(kMaxTermWeeks) + "的整数";
  }
  std::vector<BellTime> bells = c.bells;
  std::sort(bells.begin(), bells.end(),
            [](const BellTime& a, const BellTime& b) { return a.lesson < b.lesson; });
  for (size_t i = 0; i < bells.size(); ++i) {
    const BellTime& b = bells[i];
    const std::string name = "第" + std::to_string(b.lesson) + "节";
    if (b.lesson < 1 || b.lesson > lessonsPerDay)
      return name + "不在每天的" + std::to_string(lessonsPerDay) + "节课之内";
    if (i > 0 && bells[i - 1].lesson == b.lesson) return name + "的时间填写了两次";
    if (b.end <= b.start)
      return name + "的下课时间（" + ClockText(b.end) + "）应晚于上课时间（" + ClockText(b.start) + "）";
    if (i > 0 && b.start < bells[i - 1].end)
      return name + "的上课时间（" + ClockText(b.start) + "）早于第" + std::to_string(bells[i - 1].lesson) +
             "节的下课时间（" + ClockText(bells[i - 1].end) + "）";
  }
  std::set<CivilDate> seen;
  const std::string term =
      c.start ? "（" + DateText(*c.start) + "至" + DateText(AddDays(c.End(), -1)) + "）" : std::string();
  for (const CivilDate& d : c.holidays) {
    if (!c.Contains(d)) return "假日" + DateText(d) + "不在本学期" + term + "之内";
    if (!seen.insert(d).second) return DateText(d) + "填写了两次";
  }
  for (const MakeUpDay& m : c.makeUps) {
    if (!c.Contains(m.date)) return "调休日" + DateText(m.date) + "不在本学期" + term + "之内";
    if (!seen.insert(m.date).second) return DateText(m.date) + "填写了两次";
    if (IsoWeekday(m.date) <= kDaysPerWeek)
      return "调休日" + DateText(m.date) + "是" + std::string(kDayNames[size_t(IsoWeekday(m.date) - 1)]) +
             "，本来就上课：调休日应为星期六或星期日";
    if (m.weekday < 1 || m.weekday > kDaysPerWeek)
      return "调休日" + DateText(m.date) + "应按星期一至星期五之一上课";
  }
  return "";
}

std::vector<SchoolDay> SchoolDays(const TermCalendar& c) {
  std::vector<SchoolDay> out;
  if (!c.start) return out;
  const std::set<CivilDate> holidays(c.holidays.begin(), c.holidays.end());
  const long long first = DayNumber(*c.start), end = DayNumber(c.End());
  for (long long n = first; n < end; ++n) {
    const CivilDate date = DateOfDayNumber(n);
    const int weekday = IsoWeekday(date);
    if (weekday <= kDaysPerWeek && !holidays.count(date)) out.push_back({date, weekday});
    for (const MakeUpDay& m : c.makeUps)
      if (m.date == date) out.push_back({date, m.weekday});
  }
  return out;
}

std::string TermSummary(const TermCalendar& c) {
  if (!c.start) return "尚未填写学期";
  return "本学期 " + DateText(*c.start) + " 至 " + DateText(AddDays(c.End(), -1)) + "，共 " +
         std::to_string(c.weeks) + " 周，上课 " + std::to_string(SchoolDays(c).size()) + " 天";
}

std::string WeekdayName(int isoWeekday) {
  if (isoWeekday >= 1 && isoWeekday <= kDaysPerWeek) return std::string(kDayNames[size_t(isoWeekday - 1)]);
  if (isoWeekday == 6) return "星期六";
  if (isoWeekday == 7) return "星期日";
  return "第" + std::to_string(isoWeekday) + "天";
}

std::optional<int> ParseSchoolWeekday(std::string_view text) {
  for (int day = 1; day <= kDaysPerWeek; ++day) {
    const std::string_view name = kDayNames[size_t(day - 1)];  // "星期三"; "周三" shares its last character
    const std::string_view numeral = name.substr(name.size() - 3);
    if (text == std::to_string(day) || text == name || text == "周" + std::string(numeral)) return day;
  }
  return std::nullopt;
}

std::vector<std::pair<CivilDate, CivilDate>> DateRuns(std::vector<CivilDate> dates) {
  std::sort(dates.begin(), dates.end());
  dates.erase(std::unique(dates.begin(), dates.end()), dates.end());
  std::vector<std::pair<CivilDate, CivilDate>> runs;
  for (const CivilDate& d : dates) {
    if (!runs.empty() && DayNumber(runs.back().second) + 1 == DayNumber(d))
      runs.back().second = d;
    else
      runs.emplace_back(d, d);
  }
  return runs;
}

TermCalendar DefaultTermCalendar(const CivilDate& today, int lessonsPerDay) {
  TermCalendar c;
  for (const CivilDate candidate :
       {CivilDate{today.year, 3, 1}, CivilDate{today.year, 9, 1}, CivilDate{today.year + 1, 3, 1}}) {
    if (today <= candidate) {
      c.start = candidate;
      break;
    }
  }
  c.weeks = 20;
  const SchoolWeek week(lessonsPerDay);
  constexpr int kLesson = 40, kBreak = 10, kMorning = 8 * 60, kAfternoon = 14 * 60;
  int start = kMorning;
  for (int lesson = 1; lesson <= week.lessonsPerDay; ++lesson) {
    c.bells.push_back({lesson, start, start + kLesson});
    start = week.LunchAfter(lesson) ? kAfternoon : start + kLesson + kBreak;
  }
  return c;
}

Result<TermCalendar> LoadTermCalendar(TimetableDb& db) {
  return Guarded("读取校历失败：", [&]() -> Result<TermCalendar> {
    TermCalendar c;
    Transaction read(db);
    // A file from before the calendar, opened only to be read, is not
    // upgraded: it states no calendar.
    for (const char* table : {"Termtb", "BellTimetb", "CalendarDaytb"})
      if (!db.Exists("select 1 from sqlite_master where type='table' and name=?", table)) return c;
    for (Cursor r = db.Query("select StartDate, Weeks from Termtb where Id=1"); r.Next();) {
      c.start = ParseDate(r.Text(0));
      c.weeks = r.Int(1);
    }
    for (Cursor r = db.Query("select LessonNo, StartTime, EndTime from BellTimetb order by LessonNo");
         r.Next();) {
      const std::optional<int> start = ParseClockTime(r.Text(1)), end = ParseClockTime(r.Text(2));
      if (start && end) c.bells.push_back({r.Int(0), *start, *end});
    }
    for (Cursor r = db.Query("select Date, Kind, Weekday from CalendarDaytb order by Date"); r.Next();) {
      const std::optional<CivilDate> date = ParseDate(r.Text(0));
      if (!date) continue;
      if (r.Int(1) == kHoliday) c.holidays.push_back(*date);
      if (r.Int(1) == kMakeUp) c.makeUps.push_back({*date, r.Int(2)});
    }
    return c;
  });
}

Outcome SaveTermCalendar(TimetableDb& db, const TermCalendar& c, int lessonsPerDay) {
  if (const std::string problem = CalendarProblem(c, lessonsPerDay); !problem.empty())
    return Outcome::Fail(problem);
  return Guarded("保存校历失败：", [&]() -> Outcome {
    Transaction tx(db);
    db.Execute("delete from Termtb");
    db.Execute("delete from BellTimetb");
    db.Execute("delete from CalendarDaytb");
    if (c.start)
      db.Execute("insert into Termtb (Id, StartDate, Weeks) values (1, ?, ?)", DateText(*c.start), c.weeks);
    for (const BellTime& b : c.bells)
      db.Execute("insert into BellTimetb (LessonNo, StartTime, EndTime) values (?,?,?)", b.lesson,
                 ClockText(b.start), ClockText(b.end));
    for (const CivilDate& d : c.holidays)
      db.Execute("insert into CalendarDaytb (Date, Kind, Weekday) values (?,?,0)", DateText(d), kHoliday);
    for (const MakeUpDay& m : c.makeUps)
      db.Execute("insert into CalendarDaytb (Date, Kind, Weekday) values (?,?,?)", DateText(m.date), kMakeUp,
                 m.weekday);
    tx.Commit();
    return Outcome::Ok();
  });
}

}  // namespace orv
