// SPDX-License-Identifier: GPL-3.0-or-later
// How long automatic generation takes on demo schools of growing size, and
// how many statements it issues. Run by `make bench`, not by the tests.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <unistd.h>

#include "bench_support.h"
#include "core/database/timetable_db.h"
#include "core/demo/demo_school.h"
#include "core/scheduling/build_timetable.h"
#include "core/scheduling/random.h"

namespace fs = std::filesystem;

namespace {

struct Size {
  int lastGrade;
  int classesPerGrade;
};

constexpr Size kSizes[] = {{6, 3}, {6, 4}, {9, 4}, {9, 6}, {9, 8}};
constexpr std::uint64_t kSeeds[] = {1, 2, 3, 4, 5};
constexpr int kLessonsPerDay = 6;

struct Run {
  double seconds;
  std::uint64_t statements;
  int rate;
  int planned;
  int placed;
};

}  // namespace

int main() {
  const fs::path dir = fs::temp_directory_path() / ("orvandel-bench-" + std::to_string(::getpid()));
  fs::create_directories(dir);
  std::printf("%7s %8s %8s %14s %9s %9s %9s %12s %11s\n", "classes", "planned", "placed", "completion %",
              "wall ms", "worst ms", "stmts", "stmts/lesson", "us/lesson");
  std::printf("%7s %8s %8s %14s %9s %9s %9s %12s %11s\n", "", "", "(mean)", "mean/min/max", "(mean)", "",
              "(mean)", "", "");
  bool ok = true;
  for (const Size& size : kSizes) {
    const fs::path file = dir / ("school-" + std::to_string(size.lastGrade * size.classesPerGrade) + ".mdb");
    orv::DemoOptions options;
    options.lastGrade = size.lastGrade;
    options.classesPerGrade = size.classesPerGrade;
    options.lessonsPerDay = kLessonsPerDay;
    auto db = orv::bench::CreateDemoDatabase(file, options);
    if (!db) return 1;
    const long long classes = db->FirstInt("select count(*) from Classtb").value_or(0);

    std::vector<Run> runs;
    for (std::uint64_t seed : kSeeds) {
      orv::UniformRandom random(seed);
      const std::uint64_t before = db->StatementsRun();
      const auto start = std::chrono::steady_clock::now();
      const orv::Result<orv::BuildResult> built = orv::BuildTimetable(*db, kLessonsPerDay, random);
      const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
      if (!built) {
        std::fprintf(stderr, "generation failed: %s\n", built.message().c_str());
        return 1;
      }
      const orv::BuildResult& r = *built;
      runs.push_back({seconds, db->StatementsRun() - before, r.rate, r.plannedLessons, r.placedLessons});
    }

    double seconds = 0, statements = 0, rate = 0, placed = 0, worst = 0;
    int minRate = 100, maxRate = 0;
    for (const Run& run : runs) {
      seconds += run.seconds;
      statements += static_cast<double>(run.statements);
      rate += run.rate;
      placed += run.placed;
      worst = std::max(worst, run.seconds);
      minRate = std::min(minRate, run.rate);
      maxRate = std::max(maxRate, run.rate);
    }
    const double n = static_cast<double>(runs.size());
    seconds /= n;
    statements /= n;
    rate /= n;
    placed /= n;
    char completion[32];
    std::snprintf(completion, sizeof completion, "%.1f/%d/%d", rate, minRate, maxRate);
    std::printf("%7lld %8d %8.0f %14s %9.1f %9.1f %9.0f %12.1f %11.1f\n", classes, runs.front().planned,
                placed, completion, seconds * 1000, worst * 1000, statements, statements / placed,
                seconds * 1e6 / placed);
    if (classes >= 72 && worst >= 1.0) ok = false;
  }
  std::error_code ec;
  fs::remove_all(dir, ec);
  if (!ok) {
    std::printf("the 72-class school took 1 s or more\n");
    return 1;
  }
  return 0;
}
