#include "platform/linux/linux_file_system.h"

#include <dirent.h>
#include <fcntl.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <vector>

namespace pagewire::platform {
namespace {

// Reads ahead in pieces this large: the job asks for small ones, and a
// system call per small piece would cost more than the copy.
constexpr std::size_t kReadAhead = 256 * 1024;

bool IsFolder(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool HasExtension(const std::string& name, const std::string& extension) {
  if (name.size() <= extension.size() + 1) return false;
  const std::size_t dot = name.size() - extension.size() - 1;
  return name[dot] == '.' && strcasecmp(name.c_str() + dot + 1, extension.c_str()) == 0;
}

// Letter case aside; a TIFF search takes the ".tiff" spelling too.
bool MatchesExtension(const std::string& name, const std::string& extension) {
  return HasExtension(name, extension) ||
         (strcasecmp(extension.c_str(), "tif") == 0 && HasExtension(name, "tiff"));
}

std::string Joined(const std::string& folder, const std::string& name) {
  if (!folder.empty() && folder.back() == '/') return folder + name;
  return folder + "/" + name;
}

class ListedSearch : public FolderSearch {
 public:
  explicit ListedSearch(std::vector<std::string> names) : names_(std::move(names)) {}
  std::optional<std::string> NextFile() override {
    if (next_ >= names_.size()) return std::nullopt;
    return names_[next_++];
  }

 private:
  std::vector<std::string> names_;
  std::size_t next_ = 0;
};

class FdReader : public FileReader {
 public:
  explicit FdReader(int fd) : fd_(fd), buffer_(kReadAhead) {
    posix_fadvise(fd_, 0, 0, POSIX_FADV_SEQUENTIAL);
  }
  ~FdReader() override { close(fd_); }

  std::uint64_t Size(FileErrorCause& cause) const override {
    struct stat info {};
    if (fstat(fd_, &info) != 0) {
      cause = FileErrorCauseOf(errno);
      return 0;
    }
    return static_cast<std::uint64_t>(info.st_size);
  }

  std::size_t Read(void* buffer, std::size_t capacity, FileErrorCause& cause) override {
    if (start_ == end_) {
      start_ = end_ = 0;
      ssize_t got;
      do {
        got = read(fd_, buffer_.data(), buffer_.size());
      } while (got < 0 && errno == EINTR);
      if (got < 0) {
        cause = FileErrorCauseOf(errno);
        return 0;
      }
      end_ = static_cast<std::size_t>(got);
    }
    const std::size_t count = std::min(capacity, end_ - start_);
    std::memcpy(buffer, buffer_.data() + start_, count);
    start_ += count;
    return count;
  }

 private:
  int fd_;
  std::vector<unsigned char> buffer_;
  std::size_t start_ = 0;
  std::size_t end_ = 0;
};

}  // namespace

FileErrorCause FileErrorCauseOf(int error) {
  switch (error) {
    case ENOENT: return FileErrorCause::FileNotFound;
    case ENOTDIR:
    case ENAMETOOLONG:
    case ELOOP: return FileErrorCause::BadPath;
    case EACCES:
    case EPERM:
    case EISDIR:
    case EROFS: return FileErrorCause::AccessDenied;
    case EMFILE:
    case ENFILE: return FileErrorCause::TooManyOpenFiles;
    case EBUSY:
    case ETXTBSY: return FileErrorCause::SharingViolation;
    case ENOSPC:
    case EDQUOT:
    case EFBIG: return FileErrorCause::DiskFull;
    case EIO: return FileErrorCause::HardIo;
    case ESPIPE: return FileErrorCause::BadSeek;
    default: return FileErrorCause::Generic;
  }
}

std::optional<PathEntry> LinuxFileSystem::LookUp(const std::string& path) {
  struct stat info {};
  if (path.empty() || stat(path.c_str(), &info) != 0) return std::nullopt;
  std::string name = path;
  while (name.size() > 1 && name.back() == '/') name.pop_back();
  const std::size_t slash = name.rfind('/');
  if (slash != std::string::npos && name.size() > 1) name.erase(0, slash + 1);
  return PathEntry{name, S_ISDIR(info.st_mode)};
}

std::unique_ptr<FolderSearch> LinuxFileSystem::SearchFolder(const std::string& folder,
                                                            const std::string& extension) {
  std::vector<std::string> found;
  if (DIR* dir = opendir(folder.c_str())) {
    while (const dirent* item = readdir(dir)) {
      const std::string name = item->d_name;
      if (MatchesExtension(name, extension) && !IsFolder(Joined(folder, name))) {
        found.push_back(name);
      }
    }
    closedir(dir);
  }
  std::sort(found.begin(), found.end(), [](const std::string& a, const std::string& b) {
    const int folded = strcasecmp(a.c_str(), b.c_str());
    return folded != 0 ? folded < 0 : a < b;
  });
  return std::make_unique<ListedSearch>(std::move(found));
}

OpenPath LinuxFileSystem::PathToOpen(const std::string& path) {
  return OpenPath{path, path.size() < PATH_MAX};
}

OpenPath LinuxFileSystem::PathInFolder(const std::string& folder, const std::string& name) {
  return PathToOpen(Joined(folder, name));
}

std::unique_ptr<FileReader> LinuxFileSystem::OpenForReading(const std::string& path,
                                                            FileErrorCause& cause) {
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    cause = FileErrorCauseOf(errno);
    return nullptr;
  }
  // A folder opens for reading on Linux but reads fail: refuse it here.
  struct stat info {};
  if (fstat(fd, &info) != 0 || S_ISDIR(info.st_mode)) {
    cause = FileErrorCause::AccessDenied;
    close(fd);
    return nullptr;
  }
  return std::make_unique<FdReader>(fd);
}

std::unique_ptr<FileWriter> LinuxFileSystem::CreateOutputFile(const std::string& path,
                                                              FileErrorCause& cause) {
  return LinuxOutputFile::Create(path, cause);
}

LinuxOutputFile::LinuxOutputFile(std::string path, int fd, bool owned, bool created,
                                 mode_t sharedMode)
    : path_(std::move(path)), fd_(fd), owned_(owned), created_(created), sharedMode_(sharedMode) {
  struct stat info {};
  regular_ = owned_ && fstat(fd_, &info) == 0 && S_ISREG(info.st_mode);
}

std::unique_ptr<LinuxOutputFile> LinuxOutputFile::Create(const std::string& path,
                                                         FileErrorCause& cause) {
  if (path == "-") {
    return std::unique_ptr<LinuxOutputFile>(
        new LinuxOutputFile(path, STDOUT_FILENO, false, false, 0));
  }
  const mode_t mask = umask(0);
  umask(mask);
  int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
  const bool created = fd >= 0;
  mode_t sharedMode = 0666 & ~mask;
  if (!created && errno == EEXIST) fd = open(path.c_str(), O_WRONLY | O_CLOEXEC);
  if (fd < 0) {
    cause = FileErrorCauseOf(errno);
    return nullptr;
  }
  struct stat info {};
  if (!created && fstat(fd, &info) == 0 && S_ISREG(info.st_mode)) {
    // An existing file is made private before anything goes in; one that
    // belongs to another user keeps the mode its owner gave it.
    sharedMode = info.st_mode & 07777;
    fchmod(fd, 0600);
  }
  return std::unique_ptr<LinuxOutputFile>(
      new LinuxOutputFile(path, fd, true, created, sharedMode));
}

LinuxOutputFile::~LinuxOutputFile() {
  FileErrorCause ignored = FileErrorCause::None;
  Close(ignored);
}

bool LinuxOutputFile::Write(const void* data, std::size_t length, FileErrorCause& cause) {
  if (!written_ && regular_ && !created_ && ftruncate(fd_, 0) != 0) {
    cause = FileErrorCauseOf(errno);
    return false;
  }
  written_ = true;
  const auto* bytes = static_cast<const char*>(data);
  while (length > 0) {
    const ssize_t written = write(fd_, bytes, length);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) {
      cause = written < 0 ? FileErrorCauseOf(errno) : FileErrorCause::DiskFull;
      return false;
    }
    bytes += written;
    length -= static_cast<std::size_t>(written);
  }
  return true;
}

// A file's late write errors (a full disk over NFS, say) show at its flush;
// standard output may be a pipe, which has none.
bool LinuxOutputFile::Close(FileErrorCause& cause) {
  if (fd_ < 0) return true;
  bool ok = true;
  if (owned_) {
    struct stat opened {};
    struct stat named {};
    if (created_ && !written_ && fstat(fd_, &opened) == 0 && stat(path_.c_str(), &named) == 0 &&
        opened.st_dev == named.st_dev && opened.st_ino == named.st_ino) {
      unlink(path_.c_str());
    } else if (regular_ && (shareMode_ || !written_)) {
      fchmod(fd_, sharedMode_);
    }
    if (fsync(fd_) != 0 && errno != EINVAL) ok = false;
    if (!ok) cause = FileErrorCauseOf(errno);
    if (close(fd_) != 0 && ok) {
      ok = false;
      cause = FileErrorCauseOf(errno);
    }
  }
  fd_ = -1;
  return ok;
}

}  // namespace pagewire::platform
