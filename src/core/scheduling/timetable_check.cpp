#include "core/scheduling/timetable_check.h"

#include <algorithm>
#include <map>
#include <optional>
#include <set>
#include <tuple>

#include "core/database/guard.h"
#include "core/database/plan_count.h"
#include "core/database/week_marks.h"
#include "core/domain/week.h"
#include "core/scheduling/generation_steps.h"

namespace orv {

namespace {

struct Lesson {
  std::string cls;
  int day;
  int lessonNo;
  std::string course;
  std::string teacher;
};

struct PlanRow {
  std::string cls, course, teacher;
  long long count, buildCount;
};

using Names = std::map<std::string, std::string>;
using Slot = std::tuple<std::string, int, int>;  // code, day, lesson number

Names ReadNames(TimetableDb& db, const char* sql) {
  Names names;
  Cursor c = db.Query(sql);
  while (c.Next()) names.emplace(c.Text(0), c.Text(1));
  return names;
}

// The rows a check reads. For one class these are its own lessons, plan rows
// and marks, and the other classes' lessons that share a slot with one of its
// lessons through the teacher or a special course: every clash the class
// takes part in is then seen whole, as the check of the school sees it.
struct CheckQueries {
  const char* lessons;
  const char* plan;
  const char* limits;
};

constexpr CheckQueries kSchoolQueries = {
    "select ClassCode,Day,LessonNo,CourseCode,TeacherCode from LessonListtb"
    " order by ClassCode,Day,LessonNo,rowid",
    "select ClassCode,CourseCode,TeacherCode," ORV_PLAN_COUNT
    ",BuildCount from ClassPlantb"
    " order by ClassCode,CourseCode,rowid",
    "select Kind,Code,Day,LessonNo,Attr from Limittb where Kind in (?,?,?)",
};

constexpr CheckQueries kClassQueries = {
    "select ClassCode,Day,LessonNo,CourseCode,TeacherCode from ("
    " select rowid as r,* from LessonListtb where ClassCode=?"
    " union select O.rowid,O.* from LessonListtb M join LessonListtb O on O.TeacherCode=M.TeacherCode"
    "  and O.Day=M.Day and O.LessonNo=M.LessonNo where M.ClassCode=?"
    " union select O.rowid,O.* from LessonListtb M join LessonListtb O on O.CourseCode=M.CourseCode"
    "  and O.Day=M.Day and O.LessonNo=M.LessonNo where M.ClassCode=?"
    "  and M.CourseCode in (select CourseCode from CourseAttrtb))"
    " order by ClassCode,Day,LessonNo,r",
    "select ClassCode,CourseCode,TeacherCode," ORV_PLAN_COUNT
    ",BuildCount from ClassPlantb where ClassCode=?"
    " order by ClassCode,CourseCode,rowid",
    "select Kind,Code,Day,LessonNo,Attr from Limittb where (Kind=? and Code=?)"
    " or (Kind=? and Code in (select CourseCode from LessonListtb where ClassCode=?))"
    " or (Kind=? and Code in (select TeacherCode from LessonListtb where ClassCode=?))",
};

// What the checker knows of the school, read once: the check itself is
// about consistency between the tables, not about speed of each test.
class Checker {
 public:
  // The whole school, or only what concerns `focus` when it is not empty.
  Checker(TimetableDb& db, int lessonsPerDay, std::string_view focus)
      : lessonsPerDay_(lessonsPerDay), focus_(focus) {
    classes_ = ReadNames(db, "select Code,Name from Classtb order by rowid");
    courses_ = ReadNames(db, "select Code,Name from Coursetb order by rowid");
    teachers_ = ReadNames(db, "select Code,Name from Teachertb order by rowid");
    const int classKind = DbValue(LimitKind::Class), courseKind = DbValue(LimitKind::Course),
              teacherKind = DbValue(LimitKind::Teacher);
    const bool school = focus_.empty();
    {
      Cursor c =
          school ? db.Query(kSchoolQueries.lessons) : db.Query(kClassQueries.lessons, focus, focus, focus);
      while (c.Next()) lessons_.push_back({c.Text(0), c.Int(1), c.Int(2), c.Text(3), c.Text(4)});
    }
    {
      Cursor c = school ? db.Query(kSchoolQueries.plan) : db.Query(kClassQueries.plan, focus);
      while (c.Next()) plan_.push_back({c.Text(0), c.Text(1), c.Text(2), c.Int64(3), c.Int64(4)});
    }
    // The generator reads a class's course row by class and course: the
    // first row stored is the one that counts.
    for (const PlanRow& p : plan_) planOf_.try_emplace({p.cls, p.course}, &p);
    {
      Cursor c =
          school ? db.Query(kSchoolQueries.limits, classKind, courseKind, teacherKind)
                 : db.Query(kClassQueries.limits, classKind, focus, courseKind, focus, teacherKind, focus);
      while (c.Next()) {
        // A value no window writes marks nothing.
        const std::optional<LimitMark> mark = MarkFromDb(c.Int(4));
        if (!mark) continue;
        // Of two marks on one cell the stricter (later in Best, Normal,
        // Avoid, Never) counts.
        LimitMark& kept = limits_.try_emplace({c.Int(0), c.Text(1), c.Int(2), c.Int(3)}, *mark).first->second;
        kept = std::max(kept, *mark);
      }
    }
    {
      Cursor c = db.Query("select CourseCode from CourseAttrtb");
      while (c.Next()) special_.insert(c.Text(0));
    }
  }

