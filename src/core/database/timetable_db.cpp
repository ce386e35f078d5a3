// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/database/timetable_db.h"

#include <sqlite3.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <vector>

#include <SQLiteCpp/Database.h>
#include <SQLiteCpp/Exception.h>
#include <SQLiteCpp/Statement.h>
#include <SQLiteCpp/Transaction.h>

#include "core/database/schema.h"
#include "core/database/valid_text.h"

namespace fs = std::filesystem;

namespace orv {

void BindValue(SQLite::Statement& st, int index, int value) { st.bind(index, value); }
void BindValue(SQLite::Statement& st, int index, long long value) {
  st.bind(index, static_cast<int64_t>(value));
}
void BindValue(SQLite::Statement& st, int index, double value) { st.bind(index, value); }
void BindValue(SQLite::Statement& st, int index, std::string_view value) {
  // Bound as TEXT (the pointer-and-size overload would bind a BLOB, which
  // never compares equal to the stored text).
  st.bind(index, std::string(value));
}

Cursor::Cursor(TimetableDb& db, SQLite::Statement& st, bool& taken) : st_(&st), taken_(&taken), db_(&db) {
  taken = true;
}
Cursor::Cursor(TimetableDb& db, std::unique_ptr<SQLite::Statement> own)
    : st_(own.get()), own_(std::move(own)), db_(&db) {}
Cursor::Cursor(Cursor&& other) noexcept
    : st_(other.st_), taken_(other.taken_), own_(std::move(other.own_)), db_(other.db_) {
  other.st_ = nullptr;
  other.taken_ = nullptr;
}

bool Cursor::Next() { return st_->executeStep(); }
int Cursor::Int(int col) const { return st_->getColumn(col).getInt(); }
long long Cursor::Int64(int col) const { return st_->getColumn(col).getInt64(); }
double Cursor::Double(int col) const { return st_->getColumn(col).getDouble(); }
bool Cursor::IsNull(int col) const { return st_->getColumn(col).isNull(); }

Cursor::~Cursor() {
  if (st_ == nullptr) return;
  try {
    st_->reset();
  } catch (...) {
    // A failed step already reported its error; the reset only repeats it.
  }
  if (taken_ != nullptr) *taken_ = false;
}

std::string Cursor::Text(int col) const {
  const SQLite::Column c = st_->getColumn(col);
  if (c.isNull()) return {};
  // Every text of the program comes through here, so this is the one place
  // where bytes from a foreign or damaged file are made safe to write out.
  const std::string_view raw(static_cast<const char*>(c.getBlob()), static_cast<size_t>(c.getBytes()));
  bool replaced = false;
  std::string text = ToValidUtf8(raw, replaced);
  if (replaced) db_->NoteInvalidText();
  return text;
}

bool Cursor::IsNumber(int col) const {
  const SQLite::Column c = st_->getColumn(col);
  return c.isInteger() || c.isFloat();
}

std::string DatabaseErrorText(const std::exception& error) {
  const auto* e = dynamic_cast<const SQLite::Exception*>(&error);
  if (e == nullptr) return "程序内部错误";
  switch (e->getErrorCode() & 0xff) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
      return "数据库正被其他程序使用";
    case SQLITE_FULL:
      return "磁盘空间不足";
    case SQLITE_READONLY:
      return "数据库文件是只读的";
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
      return "数据库文件已损坏";
    case SQLITE_CANTOPEN:
      return "无法打开文件";
    case SQLITE_IOERR:
      return "读写文件出错";
    case SQLITE_CONSTRAINT:
      return "数据不符合表的约束";
    case SQLITE_ERROR:
      // Statements are fixed text: most often a table or column the file lacks.
      return "数据库结构不完整或操作无法执行";
    case SQLITE_PERM:
    case SQLITE_AUTH:
      return "没有访问权限";
    default:
      return "数据库错误（代码 " + std::to_string(e->getErrorCode()) + "）";
  }
}

namespace {

bool IsWritableFile(const fs::path& path) {
  std::error_code ec;
  const fs::perms p = fs::status(path, ec).permissions();
  if (ec) return false;
  // A file with every write bit cleared was marked read-only on purpose;
  // honour that even for root, which access() would let through.
  const fs::perms anyWrite = fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
  if ((p & anyWrite) == fs::perms::none) return false;
  return ::access(path.c_str(), W_OK) == 0;
}

// Whether the open file holds the eight tables with their columns. Names are
// compared without regard to case, as other tools may spell them differently.
// The reason the file is no timetable database, or "" when it is one.
std::string MissingTimetableParts(SQLite::Database& db) {
  SQLite::Statement columns(db, "SELECT lower(name) FROM pragma_table_info(?)");
  for (const TableShape& table : kTables) {
    columns.reset();
    columns.bind(1, std::string(table.name));
    std::vector<std::string> have;
    while (columns.executeStep()) have.push_back(columns.getColumn(0).getString());
    if (have.empty()) return "缺少数据表 " + std::string(table.name);
    for (std::string_view col : table.columns) {
      if (col.empty()) break;
      std::string lower(col);
      for (char& ch : lower) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
      if (std::find(have.begin(), have.end(), lower) == have.end())
        return "数据表 " + std::string(table.name) + " 缺少字段 " + std::string(col);
    }
  }
  return {};
}

// Brings the file up to kSchemaVersion inside the caller's transaction, so an
// upgrade is whole or not at all. A file from a newer program keeps its number.
void ApplyMigrations(SQLite::Database& db) {
  const int version = db.execAndGet("PRAGMA user_version").getInt();
  int reached = version;
  for (const Migration& m : kMigrations) {
    if (m.toVersion <= version) continue;
    for (std::string_view sql : m.statements) db.exec(std::string(sql));
    reached = m.toVersion;
  }
  if (reached != version) db.exec("PRAGMA user_version=" + std::to_string(reached));
}

}  // namespace

