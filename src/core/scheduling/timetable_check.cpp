// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/scheduling/timetable_check.h"

#include <algorithm>
#include <map>
#include <set>
#include <tuple>

#include "core/domain/week.h"
#include "core/model/school_model.h"
#include "core/rules/rule_book.h"
#include "core/rules/stated_rules.h"

namespace orv {

namespace {

constexpr std::string_view kLoadFailure = "读取课表失败：";

// A rule the timetable must keep is broken by a violation, one it should keep
// by a warning.
Severity SeverityOf(Rule rule) {
  return InfoOf(rule).strength == RuleStrength::kHard ? Severity::kViolation : Severity::kWarning;
}

// Each lesson asks the rule book what it breaks where it stands; the checker
// only turns the answers into findings, and adds those about the data itself
// (codes no list knows, the plan and its counts), which are no rule of a
// placement. Lessons are taken in class, day and lesson order, as the school
// reads its timetable.
class Checker {
 public:
  // The whole school, or only the findings that name `focus` when it is not
  // empty; then only the class's own lessons ask the rule book, and a clash
  // is seen whole through the model's indexes.
  Checker(const SchoolModel& model, std::string_view focus) : m_(model), focused_(!focus.empty()) {
    focus_ = focused_ ? m_.ClassIndex(focus) : -1;
    if (focused_ && focus_ < 0) return;  // a class neither the lists, the plan nor the timetable name
    for (size_t i = 0; i < m_.lessons.size(); ++i)
      if (!focused_ || Lesson(static_cast<int>(i)).cls == focus_) subjects_.push_back(static_cast<int>(i));
    std::sort(subjects_.begin(), subjects_.end(), [&](int a, int b) { return Before(a, b); });
    broken_.resize(m_.lessons.size());
    // The stated rules are about a day or a week, found once over the whole
    // timetable (CheckStatedRules), not once per lesson.
    RuleSet asked;
    for (const RuleInfo& info : AllRules())
      if (!IsStated(info.rule)) asked.Add(info.rule);
    for (int i : subjects_)
      broken_[static_cast<size_t>(i)] = Test(m_, Candidate::Of(m_, i), Lesson(i).period, asked);
  }

  std::vector<Finding> Run() {
    CheckClassClashes();
    CheckGroupClashes(Rule::kTeacherClash, FindingKind::kTeacherDoubleBooked);
    CheckCells(Rule::kCourseNever, FindingKind::kCourseNeverCell,
               [&](const ModelLesson& l) { return CourseName(l) + "排在了课程“不排”的位置"; });
    CheckGroupClashes(Rule::kSpecialCourseClash, FindingKind::kSpecialCourseClash);
    CheckWeekBounds();
    CheckCodes();
    CheckBuildCounts();
    CheckStatedRules();
    CheckDailyCaps();
    CheckPlanTeachers();
    CheckCells(Rule::kCourseAvoid, FindingKind::kCourseAvoidCell,
               [&](const ModelLesson& l) { return CourseName(l) + "排在了课程“尽量不排”的位置"; });
    CheckClassAndTeacherCells();
    return std::move(findings_);
  }

 private:
  static bool IsStated(Rule rule) {
    return rule == Rule::kTeacherDayMax || rule == Rule::kTeacherInARow || rule == Rule::kTeacherGaps ||
           rule == Rule::kClassGaps || rule == Rule::kDoubles;
  }
  const ModelLesson& Lesson(int i) const { return m_.lessons[static_cast<size_t>(i)]; }
  const std::string& ClassCode(int cls) const { return m_.classes[static_cast<size_t>(cls)].code; }
  const std::string& ClassName(int cls) const { return m_.classes[static_cast<size_t>(cls)].name; }
  const std::string& CourseName(const ModelLesson& l) const {
    return m_.courses[static_cast<size_t>(l.course)].name;
  }
  const std::string& TeacherName(int teacher) const { return m_.teachers[static_cast<size_t>(teacher)].name; }
  bool Broke(int lesson, Rule rule) const { return broken_[static_cast<size_t>(lesson)].Has(rule); }

