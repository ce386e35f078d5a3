// The four restriction windows are one window configured four times; every
// test runs on each configuration, driving the grid with the mouse and the
// popup menu as a user does.
#include "gui/editors/limit_window.h"

#include <QCheckBox>

#include "editor_test_support.h"
#include "support/week_grid_clicks.h"

namespace orv::test {
namespace {

struct Config {
  LimitKind kind;
  const char* table;
  const char* objectName;
  const char* caption;
  const char* combo;
  const char* label;
  QString labelText;
  const char* prev;
  const char* next;
  QString prevText;  // "上一老师(&P)" ...
  bool writesWeek;   // an entity shown without rows gets its 30 rows
};
void PrintTo(const Config& c, std::ostream* os) { *os << c.table; }

const Config kConfigs[] = {
    {LimitKind::Class, "Classtb", "frmClassLimitInput", "班级上课时间限制", "CmbClass", "lblClass", "班级",
     "CmdPrevClass", "CmdNextClass", "上一班级(&P)", true},
    {LimitKind::Course, "Coursetb", "frmCourseLimitInput", "课程上课时间限制", "CmbCourse", "lblClass", "课程",
     "CmdPrev", "CmdNext", "上一课程(&P)", false},
    {LimitKind::Teacher, "Teachertb", "frmTeacherLimitInput", "老师上课时间限制", "CmbTeacher", "lblTeacher",
     "老师", "CmdPrev", "CmdNext", "上一老师(&P)", true},
    {LimitKind::ClassRoom, "ClassRoomtb", "frmClassRoomLimitInput", "公共教室上课时间限制", "CmbClassRoom",
     "lblClassRoom", "教室", "CmdPrev", "CmdNext", "上一教室(&P)", true},
};

// One letter a cell: B 最佳位置, N 正常, A 尽量不排, X 不排, . empty; lessons
// separated by '/'.
char Letter(const QString& text) {
  if (text == "最佳位置") return 'B';
  if (text == "正常") return 'N';
  if (text == "尽量不排") return 'A';
  if (text == "不排") return 'X';
  return text.isEmpty() ? '.' : '?';
}
std::string Week(int lessons, const std::function<char(int, int)>& cell) {
  std::string out;
  for (int lesson = 1; lesson <= lessons; ++lesson) {
    if (lesson > 1) out += '/';
    for (int day = 1; day <= 5; ++day) out += cell(day, lesson);
  }
  return out;
}
std::string Uniform(char c, int lessons) { return Week(lessons, [c](int, int) { return c; }); }

class LimitWindowTest : public EditorTest, public ::testing::WithParamInterface<Config> {
 protected:
  const Config& P() { return GetParam(); }
  int Kind() { return DbValue(P().kind); }
  // Entities A 甲, B 乙, C 丙 in that order.
  void AddEntities() {
    Exec(std::string("insert into ") + P().table + " values ('A','甲','',''),('B','乙','',''),('C','丙','','')");
  }
  void Open() { EditorTest::Open<ui::LimitWindow>(P().kind); }
  ui::WeekGrid* Grid() { return Child<ui::WeekGrid>(*window_, "MSFlexGrid1"); }
  // The grid as letters, each checked against its colour.
  std::string Shown() {
    ui::WeekGrid* g = Grid();
    return Week(g->lessons(), [g](int day, int lesson) {
      const char c = Letter(g->Text({day, lesson}));
      const QColor colour = g->Color({day, lesson});
      const QColor expected = c == 'B'   ? ui::kGridCyan
                              : c == 'A' ? ui::kGridSilver
                              : c == 'X' ? ui::kGridGrey
                                         : g->PlainColor();
      return colour == expected ? c : '!';
    });
  }
  // The stored rows of the entity as letters ('.' for a cell without a row).
  std::string Stored(const std::string& code, int lessons = 6) {
    return Week(lessons, [&](int day, int lesson) {
      const long long attr = Count("select Attr from Limittb where Kind=" + std::to_string(Kind()) + " and Code='" +
                                   code + "' and Day=" + std::to_string(day) +
                                   " and LessonNo=" + std::to_string(lesson));
      return attr < 0 ? '.' : "BNAX"[attr];
    });
  }
  long long Rows() { return Count("select count(*) from Limittb"); }
  // Right click on the lesson and pick the item ("" dismisses the menu).
  void Mark(int day, int lesson, const char* item) {
    prompter.QueueMenuItem(item);
    ClickLesson(Grid(), Qt::RightButton, day, lesson);
    EXPECT_TRUE(prompter.AllAnswersUsed());
  }
  std::string Normal() { return Uniform(P().writesWeek ? 'N' : '.', 6); }
};

TEST_P(LimitWindowTest, OpensOnTheFirstEntityAndAnUnmarkedWeekShowsNormal) {
  AddEntities();
  Open();
  EXPECT_EQ(window_->objectName(), P().objectName);
  EXPECT_EQ(window_->windowTitle(), P().caption);
  EXPECT_EQ(Child<QLabel>(*window_, P().label)->text(), P().labelText);
  EXPECT_EQ(Button(P().prev)->text(), P().prevText);
  EXPECT_EQ(Button("cmdNormalAll")->text() + Button("cmdOK")->text(), "全部正常(&A)退出(&Q)");
  EXPECT_EQ(Combo(P().combo)->currentText(), "甲");
  EXPECT_EQ(Panel(1), "读取成功");
  EXPECT_EQ(Panel(2), "甲  限制特征");
  EXPECT_EQ(Grid()->rowCount(), 8);
  EXPECT_EQ(Shown(), Uniform('N', 6));
  EXPECT_EQ(Stored("A"), Normal());
  EXPECT_EQ(Rows(), P().writesWeek ? 30 : 0);
  EXPECT_EQ(window_->findChild<QCheckBox*>("chkSpecialCourse") != nullptr, P().kind == LimitKind::Course);
}

TEST_P(LimitWindowTest, ThePopupMarksTheClickedLessonAloneAndAgainUpdatesIt) {
  AddEntities();
  Open();
  const std::string normal = Normal();
  // Lesson 5 is on grid row 6.
  Mark(3, 5, "mnuJinLiangBuPai");
  EXPECT_EQ(Grid()->Current(), (ui::GridLesson{3, 5}));
  EXPECT_EQ(Panel(1), "写入成功");
  std::string expected = Uniform('N', 6);
  expected[4 * 6 + 2] = 'A';
  EXPECT_EQ(Shown(), expected);
  std::string stored = normal;
  stored[4 * 6 + 2] = 'A';
  EXPECT_EQ(Stored("A"), stored);

  Mark(3, 5, "mnuBuPai");
  Mark(1, 1, "排课最佳位置");
  expected[4 * 6 + 2] = stored[4 * 6 + 2] = 'X';
  expected[0] = stored[0] = 'B';
  EXPECT_EQ(Shown(), expected);
  EXPECT_EQ(Stored("A"), stored);
  EXPECT_EQ(Count("select count(*) from Limittb where Day=3 and LessonNo=5"), 1);

  // A dismissed menu, a left click, the headers and the separator change nothing.
  const long long rows = Rows();
  Mark(2, 2, "");
  ClickLesson(Grid(), Qt::LeftButton, 4, 4);
  EXPECT_EQ(Grid()->Current(), (ui::GridLesson{4, 4}));
  for (auto [row, col] : {std::pair{0, 0}, {0, 3}, {3, 0}, {5, 0}, {5, 2}, {7, 0}})
    ClickCell(Grid(), Qt::RightButton, row, col);
  EXPECT_TRUE(prompter.AllAnswersUsed());
  EXPECT_EQ(Grid()->Current(), (ui::GridLesson{4, 4}));
  EXPECT_EQ(Shown(), expected);
  EXPECT_EQ(Rows(), rows);
}

TEST_P(LimitWindowTest, PreviousAndNextStepThroughTheNamesAndStopAtTheEnds) {
  AddEntities();
  Exec("insert into Limittb values (" + std::to_string(Kind()) + ",'B',2,6,0)");
  Open();
  Click(Button(P().prev));
  EXPECT_EQ(Combo(P().combo)->currentText(), "甲");
  Click(Button(P().next));
  EXPECT_EQ(Panel(2), "乙  限制特征");
  std::string expected = Uniform('N', 6);
  expected[6 * 5 + 1] = 'B';
  EXPECT_EQ(Shown(), expected);
  EXPECT_EQ(Stored("B"), Week(6, [](int d, int l) { return d == 2 && l == 6 ? 'B' : '.'; }))
      << "an entity with rows gets no more";
  Click(Button(P().next));
  Click(Button(P().next));
  EXPECT_EQ(Combo(P().combo)->currentText(), "丙");
  EXPECT_EQ(Stored("C"), Normal());
  Click(Button(P().prev));
  EXPECT_EQ(Shown(), expected);
}

TEST_P(LimitWindowTest, AllNormalStoresEveryLessonAtOnce) {
  AddEntities();
  for (const char* row : {"'A',1,1,3", "'A',5,6,0", "'A',3,2,2", "'B',1,1,3"})
    Exec("insert into Limittb values (" + std::to_string(Kind()) + "," + row + ")");
  Open();
  EXPECT_NE(Shown(), Uniform('N', 6));
  Click(Button("cmdNormalAll"));
  EXPECT_EQ(Panel(1), "写入成功");
  EXPECT_EQ(Shown(), Uniform('N', 6));
  EXPECT_EQ(Stored("A"), Uniform('N', 6));
  EXPECT_EQ(Rows(), 31) << "30 cells of A, B untouched";
}

TEST_P(LimitWindowTest, AStoredRowOutsideTheGridFailsTheReadButShowsTheRest) {
  AddEntities();
  for (const char* row : {"'A',4,7,2", "'A',2,3,3", "'A',1,2,8"})
    Exec("insert into Limittb values (" + std::to_string(Kind()) + "," + row + ")");
  Open();
  EXPECT_EQ(Panel(1), "读取失败");
  std::string expected = Uniform('N', 6);
  expected[2 * 6 + 1] = 'X';
  expected[1 * 6 + 0] = '.';  // a value no window writes
  EXPECT_EQ(Shown(), expected);
  EXPECT_EQ(Rows(), 3) << "nothing written";
}

TEST_P(LimitWindowTest, WithoutEntitiesNothingCanBeWritten) {
  Open();
  EXPECT_EQ(Combo(P().combo)->count(), 0);
  EXPECT_EQ(Shown(), Uniform('.', 6));
  Click(Button("cmdNormalAll"));
  ClickLesson(Grid(), Qt::RightButton, 1, 1);  // no menu either
  Click(Button(P().next));
  EXPECT_EQ(Rows(), 0);
  EXPECT_EQ(Panel(1), "");
  if (auto* special = window_->findChild<QCheckBox*>("chkSpecialCourse")) {
    EXPECT_FALSE(special->isEnabled());
  }
}

TEST_P(LimitWindowTest, AFailedWriteKeepsTheStoredMarkOnScreen) {
  AddEntities();
  Open();
  Exec("create trigger stop before insert on Limittb begin select raise(abort, 'no'); end");
  Exec("create trigger stop2 before update on Limittb begin select raise(abort, 'no'); end");
  const std::string before = Shown();
  Mark(2, 2, "mnuBuPai");
  EXPECT_EQ(Panel(1), "写入失败");
  Click(Button("cmdNormalAll"));
  EXPECT_EQ(Panel(1), "写入失败");
  EXPECT_EQ(Shown(), before);
  EXPECT_EQ(Stored("A"), Normal());
}

INSTANTIATE_TEST_SUITE_P(Windows, LimitWindowTest, ::testing::ValuesIn(kConfigs),
                         [](const auto& info) { return std::string(info.param.table); });

using LimitWindowLessons = EditorTest;

TEST_F(LimitWindowLessons, OnlyTheCourseWeekHasTheSeventhLesson) {
  ctx.state.lessonsPerDay = 7;
  Exec("insert into Coursetb values ('01','语文','','')");
  Exec("insert into Teachertb values ('T1','王','','')");
  Exec("insert into Limittb values (1,'01',5,7,3)");
  Open<ui::LimitWindow>(LimitKind::Course);
  auto* grid = Child<ui::WeekGrid>(*window_, "MSFlexGrid1");
  ASSERT_EQ(grid->rowCount(), 9);
  EXPECT_EQ(grid->item(8, 0)->text(), "七");
  EXPECT_EQ(grid->rowHeight(8), 46);
  EXPECT_EQ(grid->Text({5, 7}), "不排");
  EXPECT_EQ(Panel(1), "读取成功");
  prompter.QueueMenuItem("mnuZuiJiaWeiZhi");
  ClickLesson(grid, Qt::RightButton, 1, 7);
  EXPECT_EQ(Count("select Attr from Limittb where Kind=1 and Day=1 and LessonNo=7"), 0);
  // "全部正常" means every lesson the week shows, the seventh included.
  Click(Button("cmdNormalAll"));
  EXPECT_EQ(Count("select count(*) from Limittb where Kind=1 and Attr=1"), 35);

  Open<ui::LimitWindow>(LimitKind::Teacher);
  EXPECT_EQ(Child<ui::WeekGrid>(*window_, "MSFlexGrid1")->rowCount(), 8);
  EXPECT_EQ(Count("select max(LessonNo) from Limittb where Kind=2"), 6);

  // With six lessons a day the course's stored seventh lesson cannot be shown.
  ctx.state.lessonsPerDay = 6;
  Open<ui::LimitWindow>(LimitKind::Course);
  EXPECT_EQ(Panel(1), "读取失败");
}

TEST_F(LimitWindowLessons, TheSpecialCourseBoxStoresTheMarkAtOnce) {
  Exec("insert into Coursetb values ('01','语文','',''),('09','信息技术','','')");
  Exec("insert into CourseAttrtb values ('01')");
  Open<ui::LimitWindow>(LimitKind::Course);
  auto* special = Child<QCheckBox>(*window_, "chkSpecialCourse");
  EXPECT_EQ(special->text(), "专用教室课程（全校同一节只能安排一个班）");
  EXPECT_TRUE(special->isChecked());
  Click(Button("CmdNext"));
  EXPECT_FALSE(special->isChecked());
  special->click();
  EXPECT_EQ(Panel(1), "写入成功");
  EXPECT_EQ(Count("select count(*) from CourseAttrtb where CourseCode='09'"), 1);
  Click(Button("CmdPrev"));
  special->click();
  EXPECT_EQ(Count("select group_concat(CourseCode) from CourseAttrtb"), 9);
  Click(Button("CmdNext"));
  EXPECT_TRUE(special->isChecked());

  Exec("create trigger stop before delete on CourseAttrtb begin select raise(abort, 'no'); end");
  special->click();
  EXPECT_EQ(Panel(1), "写入失败");
  EXPECT_TRUE(special->isChecked()) << "the box shows what is stored";
  EXPECT_EQ(Count("select count(*) from CourseAttrtb"), 1);
}

}  // namespace
}  // namespace orv::test
