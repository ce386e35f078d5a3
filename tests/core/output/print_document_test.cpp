// SPDX-License-Identifier: GPL-3.0-or-later
// The print data documents, byte for byte: the cells of every subject, the
// running totals with their blanks, the title in the first cell, the keyed
// school cells and the <tr> of the cells that complete a class's week.
#include <gtest/gtest.h>

#include <map>
#include <optional>

#include "core/output/print_document.h"
#include "support/temp_dir.h"

namespace orv {
namespace {

using Fill = std::map<int, std::pair<std::string, std::string>>;  // cell index -> course, second line

int Cell(int lesson, int day) { return (lesson - 1) * 5 + day - 1; }

// The document lines, written out from the format's line templates.
std::string Head() { return "<root docname=\"Orvandel排课\">\r\n<record>\r\n"; }
std::string Tail() { return "</record>\r\n</root>\r\n"; }

std::string TimetableSubject(const std::string& title, int lessons, const Fill& fill) {
  std::string s;
  int n = 0;
  for (int i = 0; i < 5 * lessons; ++i) {
    s += "<tr>\r\n";
    if (i == 0) s += "<title value=\"" + title + "\"></title>\r\n";
    auto it = fill.find(i);
    const std::string course = it == fill.end() ? " " : it->second.first;
    const std::string cls = it == fill.end() ? " " : it->second.second;
    if (it != fill.end()) ++n;
    s += "<coursename value=\"" + course + "\"></coursename>\r\n";
    s += "<classname value=\"" + cls + "\"></classname>\r\n";
    s += "<totallesson value=\" " + std::to_string(n) + " \"></totallesson>\r\n</tr>\r\n";
  }
  return s;
}

std::string SchoolRow(const std::string& title, const std::string& name, int lessons, const Fill& fill) {
  std::string s = "<tr>\r\n<title value=\"" + title + "\"></title>\r\n";
  const int last = fill.empty() ? -1 : fill.rbegin()->first;
  for (int i = 0; i < 5 * lessons; ++i) {
    const std::string key = "L" + std::to_string(i / 5 + 1) + std::to_string(i % 5 + 1);
    auto it = fill.find(i);
    if (i > last) s += "<tr>\r\n";
    s += "<coursename" + key + " value=\"" + (it == fill.end() ? " " : it->second.first) +
         "\"></coursename>\r\n";
    s += "<classname" + key + " value=\"" + (i > last ? "" : name) + "\"></classname>\r\n";
    s += "<teachername" + key + " value=\"" + (it == fill.end() ? " " : it->second.second) +
         "\"></teachername>\r\n";
    if (i > last) s += "</tr>\r\n";
  }
  return s + "</tr>\r\n";
}

const std::string kSchool = "育才实验学校";
const std::string kTotalTitle = kSchool + " 20    -- 20   学年度第  学期总课程表";

struct TimetableCase {
  const char* what;
  std::vector<TimetableRow> rows;
  int lessons;
  std::string expected;
};

class TimetableDocument : public ::testing::TestWithParam<TimetableCase> {};

TEST_P(TimetableDocument, IsWrittenLineForLine) {
  const TimetableCase& c = GetParam();
  EXPECT_EQ(TimetableXmlText(c.rows, kSchool, c.lessons), Head() + c.expected + Tail());
}

INSTANTIATE_TEST_SUITE_P(
    EdgeCases, TimetableDocument,
    ::testing::Values(
        TimetableCase{"only lesson on Friday's last period: 29 empty cells first, the title in the first",
                      {{"一（1）班", "班会", "", 5, 6}},
                      6,
                      TimetableSubject(kSchool + "     一（1）班", 6, {{Cell(6, 5), {"班会", ""}}})},
        TimetableCase{"no lesson on Monday's first period, three lessons, the last total is 3",
                      {{"王芳", "语文", "一（1）", 2, 1},
                       {"王芳", "语文", "一（2）", 1, 3},
                       {"王芳", "数学", "一（1）", 4, 3}},
                      6,
                      TimetableSubject(kSchool + "     王芳", 6,
                                       {{Cell(1, 2), {"语文", "一（1）"}},
                                        {Cell(3, 1), {"语文", "一（2）"}},
                                        {Cell(3, 4), {"数学", "一（1）"}}})},
        TimetableCase{"seven lessons a day: 35 cells",
                      {{"一（1）班", "语文", "", 1, 1}, {"一（1）班", "体育", "", 3, 7}},
                      7,
                      TimetableSubject(kSchool + "     一（1）班", 7,
                                       {{Cell(1, 1), {"语文", ""}}, {Cell(7, 3), {"体育", ""}}})},
        TimetableCase{"two subjects, each completed and titled",
                      {{"一（1）班", "语文", "", 1, 1}, {"一（2）班", "数学", "", 2, 2}},
                      6,
                      TimetableSubject(kSchool + "     一（1）班", 6, {{Cell(1, 1), {"语文", ""}}}) +
                          TimetableSubject(kSchool + "     一（2）班", 6, {{Cell(2, 2), {"数学", ""}}})},
        TimetableCase{
            "two runs of one owner merge into one subject",
            {{"王芳", "语文", "一（1）", 1, 2, "T1"}, {"王芳", "语文", "一（2）", 1, 1, "T1"}},
            6,
            TimetableSubject(kSchool + "     王芳", 6,
                             {{Cell(1, 1), {"语文", "一（2）"}}, {Cell(2, 1), {"语文", "一（1）"}}})},
        TimetableCase{"two owners of one name stay two subjects",
                      {{"张伟", "语文", "一（1）", 1, 1, "T12"}, {"张伟", "数学", "一（2）", 2, 1, "T13"}},
                      6,
                      TimetableSubject(kSchool + "     张伟", 6, {{Cell(1, 1), {"语文", "一（1）"}}}) +
                          TimetableSubject(kSchool + "     张伟", 6, {{Cell(1, 2), {"数学", "一（2）"}}})},
        TimetableCase{"a row outside the week is left out; of two rows for one cell the first stays",
                      {{"王芳", "语文", "一（1）", 1, 1},
                       {"王芳", "数学", "一（2）", 1, 1},
                       {"王芳", "科学", "一（3）", 6, 7},
                       {"王芳", "科学", "一（3）", 0, 2}},
                      6,
                      TimetableSubject(kSchool + "     王芳", 6, {{Cell(1, 1), {"语文", "一（1）"}}})},
        TimetableCase{"names with & < \" are escaped",
                      {{"A&B<\"班\"", "音乐&美术", "<一>", 1, 1}},
                      6,
                      TimetableSubject(kSchool + "     A&amp;B&lt;&quot;班&quot;", 6,
                                       {{Cell(1, 1), {"音乐&amp;美术", "&lt;一>"}}})}),
    [](const auto& info) { return "case" + std::to_string(info.index); });

struct SchoolCase {
  const char* what;
  std::vector<TimetableRow> rows;
  std::string school;
  int lessons;
  std::string expected;
};

class SchoolDocument : public ::testing::TestWithParam<SchoolCase> {};

TEST_P(SchoolDocument, IsWrittenLineForLine) {
  const SchoolCase& c = GetParam();
  EXPECT_EQ(SchoolTimetableXmlText(c.rows, c.school, c.lessons), Head() + c.expected + Tail());
}

INSTANTIATE_TEST_SUITE_P(
    EdgeCases, SchoolDocument,
    ::testing::Values(
        SchoolCase{"empty cells before the last lesson carry the class; those after it stand in their own tr",
                   {{"一（1）", "语", "王芳", 2, 1}, {"一（1）", "数", "李强", 1, 2}},
                   kSchool,
                   6,
                   SchoolRow(kTotalTitle, "一（1）", 6,
                             {{Cell(1, 2), {"语", "王芳"}}, {Cell(2, 1), {"数", "李强"}}})},
        SchoolCase{"a class whose last lesson is the week's last cell has no completing cells",
                   {{"一（2）", "班会", "赵六", 5, 6}},
                   kSchool,
                   6,
                   SchoolRow(kTotalTitle, "一（2）", 6, {{Cell(6, 5), {"班会", "赵六"}}})},
        SchoolCase{"seven lessons a day: keys from L11 to L75, the title in every row",
                   {{"七（1）", "物", "钱七", 1, 7}, {"七（2）", "化", "孙八", 5, 7}},
                   kSchool,
                   7,
                   SchoolRow(kTotalTitle, "七（1）", 7, {{Cell(7, 1), {"物", "钱七"}}}) +
                       SchoolRow(kTotalTitle, "七（2）", 7, {{Cell(7, 5), {"化", "孙八"}}})},
        SchoolCase{
            "no school name: the title begins with \" 20\"",
            {{"一（1）", "语", "王芳", 1, 1}},
            "",
            6,
            SchoolRow(" 20    -- 20   学年度第  学期总课程表", "一（1）", 6, {{Cell(1, 1), {"语", "王芳"}}})},
        SchoolCase{"an empty timetable: only the skeleton", {}, kSchool, 6, ""},
        SchoolCase{"names escaped",
                   {{"一&1", "音&美", "<王>\"", 1, 2}},
                   "A&B",
                   6,
                   SchoolRow("A&amp;B 20    -- 20   学年度第  学期总课程表", "一&amp;1", 6,
                             {{Cell(2, 1), {"音&amp;美", "&lt;王>&quot;"}}})}),
    [](const auto& info) { return "case" + std::to_string(info.index); });

TEST(PrintDocumentFile, IsReplacedWholeAndAFailureIsMinusOne) {
  test::TempDir dir;
  const auto path = dir / "tmp.xml";
  test::WriteFile(path, std::string(100000, 'x'));
  const std::vector<TimetableRow> rows = {{"一（1）班", "语文", "", 1, 1}};
  ASSERT_TRUE(WriteTimetableXml(path, rows, kSchool, 6));
  EXPECT_EQ(test::ReadFile(path), TimetableXmlText(rows, kSchool, 6));
  ASSERT_TRUE(WriteSchoolTimetableXml(path, {}, kSchool, 6));
  EXPECT_EQ(test::ReadFile(path), Head() + Tail());

  const Outcome failed = WriteTimetableXml(dir / "no such folder" / "tmp.xml", rows, kSchool, 6);
  EXPECT_EQ(failed.code(), -1);
  EXPECT_NE(failed.message().find("tmp.xml"), std::string::npos) << failed.message();
  EXPECT_EQ(WriteSchoolTimetableXml(dir.Path(), rows, kSchool, 6).code(), -1) << "a folder is no file";
}

}  // namespace
}  // namespace orv
