// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/scheduling/school_analysis.h"

#include <algorithm>
#include <bit>
#include <map>
#include <numeric>
#include <set>

#include "core/database/record_names.h"
#include "core/rules/rule_book.h"
#include "core/rules/week_rules.h"

namespace orv {

namespace {

using Kind = AnalysisKind;

std::string N(long long n) { return std::to_string(n); }

// A share above this (in percent) of what is open leaves little room to move.
constexpr int kTightPercent = 90;

// What two lessons that do not move can break against each other, and what a
// lesson that does not move can break on its own cell.
constexpr RuleSet kClashRules = {Rule::kClassClash, Rule::kTeacherClash, Rule::kSpecialCourseClash};
constexpr RuleSet kNeverRules = {Rule::kCourseNever, Rule::kClassNever, Rule::kTeacherNever};

class Analyzer {
 public:
  explicit Analyzer(const SchoolModel& m) : m_(m), walls_(CollectWalls(m)) {
    for (int c = 0; c < static_cast<int>(m.classes.size()); ++c)
      classOpen_.push_back(OpenPeriods(m, Rule::kClassNever, c));
    for (int t = 0; t < static_cast<int>(m.teachers.size()); ++t)
      teacherOpen_.push_back(OpenPeriods(m, Rule::kTeacherNever, t));
    for (int k = 0; k < static_cast<int>(m.courses.size()); ++k)
      courseOpen_.push_back(OpenPeriods(m, Rule::kCourseNever, k));
  }

  std::vector<AnalysisFinding> Run() {
    CheckSchoolIsThere();
    CheckPlanRows();
    CheckWallClashes();
    CheckClassesAndTeachers();
    CheckDailyCaps();
    CheckTeacherDays();
    CheckDoubles();
    CheckSpecialCourses();
    CheckWallsInNeverCells();
    std::stable_sort(found_.begin(), found_.end(), [](const AnalysisFinding& a, const AnalysisFinding& b) {
      return a.severity < b.severity;
    });
    return std::move(found_);
  }

 private:
  const ModelEntity& Class(int i) const { return m_.classes[static_cast<size_t>(i)]; }
  const ModelEntity& Course(int i) const { return m_.courses[static_cast<size_t>(i)]; }
  const ModelEntity& Teacher(int i) const { return m_.teachers[static_cast<size_t>(i)]; }

  void Add(AnalysisSeverity severity, Kind kind, int cls, int course, int teacher, std::string text,
           int shortfall = 0) {
    AnalysisFinding f;
    f.severity = severity;
    f.kind = kind;
    if (cls >= 0) f.classCode = Class(cls).code;
    if (course >= 0) f.courseCode = Course(course).code;
    if (teacher >= 0) f.teacherCode = Teacher(teacher).code;
    f.text = std::move(text);
    f.shortfall = shortfall;
    found_.push_back(std::move(f));
  }

  // A school with nothing to schedule has no finding of its own to give:
  // without these a new database would pass the check and the generation
  // would fail after it, with nothing said about what is missing.
  void CheckSchoolIsThere() {
    auto none = [](const std::vector<ModelEntity>& list) {
      return std::none_of(list.begin(), list.end(), [](const ModelEntity& e) { return e.known; });
    };
    if (none(m_.classes))
      Add(AnalysisSeverity::kBlocking, Kind::kNoClasses, -1, -1, -1, "没有班级：请先在“班级名单”中录入班级");
    if (none(m_.courses))
      Add(AnalysisSeverity::kBlocking, Kind::kNoCourses, -1, -1, -1, "没有课程：请先在“课程名单”中录入课程");
    if (none(m_.teachers))
      Add(AnalysisSeverity::kBlocking, Kind::kNoTeachers, -1, -1, -1, "没有教师：请先在“老师名单”中录入教师");
    if (m_.needs.empty())
      Add(AnalysisSeverity::kBlocking, Kind::kEmptyPlan, -1, -1, -1,
          "教学计划为空：请在“各班教学计划”中为每个班录入课程、任课教师和每周节数");
  }

