// What the restriction windows read and write: the week an entity shows when
// it is opened, the names of each kind, and the special-course marks.
#include <gtest/gtest.h>

#include "core/database/special_courses.h"
#include "core/database/week_marks.h"
#include "support/test_db.h"

namespace orv {
namespace {

using test::TestDb;

struct KindCase {
  LimitKind kind;
  const char* table;
  bool writesFullWeek;
};
void PrintTo(const KindCase& c, std::ostream* os) { *os << c.table; }

class OpenWeek : public ::testing::TestWithParam<KindCase> {
 protected:
  long long Rows(const std::string& where = "1") {
    return t.Count("select count(*) from Limittb where Kind=" + std::to_string(DbValue(GetParam().kind)) +
                   " and " + where);
  }
  TestDb t;
};

TEST_P(OpenWeek, AnEntityWithoutRowsGetsItsNormalWeekUnlessItIsACourse) {
  const KindCase& c = GetParam();
  for (int lessonsPerDay : {7, 6}) {
    SCOPED_TRACE(lessonsPerDay);
    t.db().Execute("delete from Limittb");
    Result<LoadedWeekMarks> opened = OpenWeekMarks(t.db(), c.kind, "A1", lessonsPerDay);
    ASSERT_TRUE(opened.ok()) << opened.message();
    EXPECT_EQ(opened->marks, WeekMarks());
    EXPECT_TRUE(opened->stray.empty());
    EXPECT_EQ(Rows(), c.writesFullWeek ? 30 : 0);
    EXPECT_EQ(Rows("Code='A1' and Attr=1 and LessonNo between 1 and 6 and Day between 1 and 5"), Rows());
    // Opened again, the rows are read and nothing more is written.
    ASSERT_TRUE(OpenWeekMarks(t.db(), c.kind, "A1", lessonsPerDay).ok());
    EXPECT_EQ(Rows(), c.writesFullWeek ? 30 : 0);
  }
  EXPECT_EQ(LessonsShown(c.kind, 7), c.writesFullWeek ? 6 : 7);
}

TEST_P(OpenWeek, AStrayRowIsReportedAndStopsNothing) {
  const KindCase& c = GetParam();
  t.AddLimit(DbValue(c.kind), "A1", 2, 3, 3);
  t.AddLimit(DbValue(c.kind), "A1", 4, 7, 2);  // beyond the six lessons shown
  t.AddLimit(DbValue(c.kind), "A1", 1, 1, 9);  // no window writes 9
  t.AddLimit(DbValue(c.kind), "A1", 5, 6, 0);
  Result<LoadedWeekMarks> opened = OpenWeekMarks(t.db(), c.kind, "A1", 6);
  ASSERT_TRUE(opened.ok());
  EXPECT_EQ(opened->marks.At(2, 3), LimitMark::Never);
  EXPECT_EQ(opened->marks.At(5, 6), LimitMark::Best) << "rows after the stray ones are read";
  ASSERT_EQ(opened->stray.size(), 2u);
  EXPECT_EQ(opened->stray[0].lessonNo, 7);
  EXPECT_EQ(opened->stray[1].attr, 9);
  EXPECT_EQ(Rows(), 4) << "nothing is written for an entity that has rows";
}

TEST_P(OpenWeek, AFailingReadOrWriteIsReported) {
  t.db().Execute("create trigger stop before insert on Limittb begin select raise(abort, 'no'); end");
  Result<LoadedWeekMarks> opened = OpenWeekMarks(t.db(), GetParam().kind, "A1", 6);
  EXPECT_EQ(opened.ok(), !GetParam().writesFullWeek);
  EXPECT_EQ(Rows(), 0);
  t.db().Execute("drop table Limittb");
  EXPECT_TRUE(OpenWeekMarks(t.db(), GetParam().kind, "A1", 6).message().starts_with("读取上课时间限制失败"));
}

TEST_P(OpenWeek, NamesComeInEntryOrderWithTheirCodes) {
  const KindCase& c = GetParam();
  for (const char* row : {"('9','乙','','')", "('10','甲','','')", "('2','乙','','')"})
    t.db().Execute(std::string("insert into ") + c.table + " values " + row);
  Result<std::vector<NamedCode>> names = LoadEntityNames(t.db(), c.kind);
  ASSERT_TRUE(names.ok());
  EXPECT_EQ(*names, (std::vector<NamedCode>{{"9", "乙"}, {"10", "甲"}, {"2", "乙"}}));
  t.db().Execute(std::string("drop table ") + c.table);
  EXPECT_FALSE(LoadEntityNames(t.db(), c.kind).ok());
}

INSTANTIATE_TEST_SUITE_P(Kinds, OpenWeek,
                         ::testing::Values(KindCase{LimitKind::Class, "Classtb", true},
                                           KindCase{LimitKind::Course, "Coursetb", false},
                                           KindCase{LimitKind::Teacher, "Teachertb", true},
                                           KindCase{LimitKind::ClassRoom, "ClassRoomtb", true}),
                         [](const auto& info) { return std::string(info.param.table); });

TEST(SpecialCourses, TheMarkIsOneRowAddedOrRemovedAtOnce) {
  TestDb t;
  t.AddCourse("09", "信息技术");
  t.AddSpecialCourse("09");  // an old file may carry a course twice
  t.AddSpecialCourse("09");
  EXPECT_TRUE(*IsSpecialCourse(t.db(), "09"));
  EXPECT_FALSE(*IsSpecialCourse(t.db(), "01"));
  for (bool special : {true, true, false, false, true}) {
    ASSERT_TRUE(SetSpecialCourse(t.db(), "09", special).ok());
    EXPECT_EQ(t.Count("select count(*) from CourseAttrtb"), special ? 1 : 0);
    EXPECT_EQ(*IsSpecialCourse(t.db(), "09"), special);
  }
  EXPECT_EQ(SetSpecialCourse(t.db(), "01", true).message(), "课程名单中没有这门课程");
  t.db().Execute("drop table CourseAttrtb");
  EXPECT_FALSE(IsSpecialCourse(t.db(), "09").ok());
  EXPECT_TRUE(SetSpecialCourse(t.db(), "09", false).message().starts_with("写入专用教室课程失败："));
}

}  // namespace
}  // namespace orv
