// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/database/class_plan.h"

#include <gtest/gtest.h>

#include "support/test_db.h"

namespace orv {
namespace {

using Kind = LessonCountText::Kind;

TEST(ParseLessonCount, TakesSignedAndDecimalNumbersRoundedDownAndTellsEmptyFromNotANumber) {
  const std::tuple<const char*, Kind, int, bool> cases[] = {
      {" 12 ", Kind::Number, 12, true},
      {"2.", Kind::Number, 2, true},
      {".5", Kind::Number, 0, false},
      {"-1", Kind::Number, -1, true},
      {"-.5", Kind::Number, -1, false},
      {"+3", Kind::Number, 3, true},
      {"0", Kind::Number, 0, true},
      {"  ", Kind::Empty, 0, true},
      // Far beyond int: held at the end of the range, not converted into garbage.
      {"99999999999999999999", Kind::Number, 1000000000, true}};
  for (const auto& [text, kind, value, whole] : cases) {
    EXPECT_EQ(ParseLessonCount(text).kind, kind) << text;
    EXPECT_EQ(ParseLessonCount(text).value, value) << text;
    EXPECT_EQ(ParseLessonCount(text).whole, whole) << text;
  }
  for (const char* bad : {"a", "-", ".", "1a", "1-", "--", "1 2", "1.2.", "+-"})
    EXPECT_EQ(ParseLessonCount(bad).kind, Kind::NotNumber) << bad;
}

TEST(MissingPlanInputs, ReportsClassCourseTeacherThenCountWhichMustBeAWholeNumberFrom1To35) {
  EXPECT_EQ(MissingPlanInputs("", " ", "", "x"),
            (std::vector<PlanInput>{PlanInput::Class, PlanInput::Course, PlanInput::Teacher,
                                    PlanInput::CountNotNumber}));
  for (const char* bad : {"0", "-1", "36", "2147483647", "1.5", "-.5"})
    EXPECT_EQ(MissingPlanInputs("c", "k", "t", bad), std::vector<PlanInput>{PlanInput::CountOutOfRange})
        << bad;
  for (const char* good : {"1", "35", "2."})
    EXPECT_TRUE(MissingPlanInputs("c", "k", "t", good).empty()) << good;
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

TEST_F(ClassPlanTest, AppendingAddsToTheSameTeachersRowWithin1To35AndRefusesASecondTeacher) {
  EXPECT_EQ(AppendPlanLessons(t.db(), "11", "K", "A", 5).code(), 0);
  EXPECT_EQ(AppendPlanLessons(t.db(), "11", "K", "A", 2).code(), 0);
  EXPECT_EQ(Plan(), "K A 7");
  // A count outside 1..35 is refused, and so is a total beyond a week.
  for (int bad : {-1, 0, 36, 2147483647, -2147483647 - 1})
    EXPECT_EQ(AppendPlanLessons(t.db(), "11", "M", "A", bad).code(), kPlanCountOutOfRange) << bad;
  const Outcome over = AppendPlanLessons(t.db(), "11", "K", "A", 29);
  EXPECT_EQ(over.code(), kPlanCountOutOfRange);
  EXPECT_EQ(over.message(), "每周节数合计不能超过35");
  EXPECT_EQ(AppendPlanLessons(t.db(), "11", "M", "A", 0).message(), "每周节数必须是1到35之间的整数");
  EXPECT_EQ(AppendPlanLessons(t.db(), "11", "K", "A", 28).code(), 0);
  EXPECT_EQ(AppendPlanLessons(t.db(), "11", "K", "B", 3).code(), kPlanOtherTeacher);
  EXPECT_EQ(Plan(), "K A 35");
  EXPECT_EQ(t.Count("select sum(BuildCount + IsAutoBuild) from ClassPlantb"), 0);
  EXPECT_EQ(AppendPlanLessons(t.db(), "12", "K", "B", 3).code(), 0);  // another class may
  // A stored count beyond the week (written by another program) cannot
  // overflow the sum: it counts as 35, so nothing more fits.
  t.db().Execute("update ClassPlantb set Count=2147483647 where ClassCode='12'");
  EXPECT_EQ(AppendPlanLessons(t.db(), "12", "K", "B", 1).code(), kPlanCountOutOfRange);
}

TEST_F(ClassPlanTest, ModifyChangesTeacherAndCountOfTheRowButNotCourseNorLessons) {
  t.AddPlan("11", "K", "A", 5);
  t.AddPlan("12", "K", "A", 5);
  t.AddLesson("11", 1, 1, "K", "A", 1);
  EXPECT_EQ(ModifyPlanRow(t.db(), "11", {"K", "A", 5}, "M", "A", 5).code(), kPlanCourseChanged);
  for (int bad : {-1, 0, 36})
    EXPECT_EQ(ModifyPlanRow(t.db(), "11", {"K", "A", 5}, "K", "A", bad).code(), kPlanCountOutOfRange) << bad;
  EXPECT_EQ(ModifyPlanRow(t.db(), "11", {"K", "A", 5}, "K", "B", 4).code(), 0);
  EXPECT_EQ(Plan(), "K B 4");
  EXPECT_EQ(t.Count("select count(*) from ClassPlantb where ClassCode='12' and TeacherCode='A' and Count=5"),
            1);
  EXPECT_EQ(t.Count("select count(*) from LessonListtb where TeacherCode='A'"), 1);
  // The old selection no longer matches a stored row.
  EXPECT_EQ(ModifyPlanRow(t.db(), "11", {"K", "A", 5}, "K", "A", 1).code(), kPlanRowNotFound);
}

TEST_F(ClassPlanTest, ADamagedStoredCountIsListedClampedAndCanBeCorrected) {
  t.db().Execute(
      "insert into ClassPlantb (ClassCode,CourseCode,TeacherCode,Count) values "
      "('11','K','A',NULL),('11','M','A',2147483647),('11','N','A','many')");
  std::vector<int> listed;
  for (const PlanListRow& r : LoadClassPlan(t.db(), "11")) listed.push_back(r.count);
  EXPECT_EQ(listed, (std::vector<int>{0, 35, 0}));
  EXPECT_EQ(LoadTeacherLoad(t.db(), "A").total, 35);
  // The row as listed is the row the editor corrects.
  EXPECT_EQ(ModifyPlanRow(t.db(), "11", {"K", "A", 0}, "K", "A", 4).code(), 0);
  EXPECT_EQ(ModifyPlanRow(t.db(), "11", {"M", "A", 35}, "M", "A", 6).code(), 0);
  EXPECT_EQ(ModifyPlanRow(t.db(), "11", {"N", "A", 0}, "N", "A", 1).code(), 0);
  EXPECT_EQ(Plan(), "K A 4, M A 6, N A 1");
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
