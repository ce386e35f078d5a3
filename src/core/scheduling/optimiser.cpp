// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/scheduling/optimiser.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <string>
#include <utility>
#include <vector>

#include "core/database/guard.h"
#include "core/rules/quality.h"
#include "core/rules/rule_book.h"
#include "core/rules/rule_index.h"
#include "core/rules/stated_rules.h"
#include "core/rules/week_rules.h"

namespace orv {

namespace {

// The rules of one lesson in one period that the completion keeps for every
// automatic lesson; the optimiser keeps them too. The stated rules of a day
// or week are weighed through their breach sums instead.
constexpr RuleSet kCellRules = {Rule::kOutsideWeek,        Rule::kClassClash,  Rule::kTeacherClash,
                                Rule::kSpecialCourseClash, Rule::kCourseNever, Rule::kClassNever,
                                Rule::kTeacherNever};
constexpr RuleSet kDayRules = {Rule::kDailyCap};
// Of those, the rules of a lesson's own cell, whatever else stands there.
constexpr RuleSet kOwnCellRules = {Rule::kOutsideWeek, Rule::kCourseNever, Rule::kClassNever,
                                   Rule::kTeacherNever};

// Tries without a new best state after which the search has settled, per
// lesson that may move (and at least this many in all).
constexpr std::uint64_t kStallPerLesson = 7;
constexpr std::uint64_t kStallAtLeast = 15000;
constexpr int kNone = -1;
// Draws of a lesson with nothing to mend that are put back for another draw.
constexpr int kRedraws = 2;
// Lessons of the shortfalls a school notices first (see FindNeedy) are drawn
// in one try of this many, and looked for anew every kNeedyEvery + 1 tries.
constexpr int kNeedyShare = 2;
constexpr std::uint64_t kNeedyEvery = 1023;
// While such lessons remain, a settled search goes on this many times longer
// (still within the time limit): a teacher idle too often or a class with a
// gap is worth the wait, and a school without them settles as soon as before.
constexpr std::uint64_t kNeedyStallFactor = 4;
// One try in this many exchanges a Kempe chain rather than moving or swapping
// within a class; a chain of more lessons than kChainMost is not tried (it
// would cost more to weigh than it is likely to win).
constexpr int kChainShare = 4;
constexpr size_t kChainMost = 12;

// splitmix64: small, fast, and the same everywhere for a seed.
class Rng {
 public:
  explicit Rng(std::uint64_t seed) : state_(seed) {}
  std::uint64_t Next() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
  }
  int Below(int n) { return static_cast<int>(Next() % static_cast<std::uint64_t>(n)); }

