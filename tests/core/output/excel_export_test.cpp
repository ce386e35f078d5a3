// SPDX-License-Identifier: GPL-3.0-or-later
// The workbook read back from its XML: cells, merges, widths, heights and
// borders of the class, teacher and whole-school sheets, and what happens
// when the file cannot be written.
#include <gtest/gtest.h>

#include "core/output/excel_export.h"
#include "support/temp_dir.h"
#include "support/xlsx_reader.h"

namespace orv {
namespace {

using test::CellRef;
using test::XlsxBorders;
using test::XlsxSheet;

const XlsxBorders kThin{"thin", "thin", "thin", "thin"};
const XlsxBorders kDoubleRight{"thin", "double", "thin", "thin"};

class Workbook : public ::testing::Test {
 protected:
  XlsxSheet Export(TimetableScope scope, const std::vector<TimetableRow>& rows, int lessons,
                   const std::string& school = "育才") {
    const Outcome done = ExportTimetable(scope, path, rows, school, lessons);
    EXPECT_TRUE(done) << done.message();
    return test::ReadXlsx(path);
  }
  XlsxBorders Borders(const XlsxSheet& s, int row, int col) {
    const test::XlsxCell* c = s.Find(CellRef(row, col));
    return c ? c->borders : XlsxBorders{};
  }
  test::TempDir dir;
  std::filesystem::path path = dir / "课表.xlsx";
};

TEST_F(Workbook, ClassBlocksElevenRowsApart) {
  for (int lessons : {6, 7}) {
    const XlsxSheet s = Export(TimetableScope::AllClasses,
                               {{"一（1）班", "语文", "", 1, 1},
                                {"一（1）班", "数学", "", 5, lessons},
                                {"一（2）班", "英语", "", 3, 2}},
                               lessons);
    EXPECT_EQ(s.name, "班级课表");
    EXPECT_EQ(s.widths, (std::map<int, double>{{1, 6}, {2, 14}, {3, 14}, {4, 14}, {5, 14}, {6, 14}}));
    EXPECT_EQ(s.defaultHeight, 30);
    EXPECT_TRUE(s.merges.empty());
    for (int r : {1, 12}) {
      EXPECT_EQ(s.Text(CellRef(r, 4)), r == 1 ? "育才     一（1）班" : "育才     一（2）班");
      EXPECT_TRUE(s.Find(CellRef(r, 4))->bold);
      EXPECT_EQ(Borders(s, r + 2, 1), kThin);
      for (int d = 1; d <= 5; ++d) {
        EXPECT_EQ(
            s.Text(CellRef(r + 2, d + 1)),
            std::vector<std::string>({"星期一", "星期二", "星期三", "星期四", "星期五"})[size_t(d - 1)]);
        EXPECT_EQ(Borders(s, r + 2, d + 1), kThin);
      }
      for (int i = 1; i <= lessons; ++i) {
        EXPECT_EQ(s.Text(CellRef(r + 2 + i, 1)), std::to_string(i));
        for (int c = 1; c <= 6; ++c) {
          EXPECT_EQ(Borders(s, r + 2 + i, c), kThin) << CellRef(r + 2 + i, c);
          EXPECT_TRUE(s.Find(CellRef(r + 2 + i, c))->centred);
        }
      }
      EXPECT_EQ(s.Find(CellRef(r + 2 + lessons + 1, 1)), nullptr) << "nothing below the last lesson";
      EXPECT_EQ(Borders(s, r + 2, 7), XlsxBorders{}) << "no column beyond Friday";
    }
    EXPECT_EQ(s.Text("B4"), "语文");
    EXPECT_EQ(s.Text(CellRef(3 + lessons, 6)), "数学") << "Friday's last lesson";
    EXPECT_EQ(s.Text("D16"), "英语") << "the second block: lesson 2 on row 12+2+2, Wednesday in column D";
  }
}

// The names keep their & < and " characters.
TEST_F(Workbook, TeacherCellsCarryTheClassUnderTheCourse) {
  const XlsxSheet s =
      Export(TimetableScope::Teacher,
             {{"A&B <王> \"芳\"", "语文", "一（1）", 2, 1}, {"A&B <王> \"芳\"", "音&美", "一<2>", 2, 2}}, 6,
             "育&才");
  EXPECT_EQ(s.name, "教师课表");
  EXPECT_EQ(s.Text("D1"), "育&才     A&B <王> \"芳\"");
  EXPECT_EQ(s.Text("C4"), "语文\n一（1）");
  EXPECT_EQ(s.Text("C5"), "音&美\n一<2>");
  EXPECT_TRUE(s.Find("C4")->wrap);
}

TEST_F(Workbook, WholeSchoolSheetWithDoubleLinesBetweenDaysOfSixOrSevenLessons) {
  const XlsxSheet s = Export(
      TimetableScope::School,
      {{"一（1）", "语", "王芳", 1, 1}, {"一（1）", "数", "李强", 2, 3}, {"一（2）", "英", "赵六", 5, 7}}, 7);
  const int last = 36;
  EXPECT_EQ(s.name, "全校课程总表");
  EXPECT_EQ(s.widths.size(), size_t(last)) << "36 columns with 7 lessons a day";
  EXPECT_EQ(s.widths.at(1), 10);
  for (int c = 2; c <= last; ++c) EXPECT_EQ(s.widths.at(c), 6) << c;
  EXPECT_EQ(s.heights, (std::map<int, double>{{1, 50}, {3, 30}, {4, 20}, {5, 30}, {6, 30}}));
  EXPECT_EQ(s.Text("A1"), "育才 20    -- 20   学年度第  学期总课程表");
  EXPECT_TRUE(s.Find("A1")->bold);
  EXPECT_EQ(s.merges,
            (std::vector<std::string>{"A1:AJ1", "B3:H3", "I3:O3", "P3:V3", "W3:AC3", "AD3:AJ3", "A3:A4"}));
  EXPECT_EQ(s.Text("B3") + s.Text("I3") + s.Text("P3") + s.Text("W3") + s.Text("AD3"),
            "星期一星期二星期三星期四星期五");
  for (int c = 2; c <= last; ++c) EXPECT_EQ(s.Text(CellRef(4, c)), std::to_string((c - 2) % 7 + 1));
  for (int row : {3, 4, 5, 6})
    for (int c = 1; c <= last; ++c) {
      const bool dayEnd = c == 8 || c == 15 || c == 22 || c == 29;
      EXPECT_EQ(Borders(s, row, c), dayEnd ? kDoubleRight : kThin) << CellRef(row, c);
    }
  EXPECT_EQ(Borders(s, 7, 1), XlsxBorders{});
  EXPECT_EQ(s.Text("A5"), "一（1）");
  EXPECT_EQ(s.Text("B5"), "语\n王芳");
  EXPECT_EQ(s.Text(CellRef(5, (2 - 1) * 7 + 3 + 1)), "数\n李强");
  EXPECT_EQ(s.Text("A6"), "一（2）");
  EXPECT_EQ(s.Text("AJ6"), "英\n赵六");
  EXPECT_TRUE(s.Find("AJ6")->wrap && s.Find("AJ6")->centred);

  const XlsxSheet six = Export(TimetableScope::School, {{"一（1）", "语", "王芳", 1, 1}}, 6);
  EXPECT_EQ(six.widths.size(), 31u);
  EXPECT_EQ(six.merges.front(), "A1:AE1");
  EXPECT_EQ(Borders(six, 3, 7), kDoubleRight);
  EXPECT_EQ(Borders(six, 3, 31), kThin);
}

// The page setup a spreadsheet program prints by, read from the sheet's XML:
// A4 portrait and a page per class or teacher; the overview on A3 across with
// its title and headers atop every page.
TEST_F(Workbook, SheetsCarryTheirPaperBreaksAndRepeatedHeaders) {
  auto entry = [&](const std::string& name) { return test::XlsxEntry(path, name); };
  const std::vector<TimetableRow> rows = {{"一（1）班", "语文", "一（1）", 1, 1},
                                          {"一（2）班", "语文", "一（2）", 1, 1},
                                          {"一（3）班", "语文", "一（3）", 1, 1}};
  for (TimetableScope scope : {TimetableScope::AllClasses, TimetableScope::AllTeachers}) {
    Export(scope, rows, 7);
    const std::string sheet = entry("xl/worksheets/sheet1.xml");
    EXPECT_NE(sheet.find("<pageSetup paperSize=\"9\" fitToHeight=\"0\" orientation=\"portrait\"/>"),
              std::string::npos);
    EXPECT_NE(sheet.find("<pageSetUpPr fitToPage=\"1\"/>"), std::string::npos);
    EXPECT_NE(sheet.find("<printOptions horizontalCentered=\"1\"/>"), std::string::npos);
    // Three blocks: breaks before rows 12 and 23, none after the last.
    const std::string breaks =
        "<rowBreaks count=\"2\" manualBreakCount=\"2\"><brk id=\"11\" max=\"16383\" "
        "man=\"1\"/><brk id=\"22\" max=\"16383\" man=\"1\"/></rowBreaks>";
    EXPECT_NE(sheet.find(breaks), std::string::npos);
    EXPECT_EQ(entry("xl/workbook.xml").find("Print_Titles"), std::string::npos);
  }
  Export(TimetableScope::School, rows, 6);
  const std::string sheet = entry("xl/worksheets/sheet1.xml");
  EXPECT_NE(sheet.find("<pageSetup paperSize=\"8\" fitToHeight=\"0\" orientation=\"landscape\"/>"),
            std::string::npos);
  EXPECT_NE(sheet.find("<pageSetUpPr fitToPage=\"1\"/>"), std::string::npos);
  EXPECT_EQ(sheet.find("<rowBreaks"), std::string::npos);
  EXPECT_NE(entry("xl/workbook.xml")
                .find("<definedName name=\"_xlnm.Print_Titles\" "
                      "localSheetId=\"0\">'全校课程总表'!$1:$4</definedName>"),
            std::string::npos)
      << entry("xl/workbook.xml");
}

TEST_F(Workbook, AnUnwritablePlaceIsMinus101AndKeepsWhatWasThere) {
  const std::vector<TimetableRow> rows = {{"一（1）班", "语文", "", 1, 1}};
  for (TimetableScope scope :
       {TimetableScope::AllClasses, TimetableScope::AllTeachers, TimetableScope::School}) {
    const Outcome missing = ExportTimetable(scope, dir / "no such folder" / "x.xlsx", rows, "", 6);
    EXPECT_EQ(missing.code(), kWorkbookNotCreated);
    EXPECT_FALSE(missing.message().empty());
    EXPECT_EQ(ExportTimetable(scope, dir.Path(), rows, "", 6).code(), kWorkbookNotCreated) << "a folder";
  }
  test::WriteFile(path, "an older export");
  std::filesystem::permissions(dir.Path(), std::filesystem::perms::owner_write,
                               std::filesystem::perm_options::remove);
  if (::access(dir.Path().c_str(), W_OK) != 0) {  // root writes anywhere
    EXPECT_EQ(ExportClassSheets(path, rows, "", 6).code(), kWorkbookNotCreated);
    EXPECT_EQ(test::ReadFile(path), "an older export");
  }
  std::filesystem::permissions(dir.Path(), std::filesystem::perms::owner_write,
                               std::filesystem::perm_options::add);
  ASSERT_TRUE(ExportClassSheets(path, rows, "", 6));
  EXPECT_EQ(test::ReadXlsx(path).Text("B4"), "语文") << "a finished export replaces the file";
  size_t files = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir.Path())) ++files;
  EXPECT_EQ(files, 1u) << "nothing left beside it";
}

}  // namespace
}  // namespace orv
