// The five output queries: who owns each row, what its two lines hold, the
// order of owners and cells, and the class and teacher lists. (The no-row
// messages are seen through the command-line tool and the windows.)
#include <gtest/gtest.h>

#include "core/output/timetable_rows.h"
#include "support/test_db.h"

namespace orv {
namespace {

class TimetableRows : public ::testing::Test {
 protected:
  void SetUp() override {
    t.AddClass("12", "一（2）班", "一年级（2）班", "一（2）");
    t.AddClass("110", "一（10）班", "一年级（10）班", "一（10）");
    t.AddClass("11", "一（1）班", "一年级（1）班", "一（1）");
    t.AddClass("21", "二（1）班", "二年级（1）班", "二（1）");
    t.db().Execute(
        "insert into Coursetb (Code,Name,FullName,ShortName) values ('01','语文','语文','语'),"
        "('02','数学','数学','数')");
    t.AddTeacher("T2", "李强");
    t.AddTeacher("T1", "王芳");
    t.AddLesson("110", 4, 1, "01", "T1", 1);
    t.AddLesson("12", 3, 2, "02", "T2", 1);
    t.AddLesson("12", 1, 2, "01", "T1", 0);
    t.AddLesson("11", 2, 1, "02", "T2", 2);
    t.AddLesson("11", 1, 1, "01", "T1", 1);
  }
  std::vector<TimetableRow> Read(TimetableScope scope, const std::string& name = "") {
    auto rows = ReadTimetableRows(t.db(), {scope, name});
    EXPECT_TRUE(rows) << rows.message();
    return rows ? *rows : std::vector<TimetableRow>{};
  }
  test::TestDb t;
};

TEST_F(TimetableRows, EachScopeGivesItsOwnersLinesAndOrder) {
  using R = TimetableRow;
  EXPECT_EQ(Read(TimetableScope::Class, "一（2）班"),
            (std::vector<R>{{"一（2）班", "语文", "", 1, 2}, {"一（2）班", "数学", "", 3, 2}}))
      << "by lesson, then day";
  EXPECT_EQ(Read(TimetableScope::AllClasses), (std::vector<R>{{"一（1）班", "语文", "", 1, 1},
                                                              {"一（1）班", "数学", "", 2, 1},
                                                              {"一（2）班", "语文", "", 1, 2},
                                                              {"一（2）班", "数学", "", 3, 2},
                                                              {"一（10）班", "语文", "", 4, 1}}))
      << "class 10 after class 2; a class without lessons has no rows";
  EXPECT_EQ(Read(TimetableScope::Teacher, "王芳"), (std::vector<R>{{"王芳", "语文", "一（1）", 1, 1},
                                                                   {"王芳", "语文", "一（10）", 4, 1},
                                                                   {"王芳", "语文", "一（2）", 1, 2}}));
  EXPECT_EQ(Read(TimetableScope::AllTeachers), (std::vector<R>{{"王芳", "语文", "一（1）", 1, 1},
                                                               {"王芳", "语文", "一（10）", 4, 1},
                                                               {"王芳", "语文", "一（2）", 1, 2},
                                                               {"李强", "数学", "一（1）", 2, 1},
                                                               {"李强", "数学", "一（2）", 3, 2}}))
      << "by teacher code";
  EXPECT_EQ(Read(TimetableScope::School), (std::vector<R>{{"一（1）", "语", "王芳", 1, 1},
                                                          {"一（1）", "数", "李强", 2, 1},
                                                          {"一（2）", "语", "王芳", 1, 2},
                                                          {"一（2）", "数", "李强", 3, 2},
                                                          {"一（10）", "语", "王芳", 4, 1}}))
      << "class short name, course short name, teacher name";
}

TEST_F(TimetableRows, UnknownOrOddNamesGiveNoRowsAndAreNeverSql) {
  EXPECT_TRUE(Read(TimetableScope::Class, "二（1）班").empty()) << "a class without lessons";
  EXPECT_TRUE(Read(TimetableScope::Class, "三（1）班").empty());
  EXPECT_TRUE(Read(TimetableScope::Teacher, "' or ''='").empty());
  t.AddTeacher("T3", "O'Neil \"老师\"");
  t.AddLesson("21", 5, 6, "01", "T3", 2);
  EXPECT_EQ(Read(TimetableScope::Teacher, "O'Neil \"老师\""),
            (std::vector<TimetableRow>{{"O'Neil \"老师\"", "语文", "二（1）", 5, 6}}));
}

TEST_F(TimetableRows, NameListsAndADatabaseFailureIsMinusOneWithTheReason) {
  EXPECT_EQ(*ReadClassNames(t.db()),
            (std::vector<std::string>{"一（2）班", "一（10）班", "一（1）班", "二（1）班"}))
      << "in table order";
  EXPECT_EQ(*ReadTeacherNames(t.db()), (std::vector<std::string>{"王芳", "李强"})) << "in code order";
  t.db().Execute("drop table Teachertb");
  auto rows = ReadTimetableRows(t.db(), {TimetableScope::School, ""});
  EXPECT_EQ(rows.code(), -1);
  EXPECT_FALSE(rows.message().empty());
  EXPECT_EQ(ReadTeacherNames(t.db()).code(), -1);
}

}  // namespace
}  // namespace orv