  void CheckPlanRows() {
    for (const PlanNeed& n : m_.needs) {
      if (n.countFault != PlanCountFault::kNone) {
        // Read as 0 (or 35) so that nothing overflows, but the plan the user
        // meant is unknown: no timetable built from it can be trusted.
        Add(AnalysisSeverity::kBlocking, Kind::kBadPlanCount, n.cls, n.course, n.teacher,
            "教学计划" + m_.NeedLabel(n) + "：" + PlanCountFaultText(n.countFault) + "，请在教学计划中改为" +
                N(kMinWeeklyLessons) + "到" + N(kMaxWeeklyLessons) + "之间的整数");
      }
      if (n.duplicate) {
        Add(AnalysisSeverity::kWarning, Kind::kDuplicatePlanRow, n.cls, n.course, n.teacher,
            "教学计划中" + m_.NeedLabel(n) + "重复出现，只按第一行安排");
        continue;
      }
      std::string gone;
      for (const ModelEntity* e : {&Class(n.cls), &Course(n.course), &Teacher(n.teacher)})
        if (!e->known) gone += (gone.empty() ? "" : "、") + e->name;
      if (gone.empty()) continue;
      Add(AnalysisSeverity::kBlocking, Kind::kUnknownInPlan, n.cls, n.course, n.teacher,
          "教学计划" + m_.NeedLabel(n) + "：" + gone + "已不存在，" + N(n.toPlace) + "节课无法安排",
          n.toPlace);
    }
  }

  // Lessons that do not move, grouped by what they share in one period,
  // where the rule book finds they break a rule against each other.
  void CheckWallClashes() {
    std::vector<char> walls(m_.lessons.size(), 0);
    for (size_t i = 0; i < m_.lessons.size(); ++i) walls[i] = IsWall(m_.lessons[i]);
    // Each wall against all the other walls.
    std::vector<RuleSet> broken(m_.lessons.size());
    for (size_t i = 0; i < m_.lessons.size(); ++i) {
      if (!walls[i]) continue;
      Candidate c = Candidate::Of(m_, static_cast<int>(i));
      c.standing = &walls;
      broken[i] = Test(m_, c, m_.lessons[i].period, kClashRules);
    }
    // The walls in one period of the model's index, when one of them breaks the rule.
    auto clash = [&](const std::vector<int>& here, Rule rule) {
      std::vector<const ModelLesson*> group;
      bool breaks = false;
      for (int i : here) {
        if (!walls[static_cast<size_t>(i)]) continue;
        group.push_back(&m_.lessons[static_cast<size_t>(i)]);
        breaks = breaks || broken[static_cast<size_t>(i)].Has(rule);
      }
      if (!breaks) group.clear();
      return group;
    };
    auto join = [](const std::vector<const ModelLesson*>& group, auto nameOf) {
      std::string text;
      for (const ModelLesson* l : group) text += (text.empty() ? "" : "、") + nameOf(*l);
      return text;
    };
    auto courseName = [&](const ModelLesson& l) { return Course(l.course).name; };
    auto className = [&](const ModelLesson& l) { return Class(l.cls).name; };
    auto slot = [](int period) { return SlotLabel(DayOfPeriod(period), LessonOfPeriod(period)); };
    for (int c = 0; c < static_cast<int>(m_.classes.size()); ++c)
      for (int p = 0; p < kWeekPeriods; ++p)
        if (const auto group = clash(m_.ClassAt(c, p), Rule::kClassClash); !group.empty())
          Add(AnalysisSeverity::kBlocking, Kind::kWallsClash, c, -1, -1,
              Class(c).name + " " + slot(p) + "：有" + N(group.size()) + "节固定或手工安排的课（" +
                  join(group, courseName) + "）");
    for (int t = 0; t < static_cast<int>(m_.teachers.size()); ++t)
      for (int p = 0; p < kWeekPeriods; ++p)
        if (const auto group = clash(m_.TeacherAt(t, p), Rule::kTeacherClash); !group.empty())
          Add(AnalysisSeverity::kBlocking, Kind::kWallsClash, -1, -1, t,
              "教师" + Teacher(t).name + " " + slot(p) + "：同时有" + N(group.size()) +
                  "节固定或手工安排的课（" + join(group, className) + "）");
    for (int k = 0; k < static_cast<int>(m_.courses.size()); ++k)
      for (int p = 0; p < kWeekPeriods; ++p) {
        const auto group = clash(m_.CourseAt(k, p), Rule::kSpecialCourseClash);
        if (group.empty()) continue;
        std::set<int> classes;
        for (const ModelLesson* l : group) classes.insert(l->cls);
        const int rooms = m_.rooms[static_cast<size_t>(k)];
        Add(AnalysisSeverity::kBlocking, Kind::kWallsClash, -1, k, -1,
            "专用课程" + Course(k).name + " " + slot(p) + "：有" + N(classes.size()) + "个班同时上（" +
                join(group, className) + "）" + (rooms > 1 ? "，专用教室只有" + N(rooms) + "间" : ""));
      }
  }

