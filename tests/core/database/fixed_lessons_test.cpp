// Lessons fixed in advance: the course list, the targets, fixing and removing
// a lesson with its BuildCount bookkeeping, each all or nothing.
#include "core/database/fixed_lessons.h"

#include <gtest/gtest.h>

#include <random>

#include "core/database/lookups.h"
#include "support/test_db.h"

namespace orv {
namespace {

using test::TestDb;

// Every lesson and plan row, to show that a refused write changed nothing.
std::string Snapshot(TestDb& t) {
  std::string out;
  Cursor lessons = t.db().Query(
      "select ClassCode,Day,LessonNo,CourseCode,TeacherCode,SetFlag from LessonListtb order by "
      "ClassCode,Day,LessonNo,rowid");
  while (lessons.Next())
    out += lessons.Text(0) + "/" + lessons.Text(1) + "/" + lessons.Text(2) + "/" + lessons.Text(3) + "/" +
           lessons.Text(4) + "/" + lessons.Text(5) + " ";
  Cursor plan = t.db().Query("select ClassCode,CourseCode,TeacherCode,BuildCount from ClassPlantb order by rowid");
  while (plan.Next()) out += plan.Text(0) + plan.Text(1) + plan.Text(2) + "=" + plan.Text(3) + " ";
  return out;
}

std::vector<std::string> Courses(const Result<std::vector<FixableCourse>>& list) {
  std::vector<std::string> out;
  if (list)
    for (const FixableCourse& c : *list) out.push_back(c.courseCode + ":" + c.courseName + ":" + std::to_string(c.remaining));
  return out;
}

class FixedLessons : public ::testing::Test {
 protected:
  FixedLessons() {
    t.db().Raw().exec("PRAGMA synchronous=OFF");  // durability is not under test
    for (const char* c : {"11", "12"}) t.AddClass(c, c);
    for (const char* c : {"01", "02", "03", "04", "05", "09"}) t.AddCourse(c, std::string("课") + c);
    for (const char* c : {"T1", "T2", "T3"}) t.AddTeacher(c, c);
  }
  int Lessons(const std::string& where) {
    return static_cast<int>(t.Count("select count(*) from LessonListtb where " + where));
  }
  TestDb t;
};

TEST_F(FixedLessons, ListsPartlyFixedCoursesFirstThenUnfixedOnesEachByCode) {
  t.AddPlan("11", "03", "T1", 2);  // nothing fixed
  t.AddPlan("11", "01", "T1", 3);  // one of three fixed
  t.AddPlan("11", "02", "T2", 1);  // all fixed
  t.AddPlan("11", "04", "T2", 0);  // nothing to fix
  t.AddPlan("11", "05", "T3", 2);  // more fixed than planned
  t.AddPlan("11", "09", "T3", 1);  // only automatic lessons, which do not count
  t.AddPlan("12", "01", "T1", 5);
  t.AddLesson("11", 1, 1, "01", "T1", 0);
  t.AddLesson("11", 1, 2, "02", "T2", 0);
  for (int lesson = 3; lesson <= 5; ++lesson) t.AddLesson("11", 1, lesson, "05", "T3", 0);
  t.AddLesson("11", 2, 1, "09", "T3", 1);
  t.AddLesson("11", 2, 2, "07", "T3", 0);  // a course outside the plan
  t.AddLesson("12", 1, 1, "03", "T1", 0);  // another class
  EXPECT_EQ(Courses(LoadFixableCourses(t.db(), "11")),
            (std::vector<std::string>{"01:课01:2", "03:课03:2", "09:课09:1"}));
  EXPECT_EQ(Courses(LoadFixableCourses(t.db(), "12")), (std::vector<std::string>{"01:课01:5"}));
  EXPECT_TRUE(Courses(LoadFixableCourses(t.db(), "99")).empty());

  t.db().Execute("drop table ClassPlantb");
  EXPECT_FALSE(LoadFixableCourses(t.db(), "11").ok());
}

TEST_F(FixedLessons, LoadsOnlyTheClassesFixedLessonsWithNames) {
  t.AddLesson("11", 5, 6, "01", "T1", 0);
  t.AddLesson("11", 1, 1, "02", "T2", 1);
  t.AddLesson("11", 2, 3, "77", "T9", 0);  // course and teacher no longer listed
  t.AddLesson("12", 5, 6, "01", "T2", 0);
  Result<std::vector<FixedLesson>> loaded = LoadFixedLessons(t.db(), "11");
  ASSERT_TRUE(loaded.ok()) << loaded.message();
  ASSERT_EQ(loaded->size(), 2u);
  const FixedLesson& first = (*loaded)[0];
  EXPECT_EQ(first.slot, (LessonSlot{5, 6}));
  EXPECT_EQ(first.courseCode + first.courseName + first.teacherCode + first.teacherName, "01课01T1T1");
  EXPECT_EQ((*loaded)[1].courseName + (*loaded)[1].teacherName, "");
  EXPECT_EQ((*loaded)[1].courseCode, "77");
}

TEST_F(FixedLessons, TargetsAreExactlyTheSlotsCheckFixedSlotCallsFree) {
  std::mt19937 draw(7);
  const char* classes[] = {"11", "12"};
  const char* teachers[] = {"T1", "T2", "T3"};
  for (int i = 0; i < 40; ++i) {
    const int day = 1 + static_cast<int>(draw() % 5), lesson = 1 + static_cast<int>(draw() % 7);
    t.AddLesson(classes[draw() % 2], day, lesson, "01", teachers[draw() % 3], static_cast<int>(draw() % 3));
  }
  for (int lessonsPerDay : {6, 7})
    for (const char* cls : classes)
      for (const char* teacher : teachers) {
        SCOPED_TRACE(std::string(cls) + teacher + std::to_string(lessonsPerDay));
        std::vector<LessonSlot> expected;
        for (int day = 1; day <= 5; ++day)
          for (int lesson = 1; lesson <= lessonsPerDay; ++lesson)
            if (CheckFixedSlot(t.db(), cls, "01", teacher, day, lesson)) expected.push_back({day, lesson});
        Result<std::vector<LessonSlot>> targets = FixedLessonTargets(t.db(), cls, teacher, lessonsPerDay);
        ASSERT_TRUE(targets.ok());
        EXPECT_EQ(*targets, expected);
        EXPECT_LT(expected.size(), 5u * lessonsPerDay) << "the case should take some slots";
      }
  EXPECT_FALSE(FixedLessonTargets(t.db(), "11", "T1", 8).ok());
}

TEST_F(FixedLessons, PlacingFillsAnEmptySlotOrReplacesAnAutomaticLesson) {
  t.AddPlan("11", "01", "T1", 2);
  t.AddPlan("11", "02", "T2", 3);
  t.AddLesson("11", 3, 2, "02", "T2", 1);
  t.AddLesson("11", 4, 5, "02", "T2", 2);
  t.AddLesson("12", 1, 1, "09", "T1", 1);  // the teacher's automatic lesson elsewhere does not block
  t.db().Execute("update ClassPlantb set BuildCount=2 where CourseCode='02'");

  ASSERT_TRUE(PlaceFixedLesson(t.db(), "11", "01", {1, 1}, 6).ok());
  EXPECT_EQ(Lessons("ClassCode='11' and Day=1 and LessonNo=1 and CourseCode='01' and TeacherCode='T1' and SetFlag=0"), 1);
  EXPECT_EQ(t.BuildCount("11", "01"), 1);

  ASSERT_TRUE(PlaceFixedLesson(t.db(), "11", "01", {3, 2}, 6).ok());
  EXPECT_EQ(Lessons("ClassCode='11' and Day=3 and LessonNo=2"), 1);
  EXPECT_EQ(Lessons("ClassCode='11' and Day=3 and LessonNo=2 and CourseCode='01' and SetFlag=0"), 1);
  EXPECT_EQ(t.BuildCount("11", "01"), 2);
  EXPECT_EQ(t.BuildCount("11", "02"), 1) << "the replaced automatic lesson gives its count back";
  EXPECT_EQ(Lessons("ClassCode='11' and Day=4 and LessonNo=5 and SetFlag=2"), 1) << "other lessons stay";
}

TEST_F(FixedLessons, RefusedPlacementsWriteNothing) {
  t.AddPlan("11", "01", "T1", 2);
  t.AddPlan("11", "02", "T2", 1);
  t.AddPlan("12", "03", "T1", 1);
  t.AddLesson("11", 2, 2, "02", "T2", 0);  // the class's own fixed lesson; 02 is now all fixed
  t.AddLesson("12", 4, 1, "03", "T1", 0);  // T1 fixed in another class
  t.AddLesson("11", 5, 5, "02", "T2", 1);
  const struct {
    const char* course;
    LessonSlot slot;
    int lessonsPerDay;
    const char* why;
  } cases[] = {
      {"01", {2, 2}, 6, "该班级在这节课已经有固定课程"},
      {"01", {4, 1}, 6, "任课老师在这节课已经有固定课程"},
      {"02", {1, 1}, 6, "这门课程的课时已经全部预先安排"},
      {"03", {1, 1}, 6, "该班级的教学计划中没有这门课程"},
      {"01", {1, 7}, 6, "该单元格不是上课时间"},
      {"01", {0, 1}, 7, "该单元格不是上课时间"},
      {"01", {6, 1}, 7, "该单元格不是上课时间"},
  };
  const std::string before = Snapshot(t);
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.course) + " " + std::to_string(c.slot.day) + "/" + std::to_string(c.slot.lessonNo));
    const Outcome placed = PlaceFixedLesson(t.db(), "11", c.course, c.slot, c.lessonsPerDay);
    EXPECT_FALSE(placed.ok());
    EXPECT_EQ(placed.message(), c.why);
    EXPECT_EQ(Snapshot(t), before);
  }
  EXPECT_TRUE(PlaceFixedLesson(t.db(), "11", "01", {1, 7}, 7).ok()) << "lesson 7 of a seven-lesson day";
}