  // Class, day, lesson number, then table order.
  bool Before(int a, int b) const {
    const ModelLesson &x = Lesson(a), &y = Lesson(b);
    return std::tie(ClassCode(x.cls), x.day, x.lessonNo, a) <
           std::tie(ClassCode(y.cls), y.day, y.lessonNo, b);
  }

  // `classes` are the classes a clash involves; by default the one named.
  void Add(Severity severity, FindingKind kind, int cls, int day, int lessonNo, const std::string& what,
           std::vector<std::string> classes = {}) {
    if (classes.empty()) classes.push_back(ClassCode(cls));
    if (focused_ && std::find(classes.begin(), classes.end(), ClassCode(focus_)) == classes.end()) return;
    std::string where = ClassName(cls);
    if (lessonNo != 0)
      where += " " + SlotLabel(day, lessonNo);
    else if (day >= 1 && day <= kDaysPerWeek)
      where += " " + std::string(kDayNames[static_cast<size_t>(day - 1)]);
    findings_.push_back(
        {severity, kind, ClassCode(cls), day, lessonNo, where + "：" + what, std::move(classes)});
  }
  void Add(Severity severity, FindingKind kind, const ModelLesson& l, const std::string& what) {
    Add(severity, kind, l.cls, l.day, l.lessonNo, what);
  }

  // The lessons of a period in class order, then table order.
  std::vector<int> Sorted(std::vector<int> group) const {
    std::sort(group.begin(), group.end(), [&](int a, int b) { return Before(a, b); });
    return group;
  }
  template <class NameOf>
  std::string Join(const std::vector<int>& group, NameOf nameOf) const {
    std::string text;
    for (int i : group) text += (text.empty() ? "" : "、") + nameOf(Lesson(i));
    return text;
  }

  // One finding per class and period, naming every course it has there.
  void CheckClassClashes() {
    std::set<std::pair<int, int>> seen;
    for (int i : subjects_) {
      const ModelLesson& l = Lesson(i);
      if (!Broke(i, Rule::kClassClash) || !seen.insert({l.cls, l.period}).second) continue;
      const std::vector<int>& group = m_.ClassAt(l.cls, l.period);
      Add(SeverityOf(Rule::kClassClash), FindingKind::kClassDoubleBooked, l,
          "同一节排了" + std::to_string(group.size()) + "节课（" +
              Join(group, [&](const ModelLesson& o) { return CourseName(o); }) + "）");
    }
  }

  // A teacher or a special course twice in a period: one finding naming every
  // class, under the first of them. Findings under the same class and period
  // follow the teacher's or the course's code.
  void CheckGroupClashes(Rule rule, FindingKind kind) {
    const bool teacher = rule == Rule::kTeacherClash;
    struct Clash {
      int first;
      const std::string* code;
      std::string what;
      std::vector<std::string> classes;
    };
    std::vector<Clash> clashes;
    std::set<std::pair<int, int>> seen;
    for (int i : subjects_) {
      const ModelLesson& l = Lesson(i);
      const int who = teacher ? l.teacher : l.course;
      if (!Broke(i, rule) || !seen.insert({who, l.period}).second) continue;
      const std::vector<int> group =
          Sorted(teacher ? m_.TeacherAt(who, l.period) : m_.CourseAt(who, l.period));
      std::vector<std::string> classes;
      for (int g : group)
        if (std::find(classes.begin(), classes.end(), ClassCode(Lesson(g).cls)) == classes.end())
          classes.push_back(ClassCode(Lesson(g).cls));
      const std::string names = Join(group, [&](const ModelLesson& o) { return ClassName(o.cls); });
      std::string what = teacher ? "教师" + TeacherName(who) + "同一节有" + std::to_string(group.size()) +
                                       "节课（" + names + "）"
                                 : "专用课程" + CourseName(l) + "同一节有" + std::to_string(classes.size()) +
                                       "个班上课（" + names + "）" + RoomsText(who);
      const std::string& code =
          teacher ? m_.teachers[static_cast<size_t>(who)].code : m_.courses[static_cast<size_t>(who)].code;
      clashes.push_back({group.front(), &code, std::move(what), std::move(classes)});
    }
    std::sort(clashes.begin(), clashes.end(), [&](const Clash& a, const Clash& b) {
      const ModelLesson &x = Lesson(a.first), &y = Lesson(b.first);
      return std::tie(ClassCode(x.cls), x.day, x.lessonNo, *a.code) <
             std::tie(ClassCode(y.cls), y.day, y.lessonNo, *b.code);
    });
    for (Clash& c : clashes) {
      const ModelLesson& l = Lesson(c.first);
      Add(SeverityOf(rule), kind, l.cls, l.day, l.lessonNo, c.what, std::move(c.classes));
    }
  }

