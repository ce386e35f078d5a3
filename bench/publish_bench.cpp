// SPDX-License-Identifier: GPL-3.0-or-later
// How long the 72-class school takes to publish as a web site: reading the
// timetable, the term calendar and the changes once, every page, calendar
// file and the CSV file, written beside the old site and swapped in, and
// the publication recorded. Run by `make bench`.
#include "bench_school.h"
#include "core/calendar/term_calendar.h"
#include "core/demo/demo_school.h"
#include "core/publish/site_publish.h"

int main() {
  orv::bench::BenchSchool school;
  orv::TimetableDb* db = school.db();
  if (!db) return 1;
  // With a term, so that the calendar files of every class and teacher are written as well.
  if (!orv::SaveTermCalendar(*db, orv::DemoTermCalendar(orv::bench::kLessonsPerDay),
                             orv::bench::kLessonsPerDay))
    return 1;
  orv::PublishOptions options;
  options.schoolName = "育才实验学校";
  options.week = orv::bench::kLessonsPerDay;
  options.baseUrl = "https://www.example.edu.cn/kebiao/";
  options.publishedAt = "2026-12-07 17:30";
  orv::bench::PrintHeader();
  int files = 0;
  const bool ok = orv::bench::Measure("whole site (pages, .ics, CSV)", true, [&] {
    const auto published = orv::PublishSite(*db, school.File("site"), options);
    if (!published) std::fprintf(stderr, "%s\n", published.message().c_str());
    files = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::recursive_directory_iterator(school.File("site")))
      ++files;
    return published.ok();
  });
  std::printf("%d files and folders in the site\n", files);
  return ok ? 0 : 1;
}
