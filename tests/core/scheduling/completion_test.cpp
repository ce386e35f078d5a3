// SPDX-License-Identifier: GPL-3.0-or-later
// Completing the timetable: making room by moving automatic lessons, every
// rule kept by the lessons it places and moves, the soft marks, the plan's
// counters, repeatability, and runs that are cancelled or fail.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>

#include "core/database/school_rules.h"
#include "core/demo/demo_school.h"
#include "core/rules/rule_book.h"
#include "core/scheduling/build_timetable.h"
#include "core/scheduling/complete_timetable.h"
#include "core/scheduling/timetable_check.h"
#include "school_fixture.h"

namespace orv {
namespace {

using namespace test;

class Completion : public School {
 protected:
  Result<CompletionReport> Complete(int lessonsPerDay = 6, std::uint64_t seed = 1) {
    CompletionOptions options;
    options.lessonsPerDay = lessonsPerDay;
    options.seed = seed;
    options.timeLimitSeconds = 5;
    return CompleteTimetable(t.db(), options);
  }
  // Day/lesson of the class's lessons of the course, sorted.
  std::string Slots(const std::string& cls, const std::string& course) {
    return t.db()
        .FirstText(
            "select group_concat(Day||'/'||LessonNo,' ') from (select * from LessonListtb where "
            "ClassCode=? and CourseCode=? order by Day,LessonNo)",
            cls, course)
        .value_or("");
  }
  // Class 101 can be taught only on Monday lessons 1 and 2 and Tuesday lesson 1.
  void CloseMostOf101() {
    Limit(
        "0/101/1/3/3 0/101/1/4/3 0/101/1/5/3 0/101/1/6/3 0/101/2/2/3 0/101/2/3/3 0/101/2/4/3 0/101/2/5/3 "
        "0/101/2/6/3 0/101/3/0/3 0/101/4/0/3 0/101/5/0/3");
  }
};

TEST_F(Completion, MovesAutomaticLessonsToMakeRoomButNeverFixedOrHandPlacedOnes) {
  // Chinese can only be taught on Monday lessons 1 and 2. Class 101's
  // Chinese is missing: its teacher has Monday 1 in class 102, and 101 has
  // maths at Monday 2.
  Plan("101/01/T1/1 101/02/T2/1 102/01/T1/1");
  Limit("1/01/1/3/3 1/01/1/4/3 1/01/1/5/3 1/01/1/6/3 1/01/2/0/3 1/01/3/0/3 1/01/4/0/3 1/01/5/0/3");
  Add("102/1/1/01/T1/0 101/1/2/02/T2/1");
  const auto r = Complete();
  ASSERT_TRUE(r) << r.message();
  EXPECT_EQ(r->rate, 100);
  EXPECT_EQ(r->missingBefore, 1);
  EXPECT_EQ(r->placedLessons, 1);
  EXPECT_EQ(r->movedLessons, 1);
  EXPECT_EQ(Slots("101", "01"), "1/2");
  EXPECT_NE(Slots("101", "02"), "1/2");
  EXPECT_EQ(Slots("102", "01"), "1/1");

  // With maths placed by hand nothing can give way: the row stays short,
  // with the reason, and nothing moves.
  Exec(
      "delete from LessonListtb where CourseCode='01' and ClassCode='101';"
      "delete from LessonListtb where CourseCode='02';"
      "insert into LessonListtb values ('101',1,2,'02','T2',2)");
  const std::string before = Lessons();
  const auto stuck = Complete();
  ASSERT_TRUE(stuck);
  EXPECT_EQ(stuck->rate, 67);
  ASSERT_EQ(stuck->missing.size(), 1u);
  EXPECT_EQ(MissingLine(stuck->missing[0]),
            "一（1）班 语文（王伟）缺1节：一（1）班 "
            "语文（王伟）：每周1节，每天最多1节，除去课程、班级和教师“不排”及已占用的"
            "节次，没有一天能排这门课，最多只能排0节");
  EXPECT_EQ(Lessons(), before);
}

// Class 101 is free on Monday 1, Monday 2 and Tuesday 1; each case closes
// some of them to Chinese by one rule, stores a lesson that breaks one, or
// marks the free periods: fewer avoid cells come first, then more best
// cells, and a stored lesson in an avoid cell moves to a free normal one.
TEST_F(Completion, EveryPlacedOrMovedLessonKeepsEveryRuleAndTheBestMarks) {
  struct Case {
    const char* rule;
    int count;
    const char* limits;
    const char* lessons;
    bool special;
    const char* slots;  // Chinese of class 101 afterwards
  };
  const Case cases[] = {
      {"course never", 1, "1/01/1/1/3 1/01/2/1/3", "", false, "1/2"},
      {"teacher never", 1, "2/T1/1/1/3 2/T1/2/1/3", "", false, "1/2"},
      {"teacher busy in another class", 1, "", "102/1/1/02/T1/0 102/2/1/02/T1/2", false, "1/2"},
      {"class busy", 1, "", "101/1/1/99/F/0 101/2/1/99/F/2", false, "1/2"},
      {"special course held by another class", 1, "", "102/1/1/01/T2/0 102/2/1/01/T2/2", true, "1/2"},
      {"daily cap", 2, "", "101/1/1/01/T1/0", false, "1/1 2/1"},
      {"stored beyond the lessons of the day", 1, "1/01/1/1/3 1/01/2/1/3", "101/1/7/01/T1/1", false, "1/2"},
      {"stored in a class never cell", 1, "1/01/1/1/3 1/01/2/1/3", "101/4/3/01/T1/1", false, "1/2"},
      {"stored in a teacher never cell", 1, "2/T1/1/1/3 2/T1/2/1/3", "101/1/1/01/T1/1", false, "1/2"},
      {"stored on top of a hand-placed lesson", 1, "", "101/1/1/99/F/2 101/2/1/99/F/0 101/1/1/01/T1/1", false,
       "1/2"},
      {"the course's best position", 1, "1/01/2/1/0", "", false, "2/1"},
      {"course and teacher avoid the others", 1, "1/01/1/1/2 2/T1/1/2/2", "", false, "2/1"},
      {"class and teacher avoid the others", 1, "0/101/1/1/2 2/T1/2/1/2", "", false, "1/2"},
      {"two best cells", 1, "1/01/1/1/0 2/T1/1/1/0 1/01/1/2/2 0/101/2/1/2", "", false, "1/1"},
      {"one avoid outweighs two best", 1, "1/01/1/1/0 0/101/1/1/0 2/T1/1/1/2 1/01/2/1/2", "", false, "1/2"},
      {"stored in an avoid cell", 1, "1/01/1/1/2 1/01/1/2/2", "101/1/1/01/T1", false, "2/1"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.rule);
    Exec("delete from LessonListtb; delete from Limittb; delete from CourseAttrtb");
    CloseMostOf101();
    Plan("101/01/T1/" + std::to_string(c.count));
    Limit(c.limits);
    Add(c.lessons);
    if (c.special) t.AddSpecialCourse("01");
    const auto r = Complete();
    ASSERT_TRUE(r) << r.message();
    EXPECT_EQ(r->rate, 100);
    EXPECT_EQ(Slots("101", "01"), c.slots);
    EXPECT_EQ(r->placedLessons + r->movedLessons, 1) << "a stored lesson moves, it is not placed anew";
    EXPECT_EQ(r->removedLessons + r->avoidCells, 0);
  }
}

// The search books what a lesson holds in its period; two lessons holding
// one thing must be exactly the pairs the rule book finds in each other's way.
TEST_F(Completion, WhatTwoLessonsHoldInAPeriodIsWhatTheRuleBookTestsBetweenThem) {
  t.AddSpecialCourse("06");
  Add("101/1/1/06/T1 102/1/1/06/T2 101/1/1/01/T3 103/1/1/02/T1 104/1/1/01/T3 103/1/1/06/T2 101/1/1/06/T3");
  const SchoolModel m = LoadSchoolModel(t.db(), SchoolWeek(6)).value();
  const RuleSet clashes = {Rule::kClassClash, Rule::kTeacherClash, Rule::kSpecialCourseClash};
  std::array<int, kHeldKinds> shared{};
  for (size_t a = 0; a < m.lessons.size(); ++a)
    for (size_t b = 0; b < m.lessons.size(); ++b) {
      if (a == b) continue;
      const ModelLesson &la = m.lessons[a], &lb = m.lessons[b];
      std::vector<char> onlyB(m.lessons.size(), 0);
      onlyB[b] = 1;
      Candidate c = Candidate::Of(m, static_cast<int>(a));
      c.standing = &onlyB;
      const RuleSet broken = orv::Test(m, c, la.period, clashes);
      const auto ha = HoldingsOf(m, la.cls, la.course, la.teacher),
                 hb = HoldingsOf(m, lb.cls, lb.course, lb.teacher);
      bool any = false;
      for (int k = 0; k < kHeldKinds; ++k) {
        const bool same = ha[k] >= 0 && ha[k] == hb[k];
        any = any || same;
        shared[k] += same;
        // One class's special course twice is in the way as the class.
        if (la.cls != lb.cls || kHeldRules[k] != Rule::kSpecialCourseClash) {
          EXPECT_EQ(broken.Has(kHeldRules[k]), same) << a << " " << b << " " << k;
        }
      }
      EXPECT_EQ(!broken.Empty(), any) << a << " " << b;
    }
  for (int k = 0; k < kHeldKinds; ++k) EXPECT_GT(shared[k], 0) << "no pair shares holding " << k;
}

// A special course of two rooms takes two classes in a period and no more;
// a teacher's max-lessons-per-day holds even where the best cells draw every
// lesson to one day. Lessons stored past either limit move.
TEST_F(Completion, RoomsAndTheTeachersDailyMaximumAreKept) {
  t.AddSpecialCourse("06");
  ASSERT_TRUE(SetSchoolRule(t.db(), {RuleKey::kRooms, RuleScope::kCourse, "06", "", 2}));
  ASSERT_TRUE(SetSchoolRule(t.db(), {RuleKey::kMaxLessonsPerDay, RuleScope::kTeacher, "T1", "", 2}));
  Plan("101/06/T2/1 102/06/T3/1 103/06/F/1 101/01/T1/1 102/01/T1/1 103/01/T1/1 104/01/T1/1");
  // 体育 only on Monday 1 and 2; 语文 only on Monday and Tuesday, Monday best.
  Limit(
      "1/06/1/3/3 1/06/1/4/3 1/06/1/5/3 1/06/1/6/3 1/06/2/0/3 1/06/3/0/3 1/06/4/0/3 1/06/5/0/3 "
      "1/01/3/0/3 1/01/4/0/3 1/01/5/0/3 1/01/1/0/0");
  Add("101/1/1/06/T2 102/1/1/06/T3 103/1/1/06/F 101/1/3/01/T1 102/1/4/01/T1 103/1/5/01/T1 104/1/6/01/T1");
  const auto r = Complete();
  ASSERT_TRUE(r) << r.message();
  EXPECT_EQ(r->rate, 100);
  const auto count = [&](const char* where) {
    return t.db().FirstInt(std::string("select count(*) from LessonListtb where ") + where).value_or(-1);
  };
  EXPECT_EQ(count("CourseCode='06' and Day=1 and LessonNo=1"), 2);
  EXPECT_EQ(count("CourseCode='06' and Day=1 and LessonNo=2"), 1);
  EXPECT_EQ(count("TeacherCode='T1' and Day=1"), 2);
  EXPECT_EQ(count("TeacherCode='T1' and Day=2"), 2);
  const auto checked = CheckTimetable(t.db(), 6);
  ASSERT_TRUE(checked) << checked.message();
  EXPECT_EQ(CountFindings(*checked, Severity::kViolation), 0);
}

TEST_F(Completion, CountersStayTrueToTheLessonsAndSurplusAutomaticLessonsGo) {
  Plan("101/01/T1/2 102/02/T2/3");
  Exec("update ClassPlantb set BuildCount=7, IsAutoBuild=0");
  // Chinese of 101: one by hand and two automatic, one too many.
  Add("101/1/1/01/T1/2 101/2/1/01/T1/1 101/3/1/01/T1/1 102/3/3/02/T2/1");
  const auto r = Complete();
  ASSERT_TRUE(r) << r.message();
  EXPECT_EQ(r->removedLessons, 1);
  EXPECT_EQ(r->placedLessons, 2);
  EXPECT_EQ(Slots("101", "01"), "1/1 2/1");
  EXPECT_EQ(t.Count("select count(*) from ClassPlantb where BuildCount<>Count or IsAutoBuild<>1"), 0);
  EXPECT_EQ(t.Count("select count(*) from LessonListtb where ClassCode='102' and SetFlag=1"), 3);
}

TEST_F(Completion, PlanRowsWhoseTeacherIsGoneAreReportedNotPlaced) {
  Plan("101/01/ZZ/2 101/02/T2/1");
  const auto r = Complete();
  ASSERT_TRUE(r) << r.message();
  EXPECT_EQ(r->rate, 33);
  EXPECT_EQ(r->missingAfter, 2);
  ASSERT_EQ(r->missing.size(), 1u);
  EXPECT_EQ(
      MissingLine(r->missing[0]),
      "一（1）班 语文（教师'ZZ'）缺2节：教学计划一（1）班 语文（教师'ZZ'）：教师'ZZ'已不存在，2节课无法安排");
  EXPECT_EQ(t.Count("select count(*) from LessonListtb where TeacherCode='ZZ'"), 0);
}

TEST_F(Completion, CancelledFailingAndRefusedRunsLeaveTheTimetableAsItWas) {
  Plan("101/01/T1/5 102/01/T1/5 101/02/T2/4 103/02/T2/6");
  Add("101/1/1/01/T1/1 101/1/2/01/T1/1 101/1/3/01/T1/1 102/1/1/02/T1/1");
  const std::string before = Lessons();
  std::atomic<bool> cancel{false};
  std::vector<int> reported;
  CompletionOptions options;
  options.progress = [&](int missing) {
    reported.push_back(missing);
    cancel = true;
  };
  options.cancel = &cancel;
  auto r = CompleteTimetable(t.db(), options);
  // 17 lessons missing, and the third Monday Chinese lesson of 101 beyond the daily cap.
  ASSERT_FALSE(reported.empty());
  EXPECT_EQ(reported.front(), 18);
  EXPECT_EQ(r.code(), kCompletionCancelled);
  EXPECT_EQ(r.message(), "补排已取消，课表没有改动");
  EXPECT_EQ(Lessons(), before);

  // The database refuses the first new lesson, after the moves were written.
  Exec("create trigger no_new before insert on LessonListtb begin select raise(abort, 'refused'); end");
  r = Complete();
  EXPECT_FALSE(r);
  EXPECT_EQ(r.message().rfind("补排课表失败：", 0), 0u) << r.message();
  EXPECT_EQ(Lessons(), before);
  EXPECT_EQ(t.Count("select sum(BuildCount) from ClassPlantb"), 0);
  Exec("drop trigger no_new");

  EXPECT_EQ(Complete(8).message(), "每天课时数无效: 8");
  Exec("delete from ClassPlantb");
  EXPECT_EQ(Complete().message(), "教学计划为空，没有需要补排的课程");
  EXPECT_EQ(Lessons(), before);
}

TEST(CompletionRepeats, TheSameSeedGivesTheSameTimetable) {
  TestDb first, second;
  for (TestDb* t : {&first, &second}) {
    ASSERT_TRUE(
        FillDemoSchool(t->db(), DemoOptions{.lastGrade = 6, .classesPerGrade = 4, .fillPercent = 100}));
    UniformRandom random(7);
    ASSERT_TRUE(BuildTimetable(t->db(), 6, random).ok());
    CompletionOptions options;
    options.seed = 7;
    const auto r = CompleteTimetable(t->db(), options);
    ASSERT_TRUE(r) << r.message();
    EXPECT_EQ(r->rate, 100);
    EXPECT_GT(r->placedLessons, 0);
  }
  const char* timetable =
      "select group_concat(ClassCode||Day||LessonNo||CourseCode,' ') from "
      "(select * from LessonListtb order by ClassCode,Day,LessonNo)";
  EXPECT_EQ(first.db().FirstText(timetable), second.db().FirstText(timetable));
}

}  // namespace
}  // namespace orv