  // "，专用教室只有2间" for a special course of more than one room.
  std::string RoomsText(int course) const {
    const int rooms = m_.rooms[static_cast<size_t>(course)];
    return rooms > 1 ? "，专用教室只有" + std::to_string(rooms) + "间" : "";
  }

  // The classes a teacher teaches on the day (every day for 0), by code.
  std::vector<std::string> TeacherClasses(int teacher, int day) const {
    std::set<std::string> codes;
    for (int d = 1; d <= kDaysPerWeek; ++d)
      for (int n = 1; n <= m_.week.lessonsPerDay; ++n)
        if (day == 0 || d == day)
          for (int i : m_.TeacherAt(teacher, PeriodOf(d, n))) codes.insert(ClassCode(Lesson(i).cls));
    return {codes.begin(), codes.end()};
  }

  // One finding per breach of a stated rule, by kind, class and day. A
  // teacher's finding stands under the first of the teacher's classes and
  // names them all, so that each class's own check shows it; a special course
  // over its rooms is the clash finding above.
  void CheckStatedRules() {
    std::vector<Finding> stated;
    const auto add = [&](FindingKind kind, Rule rule, std::vector<std::string> classes, int day,
                         std::string text) {
      if (classes.empty()) return;  // a teacher's limits bind only where the teacher teaches
      if (focused_ && std::find(classes.begin(), classes.end(), ClassCode(focus_)) == classes.end()) return;
      std::string code = classes.front();
      stated.push_back(
          {SeverityOf(rule), kind, std::move(code), day, 0, std::move(text), std::move(classes)});
    };
    for (const StatedBreach& b : StatedBreaches(m_)) {
      const std::string day = b.day >= 1 ? " " + std::string(kDayNames[static_cast<size_t>(b.day - 1)]) : "";
      const std::string limit = std::to_string(b.limit);
      switch (b.rule) {
        case Rule::kTeacherDayMax:
          add(FindingKind::kTeacherDayMax, b.rule, TeacherClasses(b.who, b.day), b.day,
              "教师" + TeacherName(b.who) + day + "上课" + std::to_string(b.limit + b.amount) +
                  "节，超过每天最多" + limit + "节");
          break;
        case Rule::kTeacherInARow:
          add(FindingKind::kTeacherInARow, b.rule, TeacherClasses(b.who, b.day), b.day,
              "教师" + TeacherName(b.who) + day + "连续上课" + std::to_string(b.limit + b.amount) +
                  "节，超过最多连续" + limit + "节");
          break;
        case Rule::kTeacherGaps:
          add(FindingKind::kTeacherGaps, b.rule, TeacherClasses(b.who, 0), 0,
              "教师" + TeacherName(b.who) + "本周有" + std::to_string(b.limit + b.amount) +
                  "个空节，超过每周最多" + limit + "个");
          break;
        case Rule::kClassGaps:
          add(FindingKind::kClassGaps, b.rule, {ClassCode(b.who)}, b.day,
              ClassName(b.who) + day + "有" + std::to_string(b.amount) + "个空节夹在两节课之间");
          break;
        case Rule::kDoubles: {
          const CapGroup& g = m_.capGroups[static_cast<size_t>(b.who)];
          add(FindingKind::kDoublesMissing, b.rule, {ClassCode(g.cls)}, 0,
              ClassName(g.cls) + " " + m_.courses[static_cast<size_t>(g.course)].name + "每周应排" + limit +
                  "次连堂，只排了" + std::to_string(b.limit - b.amount) + "次");
          break;
        }
        default:  // rooms: the special-course clash finding
          break;
      }
    }
    std::stable_sort(stated.begin(), stated.end(), [](const Finding& a, const Finding& b) {
      return std::tie(a.kind, a.classCode, a.day) < std::tie(b.kind, b.classCode, b.day);
    });
    for (Finding& f : stated) findings_.push_back(std::move(f));
  }

