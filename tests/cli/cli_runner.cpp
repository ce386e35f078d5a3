#include "cli/cli_runner.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>

#include "support/temp_dir.h"

namespace orv::test {

CliRun RunCli(const std::vector<std::string>& args) {
  // ORVANDEL_CLI may point the tests at another build of the tool.
  const char* cli = std::getenv("ORVANDEL_CLI");
  if (cli == nullptr || *cli == '\0') cli = ORVANDEL_CLI_PATH;
  TempDir capture;
  const std::string outPath = (capture / "out").string(), errPath = (capture / "err").string();
  const pid_t pid = fork();
  if (pid == 0) {
    if (!freopen(outPath.c_str(), "w", stdout) || !freopen(errPath.c_str(), "w", stderr)) _exit(127);
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(cli));
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    execv(cli, argv.data());
    _exit(127);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  CliRun run;
  run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  run.out = ReadFile(outPath);
  run.err = ReadFile(errPath);
  return run;
}

}  // namespace orv::test
