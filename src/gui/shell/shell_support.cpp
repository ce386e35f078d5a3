#include "gui/shell/shell_support.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFont>

#include "printing/print_fonts.h"

namespace fs = std::filesystem;

namespace orv::ui {

void ApplyProgramFont() {
  InstallFontSubstitutions();
  QFont font("宋体", 10);
  font.setStyleHint(QFont::Serif);
  QApplication::setFont(font);
}

std::optional<fs::path> FindProgramFile(const fs::path& programDir, const fs::path& relative) {
  return FindProgramFile(programDir, relative, ExecutableDirectory());
}

std::optional<fs::path> FindManual(const fs::path& programDir) {
  return FindProgramFile(programDir, kManualFile);
}

void OpenDocument(const QUrl& url) { QDesktopServices::openUrl(url); }

WaitCursor::WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
WaitCursor::~WaitCursor() { QApplication::restoreOverrideCursor(); }

}  // namespace orv::ui
