// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/output/markup_reader.h"

#include <charconv>

namespace orv {

namespace {

// Characters between '&' and ';' of the longest entity read ("#x10FFFF" and
// the like, with leading zeros allowed up to this length).
constexpr size_t kLongestEntity = 9;

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string Lower(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
  return out;
}

void AppendUtf8(std::string& out, unsigned long cp) {
  if (cp < 0x80) {
    out += char(cp);
  } else if (cp < 0x800) {
    out += char(0xC0 | (cp >> 6));
    out += char(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += char(0xE0 | (cp >> 12));
    out += char(0x80 | ((cp >> 6) & 0x3F));
    out += char(0x80 | (cp & 0x3F));
  } else {
    out += char(0xF0 | (cp >> 18));
    out += char(0x80 | ((cp >> 12) & 0x3F));
    out += char(0x80 | ((cp >> 6) & 0x3F));
    out += char(0x80 | (cp & 0x3F));
  }
}

// The character an entity body (between & and ;) stands for, or false.
bool DecodeEntity(std::string_view body, std::string& out) {
  if (body == "amp") return out += '&', true;
  if (body == "lt") return out += '<', true;
  if (body == "gt") return out += '>', true;
  if (body == "quot") return out += '"', true;
  if (body == "apos") return out += '\'', true;
  if (body.size() < 2 || body[0] != '#') return false;
  const bool hex = body[1] == 'x' || body[1] == 'X';
  const std::string_view digits = body.substr(hex ? 2 : 1);
  unsigned long cp = 0;
  auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), cp, hex ? 16 : 10);
  if (ec != std::errc() || end != digits.data() + digits.size() || digits.empty() || cp == 0 ||
      cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
    return false;
  AppendUtf8(out, cp);
  return true;
}

}  // namespace

const std::string* MarkupElement::Attribute(std::string_view key) const {
  for (const auto& [k, v] : attributes)
    if (k == key) return &v;
  return nullptr;
}

std::string UnescapeMarkup(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '&') {
      // The longest entity is a handful of characters: searching for its ';'
      // any further would make a text of many '&' quadratic.
      const std::string_view window = text.substr(i + 1, kLongestEntity + 1);
      const size_t semi = window.find(';');
      if (semi != std::string_view::npos && DecodeEntity(window.substr(0, semi), out)) {
        i += semi + 1;
        continue;
      }
    }
    out += text[i];
  }
  return out;
}

std::vector<MarkupElement> ReadMarkup(std::string_view text) {
  std::vector<MarkupElement> elements;
  size_t i = 0;
  const size_t n = text.size();
  auto skipTo = [&](std::string_view end) {
    const size_t at = text.find(end, i);
    i = at == std::string_view::npos ? n : at + end.size();
  };
  while ((i = text.find('<', i)) != std::string_view::npos) {
    ++i;
    if (text.substr(i, 3) == "!--") {
      skipTo("-->");
      continue;
    }
    if (i < n && (text[i] == '/' || text[i] == '!' || text[i] == '?')) {
      skipTo(">");
      continue;
    }
    const size_t nameStart = i;
    while (i < n && !IsSpace(text[i]) && text[i] != '>' && text[i] != '/' && text[i] != '<') ++i;
    if (i == nameStart) continue;  // a lone '<'
    MarkupElement element;
    element.name = Lower(text.substr(nameStart, i - nameStart));
    while (i < n) {
      while (i < n && IsSpace(text[i])) ++i;
      if (i >= n || text[i] == '>' || text[i] == '<') break;
      if (text[i] == '/') {
        ++i;
        continue;
      }
      const size_t keyStart = i;
      while (i < n && !IsSpace(text[i]) && text[i] != '=' && text[i] != '>' && text[i] != '/' &&
             text[i] != '<')
        ++i;
      std::string key = Lower(text.substr(keyStart, i - keyStart));
      while (i < n && IsSpace(text[i])) ++i;
      std::string value;
      if (i < n && text[i] == '=') {
        ++i;
        while (i < n && IsSpace(text[i])) ++i;
        if (i < n && (text[i] == '"' || text[i] == '\'')) {
          const char quote = text[i++];
          const size_t close = text.find(quote, i);
          const size_t end = close == std::string_view::npos ? n : close;
          value = UnescapeMarkup(text.substr(i, end - i));
          i = close == std::string_view::npos ? n : close + 1;
        } else {
          const size_t valueStart = i;
          while (i < n && !IsSpace(text[i]) && text[i] != '>' && text[i] != '<') ++i;
          value = UnescapeMarkup(text.substr(valueStart, i - valueStart));
        }
      }
      if (!key.empty()) element.attributes.emplace_back(std::move(key), std::move(value));
    }
    if (i < n && text[i] == '>') ++i;
    elements.push_back(std::move(element));
  }
  return elements;
}

}  // namespace orv
