// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/session/startup.h"

#include "core/database/lessons_per_day.h"

namespace fs = std::filesystem;

namespace orv {

namespace {

// A database without a record of its own gets one now, so that it keeps its
// meaning on a computer with another setting. Failing to record or to bring
// kbxt.ini in step costs nothing stored: the next open computes the same.
void TakeLessonsPerDay(AppState& state) {
  const Settings settings = state.settings();
  const int setting = settings.GetLessonsPerDay();
  const Result<int> lessons = DatabaseLessonsPerDay(*state.db, setting);
  state.week = SchoolWeek(lessons ? *lessons : setting);
  if (lessons && StoredLessonsPerDay(*state.db).value_or(std::nullopt) != *lessons)
    (void)RecordLessonsPerDay(*state.db, state.week.lessonsPerDay);
  if (setting != state.week.lessonsPerDay) (void)settings.SetLessonsPerDay(state.week.lessonsPerDay);
}

}  // namespace

Outcome OpenTimetableDb(AppState& state, const std::string& path) {
  // The open file is locked against every other connection, ours included:
  // choosing it again simply keeps it.
  std::error_code ec;
  if (state.db && fs::equivalent(path, state.db->Path(), ec)) {
    state.databasePath = path;
    return Outcome::Ok();
  }
  Result<std::unique_ptr<TimetableDb>> db = TimetableDb::Open(path);
  if (!db) return db.outcome();
  state.db = std::move(db).value();
  state.databasePath = path;
  TakeLessonsPerDay(state);
  return Outcome::Ok();
}

void CloseTimetableDb(AppState& state) { state.db.reset(); }

Result<StartedProgram> StartUp(const fs::path& programDir,
                               const std::optional<std::string>& explicitDatabase) {
  StartedProgram started;
  AppState& state = started.state;
  state.programDir = programDir;
  const Settings settings(programDir);
  state.appTitle = AppTitle(settings.GetSchoolName());

  if (explicitDatabase) {
    if (Outcome opened = OpenTimetableDb(state, *explicitDatabase); !opened) return opened;
  } else {
    const std::string configured = settings.GetDatabasePath();
    if (!OpenTimetableDb(state, configured)) {
      const std::string fallback = settings.DefaultDatabasePath();
      std::error_code ec;
      if (!fs::exists(configured, ec) && !fs::exists(fallback, ec)) {
        if (Outcome created = TimetableDb::Create(fallback); !created) return created;
      }
      if (Outcome opened = OpenTimetableDb(state, fallback); !opened) return opened;
      // Remember the file that did open, unless it was the configured one.
      // A settings file that cannot be written only costs the next start
      // the same fallback.
      if (fallback != configured) (void)settings.SetDatabasePath(fallback);
    }
  }

  started.windowTitle = GetWindowTitle(state.appTitle, state.databasePath);
  return started;
}

}  // namespace orv
