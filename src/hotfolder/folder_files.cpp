#include "hotfolder/folder_files.h"

#include <dirent.h>
#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstring>
#include <memory>

#include "hotfolder/journal.h"

namespace pagewire::hotfolder {
namespace {

constexpr off_t kSmallFileLimit = 16 << 20;
// Names tried for a move before it gives up: NAME, NAME-2, ... NAME-kTries.
constexpr int kTries = 10000;

std::string Errno() { return std::strerror(errno); }

bool MakeFolder(const std::string& path, std::string& error) {
  if (mkdir(path.c_str(), 0750) == 0 || errno == EEXIST) {
    struct stat info {};
    if (stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) return true;
    error = path + " is not a folder";
    return false;
  }
  error = "cannot make " + path + ": " + Errno();
  return false;
}

std::string Variant(const std::string& name, int n) {
  if (n == 1) return name;
  const std::size_t dot = name.rfind('.');
  const std::string suffix = "-" + std::to_string(n);
  if (dot == std::string::npos || dot == 0) return name + suffix;
  return name.substr(0, dot) + suffix + name.substr(dot);
}

bool Exists(const std::string& path) {
  struct stat info {};
  return lstat(path.c_str(), &info) == 0 || errno != ENOENT;
}

bool CopyInto(int in, const std::string& path, std::string& error) {
  const int out = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0640);
  if (out < 0) {
    error = "cannot make " + path + ": " + Errno();
    return false;
  }
  std::array<char, 65536> buffer{};
  bool ok = true;
  while (ok) {
    const ssize_t got = read(in, buffer.data(), buffer.size());
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) {
      ok = got == 0;
      break;
    }
    for (ssize_t done = 0; ok && done < got;) {
      const ssize_t wrote = write(out, buffer.data() + done, static_cast<std::size_t>(got - done));
      if (wrote < 0 && errno == EINTR) continue;
      ok = wrote > 0;
      if (ok) done += wrote;
    }
  }
  ok = ok && fsync(out) == 0;
  if (!ok) error = "cannot copy into " + path + ": " + Errno();
  if (close(out) != 0 && ok) {
    error = "cannot copy into " + path + ": " + Errno();
    ok = false;
  }
  if (!ok) unlink(path.c_str());
  return ok;
}

// Across devices: a hidden copy in TO, synced, linked under its free name,
// and only then the original removed.
bool CopyAcross(const std::string& source, const std::string& to, const std::string& name,
                const std::string& avoid, std::string& placed, std::string& error) {
  const int in = open(source.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
  if (in < 0) {
    error = "cannot read " + source + ": " + Errno();
    return false;
  }
  const std::string temporary = to + "/.incoming-" + std::to_string(getpid());
  unlink(temporary.c_str());
  const bool copied = CopyInto(in, temporary, error);
  close(in);
  if (!copied) return false;
  for (int n = 1; n <= kTries; ++n) {
    const std::string candidate = Variant(name, n);
    if (!avoid.empty() && Exists(to + "/" + candidate + avoid)) continue;
    if (link(temporary.c_str(), (to + "/" + candidate).c_str()) == 0) {
      unlink(temporary.c_str());
      if (!SyncFolder(to)) {
        error = "cannot sync " + to + ": " + Errno();
        unlink((to + "/" + candidate).c_str());
        return false;
      }
      placed = candidate;
      unlink(source.c_str());
      SyncFolder(source.substr(0, source.rfind('/')));
      return true;
    }
    if (errno != EEXIST) break;
  }
  error = "cannot place the copy in " + to + ": " + Errno();
  unlink(temporary.c_str());
  return false;
}

}  // namespace

FolderLayout::FolderLayout(const std::string& path)
    : folder(path),
      work(path + "/.pagewire"),
      processing(work + "/processing"),
      done(work + "/done"),
      failed(work + "/failed"),
      journal(work + "/journal"),
      errors(work + "/errors") {}

bool PrepareLayout(const FolderLayout& layout, std::string& error) {
  struct stat folder {};
  if (stat(layout.folder.c_str(), &folder) != 0 || !S_ISDIR(folder.st_mode)) {
    error = layout.folder + " is not a folder";
    return false;
  }
  for (const std::string* path : {&layout.work, &layout.processing, &layout.done, &layout.failed}) {
    if (!MakeFolder(*path, error)) return false;
  }
  for (const std::string* path : {&layout.work, &layout.processing}) {
    struct stat info {};
    if (stat(path->c_str(), &info) != 0 || info.st_dev != folder.st_dev) {
      error = *path + " is on another file system than " + layout.folder +
              ": a file could not be claimed by a rename";
      return false;
    }
  }
  return true;
}

