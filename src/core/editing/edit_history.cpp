// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/editing/edit_history.h"

#include <utility>

namespace orv {

Result<LessonEdit> EditHistory::Record(Result<LessonEdit> done) {
  if (done) {
    undo_.push_back(*done);
    redo_.clear();
  }
  return done;
}

Result<LessonEdit> EditHistory::Place(std::string_view classCode, int day, int lessonNo,
                                      std::string_view courseCode, std::string_view teacherCode) {
  return Record(PlaceLesson(db_, classCode, day, lessonNo, courseCode, teacherCode, week_));
}

Result<LessonEdit> EditHistory::Delete(std::string_view classCode, int day, int lessonNo) {
  return Record(DeleteLesson(db_, classCode, day, lessonNo, week_));
}

Result<LessonEdit> EditHistory::Swap(std::string_view classCode, int sourceDay, int sourceLesson,
                                     int targetDay, int targetLesson) {
  return Record(SwapLessons(db_, classCode, sourceDay, sourceLesson, targetDay, targetLesson, week_));
}

std::string EditHistory::UndoLabel() const {
  return undo_.empty() ? "" : "撤销：" + undo_.back().description;
}

std::string EditHistory::RedoLabel() const {
  return redo_.empty() ? "" : "重做：" + redo_.back().description;
}

Result<LessonEdit> EditHistory::Undo() {
  if (undo_.empty()) return Outcome::Fail("没有可以撤销的操作");
  LessonEdit inverse = Inverse(undo_.back());
  if (Outcome done = ApplyEdit(db_, inverse, "无法撤销"); !done) return done;
  redo_.push_back(std::move(undo_.back()));
  undo_.pop_back();
  return inverse;
}

Result<LessonEdit> EditHistory::Redo() {
  if (redo_.empty()) return Outcome::Fail("没有可以重做的操作");
  if (Outcome done = ApplyEdit(db_, redo_.back(), "无法重做"); !done) return done;
  undo_.push_back(std::move(redo_.back()));
  redo_.pop_back();
  return undo_.back();
}

}  // namespace orv
