#include "core/scheduling/generation_steps.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>
#include <vector>

#include "core/database/plan_count.h"
#include "core/database/week_marks.h"

namespace orv {

namespace {

// The statements of a run. They stay constant text so that each is prepared
// once and reused for every row, day and candidate.
constexpr const char* kDeleteUnfixed = "delete from LessonListtb where SetFlag<>?";
constexpr const char* kUnmarkAll = "update ClassPlantb Set IsAutoBuild=0,BuildCount=0";
constexpr const char* kFixedLessons =
    "select ClassCode,CourseCode,TeacherCode from LessonListtb where SetFlag=? order by rowid";
constexpr const char* kCountFixed =
    "Update ClassPlantb Set BuildCount=BuildCount+1 where ClassCode=? and CourseCode=? and TeacherCode=?";

// Groups come back in key order, written out so that a new index can never
// change which timetable a seed produces.
constexpr const char* kTeacherClassCounts =
    "select count(TeacherCode) as ClassCount,TeacherCode from"
    " (select ClassCode,TeacherCode from ClassPlantb where IsAutoBuild=0 group by TeacherCode,ClassCode)"
    " group by TeacherCode order by TeacherCode";
constexpr const char* kTeacherCourseCounts =
    "select count(CourseCode) as ClassCount,CourseCode,sum(SumCount) as SumSumCount from"
    " (select ClassCode,CourseCode,sum(" ORV_PLAN_COUNT
    ") as SumCount from ClassPlantb"
    " where TeacherCode=? and IsAutoBuild=0 group by CourseCode,ClassCode) as Temptb"
    " group by CourseCode order by CourseCode";
// Plan rows in the order they were entered.
constexpr const char* kNextClassOfTeacher =
    "select ClassCode,TeacherCode from ClassPlantb where IsAutoBuild=0 and CourseCode=? and TeacherCode=?"
    " order by rowid";
constexpr const char* kNextClassOfCourse =
    "select ClassCode,TeacherCode from ClassPlantb where IsAutoBuild=0 and CourseCode=? order by rowid";

constexpr const char* kRowCounts =
    "select " ORV_PLAN_COUNT ",BuildCount from ClassPlantb where ClassCode=? and CourseCode=? order by rowid";
constexpr const char* kTeacherLoad =
    "select sum(" ORV_PLAN_COUNT ") as SumCount from ClassPlantb where TeacherCode=?";
constexpr const char* kInsertLesson = "insert into LessonListtb values(?,?,?,?,?,?)";
constexpr const char* kSetBuildCount =
    "update ClassPlantb Set BuildCount=? where ClassCode=? and CourseCode=?";
constexpr const char* kMarkBuilt =
    "update ClassPlantb Set IsAutoBuild=1 where ClassCode=? and CourseCode=? and TeacherCode=?";
constexpr const char* kTeacherDayLessons = "select count(*) from LessonListtb where TeacherCode=? and Day=?";
constexpr const char* kPlanTotals =
    "select sum(" ORV_PLAN_COUNT ") as SumCount,sum(BuildCount) as SumBuildCount from ClassPlantb";
constexpr const char* kRowsMissing = "select count(*) from ClassPlantb where BuildCount<" ORV_PLAN_COUNT;

constexpr const char* kRestrictedLessons =
    "select tbA.LessonNo from Limittb tbA where tbA.Kind=? and tbA.Code=? and tbA.Attr<>? and tbA.Day=?"
    " order by tbA.LessonNo";
constexpr const char* kClassSlotTaken =
    "select LessonNo from LessonListtb where ClassCode=? and Day=? and LessonNo=?";
constexpr const char* kMarkedCells =
    "select tbA.LessonNo from Limittb tbA where tbA.Kind=? and tbA.Code=? and tbA.Attr=? and tbA.Day=?"
    " and tbA.LessonNo not in (select tbB.LessonNo from LessonListtb tbB where tbB.ClassCode=? and tbB.Day=?)"
    " order by tbA.LessonNo,tbA.rowid";
constexpr const char* kTeacherSlotTaken =
    "select LessonNo from LessonListtb where Day=? and LessonNo=? and TeacherCode=?";
constexpr const char* kSpecialCourseSlotTaken =
    "select LessonNo from LessonListtb where Day=? and LessonNo=? and CourseCode=?"
    " and CourseCode in (select CourseCode from CourseAttrtb)";
constexpr const char* kClassCourseDayLessons =
    "select count(*) from LessonListtb where CourseCode=? and ClassCode=? and Day=?";

// The passes over one day, in order: the cells each pass may take.
constexpr std::array<LimitMark, 3> kPassMarks = {LimitMark::Best, LimitMark::Normal, LimitMark::Avoid};
constexpr int kFixed = DbValue(LessonOrigin::Fixed);
constexpr int kCourseKind = DbValue(LimitKind::Course);
constexpr double kPastFriday = 6.0;

int WholeDay(double d) { return static_cast<int>(std::floor(d)); }

// Rounds to the nearest integer, halves to the even neighbour.
long long RoundHalfEven(double v) {
  const double low = std::floor(v);
  const double diff = v - low;
  if (diff > 0.5) return static_cast<long long>(low) + 1;
  if (diff < 0.5) return static_cast<long long>(low);
  const auto l = static_cast<long long>(low);
  return l % 2 == 0 ? l : l + 1;
}

// Tries the passes of one day; the first lesson number above 0 wins.
int SearchDay(GenerationContext& ctx, const std::string& cls, const std::string& course,
              const std::string& teacher, int day, double x) {
  for (LimitMark mark : kPassMarks) {
    const int lesson = SearchSlot(ctx, cls, course, teacher, day, x, mark);
    if (lesson > 0) return lesson;
  }
  return -1;
}

}  // namespace

void ResetAutoBuild(TimetableDb& db) {
  db.Execute(kDeleteUnfixed, kFixed);
  db.Execute(kUnmarkAll);
  std::vector<std::array<std::string, 3>> fixed;
  {
    Cursor c = db.Query(kFixedLessons, kFixed);
    while (c.Next()) fixed.push_back({c.Text(0), c.Text(1), c.Text(2)});
  }
  for (const auto& [cls, course, teacher] : fixed) db.Execute(kCountFixed, cls, course, teacher);
}

std::string PickNextTeacherCourse(TimetableDb& db, std::string& teacher) {
  teacher.clear();
  {
    long long best = 0;
    Cursor c = db.Query(kTeacherClassCounts);
    while (c.Next()) {
      const long long classes = c.Int64(0);
      if (classes > best) {
        best = classes;
        teacher = c.Text(1);
      }
    }
  }
  std::string course;
  long long bestClasses = 0, bestTotal = 0;
  Cursor c = db.Query(kTeacherCourseCounts, teacher);
  while (c.Next()) {
    const long long classes = c.Int64(0);
    const long long total = c.Int64(2);
    if (classes > bestClasses) {
      bestClasses = classes;
      bestTotal = total;
      course = c.Text(1);
    } else if (classes == bestClasses && total > bestTotal) {
      bestTotal = total;
      course = c.Text(1);
    }
  }
  return course;
}

std::string PickNextClass(TimetableDb& db, const std::string& course, std::string& teacher) {
  {
    Cursor c = db.Query(kNextClassOfTeacher, course, teacher);
    if (c.Next()) {
      teacher = c.Text(1);
      return c.Text(0);
    }
  }
  Cursor c = db.Query(kNextClassOfCourse, course);
  if (!c.Next()) return {};
  teacher = c.Text(1);
  return c.Text(0);
}

RowOutcome BuildPlanRow(GenerationContext& ctx, const std::string& cls, const std::string& course,
                        const std::string& teacher) {
  TimetableDb& db = ctx.db;
  int count = 0, buildCount = 0;
  {
    Cursor c = db.Query(kRowCounts, cls, course);
    if (!c.Next() || c.IsNull(0) || c.IsNull(1)) return RowOutcome::kUnreadable;
    count = c.Int(0);
    buildCount = c.Int(1);
  }
  // A sum over no rows is NULL: the teacher code of the row matches nothing.
  const std::optional<long long> load = db.FirstInt(kTeacherLoad, teacher);
  if (!load) return RowOutcome::kUnreadable;
  const int cap = static_cast<int>(std::ceil(static_cast<double>(*load) / 5.0));

  RowOutcome outcome = RowOutcome::kBuilt;
  if (count > buildCount && count > 0) {
    const double step = 5.0 / count;
    const double x = 1.0 / step;
    double d = 1.0;
    for (;;) {
      // Past Friday every day is alike (the search turns back from Friday), so
      // the walk stops there even when the cap could never be met.
      while (d < kPastFriday && TeacherDayFull(db, teacher, d, cap)) d = WholeDay(d) + 1;
      const int lesson = ChooseLesson(ctx, cls, course, teacher, d, x);
      if (lesson < 0) {
        outcome = RowOutcome::kNoSlot;
        break;
      }
      db.Execute(kInsertLesson, cls, WholeDay(d), lesson, course, teacher, DbValue(LessonOrigin::Automatic));
      ++buildCount;
      db.Execute(kSetBuildCount, buildCount, cls, course);
      if (buildCount == count) break;
      d += step;
    }
  }
  if (MarkPlanRowBuilt(db, cls, course, teacher) == 0) return RowOutcome::kNotMarked;
  return outcome;
}

int MarkPlanRowBuilt(TimetableDb& db, const std::string& cls, const std::string& course,
                     const std::string& teacher) {
  return db.Execute(kMarkBuilt, cls, course, teacher);
}

bool TeacherDayFull(TimetableDb& db, const std::string& teacher, double d, int cap) {
  return db.FirstInt(kTeacherDayLessons, teacher, WholeDay(d)).value_or(0) >= cap;
}

int CompletionRate(TimetableDb& db) {
  long long total = 0, built = 0;
  {
    Cursor c = db.Query(kPlanTotals);
    if (!c.Next()) return 100;
    if (c.IsNull(0) || c.IsNull(1)) return -1;
    total = c.Int64(0);
    built = c.Int64(1);
  }
  if (total <= 0) return -1;
  long long rate = RoundHalfEven(100.0 * static_cast<double>(built) / static_cast<double>(total));
  rate = std::clamp<long long>(rate, 0, 100);
  // Rounding must not turn a missing lesson into a finished timetable, and
  // extra fixed lessons in one row must not hide a gap in another.
  if (rate == 100 && db.FirstInt(kRowsMissing).value_or(0) > 0) rate = 99;
  return static_cast<int>(rate);
}

int ChooseLesson(GenerationContext& ctx, const std::string& cls, const std::string& course,
                 const std::string& teacher, double& d, double x) {
  const double entry = d;
  while (d < kPastFriday) {
    int day = WholeDay(d);
    const double frac = d - day;
    if (frac >= 0.5 && day < 5) {
      const double r = ctx.random.Next();
      if (WholeDay(2 * r) == 1) {
        day += 1;
        d = day;
      }
    }
    const int lesson = SearchDay(ctx, cls, course, teacher, day, x);
    if (lesson > 0) return lesson;
    day += 1;
    d = day;
  }
  for (;;) {
    if (d <= 0) {
      d = entry;
      return -1;
    }
    d = WholeDay(d);
    while (d > 5) d -= 1;
    const int lesson = SearchDay(ctx, cls, course, teacher, WholeDay(d), x);
    if (lesson > 0) return lesson;
    d -= 1;
  }
}

int SearchSlot(GenerationContext& ctx, const std::string& cls, const std::string& course,
               const std::string& teacher, int day, double x, LimitMark mark) {
  TimetableDb& db = ctx.db;
  if (mark == LimitMark::Never) return -1;
  // The daily cap does not depend on the lesson number: a full day rules out
  // every candidate, and nothing is drawn.
  if (CourseDayFull(db, cls, course, day, x)) return -1;

  std::vector<int> candidates;
  if (mark == LimitMark::Normal) {
    // A cell without a row is normal too: every lesson that carries no
    // other mark is a candidate.
    std::vector<int> restricted;
    {
      Cursor c = db.Query(kRestrictedLessons, kCourseKind, course, DbValue(LimitMark::Normal), day);
      while (c.Next()) restricted.push_back(c.Int(0));
    }
    for (int n = 1; n <= ctx.lessonsPerDay; ++n) {
      if (std::find(restricted.begin(), restricted.end(), n) != restricted.end()) continue;
      if (!db.Exists(kClassSlotTaken, cls, day, n)) candidates.push_back(n);
    }
  } else {
    Cursor c = db.Query(kMarkedCells, kCourseKind, course, DbValue(mark), day, cls, day);
    while (c.Next()) candidates.push_back(c.Int(0));
  }

  std::vector<int> passing;
  for (int n : candidates) {
    if (db.Exists(kTeacherSlotTaken, day, n, teacher)) continue;
    if (db.Exists(kSpecialCourseSlotTaken, day, n, course)) continue;
    passing.push_back(n);
  }
  if (passing.empty()) return -1;
  const double r = ctx.random.Next();
  const auto last = static_cast<long long>(passing.size()) - 1;
  // A scripted generator may step outside [0, 1); keep the pick in range.
  const long long at = std::clamp<long long>(WholeDay(r * static_cast<double>(passing.size())), 0, last);
  return passing[static_cast<size_t>(at)];
}

bool CourseDayFull(TimetableDb& db, const std::string& cls, const std::string& course, int day, double x) {
  return CourseDailyCap(x) <= db.FirstInt(kClassCourseDayLessons, course, cls, day).value_or(0);
}

}  // namespace orv
