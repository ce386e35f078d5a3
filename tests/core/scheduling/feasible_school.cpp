// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/scheduling/feasible_school.h"

#include <algorithm>
#include <array>
#include <map>
#include <numeric>
#include <random>
#include <set>
#include <stdexcept>

#include "core/database/week_marks.h"
#include "core/scheduling/generation_steps.h"

namespace orv::test {

namespace {

constexpr std::array<const char*, 12> kCourseNames = {"语文", "数学", "英语", "科学", "道德", "体育",
                                                      "音乐", "美术", "信息", "书法", "劳动", "心理"};
constexpr int kMainCourses = 3;
constexpr int kIt = 8, kCalligraphy = 9;

struct Row {
  int cls, course, count;
  std::uint64_t periods = 0;  // where the hidden timetable puts its lessons
  int teacher = -1;
};

class Builder {
 public:
  explicit Builder(const FeasibleSchoolOptions& o)
      : o_(o), rng_(o.seed), days_(5), lessons_(o.lessonsPerDay), week_(days_ * lessons_) {}

  FeasibleSchool Build(TimetableDb& db) {
    special_ = {kIt};
    if (Chance(0.5)) special_.insert(kCalligraphy);
    for (int c = 0; c < o_.classes; ++c) PlaceClass(c);
    AssignTeachers();
    return Store(db);
  }

 private:
  bool Chance(double p) { return std::uniform_real_distribution<double>(0, 1)(rng_) < p; }
  int Pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng_); }
  int Period(int day, int lesson) const { return day * 7 + lesson; }

  // The weekly lessons of one class, adding up to its share of the week.
  std::vector<std::pair<int, int>> PlanOfClass(int c) {
    const int target = std::max(1, (week_ * o_.fillPercent + 50) / 100);
    std::vector<int> count(kCourseNames.size(), 0);
    count[0] = 5 + Pick(3);
    count[1] = 4 + Pick(3);
    count[2] = 3 + Pick(2);
    for (size_t k = kMainCourses; k < count.size(); ++k) count[k] = Pick(3);
    // Special courses go to a share of the classes small enough for the
    // week: one class at a time.
    for (int k : special_) count[k] = (c * 5 < week_ * 4) && Chance(0.8) ? 1 : 0;
    auto total = [&] { return std::accumulate(count.begin(), count.end(), 0); };
    while (total() < target) ++count[Pick(kMainCourses + 3)];
    while (total() > target) {
      std::vector<size_t> cuts;
      for (size_t k = kMainCourses; k < count.size(); ++k)
        if (count[k] > 0 && !special_.count(int(k))) cuts.push_back(k);
      if (cuts.empty())
        for (size_t k = 0; k < kMainCourses; ++k)
          if (count[k] > 1) cuts.push_back(k);
      --count[cuts[Pick(int(cuts.size()))]];
    }
    std::vector<std::pair<int, int>> plan;
    for (size_t k = 0; k < count.size(); ++k)
      if (count[k] > 0) plan.emplace_back(int(k), count[k]);
    return plan;
  }

  // Lays the class's lessons into its week under the daily caps, special
  // courses first, spreading each course over the emptiest days.
  void PlaceClass(int c) {
    for (int attempt = 0; attempt < 200; ++attempt) {
      auto plan = PlanOfClass(c);
      std::stable_sort(plan.begin(), plan.end(), [&](auto& a, auto& b) {
        return std::pair(!special_.count(a.first), -a.second) <
               std::pair(!special_.count(b.first), -b.second);
      });
      std::vector<int> grid(35, -1);
      std::vector<Row> rows;
      bool ok = true;
      for (const auto& [course, count] : plan) {
        const int cap = CourseDailyCap(1.0 / (5.0 / count));
        Row row{c, course, count};
        std::vector<int> perDay(5, 0);
        for (int i = 0; i < count && ok; ++i) {
          int bestFree = 0;
          std::vector<int> options;
          for (int d = 0; d < days_; ++d) {
            if (perDay[d] >= cap) continue;
            const int free = int(FreeLessons(grid, course, d).size());
            if (free > bestFree) {
              bestFree = free;
              options = {d};
            } else if (free == bestFree && free > 0) {
              options.push_back(d);
            }
          }
          if (options.empty()) {
            ok = false;
            break;
          }
          const int bestDay = options[Pick(int(options.size()))];
          const auto free = FreeLessons(grid, course, bestDay);
          const int p = Period(bestDay, free[Pick(int(free.size()))]);
          grid[p] = course;
          row.periods |= std::uint64_t{1} << p;
          ++perDay[bestDay];
        }
        if (!ok) break;
        rows.push_back(row);
      }
      if (!ok) continue;
      for (const Row& r : rows) {
        if (special_.count(r.course)) specialUsed_[r.course] |= r.periods;
        rows_.push_back(r);
      }
      return;
    }
    throw std::runtime_error("could not lay out a class");
  }

  std::vector<int> FreeLessons(const std::vector<int>& grid, int course, int day) {
    std::vector<int> free;
    for (int l = 0; l < lessons_; ++l) {
      const int p = Period(day, l);
      if (grid[p] >= 0) continue;
      if (special_.count(course) && (specialUsed_[course] >> p & 1)) continue;
      free.push_back(l);
    }
    return free;
  }

