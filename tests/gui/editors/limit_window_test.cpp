// SPDX-License-Identifier: GPL-3.0-or-later
// The four restriction windows are one window configured four times; every
// case runs on each, driving the grid with the mouse and the popup menu.
#include "gui/editors/limit_window.h"

#include <QCheckBox>
#include <QSpinBox>

#include "editor_test_support.h"
#include "support/week_grid_clicks.h"

namespace orv::test {
namespace {

struct Config {
  LimitKind kind;
  const char* table;
  const char* prev;
  const char* next;
  bool writesWeek;  // an entity shown without rows gets its 30 rows
};
void PrintTo(const Config& c, std::ostream* os) { *os << c.table; }

const Config kConfigs[] = {
    {LimitKind::Class, "Classtb", "CmdPrevClass", "CmdNextClass", true},
    {LimitKind::Course, "Coursetb", "CmdPrev", "CmdNext", false},
    {LimitKind::Teacher, "Teachertb", "CmdPrev", "CmdNext", true},
    {LimitKind::ClassRoom, "ClassRoomtb", "CmdPrev", "CmdNext", true},
};

class LimitWindowTest : public EditorTest, public ::testing::WithParamInterface<Config> {
 protected:
  const Config& P() { return GetParam(); }
  // Entities A 甲, B 乙, C 丙, and the given Limittb rows "'A',day,lesson,attr".
  void Open(std::initializer_list<const char*> rows = {}, bool entities = true) {
    if (entities)
      Exec(std::string("insert into ") + P().table +
           " values ('A','甲','',''),('B','乙','',''),('C','丙','','')");
    for (const char* row : rows)
      Exec("insert into Limittb values (" + std::to_string(DbValue(P().kind)) + "," + row + ")");
    EditorTest::Open<ui::LimitWindow>(P().kind);
  }
  ui::WeekGrid* Grid() { return Child<ui::WeekGrid>(*window_, "MSFlexGrid1"); }
  // B 最佳位置, N 正常, A 尽量不排, X 不排, . nothing; '!' where the colour does not match.
  QString Shown() {
    ui::WeekGrid* g = Grid();
    return WeekText(g->lessons(), [g](ui::GridLesson at) {
      const int i = QStringList{"最佳位置", "正常", "尽量不排", "不排", ""}.indexOf(g->Text(at));
      const QColor colours[] = {ui::kGridCyan, g->PlainColor(), ui::kGridSilver, ui::kGridGrey,
                                g->PlainColor()};
      return QString(i >= 0 && g->Color(at) == colours[i] ? "BNAX."[i] : '!');
    });
  }
  QString Stored(const std::string& code) {
    return WeekText(6, [&](ui::GridLesson at) {
      const long long attr = Count(
          "select Attr from Limittb where Kind=" + std::to_string(DbValue(P().kind)) + " and Code='" + code +
          "' and Day=" + std::to_string(at.day) + " and LessonNo=" + std::to_string(at.lessonNo));
      return QString(attr < 0 ? '.' : "BNAX"[attr]);
    });
  }
  // Right click on the lesson and pick the item ("" dismisses the menu).
  void Mark(int day, int lesson, const char* item) {
    prompter.QueueMenuItem(item);
    ClickLesson(Grid(), Qt::RightButton, day, lesson);
  }
  const QString normal = QString(30, 'N');
  QString Unwritten() { return QString(30, P().writesWeek ? 'N' : '.'); }
};

TEST_P(LimitWindowTest, StepsThroughTheEntitiesShowingEachStoredWeek) {
  Open({"'B',2,6,0", "'C',4,7,2", "'C',2,3,3", "'C',1,2,8"});
  EXPECT_EQ(Panel(1) + "|" + Panel(2), "读取成功|甲  限制特征");
  EXPECT_EQ(Shown(), normal);
  EXPECT_EQ(Stored("A"), Unwritten());
  Click(Button(P().prev));  // nothing before the first
  Click(Button(P().next));
  EXPECT_EQ(Panel(2), "乙  限制特征");
  EXPECT_EQ(Shown(), With(normal, {{2, 6, "B"}}));
  EXPECT_EQ(Stored("B"), With(QString(30, '.'), {{2, 6, "B"}})) << "an entity with rows gets no more";
  // A row the grid cannot show fails the read; the rest is shown, nothing written.
  Click(Button(P().next));
  Click(Button(P().next));
  EXPECT_EQ(Panel(1) + "|" + Panel(2), "读取失败|丙  限制特征");
  EXPECT_EQ(Shown(), With(normal, {{2, 3, "X"}, {1, 2, "."}}));
  EXPECT_EQ(Count("select count(*) from Limittb where Code='C'"), 3);
  EXPECT_EQ(window_->findChild<QCheckBox*>("chkSpecialCourse") != nullptr, P().kind == LimitKind::Course);
}

TEST_P(LimitWindowTest, ThePopupMarksTheClickedLessonAloneAndAgainUpdatesIt) {
  Open();
  Mark(3, 5, "mnuJinLiangBuPai");  // lesson 5 is grid row 6
  EXPECT_EQ(Panel(1), "写入成功");
  EXPECT_EQ(Shown(), With(normal, {{3, 5, "A"}}));
  Mark(3, 5, "mnuBuPai");
  Mark(1, 1, "排课最佳位置");
  EXPECT_EQ(Shown(), With(normal, {{3, 5, "X"}, {1, 1, "B"}}));
  EXPECT_EQ(Stored("A"), With(Unwritten(), {{3, 5, "X"}, {1, 1, "B"}}));
  EXPECT_EQ(Count("select count(*) from Limittb where Day=3 and LessonNo=5"), 1);
  // A dismissed menu, a left click, the headers and the separator change nothing.
  Mark(2, 2, "");
  ClickLesson(Grid(), Qt::LeftButton, 4, 4);
  for (auto [row, col] : {std::pair{0, 0}, {0, 3}, {3, 0}, {5, 0}, {5, 2}})
    ClickCell(Grid(), Qt::RightButton, row, col);
  EXPECT_TRUE(prompter.AllAnswersUsed());
  EXPECT_EQ(Grid()->Current(), (ui::GridLesson{4, 4}));
  EXPECT_EQ(Stored("A"), With(Unwritten(), {{3, 5, "X"}, {1, 1, "B"}}));
}

TEST_P(LimitWindowTest, AllNormalStoresEveryLessonAndAFailedWriteShowsWhatIsStored) {
  Open({"'A',1,1,3", "'A',5,6,0", "'B',1,1,3"});
  Click(Button("cmdNormalAll"));
  EXPECT_EQ(Panel(1), "写入成功");
  EXPECT_EQ(Shown(), normal);
  EXPECT_EQ(Stored("A"), normal);
  EXPECT_EQ(Count("select count(*) from Limittb"), 31) << "B untouched";
  Exec("create trigger stop before update on Limittb begin select raise(abort, 'no'); end");
  Mark(2, 2, "mnuBuPai");
  EXPECT_EQ(Panel(1), "写入失败");
  EXPECT_EQ(Shown(), normal);
  Exec("drop table Limittb");
  Click(Button(P().next));
  EXPECT_EQ(Panel(1), "读取失败");
}

TEST_P(LimitWindowTest, WithoutEntitiesNothingCanBeWritten) {
  Open({}, false);
  EXPECT_EQ(Shown(), QString(30, '.'));
  Click(Button("cmdNormalAll"));
  ClickLesson(Grid(), Qt::RightButton, 1, 1);  // and no menu
  EXPECT_EQ(Count("select count(*) from Limittb"), 0);
  if (auto* special = window_->findChild<QCheckBox*>("chkSpecialCourse")) {
    EXPECT_FALSE(special->isEnabled());
  }
}

INSTANTIATE_TEST_SUITE_P(Windows, LimitWindowTest, ::testing::ValuesIn(kConfigs),
                         [](const auto& info) { return std::string(info.param.table); });

using CourseLimit = EditorTest;

TEST_F(CourseLimit, EveryWeekHasTheSeventhLessonOfASevenLessonDay) {
  ctx.state.week.lessonsPerDay = 7;
  Exec("insert into Coursetb values ('01','语文','','')");
  Exec("insert into Teachertb values ('T1','王','','')");
  Exec("insert into Limittb values (1,'01',5,7,3)");
  Open<ui::LimitWindow>(LimitKind::Course);
  auto* grid = Child<ui::WeekGrid>(*window_, "MSFlexGrid1");
  ASSERT_EQ(grid->rowCount(), 9);
  EXPECT_EQ(grid->item(8, 0)->text() + grid->Text({5, 7}), "七不排");
  prompter.QueueMenuItem("mnuZuiJiaWeiZhi");
  ClickLesson(grid, Qt::RightButton, 1, 7);
  EXPECT_EQ(Count("select Attr from Limittb where Kind=1 and Day=1 and LessonNo=7"), 0);
  Click(Button("cmdNormalAll"));  // every lesson shown, the seventh included
  EXPECT_EQ(Count("select count(*) from Limittb where Kind=1 and Attr=1"), 35);
  // A teacher away for lesson 7 can say so, and the new week has its row.
  Open<ui::LimitWindow>(LimitKind::Teacher);
  grid = Child<ui::WeekGrid>(*window_, "MSFlexGrid1");
  ASSERT_EQ(grid->rowCount(), 9);
  EXPECT_EQ(Count("select count(*) from Limittb where Kind=2 and LessonNo=7 and Attr=1"), 5);
  prompter.QueueMenuItem("mnuBuPai");
  ClickLesson(grid, Qt::RightButton, 5, 7);
  EXPECT_EQ(Count("select Attr from Limittb where Kind=2 and Code='T1' and Day=5 and LessonNo=7"), 3);
  EXPECT_EQ(grid->Text({5, 7}), "不排");
}

// A week stored while the school had six lessons keeps its rows; the seventh
// reads as normal and a mark there is stored beside them.
TEST_F(CourseLimit, ASixLessonWeekGainsItsSeventhLessonWhenMarked) {
  Exec("insert into Classtb values ('71','七（1）班','','')");
  Exec("insert into Limittb values (0,'71',1,6,3)");
  ctx.state.week.lessonsPerDay = 7;
  Open<ui::LimitWindow>(LimitKind::Class);
  auto* grid = Child<ui::WeekGrid>(*window_, "MSFlexGrid1");
  EXPECT_EQ(grid->Text({1, 6}) + grid->Text({1, 7}), "不排正常");
  prompter.QueueMenuItem("mnuJinLiangBuPai");
  ClickLesson(grid, Qt::RightButton, 1, 7);
  EXPECT_EQ(Count("select count(*) from Limittb where Kind=0"), 2);
  EXPECT_EQ(Count("select Attr from Limittb where Kind=0 and Day=1 and LessonNo=7"), 2);
}

TEST_F(CourseLimit, TheSpecialCourseBoxShowsAndStoresTheMarkAtOnce) {
  Exec("insert into Coursetb values ('01','语文','','')");
  Exec("insert into CourseAttrtb values ('01'),('01')");  // an old file may hold a course twice
  Open<ui::LimitWindow>(LimitKind::Course);
  auto* special = Child<QCheckBox>(*window_, "chkSpecialCourse");
  EXPECT_TRUE(special->isChecked());
  special->click();
  EXPECT_EQ(Panel(1) + QString::number(Count("select count(*) from CourseAttrtb")), "写入成功0");
  Exec("create trigger stop before insert on CourseAttrtb begin select raise(abort, 'no'); end");
  special->click();
  EXPECT_EQ(Panel(1), "写入失败");
  EXPECT_FALSE(special->isChecked()) << "the box shows what is stored";
}

// The room count belongs to the special mark: it can be changed only while
// the box is checked, one room keeps no rule, and unchecking removes it.
TEST_F(CourseLimit, TheRoomCountOfASpecialCourseIsItsRoomsRule) {
  Exec("insert into Coursetb values ('01','语文','',''),('09','信息技术','','')");
  Exec("insert into CourseAttrtb values ('09')");
  Exec("insert into SchoolRuletb values ('rooms',3,'09','',2)");
  Open<ui::LimitWindow>(LimitKind::Course);
  auto* special = Child<QCheckBox>(*window_, "chkSpecialCourse");
  auto* rooms = Child<QSpinBox>(*window_, "spnRooms");
  const auto roomsRule = [this] {
    return Count("select Value from SchoolRuletb where RuleKey='rooms' and Scope=3 and Code='09'");
  };
  EXPECT_FALSE(rooms->isEnabled()) << "语文 is no special course";
  Click(Button("CmdNext"));
  EXPECT_TRUE(rooms->isEnabled());
  EXPECT_EQ(rooms->value(), 2);
  rooms->setValue(3);
  EXPECT_EQ(Panel(1), "写入成功");
  EXPECT_EQ(roomsRule(), 3);
  rooms->setValue(1);
  EXPECT_EQ(roomsRule(), -1) << "one room is no rule";
  rooms->setValue(4);
  special->click();
  EXPECT_EQ(roomsRule(), -1);
  EXPECT_FALSE(rooms->isEnabled());
  EXPECT_EQ(rooms->value(), 1);
  special->click();
  EXPECT_TRUE(rooms->isEnabled());
  EXPECT_EQ(roomsRule(), -1);
  // A refused write shows what is stored.
  Exec("create trigger stop before insert on SchoolRuletb begin select raise(abort, 'no'); end");
  rooms->setValue(5);
  EXPECT_EQ(Panel(1), "写入失败");
  EXPECT_EQ(rooms->value(), 1);
}

}  // namespace
}  // namespace orv::test
