// Where the program keeps kbxt.ini and the default database.
#pragma once

#include <filesystem>
#include <optional>

namespace orv {

// The directory of the running executable.
std::filesystem::path ExecutableDirectory();

// $XDG_DATA_HOME/orvandel, or ~/.local/share/orvandel.
std::filesystem::path UserDataDirectory();

// The executable's directory when the program may write there (a portable
// install); otherwise the per-user data directory, created on demand.
std::filesystem::path ResolveProgramDirectory(const std::filesystem::path& executableDir);

// A file shipped with the program, looked up in the program directory, beside
// the executable and in the installed data directory (../share/orvandel).
// The program directory wins, so an installation can replace a shipped file.
std::optional<std::filesystem::path> FindProgramFile(const std::filesystem::path& programDir,
                                                     const std::filesystem::path& relative,
                                                     const std::filesystem::path& executableDir);

}  // namespace orv
