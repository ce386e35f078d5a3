// SPDX-License-Identifier: GPL-3.0-or-later
// export and print, run as a user would run them: the selectors, the output
// files, the no-row messages, existing files, and print in a build without
// the print library.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "cli/cli_runner.h"
#include "core/database/valid_text.h"
#include "core/output/cell_text.h"
#include "core/output/print_document.h"
#include "core/output/timetable_rows.h"
#include "support/test_db.h"
#include "support/xlsx_reader.h"

namespace fs = std::filesystem;

namespace orv {
namespace {

#ifdef ORVANDEL_CLI_PRINTS
// What poppler's pdfinfo or pdftotext says about the file.
std::string PdfInfo(const std::string& pdf) { return test::RunProcess("/usr/bin/pdfinfo", {pdf}).out; }
std::string PdfText(const std::string& pdf) { return test::RunProcess("/usr/bin/pdftotext", {pdf, "-"}).out; }

// Whether UTF-8 text holds a character of the radical blocks, U+2E80 to U+2FDF.
bool HoldsRadical(const std::string& text) {
  for (size_t i = 0; i + 2 < text.size(); ++i) {
    const auto b = [&](size_t k) { return static_cast<unsigned char>(text[i + k]); };
    const unsigned c = ((b(0) & 0x0Fu) << 12) | ((b(1) & 0x3Fu) << 6) | (b(2) & 0x3Fu);
    if ((b(0) & 0xF0) == 0xE0 && c >= 0x2E80 && c <= 0x2FDF) return true;
  }
  return false;
}
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
      {{"export", db, "--class", "三（1）班", "--out", Out("a.xlsx")}, 1, "没有名为“三（1）班”的班级"},
      {{"export", db, "--class-code", "31", "--out", Out("a.xlsx")}, 1, "没有代码为“31”的班级"},
      {{"export", db, "--class", "一（1）班", "--class-code", "11", "--out", Out("a.xlsx")}, 2, ""},
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

// Two teachers called 张伟: a name that picks neither is refused with both
// codes, a code picks one, and "all" gives each a block of their own.
// The term stored with `calendar` reaches the overview's title in the
// workbook and, where the tool prints, in the PDF.
TEST_F(OutputCli, TheOverviewTitleNamesTheStoredTerm) {
  const std::string db = t.path().string();
  auto run = Run({"calendar", db, "--term-start", "2027-03-01", "--weeks", "20"});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  run = Run({"export", db, "--total", "--out", Out("total.xlsx")});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(test::ReadXlsx(Out("total.xlsx")).Text("A1"), "育才实验学校 2026--2027学年度第2学期总课程表");
#ifdef ORVANDEL_CLI_PRINTS
  run = Run({"print", db, "--total", "--pdf", Out("total.pdf")});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_NE(PdfText(Out("total.pdf")).find("2026--2027学年度第2学期"), std::string::npos);
#endif
}

TEST_F(OutputCli, ASharedNameIsRefusedAndACodeSelectsOne) {
  const std::string db = t.path().string();
  {
    auto opened = test::OpenDb(db);
    opened->Execute(
        "insert into Teachertb (Code,Name,FullName,ShortName) values ('T3','张伟','',''),"
        "('T4','张伟','','')");
    opened->Execute("insert into LessonListtb values ('11',3,1,'01','T3',1),('12',4,2,'01','T4',1)");
  }
  std::vector<std::vector<std::string>> refused = {
      {"export", db, "--teacher", "张伟", "--out", Out("z.xlsx")}};
#ifdef ORVANDEL_CLI_PRINTS
  refused.push_back({"print", db, "--teacher", "张伟", "--pdf", Out("z.pdf")});
#endif
  for (const auto& args : refused) {
    const auto run = Run(args);
    const std::string& command = args[0];
    EXPECT_EQ(run.exitCode, 1) << command;
    EXPECT_NE(run.err.find("2个教师同名“张伟”：张伟（T3）、张伟（T4）"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("--teacher-code"), std::string::npos) << run.err;
  }
  EXPECT_FALSE(fs::exists(Out("z.xlsx")));
  EXPECT_FALSE(fs::exists(Out("z.pdf")));

  auto run = Run({"export", db, "--teacher-code", "T4", "--out", Out("z.xlsx")});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  test::XlsxSheet sheet = test::ReadXlsx(Out("z.xlsx"));
  EXPECT_EQ(sheet.Text("D1"), "育才实验学校     张伟（T4）");
  EXPECT_EQ(sheet.Text("E5"), "语文\n一（2）") << "T4's own lesson: Thursday, second";
  EXPECT_EQ(sheet.Text("D12"), "") << "one block only";

  run = Run({"export", db, "--all-teachers", "--out", Out("z.xlsx"), "--force"});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  sheet = test::ReadXlsx(Out("z.xlsx"));
  EXPECT_EQ(sheet.Text("D1") + "|" + sheet.Text("D12") + "|" + sheet.Text("D23"),
            "育才实验学校     王芳|育才实验学校     张伟（T3）|育才实验学校     张伟（T4）");
#ifdef ORVANDEL_CLI_PRINTS
  run = Run({"print", db, "--all-teachers", "--pdf", Out("z.pdf")});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  const std::string info = PdfInfo(Out("z.pdf"));
  EXPECT_EQ(std::atoi(info.c_str() + info.find("Pages:") + 6), 3) << "a page for each 张伟: " << info;
#endif
}

// Root could write to the 0444 file anyway, so this shows the commands open
// it for reading only: they no longer refuse it, and its bytes and time
// stamp are unchanged afterwards.
TEST_F(OutputCli, ExportAndPrintReadADatabaseMarkedReadOnlyAndLeaveItAsItWas) {
  const fs::path db = t.path();
  fs::permissions(db, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  const std::string bytes = test::ReadFile(db);
  const auto stamp = fs::last_write_time(db);
  std::vector<std::vector<std::string>> runs = {{"export", db.string(), "--total", "--out", Out("ro.xlsx")}};
#ifdef ORVANDEL_CLI_PRINTS
  runs.push_back({"print", db.string(), "--all-classes", "--pdf", Out("ro.pdf")});
#endif
  for (const auto& args : runs) {
    const auto run = Run(args);
    EXPECT_EQ(run.exitCode, 0) << args[0] << " " << run.err;
    EXPECT_TRUE(fs::is_regular_file(args.back())) << args[0];
  }
  EXPECT_EQ(test::ReadFile(db), bytes);
  EXPECT_EQ(fs::last_write_time(db), stamp);
}

// The target is taken by a link even when the link leads nowhere; a killed
// run's hidden file is cleared; the longest file name works; and a folder
// that cannot be written gives one line on stderr.
TEST_F(OutputCli, TheWorkbookTakesItsPlaceSafely) {
  const std::string db = t.path().string();
  const std::string target = Out("课表.xlsx");
  fs::create_symlink(Out("nowhere.xlsx"), target);
  auto run = Run({"export", db, "--total", "--out", target});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.err.find("--force"), std::string::npos) << run.err;
  EXPECT_TRUE(fs::is_symlink(target));
  EXPECT_FALSE(fs::exists(Out("nowhere.xlsx")));

  const std::string leftover = Out(".课表.xlsx.orvandel-k1LLed");
  test::WriteFile(leftover, "half a workbook");
  run = Run({"export", db, "--total", "--out", target, "--force"});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_FALSE(fs::is_symlink(target));
  EXPECT_EQ(test::ReadXlsx(target).Text("A6"), "一（2）");
  EXPECT_FALSE(fs::exists(leftover)) << "a killed run's hidden file";

  std::string longest = "x";  // 255 bytes: the most a file name may have
  for (int i = 0; i < 83; ++i) longest += "课";
  longest += ".xlsx";
  ASSERT_EQ(longest.size(), 255u);
  run = Run({"export", db, "--class", "一（1）班", "--out", Out(longest)});
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_TRUE(fs::is_regular_file(Out(longest)));

  test::WriteFile(Out("a file"), "");
  for (const std::string& out : {Out("no such folder/a.xlsx"), Out("a file/a.xlsx")}) {
    run = Run({"export", db, "--total", "--out", out});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
    EXPECT_EQ(run.err.rfind("课表导出失败！", 0), 0u) << run.err;
  }
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
  // The PDF says what it is, whose it is and what made it.
  EXPECT_NE(info.find("Title:           育才实验学校 全部班级 课程表\n"), std::string::npos) << info;
  EXPECT_NE(info.find("Author:          育才实验学校\n"), std::string::npos) << info;
  EXPECT_NE(info.find("Creator:         Orvandel排课软件\n"), std::string::npos) << info;
  EXPECT_NE(info.find("CreationDate:"), std::string::npos) << info;

  run = Run({"print", db, "--class", "一（1）班", "--pdf", Out("t.txt")});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.err.find(".pdf"), std::string::npos);
  run = Run({"print", db, "--teacher", "李强", "--pdf", Out("t.pdf")});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.err.find("该教师没有课表数据"), std::string::npos);
  EXPECT_FALSE(fs::exists(Out("t.pdf")));

