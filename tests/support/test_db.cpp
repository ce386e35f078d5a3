// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/test_db.h"

#include <stdexcept>

namespace orv::test {

std::unique_ptr<TimetableDb> OpenDb(const std::filesystem::path& path) {
  auto opened = TimetableDb::Open(path);
  if (!opened) {
    ADD_FAILURE() << "open " << path << ": " << opened.message();
    return nullptr;
  }
  return std::move(opened).value();
}

namespace {
constexpr const char* kLessonsOfRow =
    "(select count(*) from LessonListtb L where L.ClassCode=ClassPlantb.ClassCode and "
    "L.CourseCode=ClassPlantb.CourseCode and L.TeacherCode=ClassPlantb.TeacherCode)";
}  // namespace

long long WrongBuildCounts(TimetableDb& db) {
  return db.FirstInt(std::string("select count(*) from ClassPlantb where BuildCount<>") + kLessonsOfRow)
      .value_or(-1);
}

void RecountBuildCounts(TimetableDb& db) {
  db.Execute(std::string("update ClassPlantb set BuildCount=") + kLessonsOfRow);
}

TestDb::TestDb() : path_(dir_ / "kb.mdb") {
  if (Outcome created = TimetableDb::Create(path_); !created)
    throw std::runtime_error("create: " + created.message());
  Reopen();
}

void TestDb::Reopen() {
  db_.reset();
  auto opened = TimetableDb::Open(path_);
  if (!opened) throw std::runtime_error("open: " + opened.message());
  db_ = std::move(opened).value();
  db_->Execute("PRAGMA synchronous=OFF");  // durability is not under test
}

void TestDb::AddClass(const std::string& code, const std::string& name, const std::string& fullName,
                      const std::string& shortName) {
  db_->Execute("insert into Classtb (Code,Name,FullName,ShortName) values (?,?,?,?)", code, name, fullName,
               shortName);
}
// A code whose full and short names are its name.
void TestDb::AddCode(const char* table, const std::string& code, const std::string& name) {
  db_->Execute(std::string("insert into ") + table + " (Code,Name,FullName,ShortName) values (?,?,?,?)", code,
               name, name, name);
}
void TestDb::AddPlan(const std::string& cls, const std::string& course, const std::string& teacher,
                     int count) {
  db_->Execute("insert into ClassPlantb (ClassCode,CourseCode,TeacherCode,Count) values (?,?,?,?)", cls,
               course, teacher, count);
}
void TestDb::AddLesson(const std::string& cls, int day, int lessonNo, const std::string& course,
                       const std::string& teacher, int setFlag) {
  db_->Execute("insert into LessonListtb values (?,?,?,?,?,?)", cls, day, lessonNo, course, teacher, setFlag);
}
void TestDb::AddLimit(int kind, const std::string& code, int day, int lessonNo, int attr) {
  db_->Execute("insert into Limittb values (?,?,?,?,?)", kind, code, day, lessonNo, attr);
}
void TestDb::AddSpecialCourse(const std::string& course) {
  db_->Execute("insert into CourseAttrtb values (?)", course);
}

long long TestDb::Count(const std::string& sql) { return db_->FirstInt(sql).value_or(-1); }

int TestDb::BuildCount(const std::string& cls, const std::string& course) {
  return static_cast<int>(
      db_->FirstInt("select BuildCount from ClassPlantb where ClassCode=? and CourseCode=?", cls, course)
          .value_or(-1));
}

}  // namespace orv::test