  std::vector<Finding> Run() {
    CheckDoubleBookings();
    CheckCourseCells(LimitMark::Never, Severity::kViolation, FindingKind::kCourseNeverCell);
    CheckSpecialCourses();
    CheckWeekBounds();
    CheckCodes();
    CheckBuildCounts();
    CheckDailyCaps();
    CheckPlanTeachers();
    CheckCourseCells(LimitMark::Avoid, Severity::kWarning, FindingKind::kCourseAvoidCell);
    CheckClassAndTeacherCells();
    return std::move(findings_);
  }

 private:
  static std::string Lookup(const Names& names, const std::string& code, const char* what) {
    auto it = names.find(code);
    if (it != names.end() && !it->second.empty()) return it->second;
    return std::string(what) + "'" + code + "'";
  }
  std::string ClassName(const std::string& code) const { return Lookup(classes_, code, "班级"); }
  std::string CourseName(const std::string& code) const { return Lookup(courses_, code, "课程"); }
  std::string TeacherName(const std::string& code) const { return Lookup(teachers_, code, "教师"); }

  // `classes` are the classes a clash involves; by default the one named.
  void Add(Severity severity, FindingKind kind, const std::string& cls, int day, int lessonNo,
           const std::string& what, std::vector<std::string> classes = {}) {
    if (classes.empty()) classes.push_back(cls);
    if (!focus_.empty() && std::find(classes.begin(), classes.end(), focus_) == classes.end()) return;
    std::string where = ClassName(cls);
    if (lessonNo != 0)
      where += " " + SlotLabel(day, lessonNo);
    else if (day >= 1 && day <= kDaysPerWeek)
      where += " " + std::string(kDayNames[day - 1]);
    findings_.push_back({severity, kind, cls, day, lessonNo, where + "：" + what, std::move(classes)});
  }

  LimitMark Mark(LimitKind kind, const std::string& code, int day, int lessonNo) const {
    auto it = limits_.find({DbValue(kind), code, day, lessonNo});
    return it == limits_.end() ? LimitMark::Normal : it->second;
  }

  // Every class of a group once, in the group's order.
  static std::vector<std::string> ClassesOf(const std::vector<const Lesson*>& group) {
    std::vector<std::string> classes;
    for (const Lesson* l : group)
      if (std::find(classes.begin(), classes.end(), l->cls) == classes.end()) classes.push_back(l->cls);
    return classes;
  }

  template <class NameOf>
  static std::string Join(const std::vector<const Lesson*>& group, NameOf nameOf) {
    std::string text;
    for (const Lesson* l : group) text += (text.empty() ? "" : "、") + nameOf(*l);
    return text;
  }

  void CheckDoubleBookings() {
    std::map<Slot, std::vector<const Lesson*>> byClass, byTeacher;
    for (const Lesson& l : lessons_) {
      byClass[{l.cls, l.day, l.lessonNo}].push_back(&l);
      if (!l.teacher.empty()) byTeacher[{l.teacher, l.day, l.lessonNo}].push_back(&l);
    }
    for (const auto& [slot, group] : byClass) {
      if (group.size() < 2) continue;
      Add(Severity::kViolation, FindingKind::kClassDoubleBooked, group[0]->cls, group[0]->day,
          group[0]->lessonNo,
          "同一节排了" + std::to_string(group.size()) + "节课（" +
              Join(group, [&](const Lesson& l) { return CourseName(l.course); }) + "）");
    }
    std::vector<Clash> teacherClashes;
    for (const auto& [slot, group] : byTeacher) {
      if (group.size() < 2) continue;
      teacherClashes.push_back({group[0],
                                "教师" + TeacherName(group[0]->teacher) + "同一节有" +
                                    std::to_string(group.size()) + "节课（" +
                                    Join(group, [&](const Lesson& l) { return ClassName(l.cls); }) + "）",
                                ClassesOf(group)});
    }
    AddSorted(teacherClashes, Severity::kViolation, FindingKind::kTeacherDoubleBooked);
  }

