// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/rules/quality.h"

#include <algorithm>
#include <bit>
#include <map>
#include <utility>

#include "core/rules/rule_book.h"
#include "core/rules/rule_index.h"
#include "core/rules/stated_rules.h"
#include "core/rules/week_rules.h"

namespace orv {

namespace {

// The hard rules a lesson breaks by where it stands. The stated rules are
// about a whole day or week and are measured by stated_rules.h, which also
// counts a special course's classes against its rooms.
constexpr RuleSet kLessonHardRules = {Rule::kOutsideWeek, Rule::kClassClash, Rule::kTeacherClash,
                                      Rule::kCourseNever};

PlanNeed RowOf(const ModelLesson& l) {
  PlanNeed n;
  n.cls = l.cls;
  n.course = l.course;
  n.teacher = l.teacher;
  return n;
}

}  // namespace

std::vector<ParallelGroup> ParallelGroups(const SchoolModel& m) {
  std::map<std::pair<int, int>, std::vector<int>> classes;
  for (const PlanNeed& n : m.needs) {
    if (!n.usable || n.count <= 0) continue;
    std::vector<int>& groups = classes[{n.teacher, n.course}];
    if (std::find(groups.begin(), groups.end(), n.capGroup) == groups.end()) groups.push_back(n.capGroup);
  }
  std::vector<ParallelGroup> out;
  for (auto& [key, groups] : classes)
    if (groups.size() >= 2) out.push_back({key.first, key.second, std::move(groups)});
  return out;
}

int ParallelMismatch(const SchoolModel& m, const ParallelGroup& group) {
  std::vector<int> perDay;
  return ParallelMismatch(group,
                          [&](int g) -> const std::vector<int>& { return perDay = GroupDayLessons(m, g); });
}

bool MissesBest(const SchoolModel& m, const ModelLesson& l) {
  if (l.period < 0) return false;
  const PeriodMask wanted = (m.classes[static_cast<size_t>(l.cls)].marks.best |
                             m.courses[static_cast<size_t>(l.course)].marks.best |
                             m.teachers[static_cast<size_t>(l.teacher)].marks.best) &
                            m.weekBits;
  return wanted != 0 && CountSoftCells(m, RowOf(l), l.period).best == 0;
}

bool InBest(const SchoolModel& m, const ModelLesson& l) {
  return l.period >= 0 && CountSoftCells(m, RowOf(l), l.period).best > 0;
}

int TeacherScore(const SchoolModel& m, int teacher) {
  const int idle = TeacherIdleWeek(m, teacher);
  return idle * kIdleWeight + std::max(0, idle - kIdleAllowance) * kIdleOverWeight;
}

int ClassScore(const SchoolModel& m, int cls) { return ClassGapsWeek(m, cls) * kClassGapWeight; }

int GroupScore(const SchoolModel& m, int group) { return AvoidableRepeats(m, group) * kRepeatWeight; }

int LessonScore(const SchoolModel& m, int lesson) {
  const ModelLesson& l = m.lessons[static_cast<size_t>(lesson)];
  if (l.period < 0) return 0;
  return CountSoftCells(m, RowOf(l), l.period).avoid * kAvoidWeight +
         (MissesBest(m, l) ? kBestMissWeight : 0);
}

int ParallelScore(const SchoolModel& m, const ParallelGroup& group) {
  return ParallelMismatch(m, group) * kParallelWeight;
}

long long QualityScore(const SchoolModel& m, const std::vector<ParallelGroup>& parallel) {
  long long score = 0;
  for (int t = 0; t < static_cast<int>(m.teachers.size()); ++t) score += TeacherScore(m, t);
  for (int c = 0; c < static_cast<int>(m.classes.size()); ++c) score += ClassScore(m, c);
  for (int g = 0; g < static_cast<int>(m.capGroups.size()); ++g) score += GroupScore(m, g);
  for (int i = 0; i < static_cast<int>(m.lessons.size()); ++i) score += LessonScore(m, i);
  for (const ParallelGroup& p : parallel) score += ParallelScore(m, p);
  return score;
}

int LessonBreaches(const SchoolModel& m) {
  int broken = 0;
  for (int i = 0; i < static_cast<int>(m.lessons.size()); ++i)
    if (!Test(m, Candidate::Of(m, i), m.lessons[static_cast<size_t>(i)].period, kLessonHardRules).Empty())
      ++broken;
  return broken;
}

QualityReport MeasureQuality(const SchoolModel& m) {
  QualityReport r;
  for (const PlanNeed& n : m.needs)
    if (n.usable) r.planned += n.count;
  for (int t = 0; t < static_cast<int>(m.teachers.size()); ++t) {
    const int idle = TeacherIdleWeek(m, t);
    r.teacherIdle += idle;
    if (idle > kIdleAllowance) ++r.teachersOverAllowance;
    if (idle > r.worstTeacherIdle) {
      r.worstTeacherIdle = idle;
      r.worstTeacher = t;
    }
  }
  for (int c = 0; c < static_cast<int>(m.classes.size()); ++c) {
    const int gaps = ClassGapsWeek(m, c);
    r.classGaps += gaps;
    if (gaps > 0) ++r.classesWithGaps;
  }
  for (int g = 0; g < static_cast<int>(m.capGroups.size()); ++g) {
    r.repeats += AvoidableRepeats(m, g);
    const std::vector<int> perDay = GroupDayLessons(m, g);
    int lessons = 0;
    for (int n : perDay) lessons += n;
    if (lessons >= 4 && GroupDays(m, g) < 4) ++r.crowdedCourses;
    const int asked = m.capGroups[static_cast<size_t>(g)].doubles;
    if (asked > 0) {
      r.doublesAsked += asked;
      r.doublesPlaced += std::min(asked, GroupDoubles(m, g));
    }
  }
  for (const ModelLesson& l : m.lessons) {
    if (l.period < 0) continue;
    ++r.lessons;
    const SoftCells cells = CountSoftCells(m, RowOf(l), l.period);
    if (cells.best > 0) ++r.bestLessons;
    if (cells.best > 0 || MissesBest(m, l)) ++r.bestWanted;
    if (cells.avoid > 0) ++r.avoidLessons;
  }
  const std::vector<ParallelGroup> parallel = ParallelGroups(m);
  for (const ParallelGroup& p : parallel) r.parallelMismatch += ParallelMismatch(m, p);
  r.statedBreaches = static_cast<int>(StatedBreaches(m).size());
  r.lessonBreaches = LessonBreaches(m);
  r.score = QualityScore(m, parallel);
  return r;
}

std::vector<TeacherWeekLoad> TeacherLoads(const SchoolModel& m) {
  std::vector<TeacherWeekLoad> out;
  for (int t = 0; t < static_cast<int>(m.teachers.size()); ++t) {
    TeacherWeekLoad load{t, m.teachers[static_cast<size_t>(t)].name, 0, std::vector<int>(kDaysPerWeek, 0)};
    int lessons = 0;
    for (int d = 1; d <= kDaysPerWeek; ++d) {
      load.perDay[static_cast<size_t>(d - 1)] = std::popcount(TeacherDay(m, t, d));
      lessons += load.perDay[static_cast<size_t>(d - 1)];
    }
    if (lessons == 0) continue;
    load.idle = TeacherIdleWeek(m, t);
    out.push_back(std::move(load));
  }
  std::stable_sort(out.begin(), out.end(), [](const TeacherWeekLoad& a, const TeacherWeekLoad& b) {
    return a.idle != b.idle ? a.idle > b.idle : a.name < b.name;
  });
  return out;
}

Result<QualityReport> MeasureQuality(TimetableDb& db, SchoolWeek week) {
  Result<SchoolModel> model = LoadIndexedSchool(db, week);
  if (!model) return model.outcome();
  return MeasureQuality(*model);
}

}  // namespace orv
