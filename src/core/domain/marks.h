// SPDX-License-Identifier: GPL-3.0-or-later
// What the restriction table Limittb stores, in words: whose week a row
// belongs to (kind), what a cell says (mark). Also the origin of a timetable
// lesson (SetFlag). Nothing outside this header spells these as numbers.
#pragma once

#include <array>
#include <optional>
#include <string_view>

namespace orv {

// Limittb.Kind: whose week the row marks.
enum class LimitKind : int { Class = 0, Course = 1, Teacher = 2, ClassRoom = 3 };

// Limittb.Attr: what the cell says. A cell without a row counts as Normal.
enum class LimitMark : int { Best = 0, Normal = 1, Avoid = 2, Never = 3 };

// LessonListtb.SetFlag: how the lesson came into the timetable.
enum class LessonOrigin : int { Fixed = 0, Automatic = 1, Manual = 2 };

constexpr int DbValue(LimitKind kind) { return static_cast<int>(kind); }
constexpr int DbValue(LimitMark mark) { return static_cast<int>(mark); }
constexpr int DbValue(LessonOrigin origin) { return static_cast<int>(origin); }

inline constexpr std::array<LimitMark, 4> kAllMarks = {LimitMark::Best, LimitMark::Normal, LimitMark::Avoid,
                                                       LimitMark::Never};

// The stored value as a mark; nullopt for a value no window can write.
std::optional<LimitMark> MarkFromDb(int attr);

// The text a grid cell shows for the mark: "最佳位置", "正常", "尽量不排", "不排".
std::string_view MarkText(LimitMark mark);
// The mark a cell text stands for; an empty or unknown text reads as Best,
// as the grids have always stored it.
LimitMark MarkFromText(std::string_view text);

}  // namespace orv
