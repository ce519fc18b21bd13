#include "platform/win32/win32_file_system.h"

#include <windows.h>

#include <algorithm>
#include <limits>

#include "platform/win32/win32_error_cause.h"

namespace pagewire::platform::win32 {

namespace {

// Lists a FindFirstFileA search's files one at a time: each FindNextFileA
// comes when the next file is asked for.
class Win32FolderSearch : public FolderSearch {
 public:
  explicit Win32FolderSearch(const std::string& pattern)
      : search_(FindFirstFileA(pattern.c_str(), &data_)) {}
  ~Win32FolderSearch() override {
    if (search_ != INVALID_HANDLE_VALUE) FindClose(search_);
  }
  Win32FolderSearch(const Win32FolderSearch&) = delete;
  Win32FolderSearch& operator=(const Win32FolderSearch&) = delete;

  std::optional<std::string> NextFile() override {
    while (search_ != INVALID_HANDLE_VALUE) {
      if (started_ && !FindNextFileA(search_, &data_)) {
        FindClose(search_);
        search_ = INVALID_HANDLE_VALUE;
        break;
      }
      started_ = true;
      if ((data_.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) return data_.cFileName;
    }
    return std::nullopt;
  }

 private:
  WIN32_FIND_DATAA data_{};
  HANDLE search_;
  bool started_ = false;
};

class Win32FileReader : public FileReader {
 public:
  explicit Win32FileReader(HANDLE file) : file_(file) {}
  ~Win32FileReader() override { CloseHandle(file_); }

  std::uint64_t Size(FileErrorCause& cause) const override {
    LARGE_INTEGER size{};
    if (GetFileSizeEx(file_, &size)) return static_cast<std::uint64_t>(size.QuadPart);
    cause = FailureCauseOf(GetLastError());
    return 0;
  }

  std::size_t Read(void* buffer, std::size_t capacity, FileErrorCause& cause) override {
    // ReadFile takes a 32-bit count; the job reads in small pieces anyway.
    const DWORD room = static_cast<DWORD>(
        std::min<std::size_t>(capacity, std::numeric_limits<DWORD>::max()));
    DWORD count = 0;
    if (!ReadFile(file_, buffer, room, &count, nullptr)) {
      cause = FailureCauseOf(GetLastError());
      return 0;
    }
    return count;
  }

 private:
  HANDLE file_;
};

class Win32FileWriter : public FileWriter {
 public:
  explicit Win32FileWriter(HANDLE file) : file_(file) {}
  ~Win32FileWriter() override {
    FileErrorCause ignored = FileErrorCause::None;
    Close(ignored);
  }

  bool Write(const void* data, std::size_t length, FileErrorCause& cause) override {
    const auto* bytes = static_cast<const char*>(data);
    while (length > 0) {
      const DWORD piece = static_cast<DWORD>(
          std::min<std::size_t>(length, std::numeric_limits<DWORD>::max()));
      DWORD written = 0;
      if (!WriteFile(file_, bytes, piece, &written, nullptr)) {
        cause = FailureCauseOf(GetLastError());
        return false;
      }
      // A short write without an error means the medium is full.
      if (written == 0) {
        cause = FileErrorCause::DiskFull;
        return false;
      }
      bytes += written;
      length -= written;
    }
    return true;
  }

  bool Close(FileErrorCause& cause) override {
    if (file_ == INVALID_HANDLE_VALUE) return true;
    const bool flushed = FlushFileBuffers(file_) != FALSE;
    if (!flushed) cause = FailureCauseOf(GetLastError());
    CloseHandle(file_);
    file_ = INVALID_HANDLE_VALUE;
    return flushed;
  }

 private:
  HANDLE file_;
};

// The program's path buffer is 256 bytes with its zero.
constexpr std::size_t kPathBufferSize = 256;
constexpr std::size_t kMaxPathLength = kPathBufferSize - 1;

}  // namespace

std::optional<PathEntry> Win32FileSystem::LookUp(const std::string& path) {
  WIN32_FIND_DATAA data{};
  HANDLE search = FindFirstFileA(path.c_str(), &data);
  if (search == INVALID_HANDLE_VALUE) return std::nullopt;
  FindClose(search);
  return PathEntry{data.cFileName, (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0};
}

std::unique_ptr<FolderSearch> Win32FileSystem::SearchFolder(const std::string& folder,
                                                            const std::string& extension) {
  return std::make_unique<Win32FolderSearch>(folder + "\\*." + extension);
}

// The short form when GetShortPathNameA gives one that fits the buffer; a
// result of the buffer's size or more is the size it needed.
OpenPath Win32FileSystem::PathToOpen(const std::string& path) {
  char buffer[kPathBufferSize] = {};
  const DWORD length = GetShortPathNameA(path.c_str(), buffer, kPathBufferSize);
  if (length != 0 && length < kPathBufferSize) return OpenPath{std::string(buffer, length), true};
  return OpenPath{path, path.size() <= kMaxPathLength};
}

OpenPath Win32FileSystem::PathInFolder(const std::string& folder, const std::string& name) {
  std::string path = folder + "\\" + name;
  const bool fits = path.size() <= kMaxPathLength;
  return OpenPath{std::move(path), fits};
}

std::unique_ptr<FileReader> Win32FileSystem::OpenForReading(const std::string& path,
                                                            FileErrorCause& cause) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    cause = FailureCauseOf(GetLastError());
    return nullptr;
  }
  return std::make_unique<Win32FileReader>(file);
}

std::unique_ptr<FileWriter> Win32FileSystem::CreateOutputFile(const std::string& path,
                                                              FileErrorCause& cause) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    cause = FailureCauseOf(GetLastError());
    return nullptr;
  }
  return std::make_unique<Win32FileWriter>(file);
}

}  // namespace pagewire::platform::win32
