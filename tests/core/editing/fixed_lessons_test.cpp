// SPDX-License-Identifier: GPL-3.0-or-later
// Lessons fixed in advance, beyond what the window tests reach: refusals,
// all-or-nothing writes and the teacher's own plan row.
#include "core/editing/fixed_lessons.h"

#include <gtest/gtest.h>

#include "support/test_db.h"

namespace orv {
namespace {

class FixedLessons : public ::testing::Test {
 protected:
  FixedLessons() {
    t.AddPlan("11", "01", "T1", 2);
    t.AddPlan("11", "02", "T2", 1);
  }
  // Every lesson and plan row, to show what a write changed.
  std::string Snapshot() {
    std::string out;
    Cursor c = t.db().Query(
        "select ClassCode||Day||LessonNo||CourseCode||TeacherCode||SetFlag from LessonListtb "
        "union all select ClassCode||CourseCode||TeacherCode||'='||BuildCount from ClassPlantb order by 1");
    while (c.Next()) out += c.Text(0) + " ";
    return out;
  }
  test::TestDb t;
};

TEST_F(FixedLessons, RefusalsAndFailuresWriteNothing) {
  t.AddPlan("12", "03", "T1", 1);
  t.AddLesson("11", 2, 2, "02", "T2", 0);  // the class's own; 02 is now all fixed
  t.AddLesson("12", 4, 1, "03", "T1", 0);  // T1 fixed in another class
  t.AddLesson("11", 5, 5, "02", "T2", 1);
  const struct {
    const char* course;
    LessonSlot slot;
    int lessonsPerDay;
    const char* why;
  } cases[] = {
      {"01", {2, 2}, 6, "该班级在这节课已经有固定课程"},
      {"01", {4, 1}, 6, "任课老师在这节课已经有固定课程"},
      {"02", {1, 1}, 6, "这门课程的课时已经全部预先安排"},
      {"03", {1, 1}, 6, "该班级的教学计划中没有这门课程"},
      {"01", {1, 7}, 6, "该单元格不是上课时间"},
      {"01", {6, 1}, 7, "该单元格不是上课时间"},
  };
  const std::string before = Snapshot();
  for (const auto& c : cases) {
    EXPECT_EQ(PlaceFixedLesson(t.db(), "11", c.course, c.slot, c.lessonsPerDay).message(), c.why);
    EXPECT_EQ(Snapshot(), before) << c.why;
  }
  EXPECT_EQ(DeleteFixedLesson(t.db(), "11", {5, 5}).message(), "这节课没有固定课程") << "an automatic lesson";
  // Replacing the automatic lesson changes three rows; failing at the last, none.
  t.db().Execute(
      "create trigger stop before update on ClassPlantb when new.CourseCode='01' "
      "begin select raise(abort, 'no'); end");
  EXPECT_TRUE(PlaceFixedLesson(t.db(), "11", "01", {5, 5}, 6).message().starts_with("写入固定课程失败："));
  t.AddLesson("11", 1, 1, "01", "T1", 0);
  const std::string withFixed = Snapshot();
  EXPECT_TRUE(DeleteFixedLesson(t.db(), "11", {1, 1}).message().starts_with("删除固定课程失败："));
  EXPECT_EQ(Snapshot(), withFixed);
  t.db().Execute("drop trigger stop");
  ASSERT_TRUE(DeleteFixedLesson(t.db(), "11", {1, 1}).ok());
  const int chinese = t.BuildCount("11", "01"), maths = t.BuildCount("11", "02");
  ASSERT_TRUE(PlaceFixedLesson(t.db(), "11", "01", {5, 5}, 6).ok()) << "in place of the automatic 数学";
  EXPECT_EQ(t.BuildCount("11", "01") - chinese, 1);
  EXPECT_EQ(t.BuildCount("11", "02") - maths, -1);
  EXPECT_TRUE(PlaceFixedLesson(t.db(), "11", "01", {1, 7}, 7).ok()) << "lesson 7 of a seven-lesson day";
}

TEST_F(FixedLessons, RemovingLowersTheCountOfTheLessonsOwnPlanRowOnly) {
  // After a change of teacher the class has the course twice in its plan.
  t.AddPlan("11", "01", "T3", 2);
  t.AddLesson("11", 1, 1, "01", "T1", 1);
  t.AddLesson("11", 1, 2, "01", "T3", 0);
  t.db().Execute("update ClassPlantb set BuildCount=1 where CourseCode='01'");
  ASSERT_TRUE(DeleteFixedLesson(t.db(), "11", {1, 2}).ok());
  EXPECT_EQ(Snapshot(), "1101T1=1 1101T3=0 1102T2=0 111101T11 ");
}

}  // namespace
}  // namespace orv
