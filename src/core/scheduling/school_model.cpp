#include "core/scheduling/school_model.h"

#include <algorithm>
#include <exception>
#include <map>
#include <tuple>
#include <unordered_map>

#include "core/database/guard.h"
#include "core/database/plan_count.h"
#include "core/scheduling/generation_steps.h"

namespace orv {

namespace {

constexpr const char* kClasses = "select Code,Name from Classtb order by rowid";
constexpr const char* kCourses = "select Code,Name from Coursetb order by rowid";
constexpr const char* kTeachers = "select Code,Name from Teachertb order by rowid";
constexpr const char* kPlan =
    "select rowid,ClassCode,CourseCode,TeacherCode,Count,BuildCount,IsAutoBuild from ClassPlantb order by "
    "rowid";
constexpr const char* kLessons =
    "select rowid,ClassCode,Day,LessonNo,CourseCode,TeacherCode,SetFlag from LessonListtb order by rowid";
constexpr const char* kLimits = "select Kind,Code,Day,LessonNo,Attr from Limittb where Kind in (?,?,?)";
constexpr const char* kSpecialCourses = "select CourseCode from CourseAttrtb";

// Codes to indices, adding an unknown entity for a code no list holds.
class EntityIndex {
 public:
  EntityIndex(std::vector<ModelEntity>& list, const char* what) : list_(list), what_(what) {}
  void AddKnown(const std::string& code, const std::string& name) {
    if (index_.count(code)) return;
    index_.emplace(code, static_cast<int>(list_.size()));
    list_.push_back({code, name.empty() ? Unknown(code) : name, true, {}});
  }
  int Of(const std::string& code) {
    auto [it, added] = index_.try_emplace(code, static_cast<int>(list_.size()));
    if (added) list_.push_back({code, Unknown(code), false, {}});
    return it->second;
  }
  int Find(const std::string& code) const {
    auto it = index_.find(code);
    return it == index_.end() ? -1 : it->second;
  }

