// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/settings/settings.h"

#include <fcntl.h>
#include <unistd.h>

// UTF-8 passes through untouched; no converter library is needed.
#define SI_NO_CONVERSION
#define SI_IMPLEMENTATION
#include <SimpleIni.h>

#include <cctype>
#include <charconv>
#include <cstdlib>
#include <fstream>
#include <system_error>

namespace fs = std::filesystem;

namespace orv {

namespace {

std::string Trim(std::string_view s) {
  const auto first = s.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  const auto last = s.find_last_not_of(' ');
  return std::string(s.substr(first, last - first + 1));
}

// Cuts a UTF-8 text after `limit` characters without splitting a character.
std::string LimitCharacters(const std::string& s, size_t limit) {
  size_t chars = 0;
  for (size_t i = 0; i < s.size(); ++i) {
    if ((static_cast<unsigned char>(s[i]) & 0xC0) != 0x80) {
      if (chars == limit) return s.substr(0, i);
      ++chars;
    }
  }
  return s;
}

}  // namespace

int ParseLessonsPerDay(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  long long value = 0;
  while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])) && value < 1000)
    value = value * 10 + (text[i++] - '0');
  if (negative) value = -value;
  if (value > 7) return 7;
  return value == 7 ? 7 : 6;
}

Settings::Settings(fs::path programDir) : programDir_(std::move(programDir)) {}

std::string Settings::DefaultDatabasePath() const { return (programDir_ / kDefaultDatabaseName).string(); }

std::string Settings::Read(const char* section, const char* key) const {
  CSimpleIniA ini;
  ini.SetUnicode(true);
  ini.SetSpaces(false);
  if (ini.LoadFile(IniPath().c_str()) < 0) return {};
  return Trim(ini.GetValue(section, key, ""));
}

Outcome Settings::Write(const char* section, const char* key, const std::string& value) const {
  CSimpleIniA ini;
  ini.SetUnicode(true);
  ini.SetSpaces(false);
  std::error_code ec;
  if (fs::exists(IniPath(), ec) && ini.LoadFile(IniPath().c_str()) < 0)
    return Outcome::Fail("无法读取设置文件：" + IniPath().string());
  const Outcome notWritten = Outcome::Fail("无法写入设置文件：" + IniPath().string());
  std::string text;
  if (ini.SetValue(section, key, value.c_str()) < 0 || ini.Save(text) < 0) return notWritten;
  // Written beside and renamed over, so a failed write never leaves a
  // truncated settings file behind. The name beside is fixed, so whatever
  // stands there is unlinked first (a planted link goes, never what it points
  // to) and the file is created anew, refusing to follow a link.
  const fs::path tmp = IniPath().string() + ".tmp";
  ::unlink(tmp.c_str());
  const int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
  if (fd < 0) return notWritten;
  bool written = true;
  for (size_t done = 0; written && done < text.size();) {
    const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
    written = n > 0;
    if (written) done += static_cast<size_t>(n);
  }
  written = ::fsync(fd) == 0 && written;
  written = ::close(fd) == 0 && written;
  if (written) fs::rename(tmp, IniPath(), ec);
  if (!written || ec) {
    fs::remove(tmp, ec);
    return notWritten;
  }
  return Outcome::Ok();
}

std::string Settings::GetDatabasePath() const {
  std::string path = Read("DB", "FILENAME");
  return path.empty() ? DefaultDatabasePath() : path;
}

std::string Settings::GetSchoolName() const { return LimitCharacters(Read("USERINFO", "USER"), 100); }

int Settings::GetLessonsPerDay() const {
  const std::string text = Read("LESSON", "LESSON_OF_DAY");
  return text.empty() ? 6 : ParseLessonsPerDay(text);
}

std::string Settings::GetWebsite() const {
  std::string site = Read("WEB", "SITE");
  return site.empty() ? std::string(kDefaultWebsite) : site;
}

std::string Settings::GetForum() const {
  std::string forum = Read("WEB", "FORUM");
  return forum.empty() ? std::string(kDefaultForum) : forum;
}

std::vector<std::string> Settings::GetRecentDatabases() const {
  std::vector<std::string> recent;
  const std::string text = Read("DB", "RECENT");
  for (size_t start = 0; start < text.size() && recent.size() < kRecentDatabases;) {
    size_t end = text.find('|', start);
    if (end == std::string::npos) end = text.size();
    std::string path = Trim(std::string_view(text).substr(start, end - start));
    if (!path.empty()) recent.push_back(std::move(path));
    start = end + 1;
  }
  return recent;
}

Outcome Settings::AddRecentDatabase(const std::string& path) const {
  if (path.empty() || path.find('|') != std::string::npos) return Outcome::Ok();
  std::string text = path;
  size_t kept = 1;
  for (const std::string& old : GetRecentDatabases()) {
    if (old == path || kept == kRecentDatabases) continue;
    text += "|" + old;
    ++kept;
  }
  return Write("DB", "RECENT", text);
}

Outcome Settings::SetDatabasePath(const std::string& path) const { return Write("DB", "FILENAME", path); }

Outcome Settings::SetLessonsPerDay(int lessons) const {
  return Write("LESSON", "LESSON_OF_DAY", std::to_string(lessons));
}

Outcome Settings::SetSchoolName(const std::string& name) const { return Write("USERINFO", "USER", name); }

namespace {
constexpr const char* kWindowSection = "窗口";
constexpr std::string_view kMaximized = "max";
// Larger than any screen: a bigger number is damage, not a place.
constexpr int kLargestCoordinate = 100000;
}  // namespace

std::optional<WindowPlace> ParseWindowPlace(std::string_view text) {
  int numbers[4] = {};
  bool maximized = false;
  for (int i = 0; i < 4; ++i) {
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), numbers[i]);
    if (ec != std::errc() || std::abs(numbers[i]) > kLargestCoordinate) return std::nullopt;
    text.remove_prefix(static_cast<size_t>(end - text.data()));
    if (i < 3) {
      if (text.empty() || text.front() != ',') return std::nullopt;
      text.remove_prefix(1);
    }
  }
  if (!text.empty()) {
    if (text.substr(0, 1) != "," || text.substr(1) != kMaximized) return std::nullopt;
    maximized = true;
  }
  if (numbers[2] <= 0 || numbers[3] <= 0) return std::nullopt;
  return WindowPlace{numbers[0], numbers[1], numbers[2], numbers[3], maximized};
}

std::string WindowPlaceText(const WindowPlace& place) {
  std::string text = std::to_string(place.x) + "," + std::to_string(place.y) + "," +
                     std::to_string(place.width) + "," + std::to_string(place.height);
  if (place.maximized) text += "," + std::string(kMaximized);
  return text;
}

std::optional<WindowPlace> Settings::GetWindowPlace(const std::string& window) const {
  return ParseWindowPlace(Read(kWindowSection, window.c_str()));
}

Outcome Settings::SetWindowPlace(const std::string& window, const WindowPlace& place) const {
  return Write(kWindowSection, window.c_str(), WindowPlaceText(place));
}

std::string AppTitle(std::string_view schoolName) { return std::string(schoolName) + "排课软件系统"; }

std::string GetWindowTitle(std::string_view appTitle, std::string_view databasePath) {
  return std::string(appTitle) + " -- " + std::string(databasePath);
}

}  // namespace orv
