// SPDX-License-Identifier: GPL-3.0-or-later
// How the class editor derives a class from a grade and a class number: the
// code (grade digit followed by the number) and the three composed names, and
// the way back from a stored code to the two selections.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orv {

inline constexpr int kGradeCount = 10;        // 0 pre-school, 1-9
inline constexpr int kClassNumberCount = 20;  // classes 1-20 of a grade

// Class code and names exactly as the class list editor composes them.
std::string ClassCodeFor(int grade, int number);
std::string GradeText(int grade);

struct ClassNames {
  std::string name;       // 一（3）班
  std::string fullName;   // 一年级（3）班
  std::string shortName;  // 一（3）

  bool operator==(const ClassNames&) const = default;
};

// The grade selector's entry: "学前" for grade 0, "一年级" to "九年级"; "" outside 0-9.
std::string GradeEntryText(int grade);

// nullopt for a grade outside 0-9 or a class number below 1.
std::optional<ClassNames> ComposeClassNames(int grade, int number);

// The selections a stored code stands for. A code that does not follow the
// pattern yields what can be read from it: the grade when its first character
// is a digit, the number when the rest is a class number from 1 to 20.
struct ClassCodeParts {
  std::optional<int> grade;
  std::optional<int> number;
};
ClassCodeParts ParseClassCode(std::string_view code);

enum class ClassInput { Grade, ClassNumber, Name, FullName, ShortName };

// What the class editor still misses, in reporting order. gradeIndex and
// numberIndex are the selector positions, -1 for no choice.
std::vector<ClassInput> MissingClassInputs(int gradeIndex, int numberIndex, const ClassNames& typed);

}  // namespace orv
