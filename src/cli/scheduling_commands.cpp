// generate and check.
#include "cli/commands.h"

namespace orv::cli {

void AddSchedulingCommands(CLI::App& app, Context& ctx) {}

}  // namespace orv::cli
