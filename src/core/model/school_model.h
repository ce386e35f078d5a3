// SPDX-License-Identifier: GPL-3.0-or-later
// The school in memory: classes, courses, teachers and classrooms, the plan,
// every week of marks, the special courses and the lessons, read from the
// database in one read transaction and held with indexes over the week, so
// that generation, completion, the checker and the click targets of manual
// adjustment ask the rule book without a query. The model holds facts only;
// what they mean for a lesson is the rule book's (core/rules).
#pragma once

#include <array>
#include <bit>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <tuple>
#include <unordered_map>
#include <vector>

#include "core/database/plan_count.h"
#include "core/database/school_rules.h"
#include "core/database/timetable_db.h"
#include "core/domain/marks.h"
#include "core/domain/week.h"
#include "core/outcome.h"

namespace orv {

// One bit per period of the week: lesson n of day d is bit (d-1)*7 + n-1,
// whatever the lessons per day, so a day is always the same seven bits.
using PeriodMask = std::uint64_t;
inline constexpr int kWeekPeriods = kDaysPerWeek * kMaxLessonsPerDay;

constexpr int PeriodOf(int day, int lessonNo) { return (day - 1) * kMaxLessonsPerDay + lessonNo - 1; }
constexpr int DayOfPeriod(int period) { return period / kMaxLessonsPerDay + 1; }
constexpr int LessonOfPeriod(int period) { return period % kMaxLessonsPerDay + 1; }
constexpr PeriodMask PeriodBit(int period) { return PeriodMask{1} << period; }
constexpr PeriodMask DayBits(int day) { return PeriodMask{0x7F} << ((day - 1) * kMaxLessonsPerDay); }
inline int CountPeriods(PeriodMask mask) { return std::popcount(mask); }
// Lessons 1 to lessonsPerDay of every day.
PeriodMask WeekBits(SchoolWeek week);

// The marked cells of one week grid.
struct MarkMasks {
  PeriodMask never = 0;  // "不排"
  PeriodMask avoid = 0;  // "尽量不排"
  PeriodMask best = 0;   // "最佳位置"
  // Of two rows on one cell the stricter counts, so a cell has one mark.
  LimitMark At(int period) const;
};

// A class, course, teacher or classroom named in the plan or the timetable. One that
// is missing from its code list keeps its code and is not known.
struct ModelEntity {
  std::string code;
  std::string name;  // the list's name, or e.g. "教师'007'" when unknown
  bool known = false;
  MarkMasks marks;
};

// A row of the teaching plan.
struct PlanNeed {
  long long rowid = 0;
  int cls = 0, course = 0, teacher = 0;               // indices into the model's lists
  int count = 0;                                      // lessons a week, 0..35 as read (see plan_count.h)
  PlanCountFault countFault = PlanCountFault::kNone;  // what was wrong with the stored count
  long long storedBuildCount = 0;
  bool autoBuilt = false;  // IsAutoBuild
  int capGroup = 0;        // the (class, course) whose daily cap it shares
  // False for a row whose class, course or teacher no longer exists, and for
  // a second row of the same class, course and teacher: no lesson is placed
  // for it.
  bool usable = false;
  bool duplicate = false;    // a later row of the same class, course and teacher
  bool codeMissing = false;  // its class, course or teacher code is stored as NULL
  // The week less the "不排" cells of the course, the class and the teacher
  // (filled by the rule book's index, see rules/rule_index.h).
  PeriodMask open = 0;
  int staying = 0;  // its lessons that do not move: fixed, hand-placed
  int toPlace = 0;  // Count less those: lessons the scheduler places or moves
};

// The lessons of one course for one class: the first plan row stored for
// them sets their daily cap.
struct CapGroup {
  int cls = 0, course = 0;
  int firstCount = 0;  // the weekly count of that first row
  int cap = 1;         // filled by the rule book's index
  int doubles = 0;     // double periods a week the school asks for (doubles-per-week), 0 for none
};

// A teacher's stated limits (max-lessons-per-day, max-in-a-row,
// max-gaps-per-week): the teacher's own value, else the school's default.
struct TeacherRules {
  int maxPerDay = 0;  // 0: no limit
  int maxInARow = 0;  // 0: no limit
  int maxGaps = -1;   // -1: not stated (idle periods are then a soft goal)
};

struct ModelLesson {
  long long rowid = 0;
  int cls = 0, course = 0, teacher = 0;
  int day = 0, lessonNo = 0;
  std::optional<int> setFlag;  // as stored; nullopt for NULL
  bool fixed = false;          // SetFlag 0
  // An automatic lesson (SetFlag 1) of a usable plan row, within its Count:
  // the only lessons the scheduler may move or remove.
  bool moves = false;
  // An automatic lesson beyond its row's Count: taken out of the timetable.
  bool surplus = false;
  // A lesson that does not move and meets an earlier one in its period (same
  // class, same teacher, or the same special course in another class): it
  // cannot really be held, and counts as missing (filled by the rule book's
  // index).
  bool clashes = false;
  int need = -1;      // the plan row it belongs to, -1 when none
  int capGroup = -1;  // its class and course's cap group, -1 when the plan has none
  int period = -1;    // -1 outside the week
  std::optional<LessonOrigin> Origin() const;
};

struct SchoolModel {
  SchoolWeek week;
  PeriodMask weekBits = 0;  // the periods of the week
  std::vector<ModelEntity> classes, courses, teachers, classrooms;
  std::vector<char> special;  // per course: held by `rooms` classes at a time
  std::vector<int> rooms;     // per course: rooms of a special course (1 unless stated), 0 for others
  std::vector<TeacherRules> teacherRules;  // per teacher
  std::vector<char> noClassGaps;           // per class: no-class-gaps stated (a hard rule then)
  std::vector<PlanNeed> needs;
  std::vector<CapGroup> capGroups;
  std::vector<ModelLesson> lessons;

