// SPDX-License-Identifier: GPL-3.0-or-later
// Spreadsheets as schools make them: workbooks written by another tool in
// unusual shapes, parts typed by hand, CSV in the encodings WPS and Excel
// save, and the bad files users pick by mistake.
#include "core/files/table_reader.h"

#include <gtest/gtest.h>
#include <iconv.h>
#include <minizip/zip.h>
#include <xlsxwriter.h>

#include <utility>

#include "support/temp_dir.h"

namespace fs = std::filesystem;

namespace orv {
namespace {

using test::ReadFile;
using test::WriteFile;
using Rows = std::vector<std::vector<std::string>>;
using Parts = std::vector<std::pair<std::string, std::string>>;

void Zip(const fs::path& path, const Parts& parts) {
  zipFile zip = zipOpen64(path.c_str(), APPEND_STATUS_CREATE);
  ASSERT_NE(zip, nullptr);
  for (const auto& [name, data] : parts) {
    ASSERT_EQ(
        zipOpenNewFileInZip64(zip, name.c_str(), nullptr, nullptr, 0, nullptr, 0, nullptr, Z_DEFLATED, 9, 1),
        ZIP_OK);
    ASSERT_EQ(zipWriteInFileInZip(zip, data.data(), static_cast<unsigned>(data.size())), ZIP_OK);
    zipCloseFileInZip(zip);
  }
  zipClose(zip, nullptr);
}

// A one-sheet workbook of hand-written parts, named 手写.
Parts HandWritten(const std::string& sheet_data, const std::string& shared = "",
                  const std::string& target = "worksheets/sheet1.xml") {
  const std::string ns = R"( xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main")";
  Parts parts = {{"xl/workbook.xml",
                  "<workbook" + ns +
                      R"( xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships">)"
                      R"(<sheets><sheet name="手写" sheetId="1" r:id="rId7"/></sheets></workbook>)"},
                 {"xl/_rels/workbook.xml.rels",
                  R"(<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)"
                  R"(<Relationship Id="rId7" Type="x" Target=")" +
                      target + R"("/></Relationships>)"},
                 {"xl/worksheets/sheet1.xml",
                  "<worksheet" + ns + "><sheetData>" + sheet_data + "</sheetData></worksheet>"}};
  if (!shared.empty()) parts.push_back({"xl/sharedStrings.xml", "<sst" + ns + ">" + shared + "</sst>"});
  return parts;
}

TEST(ReadWorkbook, ReadsEverySheetOfAWorkbookWrittenByAnotherToolCellByCell) {
  test::TempDir dir;
  const fs::path path = dir / "学校.xlsx";
  lxw_workbook* wb = workbook_new(path.c_str());
  lxw_worksheet* teachers = workbook_add_worksheet(wb, "教师");
  lxw_worksheet* courses = workbook_add_worksheet(wb, "课程");
  lxw_format* bold = workbook_add_format(wb);
  format_set_bold(bold);
  worksheet_write_string(teachers, 0, 0, "姓名", bold);
  worksheet_write_string(teachers, 0, 1, "编号", nullptr);
  worksheet_write_string(teachers, 1, 0, "张三", nullptr);
  worksheet_write_string(teachers, 1, 1, "007", nullptr);  // a number stored as text stays as typed
  worksheet_write_blank(teachers, 1, 4, bold);             // a styled but empty trailing cell
  worksheet_write_string(courses, 0, 0, "语文", nullptr);
  worksheet_write_number(courses, 0, 1, 5, nullptr);
  worksheet_write_number(courses, 0, 2, 0.1, nullptr);
  worksheet_write_number(courses, 0, 3, -2.5, nullptr);
  worksheet_write_formula_num(courses, 0, 4, "=B1*2", nullptr, 10);
  worksheet_write_string(courses, 2, 0, "数学", nullptr);       // row 2 left out: the gap stays a row
  worksheet_write_string(courses, 2, 2, "初一(2)班", nullptr);  // column B left out
  worksheet_write_boolean(courses, 2, 3, 1, nullptr);
  lxw_datetime date = {2024, 1, 1, 0, 0, 0};
  lxw_format* date_format = workbook_add_format(wb);
  format_set_num_format(date_format, "yyyy-mm-dd");
  worksheet_write_datetime(courses, 3, 1, &date, date_format);  // the importer decides what a date means
  ASSERT_EQ(workbook_close(wb), LXW_NO_ERROR);

  auto tables = ReadWorkbook(path);
  ASSERT_TRUE(tables.ok()) << tables.message();
  ASSERT_EQ(tables->size(), 2u);
  EXPECT_EQ((*tables)[0].name, "教师");
  EXPECT_EQ((*tables)[0].rows, (Rows{{"姓名", "编号"}, {"张三", "007"}}));
  EXPECT_EQ((*tables)[1].name, "课程");
  EXPECT_EQ((*tables)[1].rows,
            (Rows{{"语文", "5", "0.1", "-2.5", "10"}, {}, {"数学", "", "初一(2)班", "TRUE"}, {"", "45292"}}));
}

