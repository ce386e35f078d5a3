#include "core/settings/startup.h"

namespace fs = std::filesystem;

namespace orv {

bool OpenTimetableDb(AppState& state, const std::string& path) {
  // The open file is locked against every other connection, ours included:
  // choosing it again simply keeps it.
  std::error_code ec;
  if (state.db && fs::equivalent(path, state.db->Path(), ec)) {
    state.databasePath = path;
    return true;
  }
  std::unique_ptr<TimetableDb> db = TimetableDb::Open(path);
  if (!db) return false;
  state.db = std::move(db);
  state.databasePath = path;
  return true;
}

void CloseTimetableDb(AppState& state) { state.db.reset(); }

bool TrimLessonsBeyondDay(TimetableDb& db, int lessonsPerDay) {
  try {
    db.Execute("Delete from LessonListtb where LessonNo>?", lessonsPerDay);
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

StartupResult StartUp(const fs::path& programDir, const std::optional<std::string>& explicitDatabase) {
  StartupResult result;
  AppState state;
  state.programDir = programDir;
  const Settings settings(programDir);
  state.appTitle = AppTitle(settings.GetSchoolName());

  if (explicitDatabase) {
    if (!OpenTimetableDb(state, *explicitDatabase)) {
      result.error = kOpenDatabaseFailed;
      return result;
    }
  } else {
    const std::string configured = settings.GetDatabasePath();
    if (!OpenTimetableDb(state, configured)) {
      const std::string fallback = settings.DefaultDatabasePath();
      std::error_code ec;
      if (!fs::exists(configured, ec) && !fs::exists(fallback, ec)) TimetableDb::Create(fallback);
      if (!OpenTimetableDb(state, fallback)) {
        result.error = kOpenDatabaseFailed;
        return result;
      }
      // Remember the file that did open, unless it was the configured one.
      if (fallback != configured) settings.SetDatabasePath(fallback);
    }
  }

  state.lessonsPerDay = settings.GetLessonsPerDay();
  TrimLessonsBeyondDay(*state.db, state.lessonsPerDay);
  result.windowTitle = GetWindowTitle(state.appTitle, state.databasePath);
  result.state = std::move(state);
  return result;
}

}  // namespace orv
