// Print templates: the six shipped ones read as what they are named for, and
// a template that asks for the impossible is refused with the reason.
#include <gtest/gtest.h>

#include "core/output/print_template.h"
#include "support/temp_dir.h"

namespace orv {
namespace {

struct Shipped {
  const char* file;
  TemplateLayout layout;
  int lessons;
  const char* paper;
  bool landscape;
};

class ShippedTemplate : public ::testing::TestWithParam<Shipped> {};

TEST_P(ShippedTemplate, ReadsAsItsNameSays) {
  const Shipped& s = GetParam();
  auto t = ParsePrintTemplate(test::ReadFile(std::filesystem::path(ORVANDEL_TEMPLATE_DIR) / s.file));
  ASSERT_TRUE(t) << t.message();
  EXPECT_EQ(t->layout, s.layout);
  EXPECT_EQ(t->lessonsPerDay, s.lessons);
  EXPECT_EQ(t->paper, s.paper);
  EXPECT_EQ(t->landscape, s.landscape);
  EXPECT_EQ(t->paperWidth, s.landscape ? 420 : 210);
  EXPECT_EQ(t->paperHeight, 297);
  EXPECT_FALSE(t->title.text.empty());
  EXPECT_EQ(t->cellLines.size(), 2u) << "course and second line";
  EXPECT_EQ(t->doubleDayLines, s.layout == TemplateLayout::School);
}

INSTANTIATE_TEST_SUITE_P(
    All, ShippedTemplate,
    ::testing::Values(Shipped{"ClassSchd6.xml", TemplateLayout::Timetable, 6, "A4", false},
                      Shipped{"ClassSchd7.xml", TemplateLayout::Timetable, 7, "A4", false},
                      Shipped{"TeacherSchd6.xml", TemplateLayout::Timetable, 6, "A4", false},
                      Shipped{"TeacherSchd7.xml", TemplateLayout::Timetable, 7, "A4", false},
                      Shipped{"TotalSchd6A3.xml", TemplateLayout::School, 6, "A3", true},
                      Shipped{"TotalSchd7A3.xml", TemplateLayout::School, 7, "A3", true}),
    [](const auto& info) {
      std::string name = info.param.file;
      return name.substr(0, name.find('.'));
    });

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

}  // namespace
}  // namespace orv
