// SPDX-License-Identifier: GPL-3.0-or-later
// The record of publications and the change notice: versions numbered in
// order with the names of the time, an unknown version refused, and a notice
// that tells exactly the teachers and classes whose lessons changed, in
// sentences they read, and nobody else.
#include "core/publish/change_notice.h"

#include <gtest/gtest.h>

#include "core/editing/timetable_edit.h"
#include "core/publish/publications.h"
#include "support/test_db.h"

namespace orv {
namespace {

class ChangeNoticeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    t.AddClass("701", "七（1）班");
    t.AddClass("702", "七（2）班");
    t.AddCourse("01", "语文");
    t.AddCourse("02", "数学");
    t.AddCourse("03", "英语");
    t.AddTeacher("T1", "王伟");
    t.AddTeacher("T2", "李明");
    t.AddTeacher("T3", "张华");
    t.AddPlan("702", "02", "T1", 1);
    t.AddPlan("702", "01", "T2", 1);
    t.AddPlan("702", "03", "T3", 1);
    t.AddPlan("701", "03", "T3", 1);
    t.AddLesson("702", 3, 2, "02", "T1", 1);
    t.AddLesson("702", 4, 5, "01", "T2", 1);
    t.AddLesson("702", 1, 1, "03", "T3", 1);
    t.AddLesson("701", 1, 2, "03", "T3", 0);
  }
  Publication Publish(const std::string& at) {
    return RecordPublication(t.db(), ReadPublishedSchool(t.db(), 6, "").value(), at).value();
  }
  test::TestDb t;
};

std::vector<std::string> Texts(const ChangeNoticeEntry& e) {
  std::vector<std::string> out;
  for (const LessonChange& c : e.changes) out.push_back(c.text);
  return out;
}

TEST_F(ChangeNoticeTest, PublicationsAreNumberedAndKeepTheLessonsAsPublished) {
  EXPECT_TRUE(ListPublications(t.db())->empty());
  EXPECT_EQ(Publish("2026-09-01 08:00").version, 1);
  t.db().Execute("update Teachertb set Name='王伟伟' where Code='T1'");
  t.db().Execute("delete from LessonListtb where ClassCode='701'");
  EXPECT_EQ(Publish("2026-09-20 17:30").version, 2);
  const std::vector<Publication> all = ListPublications(t.db()).value();
  ASSERT_EQ(all.size(), 2u);
  EXPECT_EQ(all[1].publishedAt, "2026-09-20 17:30");
  EXPECT_EQ(all[1].lessonsPerDay, 6);
  const std::vector<PublishedLesson> first = LoadPublishedLessons(t.db(), 1).value();
  ASSERT_EQ(first.size(), 4u);
  EXPECT_EQ(first[0],
            (PublishedLesson{"701", "七（1）班", 1, 2, "03", "英语", "T3", "张华", LessonOrigin::Fixed}));
  EXPECT_EQ(first[2].teacherName, "王伟");  // the name it was published under
  EXPECT_EQ(LoadPublishedLessons(t.db(), 2)->size(), 3u);
  const Result<std::vector<PublishedLesson>> none = LoadPublishedLessons(t.db(), 3);
  ASSERT_FALSE(none);
  EXPECT_EQ(none.message(), "没有第3次发布");
}

