// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/exchange/typed_names.h"

#include <array>

#include "core/database/class_list.h"

namespace orv {

namespace {

constexpr std::array<std::string_view, 10> kNumerals = {"〇", "一", "二", "三", "四",
                                                        "五", "六", "七", "八", "九"};

// Consumes `word` at the front of `rest`.
bool Take(std::string_view& rest, std::string_view word) {
  if (!rest.starts_with(word)) return false;
  rest.remove_prefix(word.size());
  return true;
}

// One digit 1-9, Arabic or Chinese.
std::optional<int> TakeDigit(std::string_view& rest) {
  if (!rest.empty() && rest.front() >= '1' && rest.front() <= '9') {
    const int d = rest.front() - '0';
    rest.remove_prefix(1);
    return d;
  }
  for (int d = 1; d <= 9; ++d)
    if (Take(rest, kNumerals[static_cast<size_t>(d)])) return d;
  return std::nullopt;
}

// A class number: Arabic digits, or a Chinese numeral up to 二十.
std::optional<int> TakeNumber(std::string_view& rest) {
  int n = 0;
  size_t digits = 0;
  while (digits < rest.size() && digits < 3 && rest[digits] >= '0' && rest[digits] <= '9')
    n = n * 10 + (rest[digits++] - '0');
  if (digits > 0) {
    rest.remove_prefix(digits);
    return n;
  }
  int tens = 0;
  if (Take(rest, "二十"))
    tens = 20;
  else if (Take(rest, "十"))
    tens = 10;
  if (const std::optional<int> unit = TakeDigit(rest)) return tens + *unit;
  if (tens > 0) return tens;
  return std::nullopt;
}

std::optional<int> TakeGrade(std::string_view& rest) {
  if (Take(rest, "学前")) return 0;
  if (Take(rest, "初")) {
    const std::optional<int> d = TakeDigit(rest);
    if (!d || *d > 3) return std::nullopt;
    return 6 + *d;
  }
  const std::optional<int> d = TakeDigit(rest);
  if (!d) return std::nullopt;
  Take(rest, "年级");
  return d;
}

std::string Compact(std::string_view typed) {
  std::string folded;
  for (char c : FoldTyped(typed))
    if (c != ' ') folded += c;
  return folded;
}

}  // namespace

std::string FoldTyped(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size();) {
    const auto byte = [&](size_t k) { return static_cast<unsigned char>(text[i + k]); };
    // U+3000 (E3 80 80) and U+FF01-FF5E (EF BC 81 - EF BD 9E).
    if (i + 2 < text.size() && byte(0) == 0xE3 && byte(1) == 0x80 && byte(2) == 0x80) {
      out += ' ';
      i += 3;
      continue;
    }
    if (i + 2 < text.size() && byte(0) == 0xEF && (byte(1) == 0xBC || byte(1) == 0xBD)) {
      const int code = 0xFF00 + ((byte(1) & 0x03) << 6) + (byte(2) & 0x3F);
      if (code >= 0xFF01 && code <= 0xFF5E) {
        out += static_cast<char>(code - 0xFF01 + 0x21);
        i += 3;
        continue;
      }
    }
    out += text[i++];
  }
  const size_t first = out.find_first_not_of(" \t");
  if (first == std::string::npos) return {};
  const size_t last = out.find_last_not_of(" \t");
  return out.substr(first, last - first + 1);
}

std::optional<int> ParseTypedGrade(std::string_view typed) {
  const std::string folded = Compact(typed);
  std::string_view rest = folded;
  std::optional<int> grade = TakeGrade(rest);
  if (grade && *grade >= 7) Take(rest, "年级");  // 初一年级
  if (!grade || !rest.empty() || *grade >= kGradeCount) return std::nullopt;
  return grade;
}

std::optional<int> ParseTypedClassNumber(std::string_view typed) {
  const std::string folded = Compact(typed);
  std::string_view rest = folded;
  Take(rest, "第");
  const bool bracket = Take(rest, "(");
  const std::optional<int> number = TakeNumber(rest);
  if (!number || (bracket && !Take(rest, ")"))) return std::nullopt;
  Take(rest, "班");
  if (!rest.empty() || *number < 1 || *number > kClassNumberCount) return std::nullopt;
  return number;
}

std::optional<TypedClass> ParseTypedClass(std::string_view typed) {
  const std::string folded = Compact(typed);
  std::string_view rest = folded;
  const std::optional<int> grade = TakeGrade(rest);
  if (!grade) return std::nullopt;
  const bool bracket = Take(rest, "(");
  const std::optional<int> number = TakeNumber(rest);
  if (!number || (bracket && !Take(rest, ")"))) return std::nullopt;
  Take(rest, "班");
  if (!rest.empty() || *number < 1 || *number > kClassNumberCount || *grade < 0 || *grade >= kGradeCount)
    return std::nullopt;
  return TypedClass{*grade, *number};
}

}  // namespace orv
