// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/publish/site_pages.h"

#include <algorithm>
#include <functional>
#include <set>

#include "core/domain/week.h"
#include "core/publish/qr_code.h"
#include "core/publish/site_names.h"
#include "core/publish/site_style.h"

namespace orv {

namespace {

using Lessons = std::vector<const PublishedLesson*>;
// The two lines a cell shows of a lesson: the course, then the teacher or the class.
using CellLines = std::function<std::pair<std::string, std::string>(const PublishedLesson&)>;

std::string E(std::string_view text) { return HtmlEscape(text); }

struct Site {
  const SiteContent& c;
  SiteSlugMaps slugs;
  std::map<std::string, int> courseOrder;  // course code -> colour index

  std::string Colour(const PublishedLesson& l) const {
    auto it = courseOrder.find(l.courseCode);
    return "k" + std::to_string((it == courseOrder.end() ? 0 : it->second) % kCourseColours);
  }

  std::string Page(const std::string& title, const std::string& body) const {
    // A school without a name in its settings still gets tidy pages.
    const std::string school = E(c.school.schoolName);
    const std::string of = school.empty() ? "" : school + " ";
    return "<!DOCTYPE html>\n<html lang=\"zh-CN\">\n<head>\n<meta charset=\"utf-8\">\n"
           "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n<title>" +
           E(title) + (school.empty() ? "" : " - " + school) +
           "</title>\n<link rel=\"stylesheet\" href=\"style.css\">\n</head>\n<body>\n" +
           "<header class=\"site\"><nav><a href=\"index.html\">" + of +
           "课表</a><a href=\"overview.html\">全校总表</a><a "
           "href=\"changes.html\">本次变更</a></nav></header>\n"
           "<main>\n" +
           body + "</main>\n<footer>" + school + " · " + E(c.publishedAt) +
           " 发布</footer>\n</body>\n</html>\n";
  }

  std::string LessonLabel(int lesson) const {
    std::string label = "第" + std::to_string(lesson) + "节";
    if (const BellTime* bell = c.calendar.BellOf(lesson))
      label += "<span class=\"bell\">" + ClockText(bell->start) + "-" + ClockText(bell->end) + "</span>";
    return label;
  }

  std::string Cell(const PublishedLesson& l, const CellLines& lines) const {
    const auto [first, second] = lines(l);
    return "<span class=\"lesson " + Colour(l) + "\"><b>" + E(first) + "</b>" +
           (second.empty() ? "" : "<small>" + E(second) + "</small>") + "</span>";
  }

  std::string Cells(const Lessons& lessons, int day, int lesson, const CellLines& lines) const {
    std::string out;
    for (const PublishedLesson* l : lessons)
      if (l->day == day && l->lesson == lesson) out += Cell(*l, lines);
    return out;
  }

  // The week as a grid (wide screens, paper) and as a list by day (phones);
  // the stylesheet shows one of them.
  std::string Week(const Lessons& lessons, const CellLines& lines) const {
    const SchoolWeek week = c.school.week;
    std::string grid = "<table class=\"week\">\n<thead><tr><th class=\"no\"></th>";
    for (int d = 1; d <= week.Days(); ++d) grid += "<th>" + std::string(kDayNames[d - 1]) + "</th>";
    grid += "</tr></thead>\n<tbody>\n";
    for (int n = 1; n <= week.lessonsPerDay; ++n) {
      grid += "<tr><th class=\"no\">" + LessonLabel(n) + "</th>";
      for (int d = 1; d <= week.Days(); ++d) grid += "<td>" + Cells(lessons, d, n, lines) + "</td>";
      grid += "</tr>\n";
      if (week.LunchAfter(n)) grid += "<tr class=\"lunch\"><td colspan=\"6\"></td></tr>\n";
    }
    grid += "</tbody>\n</table>\n";
    std::string days = "<div class=\"days\">\n";
    for (int d = 1; d <= week.Days(); ++d) {
      days += "<section><h3>" + std::string(kDayNames[d - 1]) + "</h3><ol>\n";
      bool any = false;
      for (int n = 1; n <= week.lessonsPerDay; ++n) {
        const std::string cells = Cells(lessons, d, n, lines);
        if (cells.empty()) continue;
        any = true;
        days += "<li><span class=\"no\">" + LessonLabel(n) + "</span>" + cells + "</li>\n";
      }
      if (!any) days += "<li class=\"empty\">没有课</li>\n";
      days += "</ol></section>\n";
    }
    return grid + days + "</div>\n";
  }

  std::string Heading(const std::string& title) const {
    const std::string& school = c.school.schoolName;
    return "<h1>" + E(title) + "</h1>\n<p class=\"meta\">" + (school.empty() ? "" : E(school) + " · ") +
           "版本 " + E(c.publishedAt) + "</p>\n";
  }