 private:
  std::uint64_t state_;
};

// A handful of indices without repeats; `full` when one did not fit.
template <size_t N>
struct SmallSet {
  std::array<int, N> items{};
  size_t size = 0;
  bool full = false;
  void Add(int v) {
    if (v < 0) return;
    for (size_t i = 0; i < size; ++i)
      if (items[i] == v) return;
    if (size < N)
      items[size++] = v;
    else
      full = true;
  }
  const int* begin() const { return items.data(); }
  const int* end() const { return items.data() + size; }
};

struct Cost {
  int breach = 0;
  long long score = 0;
  int best = 0;  // lessons in a "最佳位置" cell
};

class Optimiser {
 public:
  Optimiser(SchoolModel& model, const OptimiserControl& control)
      : m_(model), control_(control), parallel_(ParallelGroups(model)) {
    parallelOf_.resize(m_.capGroups.size());
    for (size_t p = 0; p < parallel_.size(); ++p)
      for (int g : parallel_[p].capGroups) parallelOf_[static_cast<size_t>(g)].push_back(static_cast<int>(p));
    for (size_t i = 0; i < m_.lessons.size(); ++i)
      if (m_.lessons[i].moves && m_.lessons[i].period >= 0) movable_.push_back(static_cast<int>(i));
    teacher_.resize(m_.teachers.size());
    class_.resize(m_.classes.size());
    group_.resize(m_.capGroups.size());
    lesson_.resize(m_.lessons.size());
    parallelScore_.resize(parallel_.size());
    fresh_ = {teacher_, class_, group_, lesson_, parallelScore_, {}};
    for (int t = 0; t < static_cast<int>(teacher_.size()); ++t)
      teacher_[t] = {TeacherBreach(m_, t), TeacherScore(m_, t)};
    for (int c = 0; c < static_cast<int>(class_.size()); ++c)
      class_[c] = {ClassBreach(m_, c), ClassScore(m_, c)};
    for (int g = 0; g < static_cast<int>(group_.size()); ++g)
      group_[g] = {GroupBreach(m_, g), GroupScore(m_, g)};
    for (int i = 0; i < static_cast<int>(lesson_.size()); ++i) lesson_[i] = LessonScore(m_, i);
    inBest_.resize(m_.lessons.size());
    for (size_t i = 0; i < m_.lessons.size(); ++i) inBest_[i] = InBest(m_, m_.lessons[i]);
    fresh_.inBest = inBest_;
    groupDays_.resize(m_.capGroups.size());
    for (int g = 0; g < static_cast<int>(group_.size()); ++g)
      groupDays_[static_cast<size_t>(g)] = GroupDayLessons(m_, g);
    freshDays_ = groupDays_;
    for (size_t p = 0; p < parallel_.size(); ++p) parallelScore_[p] = ParallelScore(m_, parallel_[p]);
    for (const Cost& c : teacher_) Add(total_, c);
    for (const Cost& c : class_) Add(total_, c);
    for (const Cost& c : group_) Add(total_, c);
    for (int s : lesson_) total_.score += s;
    for (char b : inBest_) total_.best += b;
    bestFloor_ = total_.best;
    for (int s : parallelScore_) total_.score += s;
    for (const StatedBreach& b : StatedBreaches(m_))
      if (b.rule == Rule::kSpecialCourseClash) total_.breach += b.amount;
  }

  OptimiserReport Run() {
    OptimiserReport report;
    report.scoreBefore = total_.score;
    report.breachBefore = total_.breach;
    std::vector<int> start(movable_.size());
    for (size_t k = 0; k < movable_.size(); ++k)
      start[k] = m_.lessons[static_cast<size_t>(movable_[k])].period;
    Cost bestCost = total_;
    if (control_.progress) control_.progress(bestCost.score);

    const auto began = std::chrono::steady_clock::now();
    const std::uint64_t stall = std::max(kStallAtLeast, kStallPerLesson * movable_.size());
    Rng rng(control_.seed);
    std::uint64_t tries = 0, sinceBest = 0;
    while (!movable_.empty() && (bestCost.breach > 0 || bestCost.score > 0) &&
           sinceBest < (needy_.empty() ? stall : stall * kNeedyStallFactor)) {
      if ((tries & 255) == 0) {
        if (control_.cancel != nullptr && control_.cancel->load()) {
          report.cancelled = true;
          break;
        }
        if (std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count() >=
            control_.seconds) {
          report.timedOut = true;
          break;
        }
        if ((tries & 65535) == 0 && tries > 0 && control_.progress) control_.progress(bestCost.score);
      }
      ++tries;
      ++sinceBest;
      if (!Try(rng)) continue;
      if (Better(total_, bestCost)) {
        bestCost = total_;
        sinceBest = 0;
        sinceBestMoves_.clear();
      }
    }
    // Back to the best state, undoing the moves taken since.
    for (auto it = sinceBestMoves_.rbegin(); it != sinceBestMoves_.rend(); ++it) Put(it->first, it->second);
    for (size_t k = 0; k < movable_.size(); ++k)
      if (m_.lessons[static_cast<size_t>(movable_[k])].period != start[k]) ++report.movedLessons;
    report.scoreAfter = bestCost.score;
    report.breachAfter = bestCost.breach;
    report.tries = tries;
    report.chains = chainsTaken_;
    if (control_.progress) control_.progress(bestCost.score);
    return report;
  }