  void CheckClassesAndTeachers() {
    std::vector<int> classLoad(m_.classes.size(), 0), teacherLoad(m_.teachers.size(), 0);
    std::map<std::pair<int, int>, int> pairLoad;
    for (const PlanNeed& n : m_.needs) {
      if (!n.usable) continue;
      classLoad[static_cast<size_t>(n.cls)] += n.toPlace;
      teacherLoad[static_cast<size_t>(n.teacher)] += n.toPlace;
      pairLoad[{n.cls, n.teacher}] += n.toPlace;
    }
    std::vector<char> classOver(m_.classes.size(), 0), teacherOver(m_.teachers.size(), 0);
    for (size_t c = 0; c < m_.classes.size(); ++c) {
      const int load = classLoad[c];
      const int room = CountPeriods(ClassRoom(static_cast<int>(c)));
      if (load <= room) continue;
      classOver[c] = 1;
      Add(AnalysisSeverity::kBlocking, Kind::kClassOverloaded, static_cast<int>(c), -1, -1,
          m_.classes[c].name + "：每周要排" + N(load) + "节课，除去“不排”和已固定的节次只有" + N(room) +
              "个节次可排，至少缺" + N(load - room) + "节",
          load - room);
    }
    for (size_t t = 0; t < m_.teachers.size(); ++t) {
      const int load = teacherLoad[t];
      const int room = CountPeriods(TeacherRoom(static_cast<int>(t)));
      if (load == 0) continue;
      const std::string who = "教师" + m_.teachers[t].name;
      if (load > room) {
        teacherOver[t] = 1;
        Add(AnalysisSeverity::kBlocking, Kind::kTeacherOverloaded, -1, -1, static_cast<int>(t),
            who + "：每周要上" + N(load) + "节课，除去“不排”和已固定的节次只有" + N(room) +
                "个节次可排，至少缺" + N(load - room) + "节",
            load - room);
      } else if (load * 100 > room * kTightPercent) {
        Add(AnalysisSeverity::kWarning, Kind::kTeacherTight, -1, -1, static_cast<int>(t),
            who + "：每周要上" + N(load) + "节课，可排的节次只有" + N(room) + "个，调整的余地很小");
      }
    }
    for (const auto& [key, load] : pairLoad) {
      const auto [c, t] = key;
      if (classOver[static_cast<size_t>(c)] || teacherOver[static_cast<size_t>(t)]) continue;
      const int room = CountPeriods(ClassRoom(c) & TeacherRoom(t));
      if (load <= room) continue;
      Add(AnalysisSeverity::kBlocking, Kind::kClassTeacherOverload, c, -1, t,
          "教师" + Teacher(t).name + "在" + Class(c).name + "每周要上" + N(load) +
              "节课，但班级和教师都能上课的节次只有" + N(room) + "个",
          load - room);
    }
  }

  PeriodMask ClassRoom(int c) const {
    return classOpen_[static_cast<size_t>(c)] & ~walls_.cls[static_cast<size_t>(c)];
  }
  PeriodMask TeacherRoom(int t) const {
    return teacherOpen_[static_cast<size_t>(t)] & ~walls_.teacher[static_cast<size_t>(t)];
  }

  void CheckDailyCaps() {
    for (const PlanNeed& n : m_.needs) {
      if (!n.usable || n.toPlace == 0) continue;
      const PeriodMask room = walls_.Room(m_, n);
      const int cap = m_.capGroups[static_cast<size_t>(n.capGroup)].cap;
      int capacity = 0, days = 0;
      for (int day = 1; day <= kDaysPerWeek; ++day) {
        const int free = CountPeriods(room & DayBits(day));
        const int fits = std::min(free, std::max(0, cap - walls_.DayLoad(n.capGroup, day)));
        capacity += fits;
        if (fits > 0) ++days;
      }
      if (n.toPlace <= capacity) continue;
      const std::string open = days == 0 ? "没有一天能排这门课" : "只有" + N(days) + "天能排这门课";
      Add(AnalysisSeverity::kBlocking, Kind::kDailyCapShort, n.cls, n.course, n.teacher,
          m_.NeedLabel(n) + "：每周" + N(n.count) + "节，每天最多" + N(cap) +
              "节，除去课程、班级和教师“不排”及已占用的节次，" + open + "，最多只能排" +
              N(capacity + n.staying) + "节",
          n.toPlace - capacity);
    }
  }