  // A rule about the lesson's own cell: one finding per lesson.
  template <class What>
  void CheckCells(Rule rule, FindingKind kind, What what) {
    for (int i : subjects_)
      if (Broke(i, rule)) Add(SeverityOf(rule), kind, Lesson(i), what(Lesson(i)));
  }

  void CheckWeekBounds() {
    for (int i : subjects_) {
      if (!Broke(i, Rule::kOutsideWeek)) continue;
      const ModelLesson& l = Lesson(i);
      for (const BrokenRule& b : Check(m_, Candidate::Of(m_, i), l.period, {Rule::kOutsideWeek}))
        Add(SeverityOf(b.rule), FindingKind::kOutsideWeek, l, CourseName(l) + b.reason);
    }
  }

  void CheckCodes() {
    for (int i : subjects_) {
      const ModelLesson& l = Lesson(i);
      const auto code = [](const ModelEntity& e) { return "代码'" + e.code + "'不存在"; };
      if (!m_.classes[static_cast<size_t>(l.cls)].known)
        Add(Severity::kViolation, FindingKind::kUnknownClass, l,
            "班级" + code(m_.classes[static_cast<size_t>(l.cls)]));
      if (!m_.courses[static_cast<size_t>(l.course)].known)
        Add(Severity::kViolation, FindingKind::kUnknownCourse, l,
            "课程" + code(m_.courses[static_cast<size_t>(l.course)]));
      if (!m_.teachers[static_cast<size_t>(l.teacher)].known)
        Add(Severity::kViolation, FindingKind::kUnknownTeacher, l,
            "教师" + code(m_.teachers[static_cast<size_t>(l.teacher)]));
    }
  }

  // Plan rows by class and course code, then table order.
  void CheckBuildCounts() {
    std::map<std::tuple<int, int, int>, long long> actual;
    for (int i : subjects_) ++actual[{Lesson(i).cls, Lesson(i).course, Lesson(i).teacher}];
    std::vector<int> rows;
    for (size_t n = 0; n < m_.needs.size(); ++n)
      if (!focused_ || m_.needs[n].cls == focus_) rows.push_back(static_cast<int>(n));
    const auto key = [&](int n) {
      const PlanNeed& p = m_.needs[static_cast<size_t>(n)];
      return std::tuple<const std::string&, const std::string&, int>(
          ClassCode(p.cls), m_.courses[static_cast<size_t>(p.course)].code, n);
    };
    std::sort(rows.begin(), rows.end(), [&](int a, int b) { return key(a) < key(b); });
    for (int n : rows) {
      const PlanNeed& p = m_.needs[static_cast<size_t>(n)];
      auto it = actual.find({p.cls, p.course, p.teacher});
      const long long have = it == actual.end() ? 0 : it->second;
      if (have == p.storedBuildCount) continue;
      Add(Severity::kViolation, FindingKind::kBuildCountWrong, p.cls, 0, 0,
          m_.courses[static_cast<size_t>(p.course)].name + "的已排课时数记为" +
              std::to_string(p.storedBuildCount) + "，课表中实有" + std::to_string(have) + "节");
    }
  }

