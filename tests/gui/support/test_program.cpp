// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/test_program.h"

#include <gtest/gtest.h>

#include <QDialog>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <stdexcept>

namespace fs = std::filesystem;

namespace orv::test {

TestProgram::TestProgram(const std::string& iniText) {
  if (Outcome created = TimetableDb::Create(DefaultDb()); !created)
    throw std::runtime_error("create: " + created.message());
  if (!iniText.empty()) WriteFile(dir_ / "kbxt.ini", iniText);
  Result<StartedProgram> started = StartUp(dir_.Path());
  if (!started) throw std::runtime_error("start: " + started.message());
  state_ = std::move(started->state);
}

std::string TestProgram::Ini() const {
  std::error_code ec;
  return fs::exists(dir_ / "kbxt.ini", ec) ? ReadFile(dir_ / "kbxt.ini") : std::string();
}

void TestProgram::AddSmallSchool() {
  for (const char* cls : {"11", "12"}) {
    Exec("insert into Classtb (Code,Name,FullName,ShortName) values (?,?,?,?)", cls, cls, cls, cls);
    Exec(
        "insert into ClassPlantb (ClassCode,CourseCode,TeacherCode,Count) values "
        "(?,'01','T1',3),(?,'02','T2',2)",
        cls, cls);
  }
  Exec(
      "insert into Coursetb (Code,Name,FullName,ShortName) values "
      "('01','语文','语文','语'),('02','数学','数学','数')");
  Exec(
      "insert into Teachertb (Code,Name,FullName,ShortName) values "
      "('T1','王','王','王'),('T2','李','李','李')");
}

std::string Said(const ScriptedPrompter& prompter) {
  if (prompter.messages().empty()) return "";
  const RecordedMessage& m = prompter.lastMessage();
  const char* icon = m.icon == ui::MessageIcon::Critical  ? "C"
                     : m.icon == ui::MessageIcon::Warning ? "W"
                                                          : "I";
  return icon + ("|" + m.title + "|" + m.text).toStdString();
}

QString Q(const fs::path& path) { return QString::fromStdString(path.string()); }

QString TypeConfirmation(QDialog& confirm, const char* text) {
  auto* box = confirm.findChild<QLineEdit*>("Text1");
  EXPECT_TRUE(confirm.objectName() == "frmConfirm" && box && box->text().isEmpty())
      << confirm.objectName().toStdString();
  if (!box) return {};
  QTest::keyClicks(box, text);
  QTest::mouseClick(confirm.findChild<QPushButton*>("cmdOK"), Qt::LeftButton);
  if (confirm.isVisible()) QTest::mouseClick(confirm.findChild<QPushButton*>("cmdCancel"), Qt::LeftButton);
  return confirm.findChild<QLabel*>("lblTitle")->text();
}

bool WaitUntil(const std::function<bool()>& condition, int timeoutMs) {
  QElapsedTimer clock;
  clock.start();
  while (!condition()) {
    if (clock.elapsed() > timeoutMs) return false;
    QTest::qWait(10);
  }
  return true;
}

bool DatabaseIsFree(const fs::path& path) { return TimetableDb::Open(path).ok(); }

void BlockSettingsWrites(const fs::path& programDir) { fs::create_directory(programDir / "kbxt.ini.tmp"); }

}  // namespace orv::test
