// SPDX-License-Identifier: GPL-3.0-or-later
#include <iostream>

#include "cli/commands.h"
#include "core/database/lessons_per_day.h"
#include "core/session/program_dir.h"
#include "core/session/startup.h"
#include "core/settings/settings.h"

namespace orv::cli {

std::filesystem::path Context::ProgramDir() const {
  if (!programDir.empty()) return programDir;
  return ResolveProgramDirectory(ExecutableDirectory());
}

int Context::LessonsPerDay(const std::optional<int>& option, TimetableDb& db) const {
  if (option) return *option;
  const int setting = Settings(ProgramDir()).GetLessonsPerDay();
  const Result<int> own = DatabaseLessonsPerDay(db, setting);
  return own ? *own : setting;
}

void AddLessonsOption(CLI::App* command, std::optional<int>& lessons) {
  command->add_option("--lessons-per-day", lessons, "Lessons per day (default: the database's own)")
      ->check(CLI::IsMember({6, 7}));
}

std::unique_ptr<TimetableDb> OpenOrReport(const std::string& path, DbAccess access) {
  Result<std::unique_ptr<TimetableDb>> db = TimetableDb::Open(path, access);
  if (!db) {
    std::cerr << kOpenDatabaseFailed << " " << path << ": " << db.message() << "\n";
    return nullptr;
  }
  std::unique_ptr<TimetableDb> opened = std::move(db).value();
  // Once per run: the command goes on with the replaced characters, and the
  // user learns why some names show "\uFFFD".
  opened->OnInvalidText([] { std::cerr << kInvalidTextWarning << "\n"; });
  return opened;
}

int Fail(std::string_view headline, const Outcome& why) {
  return Fail(std::string(headline) + (why.message().empty() ? "" : " " + why.message()));
}

int Fail(const std::string& message) {
  std::cerr << message << "\n";
  return kExitFailed;
}

}  // namespace orv::cli
