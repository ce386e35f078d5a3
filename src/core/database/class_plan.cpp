#include "core/database/class_plan.h"

#include <cmath>
#include <exception>

#include "core/database/code_lists.h"
#include "core/database/lookups.h"

namespace orv {

std::vector<PlanListRow> LoadClassPlan(TimetableDb& db, std::string_view classCode) {
  std::vector<PlanListRow> rows;
  try {
    std::vector<PlanListRow> raw;
    {
      Cursor c =
          db.Query("select CourseCode,TeacherCode,Count from ClassPlantb where ClassCode = ? order by rowid",
                   classCode);
      while (c.Next()) raw.push_back({c.Text(0), c.Text(1), {}, {}, c.Int(2)});
    }
    for (PlanListRow& r : raw) {
      r.courseName = GetCourseName(db, r.courseCode);
      r.teacherName = GetTeacherName(db, r.teacherCode);
      rows.push_back(std::move(r));
    }
  } catch (const std::exception&) {
  }
  return rows;
}

TeacherLoad LoadTeacherLoad(TimetableDb& db, std::string_view teacherCode) {
  TeacherLoad load;
  try {
    struct Raw {
      std::string cls, course;
      int count;
    };
    std::vector<Raw> raw;
    {
      Cursor c =
          db.Query("select ClassCode,CourseCode,Count from ClassPlantb where TeacherCode = ? order by rowid",
                   teacherCode);
      while (c.Next()) raw.push_back({c.Text(0), c.Text(1), c.Int(2)});
    }
    for (const Raw& r : raw) {
      load.rows.push_back({GetClassName(db, r.cls), GetCourseName(db, r.course), r.count});
      load.total += r.count;
    }
  } catch (const std::exception&) {
  }
  return load;
}

LessonCountText ParseLessonCount(std::string_view text) {
  const std::string t = TrimBlanks(text);
  if (t.empty()) return {LessonCountText::Kind::Empty, 0};
  std::size_t i = 0;
  bool negative = false;
  if (t[i] == '+' || t[i] == '-') negative = t[i++] == '-';
  double value = 0;
  int digits = 0;
  while (i < t.size() && t[i] >= '0' && t[i] <= '9') {
    value = value * 10 + (t[i++] - '0');
    ++digits;
  }
  if (i < t.size() && t[i] == '.') {
    ++i;
    double scale = 0.1;
    while (i < t.size() && t[i] >= '0' && t[i] <= '9') {
      value += (t[i++] - '0') * scale;
      scale /= 10;
      ++digits;
    }
  }
  if (digits == 0 || i != t.size()) return {LessonCountText::Kind::NotNumber, 0};
  if (negative) value = -value;
  return {LessonCountText::Kind::Number, static_cast<int>(std::floor(value))};
}

std::vector<PlanInput> MissingPlanInputs(std::string_view className, std::string_view courseName,
                                         std::string_view teacherName, std::string_view countText) {
  std::vector<PlanInput> missing;
  if (TrimBlanks(className).empty()) missing.push_back(PlanInput::Class);
  if (TrimBlanks(courseName).empty()) missing.push_back(PlanInput::Course);
  if (TrimBlanks(teacherName).empty()) missing.push_back(PlanInput::Teacher);
  switch (ParseLessonCount(countText).kind) {
    case LessonCountText::Kind::Empty:
      missing.push_back(PlanInput::CountMissing);
      break;
    case LessonCountText::Kind::NotNumber:
      missing.push_back(PlanInput::CountNotNumber);
      break;
    case LessonCountText::Kind::Number:
      break;
  }
  return missing;
}

namespace {
Outcome OtherTeacher() { return Outcome::Fail("不允许一门课多个老师", kPlanOtherTeacher); }
Outcome NegativeCount() { return Outcome::Fail("每周节数不能小于0", kPlanNegativeCount); }
Outcome RowNotFound() { return Outcome::Fail("教学计划中没有这一行", kPlanRowNotFound); }
// Count is a 16-bit column.
constexpr long long kMaxCount = 32767;
}  // namespace

Outcome AppendPlanLessons(TimetableDb& db, std::string_view classCode, std::string_view courseCode,
                          std::string_view teacherCode, int count) {
  try {
    Transaction tx(db);
    if (db.Exists("select CourseCode from ClassPlantb where ClassCode=? and CourseCode=? and TeacherCode<>?",
                  classCode, courseCode, teacherCode))
      return OtherTeacher();
    const std::optional<long long> stored =
        db.FirstInt("select Count from ClassPlantb where ClassCode=? and CourseCode=? and TeacherCode=?",
                    classCode, courseCode, teacherCode);
    const long long total = stored.value_or(0) + count;
    if (total < 0) return NegativeCount();
    if (total > kMaxCount) return Outcome::Fail("每周节数不能超过" + std::to_string(kMaxCount));
    if (stored) {
      db.Execute("update ClassPlantb set Count=? where ClassCode=? and CourseCode=? and TeacherCode=?", total,
                 classCode, courseCode, teacherCode);
    } else {
      db.Execute("insert into ClassPlantb (ClassCode,CourseCode,TeacherCode,Count) values (?,?,?,?)",
                 classCode, courseCode, teacherCode, count);
    }
    tx.Commit();
    return Outcome::Ok();
  } catch (const std::exception& e) {
    return Outcome::Fail(DatabaseErrorText(e));
  }
}

Outcome ModifyPlanRow(TimetableDb& db, std::string_view classCode, const PlanRowKey& selected,
                      std::string_view courseCode, std::string_view teacherCode, int count) {
  if (courseCode != selected.courseCode) return Outcome::Fail("只允许修改老师和节数", kPlanCourseChanged);
  if (count < 0) return NegativeCount();
  try {
    Transaction tx(db);
    const int changed = db.Execute(
        "update ClassPlantb set CourseCode=?,TeacherCode=?,Count=? "
        "where ClassCode=? and CourseCode=? and TeacherCode=? and Count=?",
        courseCode, teacherCode, count, classCode, selected.courseCode, selected.teacherCode, selected.count);
    if (changed == 0) return RowNotFound();
    tx.Commit();
    return Outcome::Ok();
  } catch (const std::exception& e) {
    return Outcome::Fail(DatabaseErrorText(e));
  }
}

Outcome DeletePlanRow(TimetableDb& db, std::string_view classCode, std::string_view courseCode,
                      std::string_view teacherCode) {
  try {
    Transaction tx(db);
    db.Execute("delete from LessonListtb where ClassCode=? and CourseCode=? and TeacherCode=?", classCode,
               courseCode, teacherCode);
    if (db.Execute("delete from ClassPlantb where ClassCode=? and CourseCode=? and TeacherCode=?", classCode,
                   courseCode, teacherCode) == 0)
      return RowNotFound();
    tx.Commit();
    return Outcome::Ok();
  } catch (const std::exception& e) {
    return Outcome::Fail(DatabaseErrorText(e));
  }
}

}  // namespace orv
