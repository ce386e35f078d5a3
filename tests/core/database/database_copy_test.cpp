// SPDX-License-Identifier: GPL-3.0-or-later
// The database copy goes through the hidden file beside the target: VACUUM
// INTO must accept that empty file, and nothing is left beside afterwards.
#include <gtest/gtest.h>

#include "core/database/database_copy.h"
#include "core/database/lookups.h"
#include "support/test_db.h"

namespace fs = std::filesystem;

namespace orv {
namespace {

TEST(DatabaseCopy, ReplacesAnOlderCopyWholeAndLeavesNothingBeside) {
  test::TestDb t;
  t.AddClass("11", "一（1）班");
  const fs::path copy = t.dir() / "copy.mdb";
  test::WriteFile(copy, "an older copy");
  ASSERT_TRUE(SaveDatabaseCopy(t.db(), copy));
  EXPECT_EQ(GetClassName(*test::OpenDb(copy), "11").value_or(std::string()), "一（1）班");
  EXPECT_FALSE(SaveDatabaseCopy(t.db(), t.dir() / "无此文件夹" / "copy.mdb"));
  for (const auto& e : fs::directory_iterator(t.dir().Path()))
    EXPECT_NE(e.path().filename().string().front(), '.') << e.path();
}

}  // namespace
}  // namespace orv
