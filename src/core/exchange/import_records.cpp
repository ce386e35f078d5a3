// SPDX-License-Identifier: GPL-3.0-or-later
// The four code-list sheets: which stored record a row means, or which new
// one it adds, and what changes.
#include <map>

#include "core/database/class_list.h"
#include "core/exchange/import_detail.h"
#include "core/exchange/typed_names.h"

namespace orv::import_detail {

namespace {

// Column positions, as the sheets in data_sheets.cpp list them.
constexpr size_t kCode = 0, kName = 1, kFull = 2, kShort = 3, kSpecial = 4;
constexpr size_t kClassCode = 0, kGrade = 1, kNumber = 2, kClassName = 3, kClassFull = 4, kClassShort = 5;

std::string Quoted(std::string_view s) { return "“" + std::string(s) + "”"; }

CodeTable TableOf(SheetKind kind) {
  switch (kind) {
    case SheetKind::Courses:
      return CodeTable::Course;
    case SheetKind::Teachers:
      return CodeTable::Teacher;
    case SheetKind::Rooms:
      return CodeTable::ClassRoom;
    default:
      return CodeTable::Class;
  }
}

std::optional<bool> YesNo(std::string_view text) {
  for (std::string_view yes : {"是", "Y", "y", "yes", "Yes", "YES", "1", "√", "TRUE", "true"})
    if (text == yes) return true;
  for (std::string_view no : {"否", "N", "n", "no", "No", "NO", "0", "×", "FALSE", "false"})
    if (text == no) return false;
  return std::nullopt;
}

// One row as typed: the record's fields ("" where the row leaves a field to
// its default or to the stored value) and where it goes.
struct Pending {
  const Row* row = nullptr;
  CodeRecord typed;  // code "" until a new record is given the next free code
  std::optional<bool> special;
  Entry* target = nullptr;  // the stored record it updates; nullptr: a new one
  ClassNames composed;      // a class's names from its grade and number
};

class RecordSheet {
 public:
  RecordSheet(Work& work, Problems& problems, const Sheet& sheet)
      : work_(work), problems_(problems), sheet_(sheet), list_(work.List(TableOf(sheet.kind))) {}

  void Run() {
    std::vector<Pending> rows;
    for (const Row& row : sheet_.rows)
      if (std::optional<Pending> p = Read(row)) rows.push_back(std::move(*p));
    // Codes the sheet gives are taken first, so a new record without a code
    // never takes one a later row asks for.
    for (Pending& p : rows)
      if (!p.target && !p.typed.code.empty()) Add(p);
    const size_t width = list_.table() == CodeTable::Teacher ? 3 : 2;
    for (Pending& p : rows) {
      if (p.target) {
        Update(p);
      } else if (p.typed.code.empty()) {
        p.typed.code = list_.NextCode(width);
        Add(p);
      }
    }
  }

