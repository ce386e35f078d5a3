// SPDX-License-Identifier: GPL-3.0-or-later
// Code/name lookups.
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
  EXPECT_EQ(GetClassName(db, "11").value_or(std::string()), "一（1）班");
  EXPECT_EQ(GetClassShortName(db, "12").value_or(std::string()), "一（2）");
  EXPECT_EQ(GetCourseName(db, "02").value_or(std::string()), "数学");
  EXPECT_EQ(GetTeacherName(db, "002").value_or(std::string()), "李强");
  EXPECT_EQ(GetClassCode(db, "一（2）班").value_or(std::string()), "12");
  EXPECT_EQ(GetCourseCode(db, "语文").value_or(std::string()), "01");
  EXPECT_EQ(GetTeacherCode(db, "王芳").value_or(std::string()), "001");
  EXPECT_EQ(GetClassRoomCode(db, "计算机房").value_or(std::string()), "R1");

  EXPECT_EQ(GetCourseName(db, "99").value_or(std::string()), "");
  EXPECT_EQ(GetClassCode(db, "一（9）班").value_or(std::string()), "");
  EXPECT_EQ(GetCourseName(db, "").value_or(std::string()), "");
  EXPECT_EQ(GetTeacherCode(db, "王").value_or(std::string()), "") << "names match exactly, not by prefix";

  t.AddCourse("1", "一号课");
  EXPECT_EQ(GetCourseName(db, "1").value_or(std::string()), "一号课")
      << "codes compare as text: '1' is not '01'";
  EXPECT_EQ(GetCourseName(db, "001").value_or(std::string()), "");
  t.AddTeacher("003", "王芳");
  EXPECT_EQ(GetTeacherCode(db, "王芳").value_or(std::string()), "001")
      << "a duplicate name resolves to the first row";

  EXPECT_EQ(GetPlanTeacher(db, "11", "01").value_or(std::string()), "001");
  EXPECT_EQ(GetPlanTeacher(db, "11", "02").value_or(std::string()), "");
}

TEST_F(LookupsTest, ADatabaseFailureIsToldFromNotFound) {
  // With a table gone every statement on it fails: the lookup says so
  // instead of answering "" (unknown) or false (taken).
  t.db().Execute("drop table LessonListtb");
  t.db().Execute("drop table Coursetb");
  const Result<std::string> name = GetCourseName(t.db(), "01");
  ASSERT_FALSE(name);
  EXPECT_EQ(name.message(), "读取名称失败：数据库结构不完整或操作无法执行");
  EXPECT_EQ(name.value_or("?"), "?");
  EXPECT_FALSE(GetCourseCode(t.db(), "语文"));
  EXPECT_EQ(GetClassName(t.db(), "11").value_or(std::string()), "一（1）班") << "other tables still answer";
}

}  // namespace
}  // namespace orv
