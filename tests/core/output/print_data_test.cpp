// SPDX-License-Identifier: GPL-3.0-or-later
// Reading print data documents back: the reader forgives the documents' loose
// markup, unescapes names, and refuses what is no document or holds broken
// weeks. (What the writers write is read back by the layout and PDF tests.)
#include <gtest/gtest.h>

#include "core/output/markup_reader.h"
#include "core/output/print_data.h"

namespace orv {
namespace {

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

// A long run of '&' (each looking for its ';') and of entities is read whole:
// the search for an entity's end never runs past its longest form.
TEST(MarkupReader, UnescapesLongTextsWholly) {
  const std::string ampersands(1 << 20, '&');
  EXPECT_EQ(UnescapeMarkup(ampersands), ampersands);
  std::string entities, plain;
  for (int i = 0; i < 100000; ++i) {
    entities += "&amp;&#x4F60;&#00022909;x";
    plain += "&你好x";
  }
  EXPECT_EQ(UnescapeMarkup(entities), plain);
  EXPECT_EQ(UnescapeMarkup("&" + std::string(20, 'a') + ";&lt"), "&" + std::string(20, 'a') + ";&lt");
}

TEST(PrintDataReading, TakesEndTagsThatDoNotMatchAndKeyedCells) {
  std::string week;
  for (int i = 0; i < 30; ++i) week += "<coursename value=\"课\"></classname><classname value='班'>";
  auto data = ParsePrintData("<root><title value=\"T&amp;1\"></x>" + week + "<totallesson value=\"  30 \">");
  ASSERT_TRUE(data) << data.message();
  EXPECT_EQ(data->subjects.at(0).title, "T&1");
  EXPECT_EQ(data->subjects[0].total, 30);
  EXPECT_EQ(data->subjects[0].cells.at(29).second, "班");

  auto school = ParsePrintData(
      "<root><tr><title value=\"t\"><coursenameL32 value=\"数\"></coursename><classnameL32 value=\"一&lt;1\">"
      "<teachernameL32 value=\"李\"></teachername><tr><coursenameL61 value=\" \"><classnameL61 "
      "value=\"\"></tr></tr>");
  ASSERT_TRUE(school) << school.message();
  EXPECT_EQ(school->kind, PrintDataKind::School);
  EXPECT_EQ(school->lessonsPerDay, 6);
  EXPECT_EQ(school->subjects.at(0).name, "一<1");
  EXPECT_EQ(school->subjects[0].cells.at((3 - 1) * 5 + 2 - 1).second, "李");
  EXPECT_EQ(school->subjects[0].total, 1);

  // One cell named 40 times is still one lesson (the week's total stays a week's).
  std::string twice = "<root><tr><title value=\"t\">";
  for (int n = 0; n < 40; ++n) twice += "<coursenameL32 value=\"数\"></coursename>";
  school = ParsePrintData(twice + "</tr>");
  ASSERT_TRUE(school) << school.message();
  EXPECT_EQ(school->subjects.at(0).total, 1);
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
      // A week's total that no week has: negative, beyond int, not a number.
      "<root><title value=\"a\">" + cells(30) + "<totallesson value=\" -5 \">",
      "<root><title value=\"a\">" + cells(30) + "<totallesson value=\"99999999999\">",
      "<root><title value=\"a\">" + cells(30) + "<totallesson value=\"36\">",
      "<root><title value=\"a\">" + cells(30) + "<totallesson value=\"nan\">",
  };
  for (const std::string& text : broken) {
    auto data = ParsePrintData(text);
    EXPECT_FALSE(data) << text.substr(0, 60);
    EXPECT_FALSE(data.message().empty());
  }
}

}  // namespace
}  // namespace orv
