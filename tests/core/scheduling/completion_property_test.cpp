// SPDX-License-Identifier: GPL-3.0-or-later
// Schools that admit a complete timetable, by construction, of every size up
// to 72 classes: the check before scheduling finds nothing blocking, and
// generation followed by completion places every lesson without breaking a
// rule, while fixed and hand-placed lessons stay exactly where they were.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <map>
#include <random>
#include <string>

#include "core/database/school_rules.h"
#include "core/scheduling/build_timetable.h"
#include "core/scheduling/complete_timetable.h"
#include "core/scheduling/feasible_school.h"
#include "core/scheduling/school_analysis.h"
#include "core/scheduling/timetable_check.h"
#include "support/test_db.h"

namespace orv {
namespace {

struct Shape {
  int classes, lessonsPerDay, fill;
};

constexpr Shape kShapes[] = {{4, 6, 100},  {12, 7, 95},  {24, 6, 90}, {40, 7, 100},
                             {72, 7, 100}, {18, 6, 100}, {30, 7, 85}, {72, 6, 92}};

const char* kWalls =
    "select "
    "group_concat(ClassCode||'/'||Day||'/'||LessonNo||'/'||CourseCode||'/'||TeacherCode||'/'||SetFlag,' ')"
    " from (select * from LessonListtb where SetFlag in (0,2) order by ClassCode,Day,LessonNo,SetFlag)";

// The user moves a few lessons by hand to where the hidden timetable has
// them: an automatic lesson of the row goes, a hand-placed one comes, often
// on top of other automatic lessons.
void MoveSomeByHand(test::TestDb& t, const test::FeasibleSchool& school, std::uint64_t seed) {
  std::mt19937_64 rng(seed);
  for (const test::HiddenLesson& h : school.hidden) {
    if (std::uniform_int_distribution<int>(0, 49)(rng) != 0) continue;
    if (t.db().Exists("select 1 from LessonListtb where ClassCode=? and Day=? and LessonNo=? and SetFlag<>1",
                      h.cls, h.day, h.lessonNo))
      continue;
    t.db().Execute(
        "delete from LessonListtb where rowid=(select rowid from LessonListtb where ClassCode=? and "
        "CourseCode=?"
        " and SetFlag=1 limit 1)",
        h.cls, h.course);
    t.AddLesson(h.cls, h.day, h.lessonNo, h.course, h.teacher, 2);
  }
}

// Each teacher's busiest day in the hidden timetable becomes the teacher's
// max-lessons-per-day, as tight as it can be while the school stays
// feasible, and every special course gets a second room. The checker then
// finds any day or period the completion overfills.
void StateRulesTheHiddenTimetableKeeps(test::TestDb& t, const test::FeasibleSchool& school) {
  std::map<std::string, std::array<int, kDaysPerWeek>> perDay;
  for (const test::HiddenLesson& h : school.hidden) ++perDay[h.teacher][static_cast<size_t>(h.day - 1)];
  for (const auto& [teacher, days] : perDay)
    ASSERT_TRUE(SetSchoolRule(t.db(), {RuleKey::kMaxLessonsPerDay, RuleScope::kTeacher, teacher, "",
                                       *std::max_element(days.begin(), days.end())}));
  std::vector<std::string> special;
  for (auto c = t.db().Query("select CourseCode from CourseAttrtb"); c.Next();) special.push_back(c.Text(0));
  for (const std::string& course : special)
    ASSERT_TRUE(SetSchoolRule(t.db(), {RuleKey::kRooms, RuleScope::kCourse, course, "", 2}));
}

TEST(CompletionProperty, EveryFeasibleSchoolIsCompletedWithoutBreakingARule) {
  std::uint64_t seed = 0;
  for (const Shape& shape : kShapes) {
    ++seed;
    SCOPED_TRACE("seed " + std::to_string(seed) + ", " + std::to_string(shape.classes) + " classes");
    test::TestDb t;
    const test::FeasibleSchool school =
        test::MakeFeasibleSchool(t.db(), {shape.classes, shape.lessonsPerDay, shape.fill, seed});
    ASSERT_GT(school.neverCells, 0);
    StateRulesTheHiddenTimetableKeeps(t, school);

    const auto findings = AnalyzeSchool(t.db(), shape.lessonsPerDay);
    ASSERT_TRUE(findings) << findings.message();
    for (const AnalysisFinding& f : *findings) EXPECT_NE(f.severity, AnalysisSeverity::kBlocking) << f.text;

    UniformRandom random(seed);
    ASSERT_TRUE(BuildTimetable(t.db(), shape.lessonsPerDay, random).ok());
    MoveSomeByHand(t, school, seed);
    const auto walls = t.db().FirstText(kWalls);

    CompletionOptions options;
    options.lessonsPerDay = shape.lessonsPerDay;
    options.seed = seed;
    options.timeLimitSeconds = 30;
    const Result<CompletionReport> report = CompleteTimetable(t.db(), options);
    ASSERT_TRUE(report) << report.message();
    EXPECT_EQ(report->rate, 100);
    EXPECT_EQ(report->missingAfter, 0);
    for (const MissingLessons& m : report->missing) ADD_FAILURE() << MissingLine(m);

    for (const Finding& f : CheckTimetable(t.db(), shape.lessonsPerDay).value()) {
      EXPECT_NE(f.severity, Severity::kViolation) << FindingLine(f);
      EXPECT_TRUE(f.kind != FindingKind::kCourseDayCap && f.kind != FindingKind::kClassNeverCell &&
                  f.kind != FindingKind::kTeacherNeverCell)
          << FindingLine(f);
    }
    EXPECT_EQ(t.db().FirstText(kWalls), walls);
    EXPECT_EQ(t.Count("select count(*) from ClassPlantb where BuildCount<>Count or IsAutoBuild<>1"), 0);
    EXPECT_EQ(t.Count("select count(*) from LessonListtb"), school.plannedLessons);
  }
}

}  // namespace
}  // namespace orv
