// Small pieces the windows share: text between the core and Qt, the program
// font, the files that ship beside the program, opening documents and the
// hourglass pointer.
#pragma once

#include <QString>
#include <QUrl>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "core/settings/program_dir.h"

namespace orv::ui {

struct UiContext;

// The core's texts are UTF-8.
inline QString Q(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }
inline std::string S(const QString& s) { return s.toStdString(); }

// Maps "宋体" (and "黑体") to installed CJK fonts and makes 宋体 the program font.
void ApplyProgramFont();

// A file shipped with the program (see the core's FindProgramFile); the
// windows' form searches beside the running program.
using orv::FindProgramFile;
std::optional<std::filesystem::path> FindProgramFile(const std::filesystem::path& programDir,
                                                     const std::filesystem::path& relative);

// The user manual, relative to the directories FindProgramFile searches.
inline constexpr const char* kManualFile = "使用手册/使用手册.html";
std::optional<std::filesystem::path> FindManual(const std::filesystem::path& programDir);

// Hands the address to the desktop (browser, HTML viewer); does not wait.
void OpenDocument(const QUrl& url);

// The hourglass pointer for as long as the object lives.
class WaitCursor {
 public:
  WaitCursor();
  ~WaitCursor();
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;
};

}  // namespace orv::ui
