// SPDX-License-Identifier: GPL-3.0-or-later
// The model is what every consumer of the rule book sees instead of the
// tables: what it reads must be what the tables say, and its indexes must
// follow every lesson added or dropped in memory.
#include <gtest/gtest.h>

#include "core/domain/marks.h"
#include "core/model/school_model.h"
#include "support/test_db.h"

namespace orv {
namespace {

constexpr int kClass = DbValue(LimitKind::Class), kCourse = DbValue(LimitKind::Course),
              kTeacher = DbValue(LimitKind::Teacher), kRoom = DbValue(LimitKind::ClassRoom);

class SchoolModelTest : public ::testing::Test {
 protected:
  SchoolModelTest() {
    t.AddClass("101", "一（1）班");
    t.AddClass("102", "一（2）班");
    t.AddCourse("01", "语文");
    t.AddCourse("02", "信息技术");
    t.AddTeacher("T1", "王伟");
    t.AddClassRoom("R1", "微机室");
    t.AddSpecialCourse("02");
    t.AddPlan("101", "01", "T1", 5);
    t.AddPlan("101", "01", "T1", 3);  // a second row of the same class, course and teacher
    t.AddPlan("102", "02", "T9", 2);  // a teacher no list holds
  }
  SchoolModel Load(int lessonsPerDay = 6) {
    Result<SchoolModel> m = LoadSchoolModel(t.db(), SchoolWeek(lessonsPerDay));
    EXPECT_TRUE(m) << m.message();
    return m ? *m : SchoolModel{};
  }
  test::TestDb t;
};

TEST_F(SchoolModelTest, ReadsTheListsThePlanAndUnknownCodes) {
  const SchoolModel m = Load();
  ASSERT_EQ(m.needs.size(), 3u);
  EXPECT_TRUE(m.needs[0].usable);
  EXPECT_TRUE(m.needs[1].duplicate);
  EXPECT_FALSE(m.needs[1].usable);
  EXPECT_FALSE(m.needs[2].usable);
  const int t9 = m.TeacherIndex("T9");
  ASSERT_GE(t9, 0);
  EXPECT_FALSE(m.teachers[static_cast<size_t>(t9)].known);
  EXPECT_EQ(m.teachers[static_cast<size_t>(t9)].name, "教师'T9'");
  // Both rows of 101/01 share one cap group, whose first row sets the count.
  EXPECT_EQ(m.needs[0].capGroup, m.needs[1].capGroup);
  EXPECT_EQ(m.capGroups[static_cast<size_t>(m.needs[0].capGroup)].firstCount, 5);
  EXPECT_EQ(m.NeedOf(m.ClassIndex("101"), m.CourseIndex("01"), m.TeacherIndex("T1")), 0);
  EXPECT_TRUE(m.special[static_cast<size_t>(m.CourseIndex("02"))]);
  ASSERT_EQ(m.classrooms.size(), 1u);
  EXPECT_EQ(m.classrooms[0].name, "微机室");
}

TEST_F(SchoolModelTest, TwoRowsOnOneCellGiveTheStricterMark) {
  t.AddLimit(kCourse, "01", 1, 1, DbValue(LimitMark::Best));
  t.AddLimit(kCourse, "01", 1, 1, DbValue(LimitMark::Never));
  t.AddLimit(kClass, "101", 2, 3, DbValue(LimitMark::Avoid));
  t.AddLimit(kClass, "101", 2, 3, DbValue(LimitMark::Best));
  t.AddLimit(kTeacher, "T1", 3, 2, 9);  // a value no window writes marks nothing
  t.AddLimit(kRoom, "R1", 4, 4, DbValue(LimitMark::Never));
  const SchoolModel m = Load();
  EXPECT_EQ(m.courses[static_cast<size_t>(m.CourseIndex("01"))].marks.At(PeriodOf(1, 1)), LimitMark::Never);
  EXPECT_EQ(m.classes[static_cast<size_t>(m.ClassIndex("101"))].marks.At(PeriodOf(2, 3)), LimitMark::Avoid);
  EXPECT_EQ(m.teachers[static_cast<size_t>(m.TeacherIndex("T1"))].marks.At(PeriodOf(3, 2)),
            LimitMark::Normal);
  EXPECT_EQ(m.classrooms[0].marks.At(PeriodOf(4, 4)), LimitMark::Never);
}

TEST_F(SchoolModelTest, LessonsKeepTheirOriginAndOnlyThoseInTheWeekAreIndexed) {
  t.AddLesson("101", 1, 1, "01", "T1", DbValue(LessonOrigin::Fixed));
  t.AddLesson("101", 1, 2, "01", "T1", DbValue(LessonOrigin::Automatic));
  t.AddLesson("102", 1, 2, "02", "T9", DbValue(LessonOrigin::Manual));
  t.AddLesson("101", 2, 7, "01", "T1", DbValue(LessonOrigin::Automatic));  // past a six-lesson day
  t.db().Execute("update LessonListtb set SetFlag=null where LessonNo=7");
  const SchoolModel m = Load();
  ASSERT_EQ(m.lessons.size(), 4u);
  EXPECT_EQ(m.lessons[0].Origin(), LessonOrigin::Fixed);
  EXPECT_TRUE(m.lessons[0].fixed);
  EXPECT_EQ(m.lessons[1].Origin(), LessonOrigin::Automatic);
  EXPECT_EQ(m.lessons[2].Origin(), LessonOrigin::Manual);
  EXPECT_EQ(m.lessons[3].Origin(), std::nullopt);
  EXPECT_EQ(m.lessons[3].period, -1);
  const int c101 = m.ClassIndex("101"), t1 = m.TeacherIndex("T1");
  EXPECT_EQ(m.ClassAt(c101, PeriodOf(1, 2)), std::vector<int>{1});
  EXPECT_EQ(m.TeacherAt(t1, PeriodOf(1, 1)), std::vector<int>{0});
  EXPECT_EQ(m.CourseAt(m.CourseIndex("02"), PeriodOf(1, 2)), std::vector<int>{2});
  // Seven lessons a day: the same row is in the week and in the indexes.
  const SchoolModel seven = Load(7);
  EXPECT_EQ(seven.ClassAt(c101, PeriodOf(2, 7)), std::vector<int>{3});
}

TEST_F(SchoolModelTest, IndexesFollowLessonsAddedAndDropped) {
  t.AddLesson("101", 1, 1, "01", "T1", DbValue(LessonOrigin::Fixed));
  t.AddLesson("101", 1, 2, "01", "T1", DbValue(LessonOrigin::Automatic));
  SchoolModel m = Load();
  const int c101 = m.ClassIndex("101"), c01 = m.CourseIndex("01"), t1 = m.TeacherIndex("T1");
  ModelLesson added;
  added.cls = c101;
  added.course = c01;
  added.teacher = t1;
  added.day = 3;
  added.lessonNo = 4;
  const int i = m.AddLesson(added);
  EXPECT_EQ(m.lessons[static_cast<size_t>(i)].period, PeriodOf(3, 4));
  EXPECT_EQ(m.lessons[static_cast<size_t>(i)].need, 0);
  EXPECT_EQ(m.TeacherAt(t1, PeriodOf(3, 4)), std::vector<int>{i});
  m.MoveLesson(1, 5, 6);  // the automatic lesson from Monday 2nd to Friday 6th
  EXPECT_TRUE(m.ClassAt(c101, PeriodOf(1, 2)).empty());
  EXPECT_EQ(m.TeacherAt(t1, PeriodOf(5, 6)), std::vector<int>{1});
  m.MoveLesson(i, 5, 6);  // two lessons in one period stay in table order
  EXPECT_EQ(m.ClassAt(c101, PeriodOf(5, 6)), (std::vector<int>{1, i}));
  m.MoveLesson(1, 5, 7);  // past the day: in no index
  EXPECT_EQ(m.lessons[1].period, -1);
  EXPECT_EQ(m.ClassAt(c101, PeriodOf(5, 6)), std::vector<int>{i});
  // The weeks keep a period while another lesson still stands in it.
  const PeriodMask week = PeriodBit(PeriodOf(1, 1)) | PeriodBit(PeriodOf(5, 6));
  EXPECT_EQ(m.ClassWeek(c101), week);
  EXPECT_EQ(m.TeacherWeek(t1), week);
  m.EraseLessonsIf([](const ModelLesson& l) { return !l.fixed; });
  ASSERT_EQ(m.lessons.size(), 1u);
  EXPECT_TRUE(m.ClassAt(c101, PeriodOf(1, 2)).empty());
  EXPECT_TRUE(m.ClassAt(c101, PeriodOf(3, 4)).empty());
  EXPECT_EQ(m.ClassAt(c101, PeriodOf(1, 1)), std::vector<int>{0});
  EXPECT_EQ(m.ClassWeek(c101), PeriodBit(PeriodOf(1, 1)));
  EXPECT_EQ(m.TeacherWeek(t1), PeriodBit(PeriodOf(1, 1)));
}

}  // namespace
}  // namespace orv

