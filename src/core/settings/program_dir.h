// Where the program keeps kbxt.ini and the default database.
#pragma once

#include <filesystem>

namespace orv {

// The directory of the running executable.
std::filesystem::path ExecutableDirectory();

// $XDG_DATA_HOME/orvandel, or ~/.local/share/orvandel.
std::filesystem::path UserDataDirectory();

// The executable's directory when the program may write there (a portable
// install); otherwise the per-user data directory, created on demand.
std::filesystem::path ResolveProgramDirectory(const std::filesystem::path& executableDir);

}  // namespace orv
