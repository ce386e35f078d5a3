// Printing a document through the print library into a PDF in a temporary
// folder, as the print window and the command-line tool do.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "core/output/timetable_rows.h"
#include "pdf_text.h"
#include "support/temp_dir.h"

namespace orv::test {

inline std::filesystem::path TemplatePath(const std::string& name) {
  return std::filesystem::path(ORVANDEL_TEMPLATE_DIR) / name;
}

struct Printout {
  int code = -1;
  std::filesystem::path pdf;
};

// Writes the scope's document and prints it with the scope's template.
Printout PrintRows(const TempDir& dir, TimetableScope scope, const std::vector<TimetableRow>& rows,
                   int lessonsPerDay, const std::string& school = "育才实验学校");

}  // namespace orv::test
