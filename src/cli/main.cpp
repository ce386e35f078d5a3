// SPDX-License-Identifier: GPL-3.0-or-later
// orvandel-cli: the command-line companion of the timetable program.
#include <CLI/CLI.hpp>

#include <iostream>

#include "cli/commands.h"

int main(int argc, char** argv) {
  CLI::App app{"Orvandel 排课软件 command-line companion"};
  app.require_subcommand(1);
  app.set_help_all_flag("--help-all", "Show help for every command");
  app.set_version_flag("--version", "orvandel-cli " ORVANDEL_VERSION);
  // The toolkit's own words name the option or value at fault; the frame
  // around them is in the language of every other message.
  app.failure_message([](const CLI::App*, const CLI::Error& e) {
    return std::string("命令行有误：") + e.what() +
           "\n用 orvandel-cli --help 或 orvandel-cli 命令 --help 查看用法。\n";
  });
  orv::cli::Context ctx;
  app.add_option("--program-dir", ctx.programDir,
                 "Directory holding kbxt.ini (default: the program directory)");
  orv::cli::AddDatabaseCommands(app, ctx);
  orv::cli::AddSchedulingCommands(app, ctx);
  orv::cli::AddQualityCommands(app, ctx);
  orv::cli::AddOutputCommands(app, ctx);
  orv::cli::AddRulesCommands(app, ctx);
  orv::cli::AddExchangeCommands(app, ctx);
  orv::cli::AddPublishCommands(app, ctx);
  orv::cli::AddCalendarCommands(app, ctx);
  orv::cli::AddNoticeCommands(app, ctx);
  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp& e) {
    return app.exit(e);
  } catch (const CLI::CallForAllHelp& e) {
    return app.exit(e);
  } catch (const CLI::CallForVersion& e) {
    return app.exit(e);
  } catch (const CLI::ParseError& e) {
    app.exit(e);
    return orv::cli::kExitUsage;
  }
  return ctx.exitCode;
}
