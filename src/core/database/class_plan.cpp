// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/database/class_plan.h"

#include <algorithm>
#include <cmath>
#include <exception>

#include "core/database/code_lists.h"
#include "core/database/guard.h"
#include "core/database/lookups.h"
#include "core/database/plan_count.h"

namespace orv {

std::vector<PlanListRow> LoadClassPlan(TimetableDb& db, std::string_view classCode) {
  std::vector<PlanListRow> rows;
  try {
    std::vector<PlanListRow> raw;
    {
      Cursor c =
          db.Query("select CourseCode,TeacherCode,Count from ClassPlantb where ClassCode = ? order by rowid",
                   classCode);
      while (c.Next()) raw.push_back({c.Text(0), c.Text(1), {}, {}, ReadPlanCount(c, 2).lessons});
    }
    for (PlanListRow& r : raw) {
      r.courseName = GetCourseName(db, r.courseCode).value_or(std::string());
      r.teacherName = GetTeacherName(db, r.teacherCode).value_or(std::string());
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
      while (c.Next()) raw.push_back({c.Text(0), c.Text(1), ReadPlanCount(c, 2).lessons});
    }
    for (const Raw& r : raw) {
      load.rows.push_back({GetClassName(db, r.cls).value_or(std::string()),
                           GetCourseName(db, r.course).value_or(std::string()), r.count});
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
  // Held inside the int range before converting: "99999999999" must not
  // become an undefined value that might happen to pass the range check.
  constexpr double kEnd = 1e9;
  const bool whole = std::floor(value) == value;
  return {LessonCountText::Kind::Number, static_cast<int>(std::floor(std::clamp(value, -kEnd, kEnd))), whole};
}

std::vector<PlanInput> MissingPlanInputs(std::string_view className, std::string_view courseName,
                                         std::string_view teacherName, std::string_view countText) {
  std::vector<PlanInput> missing;
  if (TrimBlanks(className).empty()) missing.push_back(PlanInput::Class);
  if (TrimBlanks(courseName).empty()) missing.push_back(PlanInput::Course);
  if (TrimBlanks(teacherName).empty()) missing.push_back(PlanInput::Teacher);
  const LessonCountText count = ParseLessonCount(countText);
  switch (count.kind) {
    case LessonCountText::Kind::Empty:
      missing.push_back(PlanInput::CountMissing);
      break;
    case LessonCountText::Kind::NotNumber:
      missing.push_back(PlanInput::CountNotNumber);
      break;
    case LessonCountText::Kind::Number:
      if (!count.whole || count.value < kMinWeeklyLessons || count.value > kMaxWeeklyLessons)
        missing.push_back(PlanInput::CountOutOfRange);
      break;
  }
  return missing;
}

namespace {
Outcome OtherTeacher() { return Outcome::Fail("不允许一门课多个老师", kPlanOtherTeacher); }
Outcome CountOutOfRange() {
  return Outcome::Fail("每周节数必须是" + std::to_string(kMinWeeklyLessons) + "到" +
                           std::to_string(kMaxWeeklyLessons) + "之间的整数",
                       kPlanCountOutOfRange);
}
Outcome TotalOutOfRange() {
  return Outcome::Fail("每周节数合计不能超过" + std::to_string(kMaxWeeklyLessons), kPlanCountOutOfRange);
}
Outcome RowNotFound() { return Outcome::Fail("教学计划中没有这一行", kPlanRowNotFound); }
bool InRange(int count) { return count >= kMinWeeklyLessons && count <= kMaxWeeklyLessons; }
}  // namespace

Outcome AppendPlanLessons(TimetableDb& db, std::string_view classCode, std::string_view courseCode,
                          std::string_view teacherCode, int count) {
  if (!InRange(count)) return CountOutOfRange();
  return Guarded("", [&]() -> Outcome {
    Transaction tx(db);
    if (db.Exists("select CourseCode from ClassPlantb where ClassCode=? and CourseCode=? and TeacherCode<>?",
                  classCode, courseCode, teacherCode))
      return OtherTeacher();
    // A stored count outside 1..35 (from another program) counts as what
    // every reader takes it for, so the sum cannot overflow either.
    const std::optional<long long> stored = db.FirstInt(
        "select " ORV_PLAN_COUNT " from ClassPlantb where ClassCode=? and CourseCode=? and TeacherCode=?",
        classCode, courseCode, teacherCode);
    const long long total = stored.value_or(0) + count;
    if (total > kMaxWeeklyLessons) return TotalOutOfRange();
    if (stored) {
      db.Execute("update ClassPlantb set Count=? where ClassCode=? and CourseCode=? and TeacherCode=?", total,
                 classCode, courseCode, teacherCode);
    } else {
      db.Execute("insert into ClassPlantb (ClassCode,CourseCode,TeacherCode,Count) values (?,?,?,?)",
                 classCode, courseCode, teacherCode, count);
    }
    tx.Commit();
    return Outcome::Ok();
  });
}

Outcome ModifyPlanRow(TimetableDb& db, std::string_view classCode, const PlanRowKey& selected,
                      std::string_view courseCode, std::string_view teacherCode, int count) {
  if (courseCode != selected.courseCode) return Outcome::Fail("只允许修改老师和节数", kPlanCourseChanged);
  if (!InRange(count)) return CountOutOfRange();
  return Guarded("", [&]() -> Outcome {
    Transaction tx(db);
    const int changed = db.Execute(
        "update ClassPlantb set CourseCode=?,TeacherCode=?,Count=? "
        // The row as the list shows it: a damaged count (shown clamped) can be
        // corrected here.
        "where ClassCode=? and CourseCode=? and TeacherCode=? and " ORV_PLAN_COUNT "=?",
        courseCode, teacherCode, count, classCode, selected.courseCode, selected.teacherCode, selected.count);
    if (changed == 0) return RowNotFound();
    tx.Commit();
    return Outcome::Ok();
  });
}

Outcome DeletePlanRow(TimetableDb& db, std::string_view classCode, std::string_view courseCode,
                      std::string_view teacherCode) {
  return Guarded("", [&]() -> Outcome {
    Transaction tx(db);
    db.Execute("delete from LessonListtb where ClassCode=? and CourseCode=? and TeacherCode=?", classCode,
               courseCode, teacherCode);
    if (db.Execute("delete from ClassPlantb where ClassCode=? and CourseCode=? and TeacherCode=?", classCode,
                   courseCode, teacherCode) == 0)
      return RowNotFound();
    tx.Commit();
    return Outcome::Ok();
  });
}

}  // namespace orv
