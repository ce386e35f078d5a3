// SPDX-License-Identifier: GPL-3.0-or-later
// The print data document: the rows of one print command in the markup the
// print library lays out with a template. Two kinds: the timetable document
// (one week grid per class or teacher, one cell per <tr>) and the school
// document (one <tr> per class holding its whole week in keyed cells).
//
// Lines end in CR LF and the text is UTF-8. Names are escaped (&amp; &lt;
// &quot;) so that a course called 音乐&美术 cannot break the markup.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "core/calendar/term_calendar.h"
#include "core/domain/week.h"
#include "core/outcome.h"
#include "core/output/timetable_rows.h"

namespace orv {

// The overview's title after the school name; the blanks are left for the
// school year and the term to be written in by hand.
inline constexpr std::string_view kSchoolTitleTail = " 20    -- 20   学年度第  学期总课程表";

// The overview's title: the school and the tail, with the school year and
// term filled in when the term's first day is known. A term that starts from
// August to January is the autumn term, the first of its school year; one
// that starts from February to July is the spring term, the second of the
// year that began the August before: " 2026--2027学年度第1学期总课程表".
std::string SchoolTitle(std::string_view school, const std::optional<CivilDate>& termStart);

// The template the print library lays the scope's document out with:
// ClassSchd6.xml, TeacherSchd7.xml, TotalSchd6A3.xml ...
std::string PrintTemplateName(TimetableScope scope, SchoolWeek week);

// & < " as entities; everything else as it is.
std::string EscapeMarkup(std::string_view text);

// The document texts. `rows` as ReadTimetableRows gives them: one subject is
// a run of rows of the same owner (code and name), and every subject gets all 5 x
// week.lessonsPerDay cells. A row outside the week (day not 1-5, lesson not 1 to
// week.lessonsPerDay) has no cell and is left out; of two rows for the same cell
// the first is kept.
std::string TimetableXmlText(const std::vector<TimetableRow>& rows, std::string_view school, SchoolWeek week);
std::string SchoolTimetableXmlText(const std::vector<TimetableRow>& rows, std::string_view school,
                                   SchoolWeek week);

// The document of the scope: the school document for the overview, the
// timetable document otherwise.
std::string PrintDocumentOf(TimetableScope scope, const std::vector<TimetableRow>& rows,
                            std::string_view school, SchoolWeek week);
Outcome WritePrintDocument(TimetableScope scope, const std::filesystem::path& path,
                           const std::vector<TimetableRow>& rows, std::string_view school, SchoolWeek week);

// Write the document to `path`, replacing any file there. Code -1 with the
// reason when the file cannot be written.
Outcome WriteTimetableXml(const std::filesystem::path& path, const std::vector<TimetableRow>& rows,
                          std::string_view school, SchoolWeek week);
Outcome WriteSchoolTimetableXml(const std::filesystem::path& path, const std::vector<TimetableRow>& rows,
                                std::string_view school, SchoolWeek week);

// One subject's week: cells in print order (lesson 1 days 1-5, lesson 2 ...),
// each pointing at its row or null. Shared with the spreadsheet export so
// both outputs place and drop rows the same way.
struct SubjectWeek {
  const TimetableRow* first = nullptr;  // the subject's first row: its name
  std::vector<const TimetableRow*> cells;
};
std::vector<SubjectWeek> GroupSubjects(const std::vector<TimetableRow>& rows, SchoolWeek week);

}  // namespace orv
