// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/scheduling/completion_search.h"

#include <algorithm>
#include <chrono>
#include <numeric>

namespace orv {

namespace {

constexpr int kNone = -1;
// A lesson in each holding (rule_book.h), and one that makes way under the
// daily cap and one under the teacher's max-lessons-per-day.
constexpr int kMaxConflicts = kHeldKinds + 2;

// Choosing a period: one ejected lesson outweighs any soft cost, and a
// lesson that has been pushed out often costs more to push out again, so
// that the search turns to other ways around the lessons that keep
// fighting for the same periods. A tabu period (one a lesson was just
// pushed out of) is taken only when nothing else is left.
constexpr long long kEjectionCost = 64;
constexpr long long kEjectedBefore = 64;
constexpr int kMostEjections = 1 << 24;
constexpr long long kTabuCost = 1LL << 50;
constexpr int kTabuMin = 6, kTabuSpread = 10;
// One move in this many goes to a random period, to leave a valley.
constexpr int kRandomWalkOdds = 64;
// Checking the clock and the cancel flag costs little, but not nothing.
constexpr std::uint64_t kCheckEvery = 256;
constexpr double kProgressEverySeconds = 0.05;
// A walk that has not beaten the best state for this long goes back to it,
// and the lessons' ejection counts are halved, so that old fights weigh less
// on the new walk.
constexpr std::uint64_t kStallIterations = 30000;
constexpr int kImproveRounds = 25;

// splitmix64: small, fast, and the same numbers on every platform.
std::uint64_t NextRandom(std::uint64_t& state) {
  std::uint64_t z = (state += 0x9E3779B97F4A7C15ull);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return z ^ (z >> 31);
}

int RandomBelow(std::uint64_t& state, int n) {
  return static_cast<int>(((NextRandom(state) >> 32) * static_cast<std::uint64_t>(n)) >> 32);
}

int LowestPeriod(PeriodMask m) { return std::countr_zero(m); }

// The period of least score among those offered, each tied period equally
// likely to be kept.
template <class Score>
class LeastPick {
 public:
  void Offer(int period, Score score, std::uint64_t& rng) {
    if (period_ == kNone || score < best_) {
      period_ = period;
      best_ = score;
      ties_ = 1;
    } else if (score == best_ && RandomBelow(rng, ++ties_) == 0) {
      period_ = period;
    }
  }
  int Period() const { return period_; }

