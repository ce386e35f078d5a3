// SPDX-License-Identifier: GPL-3.0-or-later
#include "printing/print_timetable.h"

#include "core/output/print_data_rows.h"
#include "core/output/print_document.h"
#include "core/session/program_dir.h"

namespace fs = std::filesystem;

namespace orv {

fs::path PrintTemplatePath(const fs::path& programDir, const std::string& name) {
  return FindProgramFile(programDir, name, ExecutableDirectory()).value_or(programDir / name);
}

Outcome PrintTimetable(TimetableScope scope, const std::vector<TimetableRow>& rows, std::string_view school,
                       SchoolWeek week, const fs::path& programDir, const PrintTarget& target,
                       const std::optional<CivilDate>& termStart) {
  if (rows.empty() && scope != TimetableScope::School)
    return Outcome::Fail(std::string(NoTimetableMessage(scope)), kNoTimetableData);
  const fs::path tpl = PrintTemplatePath(programDir, PrintTemplateName(scope, week));
  return PrintPages(PrintDataOf(scope, rows, school, week, termStart), target, tpl);
}

}  // namespace orv
