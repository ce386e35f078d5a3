// SPDX-License-Identifier: GPL-3.0-or-later
// The weekly lesson count of a plan row (ClassPlantb.Count): a whole number
// from 1 to the most lessons a class's week can hold. Edits keep to that;
// readers still meet other values in files written elsewhere or by older
// versions, and take them through here so that no sum can overflow and no
// loop runs wild.
#pragma once

#include <optional>
#include <string>

#include "core/database/timetable_db.h"

namespace orv {

inline constexpr int kMinWeeklyLessons = 1;
inline constexpr int kMaxWeeklyLessons = 35;  // five days of seven lessons

// The stored count as SQL readers use it: a number clamped to 0..35 (a value
// below one counts as none), anything else (NULL, text, a blob) as 0. Spliced
// into statement texts in place of the bare column.
#define ORV_PLAN_COUNT_OF(column)                                                      \
  "(case when typeof(" column ") in ('integer','real') then max(0,min(35,cast(" column \
  " as integer))) "                                                                    \
  "else 0 end)"
#define ORV_PLAN_COUNT ORV_PLAN_COUNT_OF("Count")
static_assert(kMaxWeeklyLessons == 35, "the bound written out in ORV_PLAN_COUNT_OF");

enum class PlanCountFault { kNone, kMissing, kNotWhole, kTooSmall, kTooLarge };

struct StoredPlanCount {
  int lessons = 0;  // what readers schedule and count: 0..35
  PlanCountFault fault = PlanCountFault::kNone;
};

// Column `col` of the cursor as a plan count.
StoredPlanCount ReadPlanCount(const Cursor& c, int col);

// Why the stored count is unusable, in Chinese ("" when it is fine).
std::string PlanCountFaultText(PlanCountFault fault);

}  // namespace orv
