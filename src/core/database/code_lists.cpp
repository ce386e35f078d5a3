#include "core/database/code_lists.h"

#include <array>
#include <exception>

namespace orv {
namespace {

struct TableStatements {
  const char* load;
  const char* exists;
  const char* insert;
  const char* update;
  // Run before the record itself goes; each takes the code as its only argument.
  std::vector<const char*> dependents;
  const char* remove;
};

const TableStatements& StatementsFor(CodeTable table) {
  static const std::array<TableStatements, 4> kStatements = {{
      {"select Code,Name,FullName,ShortName from Classtb order by rowid",
       "select Code from Classtb where Code = ?",
       "insert into Classtb (Code,Name,FullName,ShortName) values (?,?,?,?)",
       "update Classtb set Name = ?,FullName = ?,ShortName = ? where Code = ?",
       {"delete from LessonListtb where ClassCode = ?", "delete from ClassPlantb where ClassCode = ?",
        "delete from Limittb where Kind=0 and Code = ?"},
       "delete from Classtb where Code = ?"},
      {"select Code,Name,FullName,ShortName from Coursetb order by rowid",
       "select Code from Coursetb where Code = ?",
       "insert into Coursetb (Code,Name,FullName,ShortName) values (?,?,?,?)",
       "update Coursetb set Name = ?,FullName = ?,ShortName = ? where Code = ?",
       {"delete from LessonListtb where CourseCode = ?", "delete from ClassPlantb where CourseCode = ?",
        "delete from Limittb where Kind=1 and Code = ?", "delete from CourseAttrtb where CourseCode = ?"},
       "delete from Coursetb where Code = ?"},
      {"select Code,Name,FullName,ShortName from Teachertb order by rowid",
       "select Code from Teachertb where Code = ?",
       "insert into Teachertb (Code,Name,FullName,ShortName) values (?,?,?,?)",
       "update Teachertb set Name = ?,FullName = ?,ShortName = ? where Code = ?",
       {"delete from LessonListtb where TeacherCode = ?", "delete from ClassPlantb where TeacherCode = ?",
        "delete from Limittb where Kind=2 and Code = ?"},
       "delete from Teachertb where Code = ?"},
      {"select Code,Name,FullName,ShortName from ClassRoomtb order by rowid",
       "select Code from ClassRoomtb where Code = ?",
       "insert into ClassRoomtb (Code,Name,FullName,ShortName) values (?,?,?,?)",
       "update ClassRoomtb set Name = ?,FullName = ?,ShortName = ? where Code = ?",
       {},
       "delete from ClassRoomtb where Code = ?"},
  }};
  return kStatements[static_cast<int>(table)];
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

std::vector<CodeRecord> LoadCodeRecords(TimetableDb& db, CodeTable table) {
  std::vector<CodeRecord> records;
  try {
    Cursor c = db.Query(StatementsFor(table).load);
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

WriteOutcome AppendCodeRecord(TimetableDb& db, CodeTable table, const CodeRecord& typed) {
  const CodeRecord r = TrimmedRecord(typed);
  const TableStatements& s = StatementsFor(table);
  try {
    Transaction tx(db);
    if (db.Exists(s.exists, r.code)) return WriteOutcome::Duplicate;
    db.Execute(s.insert, r.code, r.name, r.fullName, r.shortName);
    tx.Commit();
    return WriteOutcome::Done;
  } catch (const std::exception&) {
    return WriteOutcome::Failed;
  }
}

WriteOutcome ModifyCodeRecord(TimetableDb& db, CodeTable table, const CodeRecord& typed) {
  const CodeRecord r = TrimmedRecord(typed);
  try {
    Transaction tx(db);
    if (db.Execute(StatementsFor(table).update, r.name, r.fullName, r.shortName, r.code) == 0)
      return WriteOutcome::NotFound;
    tx.Commit();
    return WriteOutcome::Done;
  } catch (const std::exception&) {
    return WriteOutcome::Failed;
  }
}

WriteOutcome DeleteCodeRecord(TimetableDb& db, CodeTable table, std::string_view code) {
  const std::string c = TrimBlanks(code);
  const TableStatements& s = StatementsFor(table);
  try {
    Transaction tx(db);
    for (const char* sql : s.dependents) db.Execute(sql, c);
    // Without the record the dependent deletes are rolled back too: a code
    // that is not stored must not take other rows with it.
    if (db.Execute(s.remove, c) == 0) return WriteOutcome::NotFound;
    tx.Commit();
    return WriteOutcome::Done;
  } catch (const std::exception&) {
    return WriteOutcome::Failed;
  }
}

}  // namespace orv
