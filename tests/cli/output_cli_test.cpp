// export and print, run as a user would run them: the selectors, the output
// files, the no-row messages, existing files, and print in a build without
// the print library.
#include <gtest/gtest.h>

#include <cstdlib>

#include "cli/cli_runner.h"
#include "core/database/valid_text.h"
#include "support/test_db.h"
#include "support/xlsx_reader.h"

namespace fs = std::filesystem;

namespace orv {
namespace {

#ifdef ORVANDEL_CLI_PRINTS
// What poppler's pdfinfo or pdftotext says about the file.
std::string PdfInfo(const std::string& pdf) { return test::RunProcess("/usr/bin/pdfinfo", {pdf}).out; }
std::string PdfText(const std::string& pdf) { return test::RunProcess("/usr/bin/pdftotext", {pdf, "-"}).out; }
#endif

class OutputCli : public ::testing::Test {
 protected:
  void SetUp() override {
    t.AddClass("11", "一（1）班", "", "一（1）");
    t.AddClass("12", "一（2）班", "", "一（2）");
    t.AddCourse("01", "语文");
    t.AddTeacher("T1", "王芳");
    t.AddTeacher("T2", "李强");
    t.AddLesson("11", 1, 1, "01", "T1", 1);
    t.AddLesson("12", 2, 1, "01", "T1", 1);
    t.Close();
    test::WriteFile(t.dir() / "kbxt.ini", "[USERINFO]\nUSER=育才实验学校\n");
  }
  test::CliRun Run(std::vector<std::string> args) {
    args.insert(args.begin(), {"--program-dir", t.dir().Path().string()});
    return test::RunCli(args);
  }
  std::string Out(const std::string& name) { return (t.dir() / name).string(); }
  test::TestDb t;
};

TEST_F(OutputCli, ExportWritesTheSelectedSheet) {
  const std::string db = t.path().string();
  struct Case {
    std::vector<std::string> selector;
    const char* cell;
    const char* text;
  } cases[] = {
      {{"--class", "一（2）班"}, "D1", "育才实验学校     一（2）班"},
      {{"--all-teachers"}, "B4", "语文\n一（1）"},
      {{"--total"}, "A6", "一（2）"},
  };
  for (const Case& c : cases) {
    std::vector<std::string> args = {"export", db};
    args.insert(args.end(), c.selector.begin(), c.selector.end());
    args.insert(args.end(), {"--out", Out("out.xlsx"), "--force"});
    const auto run = Run(args);
    ASSERT_EQ(run.exitCode, 0) << c.selector[0] << run.err;
    EXPECT_NE(run.out.find("课表导出成功"), std::string::npos);
    EXPECT_EQ(test::ReadXlsx(Out("out.xlsx")).Text(c.cell), c.text) << c.selector[0];
  }
}

TEST_F(OutputCli, RefusalsExitWithOneOrTwoAndWriteNothing) {
  const std::string db = t.path().string();
  struct Case {
    std::vector<std::string> args;
    int exitCode;
    const char* says;
  } cases[] = {
      {{"export", db, "--teacher", "李强", "--out", Out("a.xlsx")}, 1, "该教师没有课表数据"},
      {{"export", db, "--class", "三（1）班", "--out", Out("a.xlsx")}, 1, "该班级没有课表数据"},
      {{"export", db, "--all-classes", "--out", Out("a.xls")}, 1, ".xlsx"},
      {{"export", db, "--all-classes", "--out", Out("no such folder/a.xlsx")}, 1, "-101"},
      {{"export", Out("missing.mdb"), "--all-classes", "--out", Out("a.xlsx")}, 1, "打开数据库失败"},
      {{"export", db, "--out", Out("a.xlsx")}, 2, ""},
      {{"export", db, "--total", "--all-classes", "--out", Out("a.xlsx")}, 2, ""},
      {{"export", db, "--total"}, 2, ""},
      {{"print", db, "--pdf", Out("a.pdf")}, 2, ""},
  };
  for (const Case& c : cases) {
    const auto run = Run(c.args);
    EXPECT_EQ(run.exitCode, c.exitCode) << c.args[2] << run.err;
    EXPECT_NE(run.err.find(c.says), std::string::npos) << run.err;
  }
  EXPECT_FALSE(fs::exists(Out("a.xlsx")));
  EXPECT_FALSE(fs::exists(Out("a.pdf")));

  test::WriteFile(Out("kept.xlsx"), "an older export");
  auto run = Run({"export", db, "--total", "--out", Out("kept.xlsx")});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.err.find("--force"), std::string::npos);
  EXPECT_EQ(test::ReadFile(Out("kept.xlsx")), "an older export");
}

#ifdef ORVANDEL_CLI_PRINTS
TEST_F(OutputCli, PrintWritesAPdfPerSelection) {
  const std::string db = t.path().string();
  auto run = Run({"print", db, "--all-classes", "--pdf", Out("classes.pdf")});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.err, "") << "no toolkit chatter";
  const std::string info = PdfInfo(Out("classes.pdf"));
  EXPECT_EQ(std::atoi(info.c_str() + info.find("Pages:") + 6), 2) << info;
  EXPECT_NE(PdfText(Out("classes.pdf")).find("育才实验学校"), std::string::npos);

