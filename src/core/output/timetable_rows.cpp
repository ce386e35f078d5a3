#include "core/output/timetable_rows.h"

#include "core/database/record_names.h"

namespace orv {

namespace {

// Classes of one grade go in class-number order: the code is the grade digit
// followed by the number, so "110" (class 10) must come after "19", not
// between "11" and "12" as a plain text sort would put it. Every query ends in
// the owner's code, and every order keeps one owner's rows together even when
// two owners share a name.
constexpr std::string_view kClassSql =
    "select C.Name as Name, B.Name as CourseName, '' as ClassShortName, A.Day, A.LessonNo, C.Code"
    " from LessonListtb A, Coursetb B, Classtb C"
    " where A.CourseCode = B.Code and A.ClassCode = C.Code and C.Code = ? order by A.LessonNo, A.Day";
constexpr std::string_view kAllClassesSql =
    "select C.Name as Name, B.Name as CourseName, '' as ClassShortName, A.Day, A.LessonNo, C.Code"
    " from LessonListtb A, Coursetb B, Classtb C"
    " where A.CourseCode = B.Code and A.ClassCode = C.Code"
    " order by substr(A.ClassCode,1,1), length(A.ClassCode), A.ClassCode, A.LessonNo, A.Day";
constexpr std::string_view kTeacherSql =
    "select D.Name as Name, B.Name as CourseName, C.ShortName as ClassShortName, A.Day, A.LessonNo, D.Code"
    " from LessonListtb A, Coursetb B, Classtb C, Teachertb D"
    " where A.CourseCode = B.Code and A.ClassCode = C.Code and A.TeacherCode = D.Code and D.Code = ?"
    " order by A.LessonNo, A.Day";
constexpr std::string_view kAllTeachersSql =
    "select D.Name as Name, B.Name as CourseName, C.ShortName as ClassShortName, A.Day, A.LessonNo, D.Code"
    " from LessonListtb A, Coursetb B, Classtb C, Teachertb D"
    " where A.CourseCode = B.Code and A.ClassCode = C.Code and A.TeacherCode = D.Code"
    " order by A.TeacherCode, A.LessonNo, A.Day";
constexpr std::string_view kSchoolSql =
    "select C.ShortName as Name, B.ShortName as CourseName, D.Name as ClassShortName, A.Day, A.LessonNo,"
    " C.Code"
    " from LessonListtb A, Coursetb B, Classtb C, Teachertb D"
    " where A.CourseCode = B.Code and A.ClassCode = C.Code and A.TeacherCode = D.Code"
    " order by substr(A.ClassCode,1,1), length(A.ClassCode), A.ClassCode, A.LessonNo, A.Day";

// The rows with each owner's name made telling: the code follows a name that
// another record of the list shares (or a blank one), so two 张伟 get two
// titles, in the printout as in the workbook.
Result<std::vector<TimetableRow>> Collect(TimetableDb& db, Cursor cursor, CodeTable owners,
                                          bool shortNames = false) {
  std::vector<TimetableRow> rows;
  while (cursor.Next())
    rows.push_back(
        {cursor.Text(0), cursor.Text(1), cursor.Text(2), cursor.Int(3), cursor.Int(4), cursor.Text(5)});
  Result<NameClashes> clashes = NameClashes::Load(db, owners, shortNames);
  if (!clashes) return clashes.outcome();
  for (TimetableRow& row : rows) row.name = clashes->Label(row.name, row.owner);
  return rows;
}

Result<std::vector<TimetableChoice>> ReadChoices(TimetableDb& db, CodeTable table, std::string_view sql) {
  try {
    Result<NameClashes> clashes = NameClashes::Load(db, table);
    if (!clashes) return clashes.outcome();
    std::vector<TimetableChoice> choices;
    Cursor c = db.Query(sql);
    while (c.Next()) choices.push_back({c.Text(0), clashes->Label(c.Text(1), c.Text(0))});
    return choices;
  } catch (const std::exception& e) {
    return Outcome::Fail(DatabaseErrorText(e));
  }
}

}  // namespace

Result<std::vector<TimetableRow>> ReadTimetableRows(TimetableDb& db, const TimetableSelection& selection) {
  try {
    switch (selection.scope) {
      case TimetableScope::Class:
        return Collect(db, db.Query(kClassSql, selection.code), CodeTable::Class);
      case TimetableScope::AllClasses:
        return Collect(db, db.Query(kAllClassesSql), CodeTable::Class);
      case TimetableScope::Teacher:
        return Collect(db, db.Query(kTeacherSql, selection.code), CodeTable::Teacher);
      case TimetableScope::AllTeachers:
        return Collect(db, db.Query(kAllTeachersSql), CodeTable::Teacher);
      case TimetableScope::School:
        return Collect(db, db.Query(kSchoolSql), CodeTable::Class, true);
    }
    return Outcome::Fail("未知的课表范围");
  } catch (const std::exception& e) {
    return Outcome::Fail(DatabaseErrorText(e));
  }
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