  // One finding per class, day and course, by class, day and course code.
  void CheckDailyCaps() {
    std::map<std::tuple<std::string, int, std::string>, int> over;  // -> the first lesson
    for (int i : subjects_) {
      const ModelLesson& l = Lesson(i);
      if (Broke(i, Rule::kDailyCap))
        over.try_emplace({ClassCode(l.cls), l.day, m_.courses[static_cast<size_t>(l.course)].code}, i);
    }
    for (const auto& [key, i] : over) {
      const ModelLesson& l = Lesson(i);
      const DayLoad load = CourseDayLoad(m_, Candidate::Of(m_, i), l.day, l.period);
      const std::string pairs = load.pairs > 0 ? "（连堂" + std::to_string(load.pairs) + "次按1节计）" : "";
      Add(SeverityOf(Rule::kDailyCap), FindingKind::kCourseDayCap, l.cls, l.day, 0,
          CourseName(l) + "一天排了" + std::to_string(load.lessons) + "节" + pairs + "，超过每天最多" +
              std::to_string(load.cap) + "节");
    }
  }

  // The first plan row of a class's course names its teacher, as it sets its cap.
  void CheckPlanTeachers() {
    std::vector<int> teacherOf(m_.capGroups.size(), -1);
    for (const PlanNeed& p : m_.needs)
      if (teacherOf[static_cast<size_t>(p.capGroup)] < 0)
        teacherOf[static_cast<size_t>(p.capGroup)] = p.teacher;
    for (int i : subjects_) {
      const ModelLesson& l = Lesson(i);
      if (l.capGroup < 0) {
        Add(Severity::kWarning, FindingKind::kNotInPlan, l, CourseName(l) + "不在该班的教学计划中");
      } else if (const int planned = teacherOf[static_cast<size_t>(l.capGroup)]; planned != l.teacher) {
        Add(Severity::kWarning, FindingKind::kNotPlanTeacher, l,
            CourseName(l) + "由" + TeacherName(l.teacher) + "上，教学计划中的任课教师是" +
                TeacherName(planned));
      }
    }
  }

  void CheckClassAndTeacherCells() {
    for (int i : subjects_) {
      const ModelLesson& l = Lesson(i);
      if (Broke(i, Rule::kClassNever))
        Add(SeverityOf(Rule::kClassNever), FindingKind::kClassNeverCell, l,
            CourseName(l) + "排在了班级“不排”的位置");
      if (Broke(i, Rule::kTeacherNever))
        Add(SeverityOf(Rule::kTeacherNever), FindingKind::kTeacherNeverCell, l,
            CourseName(l) + "排在了教师" + TeacherName(l.teacher) + "“不排”的时间");
    }
  }

  const SchoolModel& m_;
  bool focused_ = false;
  int focus_ = -1;
  std::vector<int> subjects_;    // the lessons whose own findings are reported, in order
  std::vector<RuleSet> broken_;  // per lesson of the model: what it breaks where it stands
  std::vector<Finding> findings_;
};

// The school, or the findings naming one class, from one reading of the
// model; a database failure becomes the outcome, in the checker's words.
Result<std::vector<Finding>> RunChecker(TimetableDb& db, SchoolWeek week, std::string_view focus) {
  Result<SchoolModel> model = LoadSchoolModel(db, week);
  if (!model) {
    std::string why = model.message();
    if (const size_t colon = why.find("："); colon != std::string::npos)
      why = std::string(kLoadFailure) + why.substr(colon + std::string_view("：").size());
    return Outcome::Fail(std::move(why), model.code());
  }
  return Checker(*model, focus).Run();
}

}  // namespace

Result<std::vector<Finding>> CheckTimetable(TimetableDb& db, SchoolWeek week) {
  return RunChecker(db, week, {});
}

std::vector<Finding> CheckTimetable(const SchoolModel& model) { return Checker(model, {}).Run(); }

Result<std::vector<Finding>> CheckClassTimetable(TimetableDb& db, SchoolWeek week,
                                                 std::string_view classCode) {
  if (classCode.empty()) return std::vector<Finding>{};
  return RunChecker(db, week, classCode);
}

std::vector<Finding> CheckClassTimetable(const SchoolModel& model, std::string_view classCode) {
  if (classCode.empty()) return {};
  return Checker(model, classCode).Run();
}

Result<FindingCounts> CountClassFindings(TimetableDb& db, SchoolWeek week, std::string_view classCode) {
  const Result<std::vector<Finding>> findings = CheckClassTimetable(db, week, classCode);
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
