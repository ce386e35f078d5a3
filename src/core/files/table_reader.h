// SPDX-License-Identifier: GPL-3.0-or-later
// Reads the tables a school keeps in spreadsheets (.xlsx workbooks and .csv
// files) into rows of cell texts, so the importer works on text alone and
// never sees the file format.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "core/outcome.h"

namespace orv {

// One sheet, or one CSV file. rows[i] is the sheet's row i+1, so the importer
// can name the row a user sees: rows left out of the file stay as empty rows.
// A row has no trailing empty cells and the table no trailing empty rows;
// an empty cell inside a row is an empty string. All text is UTF-8.
struct Table {
  std::string name;  // the sheet's name; for a CSV file, its name without extension
  std::vector<std::vector<std::string>> rows;
  // Why the sheet cannot be read faithfully (merged cells, a formula without
  // a cached value), with its rows left empty; empty when it can. A problem
  // belongs to its sheet rather than to the workbook, so that merged cells on
  // a sheet the importer does not read (a title on 说明) refuse nothing.
  std::string problem;
};

// The largest sheet part (uncompressed) or CSV file read. Anything larger is
// refused before it is read, so a bomb of a file cannot exhaust memory.
inline constexpr std::uint64_t kMaxTableBytes = 50ull * 1024 * 1024;

// Every worksheet of an .xlsx workbook in workbook order. Numbers come as
// their shortest text to the 15 digits Excel shows (5, not 5.0; 0.3, not
// 0.30000000000000004), dates as the serial number Excel keeps, error values
// (#N/A) as their text,
// formulas as their cached value, booleans as TRUE/FALSE. Refused with a
// Chinese message: a missing file, an .xls or encrypted workbook, a file that
// is not a (sound) zip, a sheet over kMaxTableBytes. Merged cells and a
// formula without a cached value are the sheet's Table::problem.
Result<std::vector<Table>> ReadWorkbook(const std::filesystem::path& path,
                                        std::uint64_t max_part_bytes = kMaxTableBytes);

// A CSV file in UTF-8 (with or without a byte order mark) or GBK/GB18030:
// text that is valid UTF-8 is taken as UTF-8, anything else as GB18030.
// Quoted fields may hold commas, doubled quotes and line breaks; lines end
// in LF or CRLF.
Result<Table> ReadCsv(const std::filesystem::path& path, std::uint64_t max_bytes = kMaxTableBytes);

}  // namespace orv
