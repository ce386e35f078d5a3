// SPDX-License-Identifier: GPL-3.0-or-later
// What every window is built with: the program-wide state and the prompter.
// Windows never reach for globals, so tests can hand them a temporary database
// and a scripted prompter.
#pragma once

#include "core/session/startup.h"
#include "gui/common/prompter.h"

namespace orv::ui {

struct UiContext {
  AppState& state;  // TimetableDb, AppTitle, LessonsPerDay, program directory
  Prompter& prompter;
};

}  // namespace orv::ui