TEST_F(ChangeNoticeTest, AManualSwapTellsTheTwoTeachersAndTheClassOnly) {
  EXPECT_EQ(Publish("2026-09-01 08:00").version, 1);
  ASSERT_TRUE(SwapLessons(t.db(), "702", 3, 2, 4, 5, 6));
  const ChangeNotice n = ChangesSince(t.db(), 6, std::nullopt).value();
  EXPECT_EQ(n.sinceVersion, 1);
  EXPECT_EQ(n.sincePublishedAt, "2026-09-01 08:00");
  ASSERT_EQ(n.teachers.size(), 2u);
  EXPECT_EQ(n.teachers[0].name, "王伟");
  EXPECT_EQ(Texts(n.teachers[0]), std::vector<std::string>{"星期三第2节 数学（七（2）班）改到 星期四第5节"});
  EXPECT_EQ(n.teachers[1].name, "李明");
  EXPECT_EQ(Texts(n.teachers[1]), std::vector<std::string>{"星期四第5节 语文（七（2）班）改到 星期三第2节"});
  ASSERT_EQ(n.classes.size(), 1u);
  EXPECT_EQ(n.classes[0].code, "702");
  EXPECT_EQ(Texts(n.classes[0]), (std::vector<std::string>{"星期三第2节 数学（王伟）改到 星期四第5节",
                                                           "星期四第5节 语文（李明）改到 星期三第2节"}));
  // Printed: a page of sentences for each of the two teachers.
  const PrintData print = NoticePrintData(n, "实验中学");
  EXPECT_EQ(print.kind, PrintDataKind::Notice);
  ASSERT_EQ(print.subjects.size(), 2u);
  EXPECT_EQ(print.subjects[1].title, "实验中学　李明");
  EXPECT_EQ(print.subjects[1].name, "自第1次发布（2026-09-01 08:00）以来，您的课有以下变动：");
  EXPECT_EQ(print.subjects[1].lines, Texts(n.teachers[1]));
  // Against the publication made after the swap, nothing changed.
  EXPECT_EQ(Publish("2026-09-02 08:00").version, 2);
  EXPECT_TRUE(ChangesSince(t.db(), 6, std::nullopt)->Empty());
  EXPECT_EQ(ChangesSince(t.db(), 6, 1)->teachers.size(), 2u);
}

TEST_F(ChangeNoticeTest, NothingPublishedOrAnUnknownVersion) {
  const ChangeNotice n = ChangesSince(t.db(), 6, std::nullopt).value();
  EXPECT_FALSE(n.sinceVersion);
  EXPECT_TRUE(n.Empty());
  Publish("2026-09-01 08:00");
  for (int bad : {0, 2, -1}) {
    const Result<ChangeNotice> r = ChangesSince(t.db(), 6, bad);
    ASSERT_FALSE(r);
    EXPECT_EQ(r.message(), "没有第" + std::to_string(bad) + "次发布");
  }
}

PublishedLesson L(std::string cls, int day, int lesson, std::string course, std::string teacher) {
  const std::string teacherName = teacher == "T1" ? "王伟" : teacher == "T2" ? "李明" : "";
  return {cls,
          "七（" + cls.substr(2) + "）班",
          day,
          lesson,
          course,
          course == "01" ? "语文" : "数学",
          teacher,
          teacherName,
          LessonOrigin::Automatic};
}

TEST(CompareLessons, MovesPairInTimeOrderAndAnotherTeacherIsTwoChanges) {
  const std::vector<PublishedLesson> before = {
      L("702", 1, 1, "02", "T1"), L("702", 2, 1, "02", "T1"), L("702", 3, 1, "02", "T1"),
      L("702", 5, 1, "01", "T2"), L("702", 5, 1, "02", "T1"),  // a split period
      L("701", 4, 4, "01", "T2"),
  };
  std::vector<PublishedLesson> now = {
      L("702", 1, 3, "02", "T1"), L("702", 2, 1, "02", "T1"), L("702", 1, 2, "02", "T1"),
      L("702", 5, 1, "02", "T1"), L("701", 4, 4, "01", "T1"), L("701", 5, 5, "02", ""),
  };
  // Origin and names alone are no change.
  now[1].origin = LessonOrigin::Manual;
  const ChangeNotice n = CompareLessons(before, now);
  ASSERT_EQ(n.teachers.size(), 2u);
  EXPECT_EQ(Texts(n.teachers[0]), (std::vector<std::string>{"星期一第1节 数学（七（2）班）改到 星期一第2节",
                                                            "星期三第1节 数学（七（2）班）改到 星期一第3节",
                                                            "新增 星期四第4节 语文（七（1）班）"}));
  EXPECT_EQ(Texts(n.teachers[1]), (std::vector<std::string>{"取消 星期四第4节 语文（七（1）班）",
                                                            "取消 星期五第1节 语文（七（2）班）"}));
  ASSERT_EQ(n.classes.size(), 2u);
  EXPECT_EQ(n.classes[0].name, "七（1）班");
  EXPECT_EQ(Texts(n.classes[0]),
            (std::vector<std::string>{"取消 星期四第4节 语文（李明）", "新增 星期四第4节 语文（王伟）",
                                      "新增 星期五第5节 数学"}));
  EXPECT_EQ(n.classes[1].changes.size(), 3u);
  EXPECT_EQ(n.classes[1].changes[2].kind, LessonChangeKind::Removed);
  EXPECT_TRUE(CompareLessons(now, now).Empty());
}

}  // namespace
}  // namespace orv