 private:
  // The entities a move touches: a move or swap within one class, or a chain.
  template <size_t Lessons, size_t Classes, size_t Parallels>
  struct TouchedOf {
    SmallSet<Lessons> teachers, lessons;
    SmallSet<Classes> classes;
    SmallSet<Lessons> groups;
    SmallSet<Parallels> parallels;
  };
  using Touched = TouchedOf<2, 1, 8>;
  using ChainTouched = TouchedOf<kChainMost, kChainMost, 4 * kChainMost>;

  static void Add(Cost& into, const Cost& c) {
    into.breach += c.breach;
    into.score += c.score;
    into.best += c.best;
  }
  // Lessons in "最佳位置" cells below what the timetable began with.
  int BestShort(const Cost& c) const { return std::max(0, bestFloor_ - c.best); }
  // The stated rules first, then "最佳位置" cells back to where they began
  // (the completion places lessons in them well, and repairing a stated rule
  // may have cost some), then the score.
  bool Better(const Cost& a, const Cost& b, bool orEqual = false) const {
    if (a.breach != b.breach) return a.breach < b.breach;
    if (BestShort(a) != BestShort(b)) return BestShort(a) < BestShort(b);
    return a.score < b.score || (orEqual && a.score == b.score);
  }
  // Takes the move whose touched entities measured `before` and now `after`
  // when it is no worse: so the walk also crosses plateaus.
  bool Take(const Cost& before, const Cost& after) {
    Cost next = total_;
    next.breach += after.breach - before.breach;
    next.score += after.score - before.score;
    next.best += after.best - before.best;
    if (!Better(next, total_, true)) return false;
    total_ = next;
    return true;
  }

  template <class T>
  void Touch(T& t, int lesson) const {
    const ModelLesson& l = m_.lessons[static_cast<size_t>(lesson)];
    t.teachers.Add(l.teacher);
    t.classes.Add(l.cls);
    t.lessons.Add(lesson);
    t.groups.Add(l.capGroup);
    if (l.capGroup >= 0)
      for (int p : parallelOf_[static_cast<size_t>(l.capGroup)]) t.parallels.Add(p);
  }

  // The special courses' rooms in the periods a move empties and fills.
  int RoomBreaches(int i, int j, int p, int q) const {
    int breach = 0;
    for (int lesson : {i, j}) {
      if (lesson == kNone) continue;
      const int course = m_.lessons[static_cast<size_t>(lesson)].course;
      if (lesson == j && course == m_.lessons[static_cast<size_t>(i)].course) continue;
      if (!m_.special[static_cast<size_t>(course)]) continue;
      breach += RoomBreach(m_, course, p) + RoomBreach(m_, course, q);
    }
    return breach;
  }

