// SPDX-License-Identifier: GPL-3.0-or-later
// Random sequences of swaps, moves, placements, deletions, undos and redos
// on a generated school. After every step the weeks and the list the window
// shows match the tables, every BuildCount matches its lessons, no class or
// teacher is booked twice, and a refused step changed nothing.
#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "core/database/lesson_weeks.h"
#include "core/database/lookups.h"
#include "core/demo/demo_school.h"
#include "core/editing/edit_history.h"
#include "core/editing/edit_targets.h"
#include "core/scheduling/build_timetable.h"
#include "manual_edit_fixture.h"

namespace orv {
namespace {

struct Params {
  DemoOptions school;
  std::uint64_t seed;
};

class ManualEditProperty : public ::testing::TestWithParam<Params> {
 protected:
  void SetUp() override {
    ASSERT_TRUE(FillDemoSchool(db, GetParam().school));
    UniformRandom random(GetParam().seed);
    ASSERT_TRUE(BuildTimetable(db, lessons, random).ok());
    for (Cursor c = db.Query("select Code from Classtb"); c.Next();) classes.push_back(c.Text(0));
  }
  std::pair<int, int> AnyPeriod() { return {int(rng() % 5) + 1, int(rng() % lessons) + 1}; }
  std::optional<std::pair<int, int>> AnyLesson(const std::string& cls) {
    std::vector<std::pair<int, int>> periods;
    for (Cursor c =
             db.Query("select Day,LessonNo from LessonListtb where ClassCode=? order by Day,LessonNo", cls);
         c.Next();)
      periods.emplace_back(c.Int(0), c.Int(1));
    if (periods.empty()) return std::nullopt;
    return periods[rng() % periods.size()];
  }

  // The week read row by row, its names looked up one by one.
  WeekCells Expected(const char* column, const std::string& code) {
    WeekCells week(lessons);
    for (Cursor c = db.Query(std::string("select Day,LessonNo,ClassCode,CourseCode,TeacherCode,SetFlag from "
                                         "LessonListtb where ") +
                                 column + "=?",
                             code);
         c.Next();) {
      const std::string cls = c.Text(2), course = c.Text(3), teacher = c.Text(4);
      week.Set(c.Int(0), c.Int(1),
               {true, cls, GetClassName(db, cls).value_or(std::string()),
                GetClassShortName(db, cls).value_or(std::string()), course,
                GetCourseName(db, course).value_or(std::string()), teacher,
                GetTeacherName(db, teacher).value_or(std::string()), static_cast<LessonOrigin>(c.Int(5))});
    }
    return week;
  }

  void ExpectTheWindowMatchesTheTables(const std::string& cls, const std::set<std::string>& teachers) {
    EXPECT_EQ(test::WrongBuildCounts(db), 0);
    for (const char* key : {"ClassCode", "TeacherCode"})
      EXPECT_EQ(
          t.Count(std::string("select count(*) from (select 1 from LessonListtb group by Day,LessonNo,") +
                  key + " having count(*)>1)"),
          0);
    EXPECT_EQ(LoadClassCells(db, cls, lessons).value(), Expected("ClassCode", cls));
    for (const std::string& teacher : teachers)
      EXPECT_EQ(LoadTeacherCells(db, teacher, lessons).value(), Expected("TeacherCode", teacher));
    // The list from the plan and the lessons themselves, not from BuildCount.
    std::vector<UnplacedLesson> expected;
    for (Cursor c =
             db.Query("select ClassCode,CourseCode,TeacherCode,Count-(select count(*) from LessonListtb L"
                      " where L.ClassCode=P.ClassCode and L.CourseCode=P.CourseCode and L.TeacherCode="
                      "P.TeacherCode) as R from ClassPlantb P where R<>0 order by 1,2,P.rowid");
         c.Next();)
      expected.push_back({c.Text(0), GetClassName(db, c.Text(0)).value_or(std::string()), c.Text(1),
                          GetCourseName(db, c.Text(1)).value_or(std::string()), c.Text(2),
                          GetTeacherName(db, c.Text(2)).value_or(std::string()), c.Int(3)});
    EXPECT_EQ(LoadUnplacedLessons(db).value(), expected);
  }

  // A period is a target exactly when the two queries of the first
  // definition find nothing.
  void ExpectTargetsCellByCell(const std::string& cls, int sd, int sl, const SwapTargets& targets) {
    const char* cell =
        "select CourseCode,TeacherCode from LessonListtb where ClassCode=? and Day=? and LessonNo=?";
    const char* elsewhere =
        "select CourseCode from Lessonlisttb where TeacherCode=? and ClassCode<>? and Day=? and LessonNo=?";
    Cursor s = db.Query(cell, cls, sd, sl);
    ASSERT_TRUE(s.Next());
    const std::string sCourse = s.Text(0), sTeacher = s.Text(1);
    for (int d = 1; d <= 5; ++d)
      for (int l = 1; l <= lessons; ++l) {
        Cursor c = db.Query(cell, cls, d, l);
        const bool occupied = c.Next();
        const bool target = !(occupied && c.Text(0) == sCourse) &&
                            !db.Exists(elsewhere, sTeacher, cls, d, l) &&
                            !(occupied && db.Exists(elsewhere, c.Text(1), cls, sd, sl));
        EXPECT_EQ(targets.Find(d, l) != nullptr, target) << cls << " " << d << "/" << l;
      }
  }

