#include "platform/win32/win32_file_system.h"

#include <windows.h>

#include <algorithm>
#include <limits>
#include <vector>

#include "platform/win32/win32_error_cause.h"

namespace pagewire::platform::win32 {

namespace {

FindData EntryOf(const WIN32_FIND_DATAA& data) {
  return FindData{data.cFileName, (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0};
}

class Win32FileSearch : public FileSearch {
 public:
  explicit Win32FileSearch(HANDLE search) : search_(search) {}
  ~Win32FileSearch() override { Close(); }

  bool Next(FindData& entry) override {
    WIN32_FIND_DATAA data{};
    if (search_ == INVALID_HANDLE_VALUE || !FindNextFileA(search_, &data)) return false;
    entry = EntryOf(data);
    return true;
  }

  void Close() override {
    if (search_ != INVALID_HANDLE_VALUE) FindClose(search_);
    search_ = INVALID_HANDLE_VALUE;
  }

 private:
  HANDLE search_;
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

std::unique_ptr<FileSearch> FindFirst(const std::string& pattern, FindData& first) {
  WIN32_FIND_DATAA data{};
  HANDLE search = FindFirstFileA(pattern.c_str(), &data);
  if (search == INVALID_HANDLE_VALUE) return nullptr;
  first = EntryOf(data);
  return std::make_unique<Win32FileSearch>(search);
}

}  // namespace

bool Win32FileSystem::LookUpEntry(const std::string& path, FindData& entry) {
  return FindFirst(path, entry) != nullptr;
}

std::unique_ptr<FileSearch> Win32FileSystem::SearchFolder(const std::string& folder,
                                                          const std::string& extension,
                                                          FindData& first) {
  return FindFirst(folder + "\\*." + extension, first);
}

std::string Win32FileSystem::ChildPath(const std::string& folder, const std::string& name) {
  return folder + "\\" + name;
}

std::size_t Win32FileSystem::MaxPathLength() { return kPathBufferSize - 1; }

bool Win32FileSystem::ShortPathOf(const std::string& longPath, std::size_t capacity,
                                  std::string& shortPath) {
  if (capacity == 0 || capacity > std::numeric_limits<DWORD>::max()) return false;
  std::vector<char> buffer(capacity);
  const DWORD length =
      GetShortPathNameA(longPath.c_str(), buffer.data(), static_cast<DWORD>(capacity));
  // A result of capacity or more is the size needed: it did not fit.
  if (length == 0 || length >= capacity) return false;
  shortPath.assign(buffer.data(), length);
  return true;
}

std::unique_ptr<FileReader> Win32FileSystem::OpenForSharedRead(const std::string& path,
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
