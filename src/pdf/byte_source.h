// The bytes of a PDF, read-only, forward and backward, with 64-bit positions:
// a file through one block buffer, or bytes in memory read where they are.
// Reading a byte is an inline buffer access; the system is asked only when a
// block of a file must be loaded.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string_view>

namespace pagewire::pdf {

class ByteSource {
 public:
  // Forward reads follow seeks to scattered objects: a modest block. The
  // backward search may cross a whole file: blocks large enough that the
  // per-read system cost vanishes next to copying the bytes.
  static constexpr std::int64_t kForwardBlock = 64 * 1024;
  static constexpr std::int64_t kBackwardBlock = 1024 * 1024;

  enum class Origin { Start, Current, End };

  ByteSource();
  ~ByteSource();
  ByteSource(const ByteSource&) = delete;
  ByteSource& operator=(const ByteSource&) = delete;

  // Opens `path` for binary reading; the position is then at the end of the
  // file. Fails when already open or when the file cannot be opened.
  bool Open(const char* path);
  // Reads `bytes` in place, positioned at their end like a file; they must
  // outlive the source.
  bool OpenMemory(std::string_view bytes);
  bool IsOpen() const { return file_ != nullptr || inMemory_; }

  // The byte at the position, moving past it; -1 at the end or when closed.
  int ReadByte() {
    if (pos_ >= bufStart_ && pos_ < bufEnd_) return data_[pos_++ - bufStart_];
    return ReadByteSlow();
  }

  // Moves backward until `keyword` has been passed over, leaving the position
  // on its first character; false when the start of the file comes first.
  // On a mismatch the count of matched characters restarts at 1 when the
  // byte is the keyword's last one, else at 0.
  bool FindBackward(std::string_view keyword);

  // Up to `length` bytes from the position on, moving past them; fewer at
  // the end or when a read fails.
  std::size_t Read(std::uint8_t* out, std::size_t length);

  // The `length` bytes from the position on, in place, the position kept;
  // null where fewer remain or a read fails. At most kForwardBlock bytes.
  const std::uint8_t* Peek(std::size_t length) {
    if (pos_ >= bufStart_ && bufEnd_ - pos_ >= static_cast<std::int64_t>(length))
      return data_ + (pos_ - bufStart_);
    return PeekSlow(length);
  }
  // Moves past bytes that Peek has shown.
  void Skip(std::size_t length) { pos_ += static_cast<std::int64_t>(length); }

  // A position before the start fails; one beyond the end reads as the end.
  bool Seek(std::int64_t offset, Origin origin);
  std::int64_t Tell() const { return pos_; }
  std::int64_t Size() const { return size_; }

 private:
  int ReadByteSlow();
  const std::uint8_t* PeekSlow(std::size_t length);
  bool LoadBefore();
  bool Load(std::int64_t start, std::int64_t length);

  std::FILE* file_ = nullptr;
  std::unique_ptr<std::uint8_t[]> buffer_;  // a file's block buffer
  const std::uint8_t* data_ = nullptr;      // buffer_, or the bytes in memory
  std::int64_t capacity_ = 0;
  std::int64_t bufStart_ = 0;  // file offset of buffer_[0]
  std::int64_t bufEnd_ = 0;    // one past the last loaded byte
  std::int64_t pos_ = 0;
  std::int64_t size_ = 0;
  bool inMemory_ = false;
};

}  // namespace pagewire::pdf
