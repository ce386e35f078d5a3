// SPDX-License-Identifier: GPL-3.0-or-later
// 变更通知: what changed for each teacher and each class between two
// versions of the timetable, in plain sentences ("星期三第2节 数学（七（2）班）
// 改到 星期四第5节"), so that a teacher reads only what concerns them.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/database/timetable_db.h"
#include "core/outcome.h"
#include "core/output/print_data.h"
#include "core/publish/published_school.h"

namespace orv {

enum class LessonChangeKind { Added, Removed, Moved };

struct LessonChange {
  LessonChangeKind kind = LessonChangeKind::Moved;
  PublishedLesson before, after;  // before: Removed and Moved; after: Added and Moved
  std::string text;               // the sentence the notice prints
};

// The changes one teacher or one class is told about.
struct ChangeNoticeEntry {
  std::string code, name;
  std::vector<LessonChange> changes;
};

struct ChangeNotice {
  std::optional<int> sinceVersion;  // nullopt: nothing was published before
  std::string sincePublishedAt;
  std::vector<ChangeNoticeEntry> teachers, classes;  // only those with a change, code order
  bool Empty() const { return teachers.empty() && classes.empty(); }
};

// Pairs each lesson of `before` with one of `now`; what is left over is
// added, removed or (same class, course and teacher at another time) moved.
ChangeNotice CompareLessons(const std::vector<PublishedLesson>& before,
                            const std::vector<PublishedLesson>& now);

// The changes from the version (the latest one when nullopt) to the
// timetable as it is now.
Result<ChangeNotice> ChangesSince(TimetableDb& db, SchoolWeek week, std::optional<int> version);

// "自第2次发布（2026-09-20 17:30）以来"; "" when nothing was published.
std::string SinceText(const ChangeNotice& notice);

// The notice as print data for the template NoticeA4.xml: one subject per
// teacher with a change, titled with the school and the teacher's name.
PrintData NoticePrintData(const ChangeNotice& notice, std::string_view school);

}  // namespace orv
