// SPDX-License-Identifier: GPL-3.0-or-later
// Generation works on the school in memory and writes once at the end: the
// file must then hold exactly what the run holds in memory, lesson for lesson
// and plan row for plan row, or the window, the checker and the next run
// would each see a different timetable.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <tuple>
#include <vector>

#include "core/demo/demo_school.h"
#include "core/scheduling/generation_steps.h"
#include "support/test_db.h"

namespace orv {
namespace {

using LessonKey = std::tuple<std::string, int, int, std::string, std::string, int>;

std::vector<LessonKey> Lessons(const SchoolModel& m) {
  std::vector<LessonKey> keys;
  for (const ModelLesson& l : m.lessons)
    keys.emplace_back(m.classes[static_cast<size_t>(l.cls)].code, l.day, l.lessonNo,
                      m.courses[static_cast<size_t>(l.course)].code,
                      m.teachers[static_cast<size_t>(l.teacher)].code, l.setFlag.value_or(-1));
  std::sort(keys.begin(), keys.end());
  return keys;
}

TEST(GenerationWrite, TheFileHoldsWhatTheRunHeldInMemory) {
  for (const int lessons : {6, 7}) {
    SCOPED_TRACE(lessons);
    test::TestDb t;
    ASSERT_TRUE(FillDemoSchool(
        t.db(),
        DemoOptions{.lastGrade = 3, .classesPerGrade = 2, .lessonsPerDay = lessons, .fillPercent = 50}));
    // A hand-placed lesson and one without an origin: the first goes, the second stays.
    t.db().Execute("update LessonListtb set SetFlag=? where rowid=(select min(rowid) from LessonListtb)",
                   DbValue(LessonOrigin::Manual));
    t.db().Execute("update LessonListtb set SetFlag=null where rowid=(select max(rowid) from LessonListtb)");
    Result<GenerationState> state = LoadGenerationState(t.db(), SchoolWeek(lessons));
    ASSERT_TRUE(state) << state.message();
    UniformRandom random(7);
    GenerationContext ctx{*state, random};
    ResetAutoBuild(*state);
    for (size_t row = 0; row < state->model.needs.size(); ++row) BuildPlanRow(ctx, static_cast<int>(row));
    ASSERT_FALSE(state->placed.empty());
    WriteGeneration(t.db(), *state);

    const Result<SchoolModel> reread = LoadSchoolModel(t.db(), SchoolWeek(lessons));
    ASSERT_TRUE(reread) << reread.message();
    EXPECT_EQ(Lessons(*reread), Lessons(state->model));
    ASSERT_EQ(reread->needs.size(), state->rows.size());
    for (size_t i = 0; i < state->rows.size(); ++i) {
      EXPECT_EQ(reread->needs[i].storedBuildCount, state->rows[i].buildCount) << "plan row " << i;
      EXPECT_EQ(reread->needs[i].autoBuilt, state->rows[i].autoBuilt) << "plan row " << i;
    }
  }
}

}  // namespace
}  // namespace orv
