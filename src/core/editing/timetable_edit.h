// SPDX-License-Identifier: GPL-3.0-or-later
// Changes made to the timetable by hand: placing a missing lesson, deleting a
// lesson, and swapping two lessons of a class (or moving one into an empty
// period). Each change is one transaction and comes back as a LessonEdit that
// says exactly what the touched periods held before and after, so that it can
// be undone and redone (see edit_history.h). BuildCount of the plan follows
// the lessons: +1 for a lesson placed, -1 for a lesson deleted, on the plan
// rows of the lesson's own class, course and teacher.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/database/timetable_db.h"
#include "core/database/week_marks.h"
#include "core/outcome.h"

namespace orv {

// What one period of a class holds.
struct StoredLesson {
  std::string courseCode;
  std::string teacherCode;
  LessonOrigin origin = LessonOrigin::Manual;
  bool operator==(const StoredLesson&) const = default;
};

// One period of the class before and after a change; nullopt is empty.
struct PeriodChange {
  int day = 0;
  int lessonNo = 0;
  std::optional<StoredLesson> before;
  std::optional<StoredLesson> after;
  bool operator==(const PeriodChange&) const = default;
};

enum class EditKind {
  Place,   // a lesson of the plan put into an empty period
  Delete,  // a lesson taken out
  Move,    // a lesson moved into an empty period: a new manual row there
  Swap,    // two lessons exchange course and teacher; each period keeps its SetFlag
};

struct LessonEdit {
  EditKind kind = EditKind::Place;
  std::string classCode;
  // Place and Delete: the period. Move and Swap: the selected lesson's period
  // first, then the period it went to.
  std::vector<PeriodChange> periods;
  // "交换 一（1）班 星期一第1节 语文 与 星期二第3节 数学", for undo buttons and reports.
  std::string description;
};

// The change that takes `edit` back: each period's before and after exchanged.
LessonEdit Inverse(const LessonEdit& edit);

// "写入成功", "删除成功", "换课成功": what the status line says after a change.
std::string_view EditDoneText(EditKind kind);

// Puts a lesson of the plan row (class, course, teacher) into an empty
// period where the teacher is free in every class, as a manual lesson.
// Refused when the row has no lesson left to place. Failures start with
// "写入失败".
Result<LessonEdit> PlaceLesson(TimetableDb& db, std::string_view classCode, int day, int lessonNo,
                               std::string_view courseCode, std::string_view teacherCode, SchoolWeek week);

// Deletes the lesson of the period, fixed ones included, and lowers the
// BuildCount of the plan rows with its own course and teacher. Failures
// start with "删除失败".
Result<LessonEdit> DeleteLesson(TimetableDb& db, std::string_view classCode, int day, int lessonNo,
                                SchoolWeek week);

// Swaps the lesson of the source period with the target period's lesson, or
// moves it there when the target is empty. Allowed exactly where
// MarkSwapTargets marks the target: another course (or none), the source's
// teacher free in other classes at the target, and the target's teacher free
// in other classes at the source. Failures start with "换课失败".
Result<LessonEdit> SwapLessons(TimetableDb& db, std::string_view classCode, int sourceDay, int sourceLesson,
                               int targetDay, int targetLesson, SchoolWeek week);

// Count - BuildCount of the plan row (class, course, teacher), nullopt when
// the plan has no such row. Database errors are thrown: this is a step of
// the routines here and in edit_targets.h, which catch them.
std::optional<long long> PlanRemaining(TimetableDb& db, std::string_view classCode,
                                       std::string_view courseCode, std::string_view teacherCode);

// Writes a change recorded earlier, in one transaction. Refused, with nothing
// written, when a period no longer holds what the change expects before it,
// or when a lesson would land where its teacher now teaches another class.
// The message starts with `failure` ("无法撤销", "无法重做").
Outcome ApplyEdit(TimetableDb& db, const LessonEdit& edit, std::string_view failure);

}  // namespace orv
