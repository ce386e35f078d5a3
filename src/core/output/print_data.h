// SPDX-License-Identifier: GPL-3.0-or-later
// A print data document read back: what the print library lays out. The
// reader accepts either kind of document and tells them apart by the keyed
// cells of the school document.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/outcome.h"

namespace orv {

// A notice is made in memory only (NoticePrintData); no document file holds one.
enum class PrintDataKind { Timetable, School, Notice };

struct PrintCell {
  std::string course;  // course name, or course short name in the overview; blank when empty
  std::string second;  // class short name (teachers), teacher name (overview); blank when none
};

struct PrintSubject {
  std::string title;             // the title line as written: school, blanks, name (or the overview's title)
  std::string name;              // the overview row's class short name; "" in timetable documents
  std::vector<PrintCell> cells;  // cell order: lesson 1 days 1-5, lesson 2 days 1-5, ...
  int total = 0;                 // the lessons of the week (the last running total)
  std::vector<std::string> lines;  // a notice's sentences; its `name` is the line under the title
};

struct PrintData {
  PrintDataKind kind = PrintDataKind::Timetable;
  int lessonsPerDay = 0;  // 0 for a school document without any class
  std::vector<PrintSubject> subjects;
};

// Reads a document as WriteTimetableXml or WriteSchoolTimetableXml writes it.
// Fails (code -1, Chinese reason) when the text holds no document, or when
// its weeks are incomplete or of different lengths.
Result<PrintData> ParsePrintData(std::string_view text);

// Text with its leading and trailing blanks removed: the documents write a
// blank for an empty value and pad numbers.
std::string_view TrimmedValue(std::string_view text);

}  // namespace orv
