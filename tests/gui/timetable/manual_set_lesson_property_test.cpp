// SPDX-License-Identifier: GPL-3.0-or-later
// Random clicks, picks, undos and redos through frmManualSetLesson on a
// generated school. After every step what the two grids and the list show
// is what the tables hold, and every BuildCount counts its lessons.
#include <gtest/gtest.h>

#include <optional>
#include <random>

#include "core/demo/demo_school.h"
#include "core/editing/manual_edit_fixture.h"
#include "core/scheduling/build_timetable.h"
#include "core/scheduling/random.h"
#include "manual_window_driver.h"
#include "support/test_program.h"

namespace orv::test {
namespace {

struct Params {
  int lessonsPerDay;
  unsigned seed;
};
void PrintTo(const Params& p, std::ostream* os) { *os << p.lessonsPerDay << " lessons, seed " << p.seed; }

class ManualWindowProperty : public ::testing::TestWithParam<Params>, public ManualWindowDriver {
 protected:
  ManualWindowProperty()
      : program("[LESSON]\nLESSON_OF_DAY=" + std::to_string(GetParam().lessonsPerDay) + "\n"),
        db(*program.state().db) {}

  void SetUp() override {
    db.Execute("PRAGMA synchronous=OFF");
    DemoOptions school;
    school.lastGrade = 2;
    school.classesPerGrade = 2;
    school.lessonsPerDay = GetParam().lessonsPerDay;
    ASSERT_TRUE(FillDemoSchool(db, school));
    UniformRandom random(GetParam().seed);
    ASSERT_TRUE(BuildTimetable(db, GetParam().lessonsPerDay, random).ok());
    Open(program.ctx());
  }

  // A period of the class grid in the colour (any colour when none is given).
  std::optional<ui::GridLesson> Any(const QColor& colour = {}) {
    std::vector<ui::GridLesson> cells;
    for (int day = 1; day <= 5; ++day)
      for (int lessonNo = 1; lessonNo <= GetParam().lessonsPerDay; ++lessonNo)
        if (!colour.isValid() || Grid()->Color({day, lessonNo}) == colour) cells.push_back({day, lessonNo});
    if (cells.empty()) return std::nullopt;
    return cells[rng() % cells.size()];
  }

  // Mostly clicks that change something: a yellow cell swapped with, a cyan
  // one placed into, else a lesson selected or a missing one picked.
  void Step() {
    const bool either = rng() % 2;
    const ui::GridLesson any = *Any();
    const auto yellow = Any(ui::kGridYellow), cyan = Any(ui::kGridCyan);
    switch (rng() % 9) {
      case 0:
      case 1:
        return yellow ? Right(yellow->day, yellow->lessonNo) : Left(any.day, any.lessonNo);
      case 2:
        if (cyan) return Left(cyan->day, cyan->lessonNo);
        if (List()->topLevelItemCount() > 0) Pick(static_cast<int>(rng() % List()->topLevelItemCount()));
        return;
      case 3:
        return either ? Left(any.day, any.lessonNo) : Right(any.day, any.lessonNo);
      case 4:
        return ClickLesson(TeacherGrid(), either ? Qt::LeftButton : Qt::RightButton, any.day, any.lessonNo);
      case 5:
        return either ? Press("cmdUndo") : Key(Qt::Key_Z);
      case 6:
        return either ? Press("cmdRedo") : Key(Qt::Key_Y);
      case 7:
        return Press(either ? "CmdPrevClass" : "CmdNextClass");
      default:
        Teachers()->setCurrentIndex(static_cast<int>(rng() % Teachers()->count()));
    }
  }

  // The first row of each period, as every view of the window shows it.
  QString Stored(const char* key, const std::string& code, int day, int lessonNo, bool withClass) {
    Cursor c = db.Query(
        std::string("select coalesce(K.Name,L.CourseCode),coalesce(nullif(C.ShortName,''),C.Name,L.ClassCode)"
                    " from LessonListtb L left join Coursetb K on K.Code=L.CourseCode left join Classtb C"
                    " on C.Code=L.ClassCode where L.") +
            key + "=? and L.Day=? and L.LessonNo=? order by L.rowid limit 1",
        code, day, lessonNo);
    if (!c.Next()) return {};
    return QString::fromStdString(withClass ? c.Text(0) + "\n" + c.Text(1) : c.Text(0));
  }

  void ExpectTheWindowShowsTheTables(int step) {
    SCOPED_TRACE("step " + std::to_string(step));
    const std::string cls = Classes()->currentData().toString().toStdString();
    const std::string teacher = Teachers()->currentData().toString().toStdString();
    int red = 0;
    for (int day = 1; day <= 5; ++day)
      for (int lessonNo = 1; lessonNo <= GetParam().lessonsPerDay; ++lessonNo) {
        const ui::GridLesson at{day, lessonNo};
        const QString stored = Stored("ClassCode", cls, day, lessonNo, false);
        ASSERT_EQ(Grid()->Text(at), stored) << day << "/" << lessonNo;
        ASSERT_EQ(TeacherGrid()->Text(at), Stored("TeacherCode", teacher, day, lessonNo, true))
            << day << "/" << lessonNo;
        const QColor colour = Grid()->Color(at);
        ASSERT_TRUE(colour == ui::kGridWhite || colour == ui::kGridYellow || colour == ui::kGridRed ||
                    colour == ui::kGridCyan);
        ASSERT_FALSE(colour == ui::kGridCyan && !stored.isEmpty())
            << "a lesson goes only into an empty period";
        ASSERT_FALSE(colour == ui::kGridRed && stored.isEmpty()) << "only a lesson is selected";
        red += colour == ui::kGridRed;
      }
    ASSERT_LE(red, 1);
    QStringList rows;
    for (Cursor c = db.Query("select C.Name,K.Name,P.Count-P.BuildCount from ClassPlantb P join Classtb C on "
                             "C.Code=P.ClassCode"
                             " join Coursetb K on K.Code=P.CourseCode where P.Count<>P.BuildCount"
                             " order by P.ClassCode,P.CourseCode,P.rowid");
         c.Next();)
      rows << QString::fromStdString(c.Text(0) + "|" + c.Text(1) + "|" + std::to_string(c.Int(2)));
    QStringList shown = Rows();
    shown.replaceInStrings("[", "").replaceInStrings("]", "");
    ASSERT_EQ(shown, rows);
    ASSERT_EQ(WrongBuildCounts(db), 0);
  }

  TestProgram program;
  TimetableDb& db;
  std::mt19937 rng{GetParam().seed};
};

TEST_P(ManualWindowProperty, EveryStepShowsWhatTheTablesHold) {
  int changes = 0;
  for (int step = 0; step < 60; ++step) {
    const std::string before = TimetableState(db);
    Step();
    changes += TimetableState(db) != before;
    ExpectTheWindowShowsTheTables(step);
    if (HasFatalFailure()) return;
  }
  EXPECT_GE(changes, 10) << "the steps changed too little to prove anything";
}

INSTANTIATE_TEST_SUITE_P(Seeds, ManualWindowProperty, ::testing::Values(Params{6, 7}, Params{7, 11}));

}  // namespace
}  // namespace orv::test
