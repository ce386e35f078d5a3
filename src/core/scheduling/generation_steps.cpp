// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/scheduling/generation_steps.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <set>
#include <string>
#include <utility>

#include "core/database/guard.h"
#include "core/database/plan_count.h"

namespace orv {

namespace {

constexpr const char* kPlanNulls =
    "select ClassCode is null,CourseCode is null,TeacherCode is null from ClassPlantb order by rowid";
constexpr const char* kDeleteUnfixed = "delete from LessonListtb where SetFlag<>?";
constexpr const char* kInsertLesson = "insert into LessonListtb values(?,?,?,?,?,?)";
constexpr const char* kSetRow = "update ClassPlantb Set BuildCount=?,IsAutoBuild=? where rowid=?";
constexpr const char* kPlanTotals =
    "select sum(" ORV_PLAN_COUNT ") as SumCount,sum(BuildCount) as SumBuildCount from ClassPlantb";
constexpr const char* kRowsMissing = "select count(*) from ClassPlantb where BuildCount<" ORV_PLAN_COUNT;

// The passes over one day, in order: the cells each pass may take.
constexpr std::array<LimitMark, 3> kPassMarks = {LimitMark::Best, LimitMark::Normal, LimitMark::Avoid};
// What a slot must be free of. The course's own marks choose the pass; the
// class's and teacher's "不排" cells are the completion's to honour.
constexpr RuleSet kSlotRules = {Rule::kClassClash, Rule::kTeacherClash, Rule::kSpecialCourseClash,
                                Rule::kDailyCap};
constexpr int kFixed = DbValue(LessonOrigin::Fixed);
constexpr double kPastFriday = 6.0;

int WholeDay(double d) { return static_cast<int>(std::floor(d)); }

// Rounds to the nearest integer, halves to the even neighbour.
long long RoundHalfEven(double v) {
  const double low = std::floor(v);
  const double diff = v - low;
  if (diff > 0.5) return static_cast<long long>(low) + 1;
  if (diff < 0.5) return static_cast<long long>(low);
  const auto l = static_cast<long long>(low);
  return l % 2 == 0 ? l : l + 1;
}

// Tries the passes of one day; the first lesson number above 0 wins.
int SearchDay(GenerationContext& ctx, const Candidate& lesson, int day) {
  for (LimitMark mark : kPassMarks) {
    const int n = SearchSlot(ctx, lesson, day, mark);
    if (n > 0) return n;
  }
  return -1;
}

// Keys of a grouping in which a NULL code is a group of its own, apart from
// an empty one.
int ClassKey(const PlanNeed& need, const GenerationRow& row) { return row.classNull ? -1 : need.cls; }
int CourseKey(const PlanNeed& need, const GenerationRow& row) { return row.courseNull ? -1 : need.course; }

// Code order as the database compares text (bytes); a NULL code first.
bool CodeBefore(const std::vector<ModelEntity>& list, int a, int b) {
  if (a < 0 || b < 0) return a < 0 && b >= 0;
  return list[static_cast<size_t>(a)].code < list[static_cast<size_t>(b)].code;
}

void CountTeacherDay(GenerationState& s, const ModelLesson& l, int delta) {
  if (l.day >= 1 && l.day <= kDaysPerWeek)
    s.teacherDay[static_cast<size_t>(l.teacher)][static_cast<size_t>(l.day - 1)] += delta;
}

}  // namespace

Result<GenerationState> LoadGenerationState(TimetableDb& db, SchoolWeek week) {
  Result<SchoolModel> model = LoadSchoolModel(db, week);
  if (!model) return Outcome::Fail(model.message());
  return Guarded("读取排课数据失败：", [&]() -> Result<GenerationState> {
    GenerationState s;
    s.model = std::move(*model);
    const SchoolModel& m = s.model;
    s.rows.resize(m.needs.size());
    {
      // Read in the caller's transaction, so the rows are the model's, in its order.
      Cursor c = db.Query(kPlanNulls);
      for (GenerationRow& row : s.rows) {
        if (!c.Next()) return Outcome::Fail("读取排课数据失败：教学计划在读取时发生变化");
        row.classNull = c.Int(0) != 0;
        row.courseNull = c.Int(1) != 0;
        row.teacherNull = c.Int(2) != 0;
      }
    }
    s.groupRows.resize(m.capGroups.size());
    s.teacherLoad.assign(m.teachers.size(), 0);
    for (size_t i = 0; i < m.needs.size(); ++i) {
      const PlanNeed& need = m.needs[i];
      const GenerationRow& row = s.rows[i];
      if (!row.classNull && !row.courseNull)
        s.groupRows[static_cast<size_t>(need.capGroup)].push_back(static_cast<int>(i));
      if (!row.teacherNull) s.teacherLoad[static_cast<size_t>(need.teacher)] += need.count;
    }
    s.teacherDay.assign(m.teachers.size(), {});
    for (const ModelLesson& l : m.lessons) CountTeacherDay(s, l, 1);
    return s;
  });
}

void WriteGeneration(TimetableDb& db, const GenerationState& s) {
  const SchoolModel& m = s.model;
  db.Execute(kDeleteUnfixed, kFixed);
  for (int i : s.placed) {
    const ModelLesson& l = m.lessons[static_cast<size_t>(i)];
    db.Execute(kInsertLesson, m.classes[static_cast<size_t>(l.cls)].code, l.day, l.lessonNo,
               m.courses[static_cast<size_t>(l.course)].code, m.teachers[static_cast<size_t>(l.teacher)].code,
               DbValue(LessonOrigin::Automatic));
  }
  for (size_t i = 0; i < s.rows.size(); ++i)
    db.Execute(kSetRow, s.rows[i].buildCount, s.rows[i].autoBuilt ? 1 : 0, m.needs[i].rowid);
}

void ResetAutoBuild(GenerationState& s) {
  SchoolModel& m = s.model;
  for (const ModelLesson& l : m.lessons)
    if (l.setFlag && *l.setFlag != kFixed) CountTeacherDay(s, l, -1);
  // A lesson whose SetFlag is NULL was neither fixed nor placed: it stays.
  m.EraseLessonsIf([](const ModelLesson& l) { return l.setFlag && *l.setFlag != kFixed; });
  for (GenerationRow& row : s.rows) row = {0, false, row.classNull, row.courseNull, row.teacherNull};
  // Each fixed lesson counts for every row of its class, course and teacher.
  std::map<std::tuple<int, int, int>, std::vector<int>> rowsOf;
  for (size_t i = 0; i < m.needs.size(); ++i) {
    const GenerationRow& row = s.rows[i];
    if (row.classNull || row.courseNull || row.teacherNull) continue;
    const PlanNeed& need = m.needs[i];
    rowsOf[{need.cls, need.course, need.teacher}].push_back(static_cast<int>(i));
  }
  for (const ModelLesson& l : m.lessons) {
    if (l.setFlag != kFixed) continue;
    if (auto it = rowsOf.find({l.cls, l.course, l.teacher}); it != rowsOf.end())
      for (int i : it->second) ++s.rows[static_cast<size_t>(i)].buildCount;
  }
}

int PickNextTeacherCourse(const GenerationState& s, int& teacher) {
  const SchoolModel& m = s.model;
  teacher = -1;
  // Classes per teacher among the unbuilt rows; a row without a teacher
  // counts for nobody.
  std::set<std::pair<int, int>> teacherClasses;
  for (size_t i = 0; i < m.needs.size(); ++i) {
    const GenerationRow& row = s.rows[i];
    if (row.autoBuilt || row.teacherNull) continue;
    teacherClasses.insert({m.needs[i].teacher, ClassKey(m.needs[i], row)});
  }
  std::map<int, long long> classesOf;
  for (const auto& [t, cls] : teacherClasses) ++classesOf[t];
  std::vector<std::pair<int, long long>> teachers(classesOf.begin(), classesOf.end());
  std::sort(teachers.begin(), teachers.end(),
            [&](const auto& a, const auto& b) { return CodeBefore(m.teachers, a.first, b.first); });
  long long best = 0;
  for (const auto& [t, classes] : teachers) {
    if (classes > best) {
      best = classes;
      teacher = t;
    }
  }
  if (teacher < 0) return -1;

  // That teacher's courses: classes, and lessons a week on a tie.
  std::map<std::pair<int, int>, long long> classLessons;  // (course, class) -> lessons
  for (size_t i = 0; i < m.needs.size(); ++i) {
    const GenerationRow& row = s.rows[i];
    const PlanNeed& need = m.needs[i];
    if (row.autoBuilt || row.teacherNull || need.teacher != teacher) continue;
    classLessons[{CourseKey(need, row), ClassKey(need, row)}] += need.count;
  }
  struct CourseTally {
    int course;
    long long classes = 0, total = 0;
  };
  std::vector<CourseTally> courses;
  for (const auto& [key, lessons] : classLessons) {
    if (courses.empty() || courses.back().course != key.first) courses.push_back({key.first});
    // A NULL course is a group, yet it counts no classes.
    if (key.first >= 0) ++courses.back().classes;
    courses.back().total += lessons;
  }
  std::sort(courses.begin(), courses.end(), [&](const CourseTally& a, const CourseTally& b) {
    return CodeBefore(m.courses, a.course, b.course);
  });
  int course = -1;
  long long bestClasses = 0, bestTotal = 0;
  for (const CourseTally& c : courses) {
    if (c.classes > bestClasses || (c.classes == bestClasses && c.total > bestTotal)) {
      if (c.classes > bestClasses) bestClasses = c.classes;
      bestTotal = c.total;
      course = c.course;
    }
  }
  // A course without a code, stored empty or NULL, ends the run.
  if (course < 0 || m.courses[static_cast<size_t>(course)].code.empty()) return -1;
  return course;
}

int PickNextClass(const GenerationState& s, int course, int& teacher) {
  const SchoolModel& m = s.model;
  int ofCourse = -1;
  for (size_t i = 0; i < m.needs.size(); ++i) {
    const GenerationRow& row = s.rows[i];
    const PlanNeed& need = m.needs[i];
    if (row.autoBuilt || row.courseNull || need.course != course) continue;
    if (!row.teacherNull && need.teacher == teacher) {
      ofCourse = static_cast<int>(i);
      break;
    }
    if (ofCourse < 0) ofCourse = static_cast<int>(i);
  }
  if (ofCourse >= 0) teacher = m.needs[static_cast<size_t>(ofCourse)].teacher;
  return ofCourse;
}

RowOutcome BuildPlanRow(GenerationContext& ctx, int r) {
  GenerationState& s = ctx.state;
  SchoolModel& m = s.model;
  const PlanNeed& need = m.needs[static_cast<size_t>(r)];
  const GenerationRow& self = s.rows[static_cast<size_t>(r)];
  if (self.classNull || self.courseNull || self.teacherNull) return RowOutcome::kUnreadable;
  const int cls = need.cls, course = need.course, teacher = need.teacher;
  // Count and BuildCount belong to the first row of the class and course,
  // whichever its teacher; the lessons placed count for all of its rows.
  const std::vector<int>& group = s.groupRows[static_cast<size_t>(need.capGroup)];
  const int count = m.needs[static_cast<size_t>(group.front())].count;
  int buildCount = s.rows[static_cast<size_t>(group.front())].buildCount;
  const int load = s.teacherLoad[static_cast<size_t>(teacher)];
  const int cap = static_cast<int>(std::ceil(static_cast<double>(load) / 5.0));

  RowOutcome outcome = RowOutcome::kBuilt;
  if (count > buildCount && count > 0) {
    const double step = 5.0 / count;
    const Candidate lesson{cls, course, teacher};
    double d = 1.0;
    for (;;) {
      // Past Friday every day is alike (the search turns back from Friday), so
      // the walk stops there even when the cap could never be met.
      while (d < kPastFriday && TeacherDayFull(s, teacher, d, cap)) d = WholeDay(d) + 1;
      const int lessonNo = ChooseLesson(ctx, lesson, d);
      if (lessonNo < 0) {
        outcome = RowOutcome::kNoSlot;
        break;
      }
      ModelLesson placed;
      placed.cls = cls;
      placed.course = course;
      placed.teacher = teacher;
      placed.day = WholeDay(d);
      placed.lessonNo = lessonNo;
      placed.setFlag = DbValue(LessonOrigin::Automatic);
      const int index = m.AddLesson(placed);
      s.placed.push_back(index);
      CountTeacherDay(s, m.lessons[static_cast<size_t>(index)], 1);
      ++buildCount;
      for (int g : group) s.rows[static_cast<size_t>(g)].buildCount = buildCount;
      if (buildCount == count) break;
      d += step;
    }
  }
  for (int g : group) {
    if (!s.rows[static_cast<size_t>(g)].teacherNull && m.needs[static_cast<size_t>(g)].teacher == teacher)
      s.rows[static_cast<size_t>(g)].autoBuilt = true;
  }
  return outcome;
}

bool TeacherDayFull(const GenerationState& s, int teacher, double d, int cap) {
  const int day = WholeDay(d);
  const int lessons = day >= 1 && day <= kDaysPerWeek
                          ? s.teacherDay[static_cast<size_t>(teacher)][static_cast<size_t>(day - 1)]
                          : 0;
  return lessons >= cap;
}

int CompletionRate(TimetableDb& db) {
  long long total = 0, built = 0;
  {
    Cursor c = db.Query(kPlanTotals);
    if (!c.Next()) return 100;
    if (c.IsNull(0) || c.IsNull(1)) return -1;
    total = c.Int64(0);
    built = c.Int64(1);
  }
  if (total <= 0) return -1;
  long long rate = RoundHalfEven(100.0 * static_cast<double>(built) / static_cast<double>(total));
  rate = std::clamp<long long>(rate, 0, 100);
  // Rounding must not turn a missing lesson into a finished timetable, and
  // extra fixed lessons in one row must not hide a gap in another.
  if (rate == 100 && db.FirstInt(kRowsMissing).value_or(0) > 0) rate = 99;
  return static_cast<int>(rate);
}

int ChooseLesson(GenerationContext& ctx, const Candidate& lesson, double& d) {
  const double entry = d;
  while (d < kPastFriday) {
    int day = WholeDay(d);
    const double frac = d - day;
    if (frac >= 0.5 && day < 5) {
      const double r = ctx.random.Next();
      if (WholeDay(2 * r) == 1) {
        day += 1;
        d = day;
      }
    }
    const int n = SearchDay(ctx, lesson, day);
    if (n > 0) return n;
    day += 1;
    d = day;
  }
  for (;;) {
    if (d <= 0) {
      d = entry;
      return -1;
    }
    d = WholeDay(d);
    while (d > 5) d -= 1;
    const int n = SearchDay(ctx, lesson, WholeDay(d));
    if (n > 0) return n;
    d -= 1;
  }
}

int SearchSlot(GenerationContext& ctx, const Candidate& lesson, int day, LimitMark mark) {
  if (mark == LimitMark::Never) return -1;
  const SchoolModel& m = ctx.state.model;
  const MarkMasks& marks = m.courses[static_cast<size_t>(lesson.course)].marks;
  std::vector<int> passing;
  for (int n = 1; n <= m.week.lessonsPerDay; ++n) {
    const int period = PeriodOf(day, n);
    if (marks.At(period) != mark) continue;
    if (Test(m, lesson, period, kSlotRules).Empty()) passing.push_back(n);
  }
  if (passing.empty()) return -1;
  const double r = ctx.random.Next();
  const auto last = static_cast<long long>(passing.size()) - 1;
  // A scripted generator may step outside [0, 1); keep the pick in range.
  const long long at = std::clamp<long long>(WholeDay(r * static_cast<double>(passing.size())), 0, last);
  return passing[static_cast<size_t>(at)];
}

int LessonsInNeverCells(const GenerationState& s) {
  int count = 0;
  for (int i : s.placed)
    if (!Test(s.model, Candidate::Of(s.model, i), s.model.lessons[static_cast<size_t>(i)].period,
              {Rule::kClassNever, Rule::kTeacherNever})
             .Empty())
      ++count;
  return count;
}

}  // namespace orv
