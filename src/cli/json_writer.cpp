// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/json_writer.h"

#include <cstdio>

namespace orv::cli {

std::string JsonString(std::string_view text) {
  std::string out = "\"";
  for (const char ch : text) {
    const auto c = static_cast<unsigned char>(ch);
    switch (ch) {
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\t':
        out += "\\t";
        break;
      default:
        if (c < 0x20 || c == 0x7F) {
          char escaped[8];
          std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
          out += escaped;
        } else {
          out += ch;
        }
    }
  }
  return out + "\"";
}

void JsonWriter::Separate() {
  if (afterKey_) {
    afterKey_ = false;
    return;
  }
  if (!open_.back()) out_ += ',';
  open_.back() = false;
}

JsonWriter& JsonWriter::Key(std::string_view key) {
  Separate();
  out_ += JsonString(key) + ":";
  afterKey_ = true;
  return *this;
}

JsonWriter& JsonWriter::Open(char bracket) {
  Separate();
  out_ += bracket;
  open_.push_back(true);
  return *this;
}

JsonWriter& JsonWriter::Close(char bracket) {
  out_ += bracket;
  open_.pop_back();
  return *this;
}

JsonWriter& JsonWriter::Value(std::string_view text) {
  Separate();
  out_ += JsonString(text);
  return *this;
}

JsonWriter& JsonWriter::Value(long long number) {
  Separate();
  out_ += std::to_string(number);
  return *this;
}

JsonWriter& JsonWriter::Value(bool flag) {
  Separate();
  out_ += flag ? "true" : "false";
  return *this;
}

JsonWriter& JsonWriter::Null() {
  Separate();
  out_ += "null";
  return *this;
}

JsonWriter& JsonWriter::Optional(std::string_view text) { return text.empty() ? Null() : Value(text); }

JsonWriter& JsonWriter::Strings(const std::vector<std::string>& texts) {
  BeginArray();
  for (const std::string& text : texts) Value(text);
  return EndArray();
}

}  // namespace orv::cli
