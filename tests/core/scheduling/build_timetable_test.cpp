// The generation driver: the reset, the order in which plan rows are taken,
// how a row's lessons spread over the week, the completion rate, and what a
// run does when it cannot go on.
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "core/scheduling/build_timetable.h"
#include "core/scheduling/generation_steps.h"
#include "scripted_random.h"
#include "support/test_db.h"

namespace orv {
namespace {

using test::ScriptedRandom;

constexpr int kCourseKind = 1, kNever = 3;

using LessonRow = std::tuple<std::string, int, int, std::string, std::string, int>;

class Generation : public ::testing::Test {
 protected:
  void SetUp() override {
    // Durability is not under test; without this every insert waits for the disk.
    t.db().Raw().exec("PRAGMA synchronous=OFF");
    for (const char* c : {"101", "102", "103", "104"}) t.AddClass(c, std::string("班") + c);
    for (const char* c : {"01", "02", "03", "04", "05"}) t.AddCourse(c, std::string("课") + c);
    for (const char* c : {"T1", "T2", "T3"}) t.AddTeacher(c, std::string("师") + c);
  }

  std::vector<LessonRow> Lessons() {
    std::vector<LessonRow> rows;
    Cursor c = t.db().Query(
        "select ClassCode,Day,LessonNo,CourseCode,TeacherCode,SetFlag from LessonListtb order by rowid");
    while (c.Next()) rows.emplace_back(c.Text(0), c.Int(1), c.Int(2), c.Text(3), c.Text(4), c.Int(5));
    return rows;
  }
  std::vector<int> DaysOf(const std::string& cls, const std::string& course) {
    std::vector<int> days;
    Cursor c = t.db().Query("select Day from LessonListtb where ClassCode=? and CourseCode=? order by Day",
                            cls, course);
    while (c.Next()) days.push_back(c.Int(0));
    return days;
  }
  int IsAutoBuild(const std::string& cls, const std::string& course) {
    return static_cast<int>(
        t.db()
            .FirstInt("select IsAutoBuild from ClassPlantb where ClassCode=? and CourseCode=?", cls, course)
            .value_or(-1));
  }
  RowOutcome BuildRow(UniformRandom& r, const std::string& cls, const std::string& course,
                      const std::string& teacher) {
    GenerationContext ctx{t.db(), 6, r};
    return BuildPlanRow(ctx, cls, course, teacher);
  }

