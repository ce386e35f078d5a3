// The school as the completion and the feasibility report see it: plan,
// timetable, restrictions and special courses, read from the database once
// and held as bit masks over the week, so that a search can try hundreds of
// thousands of moves without a query.
#pragma once

#include <array>
#include <bit>
#include <cstdint>
#include <string>
#include <vector>

#include "core/database/plan_count.h"
#include "core/database/timetable_db.h"
#include "core/database/week_marks.h"
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
PeriodMask WeekBits(int lessonsPerDay);

// The marked cells of one week grid.
struct MarkMasks {
  PeriodMask never = 0;  // "不排"
  PeriodMask avoid = 0;  // "尽量不排"
  PeriodMask best = 0;   // "最佳位置"
};

// A class, course or teacher named in the plan or the timetable. One that
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
  bool duplicate = false;  // a later row of the same class, course and teacher
  // The week less the "不排" cells of the course, the class and the teacher.
  PeriodMask open = 0;
  int staying = 0;  // its lessons that do not move: fixed, hand-placed
  int toPlace = 0;  // Count less those: lessons the scheduler places or moves
};

// Lessons of one course for one class on one day: at most `cap`.
struct CapGroup {
  int cls = 0, course = 0;
  int cap = 1;
};

struct ModelLesson {
  long long rowid = 0;
  int cls = 0, course = 0, teacher = 0;
  int day = 0, lessonNo = 0;
  bool fixed = false;  // SetFlag 0
  // An automatic lesson (SetFlag 1) of a usable plan row, within its Count:
  // the only lessons the scheduler may move or remove.
  bool moves = false;
  // An automatic lesson beyond its row's Count: taken out of the timetable.
  bool surplus = false;
  // A lesson that does not move and meets an earlier one in its period (same
  // class, same teacher, or the same special course in another class): it
  // cannot really be held, and counts as missing.
  bool clashes = false;
  int need = -1;      // the plan row it belongs to, -1 when none
  int capGroup = -1;  // its class and course's cap group, -1 when the plan has none
  int period = -1;    // -1 outside the week
};

struct SchoolModel {
  int lessonsPerDay = 6;
  PeriodMask week = 0;
  std::vector<ModelEntity> classes, courses, teachers;
  std::vector<char> special;  // per course: held by one class at a time
  std::vector<PlanNeed> needs;
  std::vector<CapGroup> capGroups;
  std::vector<ModelLesson> lessons;

  // How much a lesson of the row costs at the period: each "尽量不排" cell of
  // the course, class or teacher costs more than every "最佳位置" cell gains.
  int SoftCost(const PlanNeed& need, int period) const;
  // "一（1）班 语文（王伟）"
  std::string NeedLabel(const PlanNeed& need) const;
};

// What the lessons that do not move take from everyone else.
struct Walls {
  std::vector<PeriodMask> cls, teacher, special;  // per class, teacher, course
  std::vector<int> dayLoad;                       // per cap group and day

  int DayLoad(int group, int day) const {
    return dayLoad[static_cast<size_t>(group * kDaysPerWeek + day - 1)];
  }
  // The periods a row's lessons may take: open, not walled, and on a day
  // the walls leave below the cap.
  PeriodMask Room(const SchoolModel& model, const PlanNeed& need) const;
};
Walls CollectWalls(const SchoolModel& model);

// Each "尽量不排" cell outweighs the three "最佳位置" cells a period can have.
inline constexpr int kAvoidCellCost = 4;
inline constexpr int kBestCellGain = 1;

Result<SchoolModel> LoadSchoolModel(TimetableDb& db, int lessonsPerDay);

}  // namespace orv
