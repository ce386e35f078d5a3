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

// The path comes from ORVANDEL_CLI, which the test registration sets.
CliRun RunCli(const std::vector<std::string>& args);

}  // namespace orv::test
