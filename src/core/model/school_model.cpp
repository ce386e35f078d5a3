// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/model/school_model.h"

#include <algorithm>
#include <exception>
#include <map>
#include <stdexcept>
#include <tuple>
#include <unordered_map>

#include "core/database/guard.h"
#include "core/database/plan_count.h"
#include "core/database/week_marks.h"

namespace orv {

namespace {

constexpr const char* kClasses = "select Code,Name from Classtb order by rowid";
constexpr const char* kCourses = "select Code,Name from Coursetb order by rowid";
constexpr const char* kTeachers = "select Code,Name from Teachertb order by rowid";
constexpr const char* kPlan =
    "select rowid,ClassCode,CourseCode,TeacherCode,Count,BuildCount,IsAutoBuild,"
    "ClassCode is null or CourseCode is null or TeacherCode is null from ClassPlantb order by rowid";
constexpr const char* kLessons =
    "select rowid,ClassCode,Day,LessonNo,CourseCode,TeacherCode,SetFlag from LessonListtb order by rowid";
constexpr const char* kClassrooms = "select Code,Name from ClassRoomtb order by rowid";
constexpr const char* kLimits = "select Kind,Code,Day,LessonNo,Attr from Limittb where Kind in (?,?,?,?)";
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

// Of two marks on one cell the stricter counts.
void Normalise(MarkMasks& m) {
  m.avoid &= ~m.never;
  m.best &= ~(m.never | m.avoid);
}

// The stated rules resolved for each class, course and teacher: a value set
// for one wins over the school-wide default.
void ReadRules(TimetableDb& db, SchoolModel& m, const EntityIndex& classes, const EntityIndex& courses,
               const EntityIndex& teachers) {
  m.rooms.assign(m.courses.size(), 0);
  for (size_t k = 0; k < m.courses.size(); ++k) m.rooms[k] = m.special[k] ? 1 : 0;
  m.teacherRules.assign(m.teachers.size(), {});
  m.noClassGaps.assign(m.classes.size(), 0);
  Result<std::vector<SchoolRule>> rules = LoadSchoolRules(db);
  if (!rules) throw std::runtime_error(rules.message());
  // School-wide rows first, so that a teacher's or a class's own row comes after and wins.
  std::stable_sort(rules->begin(), rules->end(),
                   [](const SchoolRule& a, const SchoolRule& b) { return a.scope < b.scope; });
  const auto forTeachers = [&](const SchoolRule& r, auto set) {
    if (r.scope == RuleScope::kSchool)
      for (TeacherRules& t : m.teacherRules) set(t);
    else if (const int t = teachers.Find(r.code); t >= 0)
      set(m.teacherRules[static_cast<size_t>(t)]);
  };
  for (const SchoolRule& r : *rules) {
    switch (r.key) {
      case RuleKey::kMaxLessonsPerDay:
        forTeachers(r, [&](TeacherRules& t) { t.maxPerDay = r.value; });
        break;
      case RuleKey::kMaxInARow:
        forTeachers(r, [&](TeacherRules& t) { t.maxInARow = r.value; });
        break;
      case RuleKey::kMaxGapsPerWeek:
        forTeachers(r, [&](TeacherRules& t) { t.maxGaps = r.value; });
        break;
      case RuleKey::kNoClassGaps:
        if (r.scope == RuleScope::kSchool)
          std::fill(m.noClassGaps.begin(), m.noClassGaps.end(), r.value != 0);
        else if (const int c = classes.Find(r.code); c >= 0)
          m.noClassGaps[static_cast<size_t>(c)] = r.value != 0;
        break;
      case RuleKey::kDoublesPerWeek: {
        const int course = courses.Find(r.scope == RuleScope::kClassCourse ? r.courseCode : r.code);
        const int cls = r.scope == RuleScope::kClassCourse ? classes.Find(r.code) : -1;
        for (CapGroup& g : m.capGroups)
          if (g.course == course && (r.scope == RuleScope::kCourse || g.cls == cls)) g.doubles = r.value;
        break;
      }
      case RuleKey::kRooms:
        if (const int k = courses.Find(r.code); k >= 0 && m.special[static_cast<size_t>(k)])
          m.rooms[static_cast<size_t>(k)] = r.value;
        break;
    }
  }
}

}  // namespace

PeriodMask WeekBits(SchoolWeek schoolWeek) {
  PeriodMask week = 0;
  const PeriodMask day = (PeriodMask{1} << schoolWeek.lessonsPerDay) - 1;
  for (int d = 1; d <= kDaysPerWeek; ++d) week |= day << ((d - 1) * kMaxLessonsPerDay);
  return week;
}

LimitMark MarkMasks::At(int period) const {
  const PeriodMask bit = PeriodBit(period);
  if (never & bit) return LimitMark::Never;
  if (avoid & bit) return LimitMark::Avoid;
  if (best & bit) return LimitMark::Best;
  return LimitMark::Normal;
}

std::optional<LessonOrigin> ModelLesson::Origin() const {
  if (!setFlag) return std::nullopt;
  for (LessonOrigin o : {LessonOrigin::Fixed, LessonOrigin::Automatic, LessonOrigin::Manual})
    if (*setFlag == DbValue(o)) return o;
  return std::nullopt;
}

int SchoolModel::Find(const CodeIndex& index, std::string_view code) {
  auto it = index.find(std::string(code));
  return it == index.end() ? -1 : it->second;
}

int SchoolModel::CapGroupOf(int cls, int course) const {
  if (cls < 0 || course < 0 || cls >= capGroupClasses_ || course >= capGroupCourses_) return -1;
  return capGroupOf_[static_cast<size_t>(cls) * static_cast<size_t>(capGroupCourses_) +
                     static_cast<size_t>(course)];
}

int SchoolModel::NeedOf(int cls, int course, int teacher) const {
  auto it = needOf_.find({cls, course, teacher});
  return it == needOf_.end() ? -1 : it->second;
}

void SchoolModel::Index(int i) {
  const ModelLesson& l = lessons[static_cast<size_t>(i)];
  if (l.period < 0) return;
  classAt_[Slot(l.cls, l.period)].push_back(i);
  teacherAt_[Slot(l.teacher, l.period)].push_back(i);
  courseAt_[Slot(l.course, l.period)].push_back(i);
  MarkWeeks(i);
}

void SchoolModel::MarkWeeks(int i) {
  const ModelLesson& l = lessons[static_cast<size_t>(i)];
  const auto mark = [&](PeriodMask& week, const std::vector<int>& at) {
    week = at.empty() ? week & ~PeriodBit(l.period) : week | PeriodBit(l.period);
  };
  mark(classWeek_[static_cast<size_t>(l.cls)], classAt_[Slot(l.cls, l.period)]);
  mark(teacherWeek_[static_cast<size_t>(l.teacher)], teacherAt_[Slot(l.teacher, l.period)]);
}

void SchoolModel::Reindex() {
  classAt_.assign(classes.size() * kWeekPeriods, {});
  teacherAt_.assign(teachers.size() * kWeekPeriods, {});
  courseAt_.assign(courses.size() * kWeekPeriods, {});
  classWeek_.assign(classes.size(), 0);
  teacherWeek_.assign(teachers.size(), 0);
  for (size_t i = 0; i < lessons.size(); ++i) Index(static_cast<int>(i));
}

void SchoolModel::Unindex(int i) {
  const ModelLesson& l = lessons[static_cast<size_t>(i)];
  if (l.period < 0) return;
  for (std::vector<int>* at : {&classAt_[Slot(l.cls, l.period)], &teacherAt_[Slot(l.teacher, l.period)],
                               &courseAt_[Slot(l.course, l.period)]})
    std::erase(*at, i);
  MarkWeeks(i);
}

void SchoolModel::MoveLesson(int i, int day, int lessonNo) {
  Unindex(i);
  ModelLesson& l = lessons[static_cast<size_t>(i)];
  l.day = day;
  l.lessonNo = lessonNo;
  l.period = week.Contains(day, lessonNo) ? PeriodOf(day, lessonNo) : -1;
  if (l.period < 0) return;
  // Table order within a period: the lists stay sorted by lesson index.
  for (std::vector<int>* at : {&classAt_[Slot(l.cls, l.period)], &teacherAt_[Slot(l.teacher, l.period)],
                               &courseAt_[Slot(l.course, l.period)]})
    at->insert(std::upper_bound(at->begin(), at->end(), i), i);
  MarkWeeks(i);
}

int SchoolModel::AddLesson(ModelLesson lesson) {
  lesson.period = week.Contains(lesson.day, lesson.lessonNo) ? PeriodOf(lesson.day, lesson.lessonNo) : -1;
  lesson.need = NeedOf(lesson.cls, lesson.course, lesson.teacher);
  lesson.capGroup = CapGroupOf(lesson.cls, lesson.course);
  lessons.push_back(lesson);
  const int i = static_cast<int>(lessons.size()) - 1;
  Index(i);
  return i;
}

std::string SchoolModel::NeedLabel(const PlanNeed& need) const {
  return classes[need.cls].name + " " + courses[need.course].name + "（" + teachers[need.teacher].name + "）";
}

Result<SchoolModel> LoadSchoolModel(TimetableDb& db, SchoolWeek week) {
  return Guarded("读取排课数据失败：", [&]() -> Result<SchoolModel> {
    // One read transaction: the lists, the plan and the lessons are one
    // state of the file even if another program could write between reads.
    Transaction read(db);
    SchoolModel m;
    m.week = week;
    m.weekBits = WeekBits(week);
    EntityIndex classes(m.classes, "班级"), courses(m.courses, "课程"), teachers(m.teachers, "教师"),
        classrooms(m.classrooms, "教室");
    ReadNames(db, kClasses, classes);
    ReadNames(db, kCourses, courses);
    ReadNames(db, kTeachers, teachers);
    ReadNames(db, kClassrooms, classrooms);

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
        n.codeMissing = c.Int(7) != 0;
        const int index = static_cast<int>(m.needs.size());
        const bool first = needOf.try_emplace({n.cls, n.course, n.teacher}, index).second;
        n.duplicate = !first;
        n.usable =
            first && m.classes[n.cls].known && m.courses[n.course].known && m.teachers[n.teacher].known;
        // Generation reads a class's course row by class and course: the
        // first row stored sets the daily cap.
        auto [group, added] = groupOf.try_emplace({n.cls, n.course}, static_cast<int>(m.capGroups.size()));
        if (added) m.capGroups.push_back({n.cls, n.course, n.count, 1});
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
        if (!c.IsNull(6)) l.setFlag = c.Int(6);
        l.fixed = l.Origin() == LessonOrigin::Fixed;
        l.moves = l.Origin() == LessonOrigin::Automatic;
        if (week.Contains(l.day, l.lessonNo)) l.period = PeriodOf(l.day, l.lessonNo);
        if (auto it = needOf.find({l.cls, l.course, l.teacher}); it != needOf.end()) l.need = it->second;
        if (auto it = groupOf.find({l.cls, l.course}); it != groupOf.end()) l.capGroup = it->second;
        m.lessons.push_back(l);
      }
    }
    {
      Cursor c = db.Query(kLimits, DbValue(LimitKind::Class), DbValue(LimitKind::Course),
                          DbValue(LimitKind::Teacher), DbValue(LimitKind::ClassRoom));
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
        } else if (kind == DbValue(LimitKind::Teacher)) {
          who = teachers.Find(c.Text(1));
          list = &m.teachers;
        } else {
          who = classrooms.Find(c.Text(1));
          list = &m.classrooms;
        }
        if (who < 0) continue;  // restricts nobody the plan or the timetable names
        MarkMasks& marks = (*list)[static_cast<size_t>(who)].marks;
        const PeriodMask bit = PeriodBit(PeriodOf(day, lessonNo));
        if (*mark == LimitMark::Never) marks.never |= bit;
        if (*mark == LimitMark::Avoid) marks.avoid |= bit;
        if (*mark == LimitMark::Best) marks.best |= bit;
      }
    }
    for (auto* list : {&m.classes, &m.courses, &m.teachers, &m.classrooms})
      for (ModelEntity& e : *list) Normalise(e.marks);

    m.special.assign(m.courses.size(), 0);
    {
      Cursor c = db.Query(kSpecialCourses);
      while (c.Next())
        if (int course = courses.Find(c.Text(0)); course >= 0) m.special[static_cast<size_t>(course)] = 1;
    }
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
    ReadRules(db, m, classes, courses, teachers);
    m.capGroupClasses_ = static_cast<int>(m.classes.size());
    m.capGroupCourses_ = static_cast<int>(m.courses.size());
    m.capGroupOf_.assign(m.classes.size() * m.courses.size(), -1);
    for (const auto& [key, group] : groupOf)
      m.capGroupOf_[static_cast<size_t>(key.first) * m.courses.size() + static_cast<size_t>(key.second)] =
          group;
    for (const auto& [key, need] : needOf) m.needOf_.emplace(key, need);
    for (size_t i = 0; i < m.classes.size(); ++i)
      m.classIndex_.emplace(m.classes[i].code, static_cast<int>(i));
    for (size_t i = 0; i < m.courses.size(); ++i)
      m.courseIndex_.emplace(m.courses[i].code, static_cast<int>(i));
    for (size_t i = 0; i < m.teachers.size(); ++i)
      m.teacherIndex_.emplace(m.teachers[i].code, static_cast<int>(i));
    m.Reindex();
    return m;
  });
}

}  // namespace orv
