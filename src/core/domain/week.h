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

// "星期三第4节"; days or lessons out of range are shown as numbers.
std::string SlotLabel(int day, int lessonNo);

}  // namespace orv
