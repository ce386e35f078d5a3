// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/database/record_names.h"
#include "core/database/guard.h"

#include <array>
#include <exception>
#include <map>

namespace orv {

namespace {

const char* TableName(CodeTable table) {
  static constexpr std::array<const char*, 4> kTables = {"Classtb", "Coursetb", "Teachertb", "ClassRoomtb"};
  return kTables[static_cast<size_t>(table)];
}

// Names are trimmed when the editors store them, but a database written by
// another program may hold a name of blanks only; it reads as no name.
bool Blank(std::string_view name) { return TrimBlanks(name).empty(); }

Result<std::vector<NamedRecord>> RecordsWhere(TimetableDb& db, CodeTable table, const char* column,
                                              std::string_view value) {
  return Guarded("", [&]() -> Result<std::vector<NamedRecord>> {
    std::vector<NamedRecord> records;
    Cursor c = db.Query(std::string("select Code, Name from ") + TableName(table) + " where " + column +
                            " = ? order by rowid",
                        value);
    while (c.Next()) records.push_back({c.Text(0), c.Text(1)});
    return records;
  });
}

}  // namespace

std::string RecordLabel(std::string_view name, std::string_view code) {
  return std::string(name) + "（" + std::string(code) + "）";
}

std::string RecordLabels(const std::vector<NamedRecord>& records) {
  std::string text;
  for (const NamedRecord& r : records) text += (text.empty() ? "" : "、") + RecordLabel(r.name, r.code);
  return text;
}

std::string_view RecordNoun(CodeTable table) {
  switch (table) {
    case CodeTable::Class:
      return "班级";
    case CodeTable::Course:
      return "课程";
    case CodeTable::Teacher:
      return "教师";
    case CodeTable::ClassRoom:
      break;
  }
  return "教室";
}

Result<NameClashes> NameClashes::Load(TimetableDb& db, CodeTable table, bool shortNames) {
  const std::string column = shortNames ? "ShortName" : "Name";
  return Guarded("", [&]() -> Result<NameClashes> {
    NameClashes clashes;
    Cursor c = db.Query("select " + column + " from " + TableName(table) + " group by " + column +
                        " having count(*) > 1");
    while (c.Next()) clashes.shared_.insert(c.Text(0));
    return clashes;
  });
}

bool NameClashes::Ambiguous(std::string_view name) const { return Blank(name) || shared_.contains(name); }

std::string NameClashes::Label(std::string_view name, std::string_view code) const {
  return Ambiguous(name) ? RecordLabel(name, code) : std::string(name);
}

Result<std::vector<NamedRecord>> RecordsNamed(TimetableDb& db, CodeTable table, std::string_view name) {
  return RecordsWhere(db, table, "Name", name);
}

Result<std::vector<NamedRecord>> RecordsCoded(TimetableDb& db, CodeTable table, std::string_view code) {
  return RecordsWhere(db, table, "Code", code);
}

Result<std::vector<NamedRecord>> OtherRecordsNamed(TimetableDb& db, CodeTable table, std::string_view name,
                                                   std::string_view code) {
  if (Blank(name)) return std::vector<NamedRecord>{};
  Result<std::vector<NamedRecord>> records = RecordsNamed(db, table, name);
  if (records) std::erase_if(*records, [&](const NamedRecord& r) { return r.code == code; });
  return records;
}

Result<std::vector<NameClash>> FindNameClashes(TimetableDb& db) {
  std::vector<NameClash> clashes;
  for (CodeTable table : {CodeTable::Class, CodeTable::Course, CodeTable::Teacher, CodeTable::ClassRoom}) {
    Outcome read = Guarded("", [&]() -> Outcome {
      // Keyed by name, so the clashes come out in name order; "" (blank) first.
      std::map<std::string, std::vector<NamedRecord>> byName;
      Cursor c = db.Query(std::string("select Code, Name from ") + TableName(table) + " order by rowid");
      while (c.Next()) {
        NamedRecord r{c.Text(0), c.Text(1)};
        byName[Blank(r.name) ? std::string() : r.name].push_back(std::move(r));
      }
      for (auto& [name, records] : byName)
        if (name.empty() || records.size() > 1) clashes.push_back({table, name, std::move(records)});
      return Outcome::Ok();
    });
    if (!read) return read;
  }
  return clashes;
}

std::string NameClashText(const NameClash& clash) {
  const std::string noun(RecordNoun(clash.table));
  const std::string records = RecordLabels(clash.records);
  if (clash.name.empty())
    return noun + "没有名称：" + records + "，打印、导出和各窗口中只能靠代码区分，请补上名称";
  return std::to_string(clash.records.size()) + "个" + noun + "同名“" + clash.name + "”：" + records +
         "，打印和导出时在名称后加代码区分；如是同一" + noun + "重复录入，请删去多余的一条";
}

}  // namespace orv