  // Findings grouped by something other than the class still come out in
  // class, day and lesson order.
  struct Clash {
    const Lesson* first;
    std::string what;
    std::vector<std::string> classes;
  };
  void AddSorted(std::vector<Clash>& items, Severity severity, FindingKind kind) {
    std::stable_sort(items.begin(), items.end(), [](const Clash& a, const Clash& b) {
      return std::tie(a.first->cls, a.first->day, a.first->lessonNo) <
             std::tie(b.first->cls, b.first->day, b.first->lessonNo);
    });
    for (Clash& c : items)
      Add(severity, kind, c.first->cls, c.first->day, c.first->lessonNo, c.what, std::move(c.classes));
  }

  void CheckCourseCells(LimitMark mark, Severity severity, FindingKind kind) {
    const std::string quoted = "“" + std::string(MarkText(mark)) + "”";
    for (const Lesson& l : lessons_)
      if (Mark(LimitKind::Course, l.course, l.day, l.lessonNo) == mark)
        Add(severity, kind, l.cls, l.day, l.lessonNo,
            CourseName(l.course) + "排在了课程" + quoted + "的位置");
  }

  void CheckSpecialCourses() {
    std::map<Slot, std::vector<const Lesson*>> byCourse;
    for (const Lesson& l : lessons_)
      if (special_.count(l.course)) byCourse[{l.course, l.day, l.lessonNo}].push_back(&l);
    std::vector<Clash> clashes;
    for (const auto& [slot, group] : byCourse) {
      std::vector<std::string> classes = ClassesOf(group);
      if (classes.size() < 2) continue;
      clashes.push_back({group[0],
                         "专用课程" + CourseName(group[0]->course) + "同一节有" +
                             std::to_string(classes.size()) + "个班上课（" +
                             Join(group, [&](const Lesson& l) { return ClassName(l.cls); }) + "）",
                         std::move(classes)});
    }
    AddSorted(clashes, Severity::kViolation, FindingKind::kSpecialCourseClash);
  }

  void CheckWeekBounds() {
    for (const Lesson& l : lessons_) {
      if (l.day >= 1 && l.day <= kDaysPerWeek && l.lessonNo >= 1 && l.lessonNo <= lessonsPerDay_) continue;
      Add(Severity::kViolation, FindingKind::kOutsideWeek, l.cls, l.day, l.lessonNo,
          CourseName(l.course) + "不在每周五天、每天" + std::to_string(lessonsPerDay_) + "节课的范围内");
    }
  }

  void CheckCodes() {
    for (const Lesson& l : lessons_) {
      if (!classes_.count(l.cls))
        Add(Severity::kViolation, FindingKind::kUnknownClass, l.cls, l.day, l.lessonNo,
            "班级代码'" + l.cls + "'不存在");
      if (!courses_.count(l.course))
        Add(Severity::kViolation, FindingKind::kUnknownCourse, l.cls, l.day, l.lessonNo,
            "课程代码'" + l.course + "'不存在");
      if (!teachers_.count(l.teacher))
        Add(Severity::kViolation, FindingKind::kUnknownTeacher, l.cls, l.day, l.lessonNo,
            "教师代码'" + l.teacher + "'不存在");
    }
  }

  void CheckBuildCounts() {
    std::map<std::tuple<std::string, std::string, std::string>, long long> actual;
    for (const Lesson& l : lessons_) ++actual[{l.cls, l.course, l.teacher}];
    for (const PlanRow& p : plan_) {
      auto it = actual.find({p.cls, p.course, p.teacher});
      const long long have = it == actual.end() ? 0 : it->second;
      if (have == p.buildCount) continue;
      Add(Severity::kViolation, FindingKind::kBuildCountWrong, p.cls, 0, 0,
          CourseName(p.course) + "的已排课时数记为" + std::to_string(p.buildCount) + "，课表中实有" +
              std::to_string(have) + "节");
    }
  }

  const PlanRow* PlanOf(const std::string& cls, const std::string& course) const {
    auto it = planOf_.find({cls, course});
    return it == planOf_.end() ? nullptr : it->second;
  }

