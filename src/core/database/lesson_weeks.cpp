// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/database/lesson_weeks.h"
#include "core/database/guard.h"
#include "core/database/plan_count.h"

#include <exception>

namespace orv {

namespace {

// The names come with the lessons in one query: a week is one read, not one
// lookup per cell.
constexpr const char* kClassLessons =
    "select "
    "L.Day,L.LessonNo,L.ClassCode,C.Name,C.ShortName,L.CourseCode,K.Name,L.TeacherCode,T.Name,L.SetFlag"
    " from LessonListtb L left join Classtb C on C.Code=L.ClassCode left join Coursetb K on "
    "K.Code=L.CourseCode"
    " left join Teachertb T on T.Code=L.TeacherCode where L.ClassCode=? order by L.rowid";
constexpr const char* kTeacherLessons =
    "select "
    "L.Day,L.LessonNo,L.ClassCode,C.Name,C.ShortName,L.CourseCode,K.Name,L.TeacherCode,T.Name,L.SetFlag"
    " from LessonListtb L left join Classtb C on C.Code=L.ClassCode left join Coursetb K on "
    "K.Code=L.CourseCode"
    " left join Teachertb T on T.Code=L.TeacherCode where L.TeacherCode=? order by L.rowid";

// The row's own teacher comes with it: a class and course stored twice with
// two teachers must not hand its lesson to the other row's teacher.
constexpr const char* kUnplacedRows =
    "select P.ClassCode,C.Name,P.CourseCode,K.Name,P.TeacherCode,T.Name,"
    " " ORV_PLAN_COUNT_OF("P.Count") "-coalesce(P.BuildCount,0) from ClassPlantb P"
    " left join Classtb C on C.Code=P.ClassCode left join Coursetb K on K.Code=P.CourseCode"
    " left join Teachertb T on T.Code=P.TeacherCode"
    " where " ORV_PLAN_COUNT_OF("P.Count") "<>coalesce(P.BuildCount,0) order by P.ClassCode,P.CourseCode,P.rowid";

Result<WeekCells> LoadWeek(TimetableDb& db, const char* sql, std::string_view code, SchoolWeek week) {
  return Guarded("读取失败：", [&]() -> Result<WeekCells> {
    WeekCells cells(week);
    if (code.empty()) return cells;
    for (Cursor c = db.Query(sql, code); c.Next();) {
      const int day = c.Int(0), lessonNo = c.Int(1);
      if (cells.At(day, lessonNo).occupied) continue;
      cells.Set(day, lessonNo,
                LessonCell{true, c.Text(2), c.Text(3), c.Text(4), c.Text(5), c.Text(6), c.Text(7), c.Text(8),
                           static_cast<LessonOrigin>(c.Int(9))});
    }
    return cells;
  });
}

}  // namespace

Result<WeekCells> LoadClassCells(TimetableDb& db, std::string_view classCode, SchoolWeek week) {
  return LoadWeek(db, kClassLessons, classCode, week);
}

Result<WeekCells> LoadTeacherCells(TimetableDb& db, std::string_view teacherCode, SchoolWeek week) {
  return LoadWeek(db, kTeacherLessons, teacherCode, week);
}

Result<std::vector<UnplacedLesson>> LoadUnplacedLessons(TimetableDb& db) {
  return Guarded("读取未排课程失败：", [&]() -> Result<std::vector<UnplacedLesson>> {
    std::vector<UnplacedLesson> rows;
    for (Cursor c = db.Query(kUnplacedRows); c.Next();)
      rows.push_back({c.Text(0), c.Text(1), c.Text(2), c.Text(3), c.Text(4), c.Text(5), c.Int(6)});
    return rows;
  });
}

}  // namespace orv