  test::TestDb t;
  TimetableDb& db = t.db();
  const int lessons = GetParam().school.lessonsPerDay;
  std::mt19937 rng{static_cast<unsigned>(GetParam().seed)};
  std::vector<std::string> classes;
};

TEST_P(ManualEditProperty, EveryStepKeepsTheWindowAndThePlanTrueToTheTables) {
  EditHistory history(db, lessons);
  const std::string generated = test::TimetableState(db);
  std::map<std::string, int> succeeded, refused;  // by what the step did
  // The tables before each change that can be undone, and before each undo
  // that can be redone: an undo or redo must bring them back exactly.
  std::vector<std::string> undoStates, redoStates;
  for (int step = 0; step < 250; ++step) {
    const std::string before = test::TimetableState(db);
    std::string cls = classes[rng() % classes.size()], what;
    Result<LessonEdit> r = Outcome::Fail("");
    bool expectOk = true;
    const unsigned kind = rng() % 20;
    if (kind < 7) {  // select a lesson, then usually a target, else any period
      const auto s = AnyLesson(cls);
      if (!s) continue;
      const SwapTargets targets = MarkSwapTargets(db, cls, s->first, s->second, lessons).value();
      ExpectTargetsCellByCell(cls, s->first, s->second, targets);
      auto [d, l] = AnyPeriod();
      if (!targets.targets.empty() && rng() % 5 != 0) {
        const SwapTarget& to = targets.targets[rng() % targets.targets.size()];
        std::tie(d, l) = std::pair{to.day, to.lessonNo};
      }
      expectOk = targets.Find(d, l) != nullptr;
      r = history.Swap(cls, s->first, s->second, d, l);
      what = r && r->kind == EditKind::Move ? "move" : "swap";
    } else if (kind < 11) {  // pick a missing lesson, then usually a cyan period
      std::vector<UnplacedLesson> open = LoadUnplacedLessons(db).value();
      std::erase_if(open, [](const UnplacedLesson& u) { return u.remaining < 1; });
      if (open.empty()) continue;
      const UnplacedLesson u = open[rng() % open.size()];
      const WeekSlots cyan =
          MarkPlacementTargets(db, u.classCode, u.courseCode, u.teacherCode, lessons).value();
      auto [d, l] = AnyPeriod();
      for (int tries = 0; tries < 40 && !cyan.At(d, l) && rng() % 5 != 0; ++tries)
        std::tie(d, l) = AnyPeriod();
      expectOk = cyan.At(d, l);
      r = history.Place(u.classCode, d, l, u.courseCode, u.teacherCode);
      what = "place";
    } else if (kind < 14) {
      const auto s = AnyLesson(cls);
      if (!s) continue;
      r = history.Delete(cls, s->first, s->second);
      what = "delete";
    } else {
      const bool undo = kind < 17;
      expectOk = undo ? history.CanUndo() : history.CanRedo();
      r = undo ? history.Undo() : history.Redo();
      what = undo ? "undo" : "redo";
    }
    ASSERT_EQ(r.ok(), expectOk) << "step " << step << " " << what << ": " << r.message();
    std::set<std::string> teachers;
    if (r) {
      ++succeeded[what];
      if (what == "undo" || what == "redo") {
        auto& from = what == "undo" ? undoStates : redoStates;
        EXPECT_EQ(test::TimetableState(db), from.back()) << "step " << step << " " << what;
        from.pop_back();
        (what == "undo" ? redoStates : undoStates).push_back(before);
      } else {
        undoStates.push_back(before);
        redoStates.clear();
      }
      cls = r->classCode;
      for (const PeriodChange& p : r->periods)
        for (const auto& lesson : {p.before, p.after})
          if (lesson) teachers.insert(lesson->teacherCode);
    } else {
      ++refused[what];
      EXPECT_EQ(test::TimetableState(db), before) << r.message();
    }
    ExpectTheWindowMatchesTheTables(cls, teachers);
    if (HasFailure()) return;
  }
  for (const char* step : {"swap", "move", "place", "delete", "undo", "redo"})
    EXPECT_GT(succeeded[step], 0) << step;
  EXPECT_GT(refused["swap"] + refused["place"], 0);
  // Taking every change back gives the generated timetable, flags and all;
  // making them all again gives the edited one.
  while (history.CanRedo()) ASSERT_TRUE(history.Redo().ok());
  const std::string edited = test::TimetableState(db);
  while (history.CanUndo()) ASSERT_TRUE(history.Undo().ok());
  EXPECT_EQ(test::TimetableState(db), generated);
  while (history.CanRedo()) ASSERT_TRUE(history.Redo().ok());
  EXPECT_EQ(test::TimetableState(db), edited);
}

INSTANTIATE_TEST_SUITE_P(
    DemoSchools, ManualEditProperty,
    ::testing::Values(Params{{.lastGrade = 3, .classesPerGrade = 2, .lessonsPerDay = 7}, 1},
                      Params{{.lastGrade = 6, .classesPerGrade = 2, .lessonsPerDay = 6}, 7},
                      Params{{.firstGrade = 7, .lastGrade = 9, .classesPerGrade = 3, .lessonsPerDay = 7},
                             2026}),
    [](const ::testing::TestParamInfo<Params>& info) { return "Seed" + std::to_string(info.param.seed); });

}  // namespace
}  // namespace orv