  run = Run({"print", db, "--class", "一（1）班", "--pdf", Out("t.txt")});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.err.find(".pdf"), std::string::npos);
  run = Run({"print", db, "--teacher", "李强", "--pdf", Out("t.pdf")});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.err.find("该教师没有课表数据"), std::string::npos);
  EXPECT_FALSE(fs::exists(Out("t.pdf")));

  test::OpenDb(db)->Execute("delete from LessonListtb");
  run = Run({"print", db, "--total", "--lessons-per-day", "7", "--pdf", Out("total.pdf")});
  ASSERT_EQ(run.exitCode, 0) << "the empty overview still prints its header: " << run.err;
  EXPECT_NE(PdfInfo(Out("total.pdf")).find("A3"), std::string::npos);
  EXPECT_EQ(Run({"print", db, "--total", "--pdf", Out("total.pdf")}).exitCode, 1) << "no --force";
}
#else
TEST_F(OutputCli, PrintNeedsTheDesktopBuild) {
  const auto run = Run({"print", t.path().string(), "--all-classes", "--pdf", Out("classes.pdf")});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.err.find("打印需要桌面版"), std::string::npos) << run.err;
  EXPECT_FALSE(fs::exists(Out("classes.pdf")));
}
#endif

// Text the database holds as bytes that are not UTF-8 is replaced where it
// is read, with one warning, so the workbook stays readable; a name longer
// than a cell holds is cut with a warning instead of failing the export.
TEST_F(OutputCli, InvalidTextAndOverlongNamesStillGiveAReadableWorkbook) {
  {
    auto db = test::OpenDb(t.path());
    db->Execute("update Classtb set Name=cast(X'E4B8C0FF31' as text) where Code='11'");
    db->Execute("update Coursetb set Name=cast(X'C0AF' as text)");
  }
  const std::string db = t.path().string();
  auto run = Run({"export", db, "--all-classes", "--out", Out("bad.xlsx")});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  const std::string strings =
      test::RunProcess("/usr/bin/unzip", {"-p", Out("bad.xlsx"), "xl/sharedStrings.xml"}).out;
  EXPECT_EQ(ValidUtf8Prefix(strings), strings.size()) << "an XML reader refuses the file";
  const std::string warning = "不是有效的UTF-8编码";
  EXPECT_NE(run.err.find(warning), std::string::npos) << run.err;
  EXPECT_EQ(run.err.find(warning), run.err.rfind(warning)) << "once: " << run.err;
  EXPECT_EQ(test::ReadXlsx(Out("bad.xlsx")).Text("D1"), "育才实验学校     \uFFFD\uFFFD\uFFFD\uFFFD1");

  const std::string overlong(40000, 'x');
  test::OpenDb(t.path())->Execute("update Classtb set Name=? where Code='11'", overlong);
  run = Run({"export", db, "--class", overlong, "--out", Out("long.xlsx")});
  ASSERT_EQ(run.exitCode, 0) << run.err.substr(0, 200);
  EXPECT_NE(run.err.find("已截断"), std::string::npos) << run.err.substr(0, 200);
  EXPECT_EQ(Utf8Length(test::ReadXlsx(Out("long.xlsx")).Text("D1")), 32767u);
}

}  // namespace
}  // namespace orv