  // The touched entities as cached, measured anew (held in fresh_), and the
  // fresh measures cached once a move is taken.
  template <class T>
  Cost Cached(const T& t) const {
    Cost c;
    for (int v : t.teachers) Add(c, teacher_[static_cast<size_t>(v)]);
    for (int v : t.classes) Add(c, class_[static_cast<size_t>(v)]);
    for (int v : t.groups) Add(c, group_[static_cast<size_t>(v)]);
    for (int v : t.lessons) {
      c.score += lesson_[static_cast<size_t>(v)];
      c.best += inBest_[static_cast<size_t>(v)];
    }
    for (int v : t.parallels) c.score += parallelScore_[static_cast<size_t>(v)];
    return c;
  }
  template <class T>
  Cost Measure(const T& t) {
    Cost c;
    for (int v : t.teachers)
      Add(c, fresh_.teachers[static_cast<size_t>(v)] = {StatesLimits(v) ? TeacherBreach(m_, v) : 0,
                                                        TeacherScore(m_, v)});
    for (int v : t.classes)
      Add(c, fresh_.classes[static_cast<size_t>(v)] = {ClassBreach(m_, v), ClassScore(m_, v)});
    for (int v : t.groups)
      Add(c, fresh_.groups[static_cast<size_t>(v)] = {GroupBreach(m_, v), GroupScore(m_, v)});
    for (int v : t.lessons) {
      c.score += (fresh_.lessons[static_cast<size_t>(v)] = LessonScore(m_, v));
      c.best += (fresh_.inBest[static_cast<size_t>(v)] = InBest(m_, m_.lessons[static_cast<size_t>(v)]));
    }
    for (int v : t.groups)
      if (!parallelOf_[static_cast<size_t>(v)].empty())
        freshDays_[static_cast<size_t>(v)] = GroupDayLessons(m_, v);
    const auto daysOf = [&](int g) -> const std::vector<int>& {
      for (int v : t.groups)
        if (v == g) return freshDays_[static_cast<size_t>(g)];
      return groupDays_[static_cast<size_t>(g)];
    };
    for (int v : t.parallels)
      c.score += (fresh_.parallels[static_cast<size_t>(v)] =
                      ParallelScore(parallel_[static_cast<size_t>(v)], daysOf));
    return c;
  }
  template <class T>
  void Keep(const T& t) {
    for (int v : t.teachers) teacher_[static_cast<size_t>(v)] = fresh_.teachers[static_cast<size_t>(v)];
    for (int v : t.classes) class_[static_cast<size_t>(v)] = fresh_.classes[static_cast<size_t>(v)];
    for (int v : t.groups) group_[static_cast<size_t>(v)] = fresh_.groups[static_cast<size_t>(v)];
    for (int v : t.lessons) {
      lesson_[static_cast<size_t>(v)] = fresh_.lessons[static_cast<size_t>(v)];
      inBest_[static_cast<size_t>(v)] = fresh_.inBest[static_cast<size_t>(v)];
    }
    for (int v : t.parallels)
      parallelScore_[static_cast<size_t>(v)] = fresh_.parallels[static_cast<size_t>(v)];
    for (int v : t.groups)
      if (!parallelOf_[static_cast<size_t>(v)].empty())
        groupDays_[static_cast<size_t>(v)].swap(freshDays_[static_cast<size_t>(v)]);
  }

  // A teacher for whom no limit is stated keeps them all.
  bool StatesLimits(int teacher) const {
    const TeacherRules& r = m_.teacherRules[static_cast<size_t>(teacher)];
    return r.maxPerDay > 0 || r.maxInARow > 0 || r.maxGaps >= 0;
  }

  bool Settled(int lesson) const {
    const ModelLesson& l = m_.lessons[static_cast<size_t>(lesson)];
    if (teacher_[static_cast<size_t>(l.teacher)].score > 0 || class_[static_cast<size_t>(l.cls)].score > 0 ||
        lesson_[static_cast<size_t>(lesson)] > 0)
      return false;
    if (l.capGroup < 0) return true;
    if (group_[static_cast<size_t>(l.capGroup)].score > 0) return false;
    for (int p : parallelOf_[static_cast<size_t>(l.capGroup)])
      if (parallelScore_[static_cast<size_t>(p)] > 0) return false;
    return true;
  }

  void Put(int lesson, int period) { m_.MoveLesson(lesson, DayOfPeriod(period), LessonOfPeriod(period)); }

  // The lessons that may move of teachers idle more than kIdleAllowance
  // periods a week and of classes with a free period between lessons.
  void FindNeedy() {
    needy_.clear();
    for (int i : movable_) {
      const ModelLesson& l = m_.lessons[static_cast<size_t>(i)];
      if (teacher_[static_cast<size_t>(l.teacher)].score > kIdleAllowance * kIdleWeight ||
          class_[static_cast<size_t>(l.cls)].score > 0)
        needy_.push_back(i);
    }
  }

