// SPDX-License-Identifier: GPL-3.0-or-later
// Completing the timetable: places the lessons the generation left out,
// moving automatic lessons to make room, and writes the result in one
// transaction. Fixed and hand-placed lessons never move. Every automatic
// lesson of the result keeps the rules: no class or teacher twice in a
// period, inside the week, never in a "不排" cell of its course, class or
// teacher, a special course one class at a time, the course's daily cap.
// An automatic lesson that broke one of them counts as missing until it
// finds a legal place; automatic lessons beyond their row's Count are taken
// out.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "core/database/timetable_db.h"
#include "core/outcome.h"
#include "core/scheduling/random.h"

namespace orv {

struct CompletionOptions {
  int lessonsPerDay = 6;
  std::uint64_t seed = UniformRandom::kDefaultSeed;
  double timeLimitSeconds = 10.0;
  // Called now and then with the number of lessons still missing. Runs
  // before anything is written; it must not write to the database.
  std::function<void(int missing)> progress;
  // Set from anywhere to stop the run; the database then stays as it was.
  const std::atomic<bool>* cancel = nullptr;
};

// The lessons of one plan row that are still missing, and why.
struct MissingLessons {
  std::string classCode, courseCode, teacherCode;
  std::string label;  // "一（1）班 语文（王伟）"
  int count = 0;
  std::string reason;
};

struct CompletionReport {
  int rate = 0;  // percent of planned lessons in the timetable, 100 only when none is missing
  int plannedLessons = 0;
  int missingBefore = 0;  // lessons missing, or standing against a rule, before the run
  int missingAfter = 0;   // lessons still missing, clashing fixed or hand-placed ones included
  int placedLessons = 0;  // new lessons
  int movedLessons = 0;   // automatic lessons moved to another period
  // Automatic lessons taken out: beyond their row's Count, or breaking a
  // rule with no legal place left.
  int removedLessons = 0;
  int avoidCells = 0;  // "尽量不排" cells the automatic lessons stand in
  int bestCells = 0;   // "最佳位置" cells they stand in
  bool timedOut = false;
  std::uint64_t iterations = 0;
  std::vector<MissingLessons> missing;
};

// The code of a run stopped through the cancel flag.
inline constexpr int kCompletionCancelled = -2;

Result<CompletionReport> CompleteTimetable(TimetableDb& db, const CompletionOptions& options);

// "一（1）班 语文（王伟）缺2节：<reason>"
std::string MissingLine(const MissingLessons& missing);

}  // namespace orv
