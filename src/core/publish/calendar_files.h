// SPDX-License-Identifier: GPL-3.0-or-later
// The files people take the timetable away in: an iCalendar file (RFC 5545)
// per teacher and per class, with a weekly event for each lesson at its bell
// time across the term, holidays left out and make-up days added; and one CSV
// file of every lesson that Excel and WPS open as it is.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "core/calendar/term_calendar.h"
#include "core/outcome.h"
#include "core/publish/published_school.h"

namespace orv {

enum class CalendarOwner { Teacher, Class };

// The .ics text of one teacher's or class's lessons; summaries such as
// "数学 · 七（2）班". `stamp` is the DTSTAMP (UTC, "20261207T093000Z"), so the
// same publication always gives the same bytes. A calendar without a term
// start has no dates to put lessons on: the file then holds no events, and
// callers had better not offer it. Lessons whose period has no bell time are
// left out too (LessonsWithoutBell names those periods).
std::string CalendarIcs(const PublishedSchool& school, const TermCalendar& calendar, CalendarOwner owner,
                        const std::string& code, const std::string& stamp);

// The lessons (1-7), in order, that the timetable uses and the calendar gives
// no bell time: their lessons are missing from every .ics file.
std::vector<int> LessonsWithoutBell(const PublishedSchool& school, const TermCalendar& calendar);

// One row per lesson: 班级, 星期, 节次, 课程, 教师, 来源; UTF-8 with a BOM.
std::string LessonsCsv(const PublishedSchool& school);

}  // namespace orv
