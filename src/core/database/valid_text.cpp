// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/database/valid_text.h"

namespace orv {

namespace {

// The length of the valid sequence starting at `at`, or 0 when the byte there
// starts none (overlong forms, surrogates and values past U+10FFFF included).
std::size_t SequenceAt(std::string_view s, std::size_t at) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(s[i]); };
  const unsigned char b0 = byte(at);
  if (b0 < 0x80) return 1;
  std::size_t length = 0;
  unsigned char low = 0x80, high = 0xBF;  // allowed range of the second byte
  if (b0 >= 0xC2 && b0 <= 0xDF) {
    length = 2;
  } else if (b0 >= 0xE0 && b0 <= 0xEF) {
    length = 3;
    if (b0 == 0xE0) low = 0xA0;
    if (b0 == 0xED) high = 0x9F;
  } else if (b0 >= 0xF0 && b0 <= 0xF4) {
    length = 4;
    if (b0 == 0xF0) low = 0x90;
    if (b0 == 0xF4) high = 0x8F;
  } else {
    return 0;
  }
  if (s.size() - at < length) return 0;
  if (byte(at + 1) < low || byte(at + 1) > high) return 0;
  for (std::size_t i = 2; i < length; ++i)
    if (byte(at + i) < 0x80 || byte(at + i) > 0xBF) return 0;
  return length;
}

}  // namespace

std::size_t ValidUtf8Prefix(std::string_view text) {
  std::size_t at = 0;
  while (at < text.size()) {
    const std::size_t n = SequenceAt(text, at);
    if (n == 0) break;
    at += n;
  }
  return at;
}

std::string ToValidUtf8(std::string_view text, bool& replaced) {
  std::size_t at = ValidUtf8Prefix(text);
  if (at == text.size()) return std::string(text);
  replaced = true;
  std::string out(text.substr(0, at));
  while (at < text.size()) {
    const std::size_t n = SequenceAt(text, at);
    if (n == 0) {
      out += kReplacementCharacter;
      ++at;
    } else {
      out.append(text, at, n);
      at += n;
    }
  }
  return out;
}

std::size_t Utf8Length(std::string_view text) {
  std::size_t count = 0;
  for (char c : text)
    if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++count;
  return count;
}

std::string_view Utf8Prefix(std::string_view text, std::size_t characters) {
  std::size_t at = 0;
  for (; at < text.size(); ++at) {
    if ((static_cast<unsigned char>(text[at]) & 0xC0) == 0x80) continue;
    if (characters == 0) break;
    --characters;
  }
  return text.substr(0, at);
}

}  // namespace orv
