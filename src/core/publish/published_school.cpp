// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/publish/published_school.h"

#include <algorithm>
#include <map>
#include <tuple>

#include "core/database/guard.h"

namespace orv {

namespace {

// Code order, with the code added where a name does not tell records apart.
std::vector<NamedRecord> Listed(TimetableDb& db, std::string_view sql) {
  std::vector<NamedRecord> out;
  for (Cursor c = db.Query(sql); c.Next();) out.push_back({c.Text(0), c.Text(1)});
  std::map<std::string, int> uses;
  for (const NamedRecord& r : out) ++uses[r.name];
  for (NamedRecord& r : out)
    if (uses[r.name] > 1 || r.name.empty()) r.name = RecordLabel(r.name, r.code);
  return out;
}

std::string NameOf(const std::vector<NamedRecord>& list, const std::string& code) {
  auto it = std::lower_bound(list.begin(), list.end(), code,
                             [](const NamedRecord& r, const std::string& c) { return r.code < c; });
  return it != list.end() && it->code == code ? it->name : code;
}

}  // namespace

Result<PublishedSchool> ReadPublishedSchool(TimetableDb& db, SchoolWeek week, std::string schoolName) {
  return Guarded("读取课表失败：", [&]() -> Result<PublishedSchool> {
    PublishedSchool s;
    s.schoolName = std::move(schoolName);
    s.week = week;
    Transaction read(db);
    s.classes = Listed(db, "select Code, Name from Classtb order by Code");
    s.teachers = Listed(db, "select Code, Name from Teachertb order by Code");
    const std::vector<NamedRecord> courses = Listed(db, "select Code, Name from Coursetb order by Code");
    for (Cursor c = db.Query("select distinct CourseCode from CourseAttrtb order by CourseCode"); c.Next();) {
      const std::string code = c.Text(0);
      if (std::binary_search(courses.begin(), courses.end(), NamedRecord{code, ""},
                             [](const NamedRecord& a, const NamedRecord& b) { return a.code < b.code; }))
        s.specialCourses.push_back({code, NameOf(courses, code)});
    }
    for (Cursor c =
             db.Query("select ClassCode, Day, LessonNo, CourseCode, TeacherCode, SetFlag from LessonListtb");
         c.Next();) {
      PublishedLesson l;
      l.classCode = c.Text(0);
      l.day = c.Int(1);
      l.lesson = c.Int(2);
      if (!week.Contains(l.day, l.lesson)) continue;
      l.courseCode = c.Text(3);
      l.teacherCode = c.Text(4);
      l.className = NameOf(s.classes, l.classCode);
      l.courseName = NameOf(courses, l.courseCode);
      l.teacherName = NameOf(s.teachers, l.teacherCode);
      const int flag = c.Int(5);
      l.origin = flag == DbValue(LessonOrigin::Fixed)    ? LessonOrigin::Fixed
                 : flag == DbValue(LessonOrigin::Manual) ? LessonOrigin::Manual
                                                         : LessonOrigin::Automatic;
      s.lessons.push_back(std::move(l));
    }
    std::sort(s.lessons.begin(), s.lessons.end(), [](const PublishedLesson& a, const PublishedLesson& b) {
      return std::tie(a.classCode, a.day, a.lesson, a.courseCode) <
             std::tie(b.classCode, b.day, b.lesson, b.courseCode);
    });
    return s;
  });
}

}  // namespace orv
