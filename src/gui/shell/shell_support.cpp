#include "gui/shell/shell_support.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFont>

#include "core/settings/program_dir.h"

namespace fs = std::filesystem;

namespace orv::ui {

void ApplyProgramFont() {
  QFont::insertSubstitutions("宋体", {"Noto Serif CJK SC", "Noto Serif CJK", "Source Han Serif SC",
                                      "AR PL UMing CN", "Noto Sans CJK SC", "WenQuanYi Zen Hei"});
  QFont font("宋体", 10);
  font.setStyleHint(QFont::Serif);
  QApplication::setFont(font);
}

std::optional<fs::path> FindProgramFile(const fs::path& programDir, const fs::path& relative) {
  return FindProgramFile(programDir, relative, ExecutableDirectory());
}

std::optional<fs::path> FindProgramFile(const fs::path& programDir, const fs::path& relative,
                                        const fs::path& exeDir) {
  std::error_code ec;
  for (const fs::path& dir : {programDir, exeDir, exeDir.parent_path() / "share" / "orvandel"}) {
    if (dir.empty()) continue;
    const fs::path candidate = dir / relative;
    if (fs::is_regular_file(candidate, ec)) return candidate;
  }
  return std::nullopt;
}

void OpenDocument(const QUrl& url) { QDesktopServices::openUrl(url); }

WaitCursor::WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
WaitCursor::~WaitCursor() { QApplication::restoreOverrideCursor(); }

}  // namespace orv::ui
