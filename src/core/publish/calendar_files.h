// The files people take the timetable away in: an iCalendar file (RFC 5545)
// per teacher and per class, with a weekly event for each lesson at its bell
// time across the term, holidays left out and make-up days added; and one CSV
// file of every lesson that Excel and WPS open as it is.
#pragma once

#include <filesystem>
#include <string>

#include "core/calendar/term_calendar.h"
#include "core/outcome.h"
#include "core/publish/published_school.h"

namespace orv {

enum class CalendarOwner { Teacher, Class };

// The .ics text of one teacher's or class's lessons; summaries such as
// "数学 · 七（2）班". `stamp` is the DTSTAMP (UTC, "20261207T093000Z"), so the
// same publication always gives the same bytes.
std::string CalendarIcs(const PublishedSchool& school, const TermCalendar& calendar, CalendarOwner owner,
                        const std::string& code, const std::string& stamp);

// One row per lesson: 班级, 星期, 节次, 课程, 教师, 来源; UTF-8 with a BOM.
std::string LessonsCsv(const PublishedSchool& school);

}  // namespace orv