  std::string CalendarLink(const std::string& slug) const {
    if (!c.calendarFiles) return "";
    return "<p class=\"downloads\"><a href=\"ics/" + slug + ".ics\">导入手机日历（.ics）</a></p>\n";
  }

  std::string QrFigure(const std::string& slug) const {
    if (c.baseUrl.empty()) return "";
    std::string url = c.baseUrl;
    if (url.back() != '/') url += '/';
    url += slug + ".html";
    const std::string svg = QrCodeSvg(url);
    if (svg.empty()) return "";
    return "<figure class=\"qr\">" + svg + "<figcaption>扫码查看本班课表<br>" + E(url) +
           "</figcaption></figure>\n";
  }

  std::string Overview() const {
    const SchoolWeek week = c.school.week;
    std::map<std::string, Lessons> byClass;
    for (const PublishedLesson& l : c.school.lessons) byClass[l.classCode].push_back(&l);
    std::string t =
        "<div class=\"scroll\"><table class=\"overview\">\n<thead><tr><th class=\"who\" "
        "rowspan=\"2\">班级</th>";
    for (int d = 1; d <= week.Days(); ++d)
      t += "<th colspan=\"" + std::to_string(week.lessonsPerDay) + "\">" + std::string(kDayNames[d - 1]) +
           "</th>";
    t += "</tr>\n<tr>";
    for (int d = 1; d <= week.Days(); ++d)
      for (int n = 1; n <= week.lessonsPerDay; ++n) t += "<th>" + std::to_string(n) + "</th>";
    t += "</tr></thead>\n<tbody>\n";
    for (const NamedRecord& k : c.school.classes) {
      const Lessons& lessons = byClass[k.code];
      t += "<tr><th class=\"who\"><a href=\"" + slugs.classes.at(k.code) + ".html\">" + E(k.name) +
           "</a></th>";
      for (int d = 1; d <= week.Days(); ++d)
        for (int n = 1; n <= week.lessonsPerDay; ++n) {
          std::string cell;
          std::string colour;
          for (const PublishedLesson* l : lessons)
            if (l->day == d && l->lesson == n) {
              if (!cell.empty()) cell += "<br>";
              cell += E(l->courseName) + "<br><small>" + E(l->teacherName) + "</small>";
              colour = Colour(*l);
            }
          t += colour.empty() ? "<td></td>" : "<td class=\"" + colour + "\">" + cell + "</td>";
        }
      t += "</tr>\n";
    }
    t += "</tbody>\n</table></div>\n";
    return Page("全校总表", Heading("全校总表") + t);
  }

  std::string ChangeList(const std::vector<ChangeNoticeEntry>& entries,
                         const std::map<std::string, std::string>& pages) const {
    std::string out;
    for (const ChangeNoticeEntry& e : entries) {
      auto page = pages.find(e.code);
      out +=
          "<h3>" +
          (page == pages.end() ? E(e.name) : "<a href=\"" + page->second + ".html\">" + E(e.name) + "</a>") +
          "</h3>\n<ul>\n";
      for (const LessonChange& ch : e.changes) out += "<li>" + E(ch.text) + "</li>\n";
      out += "</ul>\n";
    }
    return out;
  }

  std::string Changes() const {
    const ChangeNotice& n = c.changes;
    std::string body = Heading("本次变更") + "<div class=\"changes\">\n";
    if (!n.sinceVersion) {
      body += "<p>这是第一次发布。</p>\n";
    } else {
      // In the words of the notice window and the changes command.
      const std::string since = E(SinceText(n));
      if (n.Empty()) {
        body += "<p>" + since + "，课表没有变化。</p>\n";
      } else {
        body += "<p>" + since + "的变更：</p>\n";
        if (!n.teachers.empty()) body += "<h2>教师</h2>\n" + ChangeList(n.teachers, slugs.teachers);
        if (!n.classes.empty()) body += "<h2>班级</h2>\n" + ChangeList(n.classes, slugs.classes);
      }
    }
    return Page("本次变更", body + "</div>\n");
  }

  std::string NameList(const char* title, const std::vector<NamedRecord>& records,
                       const std::map<std::string, std::string>& pages, bool calendars) const {
    std::string out = "<section class=\"group\"><h2>" + std::string(title) + "</h2>\n<ul class=\"names\">\n";
    for (const NamedRecord& r : records) {
      const std::string& slug = pages.at(r.code);
      out += "<li data-name=\"" + E(r.name + " " + r.code) + "\"><a href=\"" + slug + ".html\">" + E(r.name) +
             "</a>";
      if (calendars) out += "<a class=\"ics\" href=\"ics/" + slug + ".ics\">日历</a>";
      out += "</li>\n";
    }
    if (records.empty()) out += "<li class=\"empty\">没有</li>\n";
    return out + "</ul></section>\n";
  }

