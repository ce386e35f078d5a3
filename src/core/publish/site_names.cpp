// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/publish/site_names.h"

#include <set>

namespace orv {

namespace {

bool PlainSlugChar(char c) {
  return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '_';
}

std::string SlugBody(std::string_view code) {
  std::string lower;
  bool plain = !code.empty();
  for (char c : code) {
    const char l = c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
    plain = plain && PlainSlugChar(l);
    lower += l;
  }
  if (plain) return lower;
  static constexpr char kHex[] = "0123456789abcdef";
  std::string hex = "x";
  for (unsigned char c : code) {
    hex += kHex[c >> 4];
    hex += kHex[c & 15];
  }
  return hex;
}

}  // namespace

std::map<std::string, std::string> SiteSlugs(const std::vector<NamedRecord>& records,
                                             std::string_view prefix) {
  std::map<std::string, std::string> slugs;
  std::set<std::string> taken;
  for (const NamedRecord& r : records) {
    const std::string base = std::string(prefix) + SlugBody(r.code);
    std::string slug = base;
    for (int n = 2; taken.count(slug); ++n) slug = base + "-" + std::to_string(n);
    taken.insert(slug);
    slugs[r.code] = slug;
  }
  return slugs;
}

std::string HtmlEscape(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      case '\'':
        out += "&#39;";
        break;
      default:
        out += c;
    }
  }
  return out;
}

}  // namespace orv