  // Teachers take rows whose lessons never meet theirs, up to an ordinary
  // load and two courses each.
  void AssignTeachers() {
    std::vector<size_t> order(rows_.size());
    std::iota(order.begin(), order.end(), 0);
    std::shuffle(order.begin(), order.end(), rng_);
    for (size_t i : order) {
      Row& r = rows_[i];
      std::vector<int> fits;
      for (size_t t = 0; t < teachers_.size(); ++t) {
        const Teacher& x = teachers_[t];
        if ((x.periods & r.periods) || x.load + r.count > x.maxLoad) continue;
        if (x.courses.size() >= 2 && !x.courses.count(r.course)) continue;
        fits.push_back(int(t));
      }
      if (fits.empty() || Chance(0.1)) {
        teachers_.push_back({0, 0, 12 + Pick(10), {}});
        r.teacher = int(teachers_.size()) - 1;
      } else {
        r.teacher = fits[Pick(int(fits.size()))];
      }
      Teacher& t = teachers_[r.teacher];
      t.periods |= r.periods;
      t.load += r.count;
      t.courses.insert(r.course);
    }
  }

  FeasibleSchool Store(TimetableDb& db) {
    FeasibleSchool school;
    Transaction tx(db);
    auto classCode = [](int c) { return std::to_string(100 + c); };
    auto courseCode = [](int k) { return "C" + std::to_string(10 + k); };
    auto teacherCode = [](int t) { return "T" + std::to_string(100 + t); };
    for (int c = 0; c < o_.classes; ++c)
      db.Execute("insert into Classtb values (?,?,?,?)", classCode(c), "班" + classCode(c), "", "");
    for (size_t k = 0; k < kCourseNames.size(); ++k)
      db.Execute("insert into Coursetb values (?,?,?,?)", courseCode(int(k)), kCourseNames[k], "", "");
    for (size_t t = 0; t < teachers_.size(); ++t)
      db.Execute("insert into Teachertb values (?,?,?,?)", teacherCode(int(t)), "教师" + std::to_string(t),
                 "", "");
    for (int k : special_) db.Execute("insert into CourseAttrtb values (?)", courseCode(k));

    std::vector<std::uint64_t> classBusy(o_.classes, 0);
    std::map<int, std::uint64_t> courseBusy;
    for (const Row& r : rows_) {
      int fixed = 0;
      for (int p = 0; p < 35; ++p) {
        if (!(r.periods >> p & 1)) continue;
        HiddenLesson h{classCode(r.cls), courseCode(r.course), teacherCode(r.teacher), p / 7 + 1, p % 7 + 1};
        if (Chance(0.03)) {
          db.Execute("insert into LessonListtb values (?,?,?,?,?,?)", h.cls, h.day, h.lessonNo, h.course,
                     h.teacher, DbValue(LessonOrigin::Fixed));
          ++fixed;
        }
        school.hidden.push_back(h);
      }
      db.Execute(
          "insert into ClassPlantb (ClassCode,CourseCode,TeacherCode,Count,BuildCount) values (?,?,?,?,?)",
          classCode(r.cls), courseCode(r.course), teacherCode(r.teacher), r.count, fixed);
      school.plannedLessons += r.count;
      classBusy[r.cls] |= r.periods;
      courseBusy[r.course] |= r.periods;
    }
    // Marks: "不排" only where the hidden timetable is free, the soft marks
    // anywhere.
    auto mark = [&](LimitKind kind, const std::string& code, std::uint64_t busy, double never) {
      for (int d = 0; d < days_; ++d) {
        for (int l = 0; l < lessons_; ++l) {
          const int p = Period(d, l);
          LimitMark m = LimitMark::Normal;
          if (!(busy >> p & 1) && Chance(never))
            m = LimitMark::Never;
          else if (Chance(0.04))
            m = LimitMark::Avoid;
          else if (Chance(0.06))
            m = LimitMark::Best;
          if (m == LimitMark::Normal) continue;
          if (m == LimitMark::Never) ++school.neverCells;
          db.Execute("insert into Limittb values (?,?,?,?,?)", DbValue(kind), code, d + 1, l + 1, DbValue(m));
        }
      }
    };
    for (int c = 0; c < o_.classes; ++c) mark(LimitKind::Class, classCode(c), classBusy[c], 0.3);
    for (size_t k = 0; k < kCourseNames.size(); ++k)
      mark(LimitKind::Course, courseCode(int(k)), courseBusy[int(k)], 0.3);
    for (size_t t = 0; t < teachers_.size(); ++t)
      mark(LimitKind::Teacher, teacherCode(int(t)), teachers_[t].periods, 0.15);
    tx.Commit();
    return school;
  }

  struct Teacher {
    std::uint64_t periods;
    int load, maxLoad;
    std::set<int> courses;
  };

  FeasibleSchoolOptions o_;
  std::mt19937_64 rng_;
  int days_, lessons_, week_;
  std::set<int> special_;
  std::map<int, std::uint64_t> specialUsed_;
  std::vector<Row> rows_;
  std::vector<Teacher> teachers_;
};

}  // namespace

FeasibleSchool MakeFeasibleSchool(TimetableDb& db, const FeasibleSchoolOptions& options) {
  return Builder(options).Build(db);
}

}  // namespace orv::test
