#include "gui/shell/program_start.h"

#include "gui/common/gui_support.h"

namespace orv::ui {

std::unique_ptr<Program> StartProgram(Prompter& prompter, const std::filesystem::path& programDir,
                                      const std::optional<std::string>& explicitDatabase) {
  Result<StartedProgram> started = StartUp(programDir, explicitDatabase);
  if (!started) {
    const std::string title = AppTitle(Settings(programDir).GetSchoolName());
    prompter.Message(nullptr, MessageIcon::Critical, Q(title),
                     FailureText(Q(kOpenDatabaseFailed), started.outcome()));
    return nullptr;
  }
  auto program = std::make_unique<Program>(Program{std::move(started->state), nullptr, nullptr});
  program->ctx = std::make_unique<UiContext>(UiContext{program->state, prompter});
  program->window = std::make_unique<FrmMain>(*program->ctx);
  const std::string caption =
      started->windowTitle.empty() ? std::string(kFallbackWindowTitle) : started->windowTitle;
  program->window->setWindowTitle(Q(caption));
  return program;
}

}  // namespace orv::ui
