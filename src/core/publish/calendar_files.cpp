// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/publish/calendar_files.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <set>
#include <tuple>

#include "core/domain/week.h"

namespace orv {

namespace {

constexpr std::string_view kZone = "Asia/Shanghai";

// RFC 5545 TEXT: a backslash, semicolon, comma and line break are escaped.
std::string IcsText(std::string_view text) {
  std::string out;
  for (char c : text) {
    if (c == '\\' || c == ';' || c == ',') {
      out += '\\';
      out += c;
    } else if (c == '\n') {
      out += "\\n";
    } else if (c != '\r') {
      out += c;
    }
  }
  return out;
}

// Content lines end in CRLF and are folded at 75 octets, never inside a
// UTF-8 character: a phone that splits "数" in two shows garbage.
void Line(std::string& out, std::string_view line) {
  size_t limit = 75;
  while (line.size() > limit) {
    size_t cut = limit;
    while (cut > 0 && (static_cast<unsigned char>(line[cut]) & 0xC0) == 0x80) --cut;
    out.append(line.substr(0, cut));
    out += "\r\n ";
    line.remove_prefix(cut);
    limit = 74;  // the leading space is one of the 75
  }
  out.append(line);
  out += "\r\n";
}

std::string LocalTime(const CivilDate& d, int minutes) {
  char text[32];
  std::snprintf(text, sizeof text, "%04d%02d%02dT%02d%02d00", d.year, d.month, d.day, minutes / 60,
                minutes % 60);
  return text;
}

// Stable across publications: a phone that imports the calendar again
// updates its events instead of doubling them.
std::string Uid(std::string_view key) {
  std::uint64_t h = 14695981039346656037ULL;
  for (char c : key) {
    h ^= static_cast<unsigned char>(c);
    h *= 1099511628211ULL;
  }
  char text[32];
  std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(h));
  return std::string(text) + "@orvandel";
}

std::string NameOf(const std::vector<NamedRecord>& list, const std::string& code) {
  for (const NamedRecord& r : list)
    if (r.code == code) return r.name;
  return code;
}

struct EventText {
  std::string summary, location;
};

EventText TextOf(const PublishedLesson& l, CalendarOwner owner) {
  if (owner == CalendarOwner::Teacher) return {l.courseName + " · " + l.className, l.className};
  return {l.teacherName.empty() ? l.courseName : l.courseName + " · " + l.teacherName, ""};
}

void Event(std::string& out, const std::string& uid, const std::string& stamp, const CivilDate& date,
           const BellTime& bell) {
  Line(out, "BEGIN:VEVENT");
  Line(out, "UID:" + uid);
  Line(out, "DTSTAMP:" + stamp);
  Line(out, "DTSTART;TZID=" + std::string(kZone) + ":" + LocalTime(date, bell.start));
  Line(out, "DTEND;TZID=" + std::string(kZone) + ":" + LocalTime(date, bell.end));
}

void EndEvent(std::string& out, const EventText& text) {
  Line(out, "SUMMARY:" + IcsText(text.summary));
  if (!text.location.empty()) Line(out, "LOCATION:" + IcsText(text.location));
  Line(out, "END:VEVENT");
}

std::vector<PublishedLesson> LessonsOf(const PublishedSchool& school, CalendarOwner owner,
                                       const std::string& code) {
  std::vector<PublishedLesson> out;
  for (const PublishedLesson& l : school.lessons)
    if ((owner == CalendarOwner::Teacher ? l.teacherCode : l.classCode) == code) out.push_back(l);
  std::stable_sort(out.begin(), out.end(), [](const PublishedLesson& a, const PublishedLesson& b) {
    return std::tie(a.day, a.lesson) < std::tie(b.day, b.lesson);
  });
  return out;
}

}  // namespace

