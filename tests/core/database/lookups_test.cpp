// Code/name lookups and the free-slot tests.
#include <gtest/gtest.h>

#include "core/database/lookups.h"
#include "support/test_db.h"

namespace orv {
namespace {

class LookupsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    t.AddClass("11", "一（1）班", "一年级（1）班", "一（1）");
    t.AddClass("12", "一（2）班", "一年级（2）班", "一（2）");
    t.AddCourse("01", "语文");
    t.AddCourse("02", "数学");
    t.AddTeacher("001", "王芳");
    t.AddTeacher("002", "李强");
    t.AddClassRoom("R1", "计算机房");
    t.AddPlan("11", "01", "001", 6);
  }
  test::TestDb t;
};

TEST_F(LookupsTest, TranslateBothWaysAndGiveEmptyForUnknown) {
  TimetableDb& db = t.db();
  EXPECT_EQ(GetClassName(db, "11"), "一（1）班");
  EXPECT_EQ(GetClassShortName(db, "12"), "一（2）");
  EXPECT_EQ(GetCourseName(db, "02"), "数学");
  EXPECT_EQ(GetTeacherName(db, "002"), "李强");
  EXPECT_EQ(GetClassCode(db, "一（2）班"), "12");
  EXPECT_EQ(GetCourseCode(db, "语文"), "01");
  EXPECT_EQ(GetTeacherCode(db, "王芳"), "001");
  EXPECT_EQ(GetClassRoomCode(db, "计算机房"), "R1");

  EXPECT_EQ(GetCourseName(db, "99"), "");
  EXPECT_EQ(GetClassCode(db, "一（9）班"), "");
  EXPECT_EQ(GetCourseName(db, ""), "");
  EXPECT_EQ(GetTeacherCode(db, "王"), "") << "names match exactly, not by prefix";

  t.AddCourse("1", "一号课");
  EXPECT_EQ(GetCourseName(db, "1"), "一号课") << "codes compare as text: '1' is not '01'";
  EXPECT_EQ(GetCourseName(db, "001"), "");
  t.AddTeacher("003", "王芳");
  EXPECT_EQ(GetTeacherCode(db, "王芳"), "001") << "a duplicate name resolves to the first row";

  EXPECT_EQ(GetPlanTeacher(db, "11", "01"), "001");
  EXPECT_EQ(GetPlanTeacher(db, "11", "02"), "");
}

TEST_F(LookupsTest, SlotTestsSeeEveryKindOfLessonButFixedTestsOnlyFixedOnes) {
  TimetableDb& db = t.db();
  t.AddLesson("11", 1, 1, "01", "001", 0);  // fixed
  t.AddLesson("11", 1, 2, "01", "001", 1);  // automatic
  t.AddLesson("11", 1, 3, "01", "001", 2);  // manual

  for (int lesson = 1; lesson <= 3; ++lesson) {
    EXPECT_FALSE(CheckClassSlot(db, "11", 1, lesson)) << lesson;
    EXPECT_FALSE(CheckTeacherSlot(db, "001", 1, lesson)) << lesson;
    EXPECT_FALSE(CheckSlot(db, "11", "01", "001", 1, lesson)) << lesson;
  }
  EXPECT_FALSE(CheckClassFixedSlot(db, "11", 1, 1));
  EXPECT_FALSE(CheckFixedSlot(db, "11", "01", "001", 1, 1));
  EXPECT_TRUE(CheckFixedSlot(db, "11", "01", "001", 1, 2)) << "an automatic lesson is not fixed";
  EXPECT_TRUE(CheckFixedSlot(db, "11", "01", "001", 1, 3)) << "a manual lesson is not fixed";

  EXPECT_TRUE(CheckSlot(db, "11", "01", "001", 1, 4));
  EXPECT_TRUE(CheckSlot(db, "11", "01", "001", 2, 1)) << "another day";
}

TEST_F(LookupsTest, FreeClassWithBusyTeacherIsNotAFreeSlot) {
  t.AddLesson("12", 2, 3, "02", "002", 1);
  EXPECT_TRUE(CheckClassSlot(t.db(), "11", 2, 3));
  EXPECT_FALSE(CheckSlot(t.db(), "11", "02", "002", 2, 3));
  EXPECT_TRUE(CheckFixedSlot(t.db(), "11", "02", "002", 2, 3));
  t.AddLesson("12", 2, 4, "02", "002", 0);
  EXPECT_FALSE(CheckFixedSlot(t.db(), "11", "02", "002", 2, 4));
}

TEST_F(LookupsTest, DatabaseErrorsGiveTheFailureValues) {
  // With a table gone every statement on it fails: lookups give "" and
  // slot tests report the slot as taken.
  t.db().Execute("drop table LessonListtb");
  t.db().Execute("drop table Coursetb");
  EXPECT_EQ(GetCourseName(t.db(), "01"), "");
  EXPECT_FALSE(CheckClassSlot(t.db(), "11", 1, 1));
  EXPECT_FALSE(CheckTeacherFixedSlot(t.db(), "001", 1, 1));
  EXPECT_FALSE(CheckSlot(t.db(), "11", "01", "001", 1, 1));
  EXPECT_EQ(GetClassName(t.db(), "11"), "一（1）班") << "other tables still answer";
}

}  // namespace
}  // namespace orv
