// SPDX-License-Identifier: GPL-3.0-or-later
// The optimiser on random schools with a hidden complete timetable under a
// teacher limit: it keeps every rule the completion kept, breaks the stated
// rules no more than before, never raises the score, leaves fixed and
// hand-placed lessons alone, and writes what it reports. Then the small
// cases: it repairs a stated rule at the cost of the score, a stop leaves
// the timetable as it was, and a seed gives one result.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <map>
#include <string>

#include "core/rules/quality.h"
#include "core/rules/rule_index.h"
#include "core/rules/stated_rules.h"
#include "core/scheduling/build_timetable.h"
#include "core/scheduling/complete_timetable.h"
#include "core/scheduling/feasible_school.h"
#include "core/scheduling/optimiser.h"
#include "core/scheduling/timetable_check.h"
#include "support/test_db.h"

namespace orv {
namespace {

constexpr int kAuto = DbValue(LessonOrigin::Automatic);

const char* kWalls =
    "select group_concat(ClassCode||'/'||Day||'/'||LessonNo||'/'||CourseCode||'/'||TeacherCode,' ')"
    " from (select * from LessonListtb where SetFlag<>1 order by rowid)";

int BreachAmount(TimetableDb& db, int lessonsPerDay) {
  const Result<SchoolModel> m = LoadIndexedSchool(db, SchoolWeek(lessonsPerDay));
  EXPECT_TRUE(m) << m.message();
  int amount = 0;
  for (const StatedBreach& b : StatedBreaches(*m)) amount += b.amount;
  return amount;
}

// Lessons the checker finds breaking a rule of one lesson in its period,
// which every automatic lesson keeps after the completion.
int BrokenLessons(TimetableDb& db, int lessonsPerDay) {
  int broken = 0;
  for (const Finding& f : CheckTimetable(db, lessonsPerDay).value()) switch (f.kind) {
      case FindingKind::kClassDoubleBooked:
      case FindingKind::kTeacherDoubleBooked:
      case FindingKind::kCourseNeverCell:
      case FindingKind::kSpecialCourseClash:
      case FindingKind::kOutsideWeek:
      case FindingKind::kBuildCountWrong:
      case FindingKind::kCourseDayCap:
      case FindingKind::kClassNeverCell:
      case FindingKind::kTeacherNeverCell:
        ++broken;
        break;
      default:
        break;
    }
  return broken;
}

// Every teacher's most lessons on a day of the hidden timetable, as the
// school-wide limit: a complete timetable keeps it.
int HiddenDayMax(const test::FeasibleSchool& school) {
  std::map<std::pair<std::string, int>, int> perDay;
  int most = 0;
  for (const test::HiddenLesson& h : school.hidden) most = std::max(most, ++perDay[{h.teacher, h.day}]);
  return most;
}

TEST(OptimiserProperty, KeepsEveryRuleAndNeverRaisesTheScore) {
  struct Shape {
    int classes, lessonsPerDay, fill;
  };
  constexpr Shape kShapes[] = {{6, 6, 100}, {12, 7, 90}, {24, 6, 95}, {36, 7, 100}};
  std::uint64_t seed = 40;
  for (const Shape& shape : kShapes) {
    ++seed;
    SCOPED_TRACE("seed " + std::to_string(seed) + ", " + std::to_string(shape.classes) + " classes");
    test::TestDb t;
    const test::FeasibleSchool school =
        test::MakeFeasibleSchool(t.db(), {shape.classes, shape.lessonsPerDay, shape.fill, seed});
    ASSERT_TRUE(SetSchoolRule(
        t.db(), {RuleKey::kMaxLessonsPerDay, RuleScope::kSchool, "", "", HiddenDayMax(school)}));
    UniformRandom random(seed);
    ASSERT_TRUE(BuildTimetable(t.db(), shape.lessonsPerDay, random).ok());
    CompletionOptions completion;
    completion.lessonsPerDay = shape.lessonsPerDay;
    completion.seed = seed;
    ASSERT_TRUE(CompleteTimetable(t.db(), completion).ok());

    const QualityReport completed = MeasureQuality(t.db(), SchoolWeek(shape.lessonsPerDay)).value();
    const long long before = completed.score;
    const int breachBefore = BreachAmount(t.db(), shape.lessonsPerDay);
    const int brokenBefore = BrokenLessons(t.db(), shape.lessonsPerDay);
    const auto walls = t.db().FirstText(kWalls);
    const long long lessons = t.Count("select count(*) from LessonListtb");

    OptimiserOptions options;
    options.lessonsPerDay = shape.lessonsPerDay;
    options.control.seed = seed;
    options.control.seconds = 30;
    long long lastProgress = -1;
    options.control.progress = [&](long long score) {
      if (lastProgress >= 0) {
        EXPECT_LE(score, lastProgress) << "the best score only falls";
      }
      lastProgress = score;
    };
    const Result<OptimiserReport> r = OptimiseTimetable(t.db(), options);
    ASSERT_TRUE(r) << r.message();
    EXPECT_FALSE(r->timedOut);
    EXPECT_EQ(r->scoreBefore, before);
    EXPECT_EQ(r->breachBefore, breachBefore);
    EXPECT_LT(r->scoreAfter, before) << "a completed random timetable has room to improve";
    EXPECT_EQ(lastProgress, r->scoreAfter);

    const QualityReport after = MeasureQuality(t.db(), SchoolWeek(shape.lessonsPerDay)).value();
    EXPECT_EQ(after.score, r->scoreAfter) << "what was reported is what was written";
    EXPECT_EQ(after.lessonBreaches, 0);
    if (r->breachAfter == breachBefore) {
      EXPECT_GE(after.bestLessons, completed.bestLessons)
          << "no fewer lessons in 最佳位置 than the completion gave";
    }
    EXPECT_EQ(BreachAmount(t.db(), shape.lessonsPerDay), r->breachAfter);
    EXPECT_LE(r->breachAfter, breachBefore);
    EXPECT_EQ(brokenBefore, 0);
    EXPECT_EQ(BrokenLessons(t.db(), shape.lessonsPerDay), 0);
    EXPECT_EQ(t.db().FirstText(kWalls), walls);
    EXPECT_EQ(t.Count("select count(*) from LessonListtb"), lessons);
    EXPECT_EQ(test::WrongBuildCounts(t.db()), 0);
  }
}

class OptimiserTest : public ::testing::Test {
 protected:
  OptimiserTest() {
    t.AddClass("101", "一（1）班");
    t.AddCourse("01", "语文");
    t.AddCourse("02", "数学");
    t.AddTeacher("T1", "王伟");
    t.AddTeacher("T2", "李娜");
    t.AddPlan("101", "01", "T1", 3);
    t.AddPlan("101", "02", "T2", 2);
    // 王伟 Monday 1, 2 and 3 with "最佳位置" cells there; 李娜 Monday 5 and
    // Tuesday 3, after two free periods of the class.
    for (int n : {1, 2, 3}) {
      t.AddLesson("101", 1, n, "01", "T1", kAuto);
      t.AddLimit(DbValue(LimitKind::Course), "01", 1, n, DbValue(LimitMark::Best));
    }
    t.AddLesson("101", 1, 5, "02", "T2", kAuto);
    t.AddLesson("101", 2, 3, "02", "T2", kAuto);
    test::RecountBuildCounts(t.db());
  }
  std::string Lessons() {
    return t.db()
        .FirstText(
            "select group_concat(Day||'/'||LessonNo||'/'||CourseCode,' ') from"
            " (select * from LessonListtb order by rowid)")
        .value_or("");
  }
  test::TestDb t;
};

TEST_F(OptimiserTest, RepairsABrokenStatedRule) {
  ASSERT_TRUE(SetSchoolRule(t.db(), {RuleKey::kMaxLessonsPerDay, RuleScope::kTeacher, "T1", "", 2}));
  OptimiserOptions options;
  const Result<OptimiserReport> r = OptimiseTimetable(t.db(), options);
  ASSERT_TRUE(r) << r.message();
  EXPECT_EQ(r->breachBefore, 1);
  EXPECT_EQ(r->breachAfter, 0);
  EXPECT_EQ(BreachAmount(t.db(), 6), 0);
  EXPECT_LE(t.Count("select count(*) from LessonListtb where TeacherCode='T1' and Day=1"), 2);
}

TEST_F(OptimiserTest, FixedAndHandPlacedLessonsStayAndAStopChangesNothing) {
  // Only 李娜's Tuesday lesson may move; Monday stays as it is.
  t.db().Execute("update LessonListtb set SetFlag=0 where CourseCode='01'");
  t.db().Execute("update LessonListtb set SetFlag=2 where CourseCode='02' and Day=1");
  const std::string before = Lessons();
  const auto walls = t.db().FirstText(kWalls);

  std::atomic<bool> stop{true};
  OptimiserOptions options;
  options.control.cancel = &stop;
  Result<OptimiserReport> r = OptimiseTimetable(t.db(), options);
  ASSERT_TRUE(r);
  EXPECT_TRUE(r->cancelled);
  EXPECT_EQ(r->movedLessons, 0);
  EXPECT_EQ(Lessons(), before);

  stop = false;
  r = OptimiseTimetable(t.db(), options);
  ASSERT_TRUE(r);
  EXPECT_EQ(r->movedLessons, 1);
  // The two free periods before it go; Monday's three fixed 语文 stay repeats.
  EXPECT_EQ(r->scoreBefore, 2 * kClassGapWeight + 2 * kRepeatWeight);
  EXPECT_EQ(r->scoreAfter, 2 * kRepeatWeight);
  EXPECT_EQ(t.db().FirstText(kWalls), walls);
  // To the start of a morning or afternoon of a day without 数学: Monday
  // has reached the course's daily cap.
  EXPECT_EQ(t.Count("select count(*) from LessonListtb where SetFlag=1 and Day>1 and LessonNo in (1,5)"), 1);
}

TEST_F(OptimiserTest, OneSeedGivesOneTimetable) {
  auto run = [&](std::uint64_t seed) {
    SchoolModel m = LoadIndexedSchool(t.db(), SchoolWeek(6)).value();
    OptimiserControl control;
    control.seed = seed;
    const OptimiserReport r = OptimiseModel(m, control);
    std::vector<int> periods;
    for (const ModelLesson& l : m.lessons) periods.push_back(l.period);
    EXPECT_EQ(QualityScore(m, ParallelGroups(m)), r.scoreAfter);
    return periods;
  };
  EXPECT_EQ(run(7), run(7));
}

// Two classes whose teachers interlock: 王伟 teaches 101 语文 and 102 英语,
// 李娜 101 数学 and 102 科学, in Monday's first two periods, the only ones
// the classes may use. 语文 wants Monday 2; swapping 101's two lessons alone
// puts each teacher in two classes at once, so only exchanging all four
// (a Kempe chain) mends it, only when all four may move and each may stand
// where it lands.
TEST(OptimiserChain, ExchangesInterlockedClassesOnlyWhenEveryLessonMayMoveAndStand) {
  test::TestDb t;
  t.AddClass("101", "一（1）班");
  t.AddClass("102", "一（2）班");
  t.AddTeacher("T1", "王伟");
  t.AddTeacher("T2", "李娜");
  const std::pair<const char*, const char*> kCourses[] = {
      {"01", "语文"}, {"02", "数学"}, {"03", "英语"}, {"04", "科学"}};
  for (const auto& [code, name] : kCourses) t.AddCourse(code, name);
  t.AddPlan("101", "01", "T1", 1);
  t.AddPlan("101", "02", "T2", 1);
  t.AddPlan("102", "03", "T1", 1);
  t.AddPlan("102", "04", "T2", 1);
  t.AddLesson("101", 1, 1, "01", "T1", kAuto);
  t.AddLesson("101", 1, 2, "02", "T2", kAuto);
  t.AddLesson("102", 1, 1, "04", "T2", kAuto);
  t.AddLesson("102", 1, 2, "03", "T1", kAuto);
  for (const char* cls : {"101", "102"})
    for (int day = 1; day <= kDaysPerWeek; ++day)
      for (int n = 1; n <= 6; ++n)
        if (day > 1 || n > 2) t.AddLimit(DbValue(LimitKind::Class), cls, day, n, DbValue(LimitMark::Never));
  t.AddLimit(DbValue(LimitKind::Course), "01", 1, 2, DbValue(LimitMark::Best));
  test::RecountBuildCounts(t.db());
  const char* kWeek =
      "select group_concat(ClassCode||'/'||LessonNo||'/'||CourseCode||'/'||TeacherCode,' ')"
      " from (select * from LessonListtb order by ClassCode, LessonNo)";

  // With 102's 英语 fixed the chain may not move: nothing does.
  t.db().Execute("update LessonListtb set SetFlag=0 where CourseCode='03'");
  const auto before = t.db().FirstText(kWeek);
  Result<OptimiserReport> r = OptimiseTimetable(t.db(), OptimiserOptions{});
  ASSERT_TRUE(r) << r.message();
  EXPECT_EQ(r->chains, 0u);
  EXPECT_EQ(r->movedLessons, 0);
  EXPECT_EQ(r->scoreAfter, kBestMissWeight);
  EXPECT_EQ(t.db().FirstText(kWeek), before);

  t.db().Execute("update LessonListtb set SetFlag=1 where CourseCode='03'");
  r = OptimiseTimetable(t.db(), OptimiserOptions{});
  ASSERT_TRUE(r) << r.message();
  EXPECT_GE(r->chains, 1u);
  EXPECT_EQ(r->movedLessons, 4);
  EXPECT_EQ(r->scoreBefore, kBestMissWeight);
  EXPECT_EQ(r->scoreAfter, 0);
  EXPECT_EQ(t.db().FirstText(kWeek), "101/1/02/T2 101/2/01/T1 102/1/03/T1 102/2/04/T2");
  EXPECT_EQ(BrokenLessons(t.db(), 6), 0);
  EXPECT_EQ(BreachAmount(t.db(), 6), 0);

  // Back as it was, with 科学 a special course in one room that 103 holds on
  // Monday 2: the chain would bring 102's 科学 there, so it is not taken.
  t.db().Execute("update LessonListtb set LessonNo=3-LessonNo");
  t.AddClass("103", "一（3）班");
  t.AddTeacher("T3", "张强");
  t.AddPlan("103", "04", "T3", 1);
  t.AddLesson("103", 1, 2, "04", "T3", DbValue(LessonOrigin::Fixed));
  t.AddLimit(DbValue(LimitKind::Class), "103", 1, 1, DbValue(LimitMark::Never));  // no gap before it
  t.AddSpecialCourse("04");
  test::RecountBuildCounts(t.db());
  ASSERT_EQ(t.db().FirstText(kWeek), before.value() + " 103/2/04/T3");
  r = OptimiseTimetable(t.db(), OptimiserOptions{});
  ASSERT_TRUE(r) << r.message();
  EXPECT_EQ(r->movedLessons, 0);
  EXPECT_EQ(r->scoreAfter, kBestMissWeight);
  EXPECT_EQ(BrokenLessons(t.db(), 6), 0);
}

}  // namespace
}  // namespace orv
