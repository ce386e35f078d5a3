// SPDX-License-Identifier: GPL-3.0-or-later
// Undo and redo of the changes made in the manual adjustment window. The
// window owns one history for as long as it is open and makes every change
// through it. Each change is recorded with what its periods held before and
// after (course, teacher, SetFlag), so that undoing it restores them, and
// BuildCount with them, exactly. An undo or redo that would overwrite
// something changed since is refused and changes nothing.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/database/timetable_db.h"
#include "core/editing/timetable_edit.h"
#include "core/outcome.h"

namespace orv {

class EditHistory {
 public:
  EditHistory(TimetableDb& db, SchoolWeek week) : db_(db), week_(week) {}
  EditHistory(const EditHistory&) = delete;
  EditHistory& operator=(const EditHistory&) = delete;

  // PlaceLesson, DeleteLesson and SwapLessons, recorded when they succeed.
  // A new change drops what could be redone.
  Result<LessonEdit> Place(std::string_view classCode, int day, int lessonNo, std::string_view courseCode,
                           std::string_view teacherCode);
  Result<LessonEdit> Delete(std::string_view classCode, int day, int lessonNo);
  Result<LessonEdit> Swap(std::string_view classCode, int sourceDay, int sourceLesson, int targetDay,
                          int targetLesson);

  bool CanUndo() const { return !undo_.empty(); }
  bool CanRedo() const { return !redo_.empty(); }
  // "撤销：交换 一（1）班 ..." and "重做：..." for the buttons; "" when there is none.
  std::string UndoLabel() const;
  std::string RedoLabel() const;

  // Takes back the last change. The result is what was written (the
  // inverse of the recorded change), so the window knows which class and
  // periods to redraw. A refusal ("无法撤销：...") writes nothing and keeps
  // the change in the history.
  Result<LessonEdit> Undo();
  // Makes the last undone change again; refusals start with "无法重做".
  Result<LessonEdit> Redo();

 private:
  Result<LessonEdit> Record(Result<LessonEdit> done);

  TimetableDb& db_;
  SchoolWeek week_;
  std::vector<LessonEdit> undo_;
  std::vector<LessonEdit> redo_;
};

}  // namespace orv
