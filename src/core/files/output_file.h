// SPDX-License-Identifier: GPL-3.0-or-later
// A file written for the user (a workbook, a PDF, a database copy, the
// settings file). The target is at every moment either the file that was
// there before or the complete new one: the content goes to a hidden file
// beside it, created exclusively, which is flushed to disk and renamed over
// the target only when the writer says it is complete.
//
// The hidden file is named .<target name>.orvandel-XXXXXX (the target name
// shortened when the whole would be longer than a file name may be). A run
// that is killed leaves it behind; the next OutputFile for the same target
// removes it. While a run is alive it holds a lock on its hidden file, so
// the hidden file of a run still writing is never taken for a leftover.
#pragma once

#include <sys/types.h>

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

#include "core/outcome.h"

namespace orv {

class OutputFile {
 public:
  OutputFile() = default;
  ~OutputFile();  // without Commit the hidden file is removed
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  // Removes this target's leftovers, then creates the hidden file (empty,
  // mode 0600 until Commit). Fails with a message naming the target when the
  // folder does not exist or cannot be written.
  Outcome Begin(const std::filesystem::path& target);

  // Where a writer that takes a file name writes (it may reopen and truncate
  // the file, as a PDF or spreadsheet library does).
  const std::filesystem::path& TempPath() const { return temp_; }
  const std::filesystem::path& Target() const { return target_; }

  // Appends through the descriptor Begin opened.
  Outcome Write(std::string_view bytes);

  // Gives the file the mode a newly created file would have, flushes it to
  // disk, renames it over the target and flushes the folder. Refuses when
  // something else has been put in the hidden file's place meanwhile.
  Outcome Commit();

 private:
  void Discard();

  std::filesystem::path target_;
  std::filesystem::path temp_;
  int fd_ = -1;
  dev_t dev_ = 0;
  ino_t ino_ = 0;
};

// The hidden file's name for a target name: the pattern of the header, no
// longer than NAME_MAX bytes. `suffix` is the six characters that make it unique.
std::string HiddenOutputName(std::string_view targetName, std::string_view suffix);

// The common case: `write` fills the hidden file by its name, and the result
// is committed when it succeeds.
Outcome WriteOutputFile(const std::filesystem::path& target,
                        const std::function<Outcome(const std::filesystem::path& temp)>& write);

// Why a file operation failed, for a message: "没有写入权限" for EACCES …
std::string FileErrorText(int error);

// True when anything, a dangling symbolic link included, has the name.
bool PathIsTaken(const std::filesystem::path& path);

}  // namespace orv
