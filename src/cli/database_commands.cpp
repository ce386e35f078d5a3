// SPDX-License-Identifier: GPL-3.0-or-later
// init, demo, info, maintain, clear, upgrade.
#include <iostream>
#include <regex>

#include "cli/commands.h"
#include "cli/json_writer.h"
#include "core/database/database_totals.h"
#include "core/database/maintenance.h"
#include "core/demo/demo_school.h"
#include "core/settings/settings.h"

namespace fs = std::filesystem;

namespace orv::cli {

namespace {

int RunInit(const std::string& path) {
  if (fs::exists(path)) return Fail("文件已存在，不会覆盖：" + path);
  if (Outcome created = TimetableDb::Create(path); !created)
    return Fail("创建数据库失败！ " + path + ":", created);
  std::cout << "已创建空的课表数据库：" << path << "\n";
  return 0;
}

int RunDemo(const std::string& path, DemoOptions options, const std::string& grades, bool writeSettings) {
  std::smatch m;
  static const std::regex kRange(R"(\s*(\d)\s*-\s*(\d)\s*)");
  if (!std::regex_match(grades, m, kRange)) return Fail("年级范围格式应为 1-6");
  options.firstGrade = std::stoi(m[1]);
  options.lastGrade = std::stoi(m[2]);
  if (Outcome valid = ValidateDemoOptions(options); !valid) return Fail(valid.message());
  if (fs::exists(path)) return Fail("文件已存在，不会覆盖：" + path);
  if (Outcome created = TimetableDb::Create(path); !created)
    return Fail("创建数据库失败！ " + path + ":", created);
  Outcome filled = Outcome::Ok();
  {
    auto db = OpenOrReport(path);
    filled = db ? FillDemoSchool(*db, options) : Outcome::Fail({});
  }
  if (!filled) {
    fs::remove(path);
    return Fail("创建示范学校失败！", filled);
  }
  if (writeSettings) {
    const Settings settings(fs::absolute(path).parent_path());
    Outcome written = settings.SetDatabasePath(fs::absolute(path).string());
    if (written) written = settings.SetLessonsPerDay(options.lessonsPerDay);
    if (written) written = settings.SetSchoolName(options.schoolName);
    if (!written) return Fail("写入设置文件失败！", written);
    std::cout << "已写入设置文件：" << settings.IniPath().string() << "\n";
  }
  std::cout << "已创建示范学校“" << options.schoolName << "”：" << path << "\n";
  return 0;
}

int RunInfo(const std::string& path, bool asJson) {
  auto db = OpenOrReport(path);
  if (!db) return 1;
  const Result<DatabaseTotals> t = ReadDatabaseTotals(*db);
  if (!t) return Fail(t.message());
  if (asJson) {
    JsonWriter json;
    json.BeginObject()
        .Key("classes")
        .Value(t->classes)
        .Key("courses")
        .Value(t->courses)
        .Key("teachers")
        .Value(t->teachers)
        .Key("classrooms")
        .Value(t->classRooms)
        .Key("planRows")
        .Value(t->planRows)
        .Key("plannedLessons")
        .Value(t->plannedLessons)
        .Key("placedLessons")
        .Value(t->placedLessons)
        .Key("lessons")
        .Value(t->lessons)
        .EndObject();
    std::cout << json.Text();
    return 0;
  }
  std::cout << "班级：" << t->classes << "\n"
            << "课程：" << t->courses << "\n"
            << "教师：" << t->teachers << "\n"
            << "公共教室：" << t->classRooms << "\n"
            << "教学计划：" << t->planRows << " 行\n"
            << "计划节数：" << t->plannedLessons << "\n"
            << "已排节数：" << t->placedLessons << "\n";
  return 0;
}

int RunMaintain(const std::string& path) {
  auto db = OpenOrReport(path);
  if (!db) return 1;
  const Result<MaintenanceReport> r = MaintainData(*db);
  if (!r) return Fail("数据维护失败！", r.outcome());
  for (const std::string& line : MaintenanceLines(*r)) std::cout << line << "\n";
  std::cout << "数据维护完成\n";
  return 0;
}

int RunClear(const std::string& path) {
  auto db = OpenOrReport(path);
  if (!db) return 1;
  const Result<DatabaseTotals> before = ReadDatabaseTotals(*db);
  if (!before) return Fail(before.message());
  if (Outcome deleted = DeleteAllLessons(*db); !deleted) return Fail("删除课表失败！", deleted);
  std::cout << "已删除课表中的课：" << before->lessons << " 节\n";
  return 0;
}

int RunUpgrade(const std::string& path) {
  auto db = OpenOrReport(path);
  if (!db) return 1;
  const Result<UpgradeCounts> counts = CountUpgrade(*db);
  if (!counts) return Fail(counts.message());
  if (Outcome upgraded = UpgradeSchoolYear(*db); !upgraded) return Fail("课表学年升级失败！", upgraded);
  std::cout << "毕业班级：" << counts->graduating << "\n"
            << "升级班级：" << counts->promoted << "\n"
            << "新建一年级班级：" << counts->newFirstGrade << "\n";
  return 0;
}

}  // namespace

void AddDatabaseCommands(CLI::App& app, Context& ctx) {
  static std::string path;
  auto* init = app.add_subcommand("init", "Create an empty timetable database");
  init->add_option("DB", path, "Database file to create")->required();
  init->callback([&ctx] { ctx.exitCode = RunInit(path); });

  static DemoOptions demo;
  static std::string grades = "1-6";
  static bool writeSettings = false;
  auto* d = app.add_subcommand("demo", "Create a demo school in a new database");
  d->add_option("DB", path, "Database file to create")->required();
  d->add_option("--grades", grades, "Grades, as FIRST-LAST (1-9)")->capture_default_str();
  d->add_option("--classes-per-grade", demo.classesPerGrade, "Classes in each grade (1-20)")
      ->capture_default_str();
  d->add_option("--lessons-per-day", demo.lessonsPerDay, "Lessons per day (6 or 7)")->capture_default_str();
  d->add_option("--seed", demo.seed, "Seed for the teachers' names")->capture_default_str();
  d->add_option("--school", demo.schoolName, "School name")->capture_default_str();
  d->add_option("--fill", demo.fillPercent,
                "Percent of each class's week the plan fills (50-100; default: 80-95 by grade)");
  static bool noTeacherLimits = false;
  d->add_flag("--no-teacher-limits", noTeacherLimits, "No teacher is away at any time of the week");
  d->add_flag("--rules", demo.statedRules,
              "State the school's rules: every teacher at most 4 lessons a day and 3 in a row, one double "
              "period of Chinese a week in grades 5-9");
  d->add_flag("--calendar", demo.termCalendar,
              "State a term calendar: from 2026-09-01 for 20 weeks, bell times, the National Day holiday "
              "2026-10-01..07, 2026-10-11 taught as a Wednesday");
  d->add_flag("--write-settings", writeSettings, "Write kbxt.ini beside the database");
  d->callback([&ctx] {
    demo.teacherLimits = !noTeacherLimits;
    ctx.exitCode = RunDemo(path, demo, grades, writeSettings);
  });

  auto* info = app.add_subcommand("info", "Count the data in a database");
  info->add_option("DB", path, "Database file")->required();
  static bool json = false;
  info->add_flag("--json", json, "Print one JSON object");
  info->callback([&ctx] { ctx.exitCode = RunInfo(path, json); });

  auto* maintain = app.add_subcommand("maintain", "Remove orphan rows and recount placed lessons");
  maintain->add_option("DB", path, "Database file")->required();
  maintain->callback([&ctx] { ctx.exitCode = RunMaintain(path); });

  auto* clear = app.add_subcommand("clear", "Clear the whole timetable, fixed lessons included");
  clear->add_option("DB", path, "Database file")->required();
  clear->callback([&ctx] { ctx.exitCode = RunClear(path); });

  auto* upgrade = app.add_subcommand("upgrade", "Move every class up one grade for a new school year");
  upgrade->add_option("DB", path, "Database file")->required();
  upgrade->callback([&ctx] { ctx.exitCode = RunUpgrade(path); });
}

}  // namespace orv::cli
