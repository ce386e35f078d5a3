// SPDX-License-Identifier: GPL-3.0-or-later
// Import files as they reach the program: the school's own export, a
// workbook another tool wrote in its own shape, a GBK CSV file from WPS, and
// files that must be refused without touching the database.
#include <gtest/gtest.h>
#include <iconv.h>
#include <xlsxwriter.h>

#include <fstream>

#include "core/demo/demo_school.h"
#include "core/exchange/data_export.h"
#include "import_test_support.h"

namespace fs = std::filesystem;

namespace orv {
namespace {

void WriteFile(const fs::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

std::string ToGbk(const std::string& utf8) {
  iconv_t cd = iconv_open("GBK", "UTF-8");
  std::string out(utf8.size() * 2, '\0');
  char* src = const_cast<char*>(utf8.data());
  char* dst = out.data();
  size_t srcLeft = utf8.size(), dstLeft = out.size();
  EXPECT_NE(iconv(cd, &src, &srcLeft, &dst, &dstLeft), static_cast<size_t>(-1));
  iconv_close(cd);
  out.resize(out.size() - dstLeft);
  return out;
}

std::vector<ImportSheet> Read(const fs::path& path, std::optional<SheetKind> kind = std::nullopt) {
  Result<std::vector<ImportSheet>> sheets = ReadImportFile(path, kind);
  EXPECT_TRUE(sheets) << sheets.message();
  return sheets ? std::move(*sheets) : std::vector<ImportSheet>{};
}

TEST(ImportFiles, TheSchoolsOwnExportImportedIntoAnEmptyDatabaseReproducesIt) {
  test::TestDb school;
  DemoOptions demo;
  demo.lastGrade = 9;
  demo.classesPerGrade = 8;
  demo.lessonsPerDay = 7;
  demo.statedRules = true;
  ASSERT_TRUE(FillDemoSchool(school.db(), demo));
  // The timetable is no basic data: the fixed class meetings stay behind.
  school.db().Execute("delete from LessonListtb");
  test::RecountBuildCounts(school.db());
  const fs::path book = school.dir().Path() / "school.xlsx";
  ASSERT_TRUE(ExportBasicData(school.db(), book));

  test::TestDb copy;
  const ImportPlan plan = test::Planned(copy.db(), Read(book));
  ASSERT_TRUE(plan.Ok()) << test::ProblemsText(plan);
  EXPECT_EQ(plan.CountsOf(SheetKind::Classes).added, 72);
  EXPECT_EQ(plan.CountsOf(SheetKind::Plan).added, school.Count("select count(*) from ClassPlantb"));
  ASSERT_TRUE(ApplyImport(copy.db(), plan));
  EXPECT_EQ(test::Dump(copy.db()), test::Dump(school.db()));

  // Imported again, everything is found and nothing changes.
  const ImportPlan again = test::Planned(copy.db(), Read(book));
  EXPECT_EQ(again.Total().added + again.Total().changed, 0);
  EXPECT_EQ(again.Total().kept, int(again.changes.size()));
}

TEST(ImportFiles, AWorkbookInAnotherToolsShapeImports) {
  test::TestDb t;
  const fs::path book = t.dir().Path() / "任课.xlsx";
  lxw_workbook* wb = workbook_new(book.c_str());
  lxw_worksheet* notes = workbook_add_worksheet(wb, "填表说明");
  worksheet_merge_range(notes, 0, 0, 0, 3, "本表由教务处填写", nullptr);
  lxw_worksheet* teachers = workbook_add_worksheet(wb, "教师");
  // A staff list: a title above the headers, a column the import does not know, 工号 as numbers.
  worksheet_write_string(teachers, 0, 0, "2026学年教职工名单", nullptr);
  worksheet_write_string(teachers, 2, 0, "序号", nullptr);
  worksheet_write_string(teachers, 2, 1, "教师姓名", nullptr);
  worksheet_write_string(teachers, 2, 2, "工号", nullptr);
  const char* names[] = {"王伟", "李娜", "张　伟"};
  for (int i = 0; i < 3; ++i) {
    worksheet_write_number(teachers, lxw_row_t(3 + i), 0, i + 1, nullptr);
    worksheet_write_string(teachers, lxw_row_t(3 + i), 1, names[i], nullptr);
    worksheet_write_number(teachers, lxw_row_t(3 + i), 2, 101 + i, nullptr);
  }
  lxw_worksheet* plan = workbook_add_worksheet(wb, "教学计划");
  const char* header[] = {"周课时", "任课教师", "课程名称", "班级"};
  for (int c = 0; c < 4; ++c) worksheet_write_string(plan, 0, lxw_col_t(c), header[c], nullptr);
  worksheet_write_number(plan, 1, 0, 5, nullptr);
  worksheet_write_string(plan, 1, 1, "王伟", nullptr);
  worksheet_write_string(plan, 1, 2, "语文", nullptr);
  worksheet_write_string(plan, 1, 3, "初一（２）班", nullptr);
  // Row 3 left empty; a count as text and another as a formula with its value.
  worksheet_write_string(plan, 3, 0, "４", nullptr);
  worksheet_write_string(plan, 3, 1, "李娜", nullptr);
  worksheet_write_string(plan, 3, 2, "数学", nullptr);
  worksheet_write_string(plan, 3, 3, "七年级2班", nullptr);
  worksheet_write_formula_num(plan, 4, 0, "=1+1", nullptr, 2);
  worksheet_write_string(plan, 4, 1, "张伟", nullptr);
  worksheet_write_string(plan, 4, 2, "体育", nullptr);
  worksheet_write_string(plan, 4, 3, "7年级2班", nullptr);
  ASSERT_EQ(workbook_close(wb), LXW_NO_ERROR);

  const std::vector<ImportSheet> sheets = Read(book);
  ASSERT_EQ(sheets.size(), 2u);
  const ImportPlan result = test::Planned(t.db(), sheets, {ImportMode::Merge, true});
  ASSERT_TRUE(result.Ok()) << test::ProblemsText(result);
  ASSERT_TRUE(ApplyImport(t.db(), result));
  EXPECT_EQ(t.Count("select count(*) from Teachertb where Code in ('101','102','103')"), 3);
  // Full-width forms are matched but stored as typed.
  EXPECT_EQ(t.db().FirstText("select Name from Teachertb where Code='103'").value_or(""), "张　伟");
  EXPECT_EQ(t.db().FirstText("select Name from Classtb where Code='72'").value_or(""), "七（2）班");
  EXPECT_EQ(t.Count("select sum(Count) from ClassPlantb where ClassCode='72'"), 11);
  EXPECT_EQ(t.Count("select count(*) from ClassPlantb where TeacherCode='103'"), 1);
}

TEST(ImportFiles, AGbkCsvFileTakesItsKindFromItsName) {
  test::TestDb t;
  const fs::path csv = t.dir().Path() / "教学计划.csv";
  WriteFile(csv, ToGbk("班级,课程,教师,每周节数\r\n一(1)班,语文,王伟,6\r\n\"一(1)班\",\"数学\",李娜,5\r\n"));
  const std::vector<ImportSheet> sheets = Read(csv);
  ASSERT_EQ(sheets.size(), 1u);
  EXPECT_EQ(sheets[0].kind, SheetKind::Plan);
  const ImportPlan plan = test::Planned(t.db(), sheets, {ImportMode::Merge, true});
  ASSERT_TRUE(plan.Ok()) << test::ProblemsText(plan);
  ASSERT_TRUE(ApplyImport(t.db(), plan));
  EXPECT_EQ(t.db()
                .FirstText("select group_concat(Name) from (select Name from Teachertb order by Code)")
                .value_or(""),
            "王伟,李娜");
  EXPECT_EQ(t.Count("select sum(Count) from ClassPlantb where ClassCode='11'"), 11);

  // A name that says no kind needs the kind given.
  const fs::path other = t.dir().Path() / "staff.csv";
  WriteFile(other, "姓名\n赵敏\n");
  const Result<std::vector<ImportSheet>> unknown = ReadImportFile(other);
  ASSERT_FALSE(unknown);
  EXPECT_NE(unknown.message().find("无法从文件名“staff.csv”判断其内容"), std::string::npos)
      << unknown.message();
  EXPECT_EQ(Read(other, SheetKind::Teachers).at(0).kind, SheetKind::Teachers);
}

TEST(ImportFiles, BadFilesAreRefusedWithAClearMessage) {
  test::TempDir dir;
  const fs::path xls = dir.Path() / "任课.xls";
  WriteFile(xls, std::string("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) + std::string(512, '\0'));
  const fs::path broken = dir.Path() / "坏.xlsx";
  WriteFile(broken, "PK\x03\x04 not really a zip");
  const fs::path text = dir.Path() / "名单.txt";
  WriteFile(text, "王伟\n");
  const struct {
    fs::path path;
    const char* says;
  } cases[] = {{xls, ".xlsx"}, {broken, "xlsx"}, {text, "只能导入 .xlsx 工作簿或 .csv 文件"}};
  for (const auto& c : cases) {
    const Result<std::vector<ImportSheet>> read = ReadImportFile(c.path);
    ASSERT_FALSE(read) << c.path;
    EXPECT_NE(read.message().find(c.says), std::string::npos) << read.message();
  }

  // Merged cells and a date in the count column: each names its sheet, and nothing is written.
  test::TestDb t;
  const fs::path book = t.dir().Path() / "计划.xlsx";
  lxw_workbook* wb = workbook_new(book.c_str());
  lxw_worksheet* teachers = workbook_add_worksheet(wb, "教师");
  worksheet_write_string(teachers, 0, 0, "姓名", nullptr);
  worksheet_merge_range(teachers, 1, 0, 1, 1, "王伟", nullptr);
  lxw_worksheet* plan = workbook_add_worksheet(wb, "教学计划");
  const char* header[] = {"班级", "课程", "教师", "每周节数"};
  for (int c = 0; c < 4; ++c) worksheet_write_string(plan, 0, lxw_col_t(c), header[c], nullptr);
  worksheet_write_string(plan, 1, 0, "一(1)班", nullptr);
  worksheet_write_string(plan, 1, 1, "语文", nullptr);
  worksheet_write_string(plan, 1, 2, "王伟", nullptr);
  lxw_datetime mayFirst = {2026, 5, 1, 0, 0, 0};
  lxw_format* date = workbook_add_format(wb);
  format_set_num_format(date, "m-d");
  worksheet_write_datetime(plan, 1, 3, &mayFirst, date);
  ASSERT_EQ(workbook_close(wb), LXW_NO_ERROR);
  const std::string before = test::Dump(t.db());
  const ImportPlan result = test::Planned(t.db(), Read(book), {ImportMode::Merge, true});
  const std::string problems = test::ProblemsText(result);
  EXPECT_NE(problems.find("教师："), std::string::npos) << problems;
  EXPECT_NE(problems.find("合并"), std::string::npos) << problems;
  EXPECT_NE(problems.find("教学计划 第2行 每周节数：“46143”不是1至35的整数：像是日期"), std::string::npos)
      << problems;
  EXPECT_FALSE(ApplyImport(t.db(), result));
  EXPECT_EQ(test::Dump(t.db()), before);
}

}  // namespace
}  // namespace orv
