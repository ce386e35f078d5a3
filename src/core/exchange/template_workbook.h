// SPDX-License-Identifier: GPL-3.0-or-later
// Writes the exchange workbook: the 说明 sheet, then one sheet per kind with
// bold headers and the given rows, and drop-down lists on every column that
// takes a known value. With no rows it is the template a school fills in.
#pragma once

#include <array>
#include <filesystem>
#include <string>
#include <vector>

#include "core/exchange/data_sheets.h"
#include "core/outcome.h"

namespace orv {

// The sheet that holds the drop-downs' values; hidden, and no kind of data.
inline constexpr std::string_view kListSheetName = "下拉选项";

struct ExchangeRows {
  // By SheetKind; each row's cells in the order of the sheet's columns.
  std::array<std::vector<std::vector<std::string>>, kSheetKindCount> rows;
  // The school's names the course and teacher columns offer; empty: no list.
  std::vector<std::string> courses, teachers;
};

// The file is the complete workbook or what was there before; an existing
// file is replaced (the caller asks the user first).
Outcome WriteExchangeWorkbook(const std::filesystem::path& path, const ExchangeRows& data);

inline Outcome WriteTemplateWorkbook(const std::filesystem::path& path) {
  return WriteExchangeWorkbook(path, ExchangeRows{});
}

}  // namespace orv
