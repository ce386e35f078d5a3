// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/editing/fixed_lessons.h"

#include <algorithm>
#include <exception>
#include <set>
#include <utility>

#include "core/database/guard.h"
#include "core/database/week_marks.h"
#include "core/model/school_model.h"
#include "core/rules/rule_book.h"

namespace orv {

namespace {

const int kFixed = DbValue(LessonOrigin::Fixed);

constexpr const char* kSelectFixedLessons =
    "select L.Day,L.LessonNo,L.CourseCode,C.Name,L.TeacherCode,T.Name from LessonListtb L"
    " left join Coursetb C on C.Code=L.CourseCode left join Teachertb T on T.Code=L.TeacherCode"
    " where L.ClassCode=? and L.SetFlag=? order by L.rowid";
constexpr const char* kSelectPartlyFixed =
    "select P.CourseCode,C.Name,P.Count-F.Fixed from ClassPlantb P"
    " join (select CourseCode,count(*) as Fixed from LessonListtb where SetFlag=? and ClassCode=?"
    " group by CourseCode) F on F.CourseCode=P.CourseCode"
    " left join Coursetb C on C.Code=P.CourseCode where P.ClassCode=? order by P.CourseCode,P.rowid";
constexpr const char* kSelectNotFixed =
    "select P.CourseCode,C.Name,P.Count from ClassPlantb P left join Coursetb C on C.Code=P.CourseCode"
    " where P.ClassCode=? and P.CourseCode not in (select CourseCode from LessonListtb"
    " where SetFlag=? and ClassCode=? and CourseCode is not null) order by P.CourseCode,P.rowid";
constexpr const char* kSelectPlanRow =
    "select TeacherCode,Count from ClassPlantb where ClassCode=? and CourseCode=? order by rowid";
constexpr const char* kCountFixedOfCourse =
    "select count(*) from LessonListtb where SetFlag=? and ClassCode=? and CourseCode=?";
constexpr const char* kSelectClassLessonsAt =
    "select CourseCode,TeacherCode from LessonListtb where ClassCode=? and Day=? and LessonNo=?";
constexpr const char* kSelectFixedAt =
    "select CourseCode,TeacherCode from LessonListtb where ClassCode=? and Day=? and LessonNo=? and "
    "SetFlag=?";
constexpr const char* kDeleteClassLessonsAt =
    "delete from LessonListtb where ClassCode=? and Day=? and LessonNo=?";
constexpr const char* kDeleteFixedAt =
    "delete from LessonListtb where ClassCode=? and Day=? and LessonNo=? and SetFlag=?";
constexpr const char* kInsertLesson = "insert into LessonListtb values(?,?,?,?,?,?)";
constexpr const char* kAddBuildCount =
    "update ClassPlantb set BuildCount=BuildCount+? where ClassCode=? and CourseCode=? and TeacherCode=?";

// Fixed lessons stand against each other only: automatic and manual ones
// give way to a fixed lesson, and generation replaces them anyway.
constexpr RuleSet kFixedClashes = {Rule::kClassClash, Rule::kTeacherClash};

std::vector<char> FixedLessonsOf(const SchoolModel& m) {
  std::vector<char> fixed(m.lessons.size(), 0);
  for (size_t i = 0; i < m.lessons.size(); ++i) fixed[i] = m.lessons[i].fixed ? 1 : 0;
  return fixed;
}

// The class, course and teacher as the model knows them; a code it does not
// hold has no lesson in the way.
Candidate FixedCandidate(const SchoolModel& m, std::string_view cls, std::string_view course,
                         std::string_view teacher, const std::vector<char>& fixed) {
  Candidate c{m.ClassIndex(cls), m.CourseIndex(course), m.TeacherIndex(teacher)};
  c.standing = &fixed;
  return c;
}

// A code that no list or lesson holds is in nobody's way, and nothing is in its way.
RuleSet BlockedBy(const SchoolModel& m, const Candidate& c, int period) {
  RuleSet asked;
  if (c.cls >= 0) asked.Add(Rule::kClassClash);
  if (c.teacher >= 0) asked.Add(Rule::kTeacherClash);
  if (asked.Empty()) return asked;
  Candidate known = c;
  known.cls = std::max(c.cls, 0);
  known.course = std::max(c.course, 0);
  known.teacher = std::max(c.teacher, 0);
  return Test(m, known, period, asked);
}

// Course and teacher of each lesson a statement returns.
using CourseTeacher = std::pair<std::string, std::string>;

template <class... Args>
std::vector<CourseTeacher> ReadCourseTeachers(TimetableDb& db, const char* sql, const Args&... args) {
  std::vector<CourseTeacher> rows;
  Cursor c = db.Query(sql, args...);
  while (c.Next()) rows.emplace_back(c.Text(0), c.Text(1));
  return rows;
}

}  // namespace

Result<std::vector<FixedLesson>> LoadFixedLessons(TimetableDb& db, std::string_view classCode) {
  return Guarded("读取固定课程失败：", [&]() -> Result<std::vector<FixedLesson>> {
    std::vector<FixedLesson> lessons;
    Cursor c = db.Query(kSelectFixedLessons, classCode, kFixed);
    while (c.Next()) lessons.push_back({{c.Int(0), c.Int(1)}, c.Text(2), c.Text(3), c.Text(4), c.Text(5)});
    return lessons;
  });
}

Result<std::vector<FixableCourse>> LoadFixableCourses(TimetableDb& db, std::string_view classCode) {
  return Guarded("读取教学计划失败：", [&]() -> Result<std::vector<FixableCourse>> {
    std::vector<FixableCourse> courses;
    {
      Cursor c = db.Query(kSelectPartlyFixed, kFixed, classCode, classCode);
      while (c.Next())
        if (c.Int(2) > 0) courses.push_back({c.Text(0), c.Text(1), c.Int(2)});
    }
    // A plan row of no lessons a week has nothing to fix.
    Cursor c = db.Query(kSelectNotFixed, classCode, kFixed, classCode);
    while (c.Next())
      if (c.Int(2) > 0) courses.push_back({c.Text(0), c.Text(1), c.Int(2)});
    return courses;
  });
}

Result<std::vector<LessonSlot>> FixedLessonTargets(TimetableDb& db, std::string_view classCode,
                                                   std::string_view teacherCode, SchoolWeek week) {
  if (week.lessonsPerDay < 1 || week.lessonsPerDay > kMaxLessonsPerDay)
    return Outcome::Fail("每天课时数无效");
  return Guarded("读取固定课程失败：", [&]() -> Result<std::vector<LessonSlot>> {
    Result<SchoolModel> model = LoadSchoolModel(db, week);
    if (!model) return model.outcome();
    const std::vector<char> fixed = FixedLessonsOf(*model);
    const Candidate c = FixedCandidate(*model, classCode, {}, teacherCode, fixed);
    std::vector<LessonSlot> free;
    for (int day = 1; day <= kDaysPerWeek; ++day)
      for (int lessonNo = 1; lessonNo <= week.lessonsPerDay; ++lessonNo)
        if (BlockedBy(*model, c, PeriodOf(day, lessonNo)).Empty()) free.push_back({day, lessonNo});
    return free;
  });
}

Outcome PlaceFixedLesson(TimetableDb& db, std::string_view classCode, std::string_view courseCode,
                         LessonSlot slot, SchoolWeek week) {
  if (week.lessonsPerDay > kMaxLessonsPerDay || !InSchoolWeek(slot.day, slot.lessonNo, week.lessonsPerDay))
    return Outcome::Fail("该单元格不是上课时间");
  return Guarded("写入固定课程失败：", [&]() -> Outcome {
    Transaction tx(db);
    std::string teacher;
    int weekly = 0;
    {
      Cursor plan = db.Query(kSelectPlanRow, classCode, courseCode);
      if (!plan.Next()) return Outcome::Fail("该班级的教学计划中没有这门课程");
      teacher = plan.Text(0);
      weekly = plan.Int(1);
    }
    if (db.FirstInt(kCountFixedOfCourse, kFixed, classCode, courseCode).value_or(0) >= weekly)
      return Outcome::Fail("这门课程的课时已经全部预先安排");
    Result<SchoolModel> model = LoadSchoolModel(db, week);
    if (!model) return model.outcome();
    const std::vector<char> fixed = FixedLessonsOf(*model);
    const RuleSet broken = BlockedBy(*model, FixedCandidate(*model, classCode, courseCode, teacher, fixed),
                                     PeriodOf(slot.day, slot.lessonNo));
    if (broken.Has(Rule::kClassClash)) return Outcome::Fail("该班级在这节课已经有固定课程");
    if (broken.Has(Rule::kTeacherClash)) return Outcome::Fail("任课老师在这节课已经有固定课程");

    // The automatic or manual lesson the fixed one replaces gives its count back.
    for (const auto& [oldCourse, oldTeacher] :
         ReadCourseTeachers(db, kSelectClassLessonsAt, classCode, slot.day, slot.lessonNo))
      db.Execute(kAddBuildCount, -1, classCode, oldCourse, oldTeacher);
    db.Execute(kDeleteClassLessonsAt, classCode, slot.day, slot.lessonNo);
    db.Execute(kInsertLesson, classCode, slot.day, slot.lessonNo, courseCode, teacher, kFixed);
    db.Execute(kAddBuildCount, 1, classCode, courseCode, teacher);
    tx.Commit();
    return Outcome::Ok();
  });
}

Outcome DeleteFixedLesson(TimetableDb& db, std::string_view classCode, LessonSlot slot) {
  return Guarded("删除固定课程失败：", [&]() -> Outcome {
    Transaction tx(db);
    const std::vector<CourseTeacher> removed =
        ReadCourseTeachers(db, kSelectFixedAt, classCode, slot.day, slot.lessonNo, kFixed);
    if (removed.empty()) return Outcome::Fail("这节课没有固定课程");
    db.Execute(kDeleteFixedAt, classCode, slot.day, slot.lessonNo, kFixed);
    for (const auto& [course, teacher] : removed) db.Execute(kAddBuildCount, -1, classCode, course, teacher);
    tx.Commit();
    return Outcome::Ok();
  });
}

}  // namespace orv