std::string CalendarIcs(const PublishedSchool& school, const TermCalendar& calendar, CalendarOwner owner,
                        const std::string& code, const std::string& stamp) {
  const std::string name = NameOf(owner == CalendarOwner::Teacher ? school.teachers : school.classes, code);
  std::string out;
  Line(out, "BEGIN:VCALENDAR");
  Line(out, "PRODID:-//Orvandel//排课系统//ZH");
  Line(out, "VERSION:2.0");
  Line(out, "CALSCALE:GREGORIAN");
  Line(out, "METHOD:PUBLISH");
  Line(out, "X-WR-CALNAME:" + IcsText(name + "课表"));
  Line(out, "X-WR-TIMEZONE:" + std::string(kZone));
  // China has kept +08:00 all year since 1991; one STANDARD part says so.
  Line(out, "BEGIN:VTIMEZONE");
  Line(out, "TZID:" + std::string(kZone));
  Line(out, "BEGIN:STANDARD");
  Line(out, "DTSTART:19700101T000000");
  Line(out, "TZOFFSETFROM:+0800");
  Line(out, "TZOFFSETTO:+0800");
  Line(out, "TZNAME:CST");
  Line(out, "END:STANDARD");
  Line(out, "END:VTIMEZONE");

  if (calendar.start) {
    const std::vector<PublishedLesson> lessons = LessonsOf(school, owner, code);
    const std::set<CivilDate> holidays(calendar.holidays.begin(), calendar.holidays.end());
    const CivilDate last = AddDays(calendar.End(), -1);
    // UNTIL is in UTC because DTSTART names its zone: the end of the last
    // day of the term in Beijing time.
    char until[32];
    std::snprintf(until, sizeof until, "%04d%02d%02dT155959Z", last.year, last.month, last.day);
    const std::string owned = (owner == CalendarOwner::Teacher ? "teacher:" : "class:") + code;
    std::string previous;
    int inPeriod = 0;  // a second lesson in one period (a split class) gets a UID of its own
    for (const PublishedLesson& l : lessons) {
      const std::string period = std::to_string(l.day) + "-" + std::to_string(l.lesson);
      inPeriod = period == previous ? inPeriod + 1 : 0;
      previous = period;
      const BellTime* bell = calendar.BellOf(l.lesson);
      if (!bell) continue;  // see LessonsWithoutBell
      CivilDate first = *calendar.start;
      while (IsoWeekday(first) != l.day) first = AddDays(first, 1);
      std::vector<std::string> excluded;
      int held = 0;
      for (CivilDate d = first; d < calendar.End(); d = AddDays(d, 7)) {
        if (holidays.count(d))
          excluded.push_back(LocalTime(d, bell->start));
        else
          ++held;
      }
      if (held == 0) continue;  // every week of it falls on a holiday
      const EventText text = TextOf(l, owner);
      Event(out, Uid(owned + "|" + period + "|" + std::to_string(inPeriod)), stamp, first, *bell);
      Line(out, "RRULE:FREQ=WEEKLY;UNTIL=" + std::string(until));
      if (!excluded.empty()) {
        std::string line = "EXDATE;TZID=" + std::string(kZone) + ":";
        for (size_t i = 0; i < excluded.size(); ++i) line += (i ? "," : "") + excluded[i];
        Line(out, line);
      }
      EndEvent(out, text);
    }
    std::vector<MakeUpDay> makeUps = calendar.makeUps;
    std::sort(makeUps.begin(), makeUps.end(),
              [](const MakeUpDay& a, const MakeUpDay& b) { return a.date < b.date; });
    for (const MakeUpDay& m : makeUps) {
      if (!calendar.Contains(m.date)) continue;
      previous.clear();
      for (const PublishedLesson& l : lessons) {
        if (l.day != m.weekday) continue;
        const std::string period = std::to_string(l.lesson);
        inPeriod = period == previous ? inPeriod + 1 : 0;
        previous = period;
        const BellTime* bell = calendar.BellOf(l.lesson);
        if (!bell) continue;
        const EventText text = TextOf(l, owner);
        Event(out, Uid(owned + "|" + DateText(m.date) + "|" + period + "|" + std::to_string(inPeriod)), stamp,
              m.date, *bell);
        EndEvent(out, text);
      }
    }
  }
  Line(out, "END:VCALENDAR");
  return out;
}

std::vector<int> LessonsWithoutBell(const PublishedSchool& school, const TermCalendar& calendar) {
  std::set<int> missing;
  for (const PublishedLesson& l : school.lessons)
    if (!calendar.BellOf(l.lesson)) missing.insert(l.lesson);
  return {missing.begin(), missing.end()};
}

namespace {

// RFC 4180: a field with a comma, quote or line break is quoted, its quotes
// doubled. A name that begins like a formula (=, +, -, @) would be run by the
// spreadsheet that opens the file; a leading apostrophe keeps it text.
std::string CsvField(const std::string& name) {
  const std::string text =
      !name.empty() && std::string_view("=+-@").find(name[0]) != std::string_view::npos ? "'" + name : name;
  if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
  std::string out = "\"";
  for (char c : text) {
    if (c == '"') out += '"';
    out += c;
  }
  return out + "\"";
}

std::string_view OriginText(LessonOrigin origin) {
  switch (origin) {
    case LessonOrigin::Fixed:
      return "固定";
    case LessonOrigin::Manual:
      return "手工";
    case LessonOrigin::Automatic:
      break;
  }
  return "自动";
}

}  // namespace

std::string LessonsCsv(const PublishedSchool& school) {
  // The BOM is what makes Excel read the file as UTF-8 rather than GBK.
  std::string out = "\xEF\xBB\xBF班级,星期,节次,课程,教师,来源\r\n";
  for (const PublishedLesson& l : school.lessons) {
    out += CsvField(l.className) + "," + std::string(kDayNames[size_t(l.day - 1)]) + "," +
           std::to_string(l.lesson) + "," + CsvField(l.courseName) + "," + CsvField(l.teacherName) + "," +
           std::string(OriginText(l.origin)) + "\r\n";
  }
  return out;
}

}  // namespace orv
