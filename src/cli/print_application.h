// SPDX-License-Identifier: GPL-3.0-or-later
// The Qt application object the print library needs, for the commands that
// print to a PDF file (desktop build only).
#pragma once

#include <QGuiApplication>
#include <iostream>
#include <optional>

#include "printing/print_fonts.h"

namespace orv::cli {

// The toolkit's own warnings (no runtime directory, no window system) mean
// nothing to someone printing to a file; its errors still show.
inline void QuietQtMessages(QtMsgType type, const QMessageLogContext&, const QString& message) {
  if (type == QtCriticalMsg || type == QtFatalMsg) std::cerr << message.toStdString() << "\n";
}

// The print library needs Qt's application object; printing to a file needs
// no window system.
class PrintApplication {
 public:
  PrintApplication() {
    qInstallMessageHandler(QuietQtMessages);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    app_.emplace(argc_, argv_);
  }

 private:
  int argc_ = 1;  // Qt keeps a reference to it
  char arg0_[13] = "orvandel-cli";
  char* argv_[2] = {arg0_, nullptr};
  std::optional<QGuiApplication> app_;
};

}  // namespace orv::cli
