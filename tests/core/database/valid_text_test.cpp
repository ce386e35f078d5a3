// SPDX-License-Identifier: GPL-3.0-or-later
// Text read from the database file is valid UTF-8 whatever bytes the file
// holds, and the first replacement is reported once.
#include "core/database/valid_text.h"

#include <gtest/gtest.h>

#include "support/test_db.h"

namespace orv {
namespace {

TEST(ValidText, ReplacesEachByteOfAnInvalidSequenceAndKeepsValidText) {
  const std::string r(kReplacementCharacter);
  const std::pair<std::string, std::string> cases[] = {
      {"一（1）班 abc", "一（1）班 abc"},
      {"\xF0\x9F\x98\x80", "\xF0\x9F\x98\x80"},  // outside the BMP
      {"a\xFF"
       "b",
       "a" + r + "b"},
      {"\xE4\xB8", r + r},                  // cut short at the end
      {"\xC0\xAF", r + r},                  // overlong '/'
      {"\xED\xA0\x80", r + r + r},          // a surrogate
      {"\xF4\x90\x80\x80", r + r + r + r},  // past U+10FFFF
      {"\xE4\xB8\xC0\xFF"
       "1",
       r + r + r + r + "1"},
  };
  for (const auto& [in, out] : cases) {
    bool replaced = false;
    EXPECT_EQ(ToValidUtf8(in, replaced), out) << in;
    EXPECT_EQ(replaced, in != out) << in;
  }
  EXPECT_EQ(Utf8Length("一a\xF0\x9F\x98\x80"), 3u);
  EXPECT_EQ(Utf8Prefix("一a\xF0\x9F\x98\x80"
                       "b",
                       3),
            "一a\xF0\x9F\x98\x80");
  EXPECT_EQ(Utf8Prefix("一a", 9), "一a");
}

TEST(ValidText, EveryColumnTextIsValidAndTheFirstReplacementIsReportedOnce) {
  test::TestDb t;
  t.db().Execute(
      "insert into Classtb (Code,Name) values ('11',cast(X'E4B8C0FF' as text)),('12','二班'),"
      "('13',cast(X'80' as text))");
  int notices = 0;
  t.db().OnInvalidText([&] { ++notices; });
  std::vector<std::string> names;
  for (Cursor c = t.db().Query("select Name from Classtb order by Code"); c.Next();)
    names.push_back(c.Text(0));
  const std::string r(kReplacementCharacter);
  EXPECT_EQ(names, (std::vector<std::string>{r + r + r + r, "二班", r}));
  EXPECT_EQ(t.db().FirstText("select Name from Classtb where Code='11'"), r + r + r + r);
  EXPECT_EQ(notices, 1);
  EXPECT_EQ(t.db().InvalidTextsRead(), 3u);
}

}  // namespace
}  // namespace orv