 private:
  int period_ = kNone;
  Score best_{};
  int ties_ = 0;
};

}  // namespace

CompletionSearch::CompletionSearch(const SchoolModel& model) : model_(model), walls_(CollectWalls(model)) {
  const size_t groups = model.capGroups.size();
  std::vector<int> taken(model.needs.size(), 0);
  for (size_t i = 0; i < model.lessons.size(); ++i) {
    const ModelLesson& l = model.lessons[i];
    if (!l.moves) continue;
    lessons_.push_back({l.need, static_cast<int>(i), kNone});
    ++taken[static_cast<size_t>(l.need)];
  }
  for (size_t n = 0; n < model.needs.size(); ++n) {
    if (!model.needs[n].usable) continue;
    for (int k = taken[n]; k < model.needs[n].toPlace; ++k)
      lessons_.push_back({static_cast<int>(n), kNone, kNone});
  }

  needs_.resize(model.needs.size());
  for (size_t n = 0; n < model.needs.size(); ++n) {
    const PlanNeed& need = model.needs[n];
    NeedInfo& info = needs_[n];
    info.cls = need.cls;
    info.course = need.course;
    info.teacher = need.teacher;
    info.group = need.capGroup;
    info.holds = HoldingsOf(model, need.cls, need.course, need.teacher);
    info.dayMax = model.teacherRules[static_cast<size_t>(need.teacher)].maxPerDay;
    info.domain = walls_.Room(model, need);
    for (int p = 0; p < kWeekPeriods; ++p) info.cost[static_cast<size_t>(p)] = orv::SoftCost(model, need, p);
  }

  groupLessons_.resize(groups);
  for (size_t v = 0; v < lessons_.size(); ++v)
    groupLessons_[static_cast<size_t>(needs_[static_cast<size_t>(lessons_[v].need)].group)].push_back(
        static_cast<int>(v));

  const std::array<int, kHeldKinds> holders = HoldingCounts(model);
  for (int kind = 0; kind < kHeldKinds; ++kind)
    if (kind != kSpecialHeld)
      heldAt_[static_cast<size_t>(kind)].assign(
          static_cast<size_t>(holders[static_cast<size_t>(kind)]) * kWeekPeriods, kNone);
  for (size_t k = 0; k < model.courses.size(); ++k)
    if (model.special[k]) maxRooms_ = std::max(maxRooms_, model.rooms[k]);
  roomHeld_.assign(model.courses.size() * kWeekPeriods * static_cast<size_t>(maxRooms_), kNone);
  roomsFree_.assign(model.courses.size() * kWeekPeriods, 0);
  for (int k = 0; k < static_cast<int>(model.courses.size()); ++k)
    if (model.special[static_cast<size_t>(k)])
      for (int p = 0; p < kWeekPeriods; ++p)
        roomsFree_[static_cast<size_t>(k * kWeekPeriods + p)] =
            std::max(0, std::max(1, model.rooms[static_cast<size_t>(k)]) - walls_.RoomsTaken(k, p));
  dayLoad_ = walls_.dayLoad;
  teacherDay_ = walls_.teacherDayLoad;
  poolAt_.assign(lessons_.size(), kNone);
  for (size_t v = 0; v < lessons_.size(); ++v) {
    poolAt_[v] = static_cast<int>(pool_.size());
    pool_.push_back(static_cast<int>(v));
  }
  // Stored lessons that keep every rule stay where they are, earlier rows of
  // the table first; the others are missing.
  int conflicts[kMaxConflicts];
  for (size_t v = 0; v < lessons_.size(); ++v) {
    const SearchLesson& s = lessons_[v];
    if (s.stored < 0) continue;
    const int p = model.lessons[static_cast<size_t>(s.stored)].period;
    if (p >= 0 && (needs_[static_cast<size_t>(s.need)].domain & PeriodBit(p)) &&
        Conflicts(static_cast<int>(v), p, conflicts) == 0)
      Place(static_cast<int>(v), p);
  }
  // A lesson whose row has no period at all is missing for good.
  for (size_t k = pool_.size(); k-- > 0;) {
    const int v = pool_[k];
    if (needs_[static_cast<size_t>(lessons_[static_cast<size_t>(v)].need)].domain != 0) continue;
    pool_[k] = pool_.back();
    poolAt_[static_cast<size_t>(pool_[k])] = static_cast<int>(k);
    pool_.pop_back();
    poolAt_[static_cast<size_t>(v)] = kNone;
    ++hopeless_;
  }
  missingAtStart_ = Missing();
}

int CompletionSearch::RoomBlocker(int course, int p, const int* out, int k, int ignore) const {
  const int* held = RoomsAt(course, p);
  const int free = RoomsFree(course, p);
  int first = kNone;
  for (int r = 0; r < free; ++r) {
    const int by = held[r];
    if (by == kNone || by == ignore || std::find(out, out + k, by) != out + k) return kNone;
    if (first == kNone) first = by;
  }
  return first;
}

int CompletionSearch::Conflicts(int v, int period, int* out) const {
  const NeedInfo& n = needs_[static_cast<size_t>(lessons_[static_cast<size_t>(v)].need)];
  int k = 0;
  for (int kind = 0; kind < kHeldKinds; ++kind) {
    const int who = n.holds[static_cast<size_t>(kind)];
    if (who < 0) continue;
    const int by = kind == kSpecialHeld ? RoomBlocker(who, period, out, k, v) : HeldAt(kind, who, period);
    if (by != kNone && std::find(out, out + k, by) == out + k) out[k++] = by;
  }
  const int day = DayOfPeriod(period);
  int load = DayLoad(n.group, day);
  for (int i = 0; i < k; ++i) {
    const SearchLesson& o = lessons_[static_cast<size_t>(out[i])];
    if (needs_[static_cast<size_t>(o.need)].group == n.group && DayOfPeriod(o.period) == day) --load;
  }
  if (!DayHasRoom(load, model_.capGroups[static_cast<size_t>(n.group)].cap)) {
    // The walls leave room on every day of the domain, so one of the
    // search's own lessons of the course is there to make way.
    for (int w : groupLessons_[static_cast<size_t>(n.group)]) {
      const SearchLesson& o = lessons_[static_cast<size_t>(w)];
      if (o.period < 0 || DayOfPeriod(o.period) != day || std::find(out, out + k, w) != out + k) continue;
      out[k++] = w;
      break;
    }
  }
  if (n.dayMax > 0) {
    int taught = TeacherDay(n.teacher, day);
    for (int i = 0; i < k; ++i) {
      const SearchLesson& o = lessons_[static_cast<size_t>(out[i])];
      if (needs_[static_cast<size_t>(o.need)].teacher == n.teacher && DayOfPeriod(o.period) == day) --taught;
    }
    // As with the cap: the walls leave the teacher room on every day of the
    // domain, so one of the search's own lessons of the teacher is there.
    if (!DayHasRoom(taught, n.dayMax))
      for (int lesson = 1; lesson <= kMaxLessonsPerDay; ++lesson) {
        const int w = HeldAt(kTeacherHeld, n.teacher, PeriodOf(day, lesson));
        if (w == kNone || w == v || std::find(out, out + k, w) != out + k) continue;
        out[k++] = w;
        break;
      }
  }
  return k;
}

void CompletionSearch::Place(int v, int period) {
  SearchLesson& s = lessons_[static_cast<size_t>(v)];
  const NeedInfo& n = needs_[static_cast<size_t>(s.need)];
  s.period = period;
  for (int kind = 0; kind < kHeldKinds; ++kind) {
    const int who = n.holds[static_cast<size_t>(kind)];
    if (who < 0) continue;
    if (kind != kSpecialHeld) {
      HeldAt(kind, who, period) = v;
      continue;
    }
    int* held = RoomsAt(who, period);
    for (int r = 0; r < RoomsFree(who, period); ++r)
      if (held[r] == kNone) {
        held[r] = v;
        break;
      }
  }
  ++DayLoad(n.group, DayOfPeriod(period));
  ++TeacherDay(n.teacher, DayOfPeriod(period));
  soft_ += n.cost[static_cast<size_t>(period)];
  const int at = poolAt_[static_cast<size_t>(v)];
  pool_[static_cast<size_t>(at)] = pool_.back();
  poolAt_[static_cast<size_t>(pool_.back())] = at;
  pool_.pop_back();
  poolAt_[static_cast<size_t>(v)] = kNone;
}

void CompletionSearch::Lift(int v) {
  SearchLesson& s = lessons_[static_cast<size_t>(v)];
  const NeedInfo& n = needs_[static_cast<size_t>(s.need)];
  const int period = s.period;
  for (int kind = 0; kind < kHeldKinds; ++kind) {
    const int who = n.holds[static_cast<size_t>(kind)];
    if (who < 0) continue;
    if (kind != kSpecialHeld) {
      HeldAt(kind, who, period) = kNone;
      continue;
    }
    int* held = RoomsAt(who, period);
    for (int r = 0; r < RoomsFree(who, period); ++r)
      if (held[r] == v) held[r] = kNone;
  }
  --DayLoad(n.group, DayOfPeriod(period));
  --TeacherDay(n.teacher, DayOfPeriod(period));
  soft_ -= n.cost[static_cast<size_t>(period)];
  s.period = kNone;
  poolAt_[static_cast<size_t>(v)] = static_cast<int>(pool_.size());
  pool_.push_back(v);
}

void CompletionSearch::Reset(const std::vector<int>& periods) {
  for (size_t v = 0; v < lessons_.size(); ++v)
    if (lessons_[v].period != kNone) Lift(static_cast<int>(v));
  for (size_t v = 0; v < lessons_.size(); ++v)
    if (periods[v] != kNone) Place(static_cast<int>(v), periods[v]);
}

void CompletionSearch::Remember() {
  best_.resize(lessons_.size());
  for (size_t v = 0; v < lessons_.size(); ++v) best_[v] = lessons_[v].period;
  bestMissing_ = Missing();
  bestSoft_ = soft_;
}

void CompletionSearch::PlaceDirectly(std::uint64_t& rng) {
  std::vector<int> order = pool_;
  auto room = [&](int v) {
    return CountPeriods(needs_[static_cast<size_t>(lessons_[static_cast<size_t>(v)].need)].domain);
  };
  std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
    const int ra = room(a), rb = room(b);
    return ra != rb ? ra < rb : a < b;
  });
  int conflicts[kMaxConflicts];
  for (int v : order) {
    const NeedInfo& n = needs_[static_cast<size_t>(lessons_[static_cast<size_t>(v)].need)];
    LeastPick<int> pick;
    for (PeriodMask m = n.domain; m != 0; m &= m - 1) {
      const int p = LowestPeriod(m);
      if (Conflicts(v, p, conflicts) == 0) pick.Offer(p, n.cost[static_cast<size_t>(p)], rng);
    }
    if (pick.Period() != kNone) Place(v, pick.Period());
  }
}

