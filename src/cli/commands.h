// The subcommands of orvandel-cli. Each Add* registers its commands; the
// callback stores the exit code: 0 done, 1 refused or failed, 2 bad usage.
#pragma once

#include <CLI/CLI.hpp>

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "core/database/timetable_db.h"
#include "core/outcome.h"

namespace orv::cli {

struct Context {
  int exitCode = 0;
  std::string programDir;  // where kbxt.ini is read; empty means the default
  std::filesystem::path ProgramDir() const;
  // The option when given, else LESSON_OF_DAY of kbxt.ini (6 when unset).
  int LessonsPerDay(const std::optional<int>& option) const;
};

// --lessons-per-day, limited to what a week can have; Context::LessonsPerDay
// reads it.
void AddLessonsOption(CLI::App* command, std::optional<int>& lessons);

inline constexpr const char* kInvalidTextWarning =
    "警告：数据库中有文字不是有效的UTF-8编码，无法识别的字节已替换为“\uFFFD”";

// Opens the database exclusively, or says on stderr why not. Text that is
// not valid UTF-8 is reported once on stderr when first read.
std::unique_ptr<TimetableDb> OpenOrReport(const std::string& path);
int Fail(const std::string& message);
// The headline, then the reason the core gave.
int Fail(std::string_view headline, const Outcome& why);

void AddDatabaseCommands(CLI::App& app, Context& ctx);
void AddSchedulingCommands(CLI::App& app, Context& ctx);
void AddOutputCommands(CLI::App& app, Context& ctx);

}  // namespace orv::cli
