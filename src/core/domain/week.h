// SPDX-License-Identifier: GPL-3.0-or-later
// The names of the school week shared by every grid, printout and report.
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace orv {

inline constexpr int kDaysPerWeek = 5;
inline constexpr int kMaxLessonsPerDay = 7;

inline constexpr std::array<std::string_view, kDaysPerWeek> kDayNames = {"星期一", "星期二", "星期三",
                                                                         "星期四", "星期五"};
inline constexpr std::array<std::string_view, kMaxLessonsPerDay> kLessonNumerals = {"一", "二", "三", "四",
                                                                                    "五", "六", "七"};

// Day 1-5 and lesson 1..lessonsPerDay, never past the seventh lesson.
constexpr bool InSchoolWeek(int day, int lessonNo, int lessonsPerDay) {
  return day >= 1 && day <= kDaysPerWeek && lessonNo >= 1 && lessonNo <= lessonsPerDay &&
         lessonNo <= kMaxLessonsPerDay;
}

// The shape of a school's week: five days of lessonsPerDay lessons, the
// first morningLessons of them before the lunch break. A value is always
// sound: the lessons per day are kept to 1..7.
struct SchoolWeek {
  static constexpr int kMorningLessons = 4;

  int lessonsPerDay = 6;

  constexpr SchoolWeek() = default;
  // From the lessons per day, the one number a school sets: a count stands
  // for the week it shapes wherever a week is asked for.
  constexpr SchoolWeek(int lessons)  // NOLINT(google-explicit-constructor)
      : lessonsPerDay(lessons < 1                   ? 1
                      : lessons > kMaxLessonsPerDay ? kMaxLessonsPerDay
                                                    : lessons) {}
  static constexpr bool Valid(int lessons) { return lessons >= 1 && lessons <= kMaxLessonsPerDay; }

  constexpr int Days() const { return kDaysPerWeek; }
  constexpr int Periods() const { return kDaysPerWeek * lessonsPerDay; }
  constexpr bool Contains(int day, int lessonNo) const { return InSchoolWeek(day, lessonNo, lessonsPerDay); }
  // The lunch break falls between lesson 4 and 5 whenever a day has a fifth.
  constexpr bool LunchAfter(int lessonNo) const {
    return lessonNo == kMorningLessons && lessonsPerDay > kMorningLessons;
  }
  constexpr bool operator==(const SchoolWeek&) const = default;
};

// "星期三第4节"; days or lessons out of range are shown as numbers.
std::string SlotLabel(int day, int lessonNo);

}  // namespace orv
