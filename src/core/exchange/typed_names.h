// SPDX-License-Identifier: GPL-3.0-or-later
// What schools type into a spreadsheet, read the way the class list stores
// it: full-width digits, letters and brackets folded to their plain forms,
// and a class named in any of the common ways ("一（1）班", "一(1)班",
// "1年级1班", "七年级2班", "初一(2)班") read as its grade and class number.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace orv {

// Full-width ASCII (１２, （）, Ａ) and the ideographic space become their
// plain forms; spaces at either end go.
std::string FoldTyped(std::string_view text);

struct TypedClass {
  int grade = 0;   // 0 pre-school (学前), 1-9
  int number = 0;  // 1-20
  bool operator==(const TypedClass&) const = default;
};

// The grade and number a typed class name stands for; nullopt when it is not
// one of the common forms or names a grade or number the class list lacks.
// 初一 to 初三 are grades 7 to 9.
std::optional<TypedClass> ParseTypedClass(std::string_view text);

// A grade on its own ("一年级", "学前", "1", "初一", "七年级"); a class number on
// its own ("3", "3班", "(3)", "第三班"); nullopt for anything else.
std::optional<int> ParseTypedGrade(std::string_view text);
std::optional<int> ParseTypedClassNumber(std::string_view text);

}  // namespace orv
