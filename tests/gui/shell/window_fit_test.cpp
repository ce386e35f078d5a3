// SPDX-License-Identifier: GPL-3.0-or-later
// Windows on a small screen: every window fits 1024×768, the grid windows
// grow with the window, a window comes back as large and where it was, and a
// place off every screen is ignored.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLayout>
#include <QTest>
#include <memory>

#include "core/demo/demo_school.h"
#include "core/scheduling/build_timetable.h"
#include "core/scheduling/random.h"
#include "gui/common/week_grid.h"
#include "gui/editors/class_plan_editor.h"
#include "gui/gallery/gallery.h"
#include "gui/shell/window_manners.h"
#include "support/test_program.h"

namespace fs = std::filesystem;

namespace orv::ui {
namespace {

// 1024×768 less a window frame and a panel.
constexpr int kFitWidth = 1024 - 16;
constexpr int kFitHeight = 768 - 60;

TEST(WindowFit, EveryGalleryWindowFitsA1024By768ScreenAndGridWindowsGrowWithTheWindow) {
  test::TestProgram program;
  fs::copy(ORVANDEL_MANUAL_DIR, program.dir() / "使用手册", fs::copy_options::recursive);
  ASSERT_TRUE(FillDemoSchool(*program.state().db, DemoOptions{}));
  ASSERT_TRUE(BuildTimetable(*program.state().db, program.state().week.lessonsPerDay, ProgramRandom()));
  GalleryList list;
  AddShellGallery(list);
  AddEditorGallery(list);
  AddLimitGallery(list);
  AddTimetableGallery(list);
  AddOutputGallery(list);
  AddQualityGallery(list);
  int gridWindows = 0;
  for (const GalleryEntry& entry : list) {
    const std::unique_ptr<QWidget> window(entry.make(program.ctx()));
    ASSERT_NE(window, nullptr) << entry.name.toStdString();
    window->show();
    if (window->layout()) window->layout()->activate();
    const QSize needed = window->minimumSize().expandedTo(window->minimumSizeHint());
    EXPECT_LE(needed.width(), kFitWidth) << entry.name.toStdString();
    EXPECT_LE(needed.height(), kFitHeight) << entry.name.toStdString();

    const QList<WeekGrid*> grids = window->findChildren<WeekGrid*>();
    if (grids.isEmpty()) continue;
    ++gridWindows;
    const QSize before = grids.front()->size();
    window->resize(window->size() + QSize(200, 120));
    if (window->layout()) window->layout()->activate();
    EXPECT_GT(grids.front()->width(), before.width()) << entry.name.toStdString();
    EXPECT_GT(grids.front()->height(), before.height()) << entry.name.toStdString();
  }
  EXPECT_GE(gridWindows, 6);  // the four restriction grids, fixed lessons, manual adjustment
}

TEST(WindowPlaces, APlaceOffEveryScreenIsIgnoredAndOneHalfOffIsBroughtBack) {
  const QList<QRect> screens = {QRect(0, 0, 1024, 768), QRect(1024, 0, 1280, 1024)};
  EXPECT_EQ(PlaceOnScreens(QRect(3000, 100, 600, 400), screens), std::nullopt);
  EXPECT_EQ(PlaceOnScreens(QRect(100, -500, 600, 400), screens), std::nullopt)
      << "title bar above the screens";
  EXPECT_EQ(PlaceOnScreens(QRect(200, 100, 600, 400), screens), QRect(200, 100, 600, 400));
  EXPECT_EQ(PlaceOnScreens(QRect(700, 500, 600, 400), screens), QRect(424, 368, 600, 400));
  EXPECT_EQ(PlaceOnScreens(QRect(1500, 50, 1600, 1200), screens), QRect(1024, 0, 1280, 1024));
}

TEST(WindowPlaces, AWindowComesBackAsLargeAndWhereItWasAndAPlaceOffTheScreensIsIgnored) {
  test::TestProgram program;
  WindowManners manners(program.ctx());
  qApp->installEventFilter(&manners);
  const QRect screen = QApplication::primaryScreen()->availableGeometry();
  const QRect chosen(screen.x() + 30, screen.y() + 40, 700, 500);
  {
    ClassPlanEditor editor(program.ctx());
    editor.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&editor));
    ASSERT_NE(editor.size(), chosen.size());
    editor.setGeometry(chosen);
    editor.close();
  }
  EXPECT_NE(program.Ini().find("[窗口]"), std::string::npos) << program.Ini();
  {
    ClassPlanEditor editor(program.ctx());
    editor.show();
    EXPECT_EQ(editor.geometry(), chosen);
    editor.close();
  }
  ASSERT_TRUE(program.state().settings().SetWindowPlace("frmClassPlanInput", {5000, 5000, 700, 500, false}));
  ClassPlanEditor editor(program.ctx());
  editor.show();
  EXPECT_TRUE(screen.intersects(editor.geometry())) << "still on the screen";
}

}  // namespace
}  // namespace orv::ui
