// SPDX-License-Identifier: GPL-3.0-or-later
// Whatever the school and the seed, a generated timetable breaks no rule,
// keeps every fixed lesson, and its plan counters match its lessons.
#include <gtest/gtest.h>

#include <string>

#include "core/demo/demo_school.h"
#include "core/scheduling/build_timetable.h"
#include "core/scheduling/timetable_check.h"
#include "support/test_db.h"

namespace orv {
namespace {

void GenerateAndVerify(test::TestDb& t, int lessonsPerDay, std::uint64_t seed) {
  SCOPED_TRACE("seed " + std::to_string(seed));
  const char* fixed =
      "select group_concat(ClassCode||'/'||Day||'/'||LessonNo||'/'||CourseCode||'/'||TeacherCode,' ') from"
      " (select * from LessonListtb where SetFlag=0 order by ClassCode,Day,LessonNo)";
  const auto fixedBefore = t.db().FirstText(fixed);
  UniformRandom random(seed);
  const Result<BuildResult> built = BuildTimetable(t.db(), lessonsPerDay, random);
  ASSERT_TRUE(built) << built.message();
  const BuildResult& result = *built;
  const Result<std::vector<Finding>> findings = CheckTimetable(t.db(), lessonsPerDay);
  ASSERT_TRUE(findings) << findings.message();
  for (const Finding& f : *findings) {
    EXPECT_NE(f.severity, Severity::kViolation) << FindingLine(f);
    EXPECT_NE(f.kind, FindingKind::kCourseDayCap) << FindingLine(f);
  }
  EXPECT_EQ(t.db().FirstText(fixed), fixedBefore);
  EXPECT_EQ(t.Count("select count(*) from LessonListtb where SetFlag=2"), 0);
  EXPECT_EQ(test::WrongBuildCounts(t.db()), 0);
  EXPECT_EQ(t.Count("select count(*) from ClassPlantb where IsAutoBuild<>1"), 0);
  EXPECT_EQ(result.incompleteRows, t.Count("select count(*) from ClassPlantb where BuildCount<Count"));
}

class DemoSchools : public ::testing::TestWithParam<DemoOptions> {};

TEST_P(DemoSchools, EverySeedGivesASoundTimetableAlsoAfterFixingAndEditingLessons) {
  for (std::uint64_t seed : {1, 2, 77, 2026}) {
    test::TestDb t;
    const Outcome filled = FillDemoSchool(t.db(), GetParam());
    ASSERT_TRUE(filled) << filled.message();
    GenerateAndVerify(t, GetParam().lessonsPerDay, seed);
    // The user fixes some lessons and edits others by hand; the next run
    // keeps the first and drops the second.
    t.db().Execute("update LessonListtb set SetFlag=0 where rowid % 3 = 0");
    t.db().Execute("update LessonListtb set SetFlag=2 where rowid % 3 = 1");
    GenerateAndVerify(t, GetParam().lessonsPerDay, seed + 1000);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, DemoSchools,
    ::testing::Values(DemoOptions{.lastGrade = 6, .classesPerGrade = 3, .lessonsPerDay = 6},
                      DemoOptions{.lastGrade = 6, .classesPerGrade = 2, .lessonsPerDay = 7},
                      DemoOptions{.lastGrade = 9, .classesPerGrade = 8, .lessonsPerDay = 6}));

}  // namespace
}  // namespace orv