bool SyncFolder(const std::string& folder) {
  const int fd = open(folder.empty() ? "/" : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return false;
  const bool synced = fsync(fd) == 0;
  close(fd);
  return synced;
}

bool ReadSmallFile(const std::string& path, std::string& text, std::string& error) {
  text.clear();
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  struct stat info {};
  if (fd < 0 || fstat(fd, &info) != 0) {
    const int cause = errno;
    error = "cannot read " + path + ": " + std::strerror(cause);
    if (fd >= 0) close(fd);
    errno = cause;
    return false;
  }
  if (info.st_size > kSmallFileLimit) {
    close(fd);
    error = path + " is larger than it may be";
    errno = EFBIG;
    return false;
  }
  std::array<char, 65536> buffer{};
  for (;;) {
    const ssize_t got = read(fd, buffer.data(), buffer.size());
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) {
      const int cause = errno;
      error = "cannot read " + path + ": " + std::strerror(cause);
      close(fd);
      errno = cause;
      return false;
    }
    if (got == 0) break;
    text.append(buffer.data(), static_cast<std::size_t>(got));
    if (text.size() > static_cast<std::size_t>(kSmallFileLimit)) break;
  }
  close(fd);
  return true;
}

bool MoveFile(const std::string& from, const std::string& name, const std::string& to,
              const std::string& avoid, std::string& placed, std::string& error) {
  const std::string source = from + "/" + name;
  for (int n = 1; n <= kTries; ++n) {
    const std::string candidate = Variant(name, n);
    if (!avoid.empty() && Exists(to + "/" + candidate + avoid)) continue;
    if (renameat2(AT_FDCWD, source.c_str(), AT_FDCWD, (to + "/" + candidate).c_str(),
                  RENAME_NOREPLACE) == 0) {
      placed = candidate;
      if (!SyncFolder(to) || (from != to && !SyncFolder(from))) {
        error = "cannot sync " + to + ": " + Errno();
        return false;
      }
      return true;
    }
    if (errno == EEXIST) continue;
    if (errno == EXDEV) return CopyAcross(source, to, name, avoid, placed, error);
    error = "cannot move " + source + " into " + to + ": " + Errno();
    return false;
  }
  error = "no free name for " + name + " in " + to;
  return false;
}

bool WriteTextFile(const std::string& path, const std::string& text, std::string& error) {
  const std::string temporary = path + ".new";
  const int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0640);
  bool ok = fd >= 0;
  for (std::size_t done = 0; ok && done < text.size();) {
    const ssize_t wrote = write(fd, text.data() + done, text.size() - done);
    if (wrote < 0 && errno == EINTR) continue;
    ok = wrote > 0;
    if (ok) done += static_cast<std::size_t>(wrote);
  }
  ok = ok && fsync(fd) == 0;
  if (fd >= 0 && close(fd) != 0) ok = false;
  ok = ok && rename(temporary.c_str(), path.c_str()) == 0;
  if (!ok) {
    error = "cannot write " + path + ": " + Errno();
    unlink(temporary.c_str());
    return false;
  }
  SyncFolder(path.substr(0, path.rfind('/')));
  return true;
}

int PruneOlderThan(const std::string& folder, std::time_t before) {
  std::unique_ptr<DIR, int (*)(DIR*)> dir(opendir(folder.c_str()), closedir);
  if (!dir) return 0;
  int removed = 0;
  while (const dirent* entry = readdir(dir.get())) {
    struct stat info {};
    if (fstatat(dirfd(dir.get()), entry->d_name, &info, AT_SYMLINK_NOFOLLOW) != 0 ||
        !S_ISREG(info.st_mode) || info.st_ctime >= before) {
      continue;
    }
    if (unlinkat(dirfd(dir.get()), entry->d_name, 0) == 0) ++removed;
  }
  return removed;
}

int CountFiles(const std::string& folder) {
  std::unique_ptr<DIR, int (*)(DIR*)> dir(opendir(folder.c_str()), closedir);
  if (!dir) return 0;
  int count = 0;
  while (const dirent* entry = readdir(dir.get())) {
    const std::string_view name(entry->d_name);
    if (name.starts_with('.') || name.ends_with(".reason")) continue;
    ++count;
  }
  return count;
}

}  // namespace pagewire::hotfolder
