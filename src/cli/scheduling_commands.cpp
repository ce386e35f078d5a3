// SPDX-License-Identifier: GPL-3.0-or-later
// generate, complete, analyze and check.
#include <chrono>
#include <cstdio>
#include <iostream>
#include <optional>

#include "cli/commands.h"
#include "cli/json_writer.h"
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
  std::snprintf(text, sizeof text, "%.3f 秒", seconds);
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
  std::cout << "补排前缺课：" << r->missingBefore << "\n"
            << "补排的课：" << r->placedLessons << "\n"
            << "移动的课：" << r->movedLessons << "\n"
            << "移除的课：" << r->removedLessons << "\n"
            << "用到的“尽量不排”节次：" << r->avoidCells << "\n"
            << "用到的“最佳位置”节次：" << r->bestCells << "\n"
            << "仍缺的课：" << r->missingAfter << (r->timedOut ? "（已到时间限制）" : "") << "\n";
  for (const MissingLessons& m : r->missing) std::cout << "未排：" << MissingLine(m) << "\n";
  std::cout << "补排用时：" << Elapsed(SecondsSince(start)) << "\n";
  if (!args.optimize.skip) {
    OptimizeArgs optimize = args.optimize;
    optimize.seed = args.seed;
    if (const int status = Optimize(db, lessonsPerDay, optimize); status != 0) return status;
  }
  if (args.since) std::cout << "总用时：" << Elapsed(SecondsSince(*args.since)) << "\n";
  std::cout << "课表完成率：" << r->rate << "%\n";
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
    std::cout << "每天课时数：" << lessonsPerDay << "\n"
              << "计划节数：" << r.plannedLessons << "\n"
              << "已排节数：" << r.placedLessons << "\n"
              << "未排节数：" << r.unplacedLessons << "\n"
              << "未排满的教学计划：" << r.incompleteRows << "\n"
              << "排在班级或教师“不排”时间的课：" << r.lessonsInNeverCells << "\n"
              << "用时：" << Elapsed(seconds) << "\n";
    if (!complete) {
      std::cout << "课表完成率：" << r.rate << "%\n";
      return 0;
    }
    std::cout << "自动生成后的完成率：" << r.rate << "%\n";
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
  std::cout << "每天课时数：" << lessonsPerDay << "\n";
  return Complete(*db, lessonsPerDay, args);
}

const char* KindKey(AnalysisKind kind) {
  switch (kind) {
    case AnalysisKind::kNoClasses:
      return "no-classes";
    case AnalysisKind::kNoCourses:
      return "no-courses";
    case AnalysisKind::kNoTeachers:
      return "no-teachers";
    case AnalysisKind::kEmptyPlan:
      return "empty-plan";
    case AnalysisKind::kUnknownInPlan:
      return "unknown-in-plan";
    case AnalysisKind::kBadPlanCount:
      return "bad-plan-count";
    case AnalysisKind::kClassOverloaded:
      return "class-overloaded";
    case AnalysisKind::kTeacherOverloaded:
      return "teacher-overloaded";
    case AnalysisKind::kClassTeacherOverload:
      return "class-teacher-overloaded";
    case AnalysisKind::kDailyCapShort:
      return "daily-cap-short";
    case AnalysisKind::kSpecialOverloaded:
      return "special-course-overloaded";
    case AnalysisKind::kWallsClash:
      return "fixed-lessons-clash";
    case AnalysisKind::kTeacherDayMaxShort:
      return "teacher-day-max-short";
    case AnalysisKind::kDoublesImpossible:
      return "doubles-impossible";
    case AnalysisKind::kTeacherTight:
      return "teacher-tight";
    case AnalysisKind::kSpecialTight:
      return "special-course-tight";
    case AnalysisKind::kWallInNeverCell:
      return "fixed-lesson-in-never-cell";
    case AnalysisKind::kDuplicatePlanRow:
      return "duplicate-plan-row";
    case AnalysisKind::kSharedName:
      return "shared-name";
    case AnalysisKind::kBlankName:
      return "blank-name";
  }
  return "unknown";
}

const char* KindKey(FindingKind kind) {
  switch (kind) {
    case FindingKind::kClassDoubleBooked:
      return "class-double-booked";
    case FindingKind::kTeacherDoubleBooked:
      return "teacher-double-booked";
    case FindingKind::kCourseNeverCell:
      return "course-never-cell";
    case FindingKind::kSpecialCourseClash:
      return "special-course-clash";
    case FindingKind::kOutsideWeek:
      return "outside-week";
    case FindingKind::kUnknownClass:
      return "unknown-class";
    case FindingKind::kUnknownCourse:
      return "unknown-course";
    case FindingKind::kUnknownTeacher:
      return "unknown-teacher";
    case FindingKind::kBuildCountWrong:
      return "build-count-wrong";
    case FindingKind::kTeacherDayMax:
      return "teacher-day-max";
    case FindingKind::kTeacherInARow:
      return "teacher-in-a-row";
    case FindingKind::kTeacherGaps:
      return "teacher-gaps";
    case FindingKind::kClassGaps:
      return "class-gaps";
    case FindingKind::kDoublesMissing:
      return "doubles-missing";
    case FindingKind::kCourseDayCap:
      return "course-day-cap";
    case FindingKind::kNotPlanTeacher:
      return "not-plan-teacher";
    case FindingKind::kNotInPlan:
      return "not-in-plan";
    case FindingKind::kCourseAvoidCell:
      return "course-avoid-cell";
    case FindingKind::kClassNeverCell:
      return "class-never-cell";
    case FindingKind::kTeacherNeverCell:
      return "teacher-never-cell";
  }
  return "unknown";
}

