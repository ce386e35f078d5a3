// The timetable checker: each rule it knows, on a timetable that breaks only
// that rule.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "core/scheduling/timetable_check.h"
#include "support/test_db.h"

namespace orv {
namespace {

using K = FindingKind;

constexpr int kClassKind = 0, kCourseKind = 1, kTeacherKind = 2;
constexpr int kAvoid = 2, kNever = 3;

class TimetableCheck : public ::testing::Test {
 protected:
  void SetUp() override {
    t.db().Raw().exec("PRAGMA synchronous=OFF");
    t.AddClass("101", "一（1）班");
    t.AddClass("102", "一（2）班");
    t.AddCourse("01", "语文");
    t.AddCourse("02", "数学");
    t.AddCourse("06", "体育");
    t.AddTeacher("T1", "王伟");
    t.AddTeacher("T2", "李芳");
    t.AddTeacher("T3", "张敏");
    t.AddPlan("101", "01", "T2", 6);
    t.AddPlan("101", "02", "T1", 4);
    t.AddPlan("102", "02", "T1", 5);
    t.AddPlan("101", "06", "T3", 3);
    t.AddPlan("102", "06", "T3", 3);
  }

  // A lesson that its plan row counts, as the editors would store it.
  void Place(const std::string& cls, int day, int n, const std::string& course, const std::string& teacher) {
    t.AddLesson(cls, day, n, course, teacher, 1);
    t.db().Execute(
        "update ClassPlantb set BuildCount=BuildCount+1 where ClassCode=? and CourseCode=? and TeacherCode=?",
        cls, course, teacher);
  }

  std::vector<Finding> Check(int lessonsPerDay = 6) { return CheckTimetable(t.db(), lessonsPerDay); }
  static std::vector<K> Kinds(const std::vector<Finding>& findings) {
    std::vector<K> kinds;
    for (const Finding& f : findings) kinds.push_back(f.kind);
    return kinds;
  }

