// SPDX-License-Identifier: GPL-3.0-or-later
// The program-wide state and the start-up sequence shared by the desktop
// program, the command-line tool and the tests.
#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "core/database/timetable_db.h"
#include "core/domain/week.h"
#include "core/outcome.h"
#include "core/settings/settings.h"

namespace orv {

inline constexpr std::string_view kOpenDatabaseFailed = "打开数据库失败！";
inline constexpr std::string_view kFallbackWindowTitle = "Orvandel排课软件系统";

struct AppState {
  std::filesystem::path programDir;
  std::unique_ptr<TimetableDb> db;  // the one open timetable database
  std::string databasePath;         // as configured or chosen, shown in the caption
  std::string appTitle;             // title of message boxes
  SchoolWeek week;                  // the database's lessons per day

  Settings settings() const { return Settings(programDir); }
};

// Opens the file as the program's database, closing the one open before only
// once the new one is open, and takes its lessons per day: the database's own
// record wins over the setting, which is brought in step. Nothing stored is
// deleted. On failure the old database stays open and the message says why
// the file did not open (shown under kOpenDatabaseFailed).
Outcome OpenTimetableDb(AppState& state, const std::string& path);
void CloseTimetableDb(AppState& state);

struct StartedProgram {
  AppState state;
  std::string windowTitle;  // the main window's caption
};

// Reads the settings, opens the configured database (falling back to the
// default one and remembering it) and takes its lessons per day. A new installation, where neither database
// exists, gets an empty default database. `explicitDatabase` (the desktop's "open with") is opened instead of
// the configured file and changes no setting. On failure the message says why the database did not open.
Result<StartedProgram> StartUp(const std::filesystem::path& programDir,
                               const std::optional<std::string>& explicitDatabase = std::nullopt);

}  // namespace orv
