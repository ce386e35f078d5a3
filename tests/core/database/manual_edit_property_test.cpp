// Random sequences of swaps, moves, placements, deletions, undos and redos
// on a generated school. After every step the weeks and the list the window
// shows match the tables, every BuildCount matches its lessons, no class or
// teacher is booked twice, and a step that was refused changed nothing.
#include <gtest/gtest.h>

#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "core/database/demo_school.h"
#include "core/database/edit_history.h"
#include "core/database/edit_targets.h"
#include "core/database/lesson_weeks.h"
#include "core/database/lookups.h"
#include "core/scheduling/build_timetable.h"
#include "manual_edit_fixture.h"

namespace orv {
namespace {

struct Params {
  DemoOptions school;
  std::uint64_t seed;
  int steps;
};

class ManualEditProperty : public ::testing::TestWithParam<Params> {
 protected:
  void SetUp() override {
    db().Raw().exec("PRAGMA synchronous=OFF");
    std::string why;
    ASSERT_TRUE(FillDemoSchool(db(), GetParam().school, &why)) << why;
    UniformRandom random(GetParam().seed);
    ASSERT_GE(BuildTimetable(db(), lessons(), random).rate, 0);
    for (Cursor c = db().Query("select Code from Classtb order by Code"); c.Next();)
      classes.push_back(c.Text(0));
    for (Cursor c = db().Query("select Code from Teachertb order by Code"); c.Next();)
      teachers.push_back(c.Text(0));
  }

  TimetableDb& db() { return t.db(); }
  int lessons() const { return GetParam().school.lessonsPerDay; }
  template <class T>
  const T& Pick(const std::vector<T>& from) {
    return from[rng() % from.size()];
  }
  std::pair<int, int> AnyPeriod() {
    return {static_cast<int>(rng() % 5) + 1, static_cast<int>(rng() % lessons()) + 1};
  }

  // A week read row by row, names looked up one by one.
  WeekCells Expected(const char* sql, const std::string& code) {
    WeekCells week(lessons());
    for (Cursor c = db().Query(sql, code); c.Next();) {
      const std::string cls = c.Text(2), course = c.Text(3), teacher = c.Text(4);
      week.Set(c.Int(0), c.Int(1),
               LessonCell{true, cls, GetClassName(db(), cls), GetClassShortName(db(), cls), course,
                          GetCourseName(db(), course), teacher, GetTeacherName(db(), teacher),
                          static_cast<LessonOrigin>(c.Int(5))});
    }
    return week;
  }

  void ExpectTheWindowMatchesTheTables(const std::string& cls, const std::set<std::string>& touchedTeachers) {
    EXPECT_EQ(test::WrongBuildCounts(db()), 0);
    EXPECT_EQ(t.Count("select count(*) from (select 1 from LessonListtb group by ClassCode,Day,LessonNo"
                      " having count(*)>1)"),
              0);
    EXPECT_EQ(t.Count("select count(*) from (select 1 from LessonListtb group by TeacherCode,Day,LessonNo"
                      " having count(*)>1)"),
              0);
    for (const std::string& c : {cls, Pick(classes)})
      EXPECT_EQ(LoadClassCells(db(), c, lessons()).value(),
                Expected("select Day,LessonNo,ClassCode,CourseCode,TeacherCode,SetFlag from LessonListtb"
                         " where ClassCode=?",
                         c))
          << "class " << c;
    std::set<std::string> teachersShown = touchedTeachers;
    teachersShown.insert(Pick(teachers));
    for (const std::string& teacher : teachersShown)
      EXPECT_EQ(LoadTeacherCells(db(), teacher, lessons()).value(),
                Expected("select Day,LessonNo,ClassCode,CourseCode,TeacherCode,SetFlag from LessonListtb"
                         " where TeacherCode=?",
                         teacher))
          << "teacher " << teacher;
    // The list from the plan and the lessons themselves, not from BuildCount.
    std::vector<UnplacedLesson> expected;
    for (Cursor c = db().Query(
             "select P.ClassCode,P.CourseCode,P.TeacherCode,P.Count-(select count(*) from LessonListtb L"
             " where L.ClassCode=P.ClassCode and L.CourseCode=P.CourseCode and L.TeacherCode=P.TeacherCode) "
             "as R"
             " from ClassPlantb P where R<>0 order by P.ClassCode,P.CourseCode,P.rowid");
         c.Next();) {
      const std::string k = c.Text(0), course = c.Text(1), teacher = c.Text(2);
      expected.push_back({k, GetClassName(db(), k), course, GetCourseName(db(), course), teacher,
                          GetTeacherName(db(), teacher), c.Int(3)});
    }
    EXPECT_EQ(LoadUnplacedLessons(db()).value(), expected);
  }

  // Two queries per period, the way the targets were first defined.
  bool TargetCellByCell(const std::string& cls, int sd, int sl, int d, int l) {
    const char* cell =
        "select CourseCode,TeacherCode from LessonListtb where ClassCode=? and Day=? and LessonNo=?";
    const char* elsewhere =
        "select CourseCode from Lessonlisttb where TeacherCode=? and ClassCode<>? and Day=? and LessonNo=?";
    Cursor s = db().Query(cell, cls, sd, sl);
    s.Next();
    const std::string sCourse = s.Text(0), sTeacher = s.Text(1);
    Cursor target = db().Query(cell, cls, d, l);
    const bool occupied = target.Next();
    const std::string tCourse = occupied ? target.Text(0) : "", tTeacher = occupied ? target.Text(1) : "";
    if (occupied && tCourse == sCourse) return false;
    if (db().Exists(elsewhere, sTeacher, cls, d, l)) return false;
    return !occupied || !db().Exists(elsewhere, tTeacher, cls, sd, sl);
  }

