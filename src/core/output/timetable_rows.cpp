#include "core/output/timetable_rows.h"

#include "core/database/lookups.h"

namespace orv {

namespace {

// Classes of one grade go in class-number order: the code is the grade digit
// followed by the number, so "110" (class 10) must come after "19", not
// between "11" and "12" as a plain text sort would put it.
constexpr std::string_view kClassSql =
    "select ? as Name, B.Name as CourseName, '' as ClassShortName, A.Day, A.LessonNo"
    " from LessonListtb A, Coursetb B"
    " where A.CourseCode = B.Code and A.ClassCode = ? order by A.LessonNo, A.Day";
constexpr std::string_view kAllClassesSql =
    "select C.Name as Name, B.Name as CourseName, '' as ClassShortName, A.Day, A.LessonNo"
    " from LessonListtb A, Coursetb B, Classtb C"
    " where A.CourseCode = B.Code and A.ClassCode = C.Code"
    " order by substr(A.ClassCode,1,1), length(A.ClassCode), A.ClassCode, A.LessonNo, A.Day";
constexpr std::string_view kTeacherSql =
    "select ? as Name, B.Name as CourseName, C.ShortName as ClassShortName, A.Day, A.LessonNo"
    " from LessonListtb A, Coursetb B, Classtb C"
    " where A.CourseCode = B.Code and A.ClassCode = C.Code and A.TeacherCode = ?"
    " order by A.LessonNo, A.Day";
constexpr std::string_view kAllTeachersSql =
    "select D.Name as Name, B.Name as CourseName, C.ShortName as ClassShortName, A.Day, A.LessonNo"
    " from LessonListtb A, Coursetb B, Classtb C, Teachertb D"
    " where A.CourseCode = B.Code and A.ClassCode = C.Code and A.TeacherCode = D.Code"
    " order by A.TeacherCode, A.LessonNo, A.Day";
constexpr std::string_view kSchoolSql =
    "select C.ShortName as Name, B.ShortName as CourseName, D.Name as ClassShortName, A.Day, A.LessonNo"
    " from LessonListtb A, Coursetb B, Classtb C, Teachertb D"
    " where A.CourseCode = B.Code and A.ClassCode = C.Code and A.TeacherCode = D.Code"
    " order by substr(A.ClassCode,1,1), length(A.ClassCode), A.ClassCode, A.LessonNo, A.Day";

std::vector<TimetableRow> Collect(Cursor cursor) {
  std::vector<TimetableRow> rows;
  while (cursor.Next())
    rows.push_back({cursor.Text(0), cursor.Text(1), cursor.Text(2), cursor.Int(3), cursor.Int(4)});
  return rows;
}

Result<std::vector<std::string>> ReadNames(TimetableDb& db, std::string_view sql) {
  try {
    std::vector<std::string> names;
    Cursor c = db.Query(sql);
    while (c.Next()) names.push_back(c.Text(0));
    return names;
  } catch (const std::exception& e) {
    return Outcome::Fail(DatabaseErrorText(e));
  }
}

}  // namespace

Result<std::vector<TimetableRow>> ReadTimetableRows(TimetableDb& db, const TimetableSelection& selection) {
  try {
    switch (selection.scope) {
      case TimetableScope::Class:
        return Collect(db.Query(kClassSql, selection.name, GetClassCode(db, selection.name)));
      case TimetableScope::AllClasses:
        return Collect(db.Query(kAllClassesSql));
      case TimetableScope::Teacher:
        return Collect(db.Query(kTeacherSql, selection.name, GetTeacherCode(db, selection.name)));
      case TimetableScope::AllTeachers:
        return Collect(db.Query(kAllTeachersSql));
      case TimetableScope::School:
        return Collect(db.Query(kSchoolSql));
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

Result<std::vector<std::string>> ReadClassNames(TimetableDb& db) {
  return ReadNames(db, "select Name from Classtb order by rowid");
}

Result<std::vector<std::string>> ReadTeacherNames(TimetableDb& db) {
  return ReadNames(db, "select Name from Teachertb order by Code");
}

}  // namespace orv
