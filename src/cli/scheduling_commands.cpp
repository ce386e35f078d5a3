// generate, complete, analyze and check.
#include <chrono>
#include <cstdio>
#include <iostream>
#include <optional>

#include "cli/commands.h"
#include "core/database/lessons_per_day.h"
#include "core/scheduling/build_timetable.h"
#include "core/scheduling/complete_timetable.h"
#include "core/scheduling/random.h"
#include "core/scheduling/school_analysis.h"
#include "core/scheduling/timetable_check.h"
#include "core/settings/settings.h"

namespace orv::cli {

namespace {

double SecondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

std::string Elapsed(double seconds) {
  char text[32];
  std::snprintf(text, sizeof text, "%.3f s", seconds);
  return text;
}

struct CompleteArgs {
  std::optional<std::uint64_t> seed;
  double timeLimit = 10.0;
  OptimizeArgs optimize;
  // When the run began, for a total that includes the generation.
  std::optional<std::chrono::steady_clock::time_point> since;
};

// Completes the open database's timetable and prints the report; the last
// line is the completion rate.
int Complete(TimetableDb& db, int lessonsPerDay, const CompleteArgs& args) {
  CompletionOptions options;
  options.lessonsPerDay = lessonsPerDay;
  if (args.seed) options.seed = *args.seed;
  options.timeLimitSeconds = args.timeLimit;
  const auto start = std::chrono::steady_clock::now();
  const Result<CompletionReport> r = CompleteTimetable(db, options);
  if (!r) return Fail("补排课表失败！", r.outcome());
  std::cout << "missing before completion: " << r->missingBefore << "\n"
            << "placed lessons: " << r->placedLessons << "\n"
            << "moved lessons: " << r->movedLessons << "\n"
            << "removed lessons: " << r->removedLessons << "\n"
            << "avoid-if-possible cells used: " << r->avoidCells << "\n"
            << "best-position cells used: " << r->bestCells << "\n"
            << "missing lessons: " << r->missingAfter << (r->timedOut ? " (time limit reached)" : "") << "\n";
  for (const MissingLessons& m : r->missing) std::cout << "未排：" << MissingLine(m) << "\n";
  std::cout << "completion elapsed: " << Elapsed(SecondsSince(start)) << "\n";
  if (!args.optimize.skip) {
    OptimizeArgs optimize = args.optimize;
    optimize.seed = args.seed;
    if (const int status = Optimize(db, lessonsPerDay, optimize); status != 0) return status;
  }
  if (args.since) std::cout << "total elapsed: " << Elapsed(SecondsSince(*args.since)) << "\n";
  std::cout << "completion: " << r->rate << "%\n";
  return 0;
}

int RunGenerate(const Context& ctx, const std::string& path, const std::optional<std::uint64_t>& seed,
                const std::optional<int>& lessonsOption, const std::optional<CompleteArgs>& complete) {
  auto db = OpenOrReport(path);
  if (!db) return 1;
  const int lessonsPerDay = ctx.LessonsPerDay(lessonsOption, *db);
  // What is scheduled must stay inside the week the database says it has.
  if (lessonsOption) {
    if (Outcome adopted = AdoptLessonsPerDay(*db, *lessonsOption); !adopted)
      return Fail(kBuildFailedText, adopted);
  }
  UniformRandom& random = ProgramRandom();
  if (seed) random.Seed(*seed);
  const auto start = std::chrono::steady_clock::now();
  try {
    // Generation and completion are written together, with one commit.
    std::optional<Transaction> whole;
    if (complete) whole.emplace(*db);
    const Result<BuildResult> built = BuildTimetable(*db, lessonsPerDay, random);
    const double seconds = SecondsSince(start);
    if (!built) return Fail(kBuildFailedText, built.outcome());
    const BuildResult& r = *built;
    std::cout << "lessons per day: " << lessonsPerDay << "\n"
              << "planned lessons: " << r.plannedLessons << "\n"
              << "placed lessons: " << r.placedLessons << "\n"
              << "unplaced lessons: " << r.unplacedLessons << "\n"
              << "incomplete plan rows: " << r.incompleteRows << "\n"
              << "lessons in class or teacher never cells: " << r.lessonsInNeverCells << "\n"
              << "elapsed: " << Elapsed(seconds) << "\n";
    if (!complete) {
      std::cout << "completion: " << r.rate << "%\n";
      return 0;
    }
    std::cout << "completion after generation: " << r.rate << "%\n";
    CompleteArgs args = *complete;
    if (!args.seed) args.seed = seed;
    args.since = start;
    const int status = Complete(*db, lessonsPerDay, args);
    // A failed completion takes the generation back with it: the command
    // either does both or leaves the timetable as it was.
    if (status == 0) whole->Commit();
    return status;
  } catch (const std::exception& e) {
    return Fail(std::string(kBuildFailedText) + " " + DatabaseErrorText(e));
  }
}

int RunComplete(const Context& ctx, const std::string& path, const std::optional<int>& lessonsOption,
                const CompleteArgs& args) {
  auto db = OpenOrReport(path);
  if (!db) return 1;
  const int lessonsPerDay = ctx.LessonsPerDay(lessonsOption, *db);
  // What is scheduled must stay inside the week the database says it has.
  if (lessonsOption) {
    if (Outcome adopted = AdoptLessonsPerDay(*db, *lessonsOption); !adopted)
      return Fail("补排课表失败！", adopted);
  }
  std::cout << "lessons per day: " << lessonsPerDay << "\n";
  return Complete(*db, lessonsPerDay, args);
}

int RunAnalyze(const Context& ctx, const std::string& path, const std::optional<int>& lessonsOption) {
  auto db = OpenOrReport(path);
  if (!db) return kExitCouldNotRun;
  const int lessonsPerDay = ctx.LessonsPerDay(lessonsOption, *db);
  const Result<std::vector<AnalysisFinding>> findings = AnalyzeSchool(*db, lessonsPerDay);
  if (!findings) {
    Fail("排课前检查失败！", findings.outcome());
    return kExitCouldNotRun;
  }
  for (const AnalysisFinding& f : *findings) std::cout << AnalysisLine(f) << "\n";
  const int blocking = CountAnalysis(*findings, AnalysisSeverity::kBlocking);
  std::cout << "blocking: " << blocking
            << ", warnings: " << CountAnalysis(*findings, AnalysisSeverity::kWarning) << "\n";
  return blocking > 0 ? kExitFailed : kExitDone;
}

int RunCheck(const Context& ctx, const std::string& path, const std::optional<int>& lessonsOption) {
  auto db = OpenOrReport(path);
  if (!db) return kExitCouldNotRun;
  const int lessonsPerDay = ctx.LessonsPerDay(lessonsOption, *db);
  const Result<std::vector<Finding>> checked = CheckTimetable(*db, lessonsPerDay);
  if (!checked) {
    Fail("检查课表失败！", checked.outcome());
    return kExitCouldNotRun;
  }
  const std::vector<Finding>& findings = *checked;
  for (const Finding& f : findings) std::cout << FindingLine(f) << "\n";
  const int violations = CountFindings(findings, Severity::kViolation);
  std::cout << "violations: " << violations << ", warnings: " << CountFindings(findings, Severity::kWarning)
            << "\n";
  return violations > 0 ? kExitFailed : kExitDone;
}

void AddCompleteOptions(CLI::App* command, CompleteArgs& args) {
  command->add_option("--time-limit", args.timeLimit, "Seconds the completion may search")
      ->check(CLI::Range(0.001, 3600.0))
      ->capture_default_str();
  AddOptimizeOptions(command, args.optimize);
}

}  // namespace

void AddSchedulingCommands(CLI::App& app, Context& ctx) {
  static std::string path;
  static std::optional<std::uint64_t> seed;
  static std::optional<int> lessons;
  static bool thenComplete = false;
  static CompleteArgs completeArgs;
  auto* generate = app.add_subcommand("generate", "Generate the timetable from the teaching plan");
  generate->add_option("DB", path, "Database file")->required();
  generate->add_option("--seed", seed, "Seed for the random choices (default: the program's fixed seed)");
  AddLessonsOption(generate, lessons);
  generate->add_flag("--complete", thenComplete,
                     "Then place the lessons the generation left out and optimize the timetable");
  AddCompleteOptions(generate, completeArgs);
  generate->callback([&ctx] {
    ctx.exitCode =
        RunGenerate(ctx, path, seed, lessons, thenComplete ? std::optional(completeArgs) : std::nullopt);
  });

  auto* complete = app.add_subcommand(
      "complete", "Place the missing lessons, moving automatic ones to make room, then optimize");
  complete->add_option("DB", path, "Database file")->required();
  complete->add_option("--seed", completeArgs.seed,
                       "Seed for the search (default: the program's fixed seed)");
  AddLessonsOption(complete, lessons);
  AddCompleteOptions(complete, completeArgs);
  complete->callback([&ctx] { ctx.exitCode = RunComplete(ctx, path, lessons, completeArgs); });

  auto* analyze = app.add_subcommand("analyze", "List what makes a complete timetable impossible or hard");
  analyze->add_option("DB", path, "Database file")->required();
  AddLessonsOption(analyze, lessons);
  analyze->callback([&ctx] { ctx.exitCode = RunAnalyze(ctx, path, lessons); });

  auto* check = app.add_subcommand("check", "List the lessons that break a rule of the timetable");
  check->add_option("DB", path, "Database file")->required();
  AddLessonsOption(check, lessons);
  check->callback([&ctx] { ctx.exitCode = RunCheck(ctx, path, lessons); });
}

}  // namespace orv::cli
