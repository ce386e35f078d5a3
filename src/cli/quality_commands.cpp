// quality and optimize: how good the timetable is, and making it better.
#include <chrono>
#include <cstdio>
#include <iostream>
#include <sstream>

#include "cli/commands.h"
#include "core/rules/quality.h"
#include "core/rules/rule_index.h"
#include "core/scheduling/optimiser.h"

namespace orv::cli {

namespace {

std::string JsonText(const std::string& text) {
  std::string out = "\"";
  for (char ch : text) {
    const auto c = static_cast<unsigned char>(ch);
    if (ch == '"' || ch == '\\') {
      out += '\\';
      out += ch;
    } else if (c < 0x20) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
      out += escaped;
    } else {
      out += ch;
    }
  }
  return out + "\"";
}

void PrintText(const SchoolModel& model, const QualityReport& r) {
  std::cout << "lessons: " << r.lessons << "\n"
            << "teacher idle periods: " << r.teacherIdle << "\n";
  if (r.worstTeacher >= 0)
    std::cout << "most idle teacher: " << model.teachers[static_cast<size_t>(r.worstTeacher)].name << " ("
              << r.worstTeacherIdle << ")\n";
  std::cout << "teachers over " << kIdleAllowance << " idle periods: " << r.teachersOverAllowance << "\n"
            << "class free periods between lessons: " << r.classGaps << " (classes: " << r.classesWithGaps
            << ")\n"
            << "avoidable same-day repeats: " << r.repeats << "\n"
            << "courses of 4+ lessons on fewer than 4 days: " << r.crowdedCourses << "\n"
            << "doubles placed: " << r.doublesPlaced << " of " << r.doublesAsked << "\n"
            << "lessons in best-position cells: " << r.bestLessons << " of " << r.bestWanted << "\n"
            << "lessons in avoid-if-possible cells: " << r.avoidLessons << "\n"
            << "parallel classes' unequal days: " << r.parallelMismatch << "\n"
            << "hard rule breaches: " << r.statedBreaches + r.lessonBreaches
            << " (stated rules: " << r.statedBreaches << ", lessons: " << r.lessonBreaches << ")\n"
            << "score: " << r.score << "\n";
}

void PrintJson(const SchoolModel& model, const QualityReport& r) {
  std::ostringstream o;
  o << "{\"lessons\":" << r.lessons << ",\"teacherIdle\":" << r.teacherIdle << ",\"mostIdleTeacher\":"
    << (r.worstTeacher >= 0 ? JsonText(model.teachers[static_cast<size_t>(r.worstTeacher)].name) : "null")
    << ",\"mostIdleTeacherPeriods\":" << r.worstTeacherIdle
    << ",\"teachersOverIdleAllowance\":" << r.teachersOverAllowance << ",\"classGaps\":" << r.classGaps
    << ",\"classesWithGaps\":" << r.classesWithGaps << ",\"repeats\":" << r.repeats
    << ",\"crowdedCourses\":" << r.crowdedCourses << ",\"doublesPlaced\":" << r.doublesPlaced
    << ",\"doublesAsked\":" << r.doublesAsked << ",\"bestLessons\":" << r.bestLessons
    << ",\"bestWanted\":" << r.bestWanted << ",\"avoidLessons\":" << r.avoidLessons
    << ",\"parallelMismatch\":" << r.parallelMismatch << ",\"statedBreaches\":" << r.statedBreaches
    << ",\"lessonBreaches\":" << r.lessonBreaches << ",\"score\":" << r.score << "}\n";
  std::cout << o.str();
}

int RunQuality(const Context& ctx, const std::string& path, const std::optional<int>& lessonsOption,
               bool json) {
  auto db = OpenOrReport(path, DbAccess::kReadOnly);
  if (!db) return kExitCouldNotRun;
  const int lessonsPerDay = ctx.LessonsPerDay(lessonsOption, *db);
  Result<SchoolModel> model = LoadIndexedSchool(*db, SchoolWeek(lessonsPerDay));
  if (!model) {
    Fail("评估课表质量失败！", model.outcome());
    return kExitCouldNotRun;
  }
  const QualityReport r = MeasureQuality(*model);
  if (json)
    PrintJson(*model, r);
  else
    PrintText(*model, r);
  return kExitDone;
}

int RunOptimize(const Context& ctx, const std::string& path, const std::optional<int>& lessonsOption,
                const OptimizeArgs& args) {
  auto db = OpenOrReport(path);
  if (!db) return kExitFailed;
  const int lessonsPerDay = ctx.LessonsPerDay(lessonsOption, *db);
  std::cout << "lessons per day: " << lessonsPerDay << "\n";
  return Optimize(*db, lessonsPerDay, args);
}

}  // namespace

int Optimize(TimetableDb& db, int lessonsPerDay, const OptimizeArgs& args) {
  OptimiserOptions options;
  options.lessonsPerDay = lessonsPerDay;
  options.control.seconds = args.timeLimit;
  if (args.seed) options.control.seed = *args.seed;
  const auto start = std::chrono::steady_clock::now();
  const Result<OptimiserReport> r = OptimiseTimetable(db, options);
  if (!r) return Fail("优化课表失败！", r.outcome());
  char elapsed[32];
  std::snprintf(elapsed, sizeof elapsed, "%.3f s",
                std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
  std::cout << "score before optimizing: " << r->scoreBefore << "\n";
  if (r->breachBefore > 0 || r->breachAfter > 0)
    std::cout << "stated rules broken by: " << r->breachBefore << " before, " << r->breachAfter << " after\n";
  std::cout << "optimizer moved lessons: " << r->movedLessons << (r->timedOut ? " (time limit reached)" : "")
            << "\n"
            << "optimizer elapsed: " << elapsed << " (" << r->tries << " tries)\n"
            << "score after optimizing: " << r->scoreAfter << "\n";
  return kExitDone;
}

void AddOptimizeOptions(CLI::App* command, OptimizeArgs& args) {
  command->add_option("--optimize-time-limit", args.timeLimit, "Seconds the optimizer may search")
      ->check(CLI::Range(0.0, 3600.0))
      ->capture_default_str();
  command->add_flag("--no-optimize", args.skip, "Leave the completed timetable as the completion made it");
}

void AddQualityCommands(CLI::App& app, Context& ctx) {
  static std::string path;
  static std::optional<int> lessons;
  static bool json = false;
  auto* quality = app.add_subcommand(
      "quality", "Measure the timetable: idle periods, gaps, repeats, doubles, marked cells and the score");
  quality->add_option("DB", path, "Database file")->required();
  quality->add_flag("--json", json, "Print one JSON object");
  AddLessonsOption(quality, lessons);
  quality->callback([&ctx] { ctx.exitCode = RunQuality(ctx, path, lessons, json); });

  static OptimizeArgs optimizeArgs;
  auto* optimize = app.add_subcommand(
      "optimize", "Improve a timetable by moving automatic lessons, keeping every rule; prints the score");
  optimize->add_option("DB", path, "Database file")->required();
  optimize->add_option("--time-limit", optimizeArgs.timeLimit, "Seconds the optimizer may search")
      ->check(CLI::Range(0.0, 3600.0))
      ->capture_default_str();
  optimize->add_option("--seed", optimizeArgs.seed,
                       "Seed for the search (default: the program's fixed seed)");
  AddLessonsOption(optimize, lessons);
  optimize->callback([&ctx] { ctx.exitCode = RunOptimize(ctx, path, lessons, optimizeArgs); });
}

}  // namespace orv::cli