SearchOutcome CompletionSearch::Run(const SearchControl& control) {
  using Clock = std::chrono::steady_clock;
  const auto start = Clock::now();
  auto elapsed = [&] { return std::chrono::duration<double>(Clock::now() - start).count(); };
  SearchOutcome outcome;
  std::uint64_t rng = control.seed ^ 0x5DEECE66Dull;

  PlaceDirectly(rng);
  Remember();
  std::vector<std::uint64_t> tabu(lessons_.size() * kWeekPeriods, 0);
  std::vector<int> ejected(lessons_.size(), 0);
  std::uint64_t iteration = 0, sinceBest = 0;
  int lastReported = -1;
  double lastProgress = -1.0;
  int conflicts[kMaxConflicts];
  while (!pool_.empty() && Missing() > control.knownShortfall) {
    if (iteration % kCheckEvery == 0) {
      if (control.cancel != nullptr && control.cancel->load(std::memory_order_relaxed)) {
        outcome.cancelled = true;
        break;
      }
      const double now = elapsed();
      if (now >= control.seconds) {
        outcome.timedOut = true;
        break;
      }
      if (control.progress && (bestMissing_ != lastReported || now - lastProgress >= kProgressEverySeconds)) {
        control.progress(bestMissing_);
        lastReported = bestMissing_;
        lastProgress = now;
      }
    }
    ++iteration;

    const int v = pool_[static_cast<size_t>(RandomBelow(rng, static_cast<int>(pool_.size())))];
    const NeedInfo& n = needs_[static_cast<size_t>(lessons_[static_cast<size_t>(v)].need)];
    int pick = kNone;
    if (RandomBelow(rng, kRandomWalkOdds) == 0) {
      PeriodMask m = n.domain;
      for (int skip = RandomBelow(rng, CountPeriods(m)); skip > 0; --skip) m &= m - 1;
      pick = LowestPeriod(m);
    } else {
      LeastPick<long long> least;
      for (PeriodMask m = n.domain; m != 0; m &= m - 1) {
        const int p = LowestPeriod(m);
        const int k = Conflicts(v, p, conflicts);
        long long score = n.cost[static_cast<size_t>(p)];
        for (int i = 0; i < k; ++i)
          score += kEjectionCost + ejected[static_cast<size_t>(conflicts[i])] * kEjectedBefore;
        if (k > 0 && tabu[static_cast<size_t>(v) * kWeekPeriods + static_cast<size_t>(p)] > iteration)
          score += kTabuCost;
        least.Offer(p, score, rng);
      }
      pick = least.Period();
    }
    const int k = Conflicts(v, pick, conflicts);
    for (int i = 0; i < k; ++i) {
      const int w = conflicts[i];
      tabu[static_cast<size_t>(w) * kWeekPeriods +
           static_cast<size_t>(lessons_[static_cast<size_t>(w)].period)] =
          iteration + kTabuMin + static_cast<std::uint64_t>(RandomBelow(rng, kTabuSpread));
      ejected[static_cast<size_t>(w)] = std::min(ejected[static_cast<size_t>(w)] + 1, kMostEjections);
      Lift(w);
    }
    Place(v, pick);

    if (Missing() < bestMissing_ || (Missing() == bestMissing_ && soft_ < bestSoft_)) {
      Remember();
      sinceBest = 0;
    } else if (++sinceBest >= kStallIterations) {
      Reset(best_);
      for (int& e : ejected) e /= 2;
      sinceBest = 0;
    }
  }
  outcome.iterations = iteration;
  if (outcome.cancelled) return outcome;
  if (Missing() > bestMissing_ || (Missing() == bestMissing_ && soft_ > bestSoft_)) Reset(best_);
  Improve();
  if (control.progress) control.progress(Missing());
  return outcome;
}

