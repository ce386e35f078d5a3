// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/output/print_data_rows.h"

#include "core/domain/week.h"
#include "core/output/print_document.h"

namespace orv {

namespace {

// Empty cells print as a blank, as the document has always written them.
const PrintCell kBlankCell{" ", " "};

PrintCell CellOf(const TimetableRow* row) {
  return row ? PrintCell{row->courseName, row->classShortName} : kBlankCell;
}

PrintData TimetableData(const std::vector<TimetableRow>& rows, std::string_view school, SchoolWeek week) {
  PrintData data{PrintDataKind::Timetable, 0, {}};
  for (const SubjectWeek& week : GroupSubjects(rows, week)) {
    PrintSubject subject{std::string(school) + "     " + week.first->name, "", {}, 0, {}};
    subject.cells.reserve(week.cells.size());
    for (const TimetableRow* row : week.cells) {
      subject.cells.push_back(CellOf(row));
      if (row) ++subject.total;
    }
    data.subjects.push_back(std::move(subject));
  }
  if (!data.subjects.empty()) data.lessonsPerDay = week.lessonsPerDay;
  return data;
}

PrintData SchoolData(const std::vector<TimetableRow>& rows, std::string_view school, SchoolWeek week,
                     const std::optional<CivilDate>& termStart) {
  PrintData data{PrintDataKind::School, 0, {}};
  const std::string title = SchoolTitle(school, termStart);
  for (const SubjectWeek& week : GroupSubjects(rows, week)) {
    PrintSubject subject{title, week.first->name, {}, 0, {}};
    subject.cells.reserve(week.cells.size());
    for (const TimetableRow* row : week.cells) {
      subject.cells.push_back(CellOf(row));
      // The overview counts what it shows: a lesson without a course name
      // leaves its cell blank.
      if (row && !TrimmedValue(row->courseName).empty()) ++subject.total;
    }
    data.subjects.push_back(std::move(subject));
  }
  if (!data.subjects.empty()) data.lessonsPerDay = week.lessonsPerDay;
  return data;
}

}  // namespace

PrintData PrintDataOf(TimetableScope scope, const std::vector<TimetableRow>& rows, std::string_view school,
                      SchoolWeek week, const std::optional<CivilDate>& termStart) {
  if (scope == TimetableScope::School) return SchoolData(rows, school, week, termStart);
  return TimetableData(rows, school, week);
}

std::string PrintTemplateNameOf(const PrintData& data, SchoolWeek week) {
  const int lessons = data.lessonsPerDay > 0 ? data.lessonsPerDay : week.lessonsPerDay;
  if (data.kind == PrintDataKind::School)
    return PrintTemplateName(TimetableScope::School, SchoolWeek(lessons));
  for (const PrintSubject& subject : data.subjects)
    for (const PrintCell& cell : subject.cells)
      if (!TrimmedValue(cell.second).empty())
        return PrintTemplateName(TimetableScope::Teacher, SchoolWeek(lessons));
  return PrintTemplateName(TimetableScope::Class, SchoolWeek(lessons));
}

}  // namespace orv
