// Runs orvandel-cli as a separate process and captures what it printed.
#pragma once

#include <string>
#include <vector>

namespace orv::test {

struct CliRun {
  int exitCode = -1;
  std::string out;
  std::string err;
};

// The tool built beside the tests, or the one named by ORVANDEL_CLI.
CliRun RunCli(const std::vector<std::string>& args);

}  // namespace orv::test