TEST_F(FixedLessons, AReplacementThatFailsHalfWayLeavesAllThreeRows) {
  t.AddPlan("11", "01", "T1", 2);
  t.AddPlan("11", "02", "T2", 3);
  t.AddLesson("11", 3, 2, "02", "T2", 1);
  t.db().Execute("update ClassPlantb set BuildCount=1 where CourseCode='02'");
  t.db().Raw().exec(
      "create trigger stop before update on ClassPlantb when new.CourseCode='01' begin select raise(abort, 'no'); "
      "end");
  const std::string before = Snapshot(t);
  const Outcome placed = PlaceFixedLesson(t.db(), "11", "01", {3, 2}, 6);
  EXPECT_FALSE(placed.ok());
  EXPECT_TRUE(placed.message().starts_with("写入固定课程失败：")) << placed.message();
  EXPECT_EQ(Snapshot(t), before);
}

TEST_F(FixedLessons, RemovingLowersTheCountOfTheLessonsOwnPlanRowOnly) {
  // After a change of teacher the class has the course twice in its plan.
  t.AddPlan("11", "01", "T1", 2);
  t.AddPlan("11", "01", "T2", 2);
  t.AddLesson("11", 1, 1, "01", "T1", 1);
  t.AddLesson("11", 1, 2, "01", "T2", 0);
  t.AddLesson("11", 1, 3, "01", "T2", 1);
  t.db().Execute("update ClassPlantb set BuildCount=1 where TeacherCode='T1'");
  t.db().Execute("update ClassPlantb set BuildCount=2 where TeacherCode='T2'");

  ASSERT_TRUE(DeleteFixedLesson(t.db(), "11", {1, 2}).ok());
  EXPECT_EQ(t.Count("select BuildCount from ClassPlantb where TeacherCode='T1'"), 1);
  EXPECT_EQ(t.Count("select BuildCount from ClassPlantb where TeacherCode='T2'"), 1);
  EXPECT_EQ(Lessons("ClassCode='11'"), 2);

  // An automatic lesson, or none, is not a fixed lesson to remove.
  const std::string before = Snapshot(t);
  for (LessonSlot slot : {LessonSlot{1, 1}, LessonSlot{1, 2}, LessonSlot{5, 6}}) {
    const Outcome removed = DeleteFixedLesson(t.db(), "11", slot);
    EXPECT_EQ(removed.message(), "这节课没有固定课程");
    EXPECT_EQ(Snapshot(t), before);
  }
}

TEST_F(FixedLessons, ARemovalThatFailsKeepsTheLesson) {
  t.AddPlan("11", "01", "T1", 2);
  t.AddLesson("11", 1, 1, "01", "T1", 0);
  t.db().Execute("update ClassPlantb set BuildCount=1");
  t.db().Raw().exec("create trigger stop before update on ClassPlantb begin select raise(abort, 'no'); end");
  const std::string before = Snapshot(t);
  EXPECT_TRUE(DeleteFixedLesson(t.db(), "11", {1, 1}).message().starts_with("删除固定课程失败："));
  EXPECT_EQ(Snapshot(t), before);
}

}  // namespace
}  // namespace orv