void PrintAnalysisJson(const std::vector<AnalysisFinding>& findings) {
  JsonWriter json;
  json.BeginObject()
      .Key("blocking")
      .Value(CountAnalysis(findings, AnalysisSeverity::kBlocking))
      .Key("warnings")
      .Value(CountAnalysis(findings, AnalysisSeverity::kWarning))
      .Key("findings")
      .BeginArray();
  for (const AnalysisFinding& f : findings)
    json.BeginObject()
        .Key("severity")
        .Value(f.severity == AnalysisSeverity::kBlocking ? "blocking" : "warning")
        .Key("kind")
        .Value(KindKey(f.kind))
        .Key("class")
        .Optional(f.classCode)
        .Key("course")
        .Optional(f.courseCode)
        .Key("teacher")
        .Optional(f.teacherCode)
        .Key("shortfall")
        .Value(f.shortfall)
        .Key("text")
        .Value(f.text)
        .EndObject();
  std::cout << json.EndArray().EndObject().Text();
}

int RunAnalyze(const Context& ctx, const std::string& path, const std::optional<int>& lessonsOption,
               bool asJson) {
  auto db = OpenOrReport(path);
  if (!db) return kExitCouldNotRun;
  const int lessonsPerDay = ctx.LessonsPerDay(lessonsOption, *db);
  const Result<std::vector<AnalysisFinding>> findings = AnalyzeSchool(*db, lessonsPerDay);
  if (!findings) {
    Fail("排课前检查失败！", findings.outcome());
    return kExitCouldNotRun;
  }
  const int blocking = CountAnalysis(*findings, AnalysisSeverity::kBlocking);
  if (asJson) {
    PrintAnalysisJson(*findings);
  } else {
    for (const AnalysisFinding& f : *findings) std::cout << AnalysisLine(f) << "\n";
    std::cout << "错误 " << blocking << " 个，警告 " << CountAnalysis(*findings, AnalysisSeverity::kWarning)
              << " 个\n";
  }
  return blocking > 0 ? kExitFailed : kExitDone;
}

void PrintCheckJson(const std::vector<Finding>& findings) {
  JsonWriter json;
  json.BeginObject()
      .Key("violations")
      .Value(CountFindings(findings, Severity::kViolation))
      .Key("warnings")
      .Value(CountFindings(findings, Severity::kWarning))
      .Key("findings")
      .BeginArray();
  for (const Finding& f : findings) {
    json.BeginObject()
        .Key("severity")
        .Value(f.severity == Severity::kViolation ? "violation" : "warning")
        .Key("kind")
        .Value(KindKey(f.kind))
        .Key("class")
        .Optional(f.classCode)
        .Key("classes")
        .Strings(f.classes)
        .Key("day");
    // 0 says "not about one day (or slot)": null, so no script takes it for a day.
    f.day > 0 ? json.Value(f.day) : json.Null();
    json.Key("lesson");
    f.lessonNo > 0 ? json.Value(f.lessonNo) : json.Null();
    json.Key("text").Value(f.text).EndObject();
  }
  std::cout << json.EndArray().EndObject().Text();
}

int RunCheck(const Context& ctx, const std::string& path, const std::optional<int>& lessonsOption,
             bool asJson) {
  auto db = OpenOrReport(path);
  if (!db) return kExitCouldNotRun;
  const int lessonsPerDay = ctx.LessonsPerDay(lessonsOption, *db);
  const Result<std::vector<Finding>> checked = CheckTimetable(*db, lessonsPerDay);
  if (!checked) {
    Fail("检查课表失败！", checked.outcome());
    return kExitCouldNotRun;
  }
  const std::vector<Finding>& findings = *checked;
  const int violations = CountFindings(findings, Severity::kViolation);
  if (asJson) {
    PrintCheckJson(findings);
  } else {
    for (const Finding& f : findings) std::cout << FindingLine(f) << "\n";
    std::cout << "违规 " << violations << " 处，警告 " << CountFindings(findings, Severity::kWarning)
              << " 处\n";
  }
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
  static bool json = false;
  analyze->add_flag("--json", json, "Print one JSON object");
  analyze->callback([&ctx] { ctx.exitCode = RunAnalyze(ctx, path, lessons, json); });

  auto* check = app.add_subcommand("check", "List the lessons that break a rule of the timetable");
  check->add_option("DB", path, "Database file")->required();
  AddLessonsOption(check, lessons);
  check->add_flag("--json", json, "Print one JSON object");
  check->callback([&ctx] { ctx.exitCode = RunCheck(ctx, path, lessons, json); });
}

}  // namespace orv::cli
