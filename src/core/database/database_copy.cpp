// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/database/database_copy.h"

#include "core/database/guard.h"
#include "core/files/output_file.h"

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

  // VACUUM INTO takes an existing file only when it is empty, as the new
  // hidden file beside the target is; the old target stays intact until the
  // snapshot is complete and on disk.
  OutputFile file;
  if (Outcome begun = file.Begin(target); !begun) return begun;
  Outcome written = Guarded("写入副本失败：", [&]() -> Outcome {
    db.Execute("vacuum into ?", file.TempPath().string());
    return Outcome::Ok();
  });
  if (!written) return written;
  if (Outcome committed = file.Commit(); !committed) return committed;
  return Outcome::Ok();
}

}  // namespace orv
