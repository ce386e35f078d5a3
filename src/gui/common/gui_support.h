// Small pieces every window shares: text between the core and Qt, the program
// font and the hourglass pointer.
#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace orv::ui {

// The core's texts are UTF-8.
inline QString Q(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }
inline std::string S(const QString& s) { return s.toStdString(); }

// Maps "宋体" (and "黑体") to installed CJK fonts and makes 宋体 the program font.
void ApplyProgramFont();

// The hourglass pointer for as long as the object lives.
class WaitCursor {
 public:
  WaitCursor();
  ~WaitCursor();
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;
};

}  // namespace orv::ui
