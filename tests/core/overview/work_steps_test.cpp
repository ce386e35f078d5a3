// SPDX-License-Identifier: GPL-3.0-or-later
// The start page's steps as a school fills its database: each step is judged
// from what is stored, so a half-done school shows where it stopped.
#include "core/overview/work_steps.h"

#include <gtest/gtest.h>

#include "support/test_db.h"

namespace orv {
namespace {

std::string DoneSteps(TimetableDb& db) {
  const Result<StartFacts> facts = ReadStartFacts(db, 6);
  EXPECT_TRUE(facts) << facts.outcome().message();
  std::string done;
  for (const WorkStepState& step : JudgeWorkSteps(facts.value_or(StartFacts{})))
    done += step.done ? (step.optional ? "o" : "x") : "-";
  return done;
}

TEST(WorkSteps, FollowTheSchoolFromEmptyToPublished) {
  test::TestDb t;
  EXPECT_EQ(DoneSteps(t.db()), "-------");
  EXPECT_EQ(MissingForGeneration(ReadDatabaseTotals(t.db()).value()),
            (std::vector<std::string>{"没有班级", "没有课程", "没有老师", "教学计划为空"}));

  t.AddClass("0101", "一(1)班");
  t.AddClass("0102", "一(2)班");
  t.AddCourse("01", "语文");
  t.AddTeacher("001", "王老师");
  EXPECT_EQ(DoneSteps(t.db()), "x------");
  EXPECT_EQ(MissingForGeneration(ReadDatabaseTotals(t.db()).value()),
            std::vector<std::string>{"教学计划为空"});

  // One class without a plan row still leaves the plan undone.
  t.AddPlan("0101", "01", "001", 5);
  EXPECT_EQ(DoneSteps(t.db()), "x------");
  t.AddPlan("0102", "01", "001", 5);
  EXPECT_EQ(DoneSteps(t.db()), "xx-x---");
  EXPECT_TRUE(MissingForGeneration(ReadDatabaseTotals(t.db()).value()).empty());

  // A week of 正常 restricts nothing; one 不排 cell does.
  for (int lesson = 1; lesson <= 6; ++lesson) t.AddLimit(0, "0101", 1, lesson, 1);
  EXPECT_EQ(DoneSteps(t.db()), "xx-x---");
  t.db().Execute("update Limittb set Attr=3 where LessonNo=6");
  EXPECT_EQ(DoneSteps(t.db()), "xxox---");

  // A fixed lesson is placed before generation, which has still to run.
  t.AddLesson("0101", 5, 6, "01", "001", 0);
  test::RecountBuildCounts(t.db());
  EXPECT_EQ(DoneSteps(t.db()), "xxox---");
  t.AddLesson("0101", 1, 2, "01", "001", 1);
  test::RecountBuildCounts(t.db());
  EXPECT_EQ(DoneSteps(t.db()), "xxoxx--");

  for (int day = 1; day <= 5; ++day) {
    if (day > 1 && day < 5) t.AddLesson("0101", day, 2, "01", "001", 1);
    t.AddLesson("0102", day, 3, "01", "001", 2);
  }
  test::RecountBuildCounts(t.db());
  EXPECT_EQ(DoneSteps(t.db()), "xxoxxx-");

  t.db().Execute(
      "insert into Publicationtb (Version, PublishedAt, LessonsPerDay) values (1, '2026-12-07 18:00', 6)");
  EXPECT_EQ(DoneSteps(t.db()), "xxoxxxx");
}

TEST(WorkSteps, BlockingFindingsLeaveTheCheckUndoneAndCompletionNeverRoundsUp) {
  test::TestDb t;
  t.AddClass("0101", "一(1)班");
  t.AddCourse("01", "语文");
  t.AddTeacher("001", "王老师");
  // 31 lessons in a week of 30 periods cannot all be placed.
  t.AddPlan("0101", "01", "001", 31);
  const StartFacts facts = ReadStartFacts(t.db(), 6).value();
  EXPECT_GT(facts.blockingFindings, 0);
  EXPECT_FALSE(JudgeWorkSteps(facts)[int(WorkStep::kAnalysis)].done);
  EXPECT_TRUE(JudgeWorkSteps(facts)[int(WorkStep::kPlan)].done);

  DatabaseTotals totals;
  EXPECT_EQ(CompletionPercent(totals), 0);
  totals.plannedLessons = 200;
  totals.placedLessons = 199;
  EXPECT_EQ(CompletionPercent(totals), 99);
  totals.placedLessons = 250;  // counters another program left too high
  EXPECT_EQ(CompletionPercent(totals), 100);
}

}  // namespace
}  // namespace orv
