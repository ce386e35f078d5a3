// Whatever the school and the seed, a generated timetable breaks no rule,
// keeps every fixed lesson, and its plan counters match its lessons.
#include <gtest/gtest.h>

#include <ostream>
#include <random>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "core/database/demo_school.h"
#include "core/scheduling/build_timetable.h"
#include "core/scheduling/timetable_check.h"
#include "support/test_db.h"

namespace orv {
namespace {

using Fixed = std::tuple<std::string, int, int, std::string, std::string>;

std::set<Fixed> FixedLessons(TimetableDb& db) {
  std::set<Fixed> fixed;
  Cursor c =
      db.Query("select ClassCode,Day,LessonNo,CourseCode,TeacherCode from LessonListtb where SetFlag=0");
  while (c.Next()) fixed.emplace(c.Text(0), c.Int(1), c.Int(2), c.Text(3), c.Text(4));
  return fixed;
}

// Generates once and checks everything a run promises.
void GenerateAndVerify(test::TestDb& t, int lessonsPerDay, std::uint64_t seed) {
  SCOPED_TRACE("seed " + std::to_string(seed));
  const std::set<Fixed> fixedBefore = FixedLessons(t.db());
  UniformRandom random(seed);
  const BuildResult result = BuildTimetable(t.db(), lessonsPerDay, random);
  ASSERT_GE(result.rate, 0) << result.error;

  for (const Finding& f : CheckTimetable(t.db(), lessonsPerDay)) {
    EXPECT_NE(f.severity, Severity::kViolation) << FindingLine(f);
    EXPECT_NE(f.kind, FindingKind::kCourseDayCap) << FindingLine(f);
  }
  EXPECT_EQ(FixedLessons(t.db()), fixedBefore);
  EXPECT_EQ(t.Count("select count(*) from LessonListtb where SetFlag=2"), 0);
  EXPECT_EQ(
      t.Count(
          "select count(*) from ClassPlantb P where BuildCount <> (select count(*) from LessonListtb L"
          " where L.ClassCode=P.ClassCode and L.CourseCode=P.CourseCode and L.TeacherCode=P.TeacherCode)"),
      0);
  EXPECT_EQ(t.Count("select count(*) from ClassPlantb where IsAutoBuild<>1"), 0);
  EXPECT_EQ(result.placedLessons, t.Count("select sum(BuildCount) from ClassPlantb"));
  EXPECT_EQ(result.incompleteRows, t.Count("select count(*) from ClassPlantb where BuildCount<Count"));
  EXPECT_EQ(result.unplacedLessons == 0, result.rate == 100);
}

struct DemoCase {
  int lastGrade;
  int classesPerGrade;
  int lessonsPerDay;
};

void PrintTo(const DemoCase& c, std::ostream* os) {
  *os << "grades 1-" << c.lastGrade << ", " << c.classesPerGrade << " classes each, " << c.lessonsPerDay
      << " lessons a day";
}

class DemoSchools : public ::testing::TestWithParam<DemoCase> {};

TEST_P(DemoSchools, EverySeedGivesASoundTimetable) {
  test::TestDb t;
  t.db().Raw().exec("PRAGMA synchronous=OFF");
  DemoOptions options;
  options.lastGrade = GetParam().lastGrade;
  options.classesPerGrade = GetParam().classesPerGrade;
  options.lessonsPerDay = GetParam().lessonsPerDay;
  std::string why;
  ASSERT_TRUE(FillDemoSchool(t.db(), options, &why)) << why;
  ASSERT_GT(t.Count("select count(*) from LessonListtb where SetFlag=0"), 0)
      << "the demo fixes class meetings";
  for (std::uint64_t seed : {1, 2, 3, 77, 2026}) GenerateAndVerify(t, options.lessonsPerDay, seed);
}

INSTANTIATE_TEST_SUITE_P(Sizes, DemoSchools,
                         ::testing::Values(DemoCase{6, 3, 6}, DemoCase{6, 2, 7}, DemoCase{9, 4, 6},
                                           DemoCase{9, 8, 6}));

// Small schools with restrictions of every kind, special courses, fixed
// lessons taken from an earlier run, and manual lessons that must go.
void FillRandomSchool(test::TestDb& t, std::mt19937& rng, int lessonsPerDay) {
  auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
  const int classes = pick(2, 5), courses = pick(3, 7), teachers = pick(2, 6);
  for (int c = 1; c <= classes; ++c) t.AddClass("1" + std::to_string(c), "班" + std::to_string(c));
  for (int k = 1; k <= courses; ++k) t.AddCourse("C" + std::to_string(k), "课" + std::to_string(k));
  for (int k = 1; k <= teachers; ++k) t.AddTeacher("T" + std::to_string(k), "师" + std::to_string(k));
  for (int c = 1; c <= classes; ++c) {
    int room = 5 * lessonsPerDay - pick(0, 6);
    for (int k = 1; k <= courses && room > 0; ++k) {
      const int count = std::min(room, pick(1, 9));
      room -= count;
      t.AddPlan("1" + std::to_string(c), "C" + std::to_string(k), "T" + std::to_string(pick(1, teachers)),
                count);
    }
  }
  for (int k = 1; k <= courses; ++k) {
    const std::string course = "C" + std::to_string(k);
    const int cells = pick(0, 12);
    std::set<std::pair<int, int>> used;
    for (int i = 0; i < cells; ++i) {
      const int day = pick(1, 5), n = pick(1, lessonsPerDay);
      if (used.insert({day, n}).second) t.AddLimit(1, course, day, n, pick(0, 3));
    }
    if (pick(0, 4) == 0) t.AddSpecialCourse(course);
  }
}

TEST(RandomSchools, GeneratedTimetablesBreakNoRuleAndKeepFixedLessons) {
  for (std::uint32_t school = 1; school <= 25; ++school) {
    SCOPED_TRACE("school " + std::to_string(school));
    std::mt19937 rng(school);
    const int lessonsPerDay = school % 3 == 0 ? 7 : 6;
    test::TestDb t;
    t.db().Raw().exec("PRAGMA synchronous=OFF");
    FillRandomSchool(t, rng, lessonsPerDay);
    GenerateAndVerify(t, lessonsPerDay, school);

    // Fix about a third of the placed lessons, as the user would after a
    // first run, and add manual lessons that the next run must drop.
    t.db().Execute("update LessonListtb set SetFlag=0 where rowid % 3 = 0");
    t.db().Execute("update LessonListtb set SetFlag=2 where rowid % 3 = 1");
    GenerateAndVerify(t, lessonsPerDay, school + 1000);
    if (HasFatalFailure()) return;
  }
}

}  // namespace
}  // namespace orv
