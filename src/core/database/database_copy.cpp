#include "core/database/database_copy.h"

#include <unistd.h>

namespace fs = std::filesystem;

namespace orv {

Outcome SaveDatabaseCopy(TimetableDb& db, const fs::path& target) {
  std::error_code ec;
  if (target.empty()) return Outcome::Fail("没有指定文件名");
  if (fs::exists(target, ec) && fs::equivalent(target, db.Path(), ec))
    return Outcome::Fail("不能用副本覆盖正在使用的数据库文件");
  if (fs::is_directory(target, ec)) return Outcome::Fail("目标是一个文件夹");
  const fs::path folder = fs::absolute(target, ec).parent_path();
  if (!fs::is_directory(folder, ec)) return Outcome::Fail("文件夹不存在：" + folder.string());

  // VACUUM INTO refuses an existing file; writing beside and renaming keeps
  // the old target intact until the snapshot is complete.
  const fs::path tmp = target.string() + ".part" + std::to_string(::getpid());
  fs::remove(tmp, ec);
  try {
    db.Execute("vacuum into ?", tmp.string());
  } catch (const std::exception& e) {
    fs::remove(tmp, ec);
    return Outcome::Fail("写入副本失败：" + DatabaseErrorText(e));
  }
  fs::rename(tmp, target, ec);
  if (ec) {
    fs::remove(tmp, ec);
    return Outcome::Fail("无法替换文件：" + target.string());
  }
  return Outcome::Ok();
}

}  // namespace orv