  // One move, swap or chain drawn at random; true when taken.
  bool Try(Rng& rng) {
    // Every other try, a lesson of a teacher idle too often or of a class
    // with a gap (the shortfalls a school notices first); otherwise mostly a
    // lesson with something to mend: its teacher idle, its class with a gap,
    // its course repeated, its cell or its parallel classes.
    if ((++drawn_ & kNeedyEvery) == 0) FindNeedy();
    int i;
    if (!needy_.empty() && rng.Below(kNeedyShare) == 0) {
      i = needy_[static_cast<size_t>(rng.Below(static_cast<int>(needy_.size())))];
    } else {
      i = movable_[static_cast<size_t>(rng.Below(static_cast<int>(movable_.size())))];
      for (int draw = 0; draw < kRedraws && Settled(i); ++draw)
        i = movable_[static_cast<size_t>(rng.Below(static_cast<int>(movable_.size())))];
    }
    const ModelLesson& li = m_.lessons[static_cast<size_t>(i)];
    const int p = li.period;
    const int q = PeriodOf(rng.Below(kDaysPerWeek) + 1, rng.Below(m_.week.lessonsPerDay) + 1);
    if (q == p) return false;
    if (rng.Below(kChainShare) == 0) return TryChain(i, p, q);
    const std::vector<int>& there = m_.ClassAt(li.cls, q);
    int j = kNone;
    if (!there.empty()) {
      if (there.size() != 1) return false;
      j = there[0];
      const ModelLesson& lj = m_.lessons[static_cast<size_t>(j)];
      if (!lj.moves || (lj.course == li.course && lj.teacher == li.teacher)) return false;
    }
    // The rules that look at one cell first; the daily cap counts a day.
    if (!Test(m_, Candidate::Of(m_, i, j), q, kCellRules).Empty()) return false;
    if (j != kNone && !Test(m_, Candidate::Of(m_, j, i), p, kCellRules).Empty()) return false;
    if (!Test(m_, Candidate::Of(m_, i, j), q, kDayRules).Empty()) return false;
    if (j != kNone && !Test(m_, Candidate::Of(m_, j, i), p, kDayRules).Empty()) return false;

    Touched t;
    Touch(t, i);
    if (j != kNone) Touch(t, j);
    // A course taught to one class by many teachers in parallel: too much to
    // re-measure here, and too rare to matter.
    if (t.parallels.full) return false;
    Cost before = Cached(t);
    before.breach += RoomBreaches(i, j, p, q);
    Put(i, q);
    if (j != kNone) Put(j, p);
    Cost after = Measure(t);
    after.breach += RoomBreaches(i, j, p, q);

    if (!Take(before, after)) {
      Put(i, p);
      if (j != kNone) Put(j, q);
      return false;
    }
    Keep(t);
    sinceBestMoves_.emplace_back(i, p);
    if (j != kNone) sinceBestMoves_.emplace_back(j, q);
    return true;
  }

  // The Kempe chain of lesson i between its period p and q: the lessons in
  // p and q linked to it through a shared class or teacher. Exchanging their
  // periods keeps every class and teacher free of clashes, so it reaches
  // what a move or swap within one class cannot when each of its steps
  // would clash (two classes whose teachers interlock). False when a lesson
  // of the chain may not move or the chain is too long.
  bool ChainOf(int i, int p, int q) {
    chain_.clear();
    chain_.push_back(i);
    const auto add = [&](const std::vector<int>& at) {
      for (int x : at) {
        if (std::find(chain_.begin(), chain_.end(), x) != chain_.end()) continue;
        if (!m_.lessons[static_cast<size_t>(x)].moves || chain_.size() == kChainMost) return false;
        chain_.push_back(x);
      }
      return true;
    };
    for (size_t k = 0; k < chain_.size(); ++k) {
      const ModelLesson& l = m_.lessons[static_cast<size_t>(chain_[k])];
      const int other = l.period == p ? q : p;
      if (!add(m_.ClassAt(l.cls, other)) || !add(m_.TeacherAt(l.teacher, other))) return false;
    }
    return true;
  }

  // The special courses' rooms in p and q, for the courses of the chain.
  int ChainRoomBreaches(int p, int q) const {
    SmallSet<kChainMost> courses;
    for (int x : chain_) {
      const int course = m_.lessons[static_cast<size_t>(x)].course;
      if (m_.special[static_cast<size_t>(course)]) courses.Add(course);
    }
    int breach = 0;
    for (int course : courses) breach += RoomBreach(m_, course, p) + RoomBreach(m_, course, q);
    return breach;
  }