TimetableDb::TimetableDb(fs::path path, std::unique_ptr<SQLite::Database> db)
    : path_(std::move(path)), db_(std::move(db)) {}

TimetableDb::~TimetableDb() {
  // Statements must be finalised before the connection closes.
  cache_.clear();
}

Result<std::unique_ptr<TimetableDb>> TimetableDb::Open(const fs::path& path, DbAccess access) {
  std::error_code ec;
  if (path.empty() || !fs::exists(path, ec)) return Outcome::Fail("文件不存在");
  if (!fs::is_regular_file(path, ec)) return Outcome::Fail("不是数据库文件");
  const bool readOnly = access == DbAccess::kReadOnly;
  if (!readOnly && !IsWritableFile(path)) return Outcome::Fail("文件是只读的");
  try {
    auto db = std::make_unique<SQLite::Database>(path.string(),
                                                 readOnly ? SQLite::OPEN_READONLY : SQLite::OPEN_READWRITE);
    if (!readOnly && sqlite3_db_readonly(db->getHandle(), "main") == 1) return Outcome::Fail("文件是只读的");
    // Exclusive mode keeps every lock until the connection closes, so a second
    // copy of the program or the command-line tool cannot open the same file.
    db->exec("PRAGMA locking_mode=EXCLUSIVE");
    db->exec(readOnly ? "BEGIN" : "BEGIN EXCLUSIVE");
    try {
      if (std::string missing = MissingTimetableParts(*db); !missing.empty()) {
        db->exec("ROLLBACK");
        return Outcome::Fail(missing);
      }
      // A read-only reader leaves an older file as it is: what it reads of
      // the later tables, it reads as absent.
      if (!readOnly) {
        ApplyMigrations(*db);
        for (std::string_view sql : kIndexSql) db->exec(std::string(sql));
      }
      db->exec("COMMIT");
    } catch (...) {
      try {
        db->exec("ROLLBACK");
      } catch (...) {
      }
      throw;
    }
    return std::unique_ptr<TimetableDb>(new TimetableDb(fs::absolute(path, ec), std::move(db)));
  } catch (const SQLite::Exception& e) {
    const int code = e.getErrorCode();
    if (code == SQLITE_BUSY || code == SQLITE_LOCKED) return Outcome::Fail("数据库已被其他程序打开");
    if (code == SQLITE_NOTADB) return Outcome::Fail("不是课表数据库文件");
    return Outcome::Fail(DatabaseErrorText(e));
  } catch (const std::exception& e) {
    return Outcome::Fail(DatabaseErrorText(e));
  }
}

Outcome TimetableDb::Create(const fs::path& path) {
  std::error_code ec;
  if (fs::exists(path, ec)) return Outcome::Fail("文件已存在");
  try {
    SQLite::Database db(path.string(), SQLite::OPEN_READWRITE | SQLite::OPEN_CREATE);
    SQLite::Transaction tx(db);
    for (const TableShape& table : kTables) db.exec(std::string(table.createSql));
    ApplyMigrations(db);
    for (std::string_view sql : kIndexSql) db.exec(std::string(sql));
    tx.commit();
    return Outcome::Ok();
  } catch (const std::exception& e) {
    fs::remove(path, ec);
    return Outcome::Fail(DatabaseErrorText(e));
  }
}

Cursor TimetableDb::Prepared(std::string_view sql) {
  ++statementsRun_;
  auto it = cache_.find(sql);
  if (it == cache_.end()) {
    auto st = std::make_unique<SQLite::Statement>(*db_, std::string(sql));
    it = cache_.emplace(std::string(sql), CachedStatement{std::move(st)}).first;
  } else if (it->second.taken) {
    // The same text is still being read further out: resetting it would
    // silently restart that loop, so this reading gets its own statement.
    return Cursor(*this, std::make_unique<SQLite::Statement>(*db_, std::string(sql)));
  } else {
    it->second.statement->reset();
    it->second.statement->clearBindings();
  }
  return Cursor(*this, *it->second.statement, it->second.taken);
}

int TimetableDb::changes() { return sqlite3_changes(db_->getHandle()); }

void TimetableDb::NoteInvalidText() {
  if (invalidTextsRead_++ == 0 && invalidTextNotice_) invalidTextNotice_();
}

Transaction::Transaction(TimetableDb& db) : db_(db), depth_(db.transactionDepth_) {
  if (depth_ == 0)
    db_.db_->exec("BEGIN");
  else
    db_.db_->exec("SAVEPOINT orv_" + std::to_string(depth_));
  ++db_.transactionDepth_;
}

void Transaction::Commit() {
  if (done_) return;
  if (depth_ == 0)
    db_.db_->exec("COMMIT");
  else
    db_.db_->exec("RELEASE orv_" + std::to_string(depth_));
  done_ = true;
  --db_.transactionDepth_;
}

Transaction::~Transaction() {
  if (done_) return;
  --db_.transactionDepth_;
  try {
    if (depth_ == 0) {
      db_.db_->exec("ROLLBACK");
    } else {
      const std::string name = "orv_" + std::to_string(depth_);
      db_.db_->exec("ROLLBACK TO " + name);
      db_.db_->exec("RELEASE " + name);
    }
  } catch (...) {
    // Nothing more can be done from a destructor; the connection reports the
    // state on its next statement.
  }
}

}  // namespace orv
