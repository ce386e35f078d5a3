// SPDX-License-Identifier: GPL-3.0-or-later
// Generation followed by completion on demo schools of 18 to 72 classes,
// 6 and 7 lessons a day, plans filling 80 to 100 % of the week, with the
// demo's teacher "不排" cells. Reports how much the generation leaves out,
// the completion reached, and the time of both. Run by `make bench`.
//
// Fails when a school is not completed or a completed timetable breaks a
// rule; the times are reported, not judged, since the machine is shared.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

#include <unistd.h>

#include "bench_support.h"
#include "core/database/timetable_db.h"
#include "core/demo/demo_school.h"
#include "core/scheduling/build_timetable.h"
#include "core/scheduling/complete_timetable.h"
#include "core/scheduling/feasible_school.h"
#include "core/scheduling/random.h"
#include "core/scheduling/timetable_check.h"

namespace fs = std::filesystem;

namespace {

struct Shape {
  int lastGrade;
  int classesPerGrade;
};

constexpr Shape kShapes[] = {{6, 3}, {6, 6}, {9, 6}, {9, 8}};
constexpr int kLessonsPerDay[] = {6, 7};
constexpr int kFills[] = {80, 90, 100};
constexpr std::uint64_t kSeeds[] = {1, 2, 3, 4, 5};

double Seconds(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

// Rules every automatic lesson keeps: the checker's violations, and its
// warnings about daily caps and class or teacher "不排" cells.
int BrokenRules(orv::TimetableDb& db, int lessonsPerDay) {
  int broken = 0;
  for (const orv::Finding& f : orv::CheckTimetable(db, lessonsPerDay).value())
    if (f.severity == orv::Severity::kViolation || f.kind == orv::FindingKind::kCourseDayCap ||
        f.kind == orv::FindingKind::kClassNeverCell || f.kind == orv::FindingKind::kTeacherNeverCell)
      ++broken;
  return broken;
}

// Random schools that admit a complete timetable, by construction (the
// property test's schools, over many more seeds).
bool RandomFeasibleSchools(const fs::path& dir) {
  struct Shape {
    int classes, lessonsPerDay;
  };
  constexpr Shape kRandomShapes[] = {{8, 6}, {24, 7}, {48, 6}, {72, 7}};
  constexpr int kRandomFills[] = {85, 95, 100};
  constexpr int kRandomSeeds = 10;
  std::printf("\nrandom schools with a hidden complete timetable, %d seeds each\n", kRandomSeeds);
  std::printf("%7s %4s %5s %10s %10s %9s %9s %9s %6s\n", "classes", "day", "fill", "gen left", "completed",
              "compl ms", "worst ms", "iters", "broken");
  bool ok = true;
  std::uint64_t seed = 1000;
  for (const Shape& shape : kRandomShapes) {
    for (int fill : kRandomFills) {
      double left = 0, seconds = 0, worst = 0, iterations = 0;
      int completed = 0, broken = 0;
      for (int i = 0; i < kRandomSeeds; ++i) {
        ++seed;
        const fs::path file = dir / ("random-" + std::to_string(seed) + ".mdb");
        if (!orv::TimetableDb::Create(file)) return false;
        auto opened = orv::TimetableDb::Open(file);
        if (!opened) return false;
        std::unique_ptr<orv::TimetableDb> db = std::move(opened).value();
        db->Execute("PRAGMA synchronous=OFF");
        orv::test::MakeFeasibleSchool(*db, {shape.classes, shape.lessonsPerDay, fill, seed});
        orv::UniformRandom random(seed);
        const auto generated = orv::BuildTimetable(*db, shape.lessonsPerDay, random);
        if (!generated) return false;
        left += generated->unplacedLessons;
        orv::CompletionOptions co;
        co.lessonsPerDay = shape.lessonsPerDay;
        co.seed = seed;
        const auto start = std::chrono::steady_clock::now();
        const auto r = orv::CompleteTimetable(*db, co);
        const double s = Seconds(start);
        seconds += s;
        worst = std::max(worst, s);
        if (r && r->rate == 100) ++completed;
        if (r) iterations += static_cast<double>(r->iterations);
        broken += BrokenRules(*db, shape.lessonsPerDay);
        db.reset();
        fs::remove(file);
      }
      std::printf("%7d %4d %5d %10.1f %7d/%-2d %9.1f %9.1f %9.0f %6d\n", shape.classes, shape.lessonsPerDay,
                  fill, left / kRandomSeeds, completed, kRandomSeeds, seconds / kRandomSeeds * 1000,
                  worst * 1000, iterations / kRandomSeeds, broken);
      std::fflush(stdout);
      if (completed < kRandomSeeds || broken > 0) ok = false;
    }
  }
  return ok;
}

}  // namespace

// With "random", only the random schools are run.
int main(int argc, char** argv) {
  const bool randomOnly = argc > 1 && std::string(argv[1]) == "random";
  const fs::path dir =
      fs::temp_directory_path() / ("orvandel-bench-completion-" + std::to_string(::getpid()));
  fs::create_directories(dir);
  std::printf("%7s %4s %5s %8s %10s %12s %9s %9s %9s %9s %9s %6s\n", "classes", "day", "fill", "planned",
              "gen left", "completion %", "gen ms", "compl ms", "total ms", "worst ms", "cpu ms", "broken");
  std::printf("%7s %4s %5s %8s %10s %12s %9s %9s %9s %9s %9s %6s\n", "", "", "%", "", "(mean)", "(min)",
              "(mean)", "(mean)", "(mean)", "", "(mean)", "");
  bool ok = true;
  double bigWorst = 0;
  for (const Shape& shape : kShapes) {
    if (randomOnly) break;
    for (int lessons : kLessonsPerDay) {
      for (int fill : kFills) {
        const int classes = shape.lastGrade * shape.classesPerGrade;
        const fs::path file = dir / ("school-" + std::to_string(classes) + "-" + std::to_string(lessons) +
                                     "-" + std::to_string(fill) + ".mdb");
        orv::DemoOptions options;
        options.lastGrade = shape.lastGrade;
        options.classesPerGrade = shape.classesPerGrade;
        options.lessonsPerDay = lessons;
        options.fillPercent = fill;
        auto db = orv::bench::CreateDemoDatabase(file, options);
        if (!db) return 1;
        double gen = 0, compl_ = 0, worst = 0, cpu = 0, left = 0;
        int planned = 0, minRate = 100, broken = 0;
        for (std::uint64_t seed : kSeeds) {
          orv::UniformRandom random(seed);
          const std::clock_t cpuStart = std::clock();
          const auto start = std::chrono::steady_clock::now();
          const orv::Result<orv::BuildResult> generated = orv::BuildTimetable(*db, lessons, random);
          const double genSeconds = Seconds(start);
          orv::CompletionOptions co;
          co.lessonsPerDay = lessons;
          co.seed = seed;
          const auto completed = orv::CompleteTimetable(*db, co);
          const double total = Seconds(start);
          cpu += static_cast<double>(std::clock() - cpuStart) / CLOCKS_PER_SEC;
          if (!generated || !completed) {
            std::fprintf(stderr, "run failed: %s%s\n", generated ? "" : generated.message().c_str(),
                         completed ? "" : completed.message().c_str());
            return 1;
          }
          const orv::BuildResult& built = *generated;
          planned = built.plannedLessons;
          left += built.unplacedLessons;
          gen += genSeconds;
          compl_ += total - genSeconds;
          worst = std::max(worst, total);
          minRate = std::min(minRate, completed->rate);
          broken += BrokenRules(*db, lessons);
        }
        const double n = static_cast<double>(std::size(kSeeds));
        std::printf("%7d %4d %5d %8d %10.1f %12d %9.1f %9.1f %9.1f %9.1f %9.1f %6d\n", classes, lessons, fill,
                    planned, left / n, minRate, gen / n * 1000, compl_ / n * 1000, (gen + compl_) / n * 1000,
                    worst * 1000, cpu / n * 1000, broken);
        std::fflush(stdout);
        if (minRate < 100 || broken > 0) ok = false;
        if (classes == 72 && lessons == 7 && fill == 100) bigWorst = worst;
      }
    }
  }
  if (!RandomFeasibleSchools(dir)) ok = false;
  std::error_code ec;
  fs::remove_all(dir, ec);
  std::printf("72 classes, 7 lessons a day, 100 %% full: worst generation and completion %.0f ms\n",
              bigWorst * 1000);
  if (!ok) {
    std::printf("a school was left incomplete or a rule was broken\n");
    return 1;
  }
  return 0;
}
