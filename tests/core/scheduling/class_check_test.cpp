// SPDX-License-Identifier: GPL-3.0-or-later
// The check of one class gives exactly the findings of the whole-school check
// that concern the class, although it reads only the rows around the class.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "core/demo/demo_school.h"
#include "core/scheduling/build_timetable.h"
#include "core/scheduling/timetable_check.h"
#include "support/test_db.h"

namespace orv {
namespace {

using K = FindingKind;

auto Key(const Finding& f) {
  return std::tie(f.severity, f.kind, f.classCode, f.day, f.lessonNo, f.text, f.classes);
}

// For every class, and for class codes only the timetable knows: the class
// check against the school check filtered by the classes each finding names,
// whether the check loads the model or is given one.
void ExpectClassChecksMatchSchoolCheck(TimetableDb& db, int lessonsPerDay) {
  const std::vector<Finding> school = CheckTimetable(db, lessonsPerDay).value();
  const SchoolModel model = LoadSchoolModel(db, SchoolWeek(lessonsPerDay)).value();
  for (Cursor c = db.Query("select Code from Classtb union select ClassCode from LessonListtb"); c.Next();) {
    const std::string cls = c.Text(0);
    std::vector<Finding> expected;
    for (const Finding& f : school)
      if (std::count(f.classes.begin(), f.classes.end(), cls)) expected.push_back(f);
    for (const std::vector<Finding>& got :
         {CheckClassTimetable(db, lessonsPerDay, cls).value(), CheckClassTimetable(model, cls)}) {
      ASSERT_EQ(got.size(), expected.size()) << cls;
      for (size_t i = 0; i < got.size(); ++i)
        EXPECT_TRUE(Key(got[i]) == Key(expected[i])) << FindingLine(got[i]);
    }
    const FindingCounts counts = CountClassFindings(db, lessonsPerDay, cls).value();
    EXPECT_EQ(counts.violations, CountFindings(expected, Severity::kViolation)) << cls;
    EXPECT_EQ(counts.warnings, CountFindings(expected, Severity::kWarning)) << cls;
  }
}

// A generated school, then lessons moved, retaught and duplicated at random
// so that every kind of clash turns up between many classes.
TEST(ClassCheckDemo, MatchesTheSchoolCheckAfterRandomDamage) {
  for (std::uint64_t seed : {3, 11}) {
    test::TestDb t;
    ASSERT_TRUE(
        FillDemoSchool(t.db(), DemoOptions{.lastGrade = 4, .classesPerGrade = 3, .lessonsPerDay = 7}));
    UniformRandom random(seed);
    ASSERT_TRUE(BuildTimetable(t.db(), 7, random).ok());
    // Marked special only now, so that the generated week already holds clashes.
    t.db().Execute("insert into CourseAttrtb select Code from Coursetb where Name='体育'");
    t.db().Execute(
        "insert into Limittb select 0,ClassCode,Day,LessonNo,3 from LessonListtb where rowid % 13 = 0");
    t.db().Execute(
        "insert into Limittb select 2,TeacherCode,Day,LessonNo,3 from LessonListtb where rowid % 17 = 0");
    std::mt19937 rng(static_cast<unsigned>(seed));
    const long long rows = t.Count("select max(rowid) from LessonListtb");
    const char* damage[] = {
        "update LessonListtb set (Day,LessonNo)=(select Day,LessonNo from LessonListtb where rowid=?) where "
        "rowid=?",
        "update LessonListtb set TeacherCode=(select TeacherCode from LessonListtb where rowid=?) where "
        "rowid=?",
        "insert into LessonListtb select M.ClassCode,L.Day,L.LessonNo,L.CourseCode,M.TeacherCode,2"
        " from LessonListtb L, LessonListtb M where L.rowid=? and M.rowid=?",
    };
    for (int i = 0; i < 60; ++i) {
      const long long a = rng() % rows + 1, b = rng() % rows + 1;
      t.db().Execute(damage[rng() % 3], b, a);
    }
    const std::vector<Finding> school = CheckTimetable(t.db(), 7).value();
    for (K kind : {K::kClassDoubleBooked, K::kTeacherDoubleBooked, K::kSpecialCourseClash, K::kCourseDayCap,
                   K::kClassNeverCell, K::kTeacherNeverCell, K::kNotPlanTeacher})
      EXPECT_TRUE(std::any_of(school.begin(), school.end(), [&](const Finding& f) { return f.kind == kind; }))
          << "no finding of kind " << static_cast<int>(kind);
    ExpectClassChecksMatchSchoolCheck(t.db(), 7);
  }
}

}  // namespace
}  // namespace orv