bool CompletionSearch::Fits(int v, int period, int ignore) const {
  const SearchLesson& s = lessons_[static_cast<size_t>(v)];
  const NeedInfo& n = needs_[static_cast<size_t>(s.need)];
  if (!(n.domain & PeriodBit(period))) return false;
  for (int kind = 0; kind < kHeldKinds; ++kind) {
    const int who = n.holds[static_cast<size_t>(kind)];
    if (who < 0) continue;
    if (kind == kSpecialHeld) {
      if (RoomBlocker(who, period, &v, 1, ignore) != kNone) return false;
      continue;
    }
    const int by = HeldAt(kind, who, period);
    if (by != kNone && by != ignore && by != v) return false;
  }
  const int day = DayOfPeriod(period);
  int load = DayLoad(n.group, day), taught = TeacherDay(n.teacher, day);
  for (int leaving : {v, ignore}) {
    if (leaving == kNone) continue;
    const SearchLesson& o = lessons_[static_cast<size_t>(leaving)];
    if (o.period == kNone || DayOfPeriod(o.period) != day) continue;
    if (needs_[static_cast<size_t>(o.need)].group == n.group) --load;
    if (needs_[static_cast<size_t>(o.need)].teacher == n.teacher) --taught;
  }
  return DayHasRoom(load, model_.capGroups[static_cast<size_t>(n.group)].cap) &&
         (n.dayMax == 0 || DayHasRoom(taught, n.dayMax));
}

