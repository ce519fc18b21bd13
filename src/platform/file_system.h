// File system port: what a path names, the files of a folder, the path a
// file is opened and handed over by, reading a file and creating the output
// file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "platform/file_error.h"

namespace pagewire::platform {

// What a path names.
struct PathEntry {
  std::string name;  // the entry's own (long) name, without its folder
  bool isFolder = false;
};

// A path as a file is opened by and handed to an application.
struct OpenPath {
  std::string path;
  // False: longer than the system opens, and a cut path would name another
  // file; `path` is the one refused.
  bool fits = true;
};

// The files a folder search found, one at a time; the search ends when it
// is released.
class FolderSearch {
 public:
  virtual ~FolderSearch() = default;
  // The next file's name, without its folder; none after the last.
  virtual std::optional<std::string> NextFile() = 0;
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

  // What `path` names; none when nothing is there.
  virtual std::optional<PathEntry> LookUp(const std::string& path) = 0;
  // The files (not sub-folders) of `folder` whose names end in "." and
  // `extension`, as the system matches such a name.
  virtual std::unique_ptr<FolderSearch> SearchFolder(const std::string& folder,
                                                     const std::string& extension) = 0;
  // The path `path` is opened by and handed over by.
  virtual OpenPath PathToOpen(const std::string& path) = 0;
  // The path of the file `name` in `folder`, a PathToOpen result.
  virtual OpenPath PathInFolder(const std::string& folder, const std::string& name) = 0;
  // Opens for reading; others may read the file meanwhile, not write it.
  // Null with `cause` set on failure.
  virtual std::unique_ptr<FileReader> OpenForReading(const std::string& path,
                                                     FileErrorCause& cause) = 0;
  // Creates (or truncates) for exclusive writing; null with `cause` set.
  virtual std::unique_ptr<FileWriter> CreateOutputFile(const std::string& path,
                                                       FileErrorCause& cause) = 0;
};

}  // namespace pagewire::platform
