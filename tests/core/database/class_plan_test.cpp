#include "core/database/class_plan.h"

#include <gtest/gtest.h>

#include "support/test_db.h"

namespace orv {
namespace {

using test::TestDb;
using Kind = LessonCountText::Kind;

TEST(ParseLessonCount, AcceptsSignedAndDecimalNumbersRoundedDown) {
  EXPECT_EQ(ParseLessonCount("5").value, 5);
  EXPECT_EQ(ParseLessonCount(" 12 ").value, 12);
  EXPECT_EQ(ParseLessonCount("2.").kind, Kind::Number);
  EXPECT_EQ(ParseLessonCount("2.").value, 2);
  EXPECT_EQ(ParseLessonCount(".5").value, 0);
  EXPECT_EQ(ParseLessonCount("-1").value, -1);
  EXPECT_EQ(ParseLessonCount("-.5").value, -1);
  EXPECT_EQ(ParseLessonCount("+3").value, 3);
  EXPECT_EQ(ParseLessonCount("0").kind, Kind::Number);
}

TEST(ParseLessonCount, TellsEmptyFromNotANumber) {
  EXPECT_EQ(ParseLessonCount("").kind, Kind::Empty);
  EXPECT_EQ(ParseLessonCount("  ").kind, Kind::Empty);
  for (const char* bad : {"a", "-", ".", "1a", "1-", "--", "1 2", "1.2.", "+-"})
    EXPECT_EQ(ParseLessonCount(bad).kind, Kind::NotNumber) << bad;
}

TEST(MissingPlanInputs, ReportsClassCourseTeacherThenCount) {
  EXPECT_EQ(MissingPlanInputs("一（1）班", "", "张", ""),
            (std::vector<PlanInput>{PlanInput::Course, PlanInput::CountMissing}));
  EXPECT_EQ(MissingPlanInputs("", " ", "", "x"),
            (std::vector<PlanInput>{PlanInput::Class, PlanInput::Course, PlanInput::Teacher,
                                    PlanInput::CountNotNumber}));
  EXPECT_TRUE(MissingPlanInputs("c", "k", "t", "-1").empty());
}

class ClassPlanTest : public ::testing::Test {
 protected:
  void SetUp() override {
    t.AddClass("11", "一（1）班");
    t.AddClass("12", "一（2）班");
    t.AddCourse("K", "语文");
    t.AddCourse("M", "数学");
    t.AddTeacher("A", "张");
    t.AddTeacher("B", "李");
  }
  long long CountOf(const char* cls, const char* course) {
    return t.Count(std::string("select Count from ClassPlantb where ClassCode='") + cls +
                   "' and CourseCode='" + course + "'");
  }
  long long PlanRows() { return t.Count("select count(*) from ClassPlantb"); }
  TestDb t;
};

TEST_F(ClassPlanTest, AppendingTheSameCourseAndTeacherAddsToTheCount) {
  EXPECT_EQ(AppendPlanLessons(t.db(), "11", "K", "A", 5), PlanOutcome::Done);
  EXPECT_EQ(t.Count("select BuildCount + IsAutoBuild from ClassPlantb"), 0);
  EXPECT_EQ(AppendPlanLessons(t.db(), "11", "K", "A", 2), PlanOutcome::Done);
  EXPECT_EQ(PlanRows(), 1);
  EXPECT_EQ(CountOf("11", "K"), 7);
  EXPECT_EQ(AppendPlanLessons(t.db(), "11", "K", "A", -1), PlanOutcome::Done);
  EXPECT_EQ(CountOf("11", "K"), 6);
  EXPECT_EQ(AppendPlanLessons(t.db(), "11", "M", "A", 0), PlanOutcome::Done);
  EXPECT_EQ(CountOf("11", "M"), 0);
}

TEST_F(ClassPlanTest, ASecondTeacherForACourseIsRefusedButAnotherClassMayHaveOne) {
  ASSERT_EQ(AppendPlanLessons(t.db(), "11", "K", "A", 5), PlanOutcome::Done);
  EXPECT_EQ(AppendPlanLessons(t.db(), "11", "K", "B", 3), PlanOutcome::OtherTeacher);
  EXPECT_EQ(PlanRows(), 1);
  EXPECT_EQ(CountOf("11", "K"), 5);
  EXPECT_EQ(AppendPlanLessons(t.db(), "12", "K", "B", 3), PlanOutcome::Done);
}

TEST_F(ClassPlanTest, AWeeklyCountBelowZeroIsRefused) {
  EXPECT_EQ(AppendPlanLessons(t.db(), "11", "K", "A", -1), PlanOutcome::NegativeCount);
  EXPECT_EQ(PlanRows(), 0);
  ASSERT_EQ(AppendPlanLessons(t.db(), "11", "K", "A", 2), PlanOutcome::Done);
  EXPECT_EQ(AppendPlanLessons(t.db(), "11", "K", "A", -3), PlanOutcome::NegativeCount);
  EXPECT_EQ(CountOf("11", "K"), 2);
  EXPECT_EQ(AppendPlanLessons(t.db(), "11", "K", "A", -2), PlanOutcome::Done);
  EXPECT_EQ(CountOf("11", "K"), 0);
  EXPECT_EQ(ModifyPlanRow(t.db(), "11", {"K", "A", 0}, "K", "A", -1), PlanOutcome::NegativeCount);
}

TEST_F(ClassPlanTest, ModifyChangesTeacherAndCountButNotCourseNorLessons) {
  t.AddPlan("11", "K", "A", 5);
  t.AddPlan("12", "K", "A", 5);
  t.AddLesson("11", 1, 1, "K", "A", 1);
  EXPECT_EQ(ModifyPlanRow(t.db(), "11", {"K", "A", 5}, "M", "A", 5), PlanOutcome::CourseChanged);
  EXPECT_EQ(ModifyPlanRow(t.db(), "11", {"K", "A", 5}, "K", "B", 4), PlanOutcome::Done);
  EXPECT_EQ(t.Count("select count(*) from ClassPlantb where ClassCode='11' and TeacherCode='B' and Count=4"),
            1);
  EXPECT_EQ(t.Count("select count(*) from ClassPlantb where ClassCode='12' and TeacherCode='A' and Count=5"),
            1);
  EXPECT_EQ(t.Count("select count(*) from LessonListtb where TeacherCode='A'"), 1);
  // The old selection no longer matches a stored row.
  EXPECT_EQ(ModifyPlanRow(t.db(), "11", {"K", "A", 5}, "K", "A", 1), PlanOutcome::NotFound);
}

TEST_F(ClassPlanTest, DeleteTakesExactlyTheRowsLessons) {
  t.AddPlan("11", "K", "A", 5);
  t.AddPlan("11", "M", "A", 4);
  t.AddPlan("12", "K", "A", 5);
  t.AddLesson("11", 1, 1, "K", "A", 0);
  t.AddLesson("11", 1, 2, "K", "A", 1);
  t.AddLesson("11", 1, 3, "K", "A", 2);
  t.AddLesson("11", 1, 4, "M", "A", 1);
  t.AddLesson("12", 1, 1, "K", "A", 1);
  EXPECT_EQ(DeletePlanRow(t.db(), "11", "K", "A"), PlanOutcome::Done);
  EXPECT_EQ(t.Count("select count(*) from LessonListtb"), 2);
  EXPECT_EQ(t.Count("select count(*) from LessonListtb where ClassCode='11' and CourseCode='K'"), 0);
  EXPECT_EQ(PlanRows(), 2);
  EXPECT_EQ(DeletePlanRow(t.db(), "11", "K", "A"), PlanOutcome::NotFound);
}

TEST_F(ClassPlanTest, ListsShowNamesAndTheTeacherTotal) {
  t.AddPlan("11", "K", "A", 5);
  t.AddPlan("12", "M", "A", 4);
  t.AddPlan("12", "K", "B", 3);
  const auto plan = LoadClassPlan(t.db(), "12");
  ASSERT_EQ(plan.size(), 2u);
  EXPECT_EQ(plan[0].courseName, "数学");
  EXPECT_EQ(plan[0].teacherName, "张");
  EXPECT_EQ(plan[1].courseCode, "K");
  EXPECT_EQ(plan[1].count, 3);
  const TeacherLoad load = LoadTeacherLoad(t.db(), "A");
  ASSERT_EQ(load.rows.size(), 2u);
  EXPECT_EQ(load.rows[0].className, "一（1）班");
  EXPECT_EQ(load.rows[1].courseName, "数学");
  EXPECT_EQ(load.total, 9);
}

}  // namespace
}  // namespace orv
