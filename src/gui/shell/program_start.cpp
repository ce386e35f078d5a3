// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/shell/program_start.h"

#include <QCoreApplication>

#include "gui/common/gui_support.h"
#include "printing/print_fonts.h"

namespace orv::ui {

void WarnWithoutChineseFont(Prompter& prompter, QWidget* window, const QString& title, bool fontInstalled) {
  if (fontInstalled) return;
  // The Chinese lines are boxes too on such a system, so the packages are
  // named in letters that every font draws.
  prompter.Message(
      window, MessageIcon::Warning, title,
      QStringLiteral(
          "没有找到中文字体，窗口和打印的课表中的汉字会显示成空白方框。"
          "请安装中文字体（Debian 软件包 fonts-noto-cjk 或 fonts-wqy-zenhei）后重新启动本软件。\n\n"
          "No Chinese font is installed: install the package fonts-noto-cjk "
          "or fonts-wqy-zenhei and start the program again."));
}

std::unique_ptr<Program> StartProgram(Prompter& prompter, const std::filesystem::path& programDir,
                                      const std::optional<std::string>& explicitDatabase) {
  Result<StartedProgram> started = StartUp(programDir, explicitDatabase);
  if (!started) {
    const std::string title = AppTitle(Settings(programDir).GetSchoolName());
    prompter.Message(nullptr, MessageIcon::Critical, Q(title),
                     FailureText(Q(kOpenDatabaseFailed), started.outcome()));
    return nullptr;
  }
  auto program = std::make_unique<Program>(Program{std::move(started->state), nullptr, nullptr, nullptr});
  program->ctx = std::make_unique<UiContext>(UiContext{program->state, prompter});
  program->window = std::make_unique<FrmMain>(*program->ctx);
  const std::string caption =
      started->windowTitle.empty() ? std::string(kFallbackWindowTitle) : started->windowTitle;
  program->window->setWindowTitle(Q(caption));
  program->manners = std::make_unique<WindowManners>(*program->ctx);
  if (QCoreApplication::instance()) QCoreApplication::instance()->installEventFilter(program->manners.get());
  WarnWithoutChineseFont(prompter, program->window.get(), Q(program->state.appTitle), ChineseFontInstalled());
  return program;
}

}  // namespace orv::ui
