// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/output/timetable_rows.h"

#include <optional>

#include "core/database/guard.h"
#include "core/database/record_names.h"

namespace orv {

namespace {

// Classes of one grade go in class-number order: the code is the grade digit
// followed by the number, so "110" (class 10) must come after "19", not
// between "11" and "12" as a plain text sort would put it. Every query ends in
// the owner's code and the code of whoever the second line names (or ''),
// and every order keeps one owner's rows together even when two owners share
// a name.
constexpr std::string_view kClassSql =
    "select C.Name as Name, B.Name as CourseName, '' as ClassShortName, A.Day, A.LessonNo, C.Code, ''"
    " from LessonListtb A, Coursetb B, Classtb C"
    " where A.CourseCode = B.Code and A.ClassCode = C.Code and C.Code = ? order by A.LessonNo, A.Day";
constexpr std::string_view kAllClassesSql =
    "select C.Name as Name, B.Name as CourseName, '' as ClassShortName, A.Day, A.LessonNo, C.Code, ''"
    " from LessonListtb A, Coursetb B, Classtb C"
    " where A.CourseCode = B.Code and A.ClassCode = C.Code"
    " order by substr(A.ClassCode,1,1), length(A.ClassCode), A.ClassCode, A.LessonNo, A.Day";
constexpr std::string_view kTeacherSql =
    "select D.Name as Name, B.Name as CourseName, C.ShortName as ClassShortName, A.Day, A.LessonNo, D.Code,"
    " C.Code"
    " from LessonListtb A, Coursetb B, Classtb C, Teachertb D"
    " where A.CourseCode = B.Code and A.ClassCode = C.Code and A.TeacherCode = D.Code and D.Code = ?"
    " order by A.LessonNo, A.Day";
constexpr std::string_view kAllTeachersSql =
    "select D.Name as Name, B.Name as CourseName, C.ShortName as ClassShortName, A.Day, A.LessonNo, D.Code,"
    " C.Code"
    " from LessonListtb A, Coursetb B, Classtb C, Teachertb D"
    " where A.CourseCode = B.Code and A.ClassCode = C.Code and A.TeacherCode = D.Code"
    " order by A.TeacherCode, A.LessonNo, A.Day";
constexpr std::string_view kSchoolSql =
    "select C.ShortName as Name, B.ShortName as CourseName, D.Name as ClassShortName, A.Day, A.LessonNo,"
    " C.Code, D.Code"
    " from LessonListtb A, Coursetb B, Classtb C, Teachertb D"
    " where A.CourseCode = B.Code and A.ClassCode = C.Code and A.TeacherCode = D.Code"
    " order by substr(A.ClassCode,1,1), length(A.ClassCode), A.ClassCode, A.LessonNo, A.Day";

// How a query's names are read: the owner's from which list and column, and
// whose name the second line carries (none for classes).
struct Naming {
  CodeTable owners;
  bool ownerShortNames;
  std::optional<CodeTable> second;
  bool secondShortNames;
};
constexpr Naming kClassNaming{CodeTable::Class, false, std::nullopt, false};
constexpr Naming kTeacherNaming{CodeTable::Teacher, false, CodeTable::Class, true};
constexpr Naming kSchoolNaming{CodeTable::Class, true, CodeTable::Teacher, false};

// The rows with each name made telling: the code follows a name that another
// record of its list shares (or a blank one), so two 张伟 get two titles, in
// the printout as in the workbook, and a lesson says which 张伟 teaches it.
Result<std::vector<TimetableRow>> Collect(TimetableDb& db, Cursor cursor, const Naming& naming) {
  std::vector<TimetableRow> rows;
  std::vector<std::string> secondCodes;
  while (cursor.Next()) {
    rows.push_back(
        {cursor.Text(0), cursor.Text(1), cursor.Text(2), cursor.Int(3), cursor.Int(4), cursor.Text(5)});
    secondCodes.push_back(cursor.Text(6));
  }
  Result<NameClashes> owners = NameClashes::Load(db, naming.owners, naming.ownerShortNames);
  if (!owners) return owners.outcome();
  for (TimetableRow& row : rows) row.name = owners->Label(row.name, row.owner);
  if (!naming.second) return rows;
  Result<NameClashes> seconds = NameClashes::Load(db, *naming.second, naming.secondShortNames);
  if (!seconds) return seconds.outcome();
  for (size_t i = 0; i < rows.size(); ++i)
    rows[i].classShortName = seconds->Label(rows[i].classShortName, secondCodes[i]);
  return rows;
}

Result<std::vector<TimetableChoice>> ReadChoices(TimetableDb& db, CodeTable table, std::string_view sql) {
  return Guarded("", [&]() -> Result<std::vector<TimetableChoice>> {
    Result<NameClashes> clashes = NameClashes::Load(db, table);
    if (!clashes) return clashes.outcome();
    std::vector<TimetableChoice> choices;
    Cursor c = db.Query(sql);
    while (c.Next()) choices.push_back({c.Text(0), clashes->Label(c.Text(1), c.Text(0))});
    return choices;
  });
}

}  // namespace

Result<std::vector<TimetableRow>> ReadTimetableRows(TimetableDb& db, const TimetableSelection& selection) {
  return Guarded("", [&]() -> Result<std::vector<TimetableRow>> {
    switch (selection.scope) {
      case TimetableScope::Class:
        return Collect(db, db.Query(kClassSql, selection.code), kClassNaming);
      case TimetableScope::AllClasses:
        return Collect(db, db.Query(kAllClassesSql), kClassNaming);
      case TimetableScope::Teacher:
        return Collect(db, db.Query(kTeacherSql, selection.code), kTeacherNaming);
      case TimetableScope::AllTeachers:
        return Collect(db, db.Query(kAllTeachersSql), kTeacherNaming);
      case TimetableScope::School:
        return Collect(db, db.Query(kSchoolSql), kSchoolNaming);
    }
    return Outcome::Fail("未知的课表范围");
  });
}

std::string_view NoTimetableMessage(TimetableScope scope) {
  switch (scope) {
    case TimetableScope::Class:
      return "该班级没有课表数据";
    case TimetableScope::Teacher:
      return "该教师没有课表数据";
    default:
      return "没有课表数据";
  }
}

Result<std::vector<TimetableChoice>> ReadClassChoices(TimetableDb& db) {
  return ReadChoices(db, CodeTable::Class, "select Code, Name from Classtb order by rowid");
}

Result<std::vector<TimetableChoice>> ReadTeacherChoices(TimetableDb& db) {
  return ReadChoices(db, CodeTable::Teacher, "select Code, Name from Teachertb order by Code");
}

}  // namespace orv
