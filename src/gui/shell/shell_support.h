// SPDX-License-Identifier: GPL-3.0-or-later
// What the main window and the self-check need from outside the program: the
// files that ship beside it, the user manual among them, and handing a
// document to the desktop.
#pragma once

#include <QUrl>
#include <filesystem>
#include <optional>

#include "core/session/program_dir.h"
#include "gui/common/gui_support.h"

namespace orv::ui {

// A file shipped with the program (see the core's FindProgramFile); the
// windows' form searches beside the running program.
using orv::FindProgramFile;
std::optional<std::filesystem::path> FindProgramFile(const std::filesystem::path& programDir,
                                                     const std::filesystem::path& relative);

// The user manual, relative to the directories FindProgramFile searches.
inline constexpr const char* kManualFile = "使用手册/使用手册.html";
std::optional<std::filesystem::path> FindManual(const std::filesystem::path& programDir);

// Hands the address to the desktop (browser, HTML viewer); does not wait.
void OpenDocument(const QUrl& url);

}  // namespace orv::ui
