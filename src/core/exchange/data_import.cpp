// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/exchange/data_import.h"

#include <algorithm>
#include <set>

#include "core/database/guard.h"
#include "core/exchange/import_detail.h"

namespace orv {

using namespace import_detail;

namespace {

constexpr std::array<std::string_view, 4> kCodeTables = {"Classtb", "Coursetb", "Teachertb", "ClassRoomtb"};

std::vector<CodeRecord> StoredRecords(TimetableDb& db, CodeTable table) {
  std::vector<CodeRecord> out;
  // The table name is one of four constants, never the user's text.
  for (Cursor c = db.Query("select Code, Name, FullName, ShortName from " +
                           std::string(kCodeTables[static_cast<size_t>(table)]) + " order by Code");
       c.Next();)
    out.push_back({c.Text(0), c.Text(1), c.Text(2), c.Text(3)});
  return out;
}

int CountRows(TimetableDb& db, std::string_view table) {
  return int(db.FirstInt("select count(*) from " + std::string(table)).value_or(0));
}

void ReadStored(TimetableDb& db, Work& work) {
  for (Cursor c = db.Query("select CourseCode from CourseAttrtb"); c.Next();) work.special[c.Text(0)] = true;
  for (Cursor c =
           db.Query("select ClassCode, CourseCode, TeacherCode, Count from ClassPlantb order by rowid");
       c.Next();)
    work.storedPlan.push_back({c.Text(0), c.Text(1), c.Text(2), int(c.Int(3))});
  for (Cursor c = db.Query("select ClassCode, Day, LessonNo, CourseCode, TeacherCode from LessonListtb");
       c.Next();)
    work.storedLessons.push_back({c.Text(0), int(c.Int(1)), int(c.Int(2)), c.Text(3), c.Text(4)});
  for (Cursor c = db.Query("select Kind, Code, Day, LessonNo, Attr from Limittb"); c.Next();)
    work.storedLimits[{int(c.Int(0)), c.Text(1), int(c.Int(2)), int(c.Int(3))}].push_back(int(c.Int(4)));
}

ImportClearing Clearing(TimetableDb& db) {
  ImportClearing c;
  c.classes = CountRows(db, "Classtb");
  c.courses = CountRows(db, "Coursetb");
  c.teachers = CountRows(db, "Teachertb");
  c.rooms = CountRows(db, "ClassRoomtb");
  c.planRows = CountRows(db, "ClassPlantb");
  c.lessons = CountRows(db, "LessonListtb");
  c.restrictions = CountRows(db, "Limittb");
  c.rules = CountRows(db, "SchoolRuletb");
  return c;
}

// Records first, so that the plan, restrictions and rules find the records
// the same file adds.
constexpr SheetKind kOrder[] = {SheetKind::Courses, SheetKind::Teachers, SheetKind::Rooms,
                                SheetKind::Classes, SheetKind::Plan,     SheetKind::Restrictions,
                                SheetKind::Rules};

}  // namespace

Result<ImportPlan> PlanImport(TimetableDb& db, const std::vector<ImportSheet>& sheets,
                              const ImportOptions& options, SchoolWeek week) {
  return Guarded("读取数据库失败：", [&]() -> Result<ImportPlan> {
    ImportPlan plan;
    plan.options = options;
    const bool replace = options.mode == ImportMode::Replace;
    Work work;
    work.db = &db;
    work.options = &plan.options;
    work.week = week;
    work.plan = &plan;
    std::array<std::optional<Directory>, 4> lists;
    {
      Transaction read(db);
      for (size_t t = 0; t < lists.size(); ++t) {
        const auto table = static_cast<CodeTable>(t);
        lists[t].emplace(table, replace ? std::vector<CodeRecord>{} : StoredRecords(db, table));
        work.lists[t] = &*lists[t];
      }
      if (replace) {
        plan.clearing = Clearing(db);
      } else {
        ReadStored(db, work);
        Result<std::vector<SchoolRule>> rules = LoadSchoolRules(db);
        if (!rules) return rules.outcome();
        work.storedRules = std::move(*rules);
      }
    }
    const std::map<std::string, bool> storedSpecial = work.special;

    Problems problems(plan.problems);
    std::vector<std::optional<Sheet>> read;
    for (const ImportSheet& s : sheets) read.push_back(ReadSheet(s, plan.problems));
    for (SheetKind kind : kOrder)
      for (const std::optional<Sheet>& sheet : read) {
        if (!sheet || sheet->kind != kind) continue;
        switch (kind) {
          case SheetKind::Plan:
            PlanTeaching(work, problems, *sheet);
            break;
          case SheetKind::Restrictions:
            PlanRestrictions(work, problems, *sheet);
            break;
          case SheetKind::Rules:
            PlanRules(work, problems, *sheet);
            break;
          default:
            PlanRecords(work, problems, *sheet);
        }
      }
    CollectRecords(work);
    for (const auto& [code, special] : work.special) {
      auto was = storedSpecial.find(code);
      if (special != (was != storedSpecial.end() && was->second))
        plan.specialCourses.push_back({code, special});
    }
    std::stable_sort(plan.changes.begin(), plan.changes.end(),
                     [](const ImportChange& a, const ImportChange& b) {
                       return std::pair(int(a.sheet), a.row) < std::pair(int(b.sheet), b.row);
                     });
    return plan;
  });
}

Outcome ApplyImport(TimetableDb& db, const ImportPlan& plan) {
  if (!plan.Ok())
    return Outcome::Fail("表格中有" + std::to_string(plan.problems.size()) + "个问题，没有导入任何数据");
  return Guarded("导入失败，数据库没有改变：", [&]() -> Outcome {
    Transaction tx(db);
    if (plan.options.mode == ImportMode::Replace)
      for (std::string_view table : {"LessonListtb", "ClassPlantb", "Limittb", "CourseAttrtb", "SchoolRuletb",
                                     "Classtb", "Coursetb", "Teachertb", "ClassRoomtb"})
        db.Execute("delete from " + std::string(table));

    for (size_t t = 0; t < plan.records.size(); ++t) {
      const std::string table(kCodeTables[t]);
      for (const CodeRecord& r : plan.records[t])
        if (db.Execute("update " + table + " set Name=?, FullName=?, ShortName=? where Code=?", r.name,
                       r.fullName, r.shortName, r.code) == 0)
          db.Execute("insert into " + table + " (Code, Name, FullName, ShortName) values (?,?,?,?)", r.code,
                     r.name, r.fullName, r.shortName);
    }
    for (const auto& [code, special] : plan.specialCourses) {
      db.Execute("delete from CourseAttrtb where CourseCode=?", code);
      if (special) db.Execute("insert into CourseAttrtb (CourseCode) values (?)", code);
    }

    for (const ImportPlanRow& p : plan.planRows) {
      if (p.storedTeacher) {
        db.Execute(
            "update ClassPlantb set TeacherCode=?, Count=? where ClassCode=? and CourseCode=? and "
            "TeacherCode=?",
            p.teacherCode, p.count, p.classCode, p.courseCode, *p.storedTeacher);
        // The timetable follows the plan: the row's placed lessons are now
        // the new teacher's.
        if (*p.storedTeacher != p.teacherCode)
          db.Execute(
              "update LessonListtb set TeacherCode=? where ClassCode=? and CourseCode=? and TeacherCode=?",
              p.teacherCode, p.classCode, p.courseCode, *p.storedTeacher);
      } else {
        db.Execute("insert into ClassPlantb (ClassCode, CourseCode, TeacherCode, Count) values (?,?,?,?)",
                   p.classCode, p.courseCode, p.teacherCode, p.count);
      }
      db.Execute(
          "update ClassPlantb set BuildCount=(select count(*) from LessonListtb L where "
          "L.ClassCode=ClassPlantb.ClassCode"
          " and L.CourseCode=ClassPlantb.CourseCode and L.TeacherCode=ClassPlantb.TeacherCode)"
          " where ClassCode=? and CourseCode=? and TeacherCode=?",
          p.classCode, p.courseCode, p.teacherCode);
    }

    for (const ImportLimit& l : plan.limits) {
      db.Execute("delete from Limittb where Kind=? and Code=? and Day=? and LessonNo=?", DbValue(l.kind),
                 l.code, l.day, l.lesson);
      // 正常 is what a cell without a row means.
      if (l.mark != LimitMark::Normal)
        db.Execute("insert into Limittb (Kind, Code, Day, LessonNo, Attr) values (?,?,?,?,?)",
                   DbValue(l.kind), l.code, l.day, l.lesson, DbValue(l.mark));
    }
    for (const SchoolRule& r : plan.rules)
      db.Execute(
          "insert or replace into SchoolRuletb (RuleKey, Scope, Code, CourseCode, Value) values (?,?,?,?,?)",
          InfoOf(r.key).text, static_cast<int>(r.scope), r.code, r.courseCode, r.value);
    tx.Commit();
    return Outcome::Ok();
  });
}

}  // namespace orv
