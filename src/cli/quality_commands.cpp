// SPDX-License-Identifier: GPL-3.0-or-later
// quality and optimize: how good the timetable is, and making it better.
#include <chrono>
#include <cstdio>
#include <iostream>

#include "cli/commands.h"
#include "cli/json_writer.h"
#include "core/rules/quality.h"
#include "core/rules/rule_index.h"
#include "core/scheduling/optimiser.h"

namespace orv::cli {

namespace {

void PrintText(const SchoolModel& model, const QualityReport& r) {
  std::cout << "课表中的课：" << r.lessons << "\n"
            << "教师空闲节次：" << r.teacherIdle << "\n";
  if (r.worstTeacher >= 0)
    std::cout << "空闲最多的教师：" << model.teachers[static_cast<size_t>(r.worstTeacher)].name << "（"
              << r.worstTeacherIdle << "）\n";
  std::cout << "空闲超过 " << kIdleAllowance << " 节的教师：" << r.teachersOverAllowance << "\n"
            << "班级课间空节：" << r.classGaps << "（班级：" << r.classesWithGaps << "）\n"
            << "可避免的同日重复：" << r.repeats << "\n"
            << "每周4节以上却排在不到4天的课程：" << r.crowdedCourses << "\n"
            << "连堂：已排 " << r.doublesPlaced << "，要求 " << r.doublesAsked << "\n"
            << "排在“最佳位置”的课：" << r.bestLessons << "，想要 " << r.bestWanted << "\n"
            << "排在“尽量不排”的课：" << r.avoidLessons << "\n"
            << "平行班各天不一致：" << r.parallelMismatch << "\n"
            << "违反硬性规则：" << r.statedBreaches + r.lessonBreaches << "（排课规则：" << r.statedBreaches
            << "，课：" << r.lessonBreaches << "）\n"
            << "评分：" << r.score << "\n";
}

void PrintJson(const SchoolModel& model, const QualityReport& r) {
  JsonWriter json;
  json.BeginObject().Key("lessons").Value(r.lessons).Key("teacherIdle").Value(r.teacherIdle);
  json.Key("mostIdleTeacher");
  if (r.worstTeacher >= 0)
    json.Value(model.teachers[static_cast<size_t>(r.worstTeacher)].name);
  else
    json.Null();
  json.Key("mostIdleTeacherPeriods")
      .Value(r.worstTeacherIdle)
      .Key("teachersOverIdleAllowance")
      .Value(r.teachersOverAllowance)
      .Key("classGaps")
      .Value(r.classGaps)
      .Key("classesWithGaps")
      .Value(r.classesWithGaps)
      .Key("repeats")
      .Value(r.repeats)
      .Key("crowdedCourses")
      .Value(r.crowdedCourses)
      .Key("doublesPlaced")
      .Value(r.doublesPlaced)
      .Key("doublesAsked")
      .Value(r.doublesAsked)
      .Key("bestLessons")
      .Value(r.bestLessons)
      .Key("bestWanted")
      .Value(r.bestWanted)
      .Key("avoidLessons")
      .Value(r.avoidLessons)
      .Key("parallelMismatch")
      .Value(r.parallelMismatch)
      .Key("statedBreaches")
      .Value(r.statedBreaches)
      .Key("lessonBreaches")
      .Value(r.lessonBreaches)
      .Key("score")
      .Value(r.score)
      .EndObject();
  std::cout << json.Text();
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
  std::cout << "每天课时数：" << lessonsPerDay << "\n";
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
  std::snprintf(elapsed, sizeof elapsed, "%.3f 秒",
                std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
  std::cout << "优化前评分：" << r->scoreBefore << "\n";
  if (r->breachBefore > 0 || r->breachAfter > 0)
    std::cout << "违反排课规则：优化前 " << r->breachBefore << " 处，优化后 " << r->breachAfter << " 处\n";
  std::cout << "优化移动的课：" << r->movedLessons << (r->timedOut ? "（已到时间限制）" : "") << "\n"
            << "优化用时：" << elapsed << "（尝试 " << r->tries << " 次）\n"
            << "优化后评分：" << r->scoreAfter << "\n";
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
