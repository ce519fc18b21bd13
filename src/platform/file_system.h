// File system port: directory searches, short names, reading a file and
// creating the output file. Paths are system code page text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/file_error.h"

namespace pagewire::platform {

// The WIN32_FIND_DATAA fields the program reads.
struct FindData {
  std::string fileName;  // cFileName: the long name, no folder
  bool isDirectory = false;
};

// An open directory search (FindFirstFileA's handle); FindClose on Close or
// destruction.
class FileSearch {
 public:
  virtual ~FileSearch() = default;
  // FindNextFileA: false when there is no further entry.
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

  // FindFirstFileA(pattern): null when nothing matches, else the search,
  // with the first entry in `first`. A pattern may be a plain path (an
  // existence and folder test) or hold the masks "*" and "?".
  virtual std::unique_ptr<FileSearch> FindFirstEntry(const std::string& pattern,
                                                     FindData& first) = 0;
  // GetShortPathNameA(longPath, buffer, capacity): false when the call fails
  // or the short form does not fit `capacity` bytes with its zero.
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
