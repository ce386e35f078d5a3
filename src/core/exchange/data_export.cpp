// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/exchange/data_export.h"

#include <algorithm>
#include <array>
#include <map>
#include <set>
#include <tuple>

#include "core/database/class_list.h"
#include "core/database/guard.h"
#include "core/database/school_rules.h"
#include "core/domain/marks.h"
#include "core/domain/week.h"
#include "core/model/school_model.h"

namespace orv {

namespace {

using Rows = std::vector<std::vector<std::string>>;
using Names = std::map<std::string, std::string>;  // code -> name

Rows& RowsOf(ExchangeRows& out, SheetKind kind) { return out.rows[static_cast<size_t>(kind)]; }

// code, name, full name, short name of a code table, in code order.
Rows CodeTable(TimetableDb& db, std::string_view table) {
  Rows rows;
  // The table name is one of four constants, never the user's text.
  Cursor c = db.Query("select Code, Name, FullName, ShortName from " + std::string(table) + " order by Code");
  while (c.Next()) rows.push_back({c.Text(0), c.Text(1), c.Text(2), c.Text(3)});
  return rows;
}

Names NamesOf(const Rows& table) {
  Names names;
  for (const auto& r : table) names.emplace(r[0], r[1]);
  return names;
}

std::string NameOf(const Names& names, const std::string& code) {
  auto it = names.find(code);
  return it == names.end() ? std::string() : it->second;
}

}  // namespace

Result<ExchangeRows> ReadExchangeRows(TimetableDb& db) {
  return Guarded("读取基础数据失败：", [&]() -> Result<ExchangeRows> {
    ExchangeRows out;
    const Rows courses = CodeTable(db, "Coursetb"), teachers = CodeTable(db, "Teachertb");
    const Rows rooms = CodeTable(db, "ClassRoomtb"), classes = CodeTable(db, "Classtb");
    const Names courseNames = NamesOf(courses), teacherNames = NamesOf(teachers);
    const Names roomNames = NamesOf(rooms), classNames = NamesOf(classes);

    std::set<std::string> special;
    for (Cursor c = db.Query("select CourseCode from CourseAttrtb"); c.Next();) special.insert(c.Text(0));
    for (auto row : courses) {
      row.emplace_back(special.count(row[0]) ? kYes : kNo);
      RowsOf(out, SheetKind::Courses).push_back(std::move(row));
    }
    RowsOf(out, SheetKind::Teachers) = teachers;
    RowsOf(out, SheetKind::Rooms) = rooms;
    for (const auto& c : classes) {
      const ClassCodeParts parts = ParseClassCode(c[0]);
      RowsOf(out, SheetKind::Classes)
          .push_back({c[0], parts.grade ? GradeEntryText(*parts.grade) : "",
                      parts.number ? std::to_string(*parts.number) : "", c[1], c[2], c[3]});
    }

    for (Cursor c = db.Query("select ClassCode, CourseCode, TeacherCode, Count from ClassPlantb "
                             "order by ClassCode, CourseCode, TeacherCode");
         c.Next();) {
      const std::string cls = c.Text(0), course = c.Text(1), teacher = c.Text(2);
      RowsOf(out, SheetKind::Plan)
          .push_back({NameOf(classNames, cls), cls, NameOf(courseNames, course), course,
                      NameOf(teacherNames, teacher), teacher, std::to_string(c.Int(3))});
    }

    // 正常 is what an unlisted time means, so only the other marks are rows.
    // The weeks come from the model, which reads every restriction row once
    // and keeps one mark per cell (the stricter of two rows): the sheet then
    // says what scheduling honours, and a kind, day or mark no window writes
    // stays out. Every lesson a row can name is in the week of seven.
    Result<SchoolModel> model = LoadSchoolModel(db, SchoolWeek(kMaxLessonsPerDay));
    if (!model) return model.outcome();
    const std::array<const std::vector<ModelEntity>*, 4> weeks = {&model->classes, &model->courses,
                                                                  &model->teachers, &model->classrooms};
    const std::array<const Names*, 4> byKind = {&classNames, &courseNames, &teacherNames, &roomNames};
    for (size_t kind = 0; kind < weeks.size(); ++kind) {
      std::vector<const ModelEntity*> inCodeOrder;
      for (const ModelEntity& e : *weeks[kind]) inCodeOrder.push_back(&e);
      std::sort(inCodeOrder.begin(), inCodeOrder.end(),
                [](const ModelEntity* a, const ModelEntity* b) { return a->code < b->code; });
      for (const ModelEntity* e : inCodeOrder)
        for (int day = 1; day <= kDaysPerWeek; ++day)
          for (int n = 1; n <= kMaxLessonsPerDay; ++n) {
            const LimitMark mark = e->marks.At(PeriodOf(day, n));
            if (mark == LimitMark::Normal) continue;
            RowsOf(out, SheetKind::Restrictions)
                .push_back({std::string(kLimitKindNames[kind]), NameOf(*byKind[kind], e->code), e->code,
                            std::string(kDayNames[size_t(day - 1)]), std::to_string(n),
                            std::string(MarkText(mark))});
          }
    }

    Result<std::vector<SchoolRule>> rules = LoadSchoolRules(db);
    if (!rules) return rules.outcome();
    // In the order the rules window lists the keys, then by scope and code.
    std::sort(rules->begin(), rules->end(), [](const SchoolRule& a, const SchoolRule& b) {
      return std::tie(a.key, a.scope, a.code, a.courseCode) < std::tie(b.key, b.scope, b.code, b.courseCode);
    });
    for (const SchoolRule& r : *rules) {
      const Names* scopeNames = r.scope == RuleScope::kTeacher  ? &teacherNames
                                : r.scope == RuleScope::kCourse ? &courseNames
                                                                : &classNames;
      const bool hasObject = r.scope != RuleScope::kSchool;
      const bool hasCourse = r.scope == RuleScope::kClassCourse;
      RowsOf(out, SheetKind::Rules)
          .push_back({std::string(InfoOf(r.key).name), std::string(kRuleScopeNames[size_t(r.scope)]),
                      hasObject ? NameOf(*scopeNames, r.code) : "", r.code,
                      hasCourse ? NameOf(courseNames, r.courseCode) : "", r.courseCode,
                      RuleValueText(r.key, r.value)});
    }

    // The drop-downs offer each name once.
    for (const auto* table : {&courses, &teachers}) {
      std::vector<std::string>& names = table == &courses ? out.courses : out.teachers;
      std::set<std::string> seen;
      for (const auto& r : *table)
        if (!r[1].empty() && seen.insert(r[1]).second) names.push_back(r[1]);
    }
    return out;
  });
}

Outcome ExportBasicData(TimetableDb& db, const std::filesystem::path& path) {
  Result<ExchangeRows> rows = ReadExchangeRows(db);
  if (!rows) return rows.outcome();
  return WriteExchangeWorkbook(path, *rows);
}

}  // namespace orv
