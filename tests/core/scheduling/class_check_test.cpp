// The check of one class gives exactly the findings of the whole-school check
// that concern the class, although it reads only the rows around the class.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "core/database/demo_school.h"
#include "core/scheduling/build_timetable.h"
#include "core/scheduling/timetable_check.h"
#include "school_fixture.h"

namespace orv {
namespace {

using K = FindingKind;

auto Key(const Finding& f) {
  return std::tie(f.severity, f.kind, f.classCode, f.day, f.lessonNo, f.text, f.classes);
}

// Compares, for every class of the school and for codes only the timetable
// knows, the class check with the school check filtered by involvement.
void ExpectClassChecksMatchSchoolCheck(TimetableDb& db, int lessonsPerDay) {
  const std::vector<Finding> school = CheckTimetable(db, lessonsPerDay);
  std::vector<std::string> classes;
  for (Cursor c = db.Query("select Code from Classtb union select ClassCode from LessonListtb"); c.Next();)
    classes.push_back(c.Text(0));
  size_t seen = 0;
  for (const std::string& cls : classes) {
    SCOPED_TRACE("class " + cls);
    std::vector<Finding> expected;
    for (const Finding& f : school)
      if (std::find(f.classes.begin(), f.classes.end(), cls) != f.classes.end()) expected.push_back(f);
    const std::vector<Finding> got = CheckClassTimetable(db, lessonsPerDay, cls);
    ASSERT_EQ(got.size(), expected.size());
    for (size_t i = 0; i < got.size(); ++i)
      EXPECT_TRUE(Key(got[i]) == Key(expected[i])) << FindingLine(got[i]);
    const Result<FindingCounts> counts = CountClassFindings(db, lessonsPerDay, cls);
    ASSERT_TRUE(counts.ok()) << counts.message();
    EXPECT_EQ(counts->violations, CountFindings(expected, Severity::kViolation));
    EXPECT_EQ(counts->warnings, CountFindings(expected, Severity::kWarning));
    seen += expected.size();
  }
  // Every finding concerns at least one class.
  EXPECT_GE(seen, school.size());
}

class ClassCheck : public test::School {
 protected:
  void SetUp() override {
    School::SetUp();
    Plan("101/01/T2/6 101/02/T1/4 102/02/T1/5 101/06/T3/3 102/06/T3/3 103/06/T2/2");
    t.AddSpecialCourse("06");
  }
  std::vector<K> KindsOf(const std::string& cls) {
    std::vector<K> kinds;
    for (const Finding& f : CheckClassTimetable(t.db(), 6, cls)) kinds.push_back(f.kind);
    return kinds;
  }
};

TEST_F(ClassCheck, AClashCountsForEveryClassInItAndOnlyForThem) {
  // Three classes in the special course 06 at once; T2 teaches two of them.
  Add("101/4/4/06/T3 102/4/4/06/T2 103/4/4/06/T2");
  Exec("update ClassPlantb set BuildCount=1 where TeacherCode='T3' or ClassCode='103'");
  EXPECT_EQ(KindsOf("101"), std::vector<K>{K::kSpecialCourseClash});
  EXPECT_EQ(KindsOf("102"), (std::vector<K>{K::kTeacherDoubleBooked, K::kSpecialCourseClash,
                                            K::kBuildCountWrong, K::kNotPlanTeacher}));
  EXPECT_EQ(KindsOf("103"), (std::vector<K>{K::kTeacherDoubleBooked, K::kSpecialCourseClash}));
  EXPECT_EQ(KindsOf("104"), std::vector<K>{});
  const std::vector<Finding> f = CheckClassTimetable(t.db(), 6, "103");
  // Reported under the first class of the clash, as the school check does.
  EXPECT_EQ(f[0].classCode, "102");
  EXPECT_EQ(f[0].classes, (std::vector<std::string>{"102", "103"}));
  EXPECT_EQ(f[1].classes, (std::vector<std::string>{"101", "102", "103"}));
  ExpectClassChecksMatchSchoolCheck(t.db(), 6);
}

TEST_F(ClassCheck, MatchesTheSchoolCheckForEveryKindOfFinding) {
  const char* cases[] = {
      "",
      "101/3/4/01/T2 101/3/4/02/T1 101/1/5/02/T1 101/1/6/02/T1",
      "102/2/2/02/T1 101/2/2/02/T1 103/2/2/06/T1",
      "101/4/4/06/T3 102/4/4/06/T2/2 101/5/1/02/T1 102/5/1/02/T3/2",
      "101/2/7/02/T1 101/6/1/01/T2 101/1/0/01/T2",
      "999/1/1/02/T1/2 102/1/2/77/T1/2 101/1/3/01/ZZ/2 999/1/3/06/ZZ",
      "101/1/1/01/T2 101/2/2/01/T2 101/1/2/02/T1 102/1/3/02/T1 102/1/3/06/T3",
  };
  Limit("1/01/1/1/2 0/101/1/2/3 2/T1/1/3/3 2/T2/1/3/3 1/02/3/3/3 1/02/2/2/3");
  for (const char* lessons : cases) {
    SCOPED_TRACE(lessons);
    Exec("delete from LessonListtb");
    Add(lessons);
    Exec("update ClassPlantb set BuildCount=1 where CourseCode='02'");
    ExpectClassChecksMatchSchoolCheck(t.db(), 6);
  }
}

// A generated school, then lessons moved, retaught and duplicated at random
// so that every kind of clash turns up between many classes.
TEST(ClassCheckDemo, MatchesTheSchoolCheckAfterRandomDamage) {
  for (std::uint64_t seed : {3, 11}) {
    test::TestDb t;
    t.db().Raw().exec("PRAGMA synchronous=OFF");
    std::string why;
    ASSERT_TRUE(
        FillDemoSchool(t.db(), DemoOptions{.lastGrade = 4, .classesPerGrade = 3, .lessonsPerDay = 7}, &why))
        << why;
    UniformRandom random(seed);
    ASSERT_GE(BuildTimetable(t.db(), 7, random).rate, 0);
    t.db().Execute(
        "insert into Limittb select 0,ClassCode,Day,LessonNo,3 from LessonListtb where rowid % 13 = 0");
    t.db().Execute(
        "insert into Limittb select 2,TeacherCode,Day,LessonNo,3 from LessonListtb where rowid % 17 = 0");
    std::mt19937 rng(static_cast<unsigned>(seed));
    const long long rows = t.Count("select max(rowid) from LessonListtb");
    for (int i = 0; i < 60; ++i) {
      const long long a = rng() % rows + 1, b = rng() % rows + 1;
      switch (rng() % 3) {
        case 0:  // a lesson moved to another lesson's slot
          t.db().Execute(
              "update LessonListtb set Day=(select Day from LessonListtb where rowid=?),"
              " LessonNo=(select LessonNo from LessonListtb where rowid=?) where rowid=?",
              b, b, a);
          break;
        case 1:  // taught by another lesson's teacher
          t.db().Execute(
              "update LessonListtb set TeacherCode=(select TeacherCode from LessonListtb where rowid=?) "
              "where rowid=?",
              b, a);
          break;
        default:  // the same course held again by a class at another class's slot
          t.db().Execute(
              "insert into LessonListtb select L.ClassCode,M.Day,M.LessonNo,M.CourseCode,L.TeacherCode,2"
              " from LessonListtb L, LessonListtb M where L.rowid=? and M.rowid=?",
              a, b);
      }
    }
    const std::vector<Finding> school = CheckTimetable(t.db(), 7);
    for (K kind : {K::kClassDoubleBooked, K::kTeacherDoubleBooked, K::kSpecialCourseClash, K::kCourseDayCap,
                   K::kClassNeverCell, K::kTeacherNeverCell, K::kNotPlanTeacher})
      EXPECT_TRUE(std::any_of(school.begin(), school.end(), [&](const Finding& f) { return f.kind == kind; }))
          << "no finding of kind " << static_cast<int>(kind);
    ExpectClassChecksMatchSchoolCheck(t.db(), 7);
  }
}

}  // namespace
}  // namespace orv
