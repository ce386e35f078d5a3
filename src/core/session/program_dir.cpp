// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/session/program_dir.h"

#include <unistd.h>

#include <cstdlib>

namespace fs = std::filesystem;

namespace orv {

fs::path ExecutableDirectory() {
  std::error_code ec;
  const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
  if (ec) return fs::current_path(ec);
  return exe.parent_path();
}

fs::path UserDataDirectory() {
  if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg != nullptr && *xdg == '/')
    return fs::path(xdg) / "orvandel";
  if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0')
    return fs::path(home) / ".local" / "share" / "orvandel";
  return fs::temp_directory_path() / "orvandel";
}

fs::path InstalledDataDirectory(const fs::path& executableDir) {
  return executableDir.parent_path() / "share" / "orvandel";
}

fs::path ResolveProgramDirectory(const fs::path& executableDir) {
  std::error_code ec;
  const bool portable =
      !executableDir.empty() && !fs::is_directory(InstalledDataDirectory(executableDir), ec);
  if (portable && ::access(executableDir.c_str(), W_OK) == 0) return executableDir;
  const fs::path dir = UserDataDirectory();
  fs::create_directories(dir, ec);
  return dir;
}

std::optional<fs::path> FindProgramFile(const fs::path& programDir, const fs::path& relative,
                                        const fs::path& executableDir) {
  std::error_code ec;
  for (const fs::path& dir : {programDir, executableDir, InstalledDataDirectory(executableDir)}) {
    if (dir.empty()) continue;
    const fs::path candidate = dir / relative;
    if (fs::is_regular_file(candidate, ec)) return candidate;
  }
  return std::nullopt;
}

}  // namespace orv
