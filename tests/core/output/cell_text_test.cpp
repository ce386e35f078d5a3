// SPDX-License-Identifier: GPL-3.0-or-later
// Names set into cells with the estimated measure: where lines break, that a
// name wraps before it shrinks and never goes below 7 pt, that a cell's
// texts stay inside it, and that only what fits in no way is cut.
#include "core/output/cell_text.h"

#include <gtest/gtest.h>

namespace orv {
namespace {

const TextMeasure kMeasure = EstimatedMeasure();
const TextStyle kCourse{"宋体", 16, true};
const TextStyle kTeacher{"宋体", 11, false};
// A class timetable's cell on A4 (7 lessons) and an overview's on A3.
constexpr double kClassWidth = 28.4, kClassHeight = 27;
constexpr double kTotalWidth = 9.1, kTotalHeight = 9.5;

std::string Joined(const std::vector<std::string>& lines) {
  std::string all;
  for (const std::string& l : lines) all += l;
  return all;
}

double Height(const CellSetting& s) {
  double h = 0;
  for (const SetText& t : s.texts) h += t.lines.size() * t.points * kMmPerPoint * s.spacing;
  return h;
}

void ExpectInside(const CellSetting& s, const std::vector<CellText>& texts, double width, double height) {
  ASSERT_EQ(s.texts.size(), texts.size());
  EXPECT_LE(Height(s), height + 1e-6);
  EXPECT_GE(s.spacing, 1.1 - 1e-9) << "lines no closer than their strokes allow";
  for (size_t i = 0; i < texts.size(); ++i) {
    EXPECT_GE(s.texts[i].points, std::min(texts[i].style.size, kSmallestCellPoints));
    for (const std::string& line : s.texts[i].lines)
      EXPECT_LE(kMeasure(line, texts[i].style, s.texts[i].points), width + 1e-6) << line;
  }
}

TEST(WrapText, BreaksBetweenIdeographsButNotInsideWordsOrAroundBrackets) {
  const TextStyle style{"宋体", 10, false};
  const double em = 10 * kMmPerPoint;
  // "（1）" stays together and with neither its class nor 班 cut off
  // from it by a bracket at a line's end or start.
  EXPECT_EQ(WrapText("一（1）班", style, 10, 2.6 * em, kMeasure),
            (std::vector<std::string>{"一", "（1）", "班"}));
  EXPECT_EQ(WrapText("Physics Lab 2", style, 10, 4.2 * em, kMeasure),
            (std::vector<std::string>{"Physics", "Lab 2"}));
  // A word longer than the line is broken rather than run over the cell.
  for (const std::string& line : WrapText("Mathematics", style, 10, 2 * em, kMeasure))
    EXPECT_LE(kMeasure(line, style, 10), 2 * em + 1e-9) << line;
  EXPECT_EQ(Joined(WrapText("道德与法治", style, 10, 2.5 * em, kMeasure)), "道德与法治");
}

TEST(SetCellTexts, KeepsSizeWhenItFitsAndWrapsBeforeShrinking) {
  const std::vector<CellText> plain{{"语文", kCourse}, {"王芳", kTeacher}};
  const CellSetting fits = SetCellTexts(plain, kClassWidth, kClassHeight, kMeasure);
  ExpectInside(fits, plain, kClassWidth, kClassHeight);
  EXPECT_EQ(fits.texts[0].lines, std::vector<std::string>{"语文"});
  EXPECT_EQ(fits.texts[0].points, 16);
  EXPECT_EQ(fits.texts[1].points, 11);
  EXPECT_EQ(fits.spacing, 1.3);

  // Six ideographs at 16 pt are wider than the cell, three are not: two
  // lines at full size rather than one smaller line.
  const std::vector<CellText> six{{"信息科技实践", kCourse}, {"王芳", kTeacher}};
  const CellSetting wrapped = SetCellTexts(six, kClassWidth, kClassHeight, kMeasure);
  ExpectInside(wrapped, six, kClassWidth, kClassHeight);
  EXPECT_EQ(wrapped.texts[0].points, 16);
  EXPECT_EQ(wrapped.texts[0].lines, (std::vector<std::string>{"信息科", "技实践"})) << "balanced lines";

  // Eleven do not fit two lines at 16 pt: smaller, still two lines and whole.
  const std::vector<CellText> eleven{{"道德与法治综合实践活动", kCourse}, {"王芳", kTeacher}};
  const CellSetting smaller = SetCellTexts(eleven, kClassWidth, kClassHeight, kMeasure);
  ExpectInside(smaller, eleven, kClassWidth, kClassHeight);
  EXPECT_LT(smaller.texts[0].points, 16);
  EXPECT_EQ(smaller.texts[0].lines.size(), 2u);
  EXPECT_EQ(Joined(smaller.texts[0].lines), "道德与法治综合实践活动");
  EXPECT_FALSE(smaller.texts[0].cut);
  EXPECT_EQ(smaller.texts[1].points, 11) << "only the long name is made smaller";
}

TEST(SetCellTexts, TakesMoreLinesWhereTheCellIsTallRatherThanCutting) {
  const std::string thirty = "中华优秀传统文化与劳动技术综合实践活动暨校本研究性学习拓展课";
  for (double height : {27.0, 30.0}) {  // the 7- and 6-lesson class timetables
    const std::vector<CellText> texts{{thirty, kCourse}, {"欧阳明月", kTeacher}};
    const CellSetting s = SetCellTexts(texts, kClassWidth, height, kMeasure);
    ExpectInside(s, texts, kClassWidth, height);
    EXPECT_EQ(Joined(s.texts[0].lines), thirty);
    EXPECT_GT(s.texts[0].lines.size(), 2u);
    EXPECT_GE(s.texts[0].points, kSmallestCellPoints);
    EXPECT_FALSE(s.texts[0].cut);
  }
}

TEST(SetCellTexts, CutsWithAnEllipsisOnlyWhatFitsInNoWay) {
  const TextStyle course{"黑体", 9, true}, teacher{"宋体", 7.5, false};
  const std::vector<CellText> texts{{"道德与法治综合实践活动", course}, {"王芳", teacher}};
  const CellSetting s = SetCellTexts(texts, kTotalWidth, kTotalHeight, kMeasure);
  ExpectInside(s, texts, kTotalWidth, kTotalHeight);
  ASSERT_TRUE(s.texts[0].cut);
  EXPECT_EQ(s.texts[0].points, kSmallestCellPoints);
  const std::string shown = Joined(s.texts[0].lines);
  ASSERT_GT(shown.size(), kEllipsis.size());
  EXPECT_EQ(shown.substr(shown.size() - kEllipsis.size()), kEllipsis);
  EXPECT_EQ(std::string("道德与法治综合实践活动").rfind(shown.substr(0, shown.size() - kEllipsis.size()), 0),
            0u)
      << "the cut keeps the name's beginning: " << shown;
  EXPECT_EQ(s.texts[1].lines, std::vector<std::string>{"王芳"}) << "the teacher keeps a line";

  // With a four-character teacher, the lines left keep one name whole
  // rather than cutting both.
  const std::vector<CellText> both{{"道德与法治综合实践活动", course}, {"欧阳明月", teacher}};
  const CellSetting t = SetCellTexts(both, kTotalWidth, kTotalHeight, kMeasure);
  ExpectInside(t, both, kTotalWidth, kTotalHeight);
  EXPECT_TRUE(t.texts[0].cut);
  EXPECT_FALSE(t.texts[1].cut);
  EXPECT_EQ(Joined(t.texts[1].lines), "欧阳明月");
}

TEST(SetCellTexts, AnOverLongTextFromAMadeUpDocumentIsCutNotWorkedThrough) {
  std::string endless;
  for (int i = 0; i < 5000; ++i) endless += "课";
  const std::vector<CellText> texts{{endless, kCourse}};
  // A page-sized cell: the text is cut for its length, not for the room.
  const CellSetting s = SetCellTexts(texts, 170, 250, kMeasure);
  ASSERT_TRUE(s.texts[0].cut);
  const std::string shown = Joined(s.texts[0].lines);
  EXPECT_EQ(shown.substr(shown.size() - kEllipsis.size()), kEllipsis);
  EXPECT_LT(shown.size(), endless.size());
}

TEST(CutNamesNotice, NamesFiveAndCountsTheRest) {
  EXPECT_EQ(CutNamesNotice({}), "");
  const std::string one = CutNamesNotice({"道德与法治综合实践活动"});
  EXPECT_NE(one.find("道德与法治综合实践活动"), std::string::npos);
  const std::string many = CutNamesNotice({"一", "二", "三", "四", "五", "六", "七"});
  EXPECT_NE(many.find("五"), std::string::npos);
  EXPECT_EQ(many.find("六"), std::string::npos);
  EXPECT_NE(many.find("等 7 个名称"), std::string::npos);
}

}  // namespace
}  // namespace orv
