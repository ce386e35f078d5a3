#include "support/test_program.h"

#include <QElapsedTimer>
#include <QTest>
#include <stdexcept>

namespace fs = std::filesystem;

namespace orv::test {

TestProgram::TestProgram(const std::string& iniText) {
  std::string why;
  if (!TimetableDb::Create(DefaultDb(), &why)) throw std::runtime_error("create: " + why);
  if (!iniText.empty()) WriteFile(dir_ / "kbxt.ini", iniText);
  StartupResult started = StartUp(dir_.Path());
  if (!started.state) throw std::runtime_error("start: " + started.error);
  state_ = std::move(*started.state);
}

std::string TestProgram::Ini() const {
  std::error_code ec;
  return fs::exists(dir_ / "kbxt.ini", ec) ? ReadFile(dir_ / "kbxt.ini") : std::string();
}

fs::path TestProgram::CreateDatabase(const std::string& name) {
  const fs::path path = dir_ / name;
  std::string why;
  if (!TimetableDb::Create(path, &why)) throw std::runtime_error("create: " + why);
  return path;
}

void TestProgram::AddSmallSchool() {
  Exec("insert into Classtb (Code,Name,FullName,ShortName) values ('11','一（1）班','一年级（1）班','一1')");
  Exec("insert into Classtb (Code,Name,FullName,ShortName) values ('12','一（2）班','一年级（2）班','一2')");
  Exec("insert into Coursetb (Code,Name,FullName,ShortName) values ('01','语文','语文','语')");
  Exec("insert into Coursetb (Code,Name,FullName,ShortName) values ('02','数学','数学','数')");
  Exec("insert into Teachertb (Code,Name,FullName,ShortName) values ('T1','王老师','王老师','王')");
  Exec("insert into Teachertb (Code,Name,FullName,ShortName) values ('T2','李老师','李老师','李')");
  for (const char* cls : {"11", "12"}) {
    Exec("insert into ClassPlantb (ClassCode,CourseCode,TeacherCode,Count) values (?,'01','T1',3)", cls);
    Exec("insert into ClassPlantb (ClassCode,CourseCode,TeacherCode,Count) values (?,'02','T2',2)", cls);
  }
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

bool DatabaseIsFree(const fs::path& path) { return TimetableDb::Open(path) != nullptr; }

void BlockSettingsWrites(const fs::path& programDir) { fs::create_directory(programDir / "kbxt.ini.tmp"); }

}  // namespace orv::test
