// SPDX-License-Identifier: GPL-3.0-or-later
// `orvandel --self-check`: the program starts as it would for the user, on
// its program directory, but shows nothing and waits for nobody, then says
// which files it uses. For checking an installation without a desktop.
#pragma once

#include <filesystem>
#include <iosfwd>

namespace orv::ui {

inline constexpr const char* kSelfCheckOption = "--self-check";

// Prints the program directory, the settings file, the database and the
// manual. 0 when the database opened and the manual was found; 1 otherwise,
// with the reason on `err`.
int RunSelfCheck(const std::filesystem::path& programDir, std::ostream& out, std::ostream& err);

}  // namespace orv::ui
