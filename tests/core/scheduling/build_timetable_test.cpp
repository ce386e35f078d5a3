// SPDX-License-Identifier: GPL-3.0-or-later
// The generation driver: which plan row comes next, how a row's lessons spread
// over the week, fixed and manual lessons, the completion rate, and runs that
// fail.
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "core/scheduling/build_timetable.h"
#include "school_fixture.h"

namespace orv {
namespace {

using namespace test;

class Generation : public School {
 protected:
  // The completion rate of a run, or -1 with the reason reported.
  int Rate(UniformRandom& r) {
    const Result<BuildResult> built = BuildTimetable(t.db(), 6, r);
    EXPECT_TRUE(built) << built.message();
    return built ? built->rate : -1;
  }
};

TEST_F(Generation, NextCourseComesFromTheTeacherInMostClassesThenTheCourseInMostClassesThenMostLessons) {
  const std::vector<std::tuple<const char*, const char*, const char*>> cases = {
      {"", "", ""},
      // T1 has more rows, T2 more classes.
      {"101/01/T1/2 101/03/T1/2 102/01/T1/2 102/03/T1/2 101/02/T2/2 102/02/T2/2 103/02/T2/2", "02", "T2"},
      // Teachers tied on three classes: the first group.
      {"101/01/T2/6 102/01/T2/6 103/01/T2/6 101/02/T1/5 102/02/T1/5 103/02/T1/5", "02", "T1"},
      // Three classes beat nine lessons in one.
      {"101/01/T1/2 102/01/T1/2 103/01/T1/2 104/02/T1/9", "01", "T1"},
      // Courses tied on classes: more weekly lessons, 7 against 6.
      {"101/01/T1/2 102/01/T1/2 103/01/T1/2 101/03/T1/3 102/03/T1/3 103/03/T1/1", "03", "T1"},
      // Full tie: the first group.
      {"101/03/T1/2 102/03/T1/2 101/01/T1/2 102/01/T1/2", "01", "T1"},
  };
  for (const auto& [plan, course, teacher] : cases) {
    Plan(plan);
    Transaction read(t.db());
    const Result<GenerationState> loaded = LoadGenerationState(t.db(), SchoolWeek(6));
    ASSERT_TRUE(loaded) << loaded.message();
    const GenerationState& s = *loaded;
    int picked = 7;
    const int pickedCourse = PickNextTeacherCourse(s, picked);
    EXPECT_EQ(pickedCourse < 0 ? "" : s.model.courses[static_cast<size_t>(pickedCourse)].code, course)
        << plan;
    EXPECT_EQ(picked < 0 ? "" : s.model.teachers[static_cast<size_t>(picked)].code, teacher) << plan;
  }
}

TEST_F(Generation, CourseIsFinishedForItsTeacherThenItsOtherTeachersBeforeTheNextCourse) {
  // 104's row is entered first, yet T1's classes come first; once they are
  // done T3 has the most classes, still 02 of 104 comes before 01.
  Plan("104/02/T2/2 101/02/T1/2 102/02/T1/2 103/02/T1/2 101/01/T3/2 102/01/T3/2");
  UniformRandom r(3);
  ASSERT_EQ(Rate(r), 100);
  EXPECT_EQ(t.db().FirstText("select group_concat(Row,' ') from (select ClassCode||'/'||CourseCode as Row"
                             " from LessonListtb group by Row order by min(rowid))"),
            "101/02 102/02 103/02 104/02 101/01 102/01");
}

TEST_F(Generation, LessonsSpreadFromMondayAvoidFullTeacherDaysAndHalfPositionsMoveByChance) {
  // Weekly lessons, T1's lessons in another class, the draws (chance moves and
  // candidate picks, in order), the days the lessons go to.
  using Case = std::tuple<int, const char*, std::vector<double>, const char*>;
  const std::vector<Case> cases = {
      {5, "", {0, 0, 0, 0, 0}, "12345"},
      {2, "", {0, 0.49, 0}, "13"},              // 1.0, 3.5 kept
      {2, "", {0, 0.5, 0}, "14"},               // 1.0, 3.5 moved
      {4, "", {0, 0, 0.2, 0, 0.2, 0}, "1234"},  // 1.0, 2.25, 3.5, 4.75
      {2, "103/3/1/03/T1/0", {0, 0}, "14"},     // Wednesday full: 4.0, no chance
      {1, "103/1/1/03/T1/0", {0}, "2"},
      // Full every day: from Friday backwards.
      {1, "103/1/1/03/T1/0 103/2/1/03/T1/0 103/3/1/03/T1/0 103/4/1/03/T1/0 103/5/1/03/T1/0", {0}, "5"},
  };
  for (const auto& [count, busy, draws, days] : cases) {
    Exec("delete from LessonListtb");
    Plan("101/02/T1/" + std::to_string(count));
    Add(busy);
    ScriptedRandom r(draws);
    ASSERT_EQ(Rate(r), 100);
    EXPECT_EQ(t.db().FirstText("select group_concat(Day,'') from LessonListtb where ClassCode='101'"), days)
        << count << " " << busy;
    EXPECT_TRUE(r.AllDrawn());
  }
}

TEST_F(Generation, RunDropsManualLessonsKeepsAndCountsFixedOnesAndFillsOnlyWhatIsMissing) {
  Plan("101/02/T1/2 102/02/T1/1");
  // 101's fixed lessons complete its row; 102's fixed one is not its teacher's.
  Add("101/1/1/02/T1/0 101/3/1/02/T1/0 101/2/2/02/T1/2 101/4/4/02/T1/1 102/1/2/02/T2/0");
  Exec("update ClassPlantb set IsAutoBuild=1,BuildCount=9");
  ScriptedRandom r({0.0});  // one pick, for 102's lesson; T1 is full on Monday
  EXPECT_EQ(Rate(r), 100);
  EXPECT_TRUE(r.AllDrawn());
  EXPECT_EQ(Lessons(), "101/1/1/02/T1/0 101/3/1/02/T1/0 102/1/2/02/T2/0 102/2/1/02/T1/1");
  EXPECT_EQ(t.BuildCount("101", "02"), 2);
  EXPECT_EQ(t.BuildCount("102", "02"), 1);
  EXPECT_EQ(t.Count("select count(*) from ClassPlantb where IsAutoBuild<>1"), 0);
}

TEST_F(Generation, RowsOfOneClassAndCourseShareTheFirstRowsCountAndEachDuplicateCountsTheFixedLessons) {
  // A duplicate T1 row and a second teacher for 101's course 02. The fixed
  // lesson counts once for each T1 row; the first row's Count (3) rules the
  // class's course, so T1 places two more and T2's row finds nothing missing.
  Plan("101/02/T1/3 101/02/T1/2 101/02/T2/4");
  Add("101/1/1/02/T1/0");
  // T1 teaches 5 a week, so one a day: Monday is full, then 2.0 and 3.67
  // (a chance, kept on Wednesday).
  ScriptedRandom r({0.0, 0.0, 0.0});
  const Result<BuildResult> result = BuildTimetable(t.db(), 6, r);
  ASSERT_TRUE(result) << result.message();
  EXPECT_TRUE(r.AllDrawn());
  EXPECT_EQ(Lessons(), "101/1/1/02/T1/0 101/2/1/02/T1/1 101/3/1/02/T1/1");
  EXPECT_EQ(t.db().FirstText("select group_concat(BuildCount||'/'||IsAutoBuild,' ') from ClassPlantb"),
            "3/1 3/1 3/1");
  EXPECT_EQ(result->rate, 99);  // 9 of 9, yet T2's row misses one
}

TEST_F(Generation, ResetKeepsFixedAndUnflaggedLessonsAndATeachersDayCountsEveryLessonOfThatDay) {
  // A duplicate T1 row; T1's fixed lessons on Monday 1 and past Tuesday's last
  // lesson, a placed and a hand-placed one; T2's lesson without a SetFlag.
  Plan("101/02/T1/3 101/02/T1/2 102/01/T2/1");
  Add("101/1/1/02/T1/0 101/2/7/02/T1/0 101/1/2/02/T1/1 101/1/3/02/T1/2 102/2/1/01/T2");
  Exec("update LessonListtb set SetFlag=NULL where ClassCode='102'");
  Transaction read(t.db());
  Result<GenerationState> loaded = LoadGenerationState(t.db(), SchoolWeek(6));
  ASSERT_TRUE(loaded) << loaded.message();
  GenerationState& s = *loaded;
  ResetAutoBuild(s);
  ASSERT_EQ(s.model.lessons.size(), 3u);
  EXPECT_EQ(s.model.lessons[2].setFlag, std::nullopt);
  // Each fixed lesson counts once for every row of its class, course and teacher.
  EXPECT_EQ(s.rows[0].buildCount, 2);
  EXPECT_EQ(s.rows[1].buildCount, 2);
  EXPECT_EQ(s.rows[2].buildCount, 0);
  const int t1 = s.model.TeacherIndex("T1"), t2 = s.model.TeacherIndex("T2");
  EXPECT_TRUE(TeacherDayFull(s, t1, 2.5, 1));   // the lesson past the day's end is on Tuesday too
  EXPECT_FALSE(TeacherDayFull(s, t1, 1.0, 2));  // the placed and hand-placed ones are gone
  EXPECT_TRUE(TeacherDayFull(s, t2, 2.0, 1));
  EXPECT_FALSE(TeacherDayFull(s, t2, 3.0, 1));
}

TEST_F(Generation, LessonWithoutSlotClosesItsRowAndTheRunGoesOn) {
  Limit("1/02/1/0/3 1/02/2/0/3 1/02/3/0/3 1/02/4/0/3 1/02/5/0/3");
  Exec("update Limittb set Attr=1 where Day=1 and LessonNo=1");  // 02's one open cell
  Plan("101/02/T1/4 101/01/T2/2");
  // 02: the pick of its first lesson; its second (2.25) finds no slot, and its
  // third (3.5) would draw a chance if it were tried. 01: pick, chance (3.5,
  // moved), pick.
  ScriptedRandom r({0.0, 0.0, 0.5, 0.0});
  const Result<BuildResult> result = BuildTimetable(t.db(), 6, r);
  ASSERT_TRUE(result);
  EXPECT_EQ(t.BuildCount("101", "02"), 1);
  EXPECT_EQ(t.BuildCount("101", "01"), 2);
  EXPECT_EQ(t.Count("select count(*) from ClassPlantb where IsAutoBuild<>1"), 0);
  EXPECT_EQ(result->rate, 50);
  EXPECT_EQ(result->unplacedLessons, 3);
  EXPECT_EQ(result->incompleteRows, 1);
  EXPECT_TRUE(r.AllDrawn());
}

TEST_F(Generation, LessonsInClassOrTeacherNeverCellsAreCountedNotAvoided) {
  // T1 may never teach and 102 may never have lessons: the generation, which
  // reads only the course's marks, places them anyway and says how many.
  Limit(
      "2/T1/1/0/3 2/T1/2/0/3 2/T1/3/0/3 2/T1/4/0/3 2/T1/5/0/3 0/102/1/0/3 0/102/2/0/3 0/102/3/0/3"
      " 0/102/4/0/3 0/102/5/0/3");
  Plan("101/01/T1/3 102/02/T2/2 103/03/T3/4");
  Add("103/5/6/03/T3/0");  // a fixed lesson is never counted
  Limit("0/103/5/6/3");
  UniformRandom random;
  const Result<BuildResult> result = BuildTimetable(t.db(), 6, random);
  ASSERT_TRUE(result);
  EXPECT_EQ(result->rate, 100);
  EXPECT_EQ(result->lessonsInNeverCells, 5);
}

TEST_F(Generation, CompletionRateRoundsHalvesToEvenButStaysBelow100WhileALessonIsMissing) {
  // Count/BuildCount of each row; no plan or a zero total is a failure.
  const std::vector<std::pair<const char*, int>> cases = {{"", -1},
                                                          {"0/0", -1},
                                                          {"8/1", 12},
                                                          {"8/3", 38},
                                                          {"3/2", 67},
                                                          {"5/5", 100},
                                                          {"35/35 35/35 35/35 35/35 35/35 35/34", 99},
                                                          {"5/7 5/3", 99}};
  for (const auto& [rows, rate] : cases) {
    Plan("");
    for (const auto& r : Rows(rows)) {
      t.AddPlan("101", "02", "T1", std::stoi(r[0]));
      t.db().Execute("update ClassPlantb set BuildCount=? where rowid=last_insert_rowid()", std::stoi(r[1]));
    }
    EXPECT_EQ(CompletionRate(t.db()), rate) << rows;
  }
}

TEST_F(Generation, FailedRunLeavesTimetableAndPlanAsTheyWere) {
  const std::vector<std::tuple<const char*, int, const char*>> cases = {
      // What goes wrong, lessons per day, a part of the reason given.
      {"delete from ClassPlantb", 6, "教学计划为空或总课时为0"},
      {"", 8, "每天课时数无效：8"},
      {"create trigger refuse before insert on LessonListtb when new.ClassCode='102'"
       " begin select raise(abort,'disk full'); end",
       6, "数据不符合表的约束"},
      // Rows found by their course that no marking or pick can reach: the run
      // must end rather than take them again forever.
      {"insert into ClassPlantb (ClassCode,CourseCode,TeacherCode,Count) values ('103','02',NULL,2)", 6,
       "班级 '103'"},
      {"insert into ClassPlantb (ClassCode,CourseCode,TeacherCode,Count) values ('','03','T3',2)", 6,
       "课程 '03'"},
      {"insert into ClassPlantb (ClassCode,CourseCode,TeacherCode,Count) values (NULL,'02','T1',2)", 6,
       "课程 '02'，教师 'T1'"},
  };
  const char* planState =
      "select group_concat(ClassCode||'/'||BuildCount||'/'||IsAutoBuild,' ') from ClassPlantb";
  for (const auto& [sql, lessonsPerDay, error] : cases) {
    SCOPED_TRACE(sql);
    Exec("delete from LessonListtb");
    Exec("drop trigger if exists refuse");
    Plan("101/02/T1/3 102/01/T2/3");
    Add("101/1/1/02/T1 103/5/6/99/F/2");
    Exec("update ClassPlantb set BuildCount=1,IsAutoBuild=1 where ClassCode='101'");
    Exec(sql);
    const std::string lessons = Lessons();
    const auto plan = t.db().FirstText(planState);
    UniformRandom r(5);
    const Result<BuildResult> result = BuildTimetable(t.db(), lessonsPerDay, r);
    EXPECT_FALSE(result);
    EXPECT_NE(result.message().find(error), std::string::npos) << result.message();
    EXPECT_EQ(Lessons(), lessons);
    EXPECT_EQ(t.db().FirstText(planState), plan);
  }
}

}  // namespace
}  // namespace orv
