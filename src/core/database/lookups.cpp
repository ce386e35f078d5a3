#include "core/database/lookups.h"

#include "core/database/guard.h"
#include "core/database/week_marks.h"

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

template <class... Args>
Result<bool> Free(TimetableDb& db, std::string_view sql, const Args&... args) {
  return Guarded("读取课表失败：", [&]() -> Result<bool> { return !db.Exists(sql, args...); });
}

// Both slots free; the first failure when either cannot be read.
Result<bool> BothFree(const Result<bool>& a, const Result<bool>& b) {
  if (!a) return a.outcome();
  if (!b) return b.outcome();
  return *a && *b;
}

constexpr int kFixed = DbValue(LessonOrigin::Fixed);

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

Result<bool> CheckClassSlot(TimetableDb& db, std::string_view classCode, int day, int lessonNo) {
  return Free(db, "Select CourseCode from LessonListtb where ClassCode=? and Day=? and LessonNo=?", classCode,
              day, lessonNo);
}
Result<bool> CheckClassFixedSlot(TimetableDb& db, std::string_view classCode, int day, int lessonNo) {
  return Free(db,
              "Select CourseCode from LessonListtb where SetFlag=? and ClassCode=? and Day=? and LessonNo=?",
              kFixed, classCode, day, lessonNo);
}
Result<bool> CheckTeacherSlot(TimetableDb& db, std::string_view teacherCode, int day, int lessonNo) {
  return Free(db, "Select CourseCode from LessonListtb where TeacherCode=? and Day=? and LessonNo=?",
              teacherCode, day, lessonNo);
}
Result<bool> CheckTeacherFixedSlot(TimetableDb& db, std::string_view teacherCode, int day, int lessonNo) {
  return Free(
      db, "Select CourseCode from LessonListtb where SetFlag=? and TeacherCode=? and Day=? and LessonNo=?",
      kFixed, teacherCode, day, lessonNo);
}

Result<bool> CheckSlot(TimetableDb& db, std::string_view classCode, std::string_view /*courseCode*/,
                       std::string_view teacherCode, int day, int lessonNo) {
  return BothFree(CheckClassSlot(db, classCode, day, lessonNo),
                  CheckTeacherSlot(db, teacherCode, day, lessonNo));
}

Result<bool> CheckFixedSlot(TimetableDb& db, std::string_view classCode, std::string_view /*courseCode*/,
                            std::string_view teacherCode, int day, int lessonNo) {
  return BothFree(CheckClassFixedSlot(db, classCode, day, lessonNo),
                  CheckTeacherFixedSlot(db, teacherCode, day, lessonNo));
}

}  // namespace orv
