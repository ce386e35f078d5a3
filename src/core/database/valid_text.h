// SPDX-License-Identifier: GPL-3.0-or-later
// Text from the database file as the rest of the program may trust it: valid
// UTF-8. Files written by other tools (or damaged ones) can hold any bytes in a
// text column, and a single stray byte would otherwise end up in an xlsx or a
// PDF that no reader accepts.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace orv {

// U+FFFD, what every byte that is no part of a valid sequence becomes.
inline constexpr std::string_view kReplacementCharacter = "\xEF\xBF\xBD";

// The length of the valid UTF-8 prefix of `text` (all of it when valid).
std::size_t ValidUtf8Prefix(std::string_view text);

// `text` with each invalid byte replaced by U+FFFD. Sets `replaced` when it
// had to replace anything (and leaves it alone otherwise).
std::string ToValidUtf8(std::string_view text, bool& replaced);

// Characters (code points) in valid UTF-8 text.
std::size_t Utf8Length(std::string_view text);

// The first `characters` code points of valid UTF-8 text, never a part of one.
std::string_view Utf8Prefix(std::string_view text, std::size_t characters);

}  // namespace orv
