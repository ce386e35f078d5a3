// SPDX-License-Identifier: GPL-3.0-or-later
// Where the program keeps kbxt.ini and the default database.
#pragma once

#include <filesystem>
#include <optional>

namespace orv {

// The directory of the running executable.
std::filesystem::path ExecutableDirectory();

// $XDG_DATA_HOME/orvandel, or ~/.local/share/orvandel.
std::filesystem::path UserDataDirectory();

// Where an installed program finds its read-only files: PREFIX/share/orvandel
// for an executable in PREFIX/bin, whatever the prefix.
std::filesystem::path InstalledDataDirectory(const std::filesystem::path& executableDir);

// The per-user data directory (created on demand) for an installed program,
// i.e. one with an installed data directory, even when it runs as root: a
// system directory must never collect databases. A portable copy (the build
// tree, an unpacked folder) keeps its files beside itself when it may write
// there, and falls back to the per-user directory otherwise.
std::filesystem::path ResolveProgramDirectory(const std::filesystem::path& executableDir);

// A file shipped with the program, looked up in the program directory, beside
// the executable and in the installed data directory (../share/orvandel).
// The program directory wins, so an installation can replace a shipped file.
std::optional<std::filesystem::path> FindProgramFile(const std::filesystem::path& programDir,
                                                     const std::filesystem::path& relative,
                                                     const std::filesystem::path& executableDir);

}  // namespace orv
