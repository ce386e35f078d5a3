// SPDX-License-Identifier: GPL-3.0-or-later
// The pages of the published site, made in memory from what was read once:
// index.html, a page per class (c-…), teacher (t-…) and special course
// (k-…), overview.html, changes.html and style.css. Writing them out, with
// the calendar files and the CSV file, is PublishSite's part.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "core/calendar/term_calendar.h"
#include "core/publish/change_notice.h"
#include "core/publish/published_school.h"

namespace orv {

// One file of the site: its path inside the site folder ("c-11.html",
// "ics/t-001.ics") and its bytes.
struct SiteFile {
  std::string path;
  std::string bytes;
};

// The page names of every class, teacher and special course, by code.
struct SiteSlugMaps {
  std::map<std::string, std::string> classes, teachers, specialCourses;
};
SiteSlugMaps SiteSlugsOf(const PublishedSchool& school);

struct SiteContent {
  const PublishedSchool& school;
  const TermCalendar& calendar;  // bell times beside the lesson numbers
  const ChangeNotice& changes;   // since the last publication
  std::string publishedAt;       // "2026-12-07 17:30"
  // With it each class page's printed version carries a QR code of its address.
  std::string baseUrl;
  // Whether ics/<page name>.ics is written for every class and teacher.
  bool calendarFiles = false;
  // The lessons of the day that have no bell time, so are in no calendar file.
  std::vector<int> lessonsWithoutBell;
};

inline constexpr const char* kLessonsCsvFile = "lessons.csv";

// The pages and the stylesheet, index first.
std::vector<SiteFile> SitePages(const SiteContent& content);

}  // namespace orv
