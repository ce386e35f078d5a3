// SPDX-License-Identifier: GPL-3.0-or-later
// The spreadsheet export: a timetable workbook (.xlsx) that any spreadsheet
// program opens. Class and teacher sheets stack one 11-row block per class or
// teacher; the whole-school sheet has one row per class and one column per
// lesson of the week, the days separated by double lines.
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

// The workbook file could not be created (e.g. the folder is not writable).
inline constexpr int kWorkbookNotCreated = -101;

// Write `rows` (as ReadTimetableRows gives them for the matching scope) to a
// new workbook at `path`. The file appears only complete: it is written beside
// and moved into place, so a failure leaves any file that was there. Fails
// with kWorkbookNotCreated or -1, each with the Chinese reason. A text longer
// than a cell holds (32,767 characters) is cut, and `warnings` (when given)
// gets one Chinese line for it.
Outcome ExportClassSheets(const std::filesystem::path& path, const std::vector<TimetableRow>& rows,
                          std::string_view school, SchoolWeek week,
                          std::vector<std::string>* warnings = nullptr);
Outcome ExportTeacherSheets(const std::filesystem::path& path, const std::vector<TimetableRow>& rows,
                            std::string_view school, SchoolWeek week,
                            std::vector<std::string>* warnings = nullptr);
// The overview's title names the term of `termStart` when given (SchoolTitle).
Outcome ExportTotalSheet(const std::filesystem::path& path, const std::vector<TimetableRow>& rows,
                         std::string_view school, SchoolWeek week,
                         std::vector<std::string>* warnings = nullptr,
                         const std::optional<CivilDate>& termStart = std::nullopt);

// The writer that fits the scope: class sheets for classes, teacher sheets
// for teachers, the whole-school sheet for the overview.
Outcome ExportTimetable(TimetableScope scope, const std::filesystem::path& path,
                        const std::vector<TimetableRow>& rows, std::string_view school, SchoolWeek week,
                        std::vector<std::string>* warnings = nullptr,
                        const std::optional<CivilDate>& termStart = std::nullopt);

}  // namespace orv
