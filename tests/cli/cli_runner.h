// Runs orvandel-cli as a separate process and captures what it printed.
#pragma once

#include <string>
#include <vector>

#include "support/process.h"

namespace orv::test {

using CliRun = ProcessRun;

// The tool built beside the tests, or the one named by ORVANDEL_CLI.
CliRun RunCli(const std::vector<std::string>& args);

}  // namespace orv::test
