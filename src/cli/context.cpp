#include <iostream>

#include "cli/commands.h"
#include "core/settings/program_dir.h"
#include "core/settings/settings.h"

namespace orv::cli {

std::filesystem::path Context::ProgramDir() const {
  if (!programDir.empty()) return programDir;
  return ResolveProgramDirectory(ExecutableDirectory());
}

int Context::LessonsPerDay(const std::optional<int>& option) const {
  if (option) return *option;
  return Settings(ProgramDir()).GetLessonsPerDay();
}

std::unique_ptr<TimetableDb> OpenOrReport(const std::string& path) {
  std::string why;
  auto db = TimetableDb::Open(path, &why);
  if (!db) std::cerr << "打开数据库失败！ " << path << ": " << why << "\n";
  return db;
}

int Fail(const std::string& message) {
  std::cerr << message << "\n";
  return 1;
}

}  // namespace orv::cli
