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

std::string SelectionName(TimetableScope scope, const std::vector<TimetableRow>& rows) {
  switch (scope) {
    case TimetableScope::Class:
    case TimetableScope::Teacher:
      return rows.empty() ? std::string() : rows.front().name;
    case TimetableScope::AllClasses:
      return "全部班级";
    case TimetableScope::AllTeachers:
      return "全部老师";
    case TimetableScope::School:
      return "全校总表";
  }
  return {};
}

Outcome PrintTimetable(TimetableScope scope, const std::vector<TimetableRow>& rows, std::string_view school,
                       SchoolWeek week, const fs::path& programDir, const PrintTarget& given,
                       const std::optional<CivilDate>& termStart, std::vector<std::string>* warnings) {
  if (rows.empty() && scope != TimetableScope::School)
    return Outcome::Fail(std::string(NoTimetableMessage(scope)), kNoTimetableData);
  // The print queue and the PDF name the job after the school and selection.
  PrintTarget target = given;
  if (target.documentName.empty()) target.documentName = JobTitle(school, SelectionName(scope, rows));
  if (target.author.empty()) target.author = std::string(school);
  const fs::path tpl = PrintTemplatePath(programDir, PrintTemplateName(scope, week));
  return PrintPages(PrintDataOf(scope, rows, school, week, termStart), target, tpl, warnings);
}

}  // namespace orv
