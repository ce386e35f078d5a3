// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/publish/change_notice.h"

#include <algorithm>
#include <map>
#include <tuple>

#include "core/database/guard.h"
#include "core/domain/week.h"
#include "core/publish/publications.h"

namespace orv {

namespace {

// What makes two lessons the same lesson: names and origin do not (a
// renamed teacher or a lesson fixed in place tells no one anything new).
auto Identity(const PublishedLesson& l) {
  return std::tie(l.classCode, l.day, l.lesson, l.courseCode, l.teacherCode);
}
bool ByIdentity(const PublishedLesson& a, const PublishedLesson& b) { return Identity(a) < Identity(b); }

// The same lesson at another time: class, course and teacher.
auto Owner(const PublishedLesson& l) { return std::tie(l.classCode, l.courseCode, l.teacherCode); }
bool ByTime(const PublishedLesson& a, const PublishedLesson& b) {
  return std::tie(a.day, a.lesson) < std::tie(b.day, b.lesson);
}

// "数学（七（2）班）" for a teacher, "数学（王伟）" for a class.
std::string Lesson(const PublishedLesson& l, bool forTeacher) {
  const std::string& other = forTeacher ? l.className : l.teacherName;
  return l.courseName + (other.empty() ? "" : "（" + other + "）");
}

std::string Sentence(const LessonChange& c, bool forTeacher) {
  switch (c.kind) {
    case LessonChangeKind::Added:
      return "新增 " + SlotLabel(c.after.day, c.after.lesson) + " " + Lesson(c.after, forTeacher);
    case LessonChangeKind::Removed:
      return "取消 " + SlotLabel(c.before.day, c.before.lesson) + " " + Lesson(c.before, forTeacher);
    case LessonChangeKind::Moved:
      break;
  }
  return SlotLabel(c.before.day, c.before.lesson) + " " + Lesson(c.after, forTeacher) + "改到 " +
         SlotLabel(c.after.day, c.after.lesson);
}

// The period a change is read at: where the lesson was, or for a new one
// where it is.
const PublishedLesson& Anchor(const LessonChange& c) {
  return c.kind == LessonChangeKind::Added ? c.after : c.before;
}

void AddTo(std::map<std::string, ChangeNoticeEntry>& entries, const std::string& code,
           const std::string& name, LessonChange change, bool forTeacher) {
  if (code.empty()) return;  // a lesson without a teacher has no one to tell
  ChangeNoticeEntry& e = entries[code];
  e.code = code;
  e.name = name;
  change.text = Sentence(change, forTeacher);
  e.changes.push_back(std::move(change));
}

std::vector<ChangeNoticeEntry> Sorted(std::map<std::string, ChangeNoticeEntry> entries) {
  std::vector<ChangeNoticeEntry> out;
  for (auto& [code, e] : entries) {
    // In one period what went is read before what came.
    auto key = [](const LessonChange& c) {
      const int rank = c.kind == LessonChangeKind::Removed ? 0 : c.kind == LessonChangeKind::Moved ? 1 : 2;
      return std::tuple(Anchor(c).day, Anchor(c).lesson, rank);
    };
    std::stable_sort(e.changes.begin(), e.changes.end(),
                     [&](const LessonChange& a, const LessonChange& b) { return key(a) < key(b); });
    out.push_back(std::move(e));
  }
  return out;
}

}  // namespace

ChangeNotice CompareLessons(const std::vector<PublishedLesson>& before,
                            const std::vector<PublishedLesson>& now) {
  std::vector<PublishedLesson> was = before, is = now;
  std::sort(was.begin(), was.end(), ByIdentity);
  std::sort(is.begin(), is.end(), ByIdentity);
  // Identical lessons first, one for one, so that a period holding two
  // lessons (a split class) loses only the one that went.
  std::vector<PublishedLesson> removed, added;
  std::set_difference(was.begin(), was.end(), is.begin(), is.end(), std::back_inserter(removed), ByIdentity);
  std::set_difference(is.begin(), is.end(), was.begin(), was.end(), std::back_inserter(added), ByIdentity);

  // Of what is left, a removed and an added lesson of one class, course and
  // teacher are the lesson moved; several are paired in time order, so the
  // same two timetables always give the same notice.
  std::map<std::tuple<std::string, std::string, std::string>,
           std::pair<std::vector<PublishedLesson>, std::vector<PublishedLesson>>>
      byOwner;
  for (const PublishedLesson& l : removed) byOwner[Owner(l)].first.push_back(l);
  for (const PublishedLesson& l : added) byOwner[Owner(l)].second.push_back(l);

  std::vector<LessonChange> changes;
  for (auto& [owner, lists] : byOwner) {
    auto& [gone, come] = lists;
    std::sort(gone.begin(), gone.end(), ByTime);
    std::sort(come.begin(), come.end(), ByTime);
    const size_t paired = std::min(gone.size(), come.size());
    for (size_t i = 0; i < paired; ++i) changes.push_back({LessonChangeKind::Moved, gone[i], come[i], ""});
    for (size_t i = paired; i < gone.size(); ++i)
      changes.push_back({LessonChangeKind::Removed, gone[i], {}, ""});
    for (size_t i = paired; i < come.size(); ++i)
      changes.push_back({LessonChangeKind::Added, {}, come[i], ""});
  }

  std::map<std::string, ChangeNoticeEntry> teachers, classes;
  for (const LessonChange& c : changes) {
    // Moved keeps class and teacher; Added and Removed name only their own
    // lesson, so a lesson given to another teacher reaches both of them.
    const PublishedLesson& l = c.kind == LessonChangeKind::Removed ? c.before : c.after;
    AddTo(teachers, l.teacherCode, l.teacherName, c, true);
    AddTo(classes, l.classCode, l.className, c, false);
  }
  ChangeNotice notice;
  notice.teachers = Sorted(std::move(teachers));
  notice.classes = Sorted(std::move(classes));
  return notice;
}

Result<ChangeNotice> ChangesSince(TimetableDb& db, SchoolWeek week, std::optional<int> version) {
  return Guarded("读取课表变动失败：", [&]() -> Result<ChangeNotice> {
    // One reading: the stored version and the timetable as they stand together.
    Transaction read(db);
    Result<std::vector<Publication>> published = ListPublications(db);
    if (!published) return published.outcome();
    if (published->empty() && !version) return ChangeNotice{};  // nothing to compare with: callers say so
    const auto it = std::find_if(published->begin(), published->end(), [&](const Publication& p) {
      return version ? p.version == *version : &p == &published->back();
    });
    if (it == published->end()) return Outcome::Fail("没有第" + std::to_string(*version) + "次发布");
    Result<std::vector<PublishedLesson>> before = LoadPublishedLessons(db, it->version);
    if (!before) return before.outcome();
    Result<PublishedSchool> now = ReadPublishedSchool(db, week, "");
    if (!now) return now.outcome();
    ChangeNotice notice = CompareLessons(*before, now->lessons);
    notice.sinceVersion = it->version;
    notice.sincePublishedAt = it->publishedAt;
    return notice;
  });
}

std::string SinceText(const ChangeNotice& notice) {
  if (!notice.sinceVersion) return "";
  return "自第" + std::to_string(*notice.sinceVersion) + "次发布（" + notice.sincePublishedAt + "）以来";
}

PrintData NoticePrintData(const ChangeNotice& notice, std::string_view school) {
  PrintData data;
  data.kind = PrintDataKind::Notice;
  for (const ChangeNoticeEntry& e : notice.teachers) {
    PrintSubject s;
    s.title = std::string(school) + (school.empty() ? "" : "　") + e.name;
    s.name = SinceText(notice) + "，您的课有以下变动：";
    for (const LessonChange& c : e.changes) s.lines.push_back(c.text);
    data.subjects.push_back(std::move(s));
  }
  return data;
}

}  // namespace orv