  // A teacher's max-lessons-per-day times the days the teacher can teach,
  // less what the walls already take each day.
  void CheckTeacherDays() {
    std::vector<int> load(m_.teachers.size(), 0);
    for (const PlanNeed& n : m_.needs)
      if (n.usable) load[static_cast<size_t>(n.teacher)] += n.toPlace;
    for (int t = 0; t < static_cast<int>(m_.teachers.size()); ++t) {
      const int most = m_.teacherRules[static_cast<size_t>(t)].maxPerDay;
      const int lessons = load[static_cast<size_t>(t)];
      if (most <= 0 || lessons == 0) continue;
      int capacity = 0, days = 0;
      for (int day = 1; day <= kDaysPerWeek; ++day) {
        const int free = CountPeriods(TeacherRoom(t) & DayBits(day));
        if (teacherOpen_[static_cast<size_t>(t)] & DayBits(day)) ++days;
        capacity += std::min(free, std::max(0, most - walls_.TeacherDayLoad(t, day)));
      }
      // A teacher short of periods altogether is already reported as such.
      if (lessons <= capacity || lessons > CountPeriods(TeacherRoom(t))) continue;
      Add(AnalysisSeverity::kBlocking, Kind::kTeacherDayMaxShort, -1, -1, t,
          "教师" + Teacher(t).name + "：每周要上" + N(lessons) + "节课，每天最多" + N(most) +
              "节，能上课的只有" + N(days) + "天，除去已固定的课最多只能排" + N(capacity) + "节，至少缺" +
              N(lessons - capacity) + "节",
          lessons - capacity);
    }
  }

  // The pairs a course's doubles ask for against the adjacent periods its
  // lessons may take (and its own lessons that do not move hold), each day
  // taking as many pairs as its daily cap, a pair counting once. Doubles
  // that cannot all be paired keep no lesson out, so no shortfall.
  void CheckDoubles() {
    for (int g = 0; g < static_cast<int>(m_.capGroups.size()); ++g) {
      const CapGroup& group = m_.capGroups[static_cast<size_t>(g)];
      if (group.doubles <= 0) continue;
      PeriodMask room = 0;
      int lessons = 0;
      for (const PlanNeed& n : m_.needs)
        if (n.usable && n.capGroup == g) {
          room |= walls_.Room(m_, n);
          lessons += n.count;
        }
      for (const ModelLesson& l : m_.lessons)
        if (IsWall(l) && l.capGroup == g) room |= PeriodBit(l.period);
      const std::string who = Class(group.cls).name + " " + Course(group.course).name + "：每周要排" +
                              N(group.doubles) + "次连堂，";
      if (lessons == 0) continue;
      if (2 * group.doubles > lessons) {
        Add(AnalysisSeverity::kBlocking, Kind::kDoublesImpossible, group.cls, group.course, -1,
            who + "但每周只有" + N(lessons) + "节课");
        continue;
      }
      int pairs = 0;
      for (int day = 1; day <= kDaysPerWeek; ++day) pairs += std::min(DoublesIn(m_, room, day), group.cap);
      if (pairs >= group.doubles) continue;
      Add(AnalysisSeverity::kBlocking, Kind::kDoublesImpossible, group.cls, group.course, -1,
          who + "除去“不排”和已占用的节次，只有" + N(pairs) + "处相邻的两节（不跨午休）可排，至少缺" +
              N(group.doubles - pairs) + "次");
    }
  }

  // A special course of R rooms takes R classes in each open period the walls
  // leave it.
  void CheckSpecialCourses() {
    std::vector<int> load(m_.courses.size(), 0);
    for (const PlanNeed& n : m_.needs)
      if (n.usable) load[static_cast<size_t>(n.course)] += n.toPlace;
    for (size_t k = 0; k < m_.courses.size(); ++k) {
      if (!m_.special[k] || load[k] == 0) continue;
      const int rooms = std::max(1, m_.rooms[k]);
      const PeriodMask open = courseOpen_[k] & ~walls_.special[k];
      int room = 0;
      for (PeriodMask left = open; left != 0; left &= left - 1)
        room += rooms - walls_.RoomsTaken(static_cast<int>(k), std::countr_zero(left));
      const std::string what =
          "专用课程" + m_.courses[k].name + "：全校每周要排" + N(load[k]) + "节，" +
          (rooms == 1 ? std::string("同一节只能有一个班上，") : "同一节最多" + N(rooms) + "个班上，");
      const std::string periods =
          rooms == 1 ? "可排的节次只有" + N(room) + "个"
                     : "可排的节次只有" + N(CountPeriods(open)) + "个，最多排" + N(room) + "节";
      if (load[k] > room)
        Add(AnalysisSeverity::kBlocking, Kind::kSpecialOverloaded, -1, static_cast<int>(k), -1,
            what + "但" + periods + "，至少缺" + N(load[k] - room) + "节", load[k] - room);
      else if (load[k] * 100 > room * kTightPercent)
        Add(AnalysisSeverity::kWarning, Kind::kSpecialTight, -1, static_cast<int>(k), -1,
            what + periods + "，调整的余地很小");
    }
  }

