// SPDX-License-Identifier: GPL-3.0-or-later
// export-data: a school's basic data in the exchange workbook, so that it can
// be edited in a spreadsheet, kept, or carried to another database.
#pragma once

#include <filesystem>

#include "core/database/timetable_db.h"
#include "core/exchange/template_workbook.h"
#include "core/outcome.h"

namespace orv {

// Every course (with its special-room marker), teacher, classroom, class and
// plan row, every restriction that is not 正常 and every stated rule, with
// names and codes, in code order. The drop-downs offer the school's own
// courses and teachers.
Result<ExchangeRows> ReadExchangeRows(TimetableDb& db);

Outcome ExportBasicData(TimetableDb& db, const std::filesystem::path& path);

}  // namespace orv
