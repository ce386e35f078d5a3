// SPDX-License-Identifier: GPL-3.0-or-later
// Small pieces every window shares: text between the core and Qt, the program
// font and the hourglass pointer.
#pragma once

#include <QString>
#include <QTranslator>
#include <memory>
#include <string>
#include <string_view>

namespace orv::ui {

// The core's texts are UTF-8.
inline QString Q(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }
inline std::string S(const QString& s) { return s.toStdString(); }

// Maps "宋体" (and "黑体") to installed CJK fonts and makes 宋体 the program font.
void ApplyProgramFont();

// Qt's own Chinese texts (是/否 buttons, the file and print dialogs), so the
// standard dialogs speak the language of the rest of the program; nullptr
// when Qt's translations are not installed. The caller installs it and keeps
// it for as long as it is installed.
std::unique_ptr<QTranslator> LoadQtTranslations();

// The hourglass pointer for as long as the object lives.
class WaitCursor {
 public:
  WaitCursor();
  ~WaitCursor();
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;
};

}  // namespace orv::ui
