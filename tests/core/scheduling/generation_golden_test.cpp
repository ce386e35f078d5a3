// SPDX-License-Identifier: GPL-3.0-or-later
// Plain generation is the faithful greedy and must stay exactly itself while
// the code around it changes: these timetables were recorded from it, row for
// row, on demo schools of both day lengths, with fixed lessons, restrictions
// and a special course. A difference here is a change of behaviour, never an
// improvement to re-record.
#include <gtest/gtest.h>

#include <cinttypes>
#include <cstdio>
#include <string>

#include "core/demo/demo_school.h"
#include "core/scheduling/build_timetable.h"
#include "support/test_db.h"

namespace orv {
namespace {

// FNV-1a over every lesson, in the order of class, day and lesson.
std::string TimetableDigest(TimetableDb& db) {
  std::uint64_t hash = 14695981039346656037ull;
  Cursor c = db.Query(
      "select ClassCode||'/'||Day||'/'||LessonNo||'/'||CourseCode||'/'||TeacherCode||'/'||SetFlag"
      " from LessonListtb order by ClassCode,Day,LessonNo,CourseCode,TeacherCode,SetFlag");
  while (c.Next()) {
    for (unsigned char ch : c.Text(0) + "\n") hash = (hash ^ ch) * 1099511628211ull;
  }
  char text[17];
  std::snprintf(text, sizeof text, "%016" PRIx64, hash);
  return text;
}

struct Shape {
  const char* what;
  int firstGrade, lastGrade, classesPerGrade, lessonsPerDay, fill;
  bool teacherLimits;
  std::uint64_t seed;
  const char* digest;
  int placed;
};

TEST(GenerationGolden, EverySeedAndShapeGivesTheRecordedTimetable) {
  const Shape shapes[] = {
      {"primary, 6 lessons, seed 1", 1, 6, 3, 6, 0, true, 1, "6a8868c89f4fff6a", 467},
      {"primary, 6 lessons, seed 2", 1, 6, 3, 6, 0, true, 2, "201190452d0eaadf", 471},
      {"primary, 6 lessons, full week", 1, 6, 2, 6, 100, true, 3, "7ff84dfe29f695f0", 336},
      {"middle, 7 lessons, seed 1", 7, 9, 4, 7, 0, true, 1, "5c2a155ebdebd1fa", 359},
      {"middle, 7 lessons, full week, no teacher limits", 7, 9, 3, 7, 100, false, 5, "8d561b1edc1e0ac4", 307},
  };
  for (const Shape& s : shapes) {
    SCOPED_TRACE(s.what);
    test::TempDir dir;
    ASSERT_TRUE(TimetableDb::Create(dir / "kb.mdb"));
    auto db = test::OpenDb(dir / "kb.mdb");
    DemoOptions o;
    o.firstGrade = s.firstGrade;
    o.lastGrade = s.lastGrade;
    o.classesPerGrade = s.classesPerGrade;
    o.lessonsPerDay = s.lessonsPerDay;
    o.fillPercent = s.fill;
    o.teacherLimits = s.teacherLimits;
    ASSERT_TRUE(FillDemoSchool(*db, o));
    UniformRandom random(s.seed);
    const Result<BuildResult> built = BuildTimetable(*db, s.lessonsPerDay, random);
    ASSERT_TRUE(built) << built.message();
    EXPECT_EQ(built->placedLessons, s.placed);
    EXPECT_EQ(TimetableDigest(*db), s.digest);
  }
}

}  // namespace
}  // namespace orv
