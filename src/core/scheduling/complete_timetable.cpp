// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/scheduling/complete_timetable.h"

#include <algorithm>
#include <exception>
#include <map>
#include <tuple>

#include "core/database/guard.h"
#include "core/model/school_model.h"
#include "core/rules/rule_index.h"
#include "core/scheduling/completion_search.h"
#include "core/scheduling/generation_steps.h"
#include "core/scheduling/school_analysis.h"

namespace orv {

namespace {

constexpr const char* kDeleteLesson = "delete from LessonListtb where rowid=?";
constexpr const char* kMoveLesson = "update LessonListtb set Day=?,LessonNo=? where rowid=?";
constexpr const char* kInsertLesson = "insert into LessonListtb values(?,?,?,?,?,?)";
constexpr const char* kSetBuildCount = "update ClassPlantb set BuildCount=? where rowid=?";
constexpr const char* kMarkBuilt = "update ClassPlantb set IsAutoBuild=1 where rowid=?";

std::string N(long long n) { return std::to_string(n); }

// Why the row's periods are all taken, in the school's words.
std::string BlockedText(const BlockedPeriods& b, bool timedOut) {
  if (b.open == 0) return "课程、班级和教师的“不排”时间占满了整个星期";
  std::string parts;
  auto part = [&](int n, const char* what) {
    if (n > 0) parts += (parts.empty() ? "" : "，") + N(n) + what;
  };
  part(b.walls, "个已有固定或手工安排的课");
  part(b.classBusy, "个该班已有别的课");
  part(b.teacherBusy, "个教师在别的班上课");
  part(b.specialTaken, "个专用课程已被别的班占用");
  part(b.dayFull, "个在该课当天已排满的日子");
  part(b.teacherDayFull, "个在教师当天已达每天最多节数的日子");
  std::string text =
      "课程、班级和教师都能上课的" + N(b.open) + "个节次中，" + (parts.empty() ? "没有空位" : parts);
  text += timedOut ? "；在时间限制内未能调整出空位" : "；调整其他课程也腾不出空位";
  return text;
}

struct Written {
  int placed = 0, moved = 0, removed = 0;
};

Written WriteBack(TimetableDb& db, const SchoolModel& model, const CompletionSearch& search) {
  Written w;
  // Lessons per class, course and teacher after the run, for BuildCount.
  std::map<std::tuple<int, int, int>, long long> standing;
  for (const ModelLesson& l : model.lessons) {
    if (l.surplus) {
      db.Execute(kDeleteLesson, l.rowid);
      ++w.removed;
    } else if (!l.moves) {
      ++standing[{l.cls, l.course, l.teacher}];
    }
  }
  for (const SearchLesson& s : search.Lessons()) {
    const PlanNeed& need = model.needs[static_cast<size_t>(s.need)];
    if (s.period >= 0) ++standing[{need.cls, need.course, need.teacher}];
    const int day = DayOfPeriod(s.period), lessonNo = LessonOfPeriod(s.period);
    if (s.stored < 0) {
      if (s.period < 0) continue;
      db.Execute(kInsertLesson, model.classes[static_cast<size_t>(need.cls)].code, day, lessonNo,
                 model.courses[static_cast<size_t>(need.course)].code,
                 model.teachers[static_cast<size_t>(need.teacher)].code, DbValue(LessonOrigin::Automatic));
      ++w.placed;
      continue;
    }
    const ModelLesson& was = model.lessons[static_cast<size_t>(s.stored)];
    if (s.period == was.period && s.period >= 0) continue;
    if (s.period < 0) {
      db.Execute(kDeleteLesson, was.rowid);
      ++w.removed;
    } else {
      db.Execute(kMoveLesson, day, lessonNo, was.rowid);
      ++w.moved;
    }
  }
  for (const PlanNeed& n : model.needs) {
    const auto it = standing.find({n.cls, n.course, n.teacher});
    const long long count = it == standing.end() ? 0 : it->second;
    if (count != n.storedBuildCount) db.Execute(kSetBuildCount, count, n.rowid);
    if (n.usable && !n.autoBuilt) db.Execute(kMarkBuilt, n.rowid);
  }
  return w;
}

}  // namespace

std::string MissingLine(const MissingLessons& m) { return m.label + "缺" + N(m.count) + "节：" + m.reason; }

Result<CompletionReport> CompleteTimetable(TimetableDb& db, const CompletionOptions& options) {
  if (!SchoolWeek::Valid(options.lessonsPerDay))
    return Outcome::Fail("每天课时数无效: " + std::to_string(options.lessonsPerDay));
  Result<SchoolModel> loaded = LoadIndexedSchool(db, SchoolWeek(options.lessonsPerDay));
  if (!loaded) return loaded.outcome();
  const SchoolModel& model = *loaded;
  CompletionReport report;
  for (const PlanNeed& n : model.needs) report.plannedLessons += n.count;
  if (report.plannedLessons <= 0) return Outcome::Fail("教学计划为空，没有需要补排的课程");

  const std::vector<AnalysisFinding> findings = AnalyzeModel(model);
  CompletionSearch search(model);
  int unplaceable = 0;  // rows whose class, course or teacher is gone
  for (const PlanNeed& n : model.needs)
    if (!n.usable && !n.duplicate) unplaceable += n.toPlace;
  report.missingBefore = search.MissingAtStart() + unplaceable;
  if (options.progress) options.progress(report.missingBefore);

  SearchControl control;
  control.seconds = options.timeLimitSeconds;
  control.seed = options.seed;
  control.cancel = options.cancel;
  control.knownShortfall = ProvenShortfall(findings) - unplaceable;
  if (options.progress) control.progress = [&](int missing) { options.progress(missing + unplaceable); };
  const SearchOutcome outcome = search.Run(control);
  // A stop asked for at any time before writing starts leaves everything.
  if (outcome.cancelled || (options.cancel != nullptr && options.cancel->load()))
    return Outcome::Fail("补排已取消，课表没有改动", kCompletionCancelled);
  report.timedOut = outcome.timedOut;
  report.iterations = outcome.iterations;

  // What is still missing, row by row, and why. A clashing lesson that does
  // not move stands in the table but cannot be held.
  std::vector<int> placed(model.needs.size(), 0), wanted(model.needs.size(), 0),
      clashing(model.needs.size(), 0);
  for (const ModelLesson& l : model.lessons)
    if (l.clashes && l.need >= 0) ++clashing[static_cast<size_t>(l.need)];
  for (const SearchLesson& s : search.Lessons()) {
    ++wanted[static_cast<size_t>(s.need)];
    if (s.period >= 0) ++placed[static_cast<size_t>(s.need)];
  }
  for (size_t i = 0; i < model.needs.size(); ++i) {
    const PlanNeed& n = model.needs[i];
    const AnalysisFinding* blocking = BlockingFindingFor(findings, model, n);
    const int short_ = (n.usable ? wanted[i] - placed[i] : (n.duplicate ? 0 : n.toPlace)) + clashing[i];
    if (short_ <= 0) continue;
    MissingLessons m;
    m.classCode = model.classes[static_cast<size_t>(n.cls)].code;
    m.courseCode = model.courses[static_cast<size_t>(n.course)].code;
    m.teacherCode = model.teachers[static_cast<size_t>(n.teacher)].code;
    m.label = model.NeedLabel(n);
    m.count = short_;
    m.reason = blocking != nullptr ? blocking->text
                                   : BlockedText(search.Blockers(static_cast<int>(i)), outcome.timedOut);
    report.missingAfter += short_;
    report.missing.push_back(std::move(m));
  }
  for (const SearchLesson& s : search.Lessons()) {
    if (s.period < 0) continue;
    const PlanNeed& n = model.needs[static_cast<size_t>(s.need)];
    const SoftCells cells = CountSoftCells(model, n, s.period);
    report.avoidCells += cells.avoid;
    report.bestCells += cells.best;
  }

  Outcome written = Guarded("补排课表失败：", [&]() -> Outcome {
    Transaction tx(db);
    const Written w = WriteBack(db, model, search);
    report.placedLessons = w.placed;
    report.movedLessons = w.moved;
    report.removedLessons = w.removed;
    report.rate = CompletionRate(db);
    if (report.rate < 0) return Outcome::Fail("无法统计课表完成率");
    if (report.missingAfter > 0) report.rate = std::min(report.rate, 99);
    tx.Commit();
    return Outcome::Ok();
  });
  if (!written) return written;
  return report;
}

}  // namespace orv
