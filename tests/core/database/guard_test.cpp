// SPDX-License-Identifier: GPL-3.0-or-later
// Guarded is where every database failure gets the words a user reads: the
// caller's prefix, then SQLite's reason in Chinese, for both kinds of return.
#include <gtest/gtest.h>

#include <stdexcept>

#include "core/database/guard.h"
#include "support/test_db.h"

namespace orv {
namespace {

TEST(Guarded, TurnsAThrowIntoTheFailureForOutcomeAndResult) {
  test::TestDb t;
  const Outcome failed = Guarded("读取课表失败：", [&]() -> Outcome {
    t.db().Execute("delete from 无此表");
    return Outcome::Ok();
  });
  EXPECT_FALSE(failed);
  EXPECT_EQ(failed.code(), Outcome::kFailed);
  EXPECT_EQ(failed.message(), "读取课表失败：数据库结构不完整或操作无法执行");

  const Result<int> none =
      Guarded("统计数据失败：", []() -> Result<int> { throw std::runtime_error("not from SQLite"); });
  EXPECT_FALSE(none);
  EXPECT_EQ(none.message(), "统计数据失败：程序内部错误");
}

TEST(Guarded, PassesWhatTheBodyReturnsUntouched) {
  const Result<int> value = Guarded("x：", []() -> Result<int> { return 7; });
  ASSERT_TRUE(value);
  EXPECT_EQ(*value, 7);
  const Outcome refused =
      Guarded("x：", []() -> Outcome { return Outcome::Fail("课程名单中没有这门课程", -101); });
  EXPECT_EQ(refused.code(), -101);
  EXPECT_EQ(refused.message(), "课程名单中没有这门课程");
}

}  // namespace
}  // namespace orv
