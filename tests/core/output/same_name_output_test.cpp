// SPDX-License-Identifier: GPL-3.0-or-later
// Two records that share a name (two teachers called 张伟 in a large school,
// two classes saved without a name) are two timetables in every output: two
// pages of the printout, two blocks of the workbook, two overview rows, each
// titled so that the reader tells them apart.
#include <gtest/gtest.h>

#include "core/output/excel_export.h"
#include "core/output/page_layout.h"
#include "core/output/print_document.h"
#include "support/test_db.h"
#include "support/xlsx_reader.h"

namespace orv {
namespace {

constexpr int kLessons = 6;

class SameNames : public ::testing::Test {
 protected:
  std::vector<TimetableRow> Read(TimetableScope scope, const std::string& code = "") {
    auto rows = ReadTimetableRows(t.db(), {scope, code});
    EXPECT_TRUE(rows) << rows.message();
    return rows ? *rows : std::vector<TimetableRow>{};
  }
  // The titles of the printout's pages, as the page model lays them out.
  std::vector<std::string> PageTitles(const std::vector<TimetableRow>& rows, const char* templateFile) {
    auto data = ParsePrintData(TimetableXmlText(rows, "育才", kLessons));
    EXPECT_TRUE(data) << data.message();
    auto tpl =
        ParsePrintTemplate(test::ReadFile(std::filesystem::path(ORVANDEL_TEMPLATE_DIR) / templateFile));
    EXPECT_TRUE(tpl) << tpl.message();
    auto pages = LayOutPages(*data, *tpl);
    EXPECT_TRUE(pages) << pages.message();
    std::vector<std::string> titles;
    for (const PrintSubject& s : data->subjects) titles.push_back(s.title);
    EXPECT_EQ(pages->pages.size(), titles.size());
    return titles;
  }
  // The block titles of the class or teacher sheet, one block every 11 rows.
  std::vector<std::string> SheetTitles(TimetableScope scope, const std::vector<TimetableRow>& rows) {
    const Outcome done = ExportTimetable(scope, workbook, rows, "育才", kLessons);
    EXPECT_TRUE(done) << done.message();
    const test::XlsxSheet sheet = test::ReadXlsx(workbook);
    std::vector<std::string> titles;
    for (int r = 1; !sheet.Text(test::CellRef(r, 4)).empty(); r += 11)
      titles.push_back(sheet.Text(test::CellRef(r, 4)));
    return titles;
  }
  test::TestDb t;
  std::filesystem::path workbook = t.dir() / "out.xlsx";
};

TEST_F(SameNames, ThirtyTeachersTwoOfThemZhangWeiGiveThirtyPagesAndThirtyBlocks) {
  t.AddClass("11", "一（1）班", "一年级（1）班", "一（1）");
  t.AddCourse("01", "语文");
  for (int i = 1; i <= 30; ++i) {
    char code[8];
    std::snprintf(code, sizeof code, "T%03d", i);
    t.AddTeacher(code, i == 12 || i == 13 ? "张伟" : "教师" + std::to_string(i));
    // One lesson each; in code order the two 张伟 follow each other.
    t.AddLesson("11", (i - 1) % 5 + 1, (i - 1) / 5 + 1, "01", code, 1);
  }
  const std::vector<TimetableRow> rows = Read(TimetableScope::AllTeachers);
  ASSERT_EQ(rows.size(), 30u);

  const std::vector<std::string> pages = PageTitles(rows, "TeacherSchd6.xml");
  ASSERT_EQ(pages.size(), 30u) << "one page per teacher";
  EXPECT_EQ(pages[0], "育才     教师1") << "a unique name stays as it was";
  EXPECT_EQ(pages[11], "育才     张伟（T012）");
  EXPECT_EQ(pages[12], "育才     张伟（T013）");

  const std::vector<std::string> blocks = SheetTitles(TimetableScope::AllTeachers, rows);
  ASSERT_EQ(blocks.size(), 30u) << "one block per teacher";
  EXPECT_EQ(blocks[11], "育才     张伟（T012）");
  EXPECT_EQ(blocks[12], "育才     张伟（T013）");

  // In the overview's row of the class, each lesson says which 张伟 teaches it.
  auto school = ParsePrintData(SchoolTimetableXmlText(Read(TimetableScope::School), "育才", kLessons));
  ASSERT_TRUE(school) << school.message();
  ASSERT_EQ(school->subjects.size(), 1u);
  EXPECT_EQ(school->subjects[0].cells[11].second, "张伟（T012）");
  EXPECT_EQ(school->subjects[0].cells[12].second, "张伟（T013）");
  EXPECT_EQ(school->subjects[0].cells[10].second, "教师11");

  // One of them alone, by code: only their own lesson, under their own title.
  const std::vector<TimetableRow> one = Read(TimetableScope::Teacher, "T013");
  ASSERT_EQ(one.size(), 1u);
  EXPECT_EQ(one[0].name, "张伟（T013）");
  EXPECT_EQ(one[0].day, 3);
  EXPECT_EQ(PageTitles(Read(TimetableScope::Teacher, "T001"), "TeacherSchd6.xml"),
            std::vector<std::string>{"育才     教师1"});
}

TEST_F(SameNames, ClassesWithoutANameOrWithOneShortNameStaySeparateEverywhere) {
  t.AddClass("11", "", "", "");
  t.AddClass("12", "", "", "");
  t.AddClass("13", "一（3）班", "一年级（3）班", "一（3）");
  t.AddCourse("01", "语文");
  t.AddTeacher("T1", "王芳");
  for (const char* cls : {"11", "12", "13"}) t.AddLesson(cls, 1, 1, "01", "T1", 1);

  const std::vector<std::string> expected = {"育才     （11）", "育才     （12）", "育才     一（3）班"};
  const std::vector<TimetableRow> classes = Read(TimetableScope::AllClasses);
  EXPECT_EQ(PageTitles(classes, "ClassSchd6.xml"), expected);
  EXPECT_EQ(SheetTitles(TimetableScope::AllClasses, classes), expected);

  // The overview names its rows by short name: the blank ones by code.
  auto data = ParsePrintData(SchoolTimetableXmlText(Read(TimetableScope::School), "育才", kLessons));
  ASSERT_TRUE(data) << data.message();
  std::vector<std::string> rowNames;
  for (const PrintSubject& s : data->subjects) rowNames.push_back(s.name);
  EXPECT_EQ(rowNames, (std::vector<std::string>{"（11）", "（12）", "一（3）"}));
  ASSERT_TRUE(
      ExportTimetable(TimetableScope::School, workbook, Read(TimetableScope::School), "育才", kLessons));
  const test::XlsxSheet total = test::ReadXlsx(workbook);
  EXPECT_EQ(total.Text("A5") + "|" + total.Text("A6") + "|" + total.Text("A7"), "（11）|（12）|一（3）");

  // The selectors offer them alike: the code where the name does not tell.
  auto choices = ReadClassChoices(t.db());
  ASSERT_TRUE(choices);
  EXPECT_EQ(*choices,
            (std::vector<TimetableChoice>{{"11", "（11）"}, {"12", "（12）"}, {"13", "一（3）班"}}));
}

}  // namespace
}  // namespace orv
