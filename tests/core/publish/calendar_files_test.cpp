// SPDX-License-Identifier: GPL-3.0-or-later
// The calendar files as a phone reads them: libical's own parser takes the
// .ics apart, its recurrence iterator expands the weekly events, and the
// lessons it finds across a term with a holiday week and a make-up day are
// counted against the school days of the term. The CSV file as Excel reads it.
#include "core/publish/calendar_files.h"

#include <gtest/gtest.h>
#include <libical/ical.h>

#include <map>
#include <set>
#include <tuple>

namespace orv {
namespace {

CivilDate D(const char* text) { return ParseDate(text).value(); }

PublishedLesson L(std::string cls, int day, int lesson, std::string course, std::string teacher,
                  LessonOrigin origin = LessonOrigin::Automatic) {
  static const std::map<std::string, std::string> names = {{"701", "七（1）班"}, {"702", "七（2）班"},
                                                           {"01", "语文"},       {"02", "数学"},
                                                           {"T1", "王伟"},       {"T2", "李明"}};
  return {cls, names.at(cls), day, lesson, course, names.at(course), teacher, names.at(teacher), origin};
}

PublishedSchool School() {
  PublishedSchool s;
  s.week = SchoolWeek(7);
  s.classes = {{"701", "七（1）班"}, {"702", "七（2）班"}};
  s.teachers = {{"T1", "王伟"}, {"T2", "李明"}};
  // 702 has a split period (two lessons on 星期五第1节) and a seventh lesson
  // that has no bell time.
  s.lessons = {L("701", 1, 1, "02", "T1"), L("702", 1, 2, "02", "T1"), L("702", 3, 2, "02", "T1"),
               L("702", 3, 3, "01", "T2"), L("702", 5, 1, "01", "T2"), L("702", 5, 1, "02", "T1"),
               L("702", 2, 7, "01", "T2")};
  return s;
}

TermCalendar Autumn() {
  TermCalendar c;
  c.start = D("2026-09-01");  // a Tuesday
  c.weeks = 20;
  c.bells = {{1, 8 * 60, 8 * 60 + 40}, {2, 8 * 60 + 50, 9 * 60 + 30}, {3, 9 * 60 + 50, 10 * 60 + 30}};
  for (int d = 1; d <= 7; ++d) c.holidays.push_back({2026, 10, d});  // 星期四 to 星期三
  c.makeUps = {{D("2026-10-11"), 3}, {D("2026-09-27"), 1}};
  return c;
}

// Date ("2026-10-11"), start and end (minutes), summary and location.
using Occurrence = std::tuple<std::string, int, int, std::string, std::string>;

std::string DateKey(const icaltimetype& t) { return DateText({t.year, t.month, t.day}); }

// Every occurrence libical sees in the file, EXDATEs subtracted.
std::vector<Occurrence> Expand(const std::string& ics, std::set<std::string>* uids = nullptr) {
  icalcomponent* cal = icalparser_parse_string(ics.c_str());
  EXPECT_NE(cal, nullptr);
  std::vector<Occurrence> out;
  if (!cal) return out;
  EXPECT_EQ(icalcomponent_count_errors(cal), 0) << ics;
  for (icalcomponent* ev = icalcomponent_get_first_component(cal, ICAL_VEVENT_COMPONENT); ev;
       ev = icalcomponent_get_next_component(cal, ICAL_VEVENT_COMPONENT)) {
    if (uids) {
      EXPECT_TRUE(uids->insert(icalcomponent_get_uid(ev)).second) << icalcomponent_get_uid(ev);
    }
    const icaltimetype start = icalcomponent_get_dtstart(ev);
    const icaltimetype end = icalcomponent_get_dtend(ev);
    EXPECT_EQ(DateKey(start), DateKey(end));
    const char* location = icalcomponent_get_location(ev);
    auto at = [&](const icaltimetype& t) {
      return Occurrence{DateKey(t), start.hour * 60 + start.minute, end.hour * 60 + end.minute,
                        icalcomponent_get_summary(ev), location ? location : ""};
    };
    std::set<std::string> excluded;
    for (icalproperty* p = icalcomponent_get_first_property(ev, ICAL_EXDATE_PROPERTY); p;
         p = icalcomponent_get_next_property(ev, ICAL_EXDATE_PROPERTY))
      excluded.insert(DateKey(icalproperty_get_exdate(p)));
    icalproperty* rule = icalcomponent_get_first_property(ev, ICAL_RRULE_PROPERTY);
    if (!rule) {
      out.push_back(at(start));
      continue;
    }
    icalrecur_iterator* it = icalrecur_iterator_new(icalproperty_get_rrule(rule), start);
    for (icaltimetype t = icalrecur_iterator_next(it); !icaltime_is_null_time(t);
         t = icalrecur_iterator_next(it))
      if (!excluded.count(DateKey(t))) out.push_back(at(t));
    icalrecur_iterator_free(it);
  }
  icalcomponent_free(cal);
  return out;
}

TEST(CalendarFiles, LibicalExpandsEveryLessonOnEverySchoolDayOfTheTerm) {
  const PublishedSchool school = School();
  const TermCalendar term = Autumn();
  const std::vector<SchoolDay> days = SchoolDays(term);
  for (const auto& [owner, code] : {std::pair{CalendarOwner::Class, "702"},
                                    {CalendarOwner::Teacher, "T1"},
                                    {CalendarOwner::Teacher, "T2"},
                                    {CalendarOwner::Class, "701"}}) {
    std::set<std::string> uids;
    std::vector<Occurrence> seen = Expand(CalendarIcs(school, term, owner, code, "20261207T093000Z"), &uids);
    std::sort(seen.begin(), seen.end());
    // Independently: each lesson of the owner that has a bell, on each
    // school day that follows its weekday.
    std::vector<Occurrence> expected;
    for (const PublishedLesson& l : school.lessons) {
      if ((owner == CalendarOwner::Class ? l.classCode : l.teacherCode) != code) continue;
      const BellTime* bell = term.BellOf(l.lesson);
      if (!bell) continue;
      for (const SchoolDay& s : days)
        if (s.day == l.day)
          expected.push_back({DateText(s.date), bell->start, bell->end,
                              owner == CalendarOwner::Class ? l.courseName + " · " + l.teacherName
                                                            : l.courseName + " · " + l.className,
                              owner == CalendarOwner::Class ? "" : l.className});
    }
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(seen, expected) << code;
  }
  // The count spelled out for 702: 星期一 and 星期三 lose one day each to
  // the holiday week and gain one each from a make-up day; 星期五 loses one.
  // The term's 20 weeks run from the week of Tuesday 09-01 to Sunday
  // 2027-01-17: 19 Mondays (09-07 to 01-11), 20 Wednesdays, 20 Fridays.
  ASSERT_EQ(term.End(), D("2027-01-18"));
  EXPECT_EQ(Expand(CalendarIcs(school, term, CalendarOwner::Class, "702", "20261207T093000Z")).size(),
            size_t(1 * 19 + 2 * 20 + 2 * 19));
  EXPECT_EQ(LessonsWithoutBell(school, term), std::vector<int>{7});
}

TEST(CalendarFiles, LinesAreCrlfFoldedWithinCharactersAndTextIsEscaped) {
  PublishedSchool school = School();
  const std::string odd = "初一（2）班,实验;\\班 一个很长很长很长很长很长很长很长很长很长很长很长很长的名字";
  school.classes[1].name = odd;
  for (PublishedLesson& l : school.lessons)
    if (l.classCode == "702") l.className = odd;
  const std::string ics = CalendarIcs(school, Autumn(), CalendarOwner::Teacher, "T1", "20261207T093000Z");
  std::string unfolded;
  for (size_t at = 0; at < ics.size();) {
    const size_t end = ics.find("\r\n", at);
    ASSERT_NE(end, std::string::npos) << "the file ends in CRLF";
    const std::string line = ics.substr(at, end - at);
    EXPECT_LE(line.size(), 75u) << line;
    EXPECT_EQ(line.find('\n'), std::string::npos);
    ASSERT_FALSE(line.empty());
    // A line never starts with the continuation byte of a character cut in two.
    EXPECT_NE(static_cast<unsigned char>(line[line[0] == ' ' ? 1 : 0]) & 0xC0, 0x80) << line;
    unfolded += line[0] == ' ' ? line.substr(1) : "\n" + line;
    at = end + 2;
  }
  EXPECT_NE(unfolded.find("\nSUMMARY:数学 · 初一（2）班\\,实验\\;\\\\班 一个很长很长"), std::string::npos);
  EXPECT_NE(unfolded.find("\nX-WR-CALNAME:王伟课表\n"), std::string::npos);
  // UNTIL: the end of the term's last day in Beijing, in UTC.
  std::string last = DateText(AddDays(Autumn().End(), -1));
  last.erase(std::remove(last.begin(), last.end(), '-'), last.end());
  EXPECT_NE(unfolded.find("\nRRULE:FREQ=WEEKLY;UNTIL=" + last + "T155959Z\n"), std::string::npos) << unfolded;
  // libical reads the escaped name back as it was.
  std::set<std::string> locations;
  for (const Occurrence& o : Expand(ics)) locations.insert(std::get<4>(o));
  EXPECT_TRUE(locations.count(odd));
}

TEST(CalendarFiles, UidsStayWhenTheTimetableAroundThemChanges) {
  PublishedSchool school = School();
  auto uids = [&](const std::string& stamp) {
    std::set<std::string> out;
    Expand(CalendarIcs(school, Autumn(), CalendarOwner::Class, "702", stamp), &out);
    return out;
  };
  const std::set<std::string> first = uids("20261207T093000Z");
  EXPECT_EQ(first.size(), 5u + 3u);  // five weekly lessons with a bell, three on make-up days
  school.lessons.push_back(L("702", 4, 1, "01", "T2"));
  const std::set<std::string> later = uids("20261214T093000Z");
  EXPECT_EQ(later.size(), first.size() + 1);
  EXPECT_TRUE(std::includes(later.begin(), later.end(), first.begin(), first.end()));
  // No term stated: a calendar libical reads, without events.
  EXPECT_TRUE(Expand(CalendarIcs(school, TermCalendar{}, CalendarOwner::Class, "702", "x")).empty());
}

TEST(CalendarFiles, CsvHasABomOneQuotedRowPerLessonAndTheOrigin) {
  PublishedSchool school;
  school.lessons = {L("701", 1, 1, "02", "T1", LessonOrigin::Fixed),
                    L("702", 3, 2, "01", "T2", LessonOrigin::Manual), L("702", 5, 6, "01", "T2")};
  school.lessons[1].className = "七\"2\",实验班";
  // A name a spreadsheet would take for a formula stays text.
  school.lessons[2].teacherName = "=HYPERLINK(\"x\")";
  EXPECT_EQ(LessonsCsv(school),
            "\xEF\xBB\xBF班级,星期,节次,课程,教师,来源\r\n"
            "七（1）班,星期一,1,数学,王伟,固定\r\n"
            "\"七\"\"2\"\",实验班\",星期三,2,语文,李明,手工\r\n"
            "七（2）班,星期五,6,语文,\"'=HYPERLINK(\"\"x\"\")\",自动\r\n");
}

}  // namespace
}  // namespace orv
