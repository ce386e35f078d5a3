// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/editing/timetable_edit.h"

#include <exception>
#include <map>
#include <optional>
#include <stdexcept>
#include <utility>
#include <vector>

#include "core/database/lookups.h"
#include "core/database/plan_count.h"
#include "core/domain/week.h"
#include "core/model/school_model.h"
#include "core/rules/rule_book.h"

namespace orv {

namespace {

// A period stored twice is edited through its first row, the one the
// window shows.
constexpr const char* kFirstRow =
    "select rowid,CourseCode,TeacherCode,SetFlag from LessonListtb where ClassCode=? and Day=? and LessonNo=?"
    " order by rowid limit 1";
constexpr const char* kInsertLesson = "insert into LessonListtb values(?,?,?,?,?,?)";
constexpr const char* kUpdateLesson =
    "update LessonListtb set CourseCode=?,TeacherCode=?,SetFlag=? where rowid=?";
constexpr const char* kDeleteLesson = "delete from LessonListtb where rowid=?";
// Every plan row of the lesson's class, course and teacher counts the lesson.
constexpr const char* kAddBuildCount =
    "update ClassPlantb set BuildCount=BuildCount+? where ClassCode=? and CourseCode=? and TeacherCode=?";
constexpr const char* kPlanRemaining =
    "select " ORV_PLAN_COUNT
    "-coalesce(BuildCount,0) from ClassPlantb where ClassCode=? and CourseCode=?"
    " and TeacherCode=? order by rowid limit 1";

struct StoredRow {
  long long rowid;
  StoredLesson lesson;
};

std::optional<StoredRow> FirstRow(TimetableDb& db, std::string_view classCode, int day, int lessonNo) {
  Cursor c = db.Query(kFirstRow, classCode, day, lessonNo);
  if (!c.Next()) return std::nullopt;
  return StoredRow{c.Int64(0), {c.Text(1), c.Text(2), static_cast<LessonOrigin>(c.Int(3))}};
}

std::string OrCode(std::string name, std::string_view code) {
  return name.empty() ? std::string(code) : name;
}
std::string CourseText(TimetableDb& db, std::string_view code) {
  return OrCode(GetCourseName(db, code).value_or(std::string()), code);
}
std::string TeacherText(TimetableDb& db, std::string_view code) {
  return OrCode(GetTeacherName(db, code).value_or(std::string()), code);
}

// Where teachers teach in the other classes, read once per edit: the rule
// book's teacher clash with the class's own lessons out of the way, since an
// edit of the class rearranges them.
class OtherClasses {
 public:
  OtherClasses(TimetableDb& db, std::string_view classCode) : db_(db), classCode_(classCode) {}

  // The other class the teacher has a lesson in at the period; "" when none.
  std::string TeacherBusy(std::string_view teacher, int day, int lessonNo) {
    const SchoolModel& m = Model();
    const int t = m.TeacherIndex(teacher);
    if (t < 0 || !InSchoolWeek(day, lessonNo, kMaxLessonsPerDay)) return {};
    Candidate c{0, 0, t};
    c.standing = &otherClasses_;
    const std::vector<int> inTheWay = InTheWay(m, c, PeriodOf(day, lessonNo), Rule::kTeacherClash);
    if (inTheWay.empty()) return {};
    return m.classes[static_cast<size_t>(m.lessons[static_cast<size_t>(inTheWay.front())].cls)].code;
  }

 private:
  const SchoolModel& Model() {
    if (!model_) {
      // Every period a row can hold, whatever the day's length.
      Result<SchoolModel> m = LoadSchoolModel(db_, SchoolWeek(kMaxLessonsPerDay));
      if (!m) throw std::runtime_error(m.message());
      model_ = std::move(*m);
      const int cls = model_->ClassIndex(classCode_);
      for (const ModelLesson& l : model_->lessons) otherClasses_.push_back(l.cls != cls ? 1 : 0);
    }
    return *model_;
  }

