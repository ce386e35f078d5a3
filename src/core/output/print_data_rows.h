// SPDX-License-Identifier: GPL-3.0-or-later
// The print data straight from the timetable rows: what the print library
// lays out, built in memory so that printing needs no document text and no
// file. It is the same data that writing the document (print_document.h) and
// reading it back (print_data.h) gives, which the tests hold it to.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/calendar/term_calendar.h"
#include "core/domain/week.h"
#include "core/output/print_data.h"
#include "core/output/timetable_rows.h"

namespace orv {

// The scope's data: the school data for the overview, the timetable data
// otherwise. Rows group into subjects and cells as GroupSubjects places them.
// The overview's title names the school year and term of `termStart` when given.
PrintData PrintDataOf(TimetableScope scope, const std::vector<TimetableRow>& rows, std::string_view school,
                      SchoolWeek week, const std::optional<CivilDate>& termStart = std::nullopt);

// The template a document is printed with when none is named: the overview's
// for school data, the teacher's when a cell has a second line (a class
// short name), the class's otherwise. Data without any class takes its
// lessons a day from `week.lessonsPerDay`.
std::string PrintTemplateNameOf(const PrintData& data, SchoolWeek week);

}  // namespace orv
