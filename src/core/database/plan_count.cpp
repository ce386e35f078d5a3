// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/database/plan_count.h"

#include <cmath>

namespace orv {

StoredPlanCount ReadPlanCount(const Cursor& c, int col) {
  if (c.IsNull(col)) return {0, PlanCountFault::kMissing};
  if (!c.IsNumber(col)) return {0, PlanCountFault::kNotWhole};
  // Compared as a double, so neither 2^63 nor NaN can overflow a conversion.
  const double value = c.Double(col);
  if (std::isnan(value)) return {0, PlanCountFault::kNotWhole};
  if (value < kMinWeeklyLessons) return {0, PlanCountFault::kTooSmall};
  if (value > kMaxWeeklyLessons) return {kMaxWeeklyLessons, PlanCountFault::kTooLarge};
  const int whole = static_cast<int>(value);
  if (whole != value) return {whole, PlanCountFault::kNotWhole};
  return {whole, PlanCountFault::kNone};
}

std::string PlanCountFaultText(PlanCountFault fault) {
  switch (fault) {
    case PlanCountFault::kNone:
      return {};
    case PlanCountFault::kMissing:
      return "没有填写每周节数";
    case PlanCountFault::kNotWhole:
      return "每周节数不是整数";
    case PlanCountFault::kTooSmall:
      return "每周节数小于1";
    case PlanCountFault::kTooLarge:
      return "每周节数超过" + std::to_string(kMaxWeeklyLessons);
  }
  return {};
}

}  // namespace orv
