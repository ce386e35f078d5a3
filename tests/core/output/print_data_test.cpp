// Reading print data documents back: what the writers wrote comes back cell
// for cell, names unescaped; the reader forgives loose markup and refuses
// what is no document or holds broken weeks.
#include <gtest/gtest.h>

#include "core/output/markup_reader.h"
#include "core/output/print_data.h"
#include "core/output/print_document.h"

namespace orv {
namespace {

TEST(PrintDataRoundTrip, TimetableDocumentComesBackCellForCell) {
  const std::vector<TimetableRow> rows = {{"王&芳", "音乐&美术", "一<1>", 2, 1},
                                          {"王&芳", "语文", "一\"2\"", 5, 7},
                                          {"李强", "数学", "二（1）", 3, 3}};
  auto data = ParsePrintData(TimetableXmlText(rows, "育才&学校", 7));
  ASSERT_TRUE(data) << data.message();
  EXPECT_EQ(data->kind, PrintDataKind::Timetable);
  EXPECT_EQ(data->lessonsPerDay, 7);
  ASSERT_EQ(data->subjects.size(), 2u);
  const PrintSubject& first = data->subjects[0];
  EXPECT_EQ(first.title, "育才&学校     王&芳");
  EXPECT_EQ(first.total, 2);
  ASSERT_EQ(first.cells.size(), 35u);
  EXPECT_EQ(first.cells[1].course, "音乐&美术");
  EXPECT_EQ(first.cells[1].second, "一<1>");
  EXPECT_EQ(first.cells[34].second, "一\"2\"");
  EXPECT_EQ(first.cells[0].course, " ") << "empty cells read as the blank they are written with";
  EXPECT_EQ(data->subjects[1].total, 1);
  EXPECT_EQ(data->subjects[1].cells[12].course, "数学");
}

TEST(PrintDataRoundTrip, SchoolDocumentRowsKeepTheirClassAndKeyedCells) {
  const std::vector<TimetableRow> rows = {
      {"一（1）", "语", "王芳", 1, 1}, {"一（1）", "数", "李强", 3, 2}, {"一&2", "英", "<赵>", 5, 6}};
  auto data = ParsePrintData(SchoolTimetableXmlText(rows, "育才", 6));
  ASSERT_TRUE(data) << data.message();
  EXPECT_EQ(data->kind, PrintDataKind::School);
  EXPECT_EQ(data->lessonsPerDay, 6);
  ASSERT_EQ(data->subjects.size(), 2u);
  EXPECT_EQ(data->subjects[0].title, "育才 20    -- 20   学年度第  学期总课程表");
  EXPECT_EQ(data->subjects[0].name, "一（1）");
  EXPECT_EQ(data->subjects[0].total, 2);
  EXPECT_EQ(data->subjects[0].cells[0].course, "语");
  EXPECT_EQ(data->subjects[0].cells[(2 - 1) * 5 + 3 - 1].second, "李强");
  EXPECT_EQ(data->subjects[1].name, "一&2");
  EXPECT_EQ(data->subjects[1].cells[29].course, "英");
  EXPECT_EQ(data->subjects[1].cells[29].second, "<赵>");
  EXPECT_EQ(data->subjects[1].cells[0].course, " ");

  auto empty = ParsePrintData(SchoolTimetableXmlText({}, "育才", 6));
  ASSERT_TRUE(empty) << "the skeleton of an empty overview is a document";
  EXPECT_TRUE(empty->subjects.empty());
}

TEST(MarkupReader, ForgivesLooseMarkup) {
  const auto elements = ReadMarkup(
      "<!-- a comment with <tags> -->\n<?xml version=\"1.0\"?><ROOT Docname='x'>"
      "<a value=unquoted other = \"spaced\" flag></b><c "
      "value=\"&amp;&lt;&gt;&quot;&apos;&#20320;&#x597D;&bogus;&\"/>"
      "text between < lone <d value=\"never closed");
  ASSERT_EQ(elements.size(), 4u);
  EXPECT_EQ(elements[0].name, "root");
  EXPECT_EQ(*elements[0].Attribute("docname"), "x");
  EXPECT_EQ(*elements[1].Attribute("value"), "unquoted");
  EXPECT_EQ(*elements[1].Attribute("other"), "spaced");
  EXPECT_EQ(*elements[1].Attribute("flag"), "");
  EXPECT_EQ(elements[1].Attribute("missing"), nullptr);
  EXPECT_EQ(*elements[2].Attribute("value"), "&<>\"'你好&bogus;&");
  EXPECT_EQ(*elements[3].Attribute("value"), "never closed");
}

TEST(PrintDataReading, AcceptsTheDocumentsLooseEndTags) {
  std::string week;
  for (int i = 0; i < 30; ++i) week += "<coursename value=\"课\"></classname><classname value='班'>";
  auto data = ParsePrintData("<root><title value=\"T\"></x>" + week + "<totallesson value=\"  30 \">");
  ASSERT_TRUE(data) << data.message();
  EXPECT_EQ(data->subjects.at(0).total, 30);
  EXPECT_EQ(data->subjects[0].cells.at(29).second, "班");
}

TEST(PrintDataReading, RefusesWhatIsNoDocumentOrHasBrokenWeeks) {
  auto cells = [](int n) {
    std::string s;
    for (int i = 0; i < n; ++i) s += "<coursename value=\" \">";
    return s;
  };
  const std::string broken[] = {
      "",
      "just text",
      "<record><tr><title value=\"x\"></tr></record>",                               // no root
      "<root><title value=\"x\">" + cells(29),                                       // 29 cells
      "<root><title value=\"a\">" + cells(30) + "<title value=\"b\">" + cells(35),   // 6, then 7 a day
      "<root><title value=\"a\">" + cells(40),                                       // 8 a day
      "<root><tr><title value=\"x\"><coursenameL81 value=\"a\"></coursename></tr>",  // lesson 8
  };
  for (const std::string& text : broken) {
    auto data = ParsePrintData(text);
    EXPECT_FALSE(data) << text.substr(0, 60);
    EXPECT_FALSE(data.message().empty());
  }
}

}  // namespace
}  // namespace orv
