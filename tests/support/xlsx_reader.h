// SPDX-License-Identifier: GPL-3.0-or-later
// Reads back a workbook written by the export: a worksheet's cells,
// merges, column widths, row heights and each cell's borders, from the XML
// inside the .xlsx (unpacked with `unzip -p`).
#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace orv::test {

struct XlsxBorders {
  std::string left, right, top, bottom;  // "thin", "double", or "" for none
  bool operator==(const XlsxBorders&) const = default;
};

struct XlsxCell {
  std::string text;  // shared string or number as written
  XlsxBorders borders;
  bool wrap = false;
  bool centred = false;  // horizontally and vertically
  bool bold = false;
};

struct XlsxSheet {
  std::string name;
  std::map<std::string, XlsxCell> cells;  // by reference, "B3"
  std::vector<std::string> merges;        // "A1:AE1"
  std::map<int, double> widths;           // column (from 1) -> width as the user set it
  std::map<int, double> heights;          // row (from 1) -> height, for rows given one
  double defaultHeight = 0;
  std::map<std::string, std::string> lists;  // drop-downs: cell range ("C2:C1001") -> its list formula

  // The cell's text, "" when it has none.
  std::string Text(const std::string& ref) const;
  const XlsxCell* Find(const std::string& ref) const;
};

// The worksheet at `index` (from 0) in workbook order.
XlsxSheet ReadXlsx(const std::filesystem::path& path, int index = 0);
// Every worksheet's name in workbook order, and which of them are hidden.
std::vector<std::string> XlsxSheetNames(const std::filesystem::path& path);
std::vector<std::string> XlsxHiddenSheets(const std::filesystem::path& path);

// One file of the workbook's zip as text, e.g. "xl/workbook.xml"; "" when absent.
std::string XlsxEntry(const std::filesystem::path& path, const std::string& entry);

// "B3" for row 3, column 2 (both from 1).
std::string CellRef(int row, int col);

}  // namespace orv::test
