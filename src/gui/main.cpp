// orvandel: the desktop timetable program. An optional single argument is a
// database file to open instead of the configured one (the desktop's "open
// with"); it changes no setting. `orvandel --self-check` starts without a
// window and reports the files in use (see self_check.h).
#include <QApplication>
#include <QIcon>
#include <iostream>
#include <optional>
#include <string>

#include "core/session/program_dir.h"
#include "gui/common/gui_support.h"
#include "gui/common/prompter.h"
#include "gui/shell/home_picture.h"
#include "gui/shell/program_start.h"
#include "gui/shell/self_check.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName("orvandel");
  QApplication::setDesktopFileName("orvandel");
  QApplication::setWindowIcon(QIcon(orv::ui::DrawEmblem(64)));
  orv::ui::ApplyProgramFont();

  const std::filesystem::path programDir = orv::ResolveProgramDirectory(orv::ExecutableDirectory());
  std::optional<std::string> explicitDatabase;
  const QStringList args = QApplication::arguments();
  if (args.size() > 1 && args.at(1) == orv::ui::kSelfCheckOption)
    return orv::ui::RunSelfCheck(programDir, std::cout, std::cerr);
  if (args.size() > 1) explicitDatabase = args.at(1).toStdString();

  orv::ui::QtPrompter prompter;
  auto program = orv::ui::StartProgram(prompter, programDir, explicitDatabase);
  if (!program) return 1;
  program->window->show();
  return QApplication::exec();
}
