// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/publish/site_publish.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <ctime>

#include "core/calendar/term_calendar.h"
#include "core/files/output_file.h"
#include "core/publish/calendar_files.h"
#include "core/publish/change_notice.h"
#include "core/publish/published_school.h"
#include "core/publish/site_pages.h"

namespace fs = std::filesystem;

namespace orv {

namespace {

constexpr const char* kMarkerText = "Orvandel排课软件发布的网页课表。重新发布时整个文件夹会被替换。\n";

Outcome Failed(const std::string& what, const fs::path& path, int error) {
  return Outcome::Fail(what + path.string() + "（" + FileErrorText(error) + "）");
}

std::string TimeText(const char* format, bool utc) {
  const std::time_t now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
  std::tm parts{};
  if (utc)
    ::gmtime_r(&now, &parts);
  else
    ::localtime_r(&now, &parts);
  char text[32];
  std::strftime(text, sizeof text, format, &parts);
  return text;
}

// Everything the site holds, in memory, from one reading of the database.
Result<std::vector<SiteFile>> SiteFiles(TimetableDb& db, const PublishedSchool& school,
                                        const PublishOptions& o) {
  Result<TermCalendar> calendar = LoadTermCalendar(db);
  if (!calendar) return calendar.outcome();
  // Compared before this publication is recorded: what changed since the last one.
  Result<ChangeNotice> changes = ChangesSince(db, o.week, std::nullopt);
  if (!changes) return changes.outcome();
  const bool calendars = calendar->start.has_value();
  std::vector<SiteFile> files =
      SitePages({school, *calendar, *changes, o.publishedAt, o.baseUrl, calendars,
                 calendars ? LessonsWithoutBell(school, *calendar) : std::vector<int>{}});
  files.push_back({kLessonsCsvFile, LessonsCsv(school)});
  if (calendars) {
    const std::string stamp = o.stamp.empty() ? UtcStampNow() : o.stamp;
    const SiteSlugMaps slugs = SiteSlugsOf(school);
    for (const auto& [code, slug] : slugs.classes)
      files.push_back(
          {"ics/" + slug + ".ics", CalendarIcs(school, *calendar, CalendarOwner::Class, code, stamp)});
    for (const auto& [code, slug] : slugs.teachers)
      files.push_back(
          {"ics/" + slug + ".ics", CalendarIcs(school, *calendar, CalendarOwner::Teacher, code, stamp)});
  }
  files.push_back({kSiteMarkerFile, kMarkerText});
  return files;
}

Outcome WriteAll(const fs::path& folder, const std::vector<SiteFile>& files) {
  for (const SiteFile& f : files) {
    const fs::path path = folder / f.path;
    if (f.path.find('/') != std::string::npos && ::mkdir(path.parent_path().c_str(), 0777) != 0 &&
        errno != EEXIST)
      return Failed("无法创建文件夹：", path.parent_path(), errno);
    std::FILE* out = std::fopen(path.c_str(), "wbx");
    if (!out) return Failed("无法写入文件：", path, errno);
    const bool written = std::fwrite(f.bytes.data(), 1, f.bytes.size(), out) == f.bytes.size();
    const int error = errno;
    if (std::fclose(out) != 0 || !written) return Failed("无法写入文件：", path, written ? errno : error);
  }
  // No flush to disk: the site can be made again from the database at any
  // time, and syncing the folder took longer than the whole publish (over a
  // second against 0.1 s for the 72-class school on a busy disk).
  return Outcome::Ok();
}

bool HoldsOurSite(const fs::path& folder) {
  std::error_code ec;
  return fs::is_regular_file(folder / kSiteMarkerFile, ec);
}

// Folders of a run that was killed before it cleaned up: our pattern, and our marker.
void RemoveLeftovers(const fs::path& parent, const std::string& name) {
  std::error_code ec;
  for (const fs::directory_entry& e : fs::directory_iterator(parent, ec)) {
    const std::string other = e.path().filename().string();
    const bool ours =
        other.size() == name.size() + 11 && other.compare(0, name.size(), name) == 0 &&
        (other.compare(name.size(), 5, ".new-") == 0 || other.compare(name.size(), 5, ".old-") == 0);
    std::error_code ignored;
    if (ours && e.is_directory(ignored) && !e.is_symlink(ignored) && HoldsOurSite(e.path()))
      fs::remove_all(e.path(), ignored);
  }
}

Result<fs::path> MakeSibling(const fs::path& parent, const std::string& name, const char* kind) {
  std::string pattern = (parent / (name + kind + "XXXXXX")).string();
  if (!::mkdtemp(pattern.data())) return Failed("无法在此写入网页课表：", parent, errno);
  return fs::path(pattern);
}

// Puts `fresh` where `target` is; the old site (if any) ends up at the
// returned path. At every moment `target` is the old site or the new one.
Result<fs::path> SwapIn(const fs::path& fresh, const fs::path& target, bool replacing, const fs::path& parent,
                        const std::string& name) {
  if (!replacing) {
    if (::rename(fresh.c_str(), target.c_str()) != 0) return Failed("无法放置网页课表：", target, errno);
    return fs::path();
  }
  if (::renameat2(AT_FDCWD, fresh.c_str(), AT_FDCWD, target.c_str(), RENAME_EXCHANGE) == 0) return fresh;
  // A file system without an atomic exchange: aside, then in, back on failure.
  Result<fs::path> aside = MakeSibling(parent, name, ".old-");
  if (!aside) return aside;
  if (::rename(target.c_str(), aside->c_str()) != 0) {
    const int error = errno;
    ::rmdir(aside->c_str());
    return Failed("无法替换原来的网页课表：", target, error);
  }
  if (::rename(fresh.c_str(), target.c_str()) != 0) {
    const int error = errno;
    ::rename(aside->c_str(), target.c_str());
    return Failed("无法放置网页课表：", target, error);
  }
  return aside;
}

}  // namespace

std::string BaseUrlProblem(std::string_view url) {
  if (url.empty()) return "";
  const bool web = url.starts_with("http://") || url.starts_with("https://");
  if (!web || url.find_first_of(" \t\r\n\"<>") != std::string_view::npos || url.size() <= 8)
    return "网址应以 http:// 或 https:// 开头，不含空格，例如 https://www.example.edu.cn/kebiao/";
  return "";
}

std::string LocalMinuteNow() { return TimeText("%Y-%m-%d %H:%M", false); }
std::string UtcStampNow() { return TimeText("%Y%m%dT%H%M%SZ", true); }

Result<Publication> PublishSite(TimetableDb& db, const fs::path& dir, const PublishOptions& options) {
  fs::path target = dir.lexically_normal();
  if (!target.has_filename()) target = target.parent_path();
  const std::string name = target.filename().string();
  if (name.empty() || name == "." || name == "..") return Outcome::Fail("请指定发布网页课表的文件夹");
  if (const std::string problem = BaseUrlProblem(options.baseUrl); !problem.empty())
    return Outcome::Fail(problem);
  const fs::path parent = target.has_parent_path() ? target.parent_path() : fs::path(".");

  std::error_code ec;
  const fs::file_status status = fs::symlink_status(target, ec);
  const bool replacing = fs::exists(status);
  if (replacing && !fs::is_directory(status))
    return Outcome::Fail("“" + target.string() + "”不是文件夹，不能在此发布网页课表");
  if (replacing && !fs::is_empty(target, ec) && !HoldsOurSite(target))
    return Outcome::Fail(
        "文件夹“" + target.string() +
        "”中已有其他文件，不是本程序发布的网页课表，不会替换它；请选择一个空文件夹或新文件夹");

  Result<PublishedSchool> school = ReadPublishedSchool(db, options.week, options.schoolName);
  if (!school) return school.outcome();
  Result<std::vector<SiteFile>> files = SiteFiles(db, *school, options);
  if (!files) return files.outcome();

  for (fs::path p = parent; !p.empty(); p = p.parent_path()) {
    const fs::file_status s = fs::status(p, ec);
    if (fs::exists(s) && !fs::is_directory(s))
      return Outcome::Fail("“" + p.string() + "”是文件，不是文件夹，不能在其中发布网页课表");
    if (fs::exists(s) || p == p.parent_path()) break;
  }
  fs::create_directories(parent, ec);
  if (ec) return Failed("无法创建文件夹：", parent, ec.value());
  RemoveLeftovers(parent, name);

  Result<fs::path> fresh = MakeSibling(parent, name, ".new-");
  if (!fresh) return fresh.outcome();
  // mkdtemp makes it private; a web server has to read the site.
  const mode_t mask = ::umask(077);
  ::umask(mask);
  ::chmod(fresh->c_str(), 0777 & ~mask);
  auto discard = [](const fs::path& folder) {
    std::error_code ignored;
    if (!folder.empty()) fs::remove_all(folder, ignored);
  };
  if (Outcome written = WriteAll(*fresh, *files); !written) {
    discard(*fresh);
    return written;
  }
  Result<fs::path> aside = SwapIn(*fresh, target, replacing, parent, name);
  if (!aside) {
    discard(*fresh);
    return aside.outcome();
  }
  Result<Publication> recorded = RecordPublication(db, *school, options.publishedAt);
  if (!recorded) {
    // The database said no: the old site goes back, as if nothing had happened.
    if (aside->empty())
      discard(target);
    else if (Result<fs::path> back = SwapIn(*aside, target, true, parent, name); back)
      discard(*back);
    return recorded.outcome();
  }
  discard(*aside);
  return recorded;
}

}  // namespace orv