  // Exchanges the periods of i's chain between p and q; true when taken,
  // under the same rules as a move: every lesson keeps the rules of its cell
  // and day where it lands, the stated rules are broken no more, and the
  // score is no worse.
  bool TryChain(int i, int p, int q) {
    if (!ChainOf(i, p, q)) return false;
    for (int x : chain_) {
      const int to = m_.lessons[static_cast<size_t>(x)].period == p ? q : p;
      if (!Test(m_, Candidate::Of(m_, x), to, kOwnCellRules).Empty()) return false;
    }
    ChainTouched t;
    for (int x : chain_) Touch(t, x);
    if (t.parallels.full) return false;
    Cost before = Cached(t);
    before.breach += ChainRoomBreaches(p, q);
    const auto back = [&] {
      for (int x : chain_) Put(x, m_.lessons[static_cast<size_t>(x)].period == p ? q : p);
    };
    back();
    // Weighed where they stand, all moved: the daily cap then counts what
    // the chain brings to a day and what it takes away.
    for (int x : chain_)
      if (!Test(m_, Candidate::Of(m_, x), m_.lessons[static_cast<size_t>(x)].period, kCellRules).Empty() ||
          !Test(m_, Candidate::Of(m_, x), m_.lessons[static_cast<size_t>(x)].period, kDayRules).Empty()) {
        back();
        return false;
      }
    Cost after = Measure(t);
    after.breach += ChainRoomBreaches(p, q);
    if (!Take(before, after)) {
      back();
      return false;
    }
    Keep(t);
    for (int x : chain_)
      sinceBestMoves_.emplace_back(x, m_.lessons[static_cast<size_t>(x)].period == p ? q : p);
    ++chainsTaken_;
    return true;
  }

  SchoolModel& m_;
  const OptimiserControl& control_;
  std::vector<ParallelGroup> parallel_;
  std::vector<std::vector<int>> parallelOf_;  // per cap group, the parallel groups it is in
  std::vector<int> movable_;
  std::vector<Cost> teacher_, class_, group_;
  std::vector<int> lesson_, parallelScore_;
  std::vector<char> inBest_;                             // per lesson, InBest
  int bestFloor_ = 0;                                    // lessons in "最佳位置" cells at the start
  std::vector<std::vector<int>> groupDays_, freshDays_;  // per cap group in a parallel group, GroupDayLessons
  // Measures of the entities a move touches, held until it is taken.
  struct {
    std::vector<Cost> teachers, classes, groups;
    std::vector<int> lessons, parallels;
    std::vector<char> inBest;
  } fresh_;
  Cost total_;
  // The moves taken since the best state, each as (lesson, period it left).
  std::vector<std::pair<int, int>> sinceBestMoves_;
  std::vector<int> chain_;  // the chain being weighed
  std::vector<int> needy_;  // see FindNeedy, found anew now and then
  std::uint64_t drawn_ = 0;
  std::uint64_t chainsTaken_ = 0;
};

}  // namespace

OptimiserReport OptimiseModel(SchoolModel& model, const OptimiserControl& control) {
  return Optimiser(model, control).Run();
}

Result<OptimiserReport> OptimiseTimetable(TimetableDb& db, const OptimiserOptions& options) {
  if (!SchoolWeek::Valid(options.lessonsPerDay))
    return Outcome::Fail("每天课时数无效: " + std::to_string(options.lessonsPerDay));
  Result<SchoolModel> loaded = LoadIndexedSchool(db, SchoolWeek(options.lessonsPerDay));
  if (!loaded) return loaded.outcome();
  SchoolModel& model = *loaded;
  std::vector<int> was(model.lessons.size());
  for (size_t i = 0; i < model.lessons.size(); ++i) was[i] = model.lessons[i].period;
  const OptimiserReport report = OptimiseModel(model, options.control);
  if (report.movedLessons == 0) return report;
  Outcome written = Guarded("优化课表失败：", [&]() -> Outcome {
    Transaction tx(db);
    for (size_t i = 0; i < model.lessons.size(); ++i) {
      const ModelLesson& l = model.lessons[i];
      if (l.period != was[i])
        db.Execute("update LessonListtb set Day=?,LessonNo=? where rowid=?", l.day, l.lessonNo, l.rowid);
    }
    tx.Commit();
    return Outcome::Ok();
  });
  if (!written) return written;
  return report;
}

}  // namespace orv
