// SPDX-License-Identifier: GPL-3.0-or-later
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
  std::vector<TimetableRow> Read(TimetableScope scope, const std::string& code = "") {
    auto rows = ReadTimetableRows(t.db(), {scope, code});
    EXPECT_TRUE(rows) << rows.message();
    return rows ? *rows : std::vector<TimetableRow>{};
  }
  test::TestDb t;
};

TEST_F(TimetableRows, EachScopeGivesItsOwnersLinesAndOrder) {
  using R = TimetableRow;
  EXPECT_EQ(Read(TimetableScope::Class, "12"),
            (std::vector<R>{{"一（2）班", "语文", "", 1, 2, "12"}, {"一（2）班", "数学", "", 3, 2, "12"}}))
      << "by lesson, then day";
  EXPECT_EQ(Read(TimetableScope::AllClasses), (std::vector<R>{{"一（1）班", "语文", "", 1, 1, "11"},
                                                              {"一（1）班", "数学", "", 2, 1, "11"},
                                                              {"一（2）班", "语文", "", 1, 2, "12"},
                                                              {"一（2）班", "数学", "", 3, 2, "12"},
                                                              {"一（10）班", "语文", "", 4, 1, "110"}}))
      << "class 10 after class 2; a class without lessons has no rows";
  EXPECT_EQ(Read(TimetableScope::Teacher, "T1"), (std::vector<R>{{"王芳", "语文", "一（1）", 1, 1, "T1"},
                                                                 {"王芳", "语文", "一（10）", 4, 1, "T1"},
                                                                 {"王芳", "语文", "一（2）", 1, 2, "T1"}}));
  EXPECT_EQ(Read(TimetableScope::AllTeachers), (std::vector<R>{{"王芳", "语文", "一（1）", 1, 1, "T1"},
                                                               {"王芳", "语文", "一（10）", 4, 1, "T1"},
                                                               {"王芳", "语文", "一（2）", 1, 2, "T1"},
                                                               {"李强", "数学", "一（1）", 2, 1, "T2"},
                                                               {"李强", "数学", "一（2）", 3, 2, "T2"}}))
      << "by teacher code";
  EXPECT_EQ(Read(TimetableScope::School), (std::vector<R>{{"一（1）", "语", "王芳", 1, 1, "11"},
                                                          {"一（1）", "数", "李强", 2, 1, "11"},
                                                          {"一（2）", "语", "王芳", 1, 2, "12"},
                                                          {"一（2）", "数", "李强", 3, 2, "12"},
                                                          {"一（10）", "语", "王芳", 4, 1, "110"}}))
      << "class short name, course short name, teacher name";
}

TEST_F(TimetableRows, UnknownOrOddCodesGiveNoRowsAndAreNeverSql) {
  EXPECT_TRUE(Read(TimetableScope::Class, "21").empty()) << "a class without lessons";
  EXPECT_TRUE(Read(TimetableScope::Class, "31").empty());
  EXPECT_TRUE(Read(TimetableScope::Class, "一（1）班").empty()) << "a name is not a code";
  EXPECT_TRUE(Read(TimetableScope::Teacher, "' or ''='").empty());
  t.AddTeacher("O'N", "O'Neil \"老师\"");
  t.AddLesson("21", 5, 6, "01", "O'N", 2);
  EXPECT_EQ(Read(TimetableScope::Teacher, "O'N"),
            (std::vector<TimetableRow>{{"O'Neil \"老师\"", "语文", "二（1）", 5, 6, "O'N"}}));
}

TEST_F(TimetableRows, SelectorListsAndADatabaseFailureIsMinusOneWithTheReason) {
  using C = TimetableChoice;
  EXPECT_EQ(
      *ReadClassChoices(t.db()),
      (std::vector<C>{{"12", "一（2）班"}, {"110", "一（10）班"}, {"11", "一（1）班"}, {"21", "二（1）班"}}))
      << "in table order";
  t.AddTeacher("T0", "李强");
  EXPECT_EQ(*ReadTeacherChoices(t.db()),
            (std::vector<C>{{"T0", "李强（T0）"}, {"T1", "王芳"}, {"T2", "李强（T2）"}}))
      << "in code order, a shared name with its code";
  t.db().Execute("drop table Teachertb");
  auto rows = ReadTimetableRows(t.db(), {TimetableScope::School, ""});
  EXPECT_EQ(rows.code(), -1);
  EXPECT_FALSE(rows.message().empty());
  EXPECT_EQ(ReadTeacherChoices(t.db()).code(), -1);
}

}  // namespace
}  // namespace orv
