// SPDX-License-Identifier: GPL-3.0-or-later
// orvandel: the desktop timetable program. An optional single argument is a
// database file to open instead of the configured one (the desktop's "open
// with"); it changes no setting. `orvandel --self-check` starts without a
// window and reports the files in use (see self_check.h); --help and
// --version print and exit.
#include <QApplication>
#include <QCommandLineParser>
#include <QCoreApplication>
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

namespace {

struct StartRequest {
  bool selfCheck = false;
  std::optional<std::string> database;
};

// Read before any window exists, under a core application, so that --help
// and --version work where there is no display at all.
StartRequest ReadCommandLine(int argc, char** argv) {
  QCoreApplication core(argc, argv);
  QCoreApplication::setApplicationName("orvandel");
  QCoreApplication::setApplicationVersion(ORVANDEL_VERSION);
  QCommandLineParser parser;
  parser.setApplicationDescription("Orvandel 排课软件：中小学课程表的编排、调整、打印和发布");
  parser.addHelpOption();
  parser.addVersionOption();
  const QCommandLineOption selfCheck(QString(orv::ui::kSelfCheckOption).mid(2),
                                     "不打开窗口，报告所用的设置文件、数据库和手册");
  parser.addOption(selfCheck);
  parser.addPositionalArgument("数据库", "要打开的课表数据库文件（默认为设置文件中的数据库）", "[数据库]");
  // QApplication takes its own options (-platform offscreen, -style …) later;
  // they are no database and no unknown option here.
  QStringList args = QCoreApplication::arguments();
  static const QStringList kQtValued = {"platform",     "style",       "stylesheet", "qwindowgeometry",
                                        "qwindowtitle", "qwindowicon", "display",    "geometry",
                                        "plugin",       "session"};
  for (qsizetype i = 1; i < args.size();) {
    const QString name = args.at(i).startsWith("--") ? args.at(i).mid(2) : args.at(i).mid(1);
    if (args.at(i).startsWith('-') && kQtValued.contains(name) && i + 1 < args.size())
      args.remove(i, 2);
    else if (args.at(i) == "-reverse" || args.at(i) == "-widgetcount")
      args.remove(i);
    else
      ++i;
  }
  parser.process(args);  // prints and exits for --help, --version and an unknown option
  StartRequest request;
  request.selfCheck = parser.isSet(selfCheck);
  if (!parser.positionalArguments().isEmpty())
    request.database = parser.positionalArguments().front().toStdString();
  return request;
}

}  // namespace

int main(int argc, char** argv) {
  const StartRequest request = ReadCommandLine(argc, argv);
  QApplication app(argc, argv);
  QApplication::setApplicationName("orvandel");
  QApplication::setDesktopFileName("orvandel");
  QApplication::setWindowIcon(QIcon(orv::ui::DrawEmblem(64)));
  orv::ui::ApplyProgramFont();
  const std::unique_ptr<QTranslator> qtTexts = orv::ui::LoadQtTranslations();
  if (qtTexts) QCoreApplication::installTranslator(qtTexts.get());

  const std::filesystem::path programDir = orv::ResolveProgramDirectory(orv::ExecutableDirectory());
  if (request.selfCheck) return orv::ui::RunSelfCheck(programDir, std::cout, std::cerr);
  const std::optional<std::string> explicitDatabase = request.database;

  orv::ui::QtPrompter prompter;
  auto program = orv::ui::StartProgram(prompter, programDir, explicitDatabase);
  if (!program) return 1;
  program->window->show();
  return QApplication::exec();
}
