#include "cli/cli_runner.h"

#include <cstdlib>

namespace orv::test {

CliRun RunCli(const std::vector<std::string>& args) {
  // ORVANDEL_CLI may point the tests at another build of the tool.
  const char* cli = std::getenv("ORVANDEL_CLI");
  if (cli == nullptr || *cli == '\0') cli = ORVANDEL_CLI_PATH;
  return RunProcess(cli, args);
}

}  // namespace orv::test
