#include "core/scheduling/build_timetable.h"

#include <stdexcept>

#include "core/database/plan_count.h"
#include "core/database/week_marks.h"
#include "core/domain/week.h"
#include "core/scheduling/generation_steps.h"

namespace orv {

namespace {

constexpr const char* kPlanSummary =
    "select coalesce(sum(" ORV_PLAN_COUNT
    "),0),coalesce(sum(BuildCount),0),"
    "coalesce(sum(case when BuildCount<" ORV_PLAN_COUNT " then " ORV_PLAN_COUNT
    "-BuildCount else 0 end),0),"
    "coalesce(sum(case when BuildCount<" ORV_PLAN_COUNT " then 1 else 0 end),0) from ClassPlantb";
constexpr const char* kAutoLessonsInNeverCells =
    "select count(*) from LessonListtb L where L.SetFlag=? and exists (select 1 from Limittb M"
    " where M.Day=L.Day and M.LessonNo=L.LessonNo and M.Attr=?"
    " and ((M.Kind=? and M.Code=L.ClassCode) or (M.Kind=? and M.Code=L.TeacherCode)))";

// A plan row the run cannot get past. Without marking it, the driver would
// take the same row again and again, so the run stops instead.
class StuckRow : public std::runtime_error {
 public:
  StuckRow(const std::string& cls, const std::string& course, const std::string& teacher)
      : std::runtime_error("教学计划中有无法处理的行（班级 '" + cls + "'，课程 '" + course + "'，教师 '" +
                           teacher + "'），请先进行数据维护") {}
};

void Tick(const BuildProgress& progress) {
  if (progress) progress();
}

}  // namespace

Result<BuildResult> BuildTimetable(TimetableDb& db, int lessonsPerDay, UniformRandom& random,
                                   const BuildProgress& progress) {
  if (lessonsPerDay < 1 || lessonsPerDay > kMaxLessonsPerDay)
    return Outcome::Fail("每天课时数无效：" + std::to_string(lessonsPerDay));
  try {
    Transaction tx(db);
    GenerationContext ctx{db, lessonsPerDay, random};
    ResetAutoBuild(db);
    for (;;) {
      Tick(progress);
      std::string teacher;
      const std::string course = PickNextTeacherCourse(db, teacher);
      if (course.empty()) break;
      int rowsTaken = 0;
      for (;;) {
        Tick(progress);
        const std::string cls = PickNextClass(db, course, teacher);
        if (cls.empty()) break;
        const RowOutcome outcome = BuildPlanRow(ctx, cls, course, teacher);
        if (outcome == RowOutcome::kUnreadable || outcome == RowOutcome::kNotMarked)
          throw StuckRow(cls, course, teacher);
        ++rowsTaken;
      }
      // The course was chosen for an unbuilt row that no pick reached (its
      // class code is empty): choosing it again would never end.
      if (rowsTaken == 0) throw StuckRow("", course, teacher);
    }
    BuildResult result;
    result.rate = CompletionRate(db);
    if (result.rate < 0) return Outcome::Fail("教学计划为空或总课时为0");
    {
      Cursor c = db.Query(kPlanSummary);
      c.Next();
      result.plannedLessons = static_cast<int>(c.Int64(0));
      result.placedLessons = static_cast<int>(c.Int64(1));
      result.unplacedLessons = static_cast<int>(c.Int64(2));
      result.incompleteRows = static_cast<int>(c.Int64(3));
    }
    result.lessonsInNeverCells = static_cast<int>(
        db.FirstInt(kAutoLessonsInNeverCells, DbValue(LessonOrigin::Automatic), DbValue(LimitMark::Never),
                    DbValue(LimitKind::Class), DbValue(LimitKind::Teacher))
            .value_or(0));
    tx.Commit();
    return result;
  } catch (const StuckRow& e) {
    return Outcome::Fail(e.what());
  } catch (const std::exception& e) {
    return Outcome::Fail(DatabaseErrorText(e));
  }
}

}  // namespace orv
