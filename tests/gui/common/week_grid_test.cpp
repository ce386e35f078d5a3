// SPDX-License-Identifier: GPL-3.0-or-later
// The week grid, once across its designs: restriction and pre-arranged grids
// with six or seven lessons, and the narrower manual-adjustment grid; and the
// row layout every grid shares.
#include "gui/common/week_grid.h"

#include <gtest/gtest.h>

#include "support/week_grid_clicks.h"

namespace orv::ui {
namespace {

TEST(WeekGridRows, GridRowsSkipTheSeparatorBetweenMorningAndAfternoon) {
  const std::pair<int, int> lessonRow[] = {{1, 1}, {4, 4}, {5, 6}, {6, 7}, {7, 8}};
  for (const auto& [lesson, row] : lessonRow) {
    EXPECT_EQ(LessonToGridRow(lesson), row) << lesson;
    EXPECT_EQ(GridRowToLesson(row), lesson) << row;
  }
  EXPECT_EQ(GridRowToLesson(kGridSeparatorRow), 0);
  EXPECT_EQ(GridRowToLesson(kGridHeaderRow), 0);
  EXPECT_EQ(GridRowCount(7), 9);
}

struct GridCase {
  const char* name;
  const WeekGridDesign& (*design)();
  int lessons;
};

class WeekGridTest : public ::testing::TestWithParam<GridCase> {
 protected:
  WeekGridTest() : grid(GetParam().design()) {
    grid.Setup(GetParam().lessons);
    grid.show();
    QObject::connect(&grid, &WeekGrid::lessonReleased,
                     [this](Qt::MouseButton b, GridLesson at, const QPoint&) {
                       releases.push_back({static_cast<int>(b), at.day, at.lessonNo});
                     });
  }
  int Lessons() const { return GetParam().lessons; }
  WeekGrid grid;
  std::vector<std::array<int, 3>> releases;  // button, day, lesson
};

TEST_P(WeekGridTest, HeadersFrameTheLessonsWithAThinSeparatorAndAllInView) {
  ASSERT_EQ(grid.rowCount(), Lessons() + 2);
  QStringList headers;
  for (int col = 0; col < 6; ++col) headers << grid.item(0, col)->text();
  for (int row = 1; row < grid.rowCount(); ++row) headers << grid.item(row, 0)->text();
  EXPECT_EQ(headers.join(' '), QString("※ 星期一 星期二 星期三 星期四 星期五 一 二 三 四  五 六") +
                                   (Lessons() == 7 ? " 七" : ""));
  EXPECT_LT(grid.rowHeight(5), grid.rowHeight(4) / 4);
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
      EXPECT_EQ(releases, (std::vector<std::array<int, 3>>{{static_cast<int>(button), col, lesson}}));
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
                         ::testing::Values(GridCase{"Restriction6", RestrictionGridDesign, 6},
                                           GridCase{"Restriction7", RestrictionGridDesign, 7},
                                           GridCase{"Adjustment6", AdjustmentGridDesign, 6},
                                           GridCase{"Adjustment7", AdjustmentGridDesign, 7}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace orv::ui
