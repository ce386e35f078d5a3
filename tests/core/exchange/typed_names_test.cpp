// SPDX-License-Identifier: GPL-3.0-or-later
// The class names schools type, each read as the grade and number the class
// list stores, and the near misses that must not be mistaken for a class.
#include <gtest/gtest.h>

#include "core/exchange/typed_names.h"

namespace orv {
namespace {

TEST(TypedNames, FullWidthFormsFoldAndSpacesAtTheEndsGo) {
  EXPECT_EQ(FoldTyped("　１２（Ａ）　"), "12(A)");
  EXPECT_EQ(FoldTyped(" 王 伟 "), "王 伟");
  EXPECT_EQ(FoldTyped("语文"), "语文");
  EXPECT_EQ(FoldTyped("   "), "");
}

TEST(TypedNames, EveryCommonFormOfAClassNameGivesItsGradeAndNumber) {
  const struct {
    const char* typed;
    int grade, number;
  } cases[] = {
      {"一（1）班", 1, 1},       {"一(1)班", 1, 1},     {"一（1）", 1, 1},     {"一年级（3）班", 1, 3},
      {"1年级1班", 1, 1},        {"七年级2班", 7, 2},   {"初一(2)班", 7, 2},   {"初三（12）班", 9, 12},
      {"九（十）班", 9, 10},     {"二(二十)班", 2, 20}, {"学前（1）班", 0, 1}, {"１年级　２班", 1, 2},
      {"六年级（11）班", 6, 11}, {" 五(3) 班 ", 5, 3},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.typed);
    const std::optional<TypedClass> got = ParseTypedClass(c.typed);
    ASSERT_TRUE(got.has_value());
    EXPECT_EQ(*got, (TypedClass{c.grade, c.number}));
  }
}

TEST(TypedNames, NearMissesAreNoClass) {
  for (const char* typed : {"", "一班", "十(1)班", "初四(1)班", "一(21)班", "一(0)班", "一(1班", "一(1)班长",
                            "语文", "高一(1)班", "1年级"}) {
    SCOPED_TRACE(typed);
    EXPECT_FALSE(ParseTypedClass(typed).has_value());
  }
}

TEST(TypedNames, AGradeOrAClassNumberOnItsOwn) {
  EXPECT_EQ(ParseTypedGrade("一年级"), 1);
  EXPECT_EQ(ParseTypedGrade("学前"), 0);
  EXPECT_EQ(ParseTypedGrade("７"), 7);
  EXPECT_EQ(ParseTypedGrade("初一"), 7);
  EXPECT_EQ(ParseTypedGrade("初三年级"), 9);
  EXPECT_EQ(ParseTypedGrade("七年级"), 7);
  for (const char* bad : {"", "十年级", "初四", "高一", "一年级1班"})
    EXPECT_FALSE(ParseTypedGrade(bad)) << bad;
  EXPECT_EQ(ParseTypedClassNumber("3"), 3);
  EXPECT_EQ(ParseTypedClassNumber("（12）班"), 12);
  EXPECT_EQ(ParseTypedClassNumber("第三班"), 3);
  for (const char* bad : {"", "0", "21", "3年级", "(3"}) EXPECT_FALSE(ParseTypedClassNumber(bad)) << bad;
}

}  // namespace
}  // namespace orv