  // The lessons in a period, by class, teacher and course: indices into
  // `lessons`, in table order. Lessons outside the week are in none.
  const std::vector<int>& ClassAt(int cls, int period) const { return classAt_[Slot(cls, period)]; }
  const std::vector<int>& TeacherAt(int teacher, int period) const {
    return teacherAt_[Slot(teacher, period)];
  }
  const std::vector<int>& CourseAt(int course, int period) const { return courseAt_[Slot(course, period)]; }
  // The periods of the week in which a class or teacher has a lesson: what
  // the measures of a day ask most often, kept at hand for a search.
  PeriodMask ClassWeek(int cls) const { return classWeek_[static_cast<size_t>(cls)]; }
  PeriodMask TeacherWeek(int teacher) const { return teacherWeek_[static_cast<size_t>(teacher)]; }
  // The cap group of a class's course, -1 when its plan has no row for it.
  int CapGroupOf(int cls, int course) const;
  // The first plan row of the class, course and teacher, -1 when none.
  int NeedOf(int cls, int course, int teacher) const;
  int ClassIndex(std::string_view code) const { return Find(classIndex_, code); }
  int CourseIndex(std::string_view code) const { return Find(courseIndex_, code); }
  int TeacherIndex(std::string_view code) const { return Find(teacherIndex_, code); }

  // Adds a lesson to the timetable in memory and to the indexes; returns its index.
  int AddLesson(ModelLesson lesson);
  // Moves a lesson to another period of the week (or outside it) and keeps
  // the indexes true.
  void MoveLesson(int lesson, int day, int lessonNo);
  // Drops the lessons the predicate picks and renumbers the rest.
  template <class Pred>
  void EraseLessonsIf(Pred pred) {
    std::erase_if(lessons, pred);
    Reindex();
  }
  // Rebuilds every index from the lists.
  void Reindex();

  // "一（1）班 语文（王伟）"
  std::string NeedLabel(const PlanNeed& need) const;

 private:
  static size_t Slot(int who, int period) {
    return static_cast<size_t>(who) * kWeekPeriods + static_cast<size_t>(period);
  }
  using CodeIndex = std::unordered_map<std::string, int>;
  static int Find(const CodeIndex& index, std::string_view code);
  void Index(int lesson);
  void Unindex(int lesson);
  // Sets or clears the lesson's period in its class's and teacher's week.
  void MarkWeeks(int lesson);

  std::vector<std::vector<int>> classAt_, teacherAt_, courseAt_;
  std::vector<PeriodMask> classWeek_, teacherWeek_;
  // Per class and course (a dense table: asked for in every daily-cap test).
  std::vector<int> capGroupOf_;
  int capGroupClasses_ = 0, capGroupCourses_ = 0;
  std::map<std::tuple<int, int, int>, int> needOf_;
  CodeIndex classIndex_, courseIndex_, teacherIndex_;
  friend Result<SchoolModel> LoadSchoolModel(TimetableDb& db, SchoolWeek week);
};

// The whole school in one read transaction.
Result<SchoolModel> LoadSchoolModel(TimetableDb& db, SchoolWeek week);

}  // namespace orv
