#include "gui/shell/shell_support.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFont>
#include <QSettings>

#include "core/settings/program_dir.h"
#include "core/settings/settings.h"
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

std::optional<fs::path> FindProgramFile(const fs::path& programDir, const fs::path& relative,
                                        const fs::path& exeDir) {
  return orv::FindProgramFile(programDir, relative, exeDir);
}

std::optional<fs::path> FindManual(const fs::path& programDir) {
  return FindProgramFile(programDir, kManualFile);
}

namespace {
QString ReadWebSetting(const fs::path& programDir, const char* key, const char* fallback) {
  const QSettings ini(QString::fromStdString((programDir / kSettingsFileName).string()),
                      QSettings::IniFormat);
  const QString value = ini.value(QString("WEB/") + key).toString().trimmed();
  return value.isEmpty() ? QString(fallback) : value;
}
}  // namespace

QString WebsiteAddress(const fs::path& programDir) {
  return ReadWebSetting(programDir, "SITE", kDefaultWebsite);
}
QString ForumAddress(const fs::path& programDir) {
  return ReadWebSetting(programDir, "FORUM", kDefaultForum);
}

void OpenDocument(const QUrl& url) { QDesktopServices::openUrl(url); }

WaitCursor::WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
WaitCursor::~WaitCursor() { QApplication::restoreOverrideCursor(); }

}  // namespace orv::ui
