#include "core/database/lookups.h"

#include "core/database/week_marks.h"

namespace orv {

namespace {

std::string FirstOrEmpty(TimetableDb& db, std::string_view sql, std::string_view key) {
  try {
    return db.FirstText(sql, key).value_or(std::string());
  } catch (const std::exception&) {
    return {};
  }
}

template <class... Args>
bool Free(TimetableDb& db, std::string_view sql, const Args&... args) {
  try {
    return !db.Exists(sql, args...);
  } catch (const std::exception&) {
    return false;
  }
}

constexpr int kFixed = DbValue(LessonOrigin::Fixed);

}  // namespace

std::string GetClassName(TimetableDb& db, std::string_view classCode) {
  return FirstOrEmpty(db, "select Name from Classtb where Code=?", classCode);
}
std::string GetClassShortName(TimetableDb& db, std::string_view classCode) {
  return FirstOrEmpty(db, "select ShortName from Classtb where Code=?", classCode);
}
std::string GetCourseName(TimetableDb& db, std::string_view courseCode) {
  return FirstOrEmpty(db, "select Name from Coursetb where Code=?", courseCode);
}
std::string GetTeacherName(TimetableDb& db, std::string_view teacherCode) {
  return FirstOrEmpty(db, "select Name from Teachertb where Code=?", teacherCode);
}
// A name that occurs twice resolves to the row stored first.
std::string GetClassCode(TimetableDb& db, std::string_view className) {
  return FirstOrEmpty(db, "select Code from Classtb where Name=? order by rowid", className);
}
std::string GetCourseCode(TimetableDb& db, std::string_view courseName) {
  return FirstOrEmpty(db, "select Code from Coursetb where Name=? order by rowid", courseName);
}
std::string GetTeacherCode(TimetableDb& db, std::string_view teacherName) {
  return FirstOrEmpty(db, "select Code from Teachertb where Name=? order by rowid", teacherName);
}
std::string GetClassRoomCode(TimetableDb& db, std::string_view classRoomName) {
  return FirstOrEmpty(db, "select Code from ClassRoomtb where Name=? order by rowid", classRoomName);
}

std::string GetPlanTeacher(TimetableDb& db, std::string_view classCode, std::string_view courseCode) {
  try {
    return db
        .FirstText("select TeacherCode from ClassPlantb where ClassCode=? and CourseCode=? order by rowid",
                   classCode, courseCode)
        .value_or(std::string());
  } catch (const std::exception&) {
    return {};
  }
}

bool CheckClassSlot(TimetableDb& db, std::string_view classCode, int day, int lessonNo) {
  return Free(db, "Select CourseCode from LessonListtb where ClassCode=? and Day=? and LessonNo=?", classCode,
              day, lessonNo);
}
bool CheckClassFixedSlot(TimetableDb& db, std::string_view classCode, int day, int lessonNo) {
  return Free(db,
              "Select CourseCode from LessonListtb where SetFlag=? and ClassCode=? and Day=? and LessonNo=?",
              kFixed, classCode, day, lessonNo);
}
bool CheckTeacherSlot(TimetableDb& db, std::string_view teacherCode, int day, int lessonNo) {
  return Free(db, "Select CourseCode from LessonListtb where TeacherCode=? and Day=? and LessonNo=?",
              teacherCode, day, lessonNo);
}
bool CheckTeacherFixedSlot(TimetableDb& db, std::string_view teacherCode, int day, int lessonNo) {
  return Free(
      db, "Select CourseCode from LessonListtb where SetFlag=? and TeacherCode=? and Day=? and LessonNo=?",
      kFixed, teacherCode, day, lessonNo);
}

bool CheckSlot(TimetableDb& db, std::string_view classCode, std::string_view /*courseCode*/,
               std::string_view teacherCode, int day, int lessonNo) {
  return CheckClassSlot(db, classCode, day, lessonNo) && CheckTeacherSlot(db, teacherCode, day, lessonNo);
}

bool CheckFixedSlot(TimetableDb& db, std::string_view classCode, std::string_view /*courseCode*/,
                    std::string_view teacherCode, int day, int lessonNo) {
  return CheckClassFixedSlot(db, classCode, day, lessonNo) &&
         CheckTeacherFixedSlot(db, teacherCode, day, lessonNo);
}

}  // namespace orv