 private:
  std::optional<Pending> Read(const Row& row) {
    const size_t before = problems_.Count();
    Pending p;
    p.row = &row;
    const bool isClass = sheet_.kind == SheetKind::Classes;
    if (isClass) {
      p.typed = {row[kClassCode], row.raw[kClassName], row.raw[kClassFull], row.raw[kClassShort]};
      const std::optional<int> grade = ParseTypedGrade(row[kGrade]);
      const std::optional<int> number = ParseTypedClassNumber(row[kNumber]);
      if (!grade)
        problems_.Add(
            sheet_, row, kGrade,
            row[kGrade].empty() ? "没有填写" : Quoted(row[kGrade]) + "不是年级：应为学前、一年级至九年级");
      if (!number)
        problems_.Add(sheet_, row, kNumber,
                      row[kNumber].empty() ? "没有填写" : Quoted(row[kNumber]) + "不是1至20的班号");
      if (!grade || !number) return std::nullopt;
      p.composed = *ComposeClassNames(*grade, *number);
      if (p.typed.code.empty()) {
        // The name finds a stored class first, so that a school whose codes
        // do not follow grade and number still updates its own classes.
        if (!p.typed.name.empty()) Claim(p, list_.ByName(p.typed.name), kClassName);
        if (!p.target && problems_.Count() == before) {
          p.typed.code = ClassCodeFor(*grade, *number);
          if (Entry* e = list_.ByCode(p.typed.code)) Claim(p, {e}, kClassCode);
        }
      } else if (Entry* e = list_.ByCode(p.typed.code)) {
        const ClassCodeParts parts = ParseClassCode(p.typed.code);
        if (parts.grade && parts.number && (*parts.grade != *grade || *parts.number != *number))
          problems_.Add(sheet_, row, kGrade, "年级和班号与编号" + Quoted(p.typed.code) + "不符");
        else
          Claim(p, {e}, kClassCode);
      }
    } else {
      p.typed = {row[kCode], row.raw[kName], row.raw[kFull], row.raw[kShort]};
      if (p.typed.name.empty()) problems_.Add(sheet_, row, kName, "没有填写");
      if (sheet_.kind == SheetKind::Courses && !row[kSpecial].empty()) {
        p.special = YesNo(row[kSpecial]);
        if (!p.special) problems_.Add(sheet_, row, kSpecial, Quoted(row[kSpecial]) + "应为“是”或“否”");
      }
      if (problems_.Count() > before) return std::nullopt;
      if (!p.typed.code.empty()) {
        if (Entry* e = list_.ByCode(p.typed.code)) Claim(p, {e}, kCode);
      } else {
        std::vector<Entry*> named = list_.ByName(p.typed.name);
        if (named.size() > 1) {
          problems_.Add(sheet_, row, kCode,
                        "有" + std::to_string(named.size()) + "个" + std::string(list_.noun()) + "名为" +
                            Quoted(p.typed.name) + "，请填写编号以区分");
        } else if (named.size() == 1) {
          Claim(p, named, kName);
        }
      }
    }
    if (problems_.Count() > before) return std::nullopt;
    if (!p.target && !NewNameIsClear(p)) return std::nullopt;
    if (!p.target && !p.typed.code.empty()) {
      auto [it, fresh] = newCodes_.emplace(p.typed.code, row.number);
      if (!fresh) {
        problems_.Add(sheet_, row, isClass && row[kClassCode].empty() ? kGrade : kCode,
                      "与第" + std::to_string(it->second) + "行是同一个" + std::string(list_.noun()) +
                          "（编号" + Quoted(p.typed.code) + "）");
        return std::nullopt;
      }
    }
    return p;
  }

  // The stored record a row names; a second row naming it is a duplicate.
  void Claim(Pending& p, const std::vector<Entry*>& found, size_t column) {
    if (found.size() != 1) {
      if (found.size() > 1)
        problems_.Add(sheet_, *p.row, column,
                      "有" + std::to_string(found.size()) + "个" + std::string(list_.noun()) + "名为" +
                          Quoted(p.typed.name) + "，请填写编号以区分");
      return;
    }
    auto [it, fresh] = claimed_.emplace(found[0], p.row->number);
    if (!fresh) {
      problems_.Add(sheet_, *p.row, column,
                    "与第" + std::to_string(it->second) + "行是同一个" + std::string(list_.noun()) + " " +
                        Label(*found[0]));
      return;
    }
    p.target = found[0];
  }

  // Two new records of one name can only be told apart by code: both rows
  // must give one.
  bool NewNameIsClear(const Pending& p) {
    const std::string name = NameKey(p.typed.name.empty() ? p.composed.name : p.typed.name);
    auto [it, fresh] = newNames_.emplace(name, std::make_pair(p.row->number, !p.typed.code.empty()));
    if (fresh || (it->second.second && !p.typed.code.empty() && sheet_.kind != SheetKind::Classes))
      return true;
    problems_.Add(sheet_, *p.row, sheet_.kind == SheetKind::Classes ? kClassName : kName,
                  "与第" + std::to_string(it->second.first) + "行同名；同名的" + std::string(list_.noun()) +
                      "请都填写编号以区分");
    return false;
  }

