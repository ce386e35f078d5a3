// What the restriction table Limittb stores, in words: whose week a row
// belongs to (kind), what a cell says (mark), and how a week of marks is read
// and written for one class, course, teacher or classroom. Also the origin of
// a timetable lesson (SetFlag). Nothing outside this header spells these as
// numbers.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/database/timetable_db.h"
#include "core/outcome.h"
#include "core/domain/week.h"

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

// Day 1-5 and lesson 1..lessonsPerDay, never past the seventh lesson.
constexpr bool InSchoolWeek(int day, int lessonNo, int lessonsPerDay) {
  return day >= 1 && day <= kDaysPerWeek && lessonNo >= 1 && lessonNo <= lessonsPerDay &&
         lessonNo <= kMaxLessonsPerDay;
}

// The class, teacher and classroom weeks always have six lessons; only the
// course week follows the lessons per day, because generation reads it.
inline constexpr int kFixedWeekLessons = 6;
constexpr int LessonsShown(LimitKind kind, int lessonsPerDay) {
  return kind == LimitKind::Course ? lessonsPerDay : kFixedWeekLessons;
}

// The marks of one entity's week, Monday to Friday by lesson 1 to 7.
class WeekMarks {
 public:
  WeekMarks() { Fill(LimitMark::Normal); }
  // Day 1-5, lesson 1-7; anything else reads as Normal and is not written.
  LimitMark At(int day, int lessonNo) const;
  void Set(int day, int lessonNo, LimitMark mark);
  void Fill(LimitMark mark);
  static bool InWeek(int day, int lessonNo) { return InSchoolWeek(day, lessonNo, kMaxLessonsPerDay); }
  bool operator==(const WeekMarks&) const = default;

 private:
  std::array<std::array<LimitMark, kMaxLessonsPerDay>, kDaysPerWeek> cells_{};
};

// A stored row that no cell of the shown week can hold.
struct StrayMark {
  int day = 0;
  int lessonNo = 0;
  int attr = 0;
};

struct LoadedWeekMarks {
  WeekMarks marks;               // Normal where no row is stored
  int storedRows = 0;            // rows of the entity, stray ones included
  std::vector<StrayMark> stray;  // outside days 1-5 / lessons 1..lessonsShown, or an unknown mark
};

// Every stored row of the entity, in table order; later rows of one cell win.
Result<LoadedWeekMarks> LoadWeekMarks(TimetableDb& db, LimitKind kind, std::string_view code,
                                      int lessonsShown);

// Stores one cell: updates the entity's row for the cell, or inserts one.
Outcome SaveWeekMark(TimetableDb& db, LimitKind kind, std::string_view code, int day, int lessonNo,
                     LimitMark mark);

// Stores lessons 1..lessons of every day from `marks`, all or nothing.
Outcome SaveWeekMarks(TimetableDb& db, LimitKind kind, std::string_view code, const WeekMarks& marks,
                      int lessons);

// The week a restriction window shows (LessonsShown lessons a day). A class,
// teacher or classroom without any stored row first gets its whole six-lesson
// week stored as Normal (one transaction), so every cell has its row from
// then on. A course never does: its unmarked cells stay without rows, since
// generation treats a missing row as Normal anyway. Nothing is written when
// the entity has rows, stray ones included.
Result<LoadedWeekMarks> OpenWeekMarks(TimetableDb& db, LimitKind kind, std::string_view code,
                                      int lessonsPerDay);

// A class, course, teacher or public classroom as its selector lists it.
struct NamedCode {
  std::string code;
  std::string name;
  bool operator==(const NamedCode&) const = default;
};

// Every entity of the kind's table, in the order they were entered.
Result<std::vector<NamedCode>> LoadEntityNames(TimetableDb& db, LimitKind kind);

}  // namespace orv