  TimetableDb& db_;
  std::string classCode_;
  std::optional<SchoolModel> model_;
  std::vector<char> otherClasses_;
};

std::string BusyText(TimetableDb& db, std::string_view teacher, int day, int lessonNo,
                     std::string_view inClass) {
  return "教师" + TeacherText(db, teacher) + " " + SlotLabel(day, lessonNo) + " 已在" +
         OrCode(GetClassName(db, inClass).value_or(std::string()), inClass) + "上课";
}

// Checks that every period holds what the edit expects and that no teacher
// is put where another class has them, then writes. Returns why not, with
// nothing written; "" when written.
std::string Write(TimetableDb& db, const LessonEdit& edit, OtherClasses& others) {
  std::vector<std::optional<StoredRow>> rows;
  for (const PeriodChange& p : edit.periods) {
    std::optional<StoredRow> row = FirstRow(db, edit.classCode, p.day, p.lessonNo);
    const std::string slot = SlotLabel(p.day, p.lessonNo);
    if (!p.before && row) return slot + " 已有其他课程";
    if (p.before && !row) return slot + " 已没有" + CourseText(db, p.before->courseCode) + "这节课";
    if (p.before && row->lesson != *p.before) return slot + " 的课程已改变";
    const bool newTeacher = p.after && (!p.before || p.before->teacherCode != p.after->teacherCode);
    if (newTeacher && !p.after->teacherCode.empty()) {
      const std::string other = others.TeacherBusy(p.after->teacherCode, p.day, p.lessonNo);
      if (!other.empty()) return BusyText(db, p.after->teacherCode, p.day, p.lessonNo, other);
    }
    rows.push_back(std::move(row));
  }
  std::map<std::pair<std::string, std::string>, int> planDelta;  // course, teacher
  for (size_t i = 0; i < edit.periods.size(); ++i) {
    const PeriodChange& p = edit.periods[i];
    if (p.before && p.after)
      db.Execute(kUpdateLesson, p.after->courseCode, p.after->teacherCode, DbValue(p.after->origin),
                 rows[i]->rowid);
    else if (p.after)
      db.Execute(kInsertLesson, edit.classCode, p.day, p.lessonNo, p.after->courseCode, p.after->teacherCode,
                 DbValue(p.after->origin));
    else if (p.before)
      db.Execute(kDeleteLesson, rows[i]->rowid);
    if (p.before) --planDelta[{p.before->courseCode, p.before->teacherCode}];
    if (p.after) ++planDelta[{p.after->courseCode, p.after->teacherCode}];
  }
  for (const auto& [key, delta] : planDelta)
    if (delta != 0) db.Execute(kAddBuildCount, delta, edit.classCode, key.first, key.second);
  return {};
}

std::string Describe(TimetableDb& db, const LessonEdit& edit) {
  const std::string cls = OrCode(GetClassName(db, edit.classCode).value_or(std::string()), edit.classCode);
  const PeriodChange& a = edit.periods.front();
  const PeriodChange& b = edit.periods.back();
  const std::string slotA = SlotLabel(a.day, a.lessonNo), slotB = SlotLabel(b.day, b.lessonNo);
  switch (edit.kind) {
    case EditKind::Place:
      return "安排 " + cls + " " + slotA + " " + CourseText(db, a.after->courseCode);
    case EditKind::Delete:
      return "删除 " + cls + " " + slotA + " " + CourseText(db, a.before->courseCode);
    case EditKind::Move:
      return "移动 " + cls + " " + CourseText(db, a.before->courseCode) + " " + slotA + " 到 " + slotB;
    case EditKind::Swap:
      return "交换 " + cls + " " + slotA + " " + CourseText(db, a.before->courseCode) + " 与 " + slotB + " " +
             CourseText(db, b.before->courseCode);
  }
  return {};
}

// One user operation, all or nothing: `build` reads the periods inside the
// transaction and says what to write, or why not.
template <class Build>
Result<LessonEdit> RunEdit(TimetableDb& db, std::string_view classCode, std::string_view failure,
                           Build build) {
  const auto fail = [&](const std::string& why) { return Outcome::Fail(std::string(failure) + "：" + why); };
  try {
    Transaction tx(db);
    OtherClasses others(db, classCode);
    Result<LessonEdit> edit = build(others);
    if (!edit) return fail(edit.message());
    if (std::string why = Write(db, *edit, others); !why.empty()) return fail(why);
    if (edit->description.empty()) edit->description = Describe(db, *edit);
    tx.Commit();
    return edit;
  } catch (const std::exception& e) {
    return fail(DatabaseErrorText(e));
  }
}

}  // namespace

std::optional<long long> PlanRemaining(TimetableDb& db, std::string_view classCode,
                                       std::string_view courseCode, std::string_view teacherCode) {
  return db.FirstInt(kPlanRemaining, classCode, courseCode, teacherCode);
}

LessonEdit Inverse(const LessonEdit& edit) {
  LessonEdit inverse = edit;
  if (edit.kind == EditKind::Place) inverse.kind = EditKind::Delete;
  if (edit.kind == EditKind::Delete) inverse.kind = EditKind::Place;
  for (PeriodChange& p : inverse.periods) std::swap(p.before, p.after);
  return inverse;
}

std::string_view EditDoneText(EditKind kind) {
  switch (kind) {
    case EditKind::Place:
      return "写入成功";
    case EditKind::Delete:
      return "删除成功";
    case EditKind::Move:
    case EditKind::Swap:
      break;
  }
  return "换课成功";
}

Result<LessonEdit> PlaceLesson(TimetableDb& db, std::string_view classCode, int day, int lessonNo,
                               std::string_view courseCode, std::string_view teacherCode, SchoolWeek week) {
  return RunEdit(db, classCode, "写入失败", [&](OtherClasses&) -> Result<LessonEdit> {
    if (!InSchoolWeek(day, lessonNo, week.lessonsPerDay)) return Outcome::Fail("该单元格不是上课时间");
    const std::optional<long long> remaining = PlanRemaining(db, classCode, courseCode, teacherCode);
    if (!remaining) return Outcome::Fail("教学计划中没有这门课");
    if (*remaining < 1) return Outcome::Fail(CourseText(db, courseCode) + "的课时已全部排完");
    // The period must be empty and the teacher free everywhere: Write
    // checks both, since the class's own period holds nothing.
    return LessonEdit{
        EditKind::Place,
        std::string(classCode),
        {{day, lessonNo, std::nullopt,
          StoredLesson{std::string(courseCode), std::string(teacherCode), LessonOrigin::Manual}}},
        {}};
  });
}

Result<LessonEdit> DeleteLesson(TimetableDb& db, std::string_view classCode, int day, int lessonNo,
                                SchoolWeek week) {
  return RunEdit(db, classCode, "删除失败", [&](OtherClasses&) -> Result<LessonEdit> {
    if (!InSchoolWeek(day, lessonNo, week.lessonsPerDay)) return Outcome::Fail("该单元格不是上课时间");
    std::optional<StoredRow> row = FirstRow(db, classCode, day, lessonNo);
    if (!row) return Outcome::Fail(SlotLabel(day, lessonNo) + " 没有课程");
    return LessonEdit{
        EditKind::Delete, std::string(classCode), {{day, lessonNo, row->lesson, std::nullopt}}, {}};
  });
}

Result<LessonEdit> SwapLessons(TimetableDb& db, std::string_view classCode, int sourceDay, int sourceLesson,
                               int targetDay, int targetLesson, SchoolWeek week) {
  return RunEdit(db, classCode, "换课失败", [&](OtherClasses& others) -> Result<LessonEdit> {
    if (!InSchoolWeek(sourceDay, sourceLesson, week.lessonsPerDay) ||
        !InSchoolWeek(targetDay, targetLesson, week.lessonsPerDay))
      return Outcome::Fail("该单元格不是上课时间");
    if (sourceDay == targetDay && sourceLesson == targetLesson) return Outcome::Fail("不能与自己交换");
    const std::optional<StoredRow> s = FirstRow(db, classCode, sourceDay, sourceLesson);
    if (!s) return Outcome::Fail(SlotLabel(sourceDay, sourceLesson) + " 没有课程");
    const std::optional<StoredRow> t = FirstRow(db, classCode, targetDay, targetLesson);
    // The same conditions as the marks (edit_targets.cpp), with the reason.
    if (t && t->lesson.courseCode == s->lesson.courseCode) return Outcome::Fail("两节课是同一门课程");
    const StoredLesson& sl = s->lesson;
    if (std::string other = others.TeacherBusy(sl.teacherCode, targetDay, targetLesson); !other.empty())
      return Outcome::Fail(BusyText(db, sl.teacherCode, targetDay, targetLesson, other));
    if (t) {
      const StoredLesson& tl = t->lesson;
      if (std::string other = others.TeacherBusy(tl.teacherCode, sourceDay, sourceLesson); !other.empty())
        return Outcome::Fail(BusyText(db, tl.teacherCode, sourceDay, sourceLesson, other));
      return LessonEdit{
          EditKind::Swap,
          std::string(classCode),
          {{sourceDay, sourceLesson, sl, StoredLesson{tl.courseCode, tl.teacherCode, sl.origin}},
           {targetDay, targetLesson, tl, StoredLesson{sl.courseCode, sl.teacherCode, tl.origin}}},
          {}};
    }
    return LessonEdit{EditKind::Move,
                      std::string(classCode),
                      {{sourceDay, sourceLesson, sl, std::nullopt},
                       {targetDay, targetLesson, std::nullopt,
                        StoredLesson{sl.courseCode, sl.teacherCode, LessonOrigin::Manual}}},
                      {}};
  });
}

Outcome ApplyEdit(TimetableDb& db, const LessonEdit& edit, std::string_view failure) {
  Result<LessonEdit> done =
      RunEdit(db, edit.classCode, failure, [&](OtherClasses&) -> Result<LessonEdit> { return edit; });
  return done ? Outcome::Ok() : done.outcome();
}

}  // namespace orv
