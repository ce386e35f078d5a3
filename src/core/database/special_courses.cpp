#include "core/database/special_courses.h"

#include <exception>

namespace orv {

Result<bool> IsSpecialCourse(TimetableDb& db, std::string_view courseCode) {
  try {
    return db.Exists("select CourseCode from CourseAttrtb where CourseCode=?", courseCode);
  } catch (const std::exception& e) {
    return Outcome::Fail("读取专用教室课程失败：" + DatabaseErrorText(e));
  }
}

Outcome SetSpecialCourse(TimetableDb& db, std::string_view courseCode, bool special) {
  try {
    Transaction tx(db);
    if (!db.Exists("select Code from Coursetb where Code=?", courseCode))
      return Outcome::Fail("课程名单中没有这门课程");
    // Rows that came twice with an old database file go as well.
    db.Execute("delete from CourseAttrtb where CourseCode=?", courseCode);
    if (special) db.Execute("insert into CourseAttrtb (CourseCode) values (?)", courseCode);
    tx.Commit();
    return Outcome::Ok();
  } catch (const std::exception& e) {
    return Outcome::Fail("写入专用教室课程失败：" + DatabaseErrorText(e));
  }
}

}  // namespace orv
