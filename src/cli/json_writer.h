// SPDX-License-Identifier: GPL-3.0-or-later
// The --json form of info, analyze, check and quality: one object on one
// line of stdout, English keys, so a script reads the same facts the Chinese
// text tells a person. Strings are written as the database holds them (UTF-8)
// with quotes, backslashes and control characters escaped.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orv::cli {

class JsonWriter {
 public:
  JsonWriter() { open_.push_back(true); }
  // Inside an object every value follows its Key; inside an array it stands alone.
  JsonWriter& Key(std::string_view key);
  JsonWriter& BeginObject() { return Open('{'); }
  JsonWriter& EndObject() { return Close('}'); }
  JsonWriter& BeginArray() { return Open('['); }
  JsonWriter& EndArray() { return Close(']'); }
  JsonWriter& Value(std::string_view text);
  JsonWriter& Value(const char* text) { return Value(std::string_view(text)); }
  JsonWriter& Value(long long number);
  JsonWriter& Value(int number) { return Value(static_cast<long long>(number)); }
  JsonWriter& Value(bool flag);
  JsonWriter& Null();
  // A code or name that may be absent: null rather than "".
  JsonWriter& Optional(std::string_view text);
  JsonWriter& Strings(const std::vector<std::string>& texts);
  // The document, ended by a newline.
  std::string Text() const { return out_ + "\n"; }

 private:
  JsonWriter& Open(char bracket);
  JsonWriter& Close(char bracket);
  // The comma before a value that is not the first of its object or array.
  void Separate();

  std::string out_;
  std::vector<bool> open_;  // per level: nothing written in it yet
  bool afterKey_ = false;
};

// "\"...\"" with the characters JSON does not allow as they are escaped.
std::string JsonString(std::string_view text);

}  // namespace orv::cli
