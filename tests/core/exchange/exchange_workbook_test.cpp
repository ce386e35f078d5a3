// SPDX-License-Identifier: GPL-3.0-or-later
// The exchange workbook as a spreadsheet program sees it: the sheets in
// order, their headers, the drop-downs and the values they offer, and a
// school's records with their codes.
#include <gtest/gtest.h>

#include "core/database/school_rules.h"
#include "core/exchange/data_export.h"
#include "core/exchange/data_sheets.h"
#include "core/exchange/template_workbook.h"
#include "support/test_db.h"
#include "support/xlsx_reader.h"

namespace fs = std::filesystem;

namespace orv {
namespace {

using test::CellRef;
using test::XlsxSheet;

int IndexOf(SheetKind kind) { return static_cast<int>(kind); }

// The values of the hidden list sheet that a formula such as
// '下拉选项'!$D$1:$D$8 names.
std::vector<std::string> ListValues(const fs::path& book, const std::string& formula) {
  const XlsxSheet lists = test::ReadXlsx(book, kSheetKindCount);
  const size_t bang = formula.find("!$");
  const std::string column = formula.substr(bang + 2, formula.find('$', bang + 2) - bang - 2);
  const int last = std::stoi(formula.substr(formula.rfind('$') + 1));
  std::vector<std::string> values;
  for (int r = 1; r <= last; ++r) values.push_back(lists.Text(column + std::to_string(r)));
  return values;
}

// The list formula on the column, "" when it has none.
std::string ListOn(const XlsxSheet& sheet, int column) {
  const std::string letter = CellRef(1, column + 1).substr(0, CellRef(1, column + 1).size() - 1);
  for (const auto& [range, formula] : sheet.lists)
    if (range.rfind(letter + "2:", 0) == 0) return formula;
  return "";
}

std::vector<std::string> Row(const XlsxSheet& sheet, int row, size_t columns) {
  std::vector<std::string> cells;
  for (size_t c = 0; c < columns; ++c) cells.push_back(sheet.Text(CellRef(row, int(c) + 1)));
  return cells;
}

TEST(ExchangeSheets, EveryKindIsFoundByItsKeyAndNameAndEveryRecordSheetHasACode) {
  for (const char* key : {"courses", "teachers", "rooms", "classes", "plan", "restrictions", "rules"}) {
    const std::optional<SheetKind> kind = SheetKindFromKey(key);
    ASSERT_TRUE(kind) << key;
    EXPECT_EQ(SheetKindFromName(SheetOf(*kind).name), kind);
  }
  EXPECT_FALSE(SheetKindFromKey(""));
  EXPECT_FALSE(SheetKindFromName("成绩"));
  for (SheetKind kind : {SheetKind::Courses, SheetKind::Teachers, SheetKind::Rooms, SheetKind::Classes,
                         SheetKind::Restrictions})
    EXPECT_TRUE(ColumnIndex(kind, "编号")) << SheetOf(kind).name;
  for (const char* code : {"班级编号", "课程编号", "教师编号"})
    EXPECT_TRUE(ColumnIndex(SheetKind::Plan, code));
}

TEST(TemplateWorkbook, HasTheGuideEverySheetWithBoldHeadersAndTheKnownValuesAsDropDowns) {
  const test::TempDir dir;
  const fs::path book = dir.Path() / "导入模板.xlsx";
  ASSERT_TRUE(WriteTemplateWorkbook(book));

  std::vector<std::string> expected;
  for (const SheetInfo& s : ExchangeSheets()) expected.emplace_back(s.name);
  expected.emplace_back(kListSheetName);
  EXPECT_EQ(test::XlsxSheetNames(book), expected);
  EXPECT_EQ(test::XlsxHiddenSheets(book), std::vector<std::string>{std::string(kListSheetName)});

  // The guide names every column of every sheet with its example.
  const XlsxSheet guide = test::ReadXlsx(book, 0);
  std::vector<std::vector<std::string>> guideRows;
  for (int r = 4; !guide.Text(CellRef(r, 1)).empty(); ++r) guideRows.push_back(Row(guide, r, 5));
  size_t at = 0;
  for (const SheetInfo& s : ExchangeSheets()) {
    if (s.kind == SheetKind::Guide) continue;
    for (const ColumnInfo& c : s.columns) {
      ASSERT_LT(at, guideRows.size());
      EXPECT_EQ(guideRows[at], (std::vector<std::string>{std::string(s.name), std::string(c.header),
                                                         c.required ? "是" : "否", std::string(c.meaning),
                                                         std::string(c.example)}));
      ++at;
    }
  }
  EXPECT_EQ(at, guideRows.size());

  for (const SheetInfo& s : ExchangeSheets()) {
    if (s.kind == SheetKind::Guide) continue;
    const XlsxSheet sheet = test::ReadXlsx(book, IndexOf(s.kind));
    for (size_t c = 0; c < s.columns.size(); ++c) {
      const test::XlsxCell* header = sheet.Find(CellRef(1, int(c) + 1));
      ASSERT_TRUE(header) << s.name;
      EXPECT_EQ(header->text, s.columns[c].header);
      EXPECT_TRUE(header->bold);
      EXPECT_EQ(sheet.widths.at(int(c) + 1), s.columns[c].width);
      // Without a database there are no courses or teachers to offer.
      const std::vector<std::string> known = KnownValues(s.columns[c].values);
      const std::string formula = ListOn(sheet, int(c));
      if (known.empty())
        EXPECT_EQ(formula, "") << s.name << s.columns[c].header;
      else
        EXPECT_EQ(ListValues(book, formula), known) << s.name << s.columns[c].header;
    }
    EXPECT_EQ(sheet.Text("A2"), "") << "the template holds no records";
  }
  const XlsxSheet classes = test::ReadXlsx(book, IndexOf(SheetKind::Classes));
  EXPECT_EQ(ListValues(book, ListOn(classes, *ColumnIndex(SheetKind::Classes, "年级"))).at(7), "七年级");
  const XlsxSheet limits = test::ReadXlsx(book, IndexOf(SheetKind::Restrictions));
  EXPECT_EQ(ListValues(book, ListOn(limits, *ColumnIndex(SheetKind::Restrictions, "限制"))),
            (std::vector<std::string>{"最佳位置", "正常", "尽量不排", "不排"}));
}

TEST(DataExport, WritesEveryRecordWithItsCodeInCodeOrderAndOffersTheSchoolsNames) {
  test::TestDb t;
  t.AddClass("12", "一（2）班", "一年级（2）班", "一（2）");
  t.AddClass("11", "一（1）班", "一年级（1）班", "一（1）");
  t.AddCourse("02", "数学");
  t.AddCourse("01", "语文");
  t.AddCourse("03", "微机");
  t.AddSpecialCourse("03");
  // Two teachers of one name: only the code tells them apart.
  t.AddTeacher("002", "王伟");
  t.AddTeacher("001", "王伟");
  t.AddTeacher("003", "李红");
  t.AddClassRoom("01", "微机室");
  t.AddPlan("12", "01", "002", 6);
  t.AddPlan("11", "02", "003", 5);
  t.AddPlan("11", "01", "001", 7);
  t.AddLimit(2, "002", 1, 1, 3);  // 不排
  t.AddLimit(2, "002", 1, 1, 0);  // 最佳位置 on the same cell: one row, the stricter mark
  t.AddLimit(2, "002", 1, 2, 1);  // 正常: what no row means
  t.AddLimit(0, "11", 5, 6, 2);   // 尽量不排
  t.AddLimit(0, "11", 5, 7, 9);   // a mark no window writes
  ASSERT_TRUE(SetSchoolRule(t.db(), {RuleKey::kMaxLessonsPerDay, RuleScope::kSchool, "", "", 4}));
  ASSERT_TRUE(SetSchoolRule(t.db(), {RuleKey::kDoublesPerWeek, RuleScope::kClassCourse, "12", "01", 1}));
  ASSERT_TRUE(SetSchoolRule(t.db(), {RuleKey::kNoClassGaps, RuleScope::kClass, "11", "", 1}));

  const fs::path book = t.dir().Path() / "school.xlsx";
  ASSERT_TRUE(ExportBasicData(t.db(), book));

  using Rows = std::vector<std::vector<std::string>>;
  auto rows = [&](SheetKind kind) {
    const XlsxSheet sheet = test::ReadXlsx(book, IndexOf(kind));
    Rows out;
    for (int r = 2; !Row(sheet, r, SheetOf(kind).columns.size())[0].empty(); ++r)
      out.push_back(Row(sheet, r, SheetOf(kind).columns.size()));
    return out;
  };
  EXPECT_EQ(rows(SheetKind::Courses), (Rows{{"01", "语文", "语文", "语文", "否"},
                                            {"02", "数学", "数学", "数学", "否"},
                                            {"03", "微机", "微机", "微机", "是"}}));
  EXPECT_EQ(rows(SheetKind::Teachers), (Rows{{"001", "王伟", "王伟", "王伟"},
                                             {"002", "王伟", "王伟", "王伟"},
                                             {"003", "李红", "李红", "李红"}}));
  EXPECT_EQ(rows(SheetKind::Rooms), (Rows{{"01", "微机室", "微机室", "微机室"}}));
  EXPECT_EQ(rows(SheetKind::Classes), (Rows{{"11", "一年级", "1", "一（1）班", "一年级（1）班", "一（1）"},
                                            {"12", "一年级", "2", "一（2）班", "一年级（2）班", "一（2）"}}));
  EXPECT_EQ(rows(SheetKind::Plan), (Rows{{"一（1）班", "11", "语文", "01", "王伟", "001", "7"},
                                         {"一（1）班", "11", "数学", "02", "李红", "003", "5"},
                                         {"一（2）班", "12", "语文", "01", "王伟", "002", "6"}}));
  EXPECT_EQ(rows(SheetKind::Restrictions), (Rows{{"班级", "一（1）班", "11", "星期五", "6", "尽量不排"},
                                                 {"教师", "王伟", "002", "星期一", "1", "不排"}}));
  EXPECT_EQ(rows(SheetKind::Rules), (Rows{{"教师每天最多节数", "全校", "", "", "", "", "4"},
                                          {"班级课表无空节", "班级", "一（1）班", "11", "", "", "是"},
                                          {"连堂课", "班级课程", "一（2）班", "12", "语文", "01", "1"}}));

  // The plan offers the school's own courses and teachers, each name once.
  const XlsxSheet plan = test::ReadXlsx(book, IndexOf(SheetKind::Plan));
  const std::string courseList = ListOn(plan, *ColumnIndex(SheetKind::Plan, "课程"));
  EXPECT_EQ(ListValues(book, courseList), (std::vector<std::string>{"语文", "数学", "微机"}));
  EXPECT_EQ(ListValues(book, ListOn(plan, *ColumnIndex(SheetKind::Plan, "教师"))),
            (std::vector<std::string>{"王伟", "李红"}));
}

}  // namespace
}  // namespace orv