  // Said where the calendar files are offered, so nobody relies on a
  // calendar that silently lacks the afternoon.
  std::string MissingBells() const {
    if (c.lessonsWithoutBell.empty()) return "";
    std::string lessons;
    for (int n : c.lessonsWithoutBell)
      lessons += (lessons.empty() ? "第" : "、第") + std::to_string(n) + "节";
    return "<br><strong>注意：</strong>" + lessons + "没有作息时间，日历文件中没有这些课。";
  }

  std::string Index() const {
    const PublishedSchool& s = c.school;
    std::string body =
        "<h1>" + (s.schoolName.empty() ? "" : E(s.schoolName) + " ") + "课表</h1>\n<p class=\"meta\">版本：" +
        E(c.publishedAt) + " 发布</p>\n" +
        "<form class=\"search\" action=\"index.html\" method=\"get\" role=\"search\">"
        "<input id=\"q\" name=\"q\" type=\"search\" placeholder=\"输入班级或教师名称查找\" "
        "aria-label=\"查找班级或教师\"></form>\n<p id=\"nothing\" class=\"empty\" hidden>没有找到</p>\n";
    body += NameList("班级", s.classes, slugs.classes, c.calendarFiles);
    body += NameList("教师", s.teachers, slugs.teachers, c.calendarFiles);
    if (!s.specialCourses.empty())
      body += NameList("专用教室", s.specialCourses, slugs.specialCourses, false);
    body +=
        "<h2>全校</h2>\n<ul>\n<li><a href=\"overview.html\">全校总表</a></li>\n"
        "<li><a href=\"changes.html\">本次变更</a></li>\n</ul>\n<h2>下载</h2>\n<ul class=\"downloads\">\n"
        "<li><a href=\"" +
        std::string(kLessonsCsvFile) + "\">全部课程（CSV，可用 Excel/WPS 打开）</a></li>\n";
    if (c.calendarFiles)
      body += "<li>每个班级、每位教师的日历文件（.ics）：点名称旁的“日历”，导入手机日历一次即可。" +
              MissingBells() + "</li>\n";
    body += "</ul>\n<script>\n" + std::string(SiteSearchScript()) + "</script>\n";
    return Page("课表", body);
  }
};

}  // namespace

SiteSlugMaps SiteSlugsOf(const PublishedSchool& school) {
  return {SiteSlugs(school.classes, "c-"), SiteSlugs(school.teachers, "t-"),
          SiteSlugs(school.specialCourses, "k-")};
}

std::vector<SiteFile> SitePages(const SiteContent& content) {
  Site site{content, SiteSlugsOf(content.school), {}};
  const PublishedSchool& s = content.school;
  std::set<std::string> courses;
  for (const PublishedLesson& l : s.lessons) courses.insert(l.courseCode);
  for (const std::string& code : courses) site.courseOrder.emplace(code, int(site.courseOrder.size()));

  std::map<std::string, Lessons> byClass, byTeacher, byCourse;
  for (const PublishedLesson& l : s.lessons) {
    byClass[l.classCode].push_back(&l);
    byTeacher[l.teacherCode].push_back(&l);
    byCourse[l.courseCode].push_back(&l);
  }

  std::vector<SiteFile> files;
  files.push_back({"index.html", site.Index()});
  for (const NamedRecord& k : s.classes) {
    const std::string& slug = site.slugs.classes.at(k.code);
    const std::string body = site.QrFigure(slug) + site.Heading(k.name + " 课表") + site.CalendarLink(slug) +
                             site.Week(byClass[k.code], [](const PublishedLesson& l) {
                               return std::pair(l.courseName, l.teacherName);
                             });
    files.push_back({slug + ".html", site.Page(k.name + " 课表", body)});
  }
  for (const NamedRecord& t : s.teachers) {
    const std::string& slug = site.slugs.teachers.at(t.code);
    const std::string body = site.Heading(t.name + " 老师课表") + site.CalendarLink(slug) +
                             site.Week(byTeacher[t.code], [](const PublishedLesson& l) {
                               return std::pair(l.courseName, l.className);
                             });
    files.push_back({slug + ".html", site.Page(t.name + " 老师课表", body)});
  }
  for (const NamedRecord& k : s.specialCourses) {
    const std::string& slug = site.slugs.specialCourses.at(k.code);
    const std::string body =
        site.Heading(k.name + " 专用教室课表") + site.Week(byCourse[k.code], [](const PublishedLesson& l) {
          return std::pair(l.className, l.teacherName);
        });
    files.push_back({slug + ".html", site.Page(k.name + " 专用教室课表", body)});
  }
  files.push_back({"overview.html", site.Overview()});
  files.push_back({"changes.html", site.Changes()});
  files.push_back({"style.css", std::string(SiteStylesheet())});
  return files;
}

}  // namespace orv
