// SPDX-License-Identifier: GPL-3.0-or-later
// Every template rendered to PDF and read back with pdftotext: the names in
// their cells, rows and columns, the totals, the overview's pages with the
// header repeated, and names with & < " intact.
#include <gtest/gtest.h>

#include "core/output/print_template.h"
#include "print_test_support.h"

namespace orv {
namespace {

using test::LineWith;
using test::PdfLines;
using test::PrintRows;

// The day whose header is nearest to where the word stands in its line.
int DayOf(const QString& header, const QString& line, const QString& word, qsizetype from = 0) {
  const qsizetype at = line.indexOf(word, from);
  int best = -1;
  qsizetype distance = 1 << 30;
  for (int d = 0; d < 5; ++d) {
    const qsizetype h = header.indexOf(QStringList{"星期一", "星期二", "星期三", "星期四", "星期五"}[d]);
    if (std::abs(h - at) < distance) distance = std::abs(h - at), best = d + 1;
  }
  return at < 0 ? -1 : best;
}

QString Label(int lesson) { return QString::fromStdString(LessonLabel("第{numeral}节", lesson)); }

class ClassTemplate : public ::testing::TestWithParam<int> {};

TEST_P(ClassTemplate, PutsEachCourseInItsDayAndLesson) {
  const int n = GetParam();
  test::TempDir dir;
  const auto out = PrintRows(dir, TimetableScope::AllClasses,
                             {{"一（1）班", "语文", "", 1, 1},
                              {"一（1）班", "数学", "", 2, 1},
                              {"一（1）班", "英语", "", 3, 1},
                              {"一（1）班", "科学", "", 4, 1},
                              {"一（1）班", "体育", "", 5, 1},
                              {"一（1）班", "音乐", "", 2, 3},
                              {"一（1）班", "美术", "", 5, 3},
                              {"一（1）班", "班会", "", 3, n},
                              {"二（1）班", "书法", "", 4, 2}},
                             n);
  ASSERT_EQ(test::PdfPageCount(out.pdf), 2) << "one page per class";
  EXPECT_EQ(test::PdfPaper(out.pdf), "A4");
  const QStringList lines = PdfLines(out.pdf, 1);
  EXPECT_GE(LineWith(lines, {"育才实验学校", "一（1）班", "课程表"}), 0) << lines.join('\n').toStdString();
  const int header = LineWith(lines, {"节次", "星期一", "星期二", "星期三", "星期四", "星期五"});
  ASSERT_GE(header, 0);
  EXPECT_GT(LineWith(lines, {Label(1), "语文", "数学", "英语", "科学", "体育"}), header);
  const int third = LineWith(lines, {Label(3), "音乐", "美术"});
  ASSERT_GT(third, header);
  EXPECT_EQ(DayOf(lines[header], lines[third], "音乐"), 2);
  EXPECT_EQ(DayOf(lines[header], lines[third], "美术"), 5);
  const int last = LineWith(lines, {Label(n), "班会"});
  ASSERT_GT(last, third);
  EXPECT_EQ(DayOf(lines[header], lines[last], "班会"), 3);
  EXPECT_EQ(LineWith(lines, {n == 6 ? "第七节" : "第八节"}), -1);
  EXPECT_GT(LineWith(lines, {"本周共 8 节课"}), last);
  EXPECT_EQ(LineWith(lines, {"书法"}), -1) << "the other class is on its own page";

  const QStringList second = PdfLines(out.pdf, 2);
  const int row = LineWith(second, {Label(2), "书法"});
  ASSERT_GE(row, 0);
  EXPECT_EQ(DayOf(second[LineWith(second, {"星期一"})], second[row], "书法"), 4);
  EXPECT_GE(LineWith(second, {"本周共 1 节课"}), 0);
}

INSTANTIATE_TEST_SUITE_P(SixAndSeven, ClassTemplate, ::testing::Values(6, 7));

class TeacherTemplate : public ::testing::TestWithParam<int> {};

TEST_P(TeacherTemplate, ShowsTheClassUnderTheCourseAndTheWeeklyTotal) {
  const int n = GetParam();
  test::TempDir dir;
  const auto out = PrintRows(dir, TimetableScope::Teacher,
                             {{"王芳", "语文", "一（1）", 1, 2},
                              {"王芳", "语文", "一（2）", 4, 2},
                              {"王芳", "数学", "二（3）", 5, n}},
                             n);
  ASSERT_EQ(test::PdfPageCount(out.pdf), 1);
  const QStringList lines = PdfLines(out.pdf);
  EXPECT_GE(LineWith(lines, {"育才实验学校", "王芳", "课程表"}), 0);
  const int header = LineWith(lines, {"星期一", "星期五"});
  const int course = LineWith(lines, {"语文", "语文"});
  ASSERT_GT(course, header);
  EXPECT_EQ(DayOf(lines[header], lines[course], "语文"), 1);
  EXPECT_EQ(DayOf(lines[header], lines[course], "语文", lines[course].indexOf("语文") + 2), 4);
  // The class line follows the course line within the same lesson.
  const int classes = LineWith(lines, {"一（1）", "一（2）"}, course);
  ASSERT_GE(classes, course);
  EXPECT_LE(classes - course, 2);
  EXPECT_LT(LineWith(lines, {Label(2)}), classes + 1);
  const int maths = LineWith(lines, {"数学"});
  EXPECT_EQ(DayOf(lines[header], lines[maths], "数学"), 5);
  EXPECT_GE(LineWith(lines, {"二（3）"}, maths), maths);
  EXPECT_GE(LineWith(lines, {"本周共 3 节课"}), 0);
}

INSTANTIATE_TEST_SUITE_P(SixAndSeven, TeacherTemplate, ::testing::Values(6, 7));

class TotalTemplate : public ::testing::TestWithParam<int> {};

TEST_P(TotalTemplate, RunsOverA3PagesWithTheHeaderRepeated) {
  const int n = GetParam();
  std::vector<TimetableRow> rows;
  for (int c = 1; c <= 60; ++c) {
    const QString name = QString("初%1班").arg(c, 2, 10, QChar('0'));
    rows.push_back({name.toStdString(), "语", "王芳", 1, 1});
    rows.push_back({name.toStdString(), "数", "李强", 3, 2});
    rows.push_back({name.toStdString(), "英", "赵六", 5, n});
  }
  test::TempDir dir;
  const auto out = PrintRows(dir, TimetableScope::School, rows, n);
  const int pages = test::PdfPageCount(out.pdf);
  ASSERT_GE(pages, 2) << "sixty classes do not fit one page";
  EXPECT_EQ(test::PdfPaper(out.pdf), "A3");
  int next = 1;
  for (int p = 1; p <= pages; ++p) {
    const QStringList lines = PdfLines(out.pdf, p);
    EXPECT_GE(LineWith(lines, {"育才实验学校", "20", "学年度第", "学期总课程表"}), 0) << "page " << p;
    const int days = LineWith(lines, {"星期一", "星期二", "星期三", "星期四", "星期五"});
    EXPECT_GE(days, 0) << "page " << p;
    QStringList numbers;
    for (int d = 0; d < 5; ++d)
      for (int l = 1; l <= n; ++l) numbers << QString::number(l);
    EXPECT_GT(LineWith(lines, numbers), days) << "every lesson of the week has its column";
    EXPECT_GE(LineWith(lines, {QString("第 %1 页，共 %2 页").arg(p).arg(pages)}), 0);
    for (int at = 0; next <= 60; ++next) {
      const int row = LineWith(lines, {QString("初%1班").arg(next, 2, 10, QChar('0'))}, at);
      if (row < 0) break;
      // Course short names on the class's line or just above it, teachers on it or just below.
      const int courses = LineWith(lines, {"语", "数", "英"}, row - 1);
      const int teachers = LineWith(lines, {"王芳", "李强", "赵六"}, row - 1);
      EXPECT_TRUE(courses >= row - 1 && courses <= row) << next;
      EXPECT_TRUE(teachers >= row - 1 && teachers <= row + 1) << next;
      at = row + 1;
    }
  }
  EXPECT_EQ(next, 61) << "every class, in order";
}

INSTANTIATE_TEST_SUITE_P(SixAndSeven, TotalTemplate, ::testing::Values(6, 7));

TEST(PrintedNames, AmpersandLessThanAndQuoteSurvive) {
  test::TempDir dir;
  auto out = PrintRows(dir, TimetableScope::Teacher, {{"A&B \"王\"", "音乐&美术", "一<1>班", 1, 1}}, 6,
                       "育&才<学校>");
  const QString text = test::PdfText(out.pdf);
  for (const char* name : {"A&B \"王\"", "音乐&美术", "一<1>班", "育&才<学校>"})
    EXPECT_TRUE(text.contains(QString::fromUtf8(name))) << name << "\n" << text.toStdString();
  out = PrintRows(dir, TimetableScope::School, {{"一&<1>", "音&美", "\"赵\"", 1, 1}}, 6, "育&才");
  const QString total = test::PdfText(out.pdf);
  for (const char* name : {"一&<1>", "音&美", "\"赵\"", "育&才"})
    EXPECT_TRUE(total.contains(QString::fromUtf8(name))) << name << "\n" << total.toStdString();
}

}  // namespace
}  // namespace orv