  CodeRecord Filled(const Pending& p, const CodeRecord& base) const {
    CodeRecord r = base;
    const bool isClass = sheet_.kind == SheetKind::Classes;
    if (!p.typed.name.empty()) r.name = p.typed.name;
    if (!p.typed.fullName.empty()) r.fullName = p.typed.fullName;
    if (!p.typed.shortName.empty()) r.shortName = p.typed.shortName;
    if (isClass && !p.target) {
      if (r.name.empty()) r.name = p.composed.name;
      if (r.fullName.empty()) r.fullName = p.composed.fullName;
      if (r.shortName.empty()) r.shortName = p.composed.shortName;
    }
    if (r.fullName.empty()) r.fullName = r.name;
    if (r.shortName.empty()) r.shortName = r.name;
    return r;
  }

  void Add(Pending& p) {
    CodeRecord base;
    base.code = p.typed.code;
    Entry& e = list_.Add(Filled(p, base));
    e.sheetRow = p.row->number;
    std::string detail = "全称 " + e.record.fullName + "，简称 " + e.record.shortName;
    if (sheet_.kind == SheetKind::Courses) {
      const bool special = p.special.value_or(false);
      work_.special[e.record.code] = special;
      if (special) detail += "，专用教室";
    }
    work_.plan->changes.push_back({sheet_.kind, p.row->number, ImportAction::Add, Label(e), detail});
  }

  void Update(Pending& p) {
    Entry& e = *p.target;
    e.sheetRow = p.row->number;
    const CodeRecord before = e.record;
    e.record = Filled(p, before);
    std::string detail;
    const auto note = [&](std::string_view field, const std::string& a, const std::string& b) {
      if (a != b) detail += (detail.empty() ? "" : "；") + std::string(field) + "：" + a + "→" + b;
    };
    note(SheetOf(sheet_.kind).columns[sheet_.kind == SheetKind::Classes ? kClassName : kName].header,
         before.name, e.record.name);
    note("全称", before.fullName, e.record.fullName);
    note("简称", before.shortName, e.record.shortName);
    if (sheet_.kind == SheetKind::Courses && p.special) {
      bool& special = work_.special[e.record.code];
      if (special != *p.special)
        note("专用教室", std::string(special ? "是" : "否"), std::string(*p.special ? "是" : "否"));
      special = *p.special;
    }
    work_.plan->changes.push_back({sheet_.kind, p.row->number,
                                   detail.empty() ? ImportAction::Keep : ImportAction::Change, Label(e),
                                   detail});
  }

  Work& work_;
  Problems& problems_;
  const Sheet& sheet_;
  Directory& list_;
  std::map<const Entry*, int> claimed_;
  std::map<std::string, int> newCodes_;
  std::map<std::string, std::pair<int, bool>> newNames_;  // name -> first row, whether it gave a code
};

}  // namespace

void PlanRecords(Work& work, Problems& problems, const Sheet& sheet) {
  RecordSheet(work, problems, sheet).Run();
}

void CollectRecords(Work& work) {
  for (size_t t = 0; t < work.lists.size(); ++t) {
    const CodeTable table = static_cast<CodeTable>(t);
    for (Entry& e : work.List(table).entries()) {
      if (e.stored && *e.stored == e.record) continue;
      work.plan->records[t].push_back(e.record);
      if (e.createdByPlan)
        work.plan->changes.push_back({table == CodeTable::Class    ? SheetKind::Classes
                                      : table == CodeTable::Course ? SheetKind::Courses
                                                                   : SheetKind::Teachers,
                                      0, ImportAction::Add, Label(e),
                                      "教学计划中出现的新" + std::string(work.List(table).noun())});
    }
  }
}

}  // namespace orv::import_detail
