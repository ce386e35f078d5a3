// The week grid, once across its designs: restriction and pre-arranged grids
// with six or seven lessons, and the narrower manual-adjustment grid.
#include "gui/timetable/week_grid.h"

#include <gtest/gtest.h>

#include "support/week_grid_clicks.h"

namespace orv::ui {
namespace {

struct GridCase {
  const char* name;
  const WeekGridDesign& (*design)();
  int lessons, dayWidth, rowHeight;  // pixels
};

class WeekGridTest : public ::testing::TestWithParam<GridCase> {
 protected:
  WeekGridTest() : grid(GetParam().design()) {
    grid.Setup(GetParam().lessons);
    grid.show();
    QObject::connect(&grid, &WeekGrid::lessonReleased,
                     [this](Qt::MouseButton b, GridLesson at, const QPoint&) {
                       releases.push_back({b, at.day, at.lessonNo});
                     });
  }
  int Lessons() const { return GetParam().lessons; }
  WeekGrid grid;
  std::vector<std::array<int, 3>> releases;  // button, day, lesson
};

TEST_P(WeekGridTest, LayoutFollowsTheDesign) {
  ASSERT_EQ(grid.rowCount(), Lessons() + 2);
  const QStringList days{"※", "星期一", "星期二", "星期三", "星期四", "星期五"};
  const QStringList numerals{"", "一", "二", "三", "四", "", "五", "六", "七"};
  for (int row = 0; row < grid.rowCount(); ++row) {
    EXPECT_EQ(grid.rowHeight(row), row == 5 ? 6 : GetParam().rowHeight);
    EXPECT_EQ(grid.item(row, 0)->text(), row == 0 ? "※" : numerals[row]);
    for (int col = 0; col < 6; ++col) {
      EXPECT_EQ(grid.columnWidth(col), col == 0 ? 33 : GetParam().dayWidth);
      EXPECT_EQ(grid.item(row, col)->textAlignment(), static_cast<int>(Qt::AlignCenter));
      if (row == 0) EXPECT_EQ(grid.item(0, col)->text(), days[col]);
    }
  }
  EXPECT_TRUE(grid.viewport()->rect().contains(grid.CellRect(grid.rowCount() - 1, 5))) << "no scrolling";
}

TEST_P(WeekGridTest, OnlyLessonCellsReportAReleaseAndBecomeCurrent) {
  for (int row = 0; row < grid.rowCount(); ++row)
    for (int col = 0; col < 6; ++col) {
      grid.SetCurrent({2, 2});
      releases.clear();
      const Qt::MouseButton button = (row + col) % 2 ? Qt::RightButton : Qt::LeftButton;
      test::ClickCell(&grid, button, row, col);
      if (row == 0 || row == 5 || col == 0) {
        EXPECT_TRUE(releases.empty() && grid.Current() == (GridLesson{2, 2})) << row << "," << col;
        continue;
      }
      const int lesson = row < 5 ? row : row - 1;
      EXPECT_EQ(releases, (std::vector<std::array<int, 3>>{{button, col, lesson}}));
      EXPECT_EQ(grid.Current(), (GridLesson{col, lesson}));
    }
}

TEST_P(WeekGridTest, CellsKeepWhatTheyShowUntilClearedAndHeadersNeverChange) {
  const GridLesson last{5, Lessons()};
  grid.PaintAll(kGridYellow);
  grid.SetText(last, "数学\r\n一（1）");
  grid.SetColor(last, kGridRed);
  grid.SetToolTip(last, "王老师");
  for (GridLesson outside : {GridLesson{6, 1}, {1, Lessons() + 1}, {0, 1}, {1, 0}})
    grid.SetText(outside, "x");
  grid.Setup(Lessons());
  EXPECT_EQ(grid.Text(last) + grid.item(Lessons() + 1, 5)->toolTip(), "数学\n一（1）王老师");
  EXPECT_EQ(grid.Color(last), kGridRed);
  EXPECT_EQ(grid.Color({1, 1}), kGridYellow);
  for (auto [row, col] : {std::pair{0, 1}, {5, 1}, {1, 0}}) {
    EXPECT_NE(grid.item(row, col)->background().color(), kGridYellow);
    EXPECT_NE(grid.item(row, col)->text(), "x");
  }
  grid.SetCurrent(last);
  grid.ClearLessons();
  EXPECT_EQ(grid.Text(last) + grid.item(Lessons() + 1, 5)->toolTip(), "");
  EXPECT_EQ(grid.Color(last), grid.PlainColor());
  EXPECT_FALSE(grid.Current().has_value());
}

TEST_P(WeekGridTest, KeysMoveWithinTheLessonsAndOpenTheMenuOnTheCurrentOne) {
  grid.SetCurrent({1, 4});
  QTest::keyClick(&grid, Qt::Key_Down);  // over the separator
  EXPECT_EQ(grid.Current(), (GridLesson{1, 5}));
  for (Qt::Key key : {Qt::Key_Down, Qt::Key_Down, Qt::Key_Down, Qt::Key_Left, Qt::Key_Right, Qt::Key_Right,
                      Qt::Key_Right, Qt::Key_Right, Qt::Key_Right, Qt::Key_Menu, Qt::Key_F10, Qt::Key_Space})
    QTest::keyClick(&grid, key);
  QTest::keyClick(&grid, Qt::Key_F10, Qt::ShiftModifier);
  const int n = Lessons();
  EXPECT_EQ(releases, (std::vector<std::array<int, 3>>{
                          {Qt::RightButton, 5, n}, {Qt::LeftButton, 5, n}, {Qt::RightButton, 5, n}}));
}

INSTANTIATE_TEST_SUITE_P(Designs, WeekGridTest,
                         ::testing::Values(GridCase{"Restriction6", RestrictionGridDesign, 6, 100, 53},
                                           GridCase{"Restriction7", RestrictionGridDesign, 7, 100, 46},
                                           GridCase{"Adjustment6", AdjustmentGridDesign, 6, 66, 53},
                                           GridCase{"Adjustment7", AdjustmentGridDesign, 7, 66, 46}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace orv::ui
