// SPDX-License-Identifier: GPL-3.0-or-later
// Long names printed to PDF and read back: whole and no smaller than 7 pt
// where the cell can hold them in some lines, cut with "…" and reported once
// where it cannot, in the class, teacher and overview templates.
#include <gtest/gtest.h>

#include <QRegularExpression>

#include "core/output/cell_text.h"
#include "core/output/print_data_rows.h"
#include "core/output/print_document.h"
#include "print_test_support.h"
#include "printing/print_pages.h"
#include "printing/print_timetable.h"

namespace orv {
namespace {

const char* const kThirty = "中华优秀传统文化与劳动技术综合实践活动暨校本研究性学习拓展课";
const char* const kEleven = "道德与法治综合实践活动";

QString Unspaced(QString text) { return text.remove(QRegularExpression("\\s")); }

// The words of a page inside the box of one lesson cell, in points.
std::vector<test::PdfWord> WordsWith(const test::PdfPageWords& page, const QString& part) {
  std::vector<test::PdfWord> found;
  for (const test::PdfWord& w : page.words)
    if (part.contains(w.text) && w.text.size() >= 2) found.push_back(w);
  return found;
}

struct Printed {
  Outcome outcome;
  std::vector<std::string> warnings;
  std::filesystem::path pdf;
};

Printed Print(const test::TempDir& dir, TimetableScope scope, const std::vector<TimetableRow>& rows,
              int lessons) {
  Printed p{Outcome::Ok(), {}, dir / "out.pdf"};
  const PrintData data = PrintDataOf(scope, rows, "育才实验学校", lessons);
  p.outcome = PrintPages(data, PrintTarget::Pdf(p.pdf),
                         test::TemplatePath(PrintTemplateName(scope, SchoolWeek{lessons})), &p.warnings);
  return p;
}

class LongNames : public ::testing::TestWithParam<int> {};

TEST_P(LongNames, WrapInClassAndTeacherTimetablesWholeAndAtSevenPointsOrMore) {
  const int n = GetParam();
  test::TempDir dir;
  for (TimetableScope scope : {TimetableScope::Class, TimetableScope::Teacher}) {
    const bool cls = scope == TimetableScope::Class;
    const auto p = Print(dir, scope,
                         {{cls ? "一（1）班" : "欧阳明月", kThirty, cls ? "欧阳明月" : "一（1）班", 1, 1},
                          {cls ? "一（1）班" : "欧阳明月", kEleven, cls ? "欧阳明月" : "一（1）班", 3, n}},
                         n);
    ASSERT_TRUE(p.outcome) << p.outcome.message();
    EXPECT_TRUE(p.warnings.empty()) << p.warnings.front();
    const QString text = Unspaced(test::PdfDrawnText(p.pdf));
    for (const char* name : {kThirty, kEleven})
      EXPECT_TRUE(text.contains(QString::fromUtf8(name))) << name << "\n" << text.toStdString();
    // An ideograph is one em wide in the CJK fonts, so a line's width per
    // character is its size in points.
    const test::PdfPageWords page = test::PdfWords(p.pdf, 1);
    const auto words = WordsWith(page, QString::fromUtf8(kThirty) + QString::fromUtf8(kEleven));
    ASSERT_GE(words.size(), 4u) << "the names are wrapped over lines";
    for (const test::PdfWord& w : words)
      EXPECT_GE((w.right - w.left) / double(w.text.size()), kSmallestCellPoints - 0.05)
          << w.text.toStdString();
  }
}

TEST_P(LongNames, TooLongForTheOverviewAreCutAndReportedOnce) {
  const int n = GetParam();
  test::TempDir dir;
  std::vector<TimetableRow> rows;
  for (int c = 1; c <= 3; ++c)
    for (int day = 1; day <= 5; ++day)
      rows.push_back({"一（" + std::to_string(c) + "）班", kEleven, "王芳", day, 1});
  rows.push_back({"一（1）班", "语文", "欧阳明月", 1, 2});
  const auto p = Print(dir, TimetableScope::School, rows, n);
  ASSERT_TRUE(p.outcome) << p.outcome.message();
  ASSERT_EQ(p.warnings.size(), 1u) << "one sentence for the whole printout";
  EXPECT_EQ(p.warnings.front(), CutNamesNotice({kEleven}));
  const QString text = Unspaced(test::PdfDrawnText(p.pdf));
  EXPECT_FALSE(text.contains(QString::fromUtf8(kEleven)));
  EXPECT_TRUE(text.contains("…")) << text.toStdString();
  EXPECT_TRUE(text.contains("欧阳明月")) << "a teacher's name wraps in the overview instead";
}

INSTANTIATE_TEST_SUITE_P(SixAndSeven, LongNames, ::testing::Values(6, 7));

}  // namespace
}  // namespace orv
