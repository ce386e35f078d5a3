// SPDX-License-Identifier: GPL-3.0-or-later
// The school the output benchmarks measure: the 72-class demo school (grades
// 1-6, twelve classes each) with its generated timetable, in a temporary
// folder, and a timer that runs one output several times.
#pragma once

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "bench_support.h"
#include "core/database/timetable_db.h"
#include "core/demo/demo_school.h"
#include "core/scheduling/build_timetable.h"
#include "core/scheduling/random.h"

namespace orv::bench {

inline constexpr int kLessonsPerDay = 6;
inline constexpr double kLimitSeconds = 1.0;

class BenchSchool {
 public:
  BenchSchool()
      : dir_(std::filesystem::temp_directory_path() / ("orvandel-bench-" + std::to_string(::getpid()))) {
    std::filesystem::create_directories(dir_);
    const auto file = dir_ / "kb.mdb";
    DemoOptions options;
    options.firstGrade = 1;
    options.lastGrade = 6;
    options.classesPerGrade = 12;
    options.lessonsPerDay = kLessonsPerDay;
    db_ = CreateDemoDatabase(file, options);
    if (!db_) return;
    UniformRandom random(1);
    const Result<BuildResult> generated = BuildTimetable(*db_, kLessonsPerDay, random);
    const int rate = generated ? generated->rate : -1;
    std::printf("school: %lld classes, %lld teachers, %lld lessons placed (%d%%)\n",
                db_->FirstInt("select count(*) from Classtb").value_or(0),
                db_->FirstInt("select count(*) from Teachertb").value_or(0),
                db_->FirstInt("select count(*) from LessonListtb").value_or(0), rate);
  }
  ~BenchSchool() {
    db_.reset();
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
  }
  TimetableDb* db() { return db_.get(); }
  std::filesystem::path File(const std::string& name) const { return dir_ / name; }

 private:
  std::filesystem::path dir_;
  std::unique_ptr<TimetableDb> db_;
};

// Runs `output` five times and prints its mean and worst time. False when an
// output failed, or when `limited` and the worst run took the limit or more.
inline bool Measure(const char* what, bool limited, const std::function<bool()>& output) {
  constexpr int kRuns = 5;
  double total = 0, worst = 0;
  for (int i = 0; i < kRuns; ++i) {
    const auto start = std::chrono::steady_clock::now();
    if (!output()) {
      std::printf("%-34s FAILED\n", what);
      return false;
    }
    const double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    total += s;
    worst = std::max(worst, s);
  }
  const bool ok = !limited || worst < kLimitSeconds;
  std::printf("%-34s %9.1f %9.1f %s\n", what, total / kRuns * 1000, worst * 1000,
              limited ? (ok ? "< 1 s" : "TOO SLOW") : "");
  return ok;
}

inline void PrintHeader() {
  std::printf("%-34s %9s %9s\n", "output (rows read + file written)", "mean ms", "worst ms");
}

}  // namespace orv::bench
