// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/domain/week.h"

namespace orv {

std::string SlotLabel(int day, int lessonNo) {
  std::string dayText =
      (day >= 1 && day <= kDaysPerWeek) ? std::string(kDayNames[day - 1]) : "第" + std::to_string(day) + "天";
  return dayText + "第" + std::to_string(lessonNo) + "节";
}

}  // namespace orv
