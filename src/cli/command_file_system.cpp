#include "cli/command_file_system.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "cli/cli_options.h"

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
    if (shown_ >= 0) std::fputc('\n', stderr);
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
        std::fprintf(stderr, "\r%s: %3d%% of %llu MiB", name_.c_str(), percent,
                     static_cast<unsigned long long>(size_ >> 20));
        std::fflush(stderr);
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

}  // namespace

CommandFileSystem::CommandFileSystem(platform::FileSystem& system, bool showProgress,
                                     std::function<void(const std::string&)> opening)
    : system_(system), showProgress_(showProgress), opening_(std::move(opening)) {}

CommandFileSystem::~CommandFileSystem() {
  if (standardInput_ >= 0) close(standardInput_);
}

bool CommandFileSystem::TakeStandardInput(std::string& error) {
  const char* tmpdir = std::getenv("TMPDIR");
  const std::string folder = tmpdir != nullptr && *tmpdir != '\0' ? tmpdir : "/tmp";
  const std::string cannotKeep = "-: standard input cannot be kept in " + folder + ": ";
  std::string pattern = folder + "/pagewire-stdin-XXXXXX";
  const int fd = mkostemp(pattern.data(), O_CLOEXEC);
  if (fd < 0) {
    error = cannotKeep + std::strerror(errno);
    return false;
  }
  unlink(pattern.c_str());
  std::vector<char> buffer(64 * 1024);
  for (;;) {
    const ssize_t got = read(STDIN_FILENO, buffer.data(), buffer.size());
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) {
      error = std::string("-: standard input cannot be read: ") + std::strerror(errno);
      close(fd);
      return false;
    }
    if (got == 0) break;
    for (ssize_t at = 0; at < got;) {
      const ssize_t put = write(fd, buffer.data() + at, static_cast<std::size_t>(got - at));
      if (put < 0 && errno == EINTR) continue;
      if (put < 0) {
        error = cannotKeep + std::strerror(errno);
        close(fd);
        return false;
      }
      at += put;
    }
  }
  standardInput_ = fd;
  return true;
}

std::string CommandFileSystem::ReadPath(const std::string& path) const {
  if (path != kStandardInputPath || standardInput_ < 0) return path;
  return "/proc/self/fd/" + std::to_string(standardInput_);
}

std::optional<platform::PathEntry> CommandFileSystem::LookUp(const std::string& path) {
  if (path == kStandardInputPath && standardInput_ >= 0) {
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
  if (!reader || !showProgress_) return reader;
  return std::make_unique<ProgressReader>(std::move(reader), path);
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