  // A random lesson of the class, or nullopt for a class without lessons.
  std::optional<std::pair<int, int>> AnyLesson(const std::string& cls) {
    Cursor c = db().Query(
        "select Day,LessonNo from LessonListtb where ClassCode=? and LessonNo<=? order by random() limit 1",
        cls, lessons());
    if (!c.Next()) return std::nullopt;
    return std::make_pair(c.Int(0), c.Int(1));
  }

  test::TestDb t;
  std::mt19937 rng{static_cast<unsigned>(GetParam().seed)};
  std::vector<std::string> classes, teachers;
};

TEST_P(ManualEditProperty, EveryStepKeepsTheWindowAndThePlanTrueToTheTables) {
  EditHistory history(db(), lessons());
  const std::string generated = test::TimetableState(db());
  int done = 0, refused = 0;
  std::map<std::string, int> succeeded;  // by what the step did
  const char* what = "";
  for (int step = 0; step < GetParam().steps; ++step) {
    const std::string before = test::TimetableState(db());
    std::string cls = Pick(classes);
    Result<LessonEdit> r = Outcome::Fail("no step");
    bool expectOk = true;
    const unsigned kind = rng() % 20;
    if (kind < 7) {  // select a lesson, then a target or any period
      const auto s = AnyLesson(cls);
      if (!s) continue;
      Result<SwapTargets> targets = MarkSwapTargets(db(), cls, s->first, s->second, lessons());
      ASSERT_TRUE(targets.ok()) << targets.message();
      for (int d = 1; d <= 5; ++d)
        for (int l = 1; l <= lessons(); ++l)
          ASSERT_EQ(targets->Find(d, l) != nullptr, TargetCellByCell(cls, s->first, s->second, d, l))
              << cls << " " << d << "/" << l;
      auto [d, l] = AnyPeriod();
      if (!targets->targets.empty() && rng() % 5 != 0)
        std::tie(d, l) = [&] {
          const SwapTarget& tg = Pick(targets->targets);
          return std::pair{tg.day, tg.lessonNo};
        }();
      expectOk = targets->Find(d, l) != nullptr;
      r = history.Swap(cls, s->first, s->second, d, l);
      what = r && r->kind == EditKind::Move ? "move" : "swap";
    } else if (kind < 11) {  // pick an unplaced lesson, then a cyan period or any period
      std::vector<UnplacedLesson> open;
      const std::vector<UnplacedLesson> listed = LoadUnplacedLessons(db()).value();
      for (const UnplacedLesson& u : listed)
        if (u.remaining > 0) open.push_back(u);
      if (open.empty()) continue;
      const UnplacedLesson& u = Pick(open);
      cls = u.classCode;
      const WeekSlots cyan = MarkPlacementTargets(db(), cls, u.courseCode, u.teacherCode, lessons()).value();
      auto [d, l] = AnyPeriod();
      for (int tries = 0; tries < 40 && !cyan.At(d, l) && rng() % 5 != 0; ++tries)
        std::tie(d, l) = AnyPeriod();
      expectOk = cyan.At(d, l);
      r = history.Place(cls, d, l, u.courseCode, u.teacherCode);
      what = "place";
    } else if (kind < 14) {
      const auto s = AnyLesson(cls);
      if (!s) continue;
      r = history.Delete(cls, s->first, s->second);
      what = "delete";
    } else if (kind < 17) {
      expectOk = history.CanUndo();
      r = history.Undo();
      what = "undo";
    } else {
      expectOk = history.CanRedo();
      r = history.Redo();
      what = "redo";
    }
    ASSERT_EQ(r.ok(), expectOk) << "step " << step << ": " << r.message();
    std::set<std::string> touched;
    if (r) {
      ++done;
      ++succeeded[what];
      cls = r->classCode;
      for (const PeriodChange& p : r->periods)
        for (const auto& lesson : {p.before, p.after})
          if (lesson) touched.insert(lesson->teacherCode);
      EXPECT_NE(test::TimetableState(db()), before);
    } else {
      ++refused;
      EXPECT_EQ(test::TimetableState(db()), before) << r.message();
    }
    ExpectTheWindowMatchesTheTables(cls, touched);
    if (HasFatalFailure() || HasFailure()) return;
  }
  EXPECT_GT(done, GetParam().steps / 2);
  for (const char* step : {"swap", "move", "place", "delete", "undo", "redo"})
    EXPECT_GT(succeeded[step], 0) << step;
  EXPECT_GT(refused, 0);
  // Taking every change back gives the generated timetable, flags and all.
  while (history.CanUndo()) ASSERT_TRUE(history.Undo().ok());
  EXPECT_EQ(test::TimetableState(db()), generated);
}

INSTANTIATE_TEST_SUITE_P(
    DemoSchools, ManualEditProperty,
    ::testing::Values(Params{DemoOptions{.lastGrade = 3, .classesPerGrade = 2, .lessonsPerDay = 7}, 1, 250},
                      Params{DemoOptions{.lastGrade = 6, .classesPerGrade = 2, .lessonsPerDay = 6}, 7, 250},
                      Params{DemoOptions{
                                 .firstGrade = 7, .lastGrade = 9, .classesPerGrade = 3, .lessonsPerDay = 7},
                             2026, 250}),
    [](const ::testing::TestParamInfo<Params>& info) {
      const DemoOptions& o = info.param.school;
      return "Grades" + std::to_string(o.firstGrade) + "to" + std::to_string(o.lastGrade) + "x" +
             std::to_string(o.classesPerGrade) + "_" + std::to_string(o.lessonsPerDay) + "Lessons_Seed" +
             std::to_string(info.param.seed);
    });

}  // namespace
}  // namespace orv
