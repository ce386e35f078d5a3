// SPDX-License-Identifier: GPL-3.0-or-later
// Runs orvandel-cli as a separate process and captures what it printed.
#pragma once

#include <cstdlib>
#include <string>
#include <vector>

#include "support/process.h"

namespace orv::test {

using CliRun = ProcessRun;

// The tool built beside the tests, or the one named by ORVANDEL_CLI.
inline CliRun RunCli(const std::vector<std::string>& args) {
  const char* cli = std::getenv("ORVANDEL_CLI");
  return RunProcess(cli && *cli ? cli : ORVANDEL_CLI_PATH, args);
}

// The last line of what a command printed.
inline std::string LastLine(std::string text) {
  while (!text.empty() && text.back() == '\n') text.pop_back();
  return text.substr(text.rfind('\n') + 1);
}

}  // namespace orv::test