TEST(ReadWorkbook, ReadsInlineStringsAndRichTextOfHandWrittenParts) {
  test::TempDir dir;
  const fs::path path = dir / "手写.xlsx";
  Zip(path,
      HandWritten(
          R"(<row r="2"><c r="B2" t="s"><v>0</v></c><c r="D2" t="inlineStr"><is><r><t>一（</t></r>)"
          R"(<r><rPr><b/></rPr><t>1</t></r><r><t>）班</t></r></is></c></row>)"
          R"(<row><c t="inlineStr"><is><t xml:space="preserve"> 语文 </t></is></c><c><v>5.000</v></c>)"
          R"(<c><v>1E-3</v></c><c><f>0.1+0.2</f><v>0.30000000000000004</v></c><c t="str"><f>""</f><v></v></c><c t="str"><f>A1</f><v>x</v></c></row>)",
          R"(<si><r><t>张</t></r><r><rPr><i/></rPr><t>三</t></r><rPh><t>ちょう</t></rPh></si>)",
          "/xl/worksheets/sheet1.xml"));
  auto tables = ReadWorkbook(path);
  ASSERT_TRUE(tables.ok()) << tables.message();
  ASSERT_EQ(tables->size(), 1u);
  EXPECT_EQ((*tables)[0].name, "手写");
  EXPECT_EQ((*tables)[0].rows,
            (Rows{{}, {"", "张三", "", "一（1）班"}, {" 语文 ", "5", "0.001", "0.3", "", "x"}}));
}

TEST(ReadWorkbook, ASheetItCannotReadFaithfullyHasAProblemThatNamesTheCellAndSparesTheOthers) {
  test::TempDir dir;
  const fs::path merged = dir / "合并.xlsx";
  lxw_workbook* wb = workbook_new(merged.c_str());
  lxw_worksheet* notes = workbook_add_worksheet(wb, "说明");
  lxw_worksheet* classes = workbook_add_worksheet(wb, "班级");
  worksheet_merge_range(notes, 1, 0, 2, 1, "初一", nullptr);
  worksheet_write_string(classes, 0, 0, "班级名称", nullptr);
  ASSERT_EQ(workbook_close(wb), LXW_NO_ERROR);
  auto tables = ReadWorkbook(merged);
  ASSERT_TRUE(tables.ok()) << tables.message();
  ASSERT_EQ(tables->size(), 2u);
  EXPECT_EQ((*tables)[0].problem, "工作表说明有合并的单元格 A2:B3，请取消合并后再导入");
  EXPECT_TRUE((*tables)[0].rows.empty());
  EXPECT_EQ((*tables)[1].problem, "");
  EXPECT_EQ((*tables)[1].rows, (Rows{{"班级名称"}}));

  const fs::path formula = dir / "公式.xlsx";
  Zip(formula, HandWritten(R"(<row r="1"><c r="A1"><v>1</v></c><c r="C1"><f>A1+1</f></c></row>)"));
  auto read = ReadWorkbook(formula);
  ASSERT_TRUE(read.ok()) << read.message();
  EXPECT_EQ(read->at(0).problem,
            "工作表手写的单元格C1是没有计算结果的公式，请在Excel或WPS中打开并保存后再导入");
  EXPECT_TRUE(read->at(0).rows.empty());
}

