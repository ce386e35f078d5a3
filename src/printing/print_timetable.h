// SPDX-License-Identifier: GPL-3.0-or-later
// The one print step of the print window and the command-line tool: the
// selection's rows made into print data in memory, laid out with the
// template of the scope and the lessons a day, and sent to the target. No
// document text and no file is written, only the PDF when that is the target.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "core/calendar/term_calendar.h"
#include "core/domain/week.h"
#include "core/outcome.h"
#include "core/output/timetable_rows.h"
#include "printing/print_pages.h"

namespace orv {

// The template called `name`, as FindProgramFile looks for it; the path in
// the program directory when it is nowhere, so that the message names where
// a school puts its own.
std::filesystem::path PrintTemplatePath(const std::filesystem::path& programDir, const std::string& name);

// What a selection is called in a job title: the class or teacher, or
// "全部班级", "全部老师", "全校总表".
std::string SelectionName(TimetableScope scope, const std::vector<TimetableRow>& rows);

// kNoTimetableData with NoTimetableMessage when a class or teacher selection
// has no lesson (the overview prints its header even then); otherwise what
// PrintPages reports. A target without a name or author gets the school's.
// The overview's title names the term of `termStart` when given. Cut names
// are reported as PrintPages reports them.
Outcome PrintTimetable(TimetableScope scope, const std::vector<TimetableRow>& rows, std::string_view school,
                       SchoolWeek week, const std::filesystem::path& programDir, const PrintTarget& target,
                       const std::optional<CivilDate>& termStart = std::nullopt,
                       std::vector<std::string>* warnings = nullptr);

}  // namespace orv
