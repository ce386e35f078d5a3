// SPDX-License-Identifier: GPL-3.0-or-later
// Generation, completion and the optimiser on demo schools of 36 and 72
// classes, 7 lessons a day, plans filling 90 and 100 % of the week, 3 seeds
// each: what the completion leaves and what the optimiser makes of it
// (teachers idle more than 3 periods a week, classes with free periods
// between lessons, doubles, same-day repeats, "最佳位置" lessons, the score),
// and the time of the whole run. Run by `make bench`.
//
// Fails when a school is not completed, a rule is broken or a quality target
// is missed (see below); the times are reported, not judged, since the
// machine is shared.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>

#include <unistd.h>

#include "bench_support.h"
#include "core/rules/quality.h"
#include "core/scheduling/build_timetable.h"
#include "core/scheduling/complete_timetable.h"
#include "core/scheduling/optimiser.h"
#include "core/scheduling/random.h"

namespace fs = std::filesystem;

namespace {

constexpr int kLessonsPerDay = 7;
constexpr int kClassesPerGrade[] = {6, 12};
constexpr int kFills[] = {90, 100};
constexpr std::uint64_t kSeeds[] = {1, 2, 3};

double Seconds(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

}  // namespace

int main() {
  const fs::path dir = fs::temp_directory_path() / ("orvandel-bench-optimiser-" + std::to_string(::getpid()));
  fs::create_directories(dir);
  std::printf("%7s %4s %4s %5s %6s %12s %11s %9s %11s %11s %13s %9s %8s %8s %8s\n", "classes", "fill", "seed",
              "rate", "broken", "idle>3", "gap classes", "doubles", "repeats", "best", "score", "tries",
              "gen+c ms", "opt ms", "total ms");
  std::printf("%7s %4s %4s %5s %6s %12s %11s %9s %11s %11s %13s %9s %8s %8s %8s\n", "", "%", "", "%", "",
              "compl->opt", "compl->opt", "placed", "compl->opt", "compl->opt", "compl->opt", "", "", "", "");
  bool ok = true;
  bool targetsMissed = false;
  double worst72 = 0;
  for (int perGrade : kClassesPerGrade) {
    for (int fill : kFills) {
      const int classes = 6 * perGrade;
      for (std::uint64_t seed : kSeeds) {
        const fs::path file = dir / ("school-" + std::to_string(classes) + "-" + std::to_string(fill) + "-" +
                                     std::to_string(seed) + ".mdb");
        orv::DemoOptions options;
        options.lastGrade = 6;
        options.classesPerGrade = perGrade;
        options.lessonsPerDay = kLessonsPerDay;
        options.fillPercent = fill;
        options.statedRules = true;
        auto db = orv::bench::CreateDemoDatabase(file, options);
        if (!db) return 1;
        const orv::SchoolWeek week(kLessonsPerDay);
        const auto start = std::chrono::steady_clock::now();
        orv::UniformRandom random(seed);
        const auto generated = orv::BuildTimetable(*db, kLessonsPerDay, random);
        orv::CompletionOptions co;
        co.lessonsPerDay = kLessonsPerDay;
        co.seed = seed;
        const auto completed = orv::CompleteTimetable(*db, co);
        const double genComplete = Seconds(start);
        if (!generated || !completed) {
          std::fprintf(stderr, "run failed: %s%s\n", generated ? "" : generated.message().c_str(),
                       completed ? "" : completed.message().c_str());
          return 1;
        }
        // Measuring is not part of the run: its time is taken out.
        const auto measuring = std::chrono::steady_clock::now();
        const orv::QualityReport before = orv::MeasureQuality(*db, week).value();
        const double measured = Seconds(measuring);
        const auto optimising = std::chrono::steady_clock::now();
        orv::OptimiserOptions oo;
        oo.lessonsPerDay = kLessonsPerDay;
        oo.control.seed = seed;
        const auto optimised = orv::OptimiseTimetable(*db, oo);
        const double opt = Seconds(optimising);
        const double total = Seconds(start) - measured;
        if (!optimised) {
          std::fprintf(stderr, "optimiser failed: %s\n", optimised.message().c_str());
          return 1;
        }
        const orv::QualityReport after = orv::MeasureQuality(*db, week).value();
        const int broken = after.statedBreaches + after.lessonBreaches;
        std::printf(
            "%7d %4d %4llu %5d %6d %5d -> %4d %4d -> %4d %4d/%-4d %4d -> %4d %4d -> %4d %6lld -> %5lld %9llu "
            "%8.1f "
            "%8.1f %8.1f\n",
            classes, fill, static_cast<unsigned long long>(seed), completed->rate, broken,
            before.teachersOverAllowance, after.teachersOverAllowance, before.classesWithGaps,
            after.classesWithGaps, after.doublesPlaced, after.doublesAsked, before.repeats, after.repeats,
            before.bestLessons, after.bestLessons, before.score, after.score,
            static_cast<unsigned long long>(optimised->tries), genComplete * 1000, opt * 1000, total * 1000);
        std::fflush(stdout);
        if (completed->rate < 100 || broken > 0 || after.score > before.score) ok = false;
        // The quality a school would keep: no teacher idle more than three
        // periods a week, no class with a gap, the doubles asked, no more
        // repeats and no fewer "最佳位置" lessons than the completion leaves.
        if (after.teachersOverAllowance > 0 || after.classesWithGaps > 0 ||
            after.doublesPlaced < after.doublesAsked || after.repeats > before.repeats ||
            after.bestLessons < before.bestLessons)
          targetsMissed = true;
        if (classes == 72) worst72 = std::max(worst72, total);
        db.reset();
        fs::remove(file);
      }
    }
  }
  std::error_code ec;
  fs::remove_all(dir, ec);
  std::printf("72 classes, 7 lessons a day: worst generation, completion and optimiser %.0f ms\n",
              worst72 * 1000);
  if (!ok) {
    std::printf("a school was left incomplete, a rule was broken or the score rose\n");
    return 1;
  }
  if (targetsMissed) {
    std::printf("a school misses a quality target (idle teachers, class gaps, doubles, repeats, 最佳位置)\n");
    return 1;
  }
  std::printf("every school meets the quality targets\n");
  return 0;
}
