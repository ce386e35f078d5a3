// The week grid, once across its designs: the restriction and pre-arranged
// grids with six or seven lessons, and the narrower manual-adjustment grid.
#include "gui/timetable/week_grid.h"

#include <gtest/gtest.h>

#include <QKeyEvent>
#include <QTest>

#include "core/database/week_marks.h"
#include "support/week_grid_clicks.h"

namespace orv::ui {
namespace {

struct GridCase {
  const char* name;
  const WeekGridDesign& (*design)();
  int lessons;
  int dayWidth;   // pixels
  int rowHeight;  // pixels
};
void PrintTo(const GridCase& c, std::ostream* os) { *os << c.name; }

struct Release {
  Qt::MouseButton button;
  GridLesson at;
  bool operator==(const Release&) const = default;
};

class WeekGridTest : public ::testing::TestWithParam<GridCase> {
 protected:
  WeekGridTest() : grid(GetParam().design()) {
    grid.Setup(GetParam().lessons);
    grid.show();
    QObject::connect(&grid, &WeekGrid::lessonReleased,
                     [this](Qt::MouseButton b, GridLesson at, const QPoint&) { releases.push_back({b, at}); });
  }
  int Lessons() const { return GetParam().lessons; }
  WeekGrid grid;
  std::vector<Release> releases;
};

TEST_P(WeekGridTest, LayoutFollowsTheDesign) {
  const GridCase& c = GetParam();
  ASSERT_EQ(grid.rowCount(), Lessons() + 2);
  ASSERT_EQ(grid.columnCount(), 6);
  const QStringList days{"※", "星期一", "星期二", "星期三", "星期四", "星期五"};
  const QStringList numerals{"", "一", "二", "三", "四", "", "五", "六", "七"};
  for (int col = 0; col < 6; ++col) {
    EXPECT_EQ(grid.columnWidth(col), col == 0 ? 33 : c.dayWidth);
    EXPECT_EQ(grid.item(0, col)->text(), days[col]);
  }
  for (int row = 0; row < grid.rowCount(); ++row) {
    SCOPED_TRACE(row);
    EXPECT_EQ(grid.rowHeight(row), row == 5 ? 6 : c.rowHeight);
    if (row > 0) {
      EXPECT_EQ(grid.item(row, 0)->text(), numerals[row]);
    }
    for (int col = 0; col < 6; ++col)
      EXPECT_EQ(grid.item(row, col)->textAlignment(), static_cast<int>(Qt::AlignCenter));
  }
  // The whole week is in view, without scrolling.
  const QRect last = grid.CellRect(grid.rowCount() - 1, 5);
  EXPECT_TRUE(grid.viewport()->rect().contains(last)) << last.bottom() << " " << grid.viewport()->height();
}

TEST_P(WeekGridTest, OnlyLessonCellsReportAReleaseAndBecomeCurrent) {
  grid.SetCurrent({2, 2});
  for (int row = 0; row < grid.rowCount(); ++row) {
    for (int col = 0; col < 6; ++col) {
      SCOPED_TRACE(std::to_string(row) + "," + std::to_string(col));
      const std::optional<GridLesson> before = grid.Current();
      releases.clear();
      const Qt::MouseButton button = (row + col) % 2 ? Qt::RightButton : Qt::LeftButton;
      test::ClickCell(&grid, button, row, col);
      const bool lesson = row != 0 && row != 5 && col != 0;
      EXPECT_EQ(grid.LessonAt(row, col).has_value(), lesson);
      if (!lesson) {
        EXPECT_TRUE(releases.empty());
        EXPECT_EQ(grid.Current(), before);
        continue;
      }
      const GridLesson at{col, GridRowToLesson(row)};
      EXPECT_EQ(releases, (std::vector<Release>{{button, at}}));
      EXPECT_EQ(grid.Current(), at);
    }
  }
}

TEST_P(WeekGridTest, CellsKeepWhatTheyShowUntilCleared) {
  const GridLesson last{5, Lessons()};
  grid.SetText(last, "数学\r\n一（1）");
  grid.SetColor(last, kGridRed);
  grid.SetToolTip(last, "王老师");
  grid.SetCurrent(last);
  for (GridLesson outside : {GridLesson{6, 1}, GridLesson{1, Lessons() + 1}, GridLesson{0, 1}, GridLesson{1, 0}}) {
    grid.SetText(outside, "x");
    grid.SetColor(outside, kGridRed);
    EXPECT_EQ(grid.Text(outside), "");
  }
  grid.PaintAll(kGridYellow);
  grid.SetColor(last, kGridRed);
  grid.Setup(Lessons());
  EXPECT_EQ(grid.Text(last), "数学\n一（1）");
  EXPECT_EQ(grid.Color(last), kGridRed);
  EXPECT_EQ(grid.Color({1, 1}), kGridYellow);
  EXPECT_EQ(grid.item(LessonToGridRow(last.lessonNo), 5)->toolTip(), "王老师");
  EXPECT_EQ(grid.item(0, 1)->text() + grid.item(5, 1)->text(), "星期一") << "headers untouched";
  EXPECT_NE(grid.item(0, 1)->background().color(), kGridYellow);
  EXPECT_NE(grid.item(5, 1)->background().color(), kGridYellow);

  grid.ClearLessons();
  EXPECT_EQ(grid.Text(last), "");
  EXPECT_EQ(grid.Color(last), grid.PlainColor());
  EXPECT_EQ(grid.item(LessonToGridRow(last.lessonNo), 5)->toolTip(), "");
  EXPECT_FALSE(grid.Current().has_value());
  EXPECT_EQ(grid.item(0, 0)->text(), "※");
}

TEST_P(WeekGridTest, KeysMoveWithinTheLessonsAndOpenTheMenuOnTheCurrentOne) {
  grid.setFocus();
  grid.SetCurrent({1, 4});
  QTest::keyClick(&grid, Qt::Key_Down);  // over the separator to lesson 5
  EXPECT_EQ(grid.Current(), (GridLesson{1, 5}));
  for (int i = 0; i < 9; ++i) QTest::keyClick(&grid, Qt::Key_Down);
  QTest::keyClick(&grid, Qt::Key_Left);
  EXPECT_EQ(grid.Current(), (GridLesson{1, Lessons()}));
  for (int i = 0; i < 9; ++i) QTest::keyClick(&grid, Qt::Key_Right);
  QTest::keyClick(&grid, Qt::Key_Menu);
  QTest::keyClick(&grid, Qt::Key_F10, Qt::ShiftModifier);
  QTest::keyClick(&grid, Qt::Key_F10);
  QTest::keyClick(&grid, Qt::Key_Space);
  const GridLesson at{5, Lessons()};
  EXPECT_EQ(releases, (std::vector<Release>{{Qt::RightButton, at}, {Qt::RightButton, at}, {Qt::LeftButton, at}}));
}

INSTANTIATE_TEST_SUITE_P(Designs, WeekGridTest,
                         ::testing::Values(GridCase{"Restriction6", RestrictionGridDesign, 6, 100, 53},
                                           GridCase{"Restriction7", RestrictionGridDesign, 7, 100, 46},
                                           GridCase{"Adjustment6", AdjustmentGridDesign, 6, 66, 53},
                                           GridCase{"Adjustment7", AdjustmentGridDesign, 7, 66, 46}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace orv::ui
