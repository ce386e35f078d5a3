// The basic-data menu items open their editors as modal windows.
#include "gui/shell/main_window.h"

#include "editor_test_support.h"

namespace orv::test {
namespace {

TEST(BasicDataMenu, EachItemOpensItsEditor) {
  EditorBench bench;
  ui::FrmMain window(bench.ctx());
  const std::pair<QAction*, const char*> items[] = {
      {window.mnuClassList, "frmClassInput"},     {window.mnuCourseList, "frmCourseInput"},
      {window.mnuTeacherList, "frmTeacherInput"}, {window.mnuClassRoomList, "frmClassRoomInput"},
      {window.mnuClassPlan, "frmClassPlanInput"},
  };
  for (const auto& [action, expected] : items) {
    EXPECT_TRUE(action->isEnabled()) << expected;
    QString opened;
    bench.prompter().QueueModal([&](QDialog& d) {
      opened = d.objectName();
      Click(Child<QPushButton>(d, "cmdOK"));
    });
    action->trigger();
    EXPECT_EQ(opened, expected);
  }
  EXPECT_TRUE(bench.prompter().AllAnswersUsed());
}

}  // namespace
}  // namespace orv::test
