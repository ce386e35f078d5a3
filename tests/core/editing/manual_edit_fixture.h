// SPDX-License-Identifier: GPL-3.0-or-later
// A small school for the tests of editing the timetable by hand (T1 teaches
// 语文 in 101 and 102), and the whole timetable state as text.
#pragma once

#include <string>

#include "core/database/timetable_db.h"
#include "core/scheduling/school_fixture.h"

namespace orv::test {

// Every lesson with its SetFlag and every plan row with its BuildCount, in a
// stable order: equal texts mean equal tables.
inline std::string TimetableState(TimetableDb& db) {
  return db.FirstText(
               "select group_concat(x,' ') from (select ClassCode||'/'||Day||'/'||LessonNo||'/'||CourseCode"
               "||'/'||TeacherCode||'/'||SetFlag as x from LessonListtb order by x)")
             .value_or("") +
         " | " +
         db.FirstText(
               "select group_concat(x,' ') from (select ClassCode||'/'||CourseCode||'/'||TeacherCode||'/'||"
               "Count||'/'||BuildCount as x from ClassPlantb order by x)")
             .value_or("");
}

class ManualEditSchool : public School {
 protected:
  void SetUp() override {
    School::SetUp();
    Plan("101/01/T1/5 101/02/T2/4 101/06/T3/2 102/01/T1/5 102/02/T3/3");
  }
  // Replaces the timetable, with plan counters that match it.
  void Timetable(const std::string& lessons) {
    Exec("delete from LessonListtb");
    Add(lessons);
    RecountBuildCounts(t.db());
  }
  std::string State() { return TimetableState(t.db()); }
  // One period of a class as "course/teacher/SetFlag", "" when empty.
  std::string At(const std::string& cls, int day, int lessonNo) {
    return t.db()
        .FirstText(
            "select group_concat(CourseCode||'/'||TeacherCode||'/'||SetFlag,' ') from LessonListtb"
            " where ClassCode=? and Day=? and LessonNo=?",
            cls, day, lessonNo)
        .value_or("");
  }
};

}  // namespace orv::test
