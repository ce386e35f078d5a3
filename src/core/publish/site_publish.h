// SPDX-License-Identifier: GPL-3.0-or-later
// 发布网页课表: a static site of the timetable that works offline and from
// any web server: an index with a search box, a page per class, teacher and
// special course, the whole-school overview, the change notice, the calendar
// files and the CSV file. It is written beside the target folder and renamed
// into place, so a failed publish leaves the old site whole.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "core/database/timetable_db.h"
#include "core/domain/week.h"
#include "core/outcome.h"
#include "core/publish/publications.h"

namespace orv {

struct PublishOptions {
  std::string schoolName;
  SchoolWeek week;
  // Where the site will be served from ("https://school.example/kb/"); with
  // it each class page's printable version carries a QR code of its address.
  std::string baseUrl;
  // The publication's time, "2026-12-07 17:30" (local time; the caller's clock).
  std::string publishedAt;
  // The calendar files' DTSTAMP, UTC ("20261207T093000Z"); empty: now.
  std::string stamp;
};

// The marker a folder written by PublishSite holds; a non-empty folder
// without it is somebody else's and is never replaced.
inline constexpr const char* kSiteMarkerFile = ".orvandel-site";

// Why a base URL cannot be used ("" when it can, an empty one included): it
// must be an http:// or https:// address without spaces.
std::string BaseUrlProblem(std::string_view url);

// Now, as PublishOptions wants it: local "2026-12-07 17:30", and UTC
// "20261207T093000Z".
std::string LocalMinuteNow();
std::string UtcStampNow();

// Writes the site into `dir` (created when missing; an existing site there is
// replaced) and stores the publication. Refused with a Chinese message and
// nothing changed (the old site and the stored publications) on any failure.
Result<Publication> PublishSite(TimetableDb& db, const std::filesystem::path& dir,
                                const PublishOptions& options);

}  // namespace orv
