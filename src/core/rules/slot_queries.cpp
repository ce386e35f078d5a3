// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/rules/slot_queries.h"

#include <string>
#include <vector>

#include "core/database/guard.h"
#include "core/model/school_model.h"
#include "core/rules/rule_book.h"

namespace orv {

namespace {

enum class Lessons { kAll, kFixed };

const std::string kFailure = "读取课表失败：";

// The reason of a failure "读取…失败：reason".
std::string WhyNot(const std::string& message) {
  const std::string_view colon = "：";
  const size_t at = message.find(colon);
  return at == std::string::npos ? message : message.substr(at + colon.size());
}

// Free of the class's (or the teacher's) lessons: nothing is in the way of a
// lesson of theirs under the rule.
Result<bool> Free(TimetableDb& db, Rule rule, std::string_view code, int day, int lessonNo, Lessons which) {
  return Guarded(kFailure, [&]() -> Result<bool> {
    // Every period a row can hold, whatever the day's length.
    if (!InSchoolWeek(day, lessonNo, kMaxLessonsPerDay)) return true;
    Result<SchoolModel> model = LoadSchoolModel(db, SchoolWeek(kMaxLessonsPerDay));
    if (!model) return Outcome::Fail(kFailure + WhyNot(model.message()));
    const SchoolModel& m = *model;
    const int who = rule == Rule::kClassClash ? m.ClassIndex(code) : m.TeacherIndex(code);
    if (who < 0) return true;  // a code no lesson holds
    Candidate c;
    (rule == Rule::kClassClash ? c.cls : c.teacher) = who;
    std::vector<char> fixed;
    if (which == Lessons::kFixed) {
      for (const ModelLesson& l : m.lessons) fixed.push_back(l.fixed ? 1 : 0);
      c.standing = &fixed;
    }
    return InTheWay(m, c, PeriodOf(day, lessonNo), rule).empty();
  });
}

// Both slots free; the first failure when either cannot be read.
Result<bool> BothFree(const Result<bool>& a, const Result<bool>& b) {
  if (!a) return a.outcome();
  if (!b) return b.outcome();
  return *a && *b;
}

}  // namespace

Result<bool> CheckClassSlot(TimetableDb& db, std::string_view classCode, int day, int lessonNo) {
  return Free(db, Rule::kClassClash, classCode, day, lessonNo, Lessons::kAll);
}
Result<bool> CheckClassFixedSlot(TimetableDb& db, std::string_view classCode, int day, int lessonNo) {
  return Free(db, Rule::kClassClash, classCode, day, lessonNo, Lessons::kFixed);
}
Result<bool> CheckTeacherSlot(TimetableDb& db, std::string_view teacherCode, int day, int lessonNo) {
  return Free(db, Rule::kTeacherClash, teacherCode, day, lessonNo, Lessons::kAll);
}
Result<bool> CheckTeacherFixedSlot(TimetableDb& db, std::string_view teacherCode, int day, int lessonNo) {
  return Free(db, Rule::kTeacherClash, teacherCode, day, lessonNo, Lessons::kFixed);
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
