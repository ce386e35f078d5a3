// SPDX-License-Identifier: GPL-3.0-or-later
// Whether a class or teacher is free at one slot, as the rule book sees the
// stored timetable: every kind of lesson counts, or only the fixed ones.
#include <gtest/gtest.h>

#include "core/rules/slot_queries.h"
#include "support/test_db.h"

namespace orv {
namespace {

class SlotQueries : public ::testing::Test {
 protected:
  void SetUp() override {
    t.AddClass("11", "一（1）班");
    t.AddClass("12", "一（2）班");
    t.AddCourse("01", "语文");
    t.AddCourse("02", "数学");
    t.AddTeacher("001", "王芳");
    t.AddTeacher("002", "李强");
    t.AddPlan("11", "01", "001", 6);
  }
  test::TestDb t;
};

TEST_F(SlotQueries, SlotTestsSeeEveryKindOfLessonButFixedTestsOnlyFixedOnes) {
  TimetableDb& db = t.db();
  t.AddLesson("11", 1, 1, "01", "001", 0);  // fixed
  t.AddLesson("11", 1, 2, "01", "001", 1);  // automatic
  t.AddLesson("11", 1, 3, "01", "001", 2);  // manual

  for (int lesson = 1; lesson <= 3; ++lesson) {
    EXPECT_FALSE(CheckClassSlot(db, "11", 1, lesson).value_or(false)) << lesson;
    EXPECT_FALSE(CheckTeacherSlot(db, "001", 1, lesson).value_or(false)) << lesson;
    EXPECT_FALSE(CheckSlot(db, "11", "01", "001", 1, lesson).value_or(false)) << lesson;
  }
  EXPECT_FALSE(CheckClassFixedSlot(db, "11", 1, 1).value_or(false));
  EXPECT_FALSE(CheckFixedSlot(db, "11", "01", "001", 1, 1).value_or(false));
  EXPECT_TRUE(CheckFixedSlot(db, "11", "01", "001", 1, 2).value_or(false))
      << "an automatic lesson is not fixed";
  EXPECT_TRUE(CheckFixedSlot(db, "11", "01", "001", 1, 3).value_or(false)) << "a manual lesson is not fixed";

  EXPECT_TRUE(CheckSlot(db, "11", "01", "001", 1, 4).value_or(false));
  EXPECT_TRUE(CheckSlot(db, "11", "01", "001", 2, 1).value_or(false)) << "another day";
}

TEST_F(SlotQueries, FreeClassWithBusyTeacherIsNotAFreeSlot) {
  t.AddLesson("12", 2, 3, "02", "002", 1);
  EXPECT_TRUE(CheckClassSlot(t.db(), "11", 2, 3).value_or(false));
  EXPECT_FALSE(CheckSlot(t.db(), "11", "02", "002", 2, 3).value_or(false));
  EXPECT_TRUE(CheckFixedSlot(t.db(), "11", "02", "002", 2, 3).value_or(false));
  t.AddLesson("12", 2, 4, "02", "002", 0);
  EXPECT_FALSE(CheckFixedSlot(t.db(), "11", "02", "002", 2, 4).value_or(false));
}

TEST_F(SlotQueries, ADatabaseFailureIsToldFromATakenSlot) {
  t.db().Execute("drop table LessonListtb");
  EXPECT_FALSE(CheckClassSlot(t.db(), "11", 1, 1));
  EXPECT_FALSE(CheckTeacherFixedSlot(t.db(), "001", 1, 1));
  const Result<bool> slot = CheckSlot(t.db(), "11", "01", "001", 1, 1);
  ASSERT_FALSE(slot);
  EXPECT_EQ(slot.message(), "读取课表失败：数据库结构不完整或操作无法执行");
}

}  // namespace
}  // namespace orv
