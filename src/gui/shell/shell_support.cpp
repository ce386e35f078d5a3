// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/shell/shell_support.h"

#include <QDesktopServices>

namespace fs = std::filesystem;

namespace orv::ui {

std::optional<fs::path> FindProgramFile(const fs::path& programDir, const fs::path& relative) {
  return FindProgramFile(programDir, relative, ExecutableDirectory());
}

std::optional<fs::path> FindManual(const fs::path& programDir) {
  return FindProgramFile(programDir, kManualFile);
}

void OpenDocument(const QUrl& url) { QDesktopServices::openUrl(url); }

}  // namespace orv::ui
