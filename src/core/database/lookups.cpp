// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/database/lookups.h"

#include "core/database/guard.h"

namespace orv {

namespace {

template <class... Args>
Result<std::string> FirstOrEmpty(TimetableDb& db, std::string_view failure, std::string_view sql,
                                 const Args&... args) {
  return Guarded(failure,
                 [&]() -> Result<std::string> { return db.FirstText(sql, args...).value_or(std::string()); });
}

constexpr std::string_view kNameFailure = "读取名称失败：";
constexpr std::string_view kCodeFailure = "读取代码失败：";

}  // namespace

Result<std::string> GetClassName(TimetableDb& db, std::string_view classCode) {
  return FirstOrEmpty(db, kNameFailure, "select Name from Classtb where Code=?", classCode);
}
Result<std::string> GetClassShortName(TimetableDb& db, std::string_view classCode) {
  return FirstOrEmpty(db, kNameFailure, "select ShortName from Classtb where Code=?", classCode);
}
Result<std::string> GetCourseName(TimetableDb& db, std::string_view courseCode) {
  return FirstOrEmpty(db, kNameFailure, "select Name from Coursetb where Code=?", courseCode);
}
Result<std::string> GetTeacherName(TimetableDb& db, std::string_view teacherCode) {
  return FirstOrEmpty(db, kNameFailure, "select Name from Teachertb where Code=?", teacherCode);
}
// A name that occurs twice resolves to the row stored first.
Result<std::string> GetClassCode(TimetableDb& db, std::string_view className) {
  return FirstOrEmpty(db, kCodeFailure, "select Code from Classtb where Name=? order by rowid", className);
}
Result<std::string> GetCourseCode(TimetableDb& db, std::string_view courseName) {
  return FirstOrEmpty(db, kCodeFailure, "select Code from Coursetb where Name=? order by rowid", courseName);
}
Result<std::string> GetTeacherCode(TimetableDb& db, std::string_view teacherName) {
  return FirstOrEmpty(db, kCodeFailure, "select Code from Teachertb where Name=? order by rowid",
                      teacherName);
}
Result<std::string> GetClassRoomCode(TimetableDb& db, std::string_view classRoomName) {
  return FirstOrEmpty(db, kCodeFailure, "select Code from ClassRoomtb where Name=? order by rowid",
                      classRoomName);
}

Result<std::string> GetPlanTeacher(TimetableDb& db, std::string_view classCode, std::string_view courseCode) {
  return FirstOrEmpty(db, "读取教学计划失败：",
                      "select TeacherCode from ClassPlantb where ClassCode=? and CourseCode=? order by rowid",
                      classCode, courseCode);
}

}  // namespace orv
