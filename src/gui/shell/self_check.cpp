// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/shell/self_check.h"

#include <ostream>

#include "gui/common/prompter.h"
#include "gui/shell/program_start.h"
#include "gui/shell/shell_support.h"

namespace fs = std::filesystem;

namespace orv::ui {
namespace {

// Nobody is there to answer: messages go to the given error stream,
// questions are answered No (quietly) and dialogs cancelled.
class ReportingPrompter : public PrintingPrompter {
 public:
  explicit ReportingPrompter(std::ostream& err) : err_(err) {}

  void Message(QWidget*, MessageIcon, const QString& title, const QString& text) override {
    err_ << title.toStdString() << "：" << text.toStdString() << '\n';
  }
  bool AskYesNo(QWidget*, const QString&, const QString&) override { return false; }

 private:
  std::ostream& err_;
};

}  // namespace

int RunSelfCheck(const fs::path& programDir, std::ostream& out, std::ostream& err) {
  ReportingPrompter prompter(err);
  const std::unique_ptr<Program> program = StartProgram(prompter, programDir);
  if (!program) return 1;
  out << "程序目录：" << programDir.string() << '\n'
      << "设置文件：" << program->state.settings().IniPath().string() << '\n'
      << "数据库：" << program->state.databasePath << '\n';
  const std::optional<fs::path> manual = FindManual(programDir);
  if (!manual) {
    err << "找不到使用手册文件：" << (programDir / kManualFile).string() << '\n';
    return 1;
  }
  out << "使用手册：" << manual->string() << '\n';
  return 0;
}

}  // namespace orv::ui