  // A short name too long for the overview's cell is cut; the tool says so
  // once on stderr, and the PDF is still written.
  test::OpenDb(db)->Execute("update Coursetb set ShortName='道德与法治综合实践活动'");
  run = Run({"print", db, "--total", "--pdf", Out("cut.pdf")});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.err, CutNamesNotice({"道德与法治综合实践活动"}) + "\n");

  test::OpenDb(db)->Execute("delete from LessonListtb");
  run = Run({"print", db, "--total", "--lessons-per-day", "7", "--pdf", Out("total.pdf")});
  ASSERT_EQ(run.exitCode, 0) << "the empty overview still prints its header: " << run.err;
  EXPECT_NE(PdfInfo(Out("total.pdf")).find("A3"), std::string::npos);
  EXPECT_EQ(Run({"print", db, "--total", "--pdf", Out("total.pdf")}).exitCode, 1) << "no --force";
}

// The demo school printed as a school prints it, two teachers renamed to
// have 黄 and 马: every name of every timetable is in the PDF's text as it
// stands in the database, and no radical (一, 黄 and 马 share their glyphs
// with the radicals ⼀, ⻩ and ⻢).
TEST(DemoPrintout, PdfTextHoldsEveryNameAsPrinted) {
  test::TempDir dir;
  const std::string db = (dir / "kb.mdb").string();
  ASSERT_EQ(
      test::RunCli({"demo", db, "--grades", "1-2", "--classes-per-grade", "2", "--write-settings"}).exitCode,
      0);
  auto run = test::RunCli({"generate", db, "--lessons-per-day", "6", "--complete"});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  test::OpenDb(db)->Execute("update Teachertb set Name = '黄' || Name where rowid = 1");
  test::OpenDb(db)->Execute("update Teachertb set Name = '马' || Name where rowid = 2");
  const struct {
    const char* selector;
    TimetableScope scope;
  } printouts[] = {{"--all-classes", TimetableScope::AllClasses},
                   {"--all-teachers", TimetableScope::AllTeachers},
                   {"--total", TimetableScope::School}};
  for (const auto& p : printouts) {
    const std::string pdf = (dir / "out.pdf").string();
    run = test::RunCli(
        {"--program-dir", dir.Path().string(), "print", db, p.selector, "--pdf", pdf, "--force"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const std::string text = PdfText(pdf);
    const auto rows = ReadTimetableRows(*test::OpenDb(db), {p.scope, ""});
    ASSERT_TRUE(rows && !rows->empty()) << p.selector;
    for (const TimetableRow& r : *rows)
      for (const std::string& name : {r.name, r.courseName, r.classShortName})
        EXPECT_NE(text.find(name), std::string::npos) << p.selector << " " << name;
    EXPECT_FALSE(HoldsRadical(text)) << p.selector << "\n" << text;
  }
}

// The document used to go to /tmp/orvandel-print-<pid>.xml, following a link
// planted there. The shell plants one under the pid the tool will have.
TEST_F(OutputCli, PrintWritesNoDocumentThatALinkCouldRedirect) {
  const fs::path tmp = t.dir() / "tmp", runtime = t.dir() / "runtime";
  fs::create_directory(tmp);
  fs::create_directory(runtime);
  fs::permissions(runtime, fs::perms::owner_all);
  test::WriteFile(Out("victim.txt"), "keep me");
  const auto run = test::RunProcess(
      "/bin/sh",
      {"-c",
       "ln -s \"$1\" \"$TMPDIR/orvandel-print-$$.xml\" && exec \"$0\" --program-dir \"$2\" print \"$3\" "
       "--all-classes --pdf \"$4\"",
       getenv("ORVANDEL_CLI") && *getenv("ORVANDEL_CLI") ? getenv("ORVANDEL_CLI") : ORVANDEL_CLI_PATH,
       Out("victim.txt"), t.dir().Path().string(), t.path().string(), Out("linked.pdf")},
      {{"TMPDIR", tmp.string()}, {"XDG_RUNTIME_DIR", runtime.string()}});
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_TRUE(test::ReadFile(Out("victim.txt")) == "keep me");
  size_t entries = 0;
  for (const auto& e : fs::directory_iterator(tmp)) entries += fs::is_symlink(e.symlink_status()) ? 0 : 1;
  EXPECT_EQ(entries, 0u) << "nothing but the planted link";
  EXPECT_NE(PdfText(Out("linked.pdf")).find("育才实验学校"), std::string::npos);
}

// Where fontconfig knows no font (a configuration that lists no font
// folder), every character would be an empty box: print refuses, says what
// to install, and writes no file, for a database and a document alike. The
// same print succeeds with the fonts installed here.
TEST_F(OutputCli, WithoutAChineseFontPrintRefusesAndWritesNothing) {
  test::WriteFile(Out("fonts.conf"), "<?xml version=\"1.0\"?>\n<fontconfig></fontconfig>\n");
  ASSERT_TRUE(WritePrintDocument(TimetableScope::AllTeachers, Out("教师.xml"),
                                 {{"王芳", "语文", "一（1）", 1, 1, "T1"}}, "育才", 6));
  const std::string cli =
      getenv("ORVANDEL_CLI") && *getenv("ORVANDEL_CLI") ? getenv("ORVANDEL_CLI") : ORVANDEL_CLI_PATH;
  const std::vector<std::vector<std::string>> prints = {
      {"print", t.path().string(), "--all-classes", "--pdf", Out("classes.pdf")},
      {"print", "--document", Out("教师.xml"), "--pdf", Out("teachers.pdf")}};
  for (const auto& print : prints) {
    std::vector<std::string> args{"--program-dir", t.dir().Path().string()};
    args.insert(args.end(), print.begin(), print.end());
    auto run = test::RunProcess(cli, args, {{"FONTCONFIG_FILE", Out("fonts.conf")}});
    EXPECT_EQ(run.exitCode, 1) << print[1];
    EXPECT_EQ(run.err.find("没有找到中文字体"), 0u) << run.err;
    EXPECT_NE(run.err.find("fonts-noto-cjk"), std::string::npos) << run.err;
    EXPECT_EQ(run.out.find("打印完成"), std::string::npos) << run.out;
    EXPECT_FALSE(fs::exists(print.back()));
    run = test::RunProcess(cli, args);
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_TRUE(fs::exists(print.back()));
  }
}

// A data document file printed with no database: the template follows the
// document's kind and lessons a day unless --template names one.
TEST_F(OutputCli, PrintsADataDocumentFile) {
  const std::vector<TimetableRow> rows{{"王芳", "语文", "一（1）", 1, 1, "T1"},
                                       {"李强", "数学", "二（3）", 5, 7, "T2"}};
  ASSERT_TRUE(WritePrintDocument(TimetableScope::AllTeachers, Out("教师.xml"), rows, "育才", 7));
  ASSERT_TRUE(WritePrintDocument(TimetableScope::School, Out("总表.xml"), rows, "育才", 7));
  auto run = Run({"print", "--document", Out("教师.xml"), "--pdf", Out("教师.pdf")});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_NE(run.out.find("打印完成"), std::string::npos);
  const std::string info = PdfInfo(Out("教师.pdf"));
  EXPECT_EQ(std::atoi(info.c_str() + info.find("Pages:") + 6), 2) << info;
  EXPECT_NE(PdfText(Out("教师.pdf")).find("二（3）"), std::string::npos)
      << "the teacher template's second line";
  run = Run({"print", "--document", Out("总表.xml"), "--pdf", Out("总表.pdf")});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_NE(PdfInfo(Out("总表.pdf")).find("A3"), std::string::npos);

  test::WriteFile(Out("notes.txt"), "just some notes");
  test::WriteFile(Out("taken.pdf"), "keep me");
  const std::string tpl6 = (fs::path(ORVANDEL_CLI_PATH).parent_path() / "TeacherSchd6.xml").string();
  struct Case {
    std::vector<std::string> args;
    int exitCode;
    const char* says;
  } refused[] = {
      {{"--document", Out("notes.txt")}, 1, "(ret = 3)"},
      {{"--document", Out("notes.txt")}, 1, "不是课表打印数据文件"},
      {{"--document", Out("none.xml")}, 1, "无法读取打印数据文件"},
      {{"--document", Out("教师.xml"), "--template", Out("notes.txt")}, 1, "(ret = 2)"},
      {{"--document", Out("教师.xml"), "--template", Out("none.xml")}, 1, "(ret = 1)"},
      {{"--document", Out("教师.xml"), "--template", tpl6}, 1, "(ret = 4)"},
      {{t.path().string(), "--document", Out("教师.xml")}, 2, "excludes"},
      {{"--all-classes"}, 2, "DB"},
      {{t.path().string(), "--all-classes", "--template", tpl6}, 2, "--template"},
  };
  for (const Case& c : refused) {
    std::vector<std::string> args{"print"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    args.insert(args.end(), {"--pdf", Out("refused.pdf")});
    run = Run(args);
    EXPECT_EQ(run.exitCode, c.exitCode) << c.args[0] << " " << run.err;
    EXPECT_NE(run.err.find(c.says), std::string::npos) << run.err;
    EXPECT_FALSE(fs::exists(Out("refused.pdf")));
  }
  run = Run({"print", "--document", Out("教师.xml"), "--pdf", Out("taken.pdf")});
  EXPECT_EQ(run.exitCode, 1) << "no --force";
  EXPECT_EQ(test::ReadFile(Out("taken.pdf")), "keep me");
}
#else
TEST_F(OutputCli, PrintNeedsTheDesktopBuild) {
  const auto run = Run({"print", t.path().string(), "--all-classes", "--pdf", Out("classes.pdf")});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.err.find("打印需要桌面版"), std::string::npos) << run.err;
  EXPECT_FALSE(fs::exists(Out("classes.pdf")));
  test::WriteFile(Out("tmp.xml"), "<root></root>");
  const auto document = Run({"print", "--document", Out("tmp.xml"), "--pdf", Out("classes.pdf")});
  EXPECT_EQ(document.exitCode, 1);
  EXPECT_NE(document.err.find("打印需要桌面版"), std::string::npos) << document.err;
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
