// SPDX-License-Identifier: GPL-3.0-or-later
// The search behind CompleteTimetable, in memory over a SchoolModel.
//
// Only automatic lessons of usable plan rows take part; fixed, hand-placed
// and stray lessons are walls. Every state the search keeps is legal: no
// class or teacher twice in a period, no special course in more classes than
// it has rooms, nothing in a "不排" cell, nothing beyond the week, daily caps
// and the teachers' max-lessons-per-day kept. Lessons that cannot stand are
// "missing". The other rules a school states (a teacher's run and idle
// periods, a class's gaps, doubles) are the optimiser's to repair. The search:
//   1. takes the stored automatic lessons that are legal as they are;
//   2. places each missing lesson directly where it fits, most constrained
//      first, at its cheapest period;
//   3. runs a conflict-directed search: a missing lesson is put where it
//      ejects the fewest placed lessons (tabu keeps an ejected lesson from
//      going straight back, and lessons pushed out often cost more to push
//      out again), the ejected ones become missing in turn, and after a long
//      stall the best state is restored and the walk restarts, until every
//      lesson is placed, only the provably impossible ones are left, or the
//      time is up;
//   4. lowers the soft cost of the best state by moves and swaps that keep
//      every rule.
// The same seed gives the same result unless the time limit cuts a run short.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <vector>

#include "core/model/school_model.h"
#include "core/rules/rule_book.h"
#include "core/rules/rule_index.h"

namespace orv {

struct SearchControl {
  double seconds = 10.0;
  std::uint64_t seed = 1;
  // Called now and then with the lessons still missing.
  std::function<void(int missing)> progress;
  const std::atomic<bool>* cancel = nullptr;
  // Lessons that no timetable can place (the feasibility report's shortfall):
  // once only these are missing, searching on is pointless.
  int knownShortfall = 0;
};

struct SearchOutcome {
  bool cancelled = false;
  bool timedOut = false;
  std::uint64_t iterations = 0;
};

// A lesson the search places or moves.
struct SearchLesson {
  int need = 0;
  int stored = -1;  // index into SchoolModel::lessons of a stored automatic lesson, -1 for a new one
  int period = -1;  // -1 while missing
};

// Why the periods of a plan row are closed to it in the current state.
struct BlockedPeriods {
  int open = 0;            // periods outside every "不排" cell of course, class and teacher
  int walls = 0;           // of those, taken by fixed or hand-placed lessons
  int classBusy = 0;       // taken by another lesson of the class
  int teacherBusy = 0;     // the teacher teaches elsewhere
  int specialTaken = 0;    // other classes hold every room of the special course
  int dayFull = 0;         // the course has reached its daily cap that day
  int teacherDayFull = 0;  // the teacher has reached max-lessons-per-day that day
};

class CompletionSearch {
 public:
  explicit CompletionSearch(const SchoolModel& model);

  SearchOutcome Run(const SearchControl& control);

  const std::vector<SearchLesson>& Lessons() const { return lessons_; }
  int Missing() const { return static_cast<int>(pool_.size()) + hopeless_; }
  // Missing lessons at the start, before anything was moved.
  int MissingAtStart() const { return missingAtStart_; }
  long long SoftCost() const { return soft_; }
  BlockedPeriods Blockers(int need) const;

 private:
  struct NeedInfo {
    int cls, course, teacher, group;
    std::array<int, kHeldKinds> holds;  // what its lessons hold in a period (rule_book.h)
    int dayMax;                         // the teacher's max-lessons-per-day, 0 for none
    PeriodMask domain;                  // open periods without walls and without days whose cap walls fill
    std::array<int, kWeekPeriods> cost;
  };

  int Conflicts(int v, int period, int* out) const;
  void Place(int v, int period);
  void Lift(int v);
  void Reset(const std::vector<int>& periods);
  void PlaceDirectly(std::uint64_t& rng);
  void Improve();
  bool TryMove(int v);
  bool TrySwap(int v);
  bool Fits(int v, int period, int ignore) const;
  void Remember();
  static constexpr int kClassHeld = HeldKindOf(Rule::kClassClash);
  static constexpr int kTeacherHeld = HeldKindOf(Rule::kTeacherClash);
  static constexpr int kSpecialHeld = HeldKindOf(Rule::kSpecialCourseClash);
  // The search lesson holding the thing in the period, kNone when none.
  int HeldAt(int kind, int who, int p) const {
    return heldAt_[static_cast<size_t>(kind)][static_cast<size_t>(who * kWeekPeriods + p)];
  }
  int& HeldAt(int kind, int who, int p) {
    return heldAt_[static_cast<size_t>(kind)][static_cast<size_t>(who * kWeekPeriods + p)];
  }
  int ClassAt(int cls, int p) const { return HeldAt(kClassHeld, cls, p); }
  // A special course holds its rooms in a period: maxRooms_ slots each, the
  // first RoomsFree of them open to the search (walls hold the others).
  const int* RoomsAt(int course, int p) const {
    return &roomHeld_[static_cast<size_t>((course * kWeekPeriods + p) * maxRooms_)];
  }
  int* RoomsAt(int course, int p) {
    return &roomHeld_[static_cast<size_t>((course * kWeekPeriods + p) * maxRooms_)];
  }
  int RoomsFree(int course, int p) const {
    return roomsFree_[static_cast<size_t>(course * kWeekPeriods + p)];
  }
  // The search lesson that makes way for v in a full special course, kNone
  // while a room is free or a lesson already leaving (among `out`) frees one.
  int RoomBlocker(int course, int p, const int* out, int k, int ignore) const;
  int& TeacherDay(int teacher, int day) {
    return teacherDay_[static_cast<size_t>(teacher * kDaysPerWeek + day - 1)];
  }
  int TeacherDay(int teacher, int day) const {
    return teacherDay_[static_cast<size_t>(teacher * kDaysPerWeek + day - 1)];
  }
  int& DayLoad(int group, int day) { return dayLoad_[static_cast<size_t>(group * kDaysPerWeek + day - 1)]; }
  int DayLoad(int group, int day) const {
    return dayLoad_[static_cast<size_t>(group * kDaysPerWeek + day - 1)];
  }

  const SchoolModel& model_;
  Walls walls_;
  std::vector<NeedInfo> needs_;
  std::vector<SearchLesson> lessons_;
  std::vector<std::vector<int>> groupLessons_;       // search lessons of each cap group
  std::array<std::vector<int>, kHeldKinds> heldAt_;  // per kind of holding, who and period
  std::vector<int> dayLoad_;
  std::vector<int> teacherDay_;  // lessons per teacher and day, walls included
  int maxRooms_ = 1;
  std::vector<int> roomHeld_, roomsFree_;
  std::vector<int> pool_, poolAt_;  // missing lessons that have somewhere to go
  int hopeless_ = 0;                // missing lessons with nowhere to go at all
  int missingAtStart_ = 0;
  long long soft_ = 0;
  std::vector<int> best_;
  int bestMissing_ = 0;
  long long bestSoft_ = 0;
};

}  // namespace orv
