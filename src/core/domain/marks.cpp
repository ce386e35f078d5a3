// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/domain/marks.h"

#include <cstddef>

namespace orv {

namespace {

constexpr std::array<std::string_view, 4> kMarkTexts = {"最佳位置", "正常", "尽量不排", "不排"};

}  // namespace

std::optional<LimitMark> MarkFromDb(int attr) {
  for (LimitMark m : kAllMarks)
    if (DbValue(m) == attr) return m;
  return std::nullopt;
}

std::string_view MarkText(LimitMark mark) { return kMarkTexts[static_cast<size_t>(DbValue(mark))]; }

LimitMark MarkFromText(std::string_view text) {
  for (LimitMark m : kAllMarks)
    if (MarkText(m) == text) return m;
  return LimitMark::Best;
}

}  // namespace orv
