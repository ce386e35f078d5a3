// SPDX-License-Identifier: GPL-3.0-or-later
// A forgiving reader for the markup of print data documents and print
// templates. Only start tags matter: end tags need not repeat the start tag's
// name (the documents write </coursename> after <coursenameL11 ...>), so they
// are skipped along with comments, declarations and text between tags.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace orv {

struct MarkupElement {
  std::string name;                                             // as written, ASCII letters in lower case
  std::vector<std::pair<std::string, std::string>> attributes;  // names in lower case, values unescaped

  // The value of the attribute, or nullptr when the element has none.
  const std::string* Attribute(std::string_view key) const;
};

// The start tags of the text, in order. Never fails: what cannot be read as
// a tag is skipped; a value whose closing quote is missing runs to the end.
std::vector<MarkupElement> ReadMarkup(std::string_view text);

// &amp; &lt; &gt; &quot; &apos; and numeric references back to characters
// (UTF-8); an unknown entity stays as it is.
std::string UnescapeMarkup(std::string_view text);

}  // namespace orv
