// SPDX-License-Identifier: GPL-3.0-or-later
// The one open timetable database. Every statement goes through here: prepared
// once, reused with bound parameters, never built by pasting values into SQL.
#pragma once

#include <cstdint>
#include <exception>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

#include "core/outcome.h"

// SQLite stays behind this header: the windows and the command line reach
// the database only through TimetableDb and Cursor.
namespace SQLite {
class Database;
class Statement;
}  // namespace SQLite

namespace orv {

// A value bound to a '?' placeholder.
void BindValue(SQLite::Statement& st, int index, int value);
void BindValue(SQLite::Statement& st, int index, long long value);
void BindValue(SQLite::Statement& st, int index, double value);
void BindValue(SQLite::Statement& st, int index, std::string_view value);
inline void BindValue(SQLite::Statement& st, int index, const std::string& value) {
  BindValue(st, index, std::string_view(value));
}
inline void BindValue(SQLite::Statement& st, int index, const char* value) {
  BindValue(st, index, std::string_view(value));
}

class TimetableDb;

// A reading of a statement. Resets the statement when it goes out of scope,
// so a half-read query never keeps a cursor open into the next one. While a
// cursor lives, its cached statement is taken: a second query with the same
// text (a nested loop) gets a statement of its own instead of resetting this one.
class Cursor {
 public:
  Cursor(const Cursor&) = delete;
  Cursor& operator=(const Cursor&) = delete;
  Cursor(Cursor&& other) noexcept;
  ~Cursor();

  bool Next();
  // The column's text, always valid UTF-8: bytes that are not are replaced
  // with U+FFFD and the database is told (see TimetableDb::OnInvalidText).
  std::string Text(int col) const;
  int Int(int col) const;
  long long Int64(int col) const;
  double Double(int col) const;
  bool IsNull(int col) const;
  // An INTEGER or REAL value (not NULL, text or a blob).
  bool IsNumber(int col) const;

 private:
  friend class TimetableDb;
  // A cached statement, marked taken until the cursor ends.
  Cursor(TimetableDb& db, SQLite::Statement& st, bool& taken);
  // A statement prepared for this cursor alone.
  Cursor(TimetableDb& db, std::unique_ptr<SQLite::Statement> own);

  SQLite::Statement* st_;
  bool* taken_ = nullptr;
  std::unique_ptr<SQLite::Statement> own_;
  TimetableDb* db_;
};

// Lets the statement cache be searched with a string_view, so a cache hit
// costs no allocation on the generator's hot path.
struct SqlHash {
  using is_transparent = void;
  size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
};

// The reason a database call failed, in Chinese, for the message a user sees:
// SQLite's own texts are English, so the error code is translated instead.
std::string DatabaseErrorText(const std::exception& error);

// How a database is opened: for the work of the windows and most commands,
// or only to be read (the output commands), which also works on a file
// marked read-only.
enum class DbAccess { kReadWrite, kReadOnly };

class TimetableDb {
 public:
  // Opens an existing timetable database exclusively: while this object
  // lives, no other process (nor another connection of this one) can open
  // the file. On failure the message says why, and the file is untouched
  // unless it is a valid timetable database (then only the lookup indexes
  // are added).
  //
  // kReadOnly never writes to the file, not even the indexes, and any write
  // statement fails. A file opened only for reading cannot be locked for
  // writing, so the lock held is the shared one: no one can open the file
  // for writing meanwhile, but another reader can read it too.
  static Result<std::unique_ptr<TimetableDb>> Open(const std::filesystem::path& path,
                                                   DbAccess access = DbAccess::kReadWrite);

  // Creates a new, empty timetable database. Refuses an existing file.
  static Outcome Create(const std::filesystem::path& path);

  TimetableDb(const TimetableDb&) = delete;
  TimetableDb& operator=(const TimetableDb&) = delete;
  ~TimetableDb();

  const std::filesystem::path& Path() const { return path_; }

  // The statement of the text with its arguments bound in order: the cached
  // one, or a fresh one while the cached one is still being read.
  template <class... Args>
  Cursor Query(std::string_view sql, const Args&... args) {
    Cursor c = Prepared(sql);
    int i = 1;
    (BindValue(*c.st_, i++, args), ...);
    return c;
  }

  // Runs a cached write statement; returns the number of rows it changed.
  template <class... Args>
  int Execute(std::string_view sql, const Args&... args) {
    Cursor c = Query(sql, args...);
    c.Next();
    return changes();
  }

  // True when the query returns at least one row.
  template <class... Args>
  bool Exists(std::string_view sql, const Args&... args) {
    return Query(sql, args...).Next();
  }

  // The first column of the first row, or nullopt when there is no row.
  template <class... Args>
  std::optional<std::string> FirstText(std::string_view sql, const Args&... args) {
    Cursor c = Query(sql, args...);
    if (!c.Next()) return std::nullopt;
    return c.Text(0);
  }

  template <class... Args>
  std::optional<long long> FirstInt(std::string_view sql, const Args&... args) {
    Cursor c = Query(sql, args...);
    if (!c.Next() || c.IsNull(0)) return std::nullopt;
    return c.Int64(0);
  }

  // Statements run since the database was opened (for the benchmarks).
  std::uint64_t StatementsRun() const { return statementsRun_; }

  // Called once, the first time a text read from the file was not valid
  // UTF-8 and had bytes replaced; a caller that shows warnings sets it.
  void OnInvalidText(std::function<void()> notice) { invalidTextNotice_ = std::move(notice); }
  // Texts read so far that had bytes replaced.
  std::uint64_t InvalidTextsRead() const { return invalidTextsRead_; }

 private:
  friend class Transaction;
  friend class Cursor;
  struct CachedStatement {
    std::unique_ptr<SQLite::Statement> statement;
    bool taken = false;  // a live Cursor reads it
  };

  TimetableDb(std::filesystem::path path, std::unique_ptr<SQLite::Database> db);
  Cursor Prepared(std::string_view sql);
  int changes();
  void NoteInvalidText();

  std::filesystem::path path_;
  std::unique_ptr<SQLite::Database> db_;
  // Node-based: a Cursor keeps a pointer to its entry's flag.
  std::unordered_map<std::string, CachedStatement, SqlHash, std::equal_to<>> cache_;
  std::uint64_t statementsRun_ = 0;
  std::uint64_t invalidTextsRead_ = 0;
  std::function<void()> invalidTextNotice_;
  int transactionDepth_ = 0;
};

// All or nothing for one user operation. Nests: an inner transaction is a
// savepoint, so a routine that is atomic on its own stays atomic inside a
// larger run. Rolls back unless Commit() was called.
class Transaction {
 public:
  explicit Transaction(TimetableDb& db);
  Transaction(const Transaction&) = delete;
  Transaction& operator=(const Transaction&) = delete;
  ~Transaction();
  void Commit();

 private:
  TimetableDb& db_;
  int depth_;
  bool done_ = false;
};

}  // namespace orv
