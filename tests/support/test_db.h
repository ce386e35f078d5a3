// SPDX-License-Identifier: GPL-3.0-or-later
// A fresh timetable database in a temporary directory, with small helpers to
// fill it the way the editors would.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "core/database/timetable_db.h"
#include "support/temp_dir.h"

namespace orv::test {

// The database at path, or nullptr with a test failure that says why.
std::unique_ptr<TimetableDb> OpenDb(const std::filesystem::path& path);

// Plan rows whose BuildCount differs from the lessons of their class, course
// and teacher; and those counters set to the lessons.
long long WrongBuildCounts(TimetableDb& db);
void RecountBuildCounts(TimetableDb& db);

class TestDb {
 public:
  TestDb();
  TimetableDb& db() { return *db_; }
  const std::filesystem::path& path() const { return path_; }
  const TempDir& dir() const { return dir_; }
  // Closes the connection, e.g. so that another process may open the file.
  void Close() { db_.reset(); }
  void Reopen();

  void AddClass(const std::string& code, const std::string& name, const std::string& fullName = "",
                const std::string& shortName = "");
  void AddCourse(const std::string& code, const std::string& name) { AddCode("Coursetb", code, name); }
  void AddTeacher(const std::string& code, const std::string& name) { AddCode("Teachertb", code, name); }
  void AddClassRoom(const std::string& code, const std::string& name) { AddCode("ClassRoomtb", code, name); }
  void AddPlan(const std::string& cls, const std::string& course, const std::string& teacher, int count);
  void AddLesson(const std::string& cls, int day, int lessonNo, const std::string& course,
                 const std::string& teacher, int setFlag);
  void AddLimit(int kind, const std::string& code, int day, int lessonNo, int attr);
  void AddSpecialCourse(const std::string& course);

  long long Count(const std::string& sql);  // the first column of the first row
  int BuildCount(const std::string& cls, const std::string& course);

 private:
  void AddCode(const char* table, const std::string& code, const std::string& name);
  TempDir dir_;
  std::filesystem::path path_;
  std::unique_ptr<TimetableDb> db_;
};

}  // namespace orv::test
