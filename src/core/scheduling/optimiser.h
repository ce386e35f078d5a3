// SPDX-License-Identifier: GPL-3.0-or-later
// The optimiser: makes a complete timetable one a school would keep, by
// moving automatic lessons (into a free period of their class, swapping two
// lessons of a class, or exchanging a chain of lessons between two periods)
// so that the quality score (rules/quality.h) goes down. Fixed, hand-placed and stray lessons never move.
//
// No move breaks a rule a lesson keeps where it stands: no class, teacher or
// special course twice in a period, nothing outside the week or in a "不排"
// cell of its course, class or teacher, the course's daily cap (all asked of
// the rule book's Test). The stated rules of a whole day or week (a
// teacher's lessons a day, in a row, idle periods; classes without gaps;
// double periods; rooms) are measured per teacher, class, cap group and
// special course (rules/stated_rules.h): no move raises how far they are
// broken, and a move that lowers it is taken whatever it does to the score,
// so a timetable that starts out breaking them is repaired where it can be.
//
// The search is a hill climb over moves and swaps drawn at random (mostly
// of lessons with something to mend, often of a teacher idle too long or a
// class with a gap) and Kempe chains: the lessons of two periods linked to
// one of them through a shared class or teacher, which exchange their
// periods without a clash, where a swap within one class would put a teacher
// in two classes at once. A move is taken when it breaks no more, leaves no
// fewer lessons in "最佳位置" cells than the timetable began with (or brings
// back some it lost while repairing the stated rules), and its score is no
// worse, so the walk also crosses the plateaus of a near-full week. It stops when a long run of tries found
// nothing better, at the time limit, or when cancelled, and only the best state seen is kept; the same seed
// gives the same result unless the time limit cuts it short.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>

#include "core/database/timetable_db.h"
#include "core/model/school_model.h"
#include "core/outcome.h"
#include "core/scheduling/random.h"

namespace orv {

struct OptimiserControl {
  double seconds = 2.0;
  std::uint64_t seed = UniformRandom::kDefaultSeed;
  // Called now and then with the best score so far. Runs before anything is
  // written; it must not write to the database.
  std::function<void(long long score)> progress;
  // Set from anywhere to stop early; the best timetable found so far stands.
  const std::atomic<bool>* cancel = nullptr;
};

struct OptimiserReport {
  long long scoreBefore = 0, scoreAfter = 0;
  // How far the stated rules are broken, summed (StatedBreach::amount).
  int breachBefore = 0, breachAfter = 0;
  int movedLessons = 0;  // automatic lessons that stand elsewhere than before
  bool timedOut = false;
  bool cancelled = false;
  std::uint64_t tries = 0;   // moves tried
  std::uint64_t chains = 0;  // Kempe chains exchanged (some perhaps undone again with the best state)
};

// Improves the timetable in the model in place; the model's lessons end in
// the best state found, never worse than they began.
OptimiserReport OptimiseModel(SchoolModel& model, const OptimiserControl& control);

struct OptimiserOptions {
  int lessonsPerDay = 6;
  OptimiserControl control;
};

// Loads the school, improves its timetable and writes the moved lessons in
// one transaction (nothing when nothing improved).
Result<OptimiserReport> OptimiseTimetable(TimetableDb& db, const OptimiserOptions& options);

}  // namespace orv
