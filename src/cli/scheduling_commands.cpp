// generate and check.
#include <chrono>
#include <cstdio>
#include <iostream>
#include <optional>

#include "cli/commands.h"
#include "core/scheduling/build_timetable.h"
#include "core/scheduling/random.h"
#include "core/scheduling/timetable_check.h"
#include "core/settings/settings.h"

namespace orv::cli {

namespace {

int RunGenerate(const Context& ctx, const std::string& path, const std::optional<std::uint64_t>& seed,
                const std::optional<int>& lessonsOption) {
  const int lessonsPerDay = ctx.LessonsPerDay(lessonsOption);
  auto db = OpenOrReport(path);
  if (!db) return 1;
  UniformRandom& random = ProgramRandom();
  if (seed) random.Seed(*seed);
  const auto start = std::chrono::steady_clock::now();
  const Result<BuildResult> built = BuildTimetable(*db, lessonsPerDay, random);
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  if (!built) return Fail(kBuildFailedText, built.outcome());
  const BuildResult& r = *built;
  char elapsed[32];
  std::snprintf(elapsed, sizeof elapsed, "%.3f s", seconds);
  std::cout << "lessons per day: " << lessonsPerDay << "\n"
            << "planned lessons: " << r.plannedLessons << "\n"
            << "placed lessons: " << r.placedLessons << "\n"
            << "unplaced lessons: " << r.unplacedLessons << "\n"
            << "incomplete plan rows: " << r.incompleteRows << "\n"
            << "elapsed: " << elapsed << "\n"
            << "completion: " << r.rate << "%\n";
  return 0;
}

int RunCheck(const Context& ctx, const std::string& path, const std::optional<int>& lessonsOption) {
  const int lessonsPerDay = ctx.LessonsPerDay(lessonsOption);
  auto db = OpenOrReport(path);
  if (!db) return 1;
  const Result<std::vector<Finding>> checked = CheckTimetable(*db, lessonsPerDay);
  if (!checked) return Fail("检查课表失败！", checked.outcome());
  const std::vector<Finding>& findings = *checked;
  for (const Finding& f : findings) std::cout << FindingLine(f) << "\n";
  const int violations = CountFindings(findings, Severity::kViolation);
  std::cout << "violations: " << violations << ", warnings: " << CountFindings(findings, Severity::kWarning)
            << "\n";
  return violations > 0 ? 1 : 0;
}

}  // namespace

void AddSchedulingCommands(CLI::App& app, Context& ctx) {
  static std::string path;
  static std::optional<std::uint64_t> seed;
  static std::optional<int> lessons;
  auto* generate = app.add_subcommand("generate", "Generate the timetable from the teaching plan");
  generate->add_option("DB", path, "Database file")->required();
  generate->add_option("--seed", seed, "Seed for the random choices (default: the program's fixed seed)");
  generate->add_option("--lessons-per-day", lessons, "Lessons per day (default: from kbxt.ini, else 6)")
      ->check(CLI::IsMember({6, 7}));
  generate->callback([&ctx] { ctx.exitCode = RunGenerate(ctx, path, seed, lessons); });

  static std::optional<int> checkLessons;
  auto* check = app.add_subcommand("check", "List the lessons that break a rule of the timetable");
  check->add_option("DB", path, "Database file")->required();
  check->add_option("--lessons-per-day", checkLessons, "Lessons per day (default: from kbxt.ini, else 6)")
      ->check(CLI::IsMember({6, 7}));
  check->callback([&ctx] { ctx.exitCode = RunCheck(ctx, path, checkLessons); });
}

}  // namespace orv::cli
