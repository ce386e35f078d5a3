// SPDX-License-Identifier: GPL-3.0-or-later
// The number of lessons a school day has, recorded in the database itself.
// It used to be only a setting of the computer (kbxt.ini), so opening a 7-lesson
// school on a computer set to 6 cut every seventh lesson. Now the file says
// what it holds, and the setting merely follows the file that is open.
#pragma once

#include <functional>
#include <optional>

#include "core/database/timetable_db.h"
#include "core/outcome.h"

namespace orv {

// The value the database records, or nullopt when it records none (a file of
// an older version, or one opened read-only before it was upgraded). A value
// other than 6 or 7 counts as none.
Result<std::optional<int>> StoredLessonsPerDay(TimetableDb& db);

// The lessons per day the database means: its own record, else the larger of
// the computer's setting and the highest lesson it stores, so that nothing
// stored falls outside the week.
Result<int> DatabaseLessonsPerDay(TimetableDb& db, int settingLessonsPerDay);

// Writes the record (6 or 7) without touching any lesson.
Outcome RecordLessonsPerDay(TimetableDb& db, int lessonsPerDay);

// The lessons numbered beyond a shorter day, which a change to it would remove.
struct LessonsBeyondDay {
  int lessons = 0;
  int fixed = 0;  // of them, fixed in advance
};
Result<LessonsBeyondDay> CountLessonsBeyondDay(TimetableDb& db, int lessonsPerDay);

// The user's change of the school day, in one transaction: the lessons beyond
// the new day are removed (their plan rows count them no more) and the new
// value recorded. `alsoBeforeCommit` runs last inside the transaction, for a
// write that must succeed or fail with it (the settings file); its failure
// takes the whole change back.
Outcome ChangeLessonsPerDay(TimetableDb& db, int lessonsPerDay,
                            const std::function<Outcome()>& alsoBeforeCommit = {});

// For a command that schedules with an explicit number of lessons: a longer
// day is recorded at once (it removes nothing), a shorter one only while no
// lesson stands beyond it. Otherwise the refusal says what stands in the way.
Outcome AdoptLessonsPerDay(TimetableDb& db, int lessonsPerDay);

}  // namespace orv