TEST(ReadWorkbook, BadFilesGetAClearMessageAndNoCrash) {
  test::TempDir dir;
  EXPECT_NE(ReadWorkbook(dir / "没有.xlsx").message().find("找不到文件"), std::string::npos);

  // An .xls, and an encrypted .xlsx, are both OLE compound files.
  const std::string ole =
      std::string("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) + std::string(504, '\0') + "EncryptionInfo";
  WriteFile(dir / "旧.xls", ole);
  EXPECT_EQ(ReadWorkbook(dir / "旧.xls").message(),
            "这是旧版Excel的.xls文件，请在Excel或WPS中另存为.xlsx或.csv后再导入");
  WriteFile(dir / "加密.xlsx", ole);
  EXPECT_NE(ReadWorkbook(dir / "加密.xlsx").message().find("加密"), std::string::npos);

  WriteFile(dir / "文本.xlsx", "姓名,编号\n张三,1\n");
  EXPECT_NE(ReadWorkbook(dir / "文本.xlsx").message().find("不是有效的.xlsx"), std::string::npos);

  // Damaged compressed data inside an intact container: the checksum or the
  // inflater catches it.
  const fs::path good = dir / "好.xlsx";
  Zip(good, HandWritten("<row><c t=\"inlineStr\"><is><t>" + std::string(4000, 'x') + "</t></is></c></row>"));
  std::string bytes = ReadFile(good);
  const auto sheet = bytes.find("xl/worksheets/sheet1.xml");
  ASSERT_NE(sheet, std::string::npos);
  // The local header's extra field length sits just before the name.
  const std::size_t extra =
      static_cast<unsigned char>(bytes[sheet - 2]) | static_cast<unsigned char>(bytes[sheet - 1]) << 8;
  const std::size_t data = sheet + std::string("xl/worksheets/sheet1.xml").size() + extra;
  for (std::size_t i = data + 2; i < data + 8; ++i) bytes[i] = static_cast<char>(~bytes[i]);
  WriteFile(dir / "坏.xlsx", bytes);
  auto damaged = ReadWorkbook(dir / "坏.xlsx");
  EXPECT_FALSE(damaged.ok());
  EXPECT_NE(damaged.message().find("损坏"), std::string::npos) << damaged.message();
  WriteFile(dir / "截断.xlsx", ReadFile(good).substr(0, 200));
  EXPECT_NE(ReadWorkbook(dir / "截断.xlsx").message().find("不是有效的.xlsx"), std::string::npos);
}

TEST(ReadWorkbook, RefusesASheetOverTheLimitBeforeReadingIt) {
  test::TempDir dir;
  const fs::path path = dir / "大.xlsx";
  // 51 MB of spaces compress to a few tens of kilobytes.
  Zip(path, HandWritten("<row><c><v>1</v></c></row>" + std::string(51u * 1024 * 1024, ' ')));
  EXPECT_LT(fs::file_size(path), 1024u * 1024);
  auto read = ReadWorkbook(path);
  EXPECT_EQ(read.message(), "工作表手写太大（超过50 MB），请拆分成较小的表格后再导入");
}

std::string ToGbk(const std::string& utf8) {
  iconv_t cd = iconv_open("GBK", "UTF-8");
  std::string out(utf8.size() * 2, '\0');
  char* src = const_cast<char*>(utf8.data());
  char* dst = out.data();
  std::size_t src_left = utf8.size(), dst_left = out.size();
  EXPECT_NE(iconv(cd, &src, &src_left, &dst, &dst_left), static_cast<std::size_t>(-1));
  iconv_close(cd);
  out.resize(out.size() - dst_left);
  return out;
}

TEST(ReadCsv, ReadsUtf8WithOrWithoutBomAndGbkWithQuotedFields) {
  test::TempDir dir;
  const std::string text = "姓名,备注,,\r\n张三,\"说\"\"好\"\"，a,b\",\r\n\"一（1）班\n初一(2)班\",\n\n李四";
  const Rows rows = {{"姓名", "备注"}, {"张三", "说\"好\"，a,b"}, {"一（1）班\n初一(2)班"}, {}, {"李四"}};
  WriteFile(dir / "教师.csv", text);
  WriteFile(dir / "bom.csv", "\xEF\xBB\xBF" + text);
  const std::string gbk = ToGbk(text);
  ASSERT_NE(gbk, text);
  WriteFile(dir / "gbk.csv", gbk);
  for (const char* name : {"教师.csv", "bom.csv", "gbk.csv"}) {
    auto table = ReadCsv(dir / name);
    ASSERT_TRUE(table.ok()) << name << table.message();
    EXPECT_EQ(table->rows, rows) << name;
  }
  EXPECT_EQ(ReadCsv(dir / "教师.csv")->name, "教师");
}

TEST(ReadCsv, RefusesAMissingLargeOrUnclosedFile) {
  test::TempDir dir;
  EXPECT_NE(ReadCsv(dir / "没有.csv").message().find("找不到文件"), std::string::npos);
  WriteFile(dir / "a.csv", "姓名\n\"张三,1\n");
  EXPECT_EQ(ReadCsv(dir / "a.csv").message(), "CSV文件第2行的引号没有闭合");
  EXPECT_EQ(ReadCsv(dir / "a.csv", 8).message(), "CSV文件太大（超过0 MB），请拆分成较小的文件后再导入");
}

}  // namespace
}  // namespace orv
