// SPDX-License-Identifier: GPL-3.0-or-later
// The print data built from rows in memory against the document written as
// text and read back: the two routes must give the print library the same
// data, names that need escaping included.
#include <gtest/gtest.h>

#include "core/output/print_data.h"
#include "core/output/print_data_rows.h"
#include "core/output/print_document.h"

namespace orv {
namespace {

void ExpectSameData(const PrintData& direct, const PrintData& read) {
  EXPECT_EQ(direct.kind, read.kind);
  EXPECT_EQ(direct.lessonsPerDay, read.lessonsPerDay);
  ASSERT_EQ(direct.subjects.size(), read.subjects.size());
  for (size_t s = 0; s < read.subjects.size(); ++s) {
    const PrintSubject& a = direct.subjects[s];
    const PrintSubject& b = read.subjects[s];
    SCOPED_TRACE(b.title);
    EXPECT_EQ(a.title, b.title);
    EXPECT_EQ(a.name, b.name);
    EXPECT_EQ(a.total, b.total);
    ASSERT_EQ(a.cells.size(), b.cells.size());
    for (size_t c = 0; c < b.cells.size(); ++c) {
      EXPECT_EQ(a.cells[c].course, b.cells[c].course) << "cell " << c;
      EXPECT_EQ(a.cells[c].second, b.cells[c].second) << "cell " << c;
    }
  }
}

TEST(PrintDataRows, GivesWhatTheDocumentTextReadsBackAs) {
  const std::string odd = "<&>\"'";
  // Two owners of one name, a lesson on the last cell of the week, a cell
  // taken twice (the first row wins), a row outside the week, a course
  // without a name, and names that must be escaped in the text.
  const auto rowsFor = [&](int lessons) {
    return std::vector<TimetableRow>{
        {"一（1）班" + odd, "语文" + odd, "一（1）" + odd, 1, 1, "C01"},
        {"一（1）班" + odd, "数学", "一（1）", 1, 1, "C01"},
        {"一（1）班" + odd, "", "", 3, 2, "C01"},
        {"一（1）班" + odd, "体育", "一（1）", 5, lessons, "C01"},
        {"一（1）班" + odd, "美术", "一（1）", 6, 1, "C01"},
        {"张伟", "音乐&美术", "二（3）", 2, 4, "T01"},
        {"张伟", "科学", "'二'", 4, lessons, "T02"},
    };
  };
  for (const int lessons : {6, 7}) {
    const std::vector<TimetableRow> rows = rowsFor(lessons);
    for (const TimetableScope scope :
         {TimetableScope::AllClasses, TimetableScope::Teacher, TimetableScope::School}) {
      SCOPED_TRACE(testing::Message() << "scope " << int(scope) << ", " << lessons << " lessons");
      const std::string school = "育才" + odd;
      const Result<PrintData> read = ParsePrintData(PrintDocumentOf(scope, rows, school, lessons));
      ASSERT_TRUE(read) << read.message();
      const PrintData direct = PrintDataOf(scope, rows, school, lessons);
      ASSERT_EQ(direct.subjects.size(), 3u);
      ExpectSameData(direct, *read);

      // Without rows the text cannot say its kind (it is read as a
      // timetable); the data from rows still knows it is the overview.
      Result<PrintData> none = ParsePrintData(PrintDocumentOf(scope, {}, school, lessons));
      ASSERT_TRUE(none) << none.message();
      const PrintData empty = PrintDataOf(scope, {}, school, lessons);
      EXPECT_EQ(empty.kind,
                scope == TimetableScope::School ? PrintDataKind::School : PrintDataKind::Timetable);
      none->kind = empty.kind;
      ExpectSameData(empty, *none);
    }
  }
}

// A class whose lessons all lie beyond the lessons a day printed (a seventh
// lesson on a six-lesson overview) used to come back from the document text
// without its name: its row of the overview had a blank name cell.
TEST(PrintDataRows, AnOverviewRowKeepsItsClassNameWithoutALessonInTheWeek) {
  const std::vector<TimetableRow> rows{{"一（1）", "语", "王芳", 1, 1, "11"},
                                       {"一（2）", "数", "李强", 2, 7, "12"}};
  const PrintData data = PrintDataOf(TimetableScope::School, rows, "育才", 6);
  ASSERT_EQ(data.subjects.size(), 2u);
  EXPECT_EQ(data.subjects[0].name, "一（1）");
  EXPECT_EQ(data.subjects[1].name, "一（2）");
  EXPECT_EQ(data.subjects[1].total, 0);
}

// The overview's title names the school year and term once the term's first
// day is known: autumn (August to January) the first term, spring the second
// of the year begun the August before; unknown, the blanks stay for the pen.
TEST(PrintDataRows, TheOverviewTitleNamesTheTermWhenItIsKnown) {
  const std::vector<TimetableRow> rows{{"一（1）", "语", "王芳", 1, 1, "11"}};
  auto title = [&](std::optional<CivilDate> start) {
    return PrintDataOf(TimetableScope::School, rows, "育才", 6, start).subjects.at(0).title;
  };
  EXPECT_EQ(title(std::nullopt), "育才 20    -- 20   学年度第  学期总课程表");
  EXPECT_EQ(title(CivilDate{2026, 9, 1}), "育才 2026--2027学年度第1学期总课程表");
  EXPECT_EQ(title(CivilDate{2026, 8, 31}), "育才 2026--2027学年度第1学期总课程表");
  EXPECT_EQ(title(CivilDate{2027, 1, 4}), "育才 2026--2027学年度第1学期总课程表");
  EXPECT_EQ(title(CivilDate{2027, 2, 22}), "育才 2026--2027学年度第2学期总课程表");
  EXPECT_EQ(title(CivilDate{2027, 7, 1}), "育才 2026--2027学年度第2学期总课程表");
  // Class and teacher timetables carry no school year.
  EXPECT_EQ(
      PrintDataOf(TimetableScope::AllClasses, rows, "育才", 6, CivilDate{2026, 9, 1}).subjects.at(0).title,
      "育才     一（1）");
}

TEST(PrintDataRows, ChoosesTheTemplateFromTheData) {
  const std::vector<TimetableRow> classRows{{"一（1）班", "语文", "", 1, 1}};
  const std::vector<TimetableRow> teacherRows{{"张伟", "语文", "一（1）", 1, 1}};
  EXPECT_EQ(PrintTemplateNameOf(PrintDataOf(TimetableScope::Class, classRows, "", 7), 6), "ClassSchd7.xml");
  EXPECT_EQ(PrintTemplateNameOf(PrintDataOf(TimetableScope::AllTeachers, teacherRows, "", 6), 7),
            "TeacherSchd6.xml");
  EXPECT_EQ(PrintTemplateNameOf(PrintDataOf(TimetableScope::School, teacherRows, "", 7), 6),
            "TotalSchd7A3.xml");
  // An overview without classes does not say its lessons a day.
  EXPECT_EQ(PrintTemplateNameOf(PrintDataOf(TimetableScope::School, {}, "", 7), 6), "TotalSchd6A3.xml");
}

}  // namespace
}  // namespace orv
