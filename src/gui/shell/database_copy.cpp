#include "gui/shell/database_copy.h"

#include <SQLiteCpp/Statement.h>

#include <random>

namespace fs = std::filesystem;

namespace orv::ui {

namespace {
bool Fail(std::string* why, const std::string& reason) {
  if (why) *why = reason;
  return false;
}
}  // namespace

bool SaveDatabaseCopy(TimetableDb& db, const fs::path& target, std::string* why) {
  std::error_code ec;
  if (target.empty()) return Fail(why, "no file name");
  if (fs::exists(target, ec) && fs::equivalent(target, db.Path(), ec))
    return Fail(why, "the copy would overwrite the open database");
  if (fs::is_directory(target, ec)) return Fail(why, "the target is a directory");

  // VACUUM INTO refuses an existing file; writing beside and renaming keeps
  // the old target intact until the snapshot is complete.
  std::random_device rd;
  const fs::path tmp = target.string() + ".part" + std::to_string(rd() % 1000000);
  fs::remove(tmp, ec);
  try {
    SQLite::Statement vacuum(db.Raw(), "VACUUM INTO ?");
    vacuum.bind(1, tmp.string());
    vacuum.exec();
  } catch (const std::exception& e) {
    fs::remove(tmp, ec);
    return Fail(why, e.what());
  }
  fs::rename(tmp, target, ec);
  if (ec) {
    const std::string reason = ec.message();
    fs::remove(tmp, ec);
    return Fail(why, reason);
  }
  return true;
}

}  // namespace orv::ui