  void CheckWallsInNeverCells() {
    for (size_t i = 0; i < m_.lessons.size(); ++i) {
      const ModelLesson& l = m_.lessons[i];
      if (!IsWall(l)) continue;
      const RuleSet broken = Test(m_, Candidate::Of(m_, static_cast<int>(i)), l.period, kNeverRules);
      std::string whose;
      if (broken.Has(Rule::kCourseNever))
        whose = "课程" + Course(l.course).name;
      else if (broken.Has(Rule::kClassNever))
        whose = "班级";
      else if (broken.Has(Rule::kTeacherNever))
        whose = "教师" + Teacher(l.teacher).name;
      if (whose.empty()) continue;
      Add(AnalysisSeverity::kWarning, Kind::kWallInNeverCell, l.cls, l.course, l.teacher,
          Class(l.cls).name + " " + SlotLabel(l.day, l.lessonNo) + "：" +
              (l.fixed ? "固定课程" : "手工安排的课程") + Course(l.course).name + "排在了" + whose +
              "“不排”的时间");
    }
  }

  const SchoolModel& m_;
  Walls walls_;
  std::vector<PeriodMask> classOpen_, teacherOpen_, courseOpen_;  // outside their "不排" cells
  std::vector<AnalysisFinding> found_;
};

}  // namespace

Result<std::vector<AnalysisFinding>> AnalyzeSchool(TimetableDb& db, int lessonsPerDay) {
  if (!SchoolWeek::Valid(lessonsPerDay))
    return Outcome::Fail("每天课时数无效: " + std::to_string(lessonsPerDay));
  Result<SchoolModel> model = LoadIndexedSchool(db, SchoolWeek(lessonsPerDay));
  if (!model) return model.outcome();
  std::vector<AnalysisFinding> findings = AnalyzeModel(*model);
  Result<std::vector<NameClash>> clashes = FindNameClashes(db);
  if (!clashes) return clashes.outcome();
  for (const NameClash& clash : *clashes) {
    AnalysisFinding f;
    f.severity = AnalysisSeverity::kWarning;
    f.kind = clash.name.empty() ? Kind::kBlankName : Kind::kSharedName;
    f.text = NameClashText(clash);
    findings.push_back(std::move(f));
  }
  return findings;
}

std::vector<AnalysisFinding> AnalyzeModel(const SchoolModel& model) { return Analyzer(model).Run(); }

std::string AnalysisLine(const AnalysisFinding& f) {
  return (f.severity == AnalysisSeverity::kBlocking ? "错误：" : "警告：") + f.text;
}

int CountAnalysis(const std::vector<AnalysisFinding>& findings, AnalysisSeverity severity) {
  return static_cast<int>(std::count_if(findings.begin(), findings.end(),
                                        [&](const AnalysisFinding& f) { return f.severity == severity; }));
}

int ProvenShortfall(const std::vector<AnalysisFinding>& findings) {
  // Within one kind the findings are about different lessons, so their
  // shortfalls add up; across kinds they may be about the same lessons.
  // Rows whose teacher is gone are outside every other count.
  std::map<Kind, int> byKind;
  for (const AnalysisFinding& f : findings) byKind[f.kind] += f.shortfall;
  int most = 0;
  for (const auto& [kind, sum] : byKind)
    if (kind != Kind::kUnknownInPlan) most = std::max(most, sum);
  return byKind[Kind::kUnknownInPlan] + most;
}

const AnalysisFinding* BlockingFindingFor(const std::vector<AnalysisFinding>& findings,
                                          const SchoolModel& model, const PlanNeed& need) {
  auto matches = [](const std::string& code, const ModelEntity& e) { return code.empty() || code == e.code; };
  for (const AnalysisFinding& f : findings) {
    if (f.severity != AnalysisSeverity::kBlocking) continue;
    if (matches(f.classCode, model.classes[static_cast<size_t>(need.cls)]) &&
        matches(f.courseCode, model.courses[static_cast<size_t>(need.course)]) &&
        matches(f.teacherCode, model.teachers[static_cast<size_t>(need.teacher)]))
      return &f;
  }
  return nullptr;
}

}  // namespace orv
