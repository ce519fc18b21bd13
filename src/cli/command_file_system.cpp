#include "cli/command_file_system.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "cli/cli_options.h"
#include "cli/file_messages.h"
#include "cli/progress_line.h"

namespace pagewire::cli {
namespace {

using platform::FileErrorCause;

// Files above this size show a progress line.
constexpr std::uint64_t kProgressFrom = 8ull << 20;

class ProgressReader : public platform::FileReader {
 public:
  ProgressReader(std::unique_ptr<platform::FileReader> reader, std::string name)
      : reader_(std::move(reader)), name_(std::move(name)) {}
  ~ProgressReader() override {
    if (shown_ >= 0) EndProgressLine();
  }

  std::uint64_t Size(FileErrorCause& cause) const override {
    size_ = reader_->Size(cause);
    return size_;
  }

  std::size_t Read(void* buffer, std::size_t capacity, FileErrorCause& cause) override {
    const std::size_t got = reader_->Read(buffer, capacity, cause);
    done_ += got;
    if (size_ >= kProgressFrom) {
      const int percent = static_cast<int>(done_ * 100 / size_);
      if (percent != shown_) {
        shown_ = percent;
        char line[64];
        std::snprintf(line, sizeof line, ": %3d%% of %llu MiB", percent,
                      static_cast<unsigned long long>(size_ >> 20));
        ShowProgressLine(name_ + line);
      }
    }
    return got;
  }

 private:
  std::unique_ptr<platform::FileReader> reader_;
  std::string name_;
  mutable std::uint64_t size_ = 0;
  std::uint64_t done_ = 0;
  int shown_ = -1;
};

// Once its size has been asked, a file gives that many bytes and no more:
// the job's header announced that size. A file that ends before, or has
// more after, changed while it was read.
class AnnouncedSizeReader : public platform::FileReader {
 public:
  explicit AnnouncedSizeReader(std::unique_ptr<platform::FileReader> reader)
      : reader_(std::move(reader)) {}

  std::uint64_t Size(FileErrorCause& cause) const override {
    left_ = reader_->Size(cause);
    announced_ = cause == FileErrorCause::None;
    return left_;
  }

  std::size_t Read(void* buffer, std::size_t capacity, FileErrorCause& cause) override {
    if (!announced_) return reader_->Read(buffer, capacity, cause);
    if (left_ == 0) {
      unsigned char more = 0;
      if (reader_->Read(&more, 1, cause) > 0) cause = FileErrorCause::EndOfFile;
      return 0;
    }
    const std::size_t got =
        reader_->Read(buffer, static_cast<std::size_t>(std::min<std::uint64_t>(capacity, left_)),
                      cause);
    if (got == 0 && cause == FileErrorCause::None) cause = FileErrorCause::EndOfFile;
    left_ -= got;
    return got;
  }

 private:
  std::unique_ptr<platform::FileReader> reader_;
  mutable std::uint64_t left_ = 0;
  mutable bool announced_ = false;
};

// Hands the command's one output file to each PATH's print command; their
// Close leaves it open, the command closes it at its end.
class SharedWriter : public platform::FileWriter {
 public:
  explicit SharedWriter(platform::FileWriter& output) : output_(output) {}
  bool Write(const void* data, std::size_t length, FileErrorCause& cause) override {
    return output_.Write(data, length, cause);
  }
  bool Close(FileErrorCause&) override { return true; }

