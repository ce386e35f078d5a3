// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/scheduling/build_timetable.h"

#include <stdexcept>
#include <string>
#include <vector>

#include "core/database/plan_count.h"
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
    Result<GenerationState> loaded = LoadGenerationState(db, SchoolWeek(lessonsPerDay));
    if (!loaded) return Outcome::Fail(loaded.message());
    GenerationState& state = *loaded;
    GenerationContext ctx{state, random};
    const SchoolModel& model = state.model;
    const auto code = [](const std::vector<ModelEntity>& list, int i) {
      return i < 0 ? std::string() : list[static_cast<size_t>(i)].code;
    };
    ResetAutoBuild(state);
    for (;;) {
      Tick(progress);
      int teacher = -1;
      const int course = PickNextTeacherCourse(state, teacher);
      if (course < 0) break;
      int rowsTaken = 0;
      for (;;) {
        Tick(progress);
        const int row = PickNextClass(state, course, teacher);
        // A row whose class code is empty names no class to place it in.
        if (row < 0 || code(model.classes, model.needs[static_cast<size_t>(row)].cls).empty()) break;
        if (BuildPlanRow(ctx, row) == RowOutcome::kUnreadable)
          throw StuckRow(code(model.classes, model.needs[static_cast<size_t>(row)].cls),
                         code(model.courses, course), code(model.teachers, teacher));
        ++rowsTaken;
      }
      // The course was chosen for an unbuilt row that no pick reached (its
      // class code is empty): choosing it again would never end.
      if (rowsTaken == 0) throw StuckRow("", code(model.courses, course), code(model.teachers, teacher));
    }
    WriteGeneration(db, state);
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
    result.lessonsInNeverCells = LessonsInNeverCells(state);
    tx.Commit();
    return result;
  } catch (const StuckRow& e) {
    return Outcome::Fail(e.what());
  } catch (const std::exception& e) {
    return Outcome::Fail(DatabaseErrorText(e));
  }
}

}  // namespace orv
