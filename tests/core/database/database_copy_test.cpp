// The database copy: written beside the target and renamed over it, so an
// older copy survives a failure and a link at the target is replaced, not
// followed.
#include <gtest/gtest.h>

#include "core/database/database_copy.h"
#include "core/database/lookups.h"
#include "support/test_db.h"

namespace fs = std::filesystem;

namespace orv {
namespace {

TEST(DatabaseCopy, ReplacesTheTargetWholeAndNeverWritesThroughALink) {
  test::TestDb t;
  t.AddClass("11", "一（1）班");
  const fs::path copy = t.dir() / "copy.mdb", victim = t.dir() / "victim.txt";
  test::WriteFile(copy, "an older copy");
  test::WriteFile(victim, "keep me");

  ASSERT_TRUE(SaveDatabaseCopy(t.db(), copy));
  EXPECT_EQ(GetClassName(*test::OpenDb(copy), "11"), "一（1）班");

  fs::remove(copy);
  fs::create_symlink(victim, copy);
  ASSERT_TRUE(SaveDatabaseCopy(t.db(), copy));
  EXPECT_EQ(test::ReadFile(victim), "keep me");
  EXPECT_FALSE(fs::is_symlink(copy));
  EXPECT_EQ(GetClassName(*test::OpenDb(copy), "11"), "一（1）班");

  const Outcome nowhere = SaveDatabaseCopy(t.db(), t.dir() / "无此文件夹" / "copy.mdb");
  EXPECT_FALSE(nowhere);
  size_t hidden = 0;
  for (const auto& e : fs::directory_iterator(t.dir().Path()))
    hidden += e.path().filename().string().front() == '.' ? 1 : 0;
  EXPECT_EQ(hidden, 0u) << "nothing left beside the copies";
}

}  // namespace
}  // namespace orv
