// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/files/output_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <vector>

namespace fs = std::filesystem;

namespace orv {

namespace {

constexpr std::string_view kMarker = ".orvandel-";
constexpr size_t kSuffixLength = 6;  // what mkstemp fills in

}  // namespace

std::string FileErrorText(int error) {
  switch (error) {
    case ENOENT:
    case ENOTDIR:
      return "文件夹不存在";
    case EACCES:
    case EPERM:
      return "没有写入权限";
    case EROFS:
      return "磁盘是只读的";
    case ENOSPC:
    case EDQUOT:
      return "磁盘空间不足";
    case ENAMETOOLONG:
      return "文件名太长";
    case EIO:
      return "读写磁盘出错";
    default:
      return "系统错误 " + std::to_string(error);
  }
}

namespace {

Outcome Failed(const std::string& what, const fs::path& target, int error) {
  return Outcome::Fail(what + target.string() + "（" + FileErrorText(error) + "）");
}

fs::path Folder(const fs::path& target) {
  const fs::path parent = target.parent_path();
  return parent.empty() ? fs::path(".") : parent;
}

bool SameFile(const struct stat& a, dev_t dev, ino_t ino) { return a.st_dev == dev && a.st_ino == ino; }

// A leftover of a killed run for this target: our pattern exactly, a regular
// file of ours, and no live run holding its lock. Anything else is left alone.
void RemoveLeftovers(const fs::path& folder, const std::string& prefix) {
  DIR* dir = ::opendir(folder.c_str());
  if (!dir) return;
  std::vector<std::string> stale;
  while (const dirent* entry = ::readdir(dir)) {
    const std::string_view name(entry->d_name);
    if (name.size() != prefix.size() + kSuffixLength || name.substr(0, prefix.size()) != prefix) continue;
    bool suffixOk = true;
    for (char c : name.substr(prefix.size()))
      suffixOk = suffixOk && ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'));
    if (suffixOk) stale.emplace_back(name);
  }
  const int dirFd = ::dirfd(dir);
  for (const std::string& name : stale) {
    const int fd = ::openat(dirFd, name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) continue;
    struct stat opened {};
    struct stat named {};
    if (::fstat(fd, &opened) == 0 && S_ISREG(opened.st_mode) && opened.st_uid == ::geteuid() &&
        ::flock(fd, LOCK_EX | LOCK_NB) == 0 &&
        ::fstatat(dirFd, name.c_str(), &named, AT_SYMLINK_NOFOLLOW) == 0 &&
        SameFile(named, opened.st_dev, opened.st_ino))
      ::unlinkat(dirFd, name.c_str(), 0);
    ::close(fd);
  }
  ::closedir(dir);
}

// The mode open(2) would give a new file: 0666 less the umask. The umask can
// only be read by setting it, so it is set straight back.
mode_t NewFileMode() {
  const mode_t mask = ::umask(077);
  ::umask(mask);
  return 0666 & ~mask;
}

}  // namespace

std::string HiddenOutputName(std::string_view targetName, std::string_view suffix) {
  const size_t room = NAME_MAX - 1 - kMarker.size() - kSuffixLength;
  std::string_view stem = targetName.substr(0, std::min(room, targetName.size()));
  // Cut between characters, not inside one, so the name stays valid UTF-8.
  if (stem.size() < targetName.size())
    while (!stem.empty() && (static_cast<unsigned char>(targetName[stem.size()]) & 0xC0) == 0x80)
      stem.remove_suffix(1);
  return "." + std::string(stem) + std::string(kMarker) + std::string(suffix);
}

OutputFile::~OutputFile() { Discard(); }

void OutputFile::Discard() {
  if (fd_ < 0) return;
  // Removed only while it is still the file this run created.
  struct stat named {};
  if (::lstat(temp_.c_str(), &named) == 0 && SameFile(named, dev_, ino_)) ::unlink(temp_.c_str());
  ::close(fd_);
  fd_ = -1;
}

Outcome OutputFile::Begin(const fs::path& target) {
  Discard();
  target_ = target;
  const std::string name = target.filename().string();
  if (name.empty() || name == "." || name == "..") return Outcome::Fail("没有指定文件名");
  const fs::path folder = Folder(target);
  RemoveLeftovers(folder, HiddenOutputName(name, ""));

  std::string pattern = (folder / HiddenOutputName(name, "XXXXXX")).string();
  const int fd = ::mkostemp(pattern.data(), O_CLOEXEC);
  if (fd < 0) return Failed("无法创建文件：", target, errno);
  struct stat created {};
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0 || ::fstat(fd, &created) != 0) {
    const int error = errno;
    ::unlink(pattern.c_str());
    ::close(fd);
    return Failed("无法创建文件：", target, error);
  }
  fd_ = fd;
  temp_ = pattern;
  dev_ = created.st_dev;
  ino_ = created.st_ino;
  return Outcome::Ok();
}

Outcome OutputFile::Write(std::string_view bytes) {
  if (fd_ < 0) return Outcome::Fail("内部错误：输出文件未创建");
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd_, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return Failed("无法写入文件：", target_, n < 0 ? errno : EIO);
    bytes.remove_prefix(size_t(n));
  }
  return Outcome::Ok();
}

Outcome OutputFile::Commit() {
  if (fd_ < 0) return Outcome::Fail("内部错误：输出文件未创建");
  struct stat named {};
  if (::lstat(temp_.c_str(), &named) != 0 || !SameFile(named, dev_, ino_)) {
    Discard();
    return Outcome::Fail("无法写入文件：" + target_.string() + "（临时文件被其他程序改动）");
  }
  if (::fchmod(fd_, NewFileMode()) != 0 || ::fsync(fd_) != 0) {
    const int error = errno;
    Discard();
    return Failed("无法写入文件：", target_, error);
  }
  // rename replaces a symbolic link at the target, never the file it points to.
  if (::rename(temp_.c_str(), target_.c_str()) != 0) {
    const int error = errno;
    Discard();
    return Failed("无法替换文件：", target_, error);
  }
  ::close(fd_);
  fd_ = -1;
  // The rename itself is on disk only once the folder is; some file systems
  // cannot flush a folder, and the file is in place either way.
  const int dir = ::open(Folder(target_).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir >= 0) {
    ::fsync(dir);
    ::close(dir);
  }
  return Outcome::Ok();
}

Outcome WriteOutputFile(const fs::path& target, const std::function<Outcome(const fs::path& temp)>& write) {
  OutputFile file;
  if (Outcome begun = file.Begin(target); !begun) return begun;
  if (Outcome written = write(file.TempPath()); !written) return written;
  return file.Commit();
}

bool PathIsTaken(const fs::path& path) {
  std::error_code ec;
  return fs::exists(fs::symlink_status(path, ec));
}

}  // namespace orv
