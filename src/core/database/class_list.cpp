// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/database/class_list.h"

#include <array>

#include "core/database/code_lists.h"

namespace orv {

std::string GradeText(int grade) {
  static constexpr std::array<const char*, 10> kWords = {"学前", "一", "二", "三", "四",
                                                         "五",   "六", "七", "八", "九"};
  return grade >= 0 && grade <= 9 ? kWords[grade] : "";
}

std::string ClassCodeFor(int grade, int number) { return std::to_string(grade) + std::to_string(number); }

std::string GradeEntryText(int grade) {
  const std::string g = GradeText(grade);
  return grade == 0 || g.empty() ? g : g + "年级";
}

std::optional<ClassNames> ComposeClassNames(int grade, int number) {
  const std::string g = GradeText(grade);
  if (g.empty() || number < 1) return std::nullopt;
  const std::string n = std::to_string(number);
  return ClassNames{g + "（" + n + "）班", g + "年级（" + n + "）班", g + "（" + n + "）"};
}

ClassCodeParts ParseClassCode(std::string_view code) {
  ClassCodeParts parts;
  if (code.empty() || code[0] < '0' || code[0] > '9') return parts;
  parts.grade = code[0] - '0';
  const std::string_view rest = code.substr(1);
  if (rest.empty() || rest.size() > 2) return parts;
  int number = 0;
  for (char ch : rest) {
    if (ch < '0' || ch > '9') return parts;
    number = number * 10 + (ch - '0');
  }
  if (number >= 1 && number <= kClassNumberCount) parts.number = number;
  return parts;
}

std::vector<ClassInput> MissingClassInputs(int gradeIndex, int numberIndex, const ClassNames& typed) {
  std::vector<ClassInput> missing;
  if (gradeIndex < 0 || gradeIndex >= kGradeCount) missing.push_back(ClassInput::Grade);
  if (numberIndex < 0 || numberIndex >= kClassNumberCount) missing.push_back(ClassInput::ClassNumber);
  if (TrimBlanks(typed.name).empty()) missing.push_back(ClassInput::Name);
  if (TrimBlanks(typed.fullName).empty()) missing.push_back(ClassInput::FullName);
  if (TrimBlanks(typed.shortName).empty()) missing.push_back(ClassInput::ShortName);
  return missing;
}

}  // namespace orv
