// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/publish/publications.h"

#include "core/database/guard.h"
#include "core/domain/marks.h"

namespace orv {

namespace {

LessonOrigin OriginOf(int flag) {
  return flag == DbValue(LessonOrigin::Fixed)    ? LessonOrigin::Fixed
         : flag == DbValue(LessonOrigin::Manual) ? LessonOrigin::Manual
                                                 : LessonOrigin::Automatic;
}

}  // namespace

Result<std::vector<Publication>> ListPublications(TimetableDb& db) {
  return Guarded("读取发布记录失败：", [&]() -> Result<std::vector<Publication>> {
    std::vector<Publication> out;
    for (Cursor c =
             db.Query("select Version, PublishedAt, LessonsPerDay from Publicationtb order by Version");
         c.Next();)
      out.push_back({c.Int(0), c.Text(1), c.Int(2)});
    return out;
  });
}

Result<Publication> RecordPublication(TimetableDb& db, const PublishedSchool& school,
                                      const std::string& publishedAt) {
  return Guarded("保存发布记录失败：", [&]() -> Result<Publication> {
    Transaction tx(db);
    Publication p;
    p.version = int(db.FirstInt("select max(Version) from Publicationtb").value_or(0)) + 1;
    p.publishedAt = publishedAt;
    p.lessonsPerDay = school.week.lessonsPerDay;
    db.Execute("insert into Publicationtb (Version, PublishedAt, LessonsPerDay) values (?,?,?)", p.version,
               p.publishedAt, p.lessonsPerDay);
    // Names go in with the codes: a teacher renamed later is still told
    // about the lessons under the name the last printout carried.
    for (const PublishedLesson& l : school.lessons)
      db.Execute(
          "insert into PublishedLessontb (Version, ClassCode, ClassName, Day, LessonNo, CourseCode, "
          "CourseName, "
          "TeacherCode, TeacherName, SetFlag) values (?,?,?,?,?,?,?,?,?,?)",
          p.version, l.classCode, l.className, l.day, l.lesson, l.courseCode, l.courseName, l.teacherCode,
          l.teacherName, DbValue(l.origin));
    tx.Commit();
    return p;
  });
}

Result<std::vector<PublishedLesson>> LoadPublishedLessons(TimetableDb& db, int version) {
  return Guarded("读取发布记录失败：", [&]() -> Result<std::vector<PublishedLesson>> {
    Transaction read(db);
    if (!db.Exists("select 1 from Publicationtb where Version=?", version))
      return Outcome::Fail("没有第" + std::to_string(version) + "次发布");
    std::vector<PublishedLesson> out;
    for (Cursor c = db.Query(
             "select ClassCode, ClassName, Day, LessonNo, CourseCode, CourseName, TeacherCode, TeacherName, "
             "SetFlag from PublishedLessontb where Version=? order by ClassCode, Day, LessonNo, CourseCode",
             version);
         c.Next();)
      out.push_back({c.Text(0), c.Text(1), c.Int(2), c.Int(3), c.Text(4), c.Text(5), c.Text(6), c.Text(7),
                     OriginOf(c.Int(8))});
    return out;
  });
}

}  // namespace orv
