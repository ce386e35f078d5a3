// SPDX-License-Identifier: GPL-3.0-or-later
// Automatic timetable generation: fills every class's week from the teaching
// plan, keeping fixed lessons, in one transaction.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "core/database/timetable_db.h"
#include "core/outcome.h"
#include "core/scheduling/random.h"

namespace orv {

struct BuildResult {
  int rate = 0;            // completion in percent (0-100)
  int plannedLessons = 0;  // sum of Count over the plan
  int placedLessons = 0;   // sum of BuildCount after the run (fixed lessons included)
  int unplacedLessons = 0;
  int incompleteRows = 0;  // plan rows left with BuildCount < Count
  // Automatic lessons in a "不排" cell of their class or teacher: the
  // generation consults only the course's marks, so these are left for the
  // completion to move.
  int lessonsInNeverCells = 0;
};

// Called once per pass of each generation loop, so a window can repaint. It
// runs inside the run's transaction: it must not write to the database. An
// exception thrown from it abandons the run, which is then rolled back.
using BuildProgress = std::function<void()>;

// What the progress window says when a run fails, before the reason.
inline constexpr std::string_view kBuildFailedText = "生成课表失败！";

// Deletes every lesson that was not fixed in advance and places the plan's
// missing lessons again. The whole run is one transaction: on failure the
// previous timetable stays exactly as it was and the message says why.
Result<BuildResult> BuildTimetable(TimetableDb& db, int lessonsPerDay, UniformRandom& random,
                                   const BuildProgress& progress = {});

}  // namespace orv