  void CheckDailyCaps() {
    std::map<std::tuple<std::string, int, std::string>, int> perDay;  // class, day, course
    for (const Lesson& l : lessons_) ++perDay[{l.cls, l.day, l.course}];
    for (const auto& [key, n] : perDay) {
      const auto& [cls, day, course] = key;
      const PlanRow* p = PlanOf(cls, course);
      if (p == nullptr) continue;
      const int cap = PlanDailyCap(p->count);
      if (n <= cap) continue;
      Add(Severity::kWarning, FindingKind::kCourseDayCap, cls, day, 0,
          CourseName(course) + "一天排了" + std::to_string(n) + "节，超过每天最多" + std::to_string(cap) +
              "节");
    }
  }

  void CheckPlanTeachers() {
    for (const Lesson& l : lessons_) {
      const PlanRow* p = PlanOf(l.cls, l.course);
      if (p == nullptr) {
        Add(Severity::kWarning, FindingKind::kNotInPlan, l.cls, l.day, l.lessonNo,
            CourseName(l.course) + "不在该班的教学计划中");
      } else if (p->teacher != l.teacher) {
        Add(Severity::kWarning, FindingKind::kNotPlanTeacher, l.cls, l.day, l.lessonNo,
            CourseName(l.course) + "由" + TeacherName(l.teacher) + "上，教学计划中的任课教师是" +
                TeacherName(p->teacher));
      }
    }
  }

  void CheckClassAndTeacherCells() {
    for (const Lesson& l : lessons_) {
      if (Mark(LimitKind::Class, l.cls, l.day, l.lessonNo) == LimitMark::Never)
        Add(Severity::kWarning, FindingKind::kClassNeverCell, l.cls, l.day, l.lessonNo,
            CourseName(l.course) + "排在了班级“不排”的位置");
      if (Mark(LimitKind::Teacher, l.teacher, l.day, l.lessonNo) == LimitMark::Never)
        Add(Severity::kWarning, FindingKind::kTeacherNeverCell, l.cls, l.day, l.lessonNo,
            CourseName(l.course) + "排在了教师" + TeacherName(l.teacher) + "“不排”的时间");
    }
  }

  int lessonsPerDay_;
  std::string focus_;
  Names classes_, courses_, teachers_;
  std::vector<Lesson> lessons_;
  std::vector<PlanRow> plan_;
  std::map<std::pair<std::string, std::string>, const PlanRow*> planOf_;
  std::map<std::tuple<int, std::string, int, int>, LimitMark> limits_;
  std::set<std::string> special_;
  std::vector<Finding> findings_;
};

// The whole school without a focus; a database failure becomes the outcome.
Result<std::vector<Finding>> RunChecker(TimetableDb& db, int lessonsPerDay, std::string_view focus) {
  return Guarded("读取课表失败：",
                 [&]() -> Result<std::vector<Finding>> { return Checker(db, lessonsPerDay, focus).Run(); });
}

}  // namespace

Result<std::vector<Finding>> CheckTimetable(TimetableDb& db, int lessonsPerDay) {
  return RunChecker(db, lessonsPerDay, {});
}

Result<std::vector<Finding>> CheckClassTimetable(TimetableDb& db, int lessonsPerDay,
                                                 std::string_view classCode) {
  if (classCode.empty()) return std::vector<Finding>{};
  return RunChecker(db, lessonsPerDay, classCode);
}

Result<FindingCounts> CountClassFindings(TimetableDb& db, int lessonsPerDay, std::string_view classCode) {
  const Result<std::vector<Finding>> findings = CheckClassTimetable(db, lessonsPerDay, classCode);
  if (!findings) return findings.outcome();
  return FindingCounts{CountFindings(*findings, Severity::kViolation),
                       CountFindings(*findings, Severity::kWarning)};
}

std::string FindingCountsText(const FindingCounts& counts) {
  if (counts.violations == 0 && counts.warnings == 0) return "本班课表未发现问题";
  return "本班课表：违规 " + std::to_string(counts.violations) + " 处，警告 " +
         std::to_string(counts.warnings) + " 处";
}

std::string FindingLine(const Finding& f) {
  return (f.severity == Severity::kViolation ? "违规：" : "警告：") + f.text;
}

int CountFindings(const std::vector<Finding>& findings, Severity severity) {
  return static_cast<int>(std::count_if(findings.begin(), findings.end(),
                                        [&](const Finding& f) { return f.severity == severity; }));
}

}  // namespace orv
