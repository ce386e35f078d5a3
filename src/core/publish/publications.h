// SPDX-License-Identifier: GPL-3.0-or-later
// What each publication handed out, kept in the database so that the next
// one can say what changed since: a numbered version with its time and the
// lessons as they were published, names included.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/database/timetable_db.h"
#include "core/outcome.h"
#include "core/publish/published_school.h"

namespace orv {

struct Publication {
  int version = 0;          // 1, 2, 3 … in the order of publishing
  std::string publishedAt;  // "2026-12-07 17:30"
  int lessonsPerDay = 6;
};

// Oldest first.
Result<std::vector<Publication>> ListPublications(TimetableDb& db);
// Stores the school's lessons as the next version in one transaction.
Result<Publication> RecordPublication(TimetableDb& db, const PublishedSchool& school,
                                      const std::string& publishedAt);
// The lessons of a stored version; refused with a message for a version
// that was never published.
Result<std::vector<PublishedLesson>> LoadPublishedLessons(TimetableDb& db, int version);

}  // namespace orv
