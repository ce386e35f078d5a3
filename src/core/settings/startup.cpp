#include "core/settings/startup.h"

namespace fs = std::filesystem;

namespace orv {

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
  return Outcome::Ok();
}

void CloseTimetableDb(AppState& state) { state.db.reset(); }

Outcome TrimLessonsBeyondDay(TimetableDb& db, int lessonsPerDay) {
  try {
    db.Execute("Delete from LessonListtb where LessonNo>?", lessonsPerDay);
    return Outcome::Ok();
  } catch (const std::exception& e) {
    return Outcome::Fail("删除多余课时的课失败：" + DatabaseErrorText(e));
  }
}

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

  state.lessonsPerDay = settings.GetLessonsPerDay();
  // A failed trim leaves lessons the windows do not show; start-up goes on.
  (void)TrimLessonsBeyondDay(*state.db, state.lessonsPerDay);
  started.windowTitle = GetWindowTitle(state.appTitle, state.databasePath);
  return started;
}

}  // namespace orv
