// A small school for the print and export windows: three classes (the third
// without lessons), three teachers (the third without lessons), a named
// school, and the print templates in the program directory.
#pragma once

#include <gtest/gtest.h>

#include <QPushButton>
#include <QTest>
#include <filesystem>

#include "support/test_program.h"

namespace orv::test {

class OutputSchool : public ::testing::Test {
 protected:
  OutputSchool() : program("[USERINFO]\nUSER=育才实验学校\n") {
    program.Exec(
        "insert into Classtb (Code,Name,FullName,ShortName) values "
        "('12','一（2）班','一年级（2）班','一（2）'),"
        "('11','一（1）班','一年级（1）班','一（1）'),('13','一（3）班','一年级（3）班','一（3）')");
    program.Exec(
        "insert into Coursetb (Code,Name,FullName,ShortName) values "
        "('01','语文','语文','语'),('02','数学','数学','数')");
    program.Exec(
        "insert into Teachertb (Code,Name,FullName,ShortName) values ('T2','李强','李强','李'),"
        "('T1','王芳','王芳','王'),('T3','赵六','赵六','赵')");
    program.Exec(
        "insert into LessonListtb values ('11',1,1,'01','T1',1),('11',2,3,'02','T2',1),"
        "('12',1,2,'01','T1',2),('12',5,6,'02','T2',0)");
  }

  // The templates of one day length, copied where the program finds them.
  void InstallTemplates(int lessons) {
    for (const char* stem : {"ClassSchd", "TeacherSchd"})
      CopyTemplate(stem + std::to_string(lessons) + ".xml");
    CopyTemplate("TotalSchd" + std::to_string(lessons) + "A3.xml");
  }
  void CopyTemplate(const std::string& name) {
    std::filesystem::copy_file(std::filesystem::path(ORVANDEL_TEMPLATE_DIR) / name, program.dir() / name,
                               std::filesystem::copy_options::overwrite_existing);
  }
  void Click(QPushButton* button) { QTest::mouseClick(button, Qt::LeftButton); }

  TestProgram program;
};

}  // namespace orv::test