 private:
  std::string Unknown(const std::string& code) const { return std::string(what_) + "'" + code + "'"; }
  std::vector<ModelEntity>& list_;
  const char* what_;
  std::unordered_map<std::string, int> index_;
};

void ReadNames(TimetableDb& db, const char* sql, EntityIndex& index) {
  Cursor c = db.Query(sql);
  while (c.Next()) index.AddKnown(c.Text(0), c.Text(1));
}

// Of two marks on one cell the stricter counts, as in the checker.
void Normalise(MarkMasks& m) {
  m.avoid &= ~m.never;
  m.best &= ~(m.never | m.avoid);
}

}  // namespace

Walls CollectWalls(const SchoolModel& m) {
  Walls w;
  w.cls.assign(m.classes.size(), 0);
  w.teacher.assign(m.teachers.size(), 0);
  w.special.assign(m.courses.size(), 0);
  w.dayLoad.assign(m.capGroups.size() * kDaysPerWeek, 0);
  for (const ModelLesson& l : m.lessons) {
    if (l.moves || l.surplus || l.period < 0) continue;
    const PeriodMask bit = PeriodBit(l.period);
    w.cls[static_cast<size_t>(l.cls)] |= bit;
    w.teacher[static_cast<size_t>(l.teacher)] |= bit;
    if (m.special[static_cast<size_t>(l.course)]) w.special[static_cast<size_t>(l.course)] |= bit;
    if (l.capGroup >= 0) ++w.dayLoad[static_cast<size_t>(l.capGroup * kDaysPerWeek + l.day - 1)];
  }
  return w;
}

PeriodMask Walls::Room(const SchoolModel& m, const PlanNeed& need) const {
  PeriodMask room = need.usable ? need.open : 0;
  room &= ~(cls[static_cast<size_t>(need.cls)] | teacher[static_cast<size_t>(need.teacher)]);
  if (m.special[static_cast<size_t>(need.course)]) room &= ~special[static_cast<size_t>(need.course)];
  const int cap = m.capGroups[static_cast<size_t>(need.capGroup)].cap;
  for (int day = 1; day <= kDaysPerWeek; ++day)
    if (DayLoad(need.capGroup, day) >= cap) room &= ~DayBits(day);
  return room;
}

PeriodMask WeekBits(int lessonsPerDay) {
  PeriodMask week = 0;
  const PeriodMask day = (PeriodMask{1} << lessonsPerDay) - 1;
  for (int d = 1; d <= kDaysPerWeek; ++d) week |= day << ((d - 1) * kMaxLessonsPerDay);
  return week;
}

int SchoolModel::SoftCost(const PlanNeed& need, int period) const {
  const PeriodMask bit = PeriodBit(period);
  int cost = 0;
  for (const MarkMasks* m :
       {&classes[need.cls].marks, &courses[need.course].marks, &teachers[need.teacher].marks}) {
    if (m->avoid & bit) cost += kAvoidCellCost;
    if (m->best & bit) cost -= kBestCellGain;
  }
  return cost;
}

std::string SchoolModel::NeedLabel(const PlanNeed& need) const {
  return classes[need.cls].name + " " + courses[need.course].name + "（" + teachers[need.teacher].name + "）";
}

Result<SchoolModel> LoadSchoolModel(TimetableDb& db, int lessonsPerDay) {
  if (lessonsPerDay < 1 || lessonsPerDay > kMaxLessonsPerDay)
    return Outcome::Fail("每天课时数无效: " + std::to_string(lessonsPerDay));
  return Guarded("读取排课数据失败：", [&]() -> Result<SchoolModel> {
    SchoolModel m;
    m.lessonsPerDay = lessonsPerDay;
    m.week = WeekBits(lessonsPerDay);
    EntityIndex classes(m.classes, "班级"), courses(m.courses, "课程"), teachers(m.teachers, "教师");
    ReadNames(db, kClasses, classes);
    ReadNames(db, kCourses, courses);
    ReadNames(db, kTeachers, teachers);

    std::map<std::tuple<int, int, int>, int> needOf;  // class, course, teacher -> first row
    std::map<std::pair<int, int>, int> groupOf;       // class, course -> cap group
    {
      Cursor c = db.Query(kPlan);
      while (c.Next()) {
        PlanNeed n;
        n.rowid = c.Int64(0);
        n.cls = classes.Of(c.Text(1));
        n.course = courses.Of(c.Text(2));
        n.teacher = teachers.Of(c.Text(3));
        const StoredPlanCount count = ReadPlanCount(c, 4);
        n.count = count.lessons;
        n.countFault = count.fault;
        n.storedBuildCount = c.IsNull(5) ? 0 : c.Int64(5);
        n.autoBuilt = !c.IsNull(6) && c.Int(6) != 0;
        const int index = static_cast<int>(m.needs.size());
        const bool first = needOf.try_emplace({n.cls, n.course, n.teacher}, index).second;
        n.duplicate = !first;
        n.usable =
            first && m.classes[n.cls].known && m.courses[n.course].known && m.teachers[n.teacher].known;
        // The generator and the checker take a class's course row by class and
        // course: the first row stored sets the daily cap.
        auto [group, added] = groupOf.try_emplace({n.cls, n.course}, static_cast<int>(m.capGroups.size()));
        if (added) {
          const int cap = n.count > 0 ? CourseDailyCap(1.0 / (5.0 / static_cast<double>(n.count))) : 1;
          m.capGroups.push_back({n.cls, n.course, cap});
        }
        n.capGroup = group->second;
        m.needs.push_back(n);
      }
    }
    {
      Cursor c = db.Query(kLessons);
      while (c.Next()) {
        ModelLesson l;
        l.rowid = c.Int64(0);
        l.cls = classes.Of(c.Text(1));
        l.day = c.Int(2);
        l.lessonNo = c.Int(3);
        l.course = courses.Of(c.Text(4));
        l.teacher = teachers.Of(c.Text(5));
        l.fixed = !c.IsNull(6) && c.Int(6) == DbValue(LessonOrigin::Fixed);
        l.moves = !c.IsNull(6) && c.Int(6) == DbValue(LessonOrigin::Automatic);
        if (l.day >= 1 && l.day <= kDaysPerWeek && l.lessonNo >= 1 && l.lessonNo <= lessonsPerDay)
          l.period = PeriodOf(l.day, l.lessonNo);
        if (auto it = needOf.find({l.cls, l.course, l.teacher}); it != needOf.end()) l.need = it->second;
        if (auto it = groupOf.find({l.cls, l.course}); it != groupOf.end()) l.capGroup = it->second;
        m.lessons.push_back(l);
      }
    }
    {
      Cursor c = db.Query(kLimits, DbValue(LimitKind::Class), DbValue(LimitKind::Course),
                          DbValue(LimitKind::Teacher));
      while (c.Next()) {
        const int day = c.Int(2), lessonNo = c.Int(3);
        const auto mark = MarkFromDb(c.Int(4));
        if (!mark || !WeekMarks::InWeek(day, lessonNo)) continue;
        const int kind = c.Int(0);
        int who = -1;
        std::vector<ModelEntity>* list = nullptr;
        if (kind == DbValue(LimitKind::Class)) {
          who = classes.Find(c.Text(1));
          list = &m.classes;
        } else if (kind == DbValue(LimitKind::Course)) {
          who = courses.Find(c.Text(1));
          list = &m.courses;
        } else {
          who = teachers.Find(c.Text(1));
          list = &m.teachers;
        }
        if (who < 0) continue;  // restricts nobody the plan or the timetable names
        MarkMasks& marks = (*list)[static_cast<size_t>(who)].marks;
        const PeriodMask bit = PeriodBit(PeriodOf(day, lessonNo));
        if (*mark == LimitMark::Never) marks.never |= bit;
        if (*mark == LimitMark::Avoid) marks.avoid |= bit;
        if (*mark == LimitMark::Best) marks.best |= bit;
      }
    }
    for (auto* list : {&m.classes, &m.courses, &m.teachers})
      for (ModelEntity& e : *list) Normalise(e.marks);

    m.special.assign(m.courses.size(), 0);
    {
      Cursor c = db.Query(kSpecialCourses);
      while (c.Next())
        if (int course = courses.Find(c.Text(0)); course >= 0) m.special[static_cast<size_t>(course)] = 1;
    }
    for (PlanNeed& n : m.needs)
      n.open = m.week & ~(m.classes[n.cls].marks.never | m.courses[n.course].marks.never |
                          m.teachers[n.teacher].marks.never);
    // A row's automatic lessons fill what its other lessons leave of Count,
    // earlier rows of the table first; any beyond are surplus.
    for (ModelLesson& l : m.lessons)
      if (l.need < 0 || !m.needs[static_cast<size_t>(l.need)].usable) l.moves = false;
    for (const ModelLesson& l : m.lessons)
      if (l.need >= 0 && !l.moves) ++m.needs[static_cast<size_t>(l.need)].staying;
    for (PlanNeed& n : m.needs) n.toPlace = std::max(0, n.count - n.staying);
    std::vector<int> taken(m.needs.size(), 0);
    for (ModelLesson& l : m.lessons) {
      if (!l.moves || taken[static_cast<size_t>(l.need)]++ < m.needs[static_cast<size_t>(l.need)].toPlace)
        continue;
      l.moves = false;
      l.surplus = true;
    }
    std::vector<PeriodMask> classTaken(m.classes.size(), 0), teacherTaken(m.teachers.size(), 0),
        specialTaken(m.courses.size(), 0);
    for (ModelLesson& l : m.lessons) {
      if (l.moves || l.surplus || l.period < 0) continue;
      const PeriodMask bit = PeriodBit(l.period);
      PeriodMask& byClass = classTaken[static_cast<size_t>(l.cls)];
      PeriodMask& byTeacher = teacherTaken[static_cast<size_t>(l.teacher)];
      PeriodMask& bySpecial = specialTaken[static_cast<size_t>(l.course)];
      const bool special = m.special[static_cast<size_t>(l.course)] != 0;
      l.clashes = ((byClass | byTeacher) & bit) || (special && (bySpecial & bit));
      byClass |= bit;
      byTeacher |= bit;
      if (special) bySpecial |= bit;
    }
    return m;
  });
}

}  // namespace orv
