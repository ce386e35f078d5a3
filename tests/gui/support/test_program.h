// SPDX-License-Identifier: GPL-3.0-or-later
// A program directory in a temporary folder with a fresh kb.mdb (and, if
// given, a kbxt.ini), started the way the desktop program starts, with a
// scripted prompter. Window tests build their windows on ctx().
#pragma once

#include <QString>
#include <filesystem>
#include <functional>
#include <string>

#include "core/session/startup.h"
#include "gui/common/ui_context.h"
#include "support/controls.h"
#include "support/scripted_prompter.h"
#include "support/temp_dir.h"

class QDialog;

namespace orv::test {

class TestProgram {
 public:
  // iniText: the settings file to write before starting; empty for none.
  explicit TestProgram(const std::string& iniText = "");

  AppState& state() { return state_; }
  ui::UiContext& ctx() { return ctx_; }
  ScriptedPrompter& prompter() { return prompter_; }
  const std::filesystem::path& dir() const { return dir_.Path(); }
  std::filesystem::path DefaultDb() const { return dir_ / "kb.mdb"; }
  std::string Ini() const;
  std::string Said() const;  // see below

  template <class... Args>
  void Exec(const std::string& sql, const Args&... args) {
    state_.db->Execute(sql, args...);
  }
  long long Count(const std::string& sql) { return state_.db->FirstInt(sql).value_or(-1); }

  // Classes 11 and 12, Chinese (01) by T1 three times a week and maths (02)
  // by T2 twice a week in each.
  void AddSmallSchool();

 private:
  TempDir dir_;
  AppState state_;
  ScriptedPrompter prompter_;
  ui::UiContext ctx_{state_, prompter_};
};

// The last message as "icon|title|text", icon I, W or C; "" for none.
std::string Said(const ScriptedPrompter& prompter);
inline std::string TestProgram::Said() const { return test::Said(prompter_); }
QString Q(const std::filesystem::path& path);

// Types into frmConfirm and presses its OK button, then Cancel if it is
// still up; returns the warning it showed.
QString TypeConfirmation(QDialog& confirm, const char* text);

// Processes events until the condition holds; false after the timeout.
bool WaitUntil(const std::function<bool()>& condition, int timeoutMs = 10000);

// True when the database file can be opened now, i.e. nobody holds it.
bool DatabaseIsFree(const std::filesystem::path& path);

// Makes every later settings write fail, even for root: the file is written
// beside and renamed over, and the name beside is taken by a directory.
void BlockSettingsWrites(const std::filesystem::path& programDir);

}  // namespace orv::test
