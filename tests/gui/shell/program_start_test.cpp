// The desktop program's start: caption, the "open with" argument, failure.
#include <gtest/gtest.h>

#include "gui/shell/program_start.h"
#include "support/test_program.h"

namespace fs = std::filesystem;

namespace orv::ui {
namespace {

QString Q(const fs::path& p) { return QString::fromStdString(p.string()); }

TEST(ProgramStart, CaptionNamesSchoolAndDatabase) {
  test::TempDir dir;
  test::WriteFile(dir / "kbxt.ini", "[USERINFO]\nUSER=第一中学\n");
  ASSERT_TRUE(TimetableDb::Create(dir / "kb.mdb"));
  test::ScriptedPrompter prompter;
  auto program = StartProgram(prompter, dir.Path());
  ASSERT_TRUE(program);
  EXPECT_EQ(program->window->windowTitle(), "第一中学排课软件系统 -- " + Q(dir / "kb.mdb"));
  EXPECT_EQ(program->window->objectName(), "frmMain");
  EXPECT_TRUE(prompter.messages().empty());
}

TEST(ProgramStart, EmptySchoolName) {
  test::TempDir dir;
  ASSERT_TRUE(TimetableDb::Create(dir / "kb.mdb"));
  test::ScriptedPrompter prompter;
  auto program = StartProgram(prompter, dir.Path());
  ASSERT_TRUE(program);
  EXPECT_EQ(program->window->windowTitle(), "排课软件系统 -- " + Q(dir / "kb.mdb"));
  EXPECT_EQ(program->state.appTitle, "排课软件系统");
}

TEST(ProgramStart, ExplicitDatabaseIsOpenedWithoutChangingTheSetting) {
  test::TempDir dir;
  ASSERT_TRUE(TimetableDb::Create(dir / "kb.mdb"));
  ASSERT_TRUE(TimetableDb::Create(dir / "other.db"));
  test::WriteFile(dir / "kbxt.ini", "[DB]\nFILENAME=" + (dir / "kb.mdb").string() + "\n");
  const std::string ini = test::ReadFile(dir / "kbxt.ini");
  test::ScriptedPrompter prompter;
  auto program = StartProgram(prompter, dir.Path(), (dir / "other.db").string());
  ASSERT_TRUE(program);
  EXPECT_EQ(program->state.db->Path(), dir / "other.db");
  EXPECT_TRUE(program->window->windowTitle().endsWith(" -- " + Q(dir / "other.db")));
  EXPECT_EQ(test::ReadFile(dir / "kbxt.ini"), ini);
}

TEST(ProgramStart, UnopenableDatabaseSaysSoAndStops) {
  test::TempDir dir;
  test::WriteFile(dir / "kbxt.ini", "[USERINFO]\nUSER=第一中学\n");
  test::WriteFile(dir / "broken.mdb", "not a database");
  test::ScriptedPrompter prompter;
  EXPECT_FALSE(StartProgram(prompter, dir.Path(), (dir / "broken.mdb").string()));
  ASSERT_EQ(prompter.messages().size(), 1u);
  EXPECT_EQ(prompter.lastMessage().icon, MessageIcon::Critical);
  EXPECT_EQ(prompter.lastMessage().title, "第一中学排课软件系统");
  EXPECT_EQ(prompter.lastMessage().text, "打开数据库失败！");

  // The configured database is held by another copy of the program.
  ASSERT_TRUE(TimetableDb::Create(dir / "kb.mdb"));
  auto holder = TimetableDb::Open(dir / "kb.mdb");
  ASSERT_TRUE(holder);
  EXPECT_FALSE(StartProgram(prompter, dir.Path()));
  EXPECT_EQ(prompter.lastMessage().text, "打开数据库失败！");
}

}  // namespace
}  // namespace orv::ui
