// SPDX-License-Identifier: GPL-3.0-or-later
// The subcommands of orvandel-cli. Each Add* registers its commands; the
// callback stores the exit status (below).
#pragma once

#include <CLI/CLI.hpp>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "core/database/timetable_db.h"
#include "core/outcome.h"

namespace orv::cli {

// Exit statuses. check and analyze tell "problems found" (1) from "could not
// look" (3), so a script never takes an unreadable or busy database for a
// timetable with violations.
inline constexpr int kExitDone = 0;
inline constexpr int kExitFailed = 1;  // refused or failed; check and analyze: problems found
inline constexpr int kExitUsage = 2;
inline constexpr int kExitCouldNotRun = 3;  // check and analyze only

struct Context {
  int exitCode = 0;
  std::string programDir;  // where kbxt.ini is read; empty means the default
  std::filesystem::path ProgramDir() const;
  // The option when given, else the database's own lessons per day (for a
  // file that records none: the larger of kbxt.ini's and its highest lesson).
  int LessonsPerDay(const std::optional<int>& option, TimetableDb& db) const;
};

// --lessons-per-day, limited to what a week can have; Context::LessonsPerDay
// reads it.
void AddLessonsOption(CLI::App* command, std::optional<int>& lessons);

inline constexpr const char* kInvalidTextWarning =
    "警告：数据库中有文字不是有效的UTF-8编码，无法识别的字节已替换为“\uFFFD”";

// Opens the database exclusively (read-only: shared with other readers, see
// TimetableDb::Open), or says on stderr why not. Text that is not valid UTF-8
// is reported once on stderr when first read.
std::unique_ptr<TimetableDb> OpenOrReport(const std::string& path, DbAccess access = DbAccess::kReadWrite);
int Fail(const std::string& message);
// The headline, then the reason the core gave.
int Fail(std::string_view headline, const Outcome& why);

// The optimizer as `optimize` runs it, and at the end of `generate
// --complete` and `complete` unless skipped.
struct OptimizeArgs {
  std::optional<std::uint64_t> seed;
  double timeLimit = 2.0;
  bool skip = false;
};
// --optimize-time-limit and --no-optimize.
void AddOptimizeOptions(CLI::App* command, OptimizeArgs& args);
// Improves the open database's timetable and prints the score before and
// after; 0, or kExitFailed with the reason on stderr.
int Optimize(TimetableDb& db, int lessonsPerDay, const OptimizeArgs& args);

void AddDatabaseCommands(CLI::App& app, Context& ctx);
void AddSchedulingCommands(CLI::App& app, Context& ctx);
void AddOutputCommands(CLI::App& app, Context& ctx);
void AddRulesCommands(CLI::App& app, Context& ctx);
void AddQualityCommands(CLI::App& app, Context& ctx);
void AddExchangeCommands(CLI::App& app, Context& ctx);
void AddPublishCommands(CLI::App& app, Context& ctx);
void AddCalendarCommands(CLI::App& app, Context& ctx);
void AddNoticeCommands(CLI::App& app, Context& ctx);

}  // namespace orv::cli