bool CompletionSearch::TryMove(int v) {
  const SearchLesson& s = lessons_[static_cast<size_t>(v)];
  const NeedInfo& n = needs_[static_cast<size_t>(s.need)];
  int pick = kNone, bestCost = n.cost[static_cast<size_t>(s.period)];
  for (PeriodMask m = n.domain & ~PeriodBit(s.period); m != 0; m &= m - 1) {
    const int p = LowestPeriod(m);
    if (n.cost[static_cast<size_t>(p)] < bestCost && Fits(v, p, kNone)) {
      pick = p;
      bestCost = n.cost[static_cast<size_t>(p)];
    }
  }
  if (pick == kNone) return false;
  Lift(v);
  Place(v, pick);
  return true;
}

bool CompletionSearch::TrySwap(int v) {
  const int p = lessons_[static_cast<size_t>(v)].period;
  const NeedInfo& n = needs_[static_cast<size_t>(lessons_[static_cast<size_t>(v)].need)];
  int pick = kNone, bestGain = 0;
  for (PeriodMask m = n.domain & ~PeriodBit(p); m != 0; m &= m - 1) {
    const int q = LowestPeriod(m);
    const int w = ClassAt(n.cls, q);
    if (w == kNone) continue;
    const NeedInfo& o = needs_[static_cast<size_t>(lessons_[static_cast<size_t>(w)].need)];
    if (o.group == n.group || !(o.domain & PeriodBit(p))) continue;
    const int gain = n.cost[static_cast<size_t>(q)] + o.cost[static_cast<size_t>(p)] -
                     n.cost[static_cast<size_t>(p)] - o.cost[static_cast<size_t>(q)];
    if (gain < bestGain && Fits(v, q, w) && Fits(w, p, v)) {
      pick = q;
      bestGain = gain;
    }
  }
  if (pick == kNone) return false;
  const int w = ClassAt(n.cls, pick);
  Lift(v);
  Lift(w);
  Place(v, pick);
  Place(w, p);
  return true;
}

void CompletionSearch::Improve() {
  for (int round = 0; round < kImproveRounds; ++round) {
    bool moved = false;
    for (size_t v = 0; v < lessons_.size(); ++v) {
      if (lessons_[v].period == kNone) continue;
      if (TryMove(static_cast<int>(v)) || TrySwap(static_cast<int>(v))) moved = true;
    }
    if (!moved) break;
  }
}

BlockedPeriods CompletionSearch::Blockers(int need) const {
  const PlanNeed& row = model_.needs[static_cast<size_t>(need)];
  const NeedInfo& n = needs_[static_cast<size_t>(need)];
  BlockedPeriods b;
  b.open = CountPeriods(row.open);
  const bool special = n.holds[kSpecialHeld] >= 0;
  const PeriodMask walls = walls_.cls[static_cast<size_t>(n.cls)] |
                           walls_.teacher[static_cast<size_t>(n.teacher)] |
                           (special ? walls_.special[static_cast<size_t>(n.course)] : 0);
  const int cap = model_.capGroups[static_cast<size_t>(n.group)].cap;
  for (PeriodMask m = row.open; m != 0; m &= m - 1) {
    const int p = LowestPeriod(m);
    if (walls & PeriodBit(p))
      ++b.walls;
    else if (ClassAt(n.cls, p) != kNone)
      ++b.classBusy;
    else if (HeldAt(kTeacherHeld, n.teacher, p) != kNone)
      ++b.teacherBusy;
    else if (special && RoomBlocker(n.course, p, nullptr, 0, kNone) != kNone)
      ++b.specialTaken;
    else if (!DayHasRoom(DayLoad(n.group, DayOfPeriod(p)), cap))
      ++b.dayFull;
    else if (n.dayMax > 0 && !DayHasRoom(TeacherDay(n.teacher, DayOfPeriod(p)), n.dayMax))
      ++b.teacherDayFull;
  }
  return b;
}

}  // namespace orv