namespace orv {
namespace {

TEST_F(SchoolModelTest, StatedRulesResolveToTheMostSpecificValue) {
  t.AddTeacher("T2", "李娜");
  t.AddPlan("102", "01", "T2", 4);
  ASSERT_TRUE(SetSchoolRule(t.db(), {RuleKey::kMaxLessonsPerDay, RuleScope::kSchool, "", "", 4}));
  ASSERT_TRUE(SetSchoolRule(t.db(), {RuleKey::kMaxLessonsPerDay, RuleScope::kTeacher, "T2", "", 3}));
  ASSERT_TRUE(SetSchoolRule(t.db(), {RuleKey::kMaxGapsPerWeek, RuleScope::kTeacher, "T1", "", 0}));
  ASSERT_TRUE(SetSchoolRule(t.db(), {RuleKey::kNoClassGaps, RuleScope::kSchool, "", "", 1}));
  ASSERT_TRUE(SetSchoolRule(t.db(), {RuleKey::kNoClassGaps, RuleScope::kClass, "102", "", 0}));
  ASSERT_TRUE(SetSchoolRule(t.db(), {RuleKey::kDoublesPerWeek, RuleScope::kCourse, "01", "", 1}));
  ASSERT_TRUE(SetSchoolRule(t.db(), {RuleKey::kDoublesPerWeek, RuleScope::kClassCourse, "102", "01", 2}));
  ASSERT_TRUE(SetSchoolRule(t.db(), {RuleKey::kRooms, RuleScope::kCourse, "02", "", 2}));
  const SchoolModel m = Load();
  const auto teacher = [&](const char* code) {
    return m.teacherRules[static_cast<size_t>(m.TeacherIndex(code))];
  };
  EXPECT_EQ(teacher("T1").maxPerDay, 4);
  EXPECT_EQ(teacher("T2").maxPerDay, 3);
  EXPECT_EQ(teacher("T1").maxGaps, 0);
  EXPECT_EQ(teacher("T2").maxGaps, -1);
  EXPECT_EQ(teacher("T1").maxInARow, 0);
  EXPECT_TRUE(m.noClassGaps[static_cast<size_t>(m.ClassIndex("101"))]);
  EXPECT_FALSE(m.noClassGaps[static_cast<size_t>(m.ClassIndex("102"))]);
  const auto doubles = [&](const char* cls) {
    return m.capGroups[static_cast<size_t>(m.CapGroupOf(m.ClassIndex(cls), m.CourseIndex("01")))].doubles;
  };
  EXPECT_EQ(doubles("101"), 1);
  EXPECT_EQ(doubles("102"), 2);
  EXPECT_EQ(m.rooms[static_cast<size_t>(m.CourseIndex("02"))], 2);
  EXPECT_EQ(m.rooms[static_cast<size_t>(m.CourseIndex("01"))], 0);
}

TEST_F(SchoolModelTest, ARuleOutOfRangeOrScopeOrForAnUnknownCodeIsRefused) {
  const auto refused = [&](SchoolRule r) {
    const Outcome o = SetSchoolRule(t.db(), r);
    EXPECT_FALSE(o);
    return o.message();
  };
  EXPECT_EQ(refused({RuleKey::kMaxLessonsPerDay, RuleScope::kSchool, "", "", 8}),
            "教师每天最多节数应为1到7之间的整数");
  EXPECT_EQ(refused({RuleKey::kMaxInARow, RuleScope::kClass, "101", "", 3}),
            "教师最多连续节数不能按班级设置");
  EXPECT_EQ(refused({RuleKey::kMaxLessonsPerDay, RuleScope::kTeacher, "T9", "", 3}), "教师代码'T9'不存在");
  EXPECT_EQ(refused({RuleKey::kRooms, RuleScope::kCourse, "01", "", 2}), "专用教室数只能为专用课程设置");
  EXPECT_EQ(t.Count("select count(*) from SchoolRuletb"), 0);
  ASSERT_TRUE(SetSchoolRule(t.db(), {RuleKey::kRooms, RuleScope::kCourse, "02", "", 2}));
  ASSERT_TRUE(SetSchoolRule(t.db(), {RuleKey::kRooms, RuleScope::kCourse, "02", "", 3}));
  EXPECT_EQ(LoadSchoolRules(t.db()).value(),
            (std::vector<SchoolRule>{{RuleKey::kRooms, RuleScope::kCourse, "02", "", 3}}));
  ASSERT_TRUE(RemoveSchoolRule(t.db(), RuleKey::kRooms, RuleScope::kCourse, "02", ""));
  EXPECT_TRUE(LoadSchoolRules(t.db()).value().empty());
}

}  // namespace
}  // namespace orv
