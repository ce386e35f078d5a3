// SPDX-License-Identifier: GPL-3.0-or-later
// Print templates that ask for the impossible are refused with the reason.
// (The six shipped templates are printed to PDF and read back.)
#include <gtest/gtest.h>

#include "core/output/print_template.h"

namespace orv {
namespace {

TEST(PrintTemplateReading, RefusesTheImpossibleWithTheReason) {
  const std::pair<std::string, std::string> bad[] = {
      {"", "缺少 <template>"},
      {"<page paper=\"A4\">", "缺少 <template>"},
      {"<template layout=\"poster\">", "未知的版式：poster"},
      {"<template lessons=\"8\">", "lessons"},
      {"<template lessons=\"6.5\">", "6 或 7"},
      {"<template><page paper=\"A0\">", "不支持的纸张：A0"},
      {"<template><page orientation=\"sideways\">", "sideways"},
      {"<template><page top=\"abc\">", "top"},
      {"<template><page left=\"90\" right=\"90\">", "超出了纸张"},
      {"<template><title height=\"150\"><header height=\"150\">", "超出了纸张"},
      {"<template><cell field=\"teacher\">", "teacher"},
      {"<template><title size=\"0\">", "size"},
      // Not numbers a page can be laid out with: NaN passed every range test.
      {"<template><page left=\"nan\">", "left"},
      {"<template><page top=\"-nan\">", "top"},
      {"<template><page right=\"inf\">", "right"},
      {"<template><page bottom=\"1e400\">", "bottom"},
      {"<template lessons=\"nan\">", "lessons"},
      {"<template><noon after=\"nan\">", "after"},
      {"<template><rows height=\"NaN\">", "height"},
      {"<template><lines outer=\"infinity\">", "outer"},
      {"<template><cell size=\"nan\">", "size"},
  };
  for (const auto& [text, reason] : bad) {
    auto t = ParsePrintTemplate(text);
    ASSERT_FALSE(t) << text;
    EXPECT_NE(t.message().find(reason), std::string::npos) << text << " -> " << t.message();
  }
  auto fine = ParsePrintTemplate("<TEMPLATE Layout='school' lessons=7><PAGE paper=A5 orientation=landscape>");
  ASSERT_TRUE(fine) << fine.message();
  EXPECT_EQ(fine->layout, TemplateLayout::School);
  EXPECT_EQ(fine->paperWidth, 210);
  EXPECT_EQ(fine->paperHeight, 148);
  EXPECT_EQ(fine->cellLines.size(), 1u) << "a template without cells shows the course";
}

// {key} filled in however often it stands, and not in what was filled in.
TEST(PrintTemplateReading, FillPatternReplacesEveryTokenOnce) {
  EXPECT_EQ(FillPattern("{t}-{t}{x}{t", "t", "{t}"), "{t}-{t}{x}{t");
  EXPECT_EQ(FillPattern("a{t}b{t}c", "t", ""), "abc");
  std::string many, filled;
  for (int i = 0; i < 200000; ++i) {
    many += "{page}/";
    filled += "12/";
  }
  EXPECT_EQ(FillPattern(many, "page", "12"), filled);
}

}  // namespace
}  // namespace orv
