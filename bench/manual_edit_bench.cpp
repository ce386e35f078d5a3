// SPDX-License-Identifier: GPL-3.0-or-later
// How long the manual adjustment window's core work takes per click on the
// 72-class demo school with 7 lessons a day (grades 1-9, 8 classes each):
//   selection: the class's and the teacher's week, the swap targets with
//              their reasons, and the class's rule count;
//   pick:      the class's week and the placement targets of a missing lesson;
//   swap:      the swap (or move) itself, then both weeks, the unplaced list
//              and the rule count again, as the window redraws;
//   undo:      taking a swap back, with the same redraw.
// The window must answer a click in under 50 ms in all. Run by `make bench`.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include <time.h>
#include <unistd.h>

#include "core/database/lesson_weeks.h"
#include "core/database/timetable_db.h"
#include "core/demo/demo_school.h"
#include "core/editing/edit_history.h"
#include "core/editing/edit_targets.h"
#include "core/scheduling/build_timetable.h"
#include "core/scheduling/random.h"
#include "core/scheduling/timetable_check.h"

namespace fs = std::filesystem;

namespace {

constexpr int kLessonsPerDay = 7;
constexpr int kClicks = 400;
constexpr double kBudgetMs = 50.0;

using Clock = std::chrono::steady_clock;

struct Timings {
  const char* name = "";
  std::vector<double> ms{};
  std::vector<double> cpuMs{};  // processor time: the wall time less waiting for the disk or a busy CPU
  std::uint64_t statements = 0;
};

double ThreadCpuMs() {
  timespec ts{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
  return static_cast<double>(ts.tv_sec) * 1e3 + static_cast<double>(ts.tv_nsec) / 1e6;
}

template <class F>
bool Time(Timings& t, orv::TimetableDb& db, F click) {
  const std::uint64_t before = db.StatementsRun();
  const double cpu = ThreadCpuMs();
  const auto start = Clock::now();
  const bool ok = click();
  t.ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
  t.cpuMs.push_back(ThreadCpuMs() - cpu);
  t.statements += db.StatementsRun() - before;
  return ok;
}

double Percentile(std::vector<double> v, double p) {
  std::sort(v.begin(), v.end());
  return v[static_cast<size_t>(p * static_cast<double>(v.size() - 1))];
}

bool Fail(const char* what, const std::string& why) {
  std::fprintf(stderr, "%s: %s\n", what, why.c_str());
  return false;
}

// Clicks on random classes and lessons; false when one of them fails.
bool RunClicks(orv::TimetableDb& db, const std::vector<std::string>& classes, std::mt19937& rng,
               std::vector<Timings>& out) {
  orv::EditHistory history(db, kLessonsPerDay);
  auto anyLesson = [&](const std::string& cls, int& day, int& lessonNo) {
    orv::Cursor c =
        db.Query("select Day,LessonNo from LessonListtb where ClassCode=? order by random() limit 1", cls);
    if (!c.Next()) return false;
    day = c.Int(0);
    lessonNo = c.Int(1);
    return true;
  };
  // What the window redraws after a change: both weeks, the list, and the
  // class's rule count on the status line.
  auto redraw = [&](const std::string& cls, const std::string& teacher) {
    return orv::LoadClassCells(db, cls, kLessonsPerDay).ok() &&
           orv::LoadTeacherCells(db, teacher, kLessonsPerDay).ok() && orv::LoadUnplacedLessons(db).ok() &&
           orv::CountClassFindings(db, kLessonsPerDay, cls).ok();
  };

  Timings selection{"selection"}, pick{"pick"}, swap{"swap"}, undo{"undo"};
  int moves = 0, reasons = 0;
  // Some lessons deleted first, so that picks find missing lessons to place.
  for (int i = 0; i < 150; ++i) {
    const std::string& cls = classes[rng() % classes.size()];
    int day = 0, lessonNo = 0;
    if (anyLesson(cls, day, lessonNo) && !history.Delete(cls, day, lessonNo))
      return Fail("delete", "refused");
  }
  for (int click = 0; click < kClicks; ++click) {
    const std::string cls = classes[rng() % classes.size()];
    int day = 0, lessonNo = 0;
    if (!anyLesson(cls, day, lessonNo)) continue;
    orv::Result<orv::SwapTargets> targets = orv::Outcome::Fail("not run");
    const bool selected = Time(selection, db, [&] {
      orv::Result<orv::WeekCells> week = orv::LoadClassCells(db, cls, kLessonsPerDay);
      if (!week) return false;
      targets = orv::MarkSwapTargets(db, cls, day, lessonNo, kLessonsPerDay);
      return orv::LoadTeacherCells(db, week->At(day, lessonNo).teacherCode, kLessonsPerDay).ok() &&
             targets.ok() && orv::CountClassFindings(db, kLessonsPerDay, cls).ok();
    });
    if (!selected) return Fail("selection", targets.message());
    for (const orv::SwapTarget& t : targets->targets) reasons += !t.reasons.empty();

    const std::vector<orv::UnplacedLesson> open = orv::LoadUnplacedLessons(db).value();
    std::vector<const orv::UnplacedLesson*> missing;
    for (const orv::UnplacedLesson& u : open)
      if (u.remaining > 0) missing.push_back(&u);
    if (!missing.empty()) {
      const orv::UnplacedLesson& u = *missing[rng() % missing.size()];
      if (!Time(pick, db, [&] {
            return orv::LoadClassCells(db, u.classCode, kLessonsPerDay).ok() &&
                   orv::MarkPlacementTargets(db, u.classCode, u.courseCode, u.teacherCode, kLessonsPerDay)
                       .ok();
          }))
        return Fail("pick", "failed");
    }

    if (targets->targets.empty()) continue;
    const orv::SwapTarget& target = targets->targets[rng() % targets->targets.size()];
    std::string teacher;
    if (!Time(swap, db, [&] {
          orv::Result<orv::LessonEdit> r = history.Swap(cls, day, lessonNo, target.day, target.lessonNo);
          if (!r) return Fail("swap", r.message());
          moves += r->kind == orv::EditKind::Move;
          teacher = r->periods.front().before->teacherCode;
          return redraw(cls, teacher);
        }))
      return false;
    if (click % 4 == 0 && !Time(undo, db, [&] {
          orv::Result<orv::LessonEdit> r = history.Undo();
          return r ? redraw(r->classCode, teacher) : Fail("undo", r.message());
        }))
      return false;
  }

  std::printf("swaps that were moves: %d; swap targets with reasons: %d\n", moves, reasons);
  out = {selection, pick, swap, undo};
  return true;
}

}  // namespace

int main() {
  const fs::path dir = fs::temp_directory_path() / ("orvandel-bench-edit-" + std::to_string(::getpid()));
  fs::create_directories(dir);
  const fs::path file = dir / "kb.mdb";
  if (orv::Outcome created = orv::TimetableDb::Create(file); !created)
    return Fail("create", created.message()), 1;
  auto opened = orv::TimetableDb::Open(file);
  if (!opened) return Fail("open", opened.message()), 1;
  std::unique_ptr<orv::TimetableDb> db = std::move(opened).value();
  orv::DemoOptions options;
  options.firstGrade = 1;
  options.lastGrade = 9;
  options.classesPerGrade = 8;
  options.lessonsPerDay = kLessonsPerDay;
  if (orv::Outcome filled = orv::FillDemoSchool(*db, options); !filled)
    return Fail("demo school", filled.message()), 1;
  orv::UniformRandom random(1);
  const orv::Result<orv::BuildResult> generated = orv::BuildTimetable(*db, kLessonsPerDay, random);
  if (!generated) return Fail("generation", generated.message()), 1;
  const orv::BuildResult& built = *generated;

  std::vector<std::string> classes;
  for (orv::Cursor c = db->Query("select Code from Classtb order by Code"); c.Next();)
    classes.push_back(c.Text(0));
  const auto lessonCount = db->FirstInt("select count(*) from LessonListtb").value_or(0);
  std::printf("school: %zu classes, %d lessons a day, %lld lessons, generation %d%%\n", classes.size(),
              kLessonsPerDay, lessonCount, built.rate);

  // First as the program runs (every change synced to disk when it is
  // committed), then without syncing, which leaves the core's own work.
  std::mt19937 rng(2026);
  bool within = true;
  for (const bool synced : {true, false}) {
    if (!synced) db->Execute("PRAGMA synchronous=OFF");
    std::printf("\n%s\n", synced ? "changes synced to disk at commit (the program's setting):"
                                 : "without syncing (the core's own work):");
    std::vector<Timings> timings;
    if (!RunClicks(*db, classes, rng, timings)) return 1;
    std::printf("%-10s %7s %10s %10s %10s %12s %12s\n", "click", "count", "median ms", "p95 ms", "worst ms",
                "median cpu", "stmts/click");
    for (const Timings& t : timings) {
      const double median = Percentile(t.ms, 0.5);
      std::printf("%-10s %7zu %10.2f %10.2f %10.2f %12.2f %12.1f\n", t.name, t.ms.size(), median,
                  Percentile(t.ms, 0.95), *std::max_element(t.ms.begin(), t.ms.end()),
                  Percentile(t.cpuMs, 0.5),
                  static_cast<double>(t.statements) / static_cast<double>(t.ms.size()));
      if (synced) within = within && median < kBudgetMs;
    }
  }
  std::error_code ec;
  fs::remove_all(dir, ec);
  if (!within) {
    std::printf("a click's median is %.0f ms or more\n", kBudgetMs);
    return 1;
  }
  return 0;
}
