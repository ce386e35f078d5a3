// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/database/special_courses.h"
#include "core/database/guard.h"
#include "core/database/school_rules.h"

#include <exception>

namespace orv {

Result<bool> IsSpecialCourse(TimetableDb& db, std::string_view courseCode) {
  return Guarded("读取专用教室课程失败：", [&]() -> Result<bool> {
    return db.Exists("select CourseCode from CourseAttrtb where CourseCode=?", courseCode);
  });
}

Outcome SetSpecialCourse(TimetableDb& db, std::string_view courseCode, bool special) {
  return Guarded("写入专用教室课程失败：", [&]() -> Outcome {
    Transaction tx(db);
    if (!db.Exists("select Code from Coursetb where Code=?", courseCode))
      return Outcome::Fail("课程名单中没有这门课程");
    // Rows that came twice with an old database file go as well.
    db.Execute("delete from CourseAttrtb where CourseCode=?", courseCode);
    if (special) db.Execute("insert into CourseAttrtb (CourseCode) values (?)", courseCode);
    // An ordinary course has no rooms to count.
    if (!special)
      db.Execute("delete from SchoolRuletb where RuleKey=? and Scope=? and Code=?",
                 InfoOf(RuleKey::kRooms).text, static_cast<int>(RuleScope::kCourse), courseCode);
    tx.Commit();
    return Outcome::Ok();
  });
}

}  // namespace orv