  test::TestDb t;
};

TEST_F(TimetableCheck, SoundTimetableHasNoFindings) {
  t.AddLimit(kCourseKind, "02", 1, 1, 0);
  t.AddLimit(kCourseKind, "02", 1, 6, kNever);
  t.AddLimit(kClassKind, "101", 2, 6, kAvoid);
  t.AddSpecialCourse("06");
  Place("101", 1, 1, "02", "T1");
  Place("102", 1, 2, "02", "T1");
  Place("102", 1, 3, "02", "T1");  // five a week allow two a day
  Place("101", 1, 2, "06", "T3");
  Place("101", 2, 6, "01", "T2");  // a class "avoid" mark is no finding
  Place("101", 1, 3, "01", "T2");
  EXPECT_TRUE(Check().empty());
}

TEST_F(TimetableCheck, ClassWithTwoLessonsInOneSlot) {
  Place("101", 3, 4, "01", "T2");
  Place("101", 3, 4, "02", "T1");
  const auto findings = Check();
  ASSERT_EQ(Kinds(findings), std::vector<K>{K::kClassDoubleBooked});
  const Finding& f = findings[0];
  EXPECT_EQ(f.severity, Severity::kViolation);
  EXPECT_EQ(f.classCode, "101");
  EXPECT_EQ(f.day, 3);
  EXPECT_EQ(f.lessonNo, 4);
  EXPECT_EQ(f.text, "一（1）班 星期三第4节：同一节排了2节课（语文、数学）");
  EXPECT_EQ(FindingLine(f), "违规：" + f.text);
}

TEST_F(TimetableCheck, TeacherWithTwoLessonsInOneSlot) {
  Place("102", 2, 2, "02", "T1");
  Place("101", 2, 2, "02", "T1");
  const auto findings = Check();
  ASSERT_EQ(Kinds(findings), std::vector<K>{K::kTeacherDoubleBooked});
  EXPECT_EQ(findings[0].classCode, "101");
  EXPECT_EQ(findings[0].text, "一（1）班 星期二第2节：教师王伟同一节有2节课（一（1）班、一（2）班）");
}

TEST_F(TimetableCheck, LessonInACourseCellMarkedNever) {
  t.AddLimit(kCourseKind, "02", 3, 3, kNever);
  Place("101", 3, 3, "02", "T1");
  Place("101", 3, 4, "01", "T2");
  t.AddLimit(kCourseKind, "02", 3, 4, kNever);  // marks another course's lesson: no finding
  EXPECT_EQ(Kinds(Check()), std::vector<K>{K::kCourseNeverCell});
}

TEST_F(TimetableCheck, TwoClassesInOneSpecialCourseAtOnce) {
  t.AddLimit(kCourseKind, "06", 4, 4, 1);
  Place("101", 4, 4, "06", "T3");
  t.AddLesson("102", 4, 4, "06", "T2", 1);  // another teacher, so only the course clashes
  Place("101", 5, 1, "02", "T1");
  t.AddLesson("102", 5, 1, "02", "T3", 2);
  auto kinds = Kinds(Check());
  EXPECT_EQ(std::count(kinds.begin(), kinds.end(), K::kSpecialCourseClash), 0) << "not special yet";
  t.AddSpecialCourse("06");
  const auto findings = Check();
  kinds = Kinds(findings);
  ASSERT_EQ(std::count(kinds.begin(), kinds.end(), K::kSpecialCourseClash), 1);
  const auto clash = std::find_if(findings.begin(), findings.end(),
                                  [](const Finding& f) { return f.kind == K::kSpecialCourseClash; });
  EXPECT_EQ(clash->classCode, "101");
  EXPECT_EQ(clash->day, 4);
  EXPECT_EQ(clash->lessonNo, 4);
}

TEST_F(TimetableCheck, LessonOutsideTheWeek) {
  Place("101", 2, 7, "02", "T1");
  EXPECT_EQ(Kinds(Check(6)), std::vector<K>{K::kOutsideWeek});
  EXPECT_TRUE(Check(7).empty());
  Place("101", 6, 1, "01", "T2");
  Place("101", 1, 0, "01", "T2");
  EXPECT_EQ(Kinds(Check(7)), (std::vector<K>{K::kOutsideWeek, K::kOutsideWeek}));
  EXPECT_NE(Check(7)[1].text.find("第6天第1节"), std::string::npos);
}

TEST_F(TimetableCheck, LessonOfAClassCourseOrTeacherThatDoesNotExist) {
  t.AddLesson("999", 1, 1, "02", "T1", 2);
  t.AddLesson("101", 1, 2, "77", "T1", 2);
  t.AddLesson("101", 1, 3, "01", "ZZ", 2);
  const auto kinds = Kinds(Check());
  for (K k : {K::kUnknownClass, K::kUnknownCourse, K::kUnknownTeacher})
    EXPECT_EQ(std::count(kinds.begin(), kinds.end(), k), 1);
}

TEST_F(TimetableCheck, PlanRowWhoseBuildCountDiffersFromItsLessons) {
  Place("101", 1, 1, "02", "T1");
  Place("101", 2, 1, "02", "T1");
  t.db().Execute("update ClassPlantb set BuildCount=3 where ClassCode='101' and CourseCode='02'");
  const auto findings = Check();
  ASSERT_EQ(Kinds(findings), std::vector<K>{K::kBuildCountWrong});
  EXPECT_EQ(findings[0].day, 0);
  EXPECT_EQ(findings[0].text, "一（1）班：数学的已排课时数记为3，课表中实有2节");
}

TEST_F(TimetableCheck, MoreLessonsOfACourseOnADayThanTheDailyCap) {
  Place("101", 1, 1, "02", "T1");  // four a week: one a day
  Place("101", 1, 2, "02", "T1");
  Place("102", 1, 3, "02", "T1");  // five a week: two a day
  Place("102", 1, 4, "02", "T1");
  auto findings = Check();
  ASSERT_EQ(Kinds(findings), std::vector<K>{K::kCourseDayCap});
  EXPECT_EQ(findings[0].severity, Severity::kWarning);
  EXPECT_EQ(findings[0].text, "一（1）班 星期一：数学一天排了2节，超过每天最多1节");
  Place("102", 1, 5, "02", "T1");
  EXPECT_EQ(Kinds(Check()), (std::vector<K>{K::kCourseDayCap, K::kCourseDayCap}));
}

TEST_F(TimetableCheck, LessonNotTaughtByThePlanTeacherOrNotInThePlan) {
  t.AddLesson("101", 1, 1, "02", "T2", 2);
  t.AddLesson("102", 1, 2, "01", "T2", 2);
  const auto findings = Check();
  ASSERT_EQ(Kinds(findings), (std::vector<K>{K::kNotPlanTeacher, K::kNotInPlan}));
  EXPECT_EQ(findings[0].text, "一（1）班 星期一第1节：数学由李芳上，教学计划中的任课教师是王伟");
}

TEST_F(TimetableCheck, LessonsInAvoidCellsAndInClassOrTeacherNeverCells) {
  t.AddLimit(kCourseKind, "01", 1, 1, kAvoid);
  t.AddLimit(kClassKind, "101", 1, 2, kNever);
  t.AddLimit(kTeacherKind, "T1", 1, 3, kNever);
  t.AddLimit(kTeacherKind, "T2", 1, 3, kNever);  // another teacher's mark
  Place("101", 1, 1, "01", "T2");
  Place("101", 2, 2, "01", "T2");  // another day
  Place("101", 1, 2, "02", "T1");
  Place("102", 1, 3, "02", "T1");
  const auto findings = Check();
  EXPECT_EQ(Kinds(findings), (std::vector<K>{K::kCourseAvoidCell, K::kClassNeverCell, K::kTeacherNeverCell}));
  for (const Finding& f : findings) EXPECT_EQ(f.severity, Severity::kWarning);
}

TEST_F(TimetableCheck, ViolationsComeBeforeWarningsAndAreCounted) {
  t.AddLimit(kCourseKind, "01", 1, 1, kAvoid);
  Place("101", 1, 1, "01", "T2");
  Place("102", 5, 7, "02", "T1");
  const auto findings = Check();
  ASSERT_EQ(Kinds(findings), (std::vector<K>{K::kOutsideWeek, K::kCourseAvoidCell}));
  EXPECT_EQ(CountFindings(findings, Severity::kViolation), 1);
  EXPECT_EQ(CountFindings(findings, Severity::kWarning), 1);
  EXPECT_EQ(FindingLine(findings[1]).rfind("警告：", 0), 0u);
}

}  // namespace
}  // namespace orv