 private:
  platform::FileWriter& output_;
};

// A copy of all that `source` gives, in a temporary file of its owner's
// only that no folder lists; -1 with `error` set ("NAME: ...").
int PrivateCopy(int source, const std::string& name, std::string& error) {
  const char* tmpdir = std::getenv("TMPDIR");
  const std::string folder = tmpdir != nullptr && *tmpdir != '\0' ? tmpdir : "/tmp";
  const std::string cannotKeep = name + ": cannot be kept in " + folder + ": ";
  std::string pattern = folder + "/pagewire-input-XXXXXX";
  const int fd = mkostemp(pattern.data(), O_CLOEXEC);
  if (fd < 0) {
    error = cannotKeep + std::strerror(errno);
    return -1;
  }
  unlink(pattern.c_str());
  std::vector<char> buffer(64 * 1024);
  for (;;) {
    const ssize_t got = read(source, buffer.data(), buffer.size());
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) {
      error = name + ": cannot be read: " + std::strerror(errno);
      close(fd);
      return -1;
    }
    if (got == 0) break;
    for (ssize_t at = 0; at < got;) {
      const ssize_t put = write(fd, buffer.data() + at, static_cast<std::size_t>(got - at));
      if (put < 0 && errno == EINTR) continue;
      if (put < 0) {
        error = cannotKeep + std::strerror(errno);
        close(fd);
        return -1;
      }
      at += put;
    }
  }
  return fd;
}

}  // namespace

CommandFileSystem::CommandFileSystem(platform::FileSystem& system, bool showProgress,
                                     std::function<void(const std::string&)> opening)
    : system_(system), showProgress_(showProgress), opening_(std::move(opening)) {}

CommandFileSystem::~CommandFileSystem() {
  for (const auto& [path, fd] : copies_) close(fd);
}

bool CommandFileSystem::TakeStandardInput(std::string& error) {
  const int fd = PrivateCopy(STDIN_FILENO, FileLabel(kStandardInputPath), error);
  if (fd < 0) return false;
  copies_[kStandardInputPath] = fd;
  return true;
}

bool CommandFileSystem::KeepIfStream(const std::string& path, std::string& error) {
  struct stat info {};
  if (path == kStandardInputPath || copies_.count(path) != 0 || stat(path.c_str(), &info) != 0 ||
      !(S_ISFIFO(info.st_mode) || S_ISCHR(info.st_mode))) {
    return true;
  }
  // A FIFO opens once something writes into it, as it does for cat.
  const int source = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (source < 0) return true;  // its opening tells why
  const bool seeks = lseek(source, 0, SEEK_CUR) >= 0;
  const int fd = seeks ? -1 : PrivateCopy(source, path, error);
  close(source);
  if (seeks) return true;
  if (fd < 0) return false;
  copies_[path] = fd;
  return true;
}

std::string CommandFileSystem::ReadPath(const std::string& path) const {
  const auto copy = copies_.find(path);
  if (copy == copies_.end()) return path;
  return "/proc/self/fd/" + std::to_string(copy->second);
}

std::optional<platform::PathEntry> CommandFileSystem::LookUp(const std::string& path) {
  if (path == kStandardInputPath && copies_.count(path) != 0) {
    return platform::PathEntry{"(stdin)", false};
  }
  return system_.LookUp(path);
}

bool CommandFileSystem::CloseOutput(bool mayHoldPassword, FileErrorCause& cause) {
  if (!output_) return true;
  if (!mayHoldPassword) output_->ShareMode();
  const bool closed = output_->Close(cause);
  output_.reset();
  return closed;
}

std::unique_ptr<platform::FileReader> CommandFileSystem::OpenForReading(
    const std::string& path, FileErrorCause& cause) {
  if (opening_) opening_(path);
  auto reader = system_.OpenForReading(ReadPath(path), cause);
  if (!reader) return reader;
  reader = std::make_unique<AnnouncedSizeReader>(std::move(reader));
  if (!showProgress_) return reader;
  return std::make_unique<ProgressReader>(std::move(reader), FileLabel(path));
}

std::unique_ptr<platform::FileWriter> CommandFileSystem::CreateOutputFile(
    const std::string& path, FileErrorCause& cause) {
  if (!output_) {
    output_ = platform::LinuxOutputFile::Create(path, cause);
    if (!output_) return nullptr;
  }
  return std::make_unique<SharedWriter>(*output_);
}

}  // namespace pagewire::cli
