// Small pieces the shell windows share: the program font, the files that
// ship beside the program, opening documents and the hourglass pointer.
#pragma once

#include <QString>
#include <QUrl>
#include <filesystem>
#include <optional>

namespace orv::ui {

struct UiContext;

// Maps "宋体" to an installed CJK serif font and makes it the program font.
void ApplyProgramFont();

// A file shipped with the program, looked up in the program directory, beside
// the executable and in the installed data directory (../share/orvandel).
// The program directory wins, so an installation can replace a shipped file.
std::optional<std::filesystem::path> FindProgramFile(const std::filesystem::path& programDir,
                                                     const std::filesystem::path& relative,
                                                     const std::filesystem::path& executableDir);
std::optional<std::filesystem::path> FindProgramFile(const std::filesystem::path& programDir,
                                                     const std::filesystem::path& relative);

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
