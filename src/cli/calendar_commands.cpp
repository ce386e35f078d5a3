// SPDX-License-Identifier: GPL-3.0-or-later
// calendar: the term calendar (学期, 作息时间, 假日, 调休) shown, or changed
// and shown. Every option is read before anything is written, and the
// calendar is stored whole or not at all, so a typing slip in the tenth
// --holiday never leaves half a calendar behind.
#include <algorithm>
#include <iostream>

#include "cli/commands.h"
#include "core/calendar/term_calendar.h"

namespace orv::cli {

namespace {

struct CalendarRequest {
  std::string db;
  std::optional<std::string> termStart;
  std::optional<std::string> weeks;
  std::vector<std::string> bells;
  std::vector<std::string> holidays;
  std::vector<std::string> makeUps;
  bool clearBells = false;
  bool clearHolidays = false;
  bool clearMakeUps = false;
  std::optional<int> lessons;

  bool Changes() const {
    return termStart || weeks || !bells.empty() || !holidays.empty() || !makeUps.empty() || clearBells ||
           clearHolidays || clearMakeUps;
  }
};

// A date the user typed, or the reason it is not one.
Result<CivilDate> ReadDate(const std::string& text, const std::string& what) {
  if (const std::optional<CivilDate> d = ParseDate(text)) return *d;
  return Outcome::Fail(what + "“" + text + "”不是有效的日期，应写成 YYYY-MM-DD，例如 2026-09-01");
}

Result<BellTime> ReadBell(const std::string& text) {
  const std::string shape = "作息时间“" + text + "”应写成 节次=上课-下课，例如 1=08:00-08:40";
  const size_t eq = text.find('='), dash = text.find('-', eq == std::string::npos ? 0 : eq);
  if (eq == std::string::npos || dash == std::string::npos) return Outcome::Fail(shape);
  const std::string lesson = text.substr(0, eq);
  if (lesson.size() != 1 || lesson[0] < '1' || lesson[0] > '9') return Outcome::Fail(shape);
  const std::optional<int> start = ParseClockTime(std::string_view(text).substr(eq + 1, dash - eq - 1)),
                           end = ParseClockTime(std::string_view(text).substr(dash + 1));
  if (!start || !end) return Outcome::Fail(shape);
  return BellTime{lesson[0] - '0', *start, *end};
}

// "D" or "D1..D2", every day of the range.
Result<std::vector<CivilDate>> ReadHoliday(const std::string& text) {
  const size_t dots = text.find("..");
  const Result<CivilDate> first = ReadDate(text.substr(0, dots), "假日");
  if (!first) return first.outcome();
  if (dots == std::string::npos) return std::vector<CivilDate>{*first};
  const Result<CivilDate> last = ReadDate(text.substr(dots + 2), "假日");
  if (!last) return last.outcome();
  if (*last < *first) return Outcome::Fail("假日范围“" + text + "”的结束日期早于开始日期");
  std::vector<CivilDate> days;
  // A term is at most kMaxTermWeeks long: a longer range cannot fit in it,
  // and is told by the calendar check from its first day outside the term.
  const long long span = std::min(DayNumber(*last) - DayNumber(*first), 7LL * kMaxTermWeeks);
  for (long long i = 0; i <= span; ++i) days.push_back(AddDays(*first, i));
  return days;
}

Result<MakeUpDay> ReadMakeUp(const std::string& text) {
  const size_t eq = text.find('=');
  if (eq == std::string::npos)
    return Outcome::Fail("调休“" + text + "”应写成 日期=星期，例如 2026-10-11=3 或 2026-10-11=星期三");
  const Result<CivilDate> date = ReadDate(text.substr(0, eq), "调休日");
  if (!date) return date.outcome();
  const std::optional<int> weekday = ParseSchoolWeekday(text.substr(eq + 1));
  if (!weekday) return Outcome::Fail("调休“" + text + "”的星期应为 1 至 5、星期一至星期五或周一至周五");
  return MakeUpDay{*date, *weekday};
}

// The stored calendar with the options applied, in the order a user means
// them: first what is cleared, then what is given.
Outcome Apply(const CalendarRequest& r, TermCalendar& c) {
  if (r.termStart) {
    const Result<CivilDate> start = ReadDate(*r.termStart, "学期第一天");
    if (!start) return start.outcome();
    c.start = *start;
  }
  if (r.weeks) {
    const std::string& w = *r.weeks;
    if (w.empty() || w.size() > 2 ||
        !std::all_of(w.begin(), w.end(), [](char ch) { return ch >= '0' && ch <= '9'; }))
      return Outcome::Fail("学期周数“" + w + "”应为1至" + std::to_string(kMaxTermWeeks) + "的整数");
    c.weeks = std::stoi(w);
  }
  if (r.clearBells) c.bells.clear();
  if (r.clearHolidays) c.holidays.clear();
  if (r.clearMakeUps) c.makeUps.clear();
  for (const std::string& text : r.bells) {
    const Result<BellTime> bell = ReadBell(text);
    if (!bell) return bell.outcome();
    std::erase_if(c.bells, [&](const BellTime& b) { return b.lesson == bell->lesson; });
    c.bells.push_back(*bell);
  }
  std::sort(c.bells.begin(), c.bells.end(),
            [](const BellTime& a, const BellTime& b) { return a.lesson < b.lesson; });
  // Given again, a holiday or make-up day is the same day: running the same
  // command twice leaves the calendar as the first run did.
  for (const std::string& text : r.holidays) {
    const Result<std::vector<CivilDate>> days = ReadHoliday(text);
    if (!days) return days.outcome();
    for (const CivilDate& d : *days)
      if (std::find(c.holidays.begin(), c.holidays.end(), d) == c.holidays.end()) c.holidays.push_back(d);
  }
  std::sort(c.holidays.begin(), c.holidays.end());
  for (const std::string& text : r.makeUps) {
    const Result<MakeUpDay> day = ReadMakeUp(text);
    if (!day) return day.outcome();
    std::erase_if(c.makeUps, [&](const MakeUpDay& m) { return m.date == day->date; });
    c.makeUps.push_back(*day);
  }
  std::sort(c.makeUps.begin(), c.makeUps.end(),
            [](const MakeUpDay& a, const MakeUpDay& b) { return a.date < b.date; });
  if (c.start && c.weeks == 0 && !r.weeks) return Outcome::Fail("请用 --weeks 填写学期周数");
  return Outcome::Ok();
}

void Print(const TermCalendar& c, int lessonsPerDay) {
  std::cout << TermSummary(c) << "\n作息时间：";
  if (c.bells.empty()) std::cout << "未填写";
  std::cout << "\n";
  if (!c.bells.empty()) {
    for (int lesson = 1; lesson <= std::max(lessonsPerDay, c.bells.back().lesson); ++lesson) {
      const BellTime* b = c.BellOf(lesson);
      std::cout << "  第" << lesson << "节 "
                << (b ? ClockText(b->start) + "-" + ClockText(b->end) : std::string("未填写")) << "\n";
    }
  }
  std::cout << "假日：" << (c.holidays.empty() ? "无" : "") << "\n";
  for (const auto& [first, last] : DateRuns(c.holidays)) {
    const long long days = DayNumber(last) - DayNumber(first) + 1;
    std::cout << "  " << DateText(first);
    if (days > 1) std::cout << " 至 " << DateText(last) << "（" << days << "天）";
    std::cout << "\n";
  }
  std::cout << "调休：" << (c.makeUps.empty() ? "无" : "") << "\n";
  for (const MakeUpDay& m : c.makeUps)
    std::cout << "  " << DateText(m.date) << "（" << WeekdayName(IsoWeekday(m.date)) << "）按"
              << WeekdayName(m.weekday) << "上课\n";
}

int RunCalendar(const CalendarRequest& r, Context& ctx) {
  auto db = OpenOrReport(r.db, r.Changes() ? DbAccess::kReadWrite : DbAccess::kReadOnly);
  if (!db) return kExitFailed;
  Result<TermCalendar> stored = LoadTermCalendar(*db);
  if (!stored) return Fail("读取校历失败！", stored.outcome());
  const int lessonsPerDay = ctx.LessonsPerDay(r.lessons, *db);
  TermCalendar c = std::move(*stored);
  if (r.Changes()) {
    if (const Outcome applied = Apply(r, c); !applied) return Fail("校历没有改变：" + applied.message());
    if (const Outcome saved = SaveTermCalendar(*db, c, lessonsPerDay); !saved)
      return Fail("校历没有改变：" + saved.message());
    std::cout << "校历已保存。\n";
  }
  Print(c, lessonsPerDay);
  return kExitDone;
}

}  // namespace

void AddCalendarCommands(CLI::App& app, Context& ctx) {
  static CalendarRequest r;
  auto* cal = app.add_subcommand(
      "calendar", "Show the term calendar (term, bell times, holidays, make-up days), or change it");
  cal->add_option("DB", r.db, "Database file")->required();
  cal->add_option("--term-start", r.termStart, "The term's first day, YYYY-MM-DD");
  cal->add_option("--weeks", r.weeks, "The term's number of weeks (1-30)");
  cal->add_option("--bell", r.bells, "A lesson's bell times, e.g. \"1=08:00-08:40\"; replaces that lesson's")
      ->allow_extra_args(false);
  cal->add_option("--holiday", r.holidays, "A holiday, YYYY-MM-DD, or a range, YYYY-MM-DD..YYYY-MM-DD")
      ->allow_extra_args(false);
  cal->add_option("--makeup", r.makeUps,
                  "A make-up day and the weekday it follows, e.g. 2026-10-11=3 or 2026-10-11=星期三")
      ->allow_extra_args(false);
  cal->add_flag("--clear-bells", r.clearBells, "Remove every bell time first");
  cal->add_flag("--clear-holidays", r.clearHolidays, "Remove every holiday first");
  cal->add_flag("--clear-makeups", r.clearMakeUps, "Remove every make-up day first");
  AddLessonsOption(cal, r.lessons);
  cal->callback([&ctx] { ctx.exitCode = RunCalendar(r, ctx); });
}

}  // namespace orv::cli
