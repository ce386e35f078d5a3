// SPDX-License-Identifier: GPL-3.0-or-later
// Where a school publishes its web timetable, kept in its own database
// (SchoolSettingtb), so that the next publish goes to the same folder and
// address whichever computer the file is opened on.
#pragma once

#include <string>

#include "core/database/timetable_db.h"
#include "core/outcome.h"

namespace orv {

struct SitePlace {
  std::string folder;   // "" until the first publish
  std::string baseUrl;  // "" when the school gave none
  bool operator==(const SitePlace&) const = default;
};

Result<SitePlace> LoadSitePlace(TimetableDb& db);
// Both in one transaction.
Outcome SaveSitePlace(TimetableDb& db, const SitePlace& place);

}  // namespace orv
