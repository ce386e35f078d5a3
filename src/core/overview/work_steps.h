// SPDX-License-Identifier: GPL-3.0-or-later
// Where a school stands on the way from an empty database to a timetable in
// everyone's hands: the counts the start page shows, and which of the work
// steps are done, judged from the data alone so that the page never has to
// remember what the user clicked.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/database/database_totals.h"
#include "core/database/timetable_db.h"
#include "core/outcome.h"

namespace orv {

enum class WorkStep {
  kBasicData,     // 基础数据
  kPlan,          // 教学计划
  kRestrictions,  // 上课时间限制 (optional)
  kAnalysis,      // 排课前检查
  kGeneration,    // 自动排课
  kAdjustment,    // 手工调整
  kPublishing,    // 打印/导出/发布
};
inline constexpr int kWorkStepCount = 7;

// What the steps are judged by; read in one go by ReadStartFacts.
struct StartFacts {
  DatabaseTotals totals;
  long long classesWithoutPlan = 0;
  // Cells marked anything but 正常: a restriction window stores a whole
  // week of 正常 the first time it shows an entity, which restricts nothing.
  long long markedCells = 0;
  // Lessons generation or a hand placed, fixed ones not counted: the demo
  // school's fixed class meeting is no timetable yet.
  long long placedLessons = 0;
  long long statedRules = 0;       // rows of the school's stated rules
  long long blockingFindings = 0;  // of the check before scheduling
  long long publications = 0;
};

struct WorkStepState {
  WorkStep step = WorkStep::kBasicData;
  std::string_view name;  // "基础数据"
  bool done = false;
  // A step a school may leave out; it never holds the later ones back.
  bool optional = false;
};

Result<StartFacts> ReadStartFacts(TimetableDb& db, int lessonsPerDay);

// Every step in working order.
std::vector<WorkStepState> JudgeWorkSteps(const StartFacts& facts);

// Placed lessons as a whole percentage of the planned ones, rounded down so
// that 100 is said only of a complete timetable; 0 without a plan.
int CompletionPercent(const DatabaseTotals& totals);

// What generation would lack, one Chinese line each ("没有班级", "教学计划为空"…);
// empty when there is something to schedule.
std::vector<std::string> MissingForGeneration(const DatabaseTotals& totals);

}  // namespace orv
