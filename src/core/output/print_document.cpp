// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/output/print_document.h"

#include "core/domain/week.h"
#include "core/files/output_file.h"

namespace fs = std::filesystem;

namespace orv {

namespace {

constexpr std::string_view kEol = "\r\n";

void Line(std::string& out, std::string_view a, std::string_view value = {}, std::string_view b = {}) {
  out.append(a).append(EscapeMarkup(value)).append(b).append(kEol);
}

void Head(std::string& out) {
  out.append("<root docname=\"Orvandel排课\">").append(kEol);
  out.append("<record>").append(kEol);
}

void Tail(std::string& out) {
  out.append("</record>").append(kEol);
  out.append("</root>").append(kEol);
}

Outcome WriteText(const fs::path& path, const std::string& text) {
  OutputFile file;
  const Outcome written = file.Begin(path) ? file.Write(text) : Outcome::Fail("");
  if (!written || !file.Commit()) return Outcome::Fail("无法写入打印数据文件：" + path.string());
  return Outcome::Ok();
}

}  // namespace

std::string PrintTemplateName(TimetableScope scope, SchoolWeek week) {
  const std::string lessons = std::to_string(week.lessonsPerDay);
  switch (scope) {
    case TimetableScope::Class:
    case TimetableScope::AllClasses:
      return "ClassSchd" + lessons + ".xml";
    case TimetableScope::Teacher:
    case TimetableScope::AllTeachers:
      return "TeacherSchd" + lessons + ".xml";
    case TimetableScope::School:
      break;
  }
  return "TotalSchd" + lessons + "A3.xml";
}

std::string EscapeMarkup(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '"':
        out += "&quot;";
        break;
      default:
        out += c;
    }
  }
  return out;
}

std::vector<SubjectWeek> GroupSubjects(const std::vector<TimetableRow>& rows, SchoolWeek week) {
  std::vector<SubjectWeek> subjects;
  const size_t cellCount = size_t(kDaysPerWeek) * size_t(week.lessonsPerDay);
  for (const TimetableRow& row : rows) {
    // A subject is one owner: two teachers who share a name stay two
    // subjects (and two pages) however their rows follow each other.
    const auto same = [&row](const TimetableRow* first) {
      return first->owner == row.owner && first->name == row.name;
    };
    if (subjects.empty() || !same(subjects.back().first))
      subjects.push_back({&row, std::vector<const TimetableRow*>(cellCount, nullptr)});
    if (row.day < 1 || row.day > kDaysPerWeek || row.lessonNo < 1 || row.lessonNo > week.lessonsPerDay)
      continue;
    const TimetableRow*& cell =
        subjects.back().cells[size_t((row.lessonNo - 1) * kDaysPerWeek + row.day - 1)];
    if (cell == nullptr) cell = &row;
  }
  return subjects;
}

std::string TimetableXmlText(const std::vector<TimetableRow>& rows, std::string_view school,
                             SchoolWeek week) {
  std::string out;
  Head(out);
  for (const SubjectWeek& subject : GroupSubjects(rows, week.lessonsPerDay)) {
    int total = 0;
    for (size_t i = 0; i < subject.cells.size(); ++i) {
      out.append("<tr>").append(kEol);
      if (i == 0)
        Line(out, "<title value=\"", std::string(school) + "     " + subject.first->name, "\"></title>");
      if (const TimetableRow* row = subject.cells[i]) {
        Line(out, "<coursename value=\"", row->courseName, "\"></coursename>");
        Line(out, "<classname value=\"", row->classShortName, "\"></classname>");
        ++total;
      } else {
        Line(out, "<coursename value=\" \"></coursename>");
        Line(out, "<classname value=\" \"></classname>");
      }
      Line(out, "<totallesson value=\" " + std::to_string(total) + " \"></totallesson>");
      out.append("</tr>").append(kEol);
    }
  }
  Tail(out);
  return out;
}

std::string SchoolTitle(std::string_view school, const std::optional<CivilDate>& termStart) {
  if (!termStart) return std::string(school) + std::string(kSchoolTitleTail);
  const bool autumn = termStart->month >= 8 || termStart->month == 1;
  const int first = termStart->month >= 8 ? termStart->year : termStart->year - 1;
  return std::string(school) + " " + std::to_string(first) + "--" + std::to_string(first + 1) + "学年度第" +
         (autumn ? "1" : "2") + "学期总课程表";
}

std::string SchoolTimetableXmlText(const std::vector<TimetableRow>& rows, std::string_view school,
                                   SchoolWeek week) {
  std::string out;
  Head(out);
  const std::string title = std::string(school) + std::string(kSchoolTitleTail);
  for (const SubjectWeek& subject : GroupSubjects(rows, week.lessonsPerDay)) {
    out.append("<tr>").append(kEol);
    Line(out, "<title value=\"", title, "\"></title>");
    size_t last = 0;  // one past the class's last lesson
    for (size_t i = 0; i < subject.cells.size(); ++i)
      if (subject.cells[i]) last = i + 1;
    for (size_t i = 0; i < subject.cells.size(); ++i) {
      const std::string key =
          "L" + std::to_string(i / kDaysPerWeek + 1) + std::to_string(i % kDaysPerWeek + 1) + " value=\"";
      const TimetableRow* row = subject.cells[i];
      // The cells that complete the week after the last lesson stand in a
      // <tr> of their own and carry no class name; the print library has
      // always received them so.
      const bool completing = i >= last;
      if (completing) out.append("<tr>").append(kEol);
      Line(out, "<coursename" + key, row ? row->courseName : " ", "\"></coursename>");
      Line(out, "<classname" + key, completing ? "" : subject.first->name, "\"></classname>");
      Line(out, "<teachername" + key, row ? row->classShortName : " ", "\"></teachername>");
      if (completing) out.append("</tr>").append(kEol);
    }
    out.append("</tr>").append(kEol);
  }
  Tail(out);
  return out;
}

Outcome WriteTimetableXml(const fs::path& path, const std::vector<TimetableRow>& rows,
                          std::string_view school, SchoolWeek week) {
  return WriteText(path, TimetableXmlText(rows, school, week.lessonsPerDay));
}

Outcome WriteSchoolTimetableXml(const fs::path& path, const std::vector<TimetableRow>& rows,
                                std::string_view school, SchoolWeek week) {
  return WriteText(path, SchoolTimetableXmlText(rows, school, week.lessonsPerDay));
}

std::string PrintDocumentOf(TimetableScope scope, const std::vector<TimetableRow>& rows,
                            std::string_view school, SchoolWeek week) {
  if (scope == TimetableScope::School) return SchoolTimetableXmlText(rows, school, week.lessonsPerDay);
  return TimetableXmlText(rows, school, week.lessonsPerDay);
}

Outcome WritePrintDocument(TimetableScope scope, const fs::path& path, const std::vector<TimetableRow>& rows,
                           std::string_view school, SchoolWeek week) {
  return WriteText(path, PrintDocumentOf(scope, rows, school, week.lessonsPerDay));
}

}  // namespace orv
