#include "core/database/class_plan.h"

#include <gtest/gtest.h>

#include "support/test_db.h"

namespace orv {
namespace {

using Kind = LessonCountText::Kind;

TEST(ParseLessonCount, TakesSignedAndDecimalNumbersRoundedDownAndTellsEmptyFromNotANumber) {
  const std::tuple<const char*, Kind, int> cases[] = {
      {" 12 ", Kind::Number, 12}, {"2.", Kind::Number, 2}, {".5", Kind::Number, 0}, {"-1", Kind::Number, -1},
      {"-.5", Kind::Number, -1},  {"+3", Kind::Number, 3}, {"0", Kind::Number, 0},  {"  ", Kind::Empty, 0}};
  for (const auto& [text, kind, value] : cases) {
    EXPECT_EQ(ParseLessonCount(text).kind, kind) << text;
    EXPECT_EQ(ParseLessonCount(text).value, value) << text;
  }
  for (const char* bad : {"a", "-", ".", "1a", "1-", "--", "1 2", "1.2.", "+-"})
    EXPECT_EQ(ParseLessonCount(bad).kind, Kind::NotNumber) << bad;
}

TEST(MissingPlanInputs, ReportsClassCourseTeacherThenCount) {
  EXPECT_EQ(MissingPlanInputs("", " ", "", "x"),
            (std::vector<PlanInput>{PlanInput::Class, PlanInput::Course, PlanInput::Teacher,
                                    PlanInput::CountNotNumber}));
}

class ClassPlanTest : public ::testing::Test {
 protected:
  // The plan rows of class 11 as "course teacher count", in table order.
  std::string Plan() {
    return t.db()
        .FirstText(
            "select group_concat(CourseCode||' '||TeacherCode||' '||Count, ', ') from ClassPlantb "
            "where ClassCode='11'")
        .value_or("");
  }
  test::TestDb t;
};

TEST_F(ClassPlanTest, AppendingAddsToTheSameTeachersRowNeverBelowZeroAndRefusesASecondTeacher) {
  EXPECT_EQ(AppendPlanLessons(t.db(), "11", "K", "A", 5).code(), 0);
  EXPECT_EQ(AppendPlanLessons(t.db(), "11", "K", "A", 2).code(), 0);
  EXPECT_EQ(Plan(), "K A 7");
  EXPECT_EQ(AppendPlanLessons(t.db(), "11", "K", "A", -1).code(), 0);
  EXPECT_EQ(AppendPlanLessons(t.db(), "11", "K", "A", -7).code(), kPlanNegativeCount);
  EXPECT_EQ(AppendPlanLessons(t.db(), "11", "M", "A", -1).code(), kPlanNegativeCount);
  EXPECT_EQ(AppendPlanLessons(t.db(), "11", "K", "B", 3).code(), kPlanOtherTeacher);
  EXPECT_EQ(AppendPlanLessons(t.db(), "11", "M", "A", 0).code(), 0);
  EXPECT_EQ(Plan(), "K A 6, M A 0");
  EXPECT_EQ(t.Count("select sum(BuildCount + IsAutoBuild) from ClassPlantb"), 0);
  EXPECT_EQ(AppendPlanLessons(t.db(), "12", "K", "B", 3).code(), 0);  // another class may
}

TEST_F(ClassPlanTest, ModifyChangesTeacherAndCountOfTheRowButNotCourseNorLessons) {
  t.AddPlan("11", "K", "A", 5);
  t.AddPlan("12", "K", "A", 5);
  t.AddLesson("11", 1, 1, "K", "A", 1);
  EXPECT_EQ(ModifyPlanRow(t.db(), "11", {"K", "A", 5}, "M", "A", 5).code(), kPlanCourseChanged);
  EXPECT_EQ(ModifyPlanRow(t.db(), "11", {"K", "A", 5}, "K", "A", -1).code(), kPlanNegativeCount);
  EXPECT_EQ(ModifyPlanRow(t.db(), "11", {"K", "A", 5}, "K", "B", 4).code(), 0);
  EXPECT_EQ(Plan(), "K B 4");
  EXPECT_EQ(t.Count("select count(*) from ClassPlantb where ClassCode='12' and TeacherCode='A' and Count=5"),
            1);
  EXPECT_EQ(t.Count("select count(*) from LessonListtb where TeacherCode='A'"), 1);
  // The old selection no longer matches a stored row.
  EXPECT_EQ(ModifyPlanRow(t.db(), "11", {"K", "A", 5}, "K", "A", 1).code(), kPlanRowNotFound);
}

TEST_F(ClassPlanTest, DeleteTakesTheRowAndExactlyItsLessons) {
  t.AddPlan("11", "K", "A", 5);
  t.AddPlan("11", "M", "A", 4);
  t.AddPlan("12", "K", "A", 5);
  t.AddLesson("11", 1, 1, "K", "A", 0);
  t.AddLesson("11", 1, 2, "K", "A", 2);
  t.AddLesson("11", 1, 4, "M", "A", 1);
  t.AddLesson("12", 1, 1, "K", "A", 1);
  t.AddLesson("11", 1, 5, "K", "B", 1);
  EXPECT_EQ(DeletePlanRow(t.db(), "11", "K", "A").code(), 0);
  EXPECT_EQ(Plan(), "M A 4");
  EXPECT_EQ(t.Count("select count(*) from ClassPlantb"), 2);
  EXPECT_EQ(t.db()
                .FirstText("select group_concat(ClassCode||CourseCode||TeacherCode, ' ') from LessonListtb")
                .value_or(""),
            "11MA 12KA 11KB");
  EXPECT_EQ(DeletePlanRow(t.db(), "11", "K", "A").code(), kPlanRowNotFound);
}

}  // namespace
}  // namespace orv