  test::TestDb t;
};

TEST_F(Generation, ResetKeepsFixedLessonsAndCountsThemForTheirOwnRow) {
  t.AddPlan("101", "02", "T1", 5);
  t.AddPlan("102", "02", "T1", 5);
  t.AddLesson("101", 1, 1, "02", "T1", 0);
  t.AddLesson("101", 2, 1, "02", "T1", 0);
  t.AddLesson("101", 3, 1, "02", "T1", 1);
  t.AddLesson("101", 4, 1, "02", "T1", 2);
  t.AddLesson("102", 1, 2, "02", "T2", 0);  // not the row's teacher: kept, not counted
  t.db().Execute("update ClassPlantb set IsAutoBuild=1,BuildCount=9");

  ResetAutoBuild(t.db());
  EXPECT_EQ(Lessons(),
            (std::vector<LessonRow>{
                {"101", 1, 1, "02", "T1", 0}, {"101", 2, 1, "02", "T1", 0}, {"102", 1, 2, "02", "T2", 0}}));
  EXPECT_EQ(t.BuildCount("101", "02"), 2);
  EXPECT_EQ(t.BuildCount("102", "02"), 0);
  EXPECT_EQ(t.Count("select count(*) from ClassPlantb where IsAutoBuild<>0"), 0);
}

TEST_F(Generation, TeacherWithUnbuiltRowsInTheMostClassesComesFirst) {
  // T2 has three rows but in two classes only; T1 has three classes.
  t.AddPlan("101", "01", "T2", 6);
  t.AddPlan("101", "05", "T2", 2);
  t.AddPlan("102", "01", "T2", 6);
  t.AddPlan("101", "02", "T1", 5);
  t.AddPlan("102", "02", "T1", 5);
  t.AddPlan("103", "02", "T1", 5);
  std::string teacher;
  EXPECT_EQ(PickNextTeacherCourse(t.db(), teacher), "02");
  EXPECT_EQ(teacher, "T1");

  // Built rows no longer count.
  t.db().Execute("update ClassPlantb set IsAutoBuild=1 where TeacherCode='T1' and ClassCode<>'101'");
  EXPECT_EQ(PickNextTeacherCourse(t.db(), teacher), "01");
  EXPECT_EQ(teacher, "T2");
}

TEST_F(Generation, TeachersTiedOnClassesAreTakenInCodeOrder) {
  for (const char* cls : {"101", "102", "103"}) t.AddPlan(cls, "01", "T2", 6);
  for (const char* cls : {"101", "102", "103"}) t.AddPlan(cls, "02", "T1", 5);
  std::string teacher;
  EXPECT_EQ(PickNextTeacherCourse(t.db(), teacher), "02");
  EXPECT_EQ(teacher, "T1");
}

TEST_F(Generation, CourseInMoreClassesWinsThenMoreWeeklyLessonsThenCodeOrder) {
  t.AddPlan("101", "01", "T1", 2);
  t.AddPlan("102", "01", "T1", 2);
  t.AddPlan("103", "01", "T1", 2);
  t.AddPlan("104", "02", "T1", 9);
  std::string teacher;
  EXPECT_EQ(PickNextTeacherCourse(t.db(), teacher), "01") << "three classes beat nine lessons in one";

  t.AddPlan("101", "03", "T1", 3);
  t.AddPlan("102", "03", "T1", 3);
  t.AddPlan("103", "03", "T1", 1);  // 03: three classes, 7 lessons against 01's 6
  EXPECT_EQ(PickNextTeacherCourse(t.db(), teacher), "03");

  t.db().Execute("update ClassPlantb set Count=2 where CourseCode='03'");  // now a full tie
  EXPECT_EQ(PickNextTeacherCourse(t.db(), teacher), "01");
}

TEST_F(Generation, NothingLeftToPickGivesEmptyCodes) {
  std::string teacher = "T1";
  EXPECT_EQ(PickNextTeacherCourse(t.db(), teacher), "");
  EXPECT_EQ(teacher, "");
  t.AddPlan("101", "02", "T1", 5);
  t.db().Execute("update ClassPlantb set IsAutoBuild=1");
  EXPECT_EQ(PickNextTeacherCourse(t.db(), teacher), "");
  teacher = "T1";
  EXPECT_EQ(PickNextClass(t.db(), "02", teacher), "");
}

TEST_F(Generation, NextClassPrefersTheTeacherThenTakesTheCoursesOtherTeachers) {
  t.AddPlan("103", "02", "T2", 5);
  t.AddPlan("102", "02", "T1", 5);
  t.AddPlan("101", "02", "T1", 5);
  std::string teacher = "T1";
  EXPECT_EQ(PickNextClass(t.db(), "02", teacher), "102") << "rows in the order they were entered";
  EXPECT_EQ(teacher, "T1");
  t.db().Execute("update ClassPlantb set IsAutoBuild=1 where TeacherCode='T1'");
  EXPECT_EQ(PickNextClass(t.db(), "02", teacher), "103");
  EXPECT_EQ(teacher, "T2");
}

TEST_F(Generation, CourseIsFinishedForEveryTeacherBeforeTheNextCourse) {
  for (const char* cls : {"101", "102", "103"}) t.AddPlan(cls, "02", "T1", 2);
  t.AddPlan("104", "02", "T2", 2);
  // Once T1's rows are done, T3 has the most classes; still 02 of class 104
  // comes first.
  t.AddPlan("101", "01", "T3", 2);
  t.AddPlan("102", "01", "T3", 2);
  UniformRandom r(3);
  const BuildResult result = BuildTimetable(t.db(), 6, r);
  ASSERT_EQ(result.rate, 100) << result.error;
  std::vector<std::string> order;
  for (const auto& [cls, day, lesson, course, teacher, flag] : Lessons())
    if (order.empty() || order.back() != cls + "/" + course) order.push_back(cls + "/" + course);
  EXPECT_EQ(order, (std::vector<std::string>{"101/02", "102/02", "103/02", "104/02", "101/01", "102/01"}));
}

TEST_F(Generation, RowWhoseFixedLessonsReachItsCountGetsNoNewLessonAndIsMarked) {
  t.AddPlan("101", "02", "T1", 2);
  t.AddLesson("101", 1, 1, "02", "T1", 0);
  t.AddLesson("101", 3, 1, "02", "T1", 0);
  ResetAutoBuild(t.db());
  ScriptedRandom none{};
  EXPECT_EQ(BuildRow(none, "101", "02", "T1"), RowOutcome::kBuilt);
  EXPECT_EQ(t.Count("select count(*) from LessonListtb"), 2);
  EXPECT_EQ(IsAutoBuild("101", "02"), 1);
  EXPECT_EQ(t.BuildCount("101", "02"), 2);
}

TEST_F(Generation, FiveLessonsAWeekGoOneToEachDay) {
  t.AddPlan("101", "02", "T1", 5);
  UniformRandom r;
  ASSERT_EQ(BuildTimetable(t.db(), 6, r).rate, 100);
  EXPECT_EQ(DaysOf("101", "02"), (std::vector<int>{1, 2, 3, 4, 5}));
}

TEST_F(Generation, LessonsSpreadFromMondayAndHalfPositionsMayMoveByChance) {
  t.AddPlan("101", "02", "T1", 2);
  t.AddPlan("102", "02", "T2", 2);
  t.AddPlan("103", "02", "T3", 4);
  t.AddPlan("104", "02", "T3", 4);
  ResetAutoBuild(t.db());
  // Two lessons: 1.0 and 3.5, the second kept on Wednesday or moved on.
  ScriptedRandom stay{0.0, 0.49, 0.0};
  BuildRow(stay, "101", "02", "T1");
  EXPECT_EQ(DaysOf("101", "02"), (std::vector<int>{1, 3}));
  ScriptedRandom move{0.0, 0.5, 0.0};
  BuildRow(move, "102", "02", "T2");
  EXPECT_EQ(DaysOf("102", "02"), (std::vector<int>{1, 4}));
  // Four lessons: 1.0, 2.25, 3.5, 4.75. Kept in place, the last one draws a
  // chance too; moved to Thursday, the next position is 4.0 + 1.25 = 5.25.
  ScriptedRandom keep{0.0, 0.0, 0.2, 0.0, 0.2, 0.0};
  BuildRow(keep, "103", "02", "T3");
  EXPECT_EQ(DaysOf("103", "02"), (std::vector<int>{1, 2, 3, 4}));
  EXPECT_TRUE(keep.AllDrawn());
  // Same teacher as row 103, who holds lesson 1 of Monday to Thursday now.
  ScriptedRandom jump{0.0, 0.99, 0.7, 0.99, 0.0};
  BuildRow(jump, "104", "02", "T3");
  EXPECT_EQ(DaysOf("104", "02"), (std::vector<int>{1, 2, 4, 5}));
  EXPECT_TRUE(jump.AllDrawn());
}

TEST_F(Generation, TeacherAtTheDailyCapStartsOnTheNextDay) {
  // T1's plan holds 5 lessons, so at most ceil(5 / 5) = 1 a day.
  t.AddPlan("101", "02", "T1", 1);
  t.AddPlan("102", "02", "T1", 4);
  t.AddLesson("102", 1, 3, "02", "T1", 0);
  ResetAutoBuild(t.db());
  EXPECT_TRUE(TeacherDayFull(t.db(), "T1", 1.7, 1));
  EXPECT_FALSE(TeacherDayFull(t.db(), "T1", 2.0, 1));
  EXPECT_FALSE(TeacherDayFull(t.db(), "T1", 1.0, 2));
  ScriptedRandom r{0.0};
  BuildRow(r, "101", "02", "T1");
  EXPECT_EQ(DaysOf("101", "02"), (std::vector<int>{2}));
}

TEST_F(Generation, DaySkippedForAFullTeacherStartsWholeAndDrawsNoChance) {
  t.AddPlan("102", "02", "T2", 2);
  t.AddPlan("103", "02", "T2", 3);
  t.AddLesson("103", 3, 1, "03", "T2", 0);  // Wednesday holds T2's one lesson a day
  ResetAutoBuild(t.db());
  // Positions 1.0 and 3.5; Wednesday is full, so the second starts at 4.0.
  ScriptedRandom r{0.0, 0.0};
  BuildRow(r, "102", "02", "T2");
  EXPECT_EQ(DaysOf("102", "02"), (std::vector<int>{1, 4}));
  EXPECT_TRUE(r.AllDrawn());
}

TEST_F(Generation, TeacherFullOnEveryDaySearchesFromFridayBackwards) {
  t.AddPlan("101", "02", "T1", 1);
  t.AddPlan("102", "02", "T1", 4);
  for (int day = 1; day <= 5; ++day) t.AddLesson("103", day, 1, "03", "T1", 0);  // no plan row of its own
  ResetAutoBuild(t.db());
  ScriptedRandom r{0.0};
  EXPECT_EQ(BuildRow(r, "101", "02", "T1"), RowOutcome::kBuilt);
  EXPECT_EQ(Lessons().back(), (LessonRow{"101", 5, 2, "02", "T1", 1})) << "only the start day meets the cap";
}

TEST_F(Generation, LessonWithoutSlotClosesTheRowAndLeavesTheRestOut) {
  for (int day = 1; day <= 5; ++day)
    for (int n = 1; n <= 6; ++n)
      if (day != 1 || n != 1) t.AddLimit(kCourseKind, "02", day, n, kNever);
  t.AddPlan("101", "02", "T1", 3);
  t.AddPlan("101", "01", "T2", 2);
  // 02: the pick of its first lesson, the chance of its second (at 2.67);
  // 01: pick, chance (3.5, moved), pick.
  ScriptedRandom r{0.0, 0.0, 0.0, 0.5, 0.0};
  const BuildResult result = BuildTimetable(t.db(), 6, r);
  EXPECT_EQ(t.BuildCount("101", "02"), 1);
  EXPECT_EQ(IsAutoBuild("101", "02"), 1);
  EXPECT_EQ(t.BuildCount("101", "01"), 2) << "the run goes on with the other rows";
  EXPECT_EQ(result.rate, 60);
  EXPECT_EQ(result.plannedLessons, 5);
  EXPECT_EQ(result.placedLessons, 3);
  EXPECT_EQ(result.unplacedLessons, 2);
  EXPECT_EQ(result.incompleteRows, 1);
  EXPECT_TRUE(r.AllDrawn());
}

TEST_F(Generation, RunDropsManualLessonsAndCountsFixedOnes) {
  t.AddPlan("101", "02", "T1", 5);
  t.AddPlan("102", "02", "T2", 2);
  t.AddLesson("101", 1, 1, "02", "T1", 0);
  t.AddLesson("101", 2, 2, "02", "T1", 2);
  t.AddLesson("102", 2, 2, "02", "T2", 1);
  UniformRandom r;
  const BuildResult result = BuildTimetable(t.db(), 6, r);
  EXPECT_EQ(result.rate, 100);
  EXPECT_EQ(t.Count("select count(*) from LessonListtb where SetFlag=2"), 0);
  EXPECT_EQ(t.Count("select count(*) from LessonListtb where SetFlag=0 and ClassCode='101' and Day=1 and "
                    "LessonNo=1"),
            1);
  EXPECT_EQ(t.Count("select count(*) from LessonListtb where SetFlag=1 and ClassCode='101'"), 4);
  EXPECT_EQ(result.placedLessons, 7);
}

TEST_F(Generation, CompletionRateRoundsHalvesToEvenAndNeverHidesAMissingLesson) {
  EXPECT_EQ(CompletionRate(t.db()), -1) << "no plan";
  t.AddPlan("101", "02", "T1", 0);
  EXPECT_EQ(CompletionRate(t.db()), -1) << "zero total";

  auto rate = [&](int count, int built) {
    t.db().Execute("delete from ClassPlantb");
    t.AddPlan("101", "02", "T1", count);
    t.db().Execute("update ClassPlantb set BuildCount=?", built);
    return CompletionRate(t.db());
  };
  EXPECT_EQ(rate(8, 1), 12);  // 12.5
  EXPECT_EQ(rate(8, 3), 38);  // 37.5
  EXPECT_EQ(rate(3, 2), 67);  // 66.67
  EXPECT_EQ(rate(200, 199), 99) << "99.5 would round to 100";
  EXPECT_EQ(rate(5, 5), 100);
  EXPECT_EQ(rate(5, 0), 0);

  // Extra fixed lessons in one row do not make up for a gap in another.
  t.db().Execute("delete from ClassPlantb");
  t.AddPlan("101", "02", "T1", 5);
  t.AddPlan("102", "02", "T1", 5);
  t.db().Execute("update ClassPlantb set BuildCount=7 where ClassCode='101'");
  t.db().Execute("update ClassPlantb set BuildCount=3 where ClassCode='102'");
  EXPECT_EQ(CompletionRate(t.db()), 99);
}

TEST_F(Generation, EmptyPlanFailsAndLeavesTheTimetableAsItWas) {
  t.AddLesson("101", 1, 1, "02", "T1", 1);
  t.AddLesson("101", 1, 2, "02", "T1", 2);
  UniformRandom r;
  const BuildResult result = BuildTimetable(t.db(), 6, r);
  EXPECT_EQ(result.rate, -1);
  EXPECT_FALSE(result.error.empty());
  EXPECT_EQ(Lessons().size(), 2u);
}

TEST_F(Generation, DatabaseFailureInTheMiddleRollsTheWholeRunBack) {
  t.AddPlan("101", "02", "T1", 3);
  t.AddPlan("102", "01", "T2", 3);
  UniformRandom r(5);
  ASSERT_EQ(BuildTimetable(t.db(), 6, r).rate, 100);
  t.AddLesson("103", 5, 6, "04", "T3", 2);
  const auto before = Lessons();
  const auto plan = t.Count("select sum(BuildCount*10+IsAutoBuild) from ClassPlantb");
  // The store refuses the lessons of the second row placed.
  t.db().Raw().exec(
      "create trigger refuse before insert on LessonListtb when new.ClassCode='102'"
      " begin select raise(abort,'disk full'); end");
  const BuildResult result = BuildTimetable(t.db(), 6, r);
  EXPECT_EQ(result.rate, -1);
  EXPECT_NE(result.error.find("disk full"), std::string::npos) << result.error;
  EXPECT_EQ(Lessons(), before);
  EXPECT_EQ(t.Count("select sum(BuildCount*10+IsAutoBuild) from ClassPlantb"), plan);
}

TEST_F(Generation, RowThatCannotBeMarkedEndsTheRunInsteadOfLooping) {
  t.AddPlan("101", "02", "T1", 2);
  // A row without a teacher is found by its course but matches no marking.
  t.db().Execute(
      "insert into ClassPlantb (ClassCode,CourseCode,TeacherCode,Count) values ('102','02',NULL,2)");
  UniformRandom r;
  BuildResult result = BuildTimetable(t.db(), 6, r);
  EXPECT_EQ(result.rate, -1);
  EXPECT_NE(result.error.find("102"), std::string::npos) << result.error;
  EXPECT_EQ(t.Count("select count(*) from LessonListtb"), 0) << "rolled back";

  // A row whose class code is empty is never picked as a class.
  t.db().Execute("delete from ClassPlantb where TeacherCode is null");
  t.AddPlan("", "01", "T2", 2);
  result = BuildTimetable(t.db(), 6, r);
  EXPECT_EQ(result.rate, -1);
  EXPECT_FALSE(result.error.empty());
}

TEST_F(Generation, ProgressIsReportedOncePerPassOfEachLoop) {
  t.AddPlan("101", "02", "T1", 1);
  t.AddPlan("102", "02", "T1", 1);
  t.AddPlan("101", "01", "T2", 1);
  int calls = 0;
  UniformRandom r;
  ASSERT_EQ(BuildTimetable(t.db(), 6, r, [&] { ++calls; }).rate, 100);
  // Outer loop: two courses and the pass that ends it; inner loops: a pass
  // per row and one that ends each.
  EXPECT_EQ(calls, 3 + (2 + 1) + (1 + 1));
}

TEST_F(Generation, SameSeedSameTimetable) {
  for (const char* cls : {"101", "102", "103"}) {
    t.AddPlan(cls, "01", "T1", 4);
    t.AddPlan(cls, "02", "T2", 4);
    t.AddPlan(cls, "03", "T3", 3);
  }
  UniformRandom first(42);
  ASSERT_EQ(BuildTimetable(t.db(), 6, first).rate, 100);
  const auto once = Lessons();
  UniformRandom second(42);
  ASSERT_EQ(BuildTimetable(t.db(), 6, second).rate, 100);
  EXPECT_EQ(Lessons(), once);
}

TEST_F(Generation, UnusableLessonsPerDayIsRefusedWithoutTouchingAnything) {
  t.AddPlan("101", "02", "T1", 2);
  t.AddLesson("101", 1, 1, "02", "T1", 2);
  UniformRandom r;
  for (int lessons : {0, 8}) {
    const BuildResult result = BuildTimetable(t.db(), lessons, r);
    EXPECT_EQ(result.rate, -1);
    EXPECT_EQ(t.Count("select count(*) from LessonListtb where SetFlag=2"), 1);
  }
}

}  // namespace
}  // namespace orv
