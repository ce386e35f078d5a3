// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/database/database_totals.h"
#include "core/database/guard.h"
#include "core/database/plan_count.h"

namespace orv {

namespace {
long long CountOf(TimetableDb& db, const char* sql) { return db.FirstInt(sql).value_or(0); }
}  // namespace

Result<DatabaseTotals> ReadDatabaseTotals(TimetableDb& db) {
  return Guarded("统计数据失败：", [&]() -> Result<DatabaseTotals> {
    DatabaseTotals t;
    t.classes = CountOf(db, "select count(*) from Classtb");
    t.courses = CountOf(db, "select count(*) from Coursetb");
    t.teachers = CountOf(db, "select count(*) from Teachertb");
    t.classRooms = CountOf(db, "select count(*) from ClassRoomtb");
    t.planRows = CountOf(db, "select count(*) from ClassPlantb");
    t.plannedLessons = CountOf(db, "select coalesce(sum(" ORV_PLAN_COUNT "),0) from ClassPlantb");
    t.placedLessons = CountOf(db, "select coalesce(sum(BuildCount),0) from ClassPlantb");
    t.lessons = CountOf(db, "select count(*) from LessonListtb");
    t.restrictions = CountOf(db, "select count(*) from Limittb");
    t.wrongBuildCounts = CountOf(
        db,
        "select count(*) from ClassPlantb P where BuildCount <> (select count(*) from LessonListtb L"
        " where L.ClassCode=P.ClassCode and L.CourseCode=P.CourseCode and L.TeacherCode=P.TeacherCode)");
    return t;
  });
}

}  // namespace orv
