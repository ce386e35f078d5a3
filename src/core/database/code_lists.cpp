// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/database/code_lists.h"

#include <array>
#include <exception>
#include <optional>

#include "core/database/class_list.h"
#include "core/database/guard.h"
#include "core/database/school_rules.h"
#include "core/database/week_marks.h"

namespace orv {
namespace {

struct TableStatements {
  const char* load;
  const char* loadByCode;
  const char* exists;
  const char* insert;
  const char* update;
  // Run before the record itself goes; each takes the code as its only
  // argument. The record's restrictions go too when it has a restriction kind.
  std::vector<const char*> dependents;
  std::optional<LimitKind> limitKind;
  const char* remove;
  const char* duplicatePrefix;
};

// The scopes of SchoolRuletb (core/database/school_rules.h) spelt as numbers
// in the statements below: 1 teacher, 2 class, 3 course, 4 course in a class.
static_assert(static_cast<int>(RuleScope::kTeacher) == 1 && static_cast<int>(RuleScope::kClass) == 2 &&
              static_cast<int>(RuleScope::kCourse) == 3 && static_cast<int>(RuleScope::kClassCourse) == 4);

constexpr const char* kDeleteLimits = "delete from Limittb where Kind=? and Code = ?";

const TableStatements& StatementsFor(CodeTable table) {
  static const std::array<TableStatements, 4> kStatements = {{
      {"select Code,Name,FullName,ShortName from Classtb order by rowid",
       "select Code,Name,FullName,ShortName from Classtb order by Code",
       "select Code from Classtb where Code = ?",
       "insert into Classtb (Code,Name,FullName,ShortName) values (?,?,?,?)",
       "update Classtb set Name = ?,FullName = ?,ShortName = ? where Code = ?",
       {"delete from LessonListtb where ClassCode = ?", "delete from ClassPlantb where ClassCode = ?",
        "delete from SchoolRuletb where Scope in (2, 4) and Code = ?"},
       LimitKind::Class,
       "delete from Classtb where Code = ?",
       "该班级代码： "},
      {"select Code,Name,FullName,ShortName from Coursetb order by rowid",
       "select Code,Name,FullName,ShortName from Coursetb order by Code",
       "select Code from Coursetb where Code = ?",
       "insert into Coursetb (Code,Name,FullName,ShortName) values (?,?,?,?)",
       "update Coursetb set Name = ?,FullName = ?,ShortName = ? where Code = ?",
       {"delete from LessonListtb where CourseCode = ?", "delete from ClassPlantb where CourseCode = ?",
        "delete from CourseAttrtb where CourseCode = ?",
        "delete from SchoolRuletb where (Scope = 3 and Code = ?1) or (Scope = 4 and CourseCode = ?1)"},
       LimitKind::Course,
       "delete from Coursetb where Code = ?",
       "该课程代码： "},
      {"select Code,Name,FullName,ShortName from Teachertb order by rowid",
       "select Code,Name,FullName,ShortName from Teachertb order by Code",
       "select Code from Teachertb where Code = ?",
       "insert into Teachertb (Code,Name,FullName,ShortName) values (?,?,?,?)",
       "update Teachertb set Name = ?,FullName = ?,ShortName = ? where Code = ?",
       {"delete from LessonListtb where TeacherCode = ?", "delete from ClassPlantb where TeacherCode = ?",
        "delete from SchoolRuletb where Scope = 1 and Code = ?"},
       LimitKind::Teacher,
       "delete from Teachertb where Code = ?",
       "该老师代码： "},
      {"select Code,Name,FullName,ShortName from ClassRoomtb order by rowid",
       "select Code,Name,FullName,ShortName from ClassRoomtb order by Code",
       "select Code from ClassRoomtb where Code = ?",
       "insert into ClassRoomtb (Code,Name,FullName,ShortName) values (?,?,?,?)",
       "update ClassRoomtb set Name = ?,FullName = ?,ShortName = ? where Code = ?",
       {},
       std::nullopt,
       "delete from ClassRoomtb where Code = ?",
       "该教室代码： "},
  }};
  return kStatements[static_cast<int>(table)];
}

// The class editor names a class by its selector entries; the other editors
// (and a class code the class editor could not have formed) by the code as typed.
std::string DuplicateMessage(CodeTable table, const std::string& typedCode) {
  if (table == CodeTable::Class) {
    const ClassCodeParts parts = ParseClassCode(TrimBlanks(typedCode));
    if (parts.grade && parts.number)
      return GradeEntryText(*parts.grade) + "（" + std::to_string(*parts.number) + "）班 已经存在！";
  }
  return StatementsFor(table).duplicatePrefix + typedCode + " 已经存在！";
}

Outcome NotFound(const std::string& code) {
  return Outcome::Fail("没有代码为 '" + code + "' 的记录", kRecordNotFound);
}

bool IsBlankAt(std::string_view s, std::size_t pos, std::size_t* len) {
  if (s[pos] == ' ' || s[pos] == '\t') {
    *len = 1;
    return true;
  }
  // U+3000, the full-width space a Chinese input method types.
  if (s.compare(pos, 3, "\xE3\x80\x80") == 0) {
    *len = 3;
    return true;
  }
  return false;
}

}  // namespace

std::string TrimBlanks(std::string_view text) {
  std::size_t begin = 0, len = 0;
  while (begin < text.size() && IsBlankAt(text, begin, &len)) begin += len;
  std::size_t end = text.size();
  while (end > begin) {
    if (text[end - 1] == ' ' || text[end - 1] == '\t') {
      --end;
    } else if (end - begin >= 3 && text.substr(end - 3, 3) == "\xE3\x80\x80") {
      end -= 3;
    } else {
      break;
    }
  }
  return std::string(text.substr(begin, end - begin));
}

CodeRecord TrimmedRecord(const CodeRecord& r) {
  return {TrimBlanks(r.code), TrimBlanks(r.name), TrimBlanks(r.fullName), TrimBlanks(r.shortName)};
}

std::vector<CodeRecord> LoadCodeRecords(TimetableDb& db, CodeTable table, CodeOrder order) {
  std::vector<CodeRecord> records;
  try {
    const TableStatements& s = StatementsFor(table);
    Cursor c = db.Query(order == CodeOrder::ByCode ? s.loadByCode : s.load);
    while (c.Next()) records.push_back({c.Text(0), c.Text(1), c.Text(2), c.Text(3)});
  } catch (const std::exception&) {
  }
  return records;
}

std::vector<CodeField> MissingCodeFields(CodeTable table, const CodeRecord& typed) {
  const CodeRecord t = TrimmedRecord(typed);
  std::vector<CodeField> missing;
  if (t.code.empty()) missing.push_back(CodeField::Code);
  if (t.name.empty()) missing.push_back(CodeField::Name);
  if (table == CodeTable::ClassRoom) return missing;
  if (t.fullName.empty()) missing.push_back(CodeField::FullName);
  if (t.shortName.empty()) missing.push_back(CodeField::ShortName);
  return missing;
}

Outcome AppendCodeRecord(TimetableDb& db, CodeTable table, const CodeRecord& typed) {
  const CodeRecord r = TrimmedRecord(typed);
  const TableStatements& s = StatementsFor(table);
  return Guarded("", [&]() -> Outcome {
    Transaction tx(db);
    if (db.Exists(s.exists, r.code))
      return Outcome::Fail(DuplicateMessage(table, typed.code), kDuplicateCode);
    db.Execute(s.insert, r.code, r.name, r.fullName, r.shortName);
    tx.Commit();
    return Outcome::Ok();
  });
}

Outcome ModifyCodeRecord(TimetableDb& db, CodeTable table, const CodeRecord& typed) {
  const CodeRecord r = TrimmedRecord(typed);
  return Guarded("", [&]() -> Outcome {
    Transaction tx(db);
    if (db.Execute(StatementsFor(table).update, r.name, r.fullName, r.shortName, r.code) == 0)
      return NotFound(r.code);
    tx.Commit();
    return Outcome::Ok();
  });
}

Outcome DeleteCodeRecord(TimetableDb& db, CodeTable table, std::string_view code) {
  const std::string c = TrimBlanks(code);
  const TableStatements& s = StatementsFor(table);
  return Guarded("", [&]() -> Outcome {
    Transaction tx(db);
    for (const char* sql : s.dependents) db.Execute(sql, c);
    if (s.limitKind) db.Execute(kDeleteLimits, DbValue(*s.limitKind), c);
    // Without the record the dependent deletes are rolled back too: a code
    // that is not stored must not take other rows with it.
    if (db.Execute(s.remove, c) == 0) return NotFound(c);
    tx.Commit();
    return Outcome::Ok();
  });
}

}  // namespace orv
