// File system port: looking up a path, searching a folder for one kind of
// file, reading a file and creating the output file. Paths are the system's
// own text, joined by ChildPath; the logic never spells a separator.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/file_error.h"

namespace pagewire::platform {

// What a look-up or search tells of one entry.
struct FindData {
  std::string fileName;  // cFileName: the long name, no folder
  bool isDirectory = false;
};

// An open folder search; released on Close or destruction.
class FileSearch {
 public:
  virtual ~FileSearch() = default;
  // False when there is no further entry.
  virtual bool Next(FindData& entry) = 0;
  virtual void Close() = 0;
};

// A file open for reading; others may read it but not write it meanwhile.
class FileReader {
 public:
  virtual ~FileReader() = default;
  // Length in bytes (64-bit: files of 2 GiB and more exist). When it cannot
  // be read, returns 0 and sets `cause` (left None otherwise).
  virtual std::uint64_t Size(FileErrorCause& cause) const = 0;
  // Reads up to `capacity` bytes; returns the count read, 0 at the end.
  // On a read error returns 0 and sets `cause` (left None otherwise).
  virtual std::size_t Read(void* buffer, std::size_t capacity, FileErrorCause& cause) = 0;
};

// The output file, created anew, exclusive write access, binary.
class FileWriter {
 public:
  virtual ~FileWriter() = default;
  // Writes all bytes; false with `cause` set on failure.
  virtual bool Write(const void* data, std::size_t length, FileErrorCause& cause) = 0;
  // Flushes and closes; false with `cause` set when the flush fails.
  virtual bool Close(FileErrorCause& cause) = 0;
};

class FileSystem {
 public:
  virtual ~FileSystem() = default;

  // The entry `path` names (no masks): an existence and folder test.
  virtual bool LookUpEntry(const std::string& path, FindData& entry) = 0;
  // The entries of `folder` whose names end in "." and `extension` (Win32:
  // FindFirstFileA on "folder\\*.ext"): null when there is none, else the
  // search with the first entry in `first`.
  virtual std::unique_ptr<FileSearch> SearchFolder(const std::string& folder,
                                                   const std::string& extension,
                                                   FindData& first) = 0;
  // The path of `name` inside `folder`.
  virtual std::string ChildPath(const std::string& folder, const std::string& name) = 0;
  // The longest path the command opens (Win32: its 256-byte path buffer
  // with the zero); a longer one is refused rather than cut.
  virtual std::size_t MaxPathLength() = 0;
  // The short form of `longPath` where the system has one (Win32:
  // GetShortPathNameA into `capacity` bytes); false keeps the long path.
  virtual bool ShortPathOf(const std::string& longPath, std::size_t capacity,
                           std::string& shortPath) = 0;
  // Opens for reading with shared read, denied write; null with `cause` set
  // on failure.
  virtual std::unique_ptr<FileReader> OpenForSharedRead(const std::string& path,
                                                        FileErrorCause& cause) = 0;
  // Creates (or truncates) for exclusive writing; null with `cause` set.
  virtual std::unique_ptr<FileWriter> CreateOutputFile(const std::string& path,
                                                       FileErrorCause& cause) = 0;
};

}  // namespace pagewire::platform
