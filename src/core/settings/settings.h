// SPDX-License-Identifier: GPL-3.0-or-later
// The settings file kbxt.ini in the program directory: the database path, the
// lessons per day and the school name. Missing file or keys give the defaults.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/outcome.h"

namespace orv {

inline constexpr std::string_view kSettingsFileName = "kbxt.ini";
inline constexpr std::string_view kDefaultDatabaseName = "kb.mdb";
inline constexpr std::string_view kDefaultWebsite = "https://github.com/orvandel/orvandel";
inline constexpr size_t kRecentDatabases = 5;
inline constexpr std::string_view kDefaultForum = "https://github.com/orvandel/orvandel/discussions";

// Reads LESSON_OF_DAY as the profile functions read an integer (leading
// blanks, optional sign, digits; anything else reads as 0), then keeps it
// safe: above 7 reads as 7, anything but 6 or 7 as 6. A value of 0 would
// otherwise make the start-up trim delete every lesson.
int ParseLessonsPerDay(std::string_view text);

// Where a window stood when it was last closed, in screen pixels; maximized
// keeps the size it returns to.
struct WindowPlace {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
  bool maximized = false;
  bool operator==(const WindowPlace&) const = default;
};

// "x,y,width,height" with ",max" for a maximized window; nullopt for anything
// else, so a hand-edited or damaged line puts the window where it would
// have gone anyway.
std::optional<WindowPlace> ParseWindowPlace(std::string_view text);
std::string WindowPlaceText(const WindowPlace& place);

class Settings {
 public:
  explicit Settings(std::filesystem::path programDir);

  const std::filesystem::path& ProgramDir() const { return programDir_; }
  std::filesystem::path IniPath() const { return programDir_ / kSettingsFileName; }
  std::string DefaultDatabasePath() const;

  // DB/FILENAME, or the default database in the program directory when empty.
  std::string GetDatabasePath() const;
  // USERINFO/USER, at most 100 characters.
  std::string GetSchoolName() const;
  // LESSON/LESSON_OF_DAY: 6 or 7.
  int GetLessonsPerDay() const;

  // WEB/SITE and WEB/FORUM, or the project's pages when empty.
  std::string GetWebsite() const;
  std::string GetForum() const;

  // DB/RECENT: the databases opened last, newest first, at most
  // kRecentDatabases, paths joined by '|'.
  std::vector<std::string> GetRecentDatabases() const;
  // Puts the path first, once; a path with '|' in it is not remembered.
  Outcome AddRecentDatabase(const std::string& path) const;

  // Writers keep every other section and key of the file, and leave the
  // file as it was when they fail.
  Outcome SetDatabasePath(const std::string& path) const;
  Outcome SetLessonsPerDay(int lessons) const;
  Outcome SetSchoolName(const std::string& name) const;

  // [窗口], one key per window's object name.
  std::optional<WindowPlace> GetWindowPlace(const std::string& window) const;
  Outcome SetWindowPlace(const std::string& window, const WindowPlace& place) const;

 private:
  std::string Read(const char* section, const char* key) const;
  Outcome Write(const char* section, const char* key, const std::string& value) const;

  std::filesystem::path programDir_;
};

// The title of message boxes: the school name followed by "排课软件系统".
std::string AppTitle(std::string_view schoolName);

// The main window's caption: the title, " -- " and the database path.
std::string GetWindowTitle(std::string_view appTitle, std::string_view databasePath);

}  // namespace orv
