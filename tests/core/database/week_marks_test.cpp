// SPDX-License-Identifier: GPL-3.0-or-later
// The restriction vocabulary: mark texts and stored values, and one entity's
// week read and written.
#include "core/database/week_marks.h"

#include <gtest/gtest.h>

#include "support/test_db.h"

namespace orv {
namespace {

TEST(WeekMarks, MarksReadFromTheirTextsAndStoredValues) {
  const std::tuple<LimitMark, const char*, int> marks[] = {{LimitMark::Best, "最佳位置", 0},
                                                           {LimitMark::Normal, "正常", 1},
                                                           {LimitMark::Avoid, "尽量不排", 2},
                                                           {LimitMark::Never, "不排", 3}};
  for (const auto& [mark, text, stored] : marks) {
    EXPECT_EQ(MarkText(mark), text);
    EXPECT_EQ(MarkFromText(text), mark);
    EXPECT_EQ(DbValue(mark), stored);
    EXPECT_EQ(MarkFromDb(stored), mark);
  }
  // An empty grid cell has always been stored as a best position.
  EXPECT_EQ(MarkFromText(""), LimitMark::Best);
  EXPECT_EQ(MarkFromDb(4), std::nullopt);
}

TEST(WeekMarks, AWeekIsStoredForItsOwnKindAndCodeAndReadBackWithStrayRowsApart) {
  test::TestDb t;
  t.AddLimit(DbValue(LimitKind::Course), "T1", 1, 1, DbValue(LimitMark::Never));  // another kind, same code
  WeekMarks week;
  week.Set(1, 1, LimitMark::Never);
  week.Set(5, 6, LimitMark::Avoid);
  ASSERT_TRUE(SaveWeekMarks(t.db(), LimitKind::Teacher, "T1", week, 6));
  ASSERT_TRUE(SaveWeekMark(t.db(), LimitKind::Teacher, "T1", 2, 5, LimitMark::Best));
  week.Set(2, 5, LimitMark::Best);
  EXPECT_EQ(SaveWeekMark(t.db(), LimitKind::Teacher, "T1", 6, 1, LimitMark::Best).message(),
            "该单元格不是上课时间");
  EXPECT_EQ(t.Count("select count(*) from Limittb where Kind=2"), 30) << "one row per cell, updated in place";

  t.AddLimit(DbValue(LimitKind::Teacher), "T1", 3, 7, DbValue(LimitMark::Never));  // beyond six lessons
  t.AddLimit(DbValue(LimitKind::Teacher), "T1", 3, 2, 9);                          // no mark at all
  const Result<LoadedWeekMarks> loaded = LoadWeekMarks(t.db(), LimitKind::Teacher, "T1", 6);
  ASSERT_TRUE(loaded);
  EXPECT_EQ(loaded->marks, week);
  EXPECT_EQ(loaded->storedRows, 32);
  ASSERT_EQ(loaded->stray.size(), 2u);
  EXPECT_EQ(loaded->stray[0].lessonNo, 7);
  EXPECT_EQ(loaded->stray[1].attr, 9);
}

// Two rows on one cell, as another tool may store them: the stricter mark is
// shown whichever row came first, and a write leaves one row.
TEST(WeekMarks, TwoRowsOnACellShowTheStricterMarkAndAWriteLeavesOne) {
  test::TestDb t;
  const int teacher = DbValue(LimitKind::Teacher);
  t.AddLimit(teacher, "T1", 1, 1, DbValue(LimitMark::Never));
  t.AddLimit(teacher, "T1", 1, 1, DbValue(LimitMark::Best));
  t.AddLimit(teacher, "T1", 2, 3, DbValue(LimitMark::Best));
  t.AddLimit(teacher, "T1", 2, 3, DbValue(LimitMark::Avoid));
  const Result<LoadedWeekMarks> loaded = LoadWeekMarks(t.db(), LimitKind::Teacher, "T1", 6);
  ASSERT_TRUE(loaded);
  EXPECT_EQ(loaded->marks.At(1, 1), LimitMark::Never);
  EXPECT_EQ(loaded->marks.At(2, 3), LimitMark::Avoid);

  ASSERT_TRUE(SaveWeekMark(t.db(), LimitKind::Teacher, "T1", 1, 1, LimitMark::Normal));
  EXPECT_EQ(t.Count("select count(*) from Limittb where Day=1 and LessonNo=1"), 1);
  EXPECT_EQ(LoadWeekMarks(t.db(), LimitKind::Teacher, "T1", 6)->marks.At(1, 1), LimitMark::Normal);
}

}  // namespace
}  // namespace orv
