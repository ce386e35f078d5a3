// SPDX-License-Identifier: GPL-3.0-or-later
// orvandel --self-check fails, and says why in Chinese, when the manual is
// missing or the database cannot be opened. Its report on a good installation
// is checked on the installed program.
#include <gtest/gtest.h>

#include <sstream>

#include "gui/shell/self_check.h"
#include "gui/shell/shell_support.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;

namespace orv::ui {
namespace {

TEST(SelfCheck, FailsWithoutManualOrReadableDatabase) {
  for (bool brokenDatabase : {false, true}) {
    SCOPED_TRACE(brokenDatabase ? "unreadable database" : "no manual");
    test::TempDir dir;
    if (brokenDatabase) {
      test::WriteFile(dir / "kb.mdb", "not a database");
      fs::create_directories(dir / "使用手册");
      test::WriteFile(dir / kManualFile, "<html></html>");
    }
    std::ostringstream out, err;
    EXPECT_EQ(RunSelfCheck(dir.Path(), out, err), 1);
    EXPECT_EQ(err.str().find(brokenDatabase ? "排课软件系统：打开数据库失败！" : "找不到使用手册文件："), 0u)
        << err.str();
    if (brokenDatabase) {
      EXPECT_EQ(test::ReadFile(dir / "kb.mdb"), "not a database")
          << "a file that is no database stays as it was";
    } else {
      EXPECT_TRUE(fs::is_regular_file(dir / "kb.mdb")) << "a new installation gets its database";
    }
  }
}

}  // namespace
}  // namespace orv::ui
