// SPDX-License-Identifier: GPL-3.0-or-later
// Where a click in the manual adjustment window may lead: the empty periods
// into which a missing lesson may be placed, and the periods with which a
// selected lesson may be swapped, each with the rules of automatic
// generation and those the school states that the swap would break.
// Computed at the moment of the click from the school as the tables hold it
// then, by asking the rule book.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/database/lesson_weeks.h"
#include "core/database/timetable_db.h"
#include "core/outcome.h"

namespace orv {

// The periods where neither the class nor the teacher has a lesson. None at all when the plan row (class,
// course, teacher) has no lesson left to place.
Result<WeekSlots> MarkPlacementTargets(TimetableDb& db, std::string_view classCode,
                                       std::string_view courseCode, std::string_view teacherCode,
                                       SchoolWeek week);

struct SwapTarget {
  int day = 0;
  int lessonNo = 0;
  // The rules of generation and those the school states that the swap
  // would break, one line per lesson moved and rule, e.g.
  // "信息技术 星期三第2节 已有其他班级上课" or "语文 教师王伟 星期二 将有5节，超过每天最多4节";
  // empty when it breaks none.
  std::vector<std::string> reasons;
  bool operator==(const SwapTarget&) const = default;
};

struct SwapTargets {
  int day = 0;  // the selected lesson
  int lessonNo = 0;
  std::vector<SwapTarget> targets;  // by day, then lesson
  // The target at the period, or nullptr when it is no target.
  const SwapTarget* Find(int day, int lessonNo) const;
};

// The periods of the class with which the lesson at (day, lessonNo) may be
// swapped, or into which it may be moved when they are empty: a period
// qualifies when it holds no lesson of the same course, the selected
// lesson's teacher teaches nothing else there, and the period's own teacher
// (if any) teaches nothing else at the selected period. Of a period stored
// twice, its first row is the lesson. Fails when the selected period holds
// no lesson.
Result<SwapTargets> MarkSwapTargets(TimetableDb& db, std::string_view classCode, int day, int lessonNo,
                                    SchoolWeek week);

}  // namespace orv
