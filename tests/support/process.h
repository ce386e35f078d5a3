// SPDX-License-Identifier: GPL-3.0-or-later
// Runs a program as a separate process and captures what it printed.
#pragma once

#include <map>
#include <string>
#include <vector>

namespace orv::test {

struct ProcessRun {
  int exitCode = -1;  // -1 when the process did not exit normally
  std::string out;
  std::string err;
};

// `environment`: variables set for the process on top of ours; an empty
// value removes the variable.
ProcessRun RunProcess(const std::string& program, const std::vector<std::string>& args,
                      const std::map<std::string, std::string>& environment = {});

}  // namespace orv::test
