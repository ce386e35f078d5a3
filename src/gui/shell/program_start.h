// SPDX-License-Identifier: GPL-3.0-or-later
// The desktop program's start: the core start-up sequence, then the main
// window with its caption. Kept apart from main() so tests can run it.
#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "core/session/startup.h"
#include "gui/common/ui_context.h"
#include "gui/shell/main_window.h"
#include "gui/shell/window_manners.h"

namespace orv::ui {

struct Program {
  AppState state;
  std::unique_ptr<UiContext> ctx;
  std::unique_ptr<FrmMain> window;         // captioned, not yet shown
  std::unique_ptr<WindowManners> manners;  // F1 and remembered places, installed on the application
};

// Where no font writes Chinese, says so once (a warning titled `title`):
// every caption would otherwise be an empty box with no hint why.
void WarnWithoutChineseFont(Prompter& prompter, QWidget* window, const QString& title, bool fontInstalled);

// Starts the program, or says "打开数据库失败！" and why (titled with the
// school's AppTitle) and returns nullptr.
std::unique_ptr<Program> StartProgram(Prompter& prompter, const std::filesystem::path& programDir,
                                      const std::optional<std::string>& explicitDatabase = std::nullopt);

}  // namespace orv::ui
