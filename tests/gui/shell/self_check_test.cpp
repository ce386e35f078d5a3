// orvandel --self-check: what it reports on a fresh program directory, and
// that a failed start or a missing manual is a failure, said in Chinese.
#include <gtest/gtest.h>

#include <sstream>

#include "gui/shell/self_check.h"
#include "gui/shell/shell_support.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;

namespace orv::ui {
namespace {

TEST(SelfCheck, ReportsTheFilesInUseAndFailsWithoutDatabaseOrManual) {
  struct Case {
    const char* name;
    bool brokenDatabase;
    bool manual;
    int exitCode;
    const char* errorText;  // "" when nothing may be said
  };
  for (const Case& c : {Case{"fresh directory", false, true, 0, ""},
                        Case{"no manual", false, false, 1, "找不到使用手册文件："},
                        Case{"unreadable database", true, true, 1, "排课软件系统：打开数据库失败！"}}) {
    SCOPED_TRACE(c.name);
    test::TempDir dir;
    if (c.brokenDatabase) test::WriteFile(dir / "kb.mdb", "not a database");
    if (c.manual) {
      fs::create_directories(dir / "使用手册");
      test::WriteFile(dir / kManualFile, "<html></html>");
    }
    std::ostringstream out, err;
    EXPECT_EQ(RunSelfCheck(dir.Path(), out, err), c.exitCode);
    if (*c.errorText) {
      EXPECT_EQ(err.str().find(c.errorText), 0u) << err.str();
    } else {
      EXPECT_EQ(err.str(), "");
    }
    if (c.brokenDatabase) {
      EXPECT_EQ(test::ReadFile(dir / "kb.mdb"), "not a database")
          << "a file that is no database stays as it was";
      continue;
    }
    EXPECT_TRUE(fs::is_regular_file(dir / "kb.mdb")) << "a new installation gets its database";
    EXPECT_NE(out.str().find("数据库：" + (dir / "kb.mdb").string() + "\n"), std::string::npos) << out.str();
    EXPECT_EQ(out.str().find("使用手册：") != std::string::npos, c.manual) << out.str();
  }
}

}  // namespace
}  // namespace orv::ui
