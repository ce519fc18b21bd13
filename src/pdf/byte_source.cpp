#include "pdf/byte_source.h"

#include <algorithm>
#include <cstring>
#if defined(__GLIBC__)
#include <string.h>  // memrchr
#endif

namespace pagewire::pdf {
namespace {

// 64-bit file positions: the C runtime's plain fseek/ftell stop at 2 GiB.
int Seek64(std::FILE* file, std::int64_t offset, int whence) {
#ifdef _WIN32
  return _fseeki64(file, offset, whence);
#else
  return fseeko(file, static_cast<off_t>(offset), whence);
#endif
}

std::int64_t Tell64(std::FILE* file) {
#ifdef _WIN32
  return _ftelli64(file);
#else
  return static_cast<std::int64_t>(ftello(file));
#endif
}

}  // namespace

ByteSource::ByteSource() = default;

ByteSource::~ByteSource() {
  if (file_ != nullptr) std::fclose(file_);
}

bool ByteSource::Open(const char* path) {
  if (IsOpen() || path == nullptr) return false;
  std::FILE* file = std::fopen(path, "rb");
  if (file == nullptr) return false;
  if (Seek64(file, 0, SEEK_END) != 0) {
    std::fclose(file);
    return false;
  }
  const std::int64_t size = Tell64(file);
  if (size < 0) {
    std::fclose(file);
    return false;
  }
  // Our own block buffer does the buffering; a second one in stdio would
  // only copy every byte twice.
  std::setvbuf(file, nullptr, _IONBF, 0);
  capacity_ = std::max<std::int64_t>(1, std::min(size, kBackwardBlock));
  // Not zeroed: only what is read into it is ever touched.
  buffer_ = std::make_unique_for_overwrite<std::uint8_t[]>(static_cast<std::size_t>(capacity_));
  data_ = buffer_.get();
  file_ = file;
  size_ = size;
  pos_ = size;
  bufStart_ = bufEnd_ = 0;
  return true;
}

bool ByteSource::OpenMemory(std::string_view bytes) {
  if (IsOpen()) return false;
  size_ = static_cast<std::int64_t>(bytes.size());
  capacity_ = size_;
  data_ = reinterpret_cast<const std::uint8_t*>(bytes.data());
  inMemory_ = true;
  pos_ = size_;
  bufStart_ = 0;
  bufEnd_ = size_;
  return true;
}

bool ByteSource::Load(std::int64_t start, std::int64_t length) {
  if (inMemory_) {
    bufStart_ = 0;
    bufEnd_ = size_;
    return start < size_;
  }
  bufStart_ = bufEnd_ = start;
  if (Seek64(file_, start, SEEK_SET) != 0) return false;
  const std::size_t got = std::fread(
      buffer_.get(), 1, static_cast<std::size_t>(std::min(length, capacity_)), file_);
  bufEnd_ = start + static_cast<std::int64_t>(got);
  return got > 0;
}

int ByteSource::ReadByteSlow() {
  if (!IsOpen() || pos_ >= size_) return -1;
  if (!Load(pos_, kForwardBlock)) return -1;
  return data_[pos_++ - bufStart_];
}

const std::uint8_t* ByteSource::PeekSlow(std::size_t length) {
  const auto wanted = static_cast<std::int64_t>(length);
  if (inMemory_ || !IsOpen() || wanted > kForwardBlock || size_ - pos_ < wanted) return nullptr;
  if (!Load(pos_, kForwardBlock) || bufEnd_ - pos_ < wanted) return nullptr;
  return data_ + (pos_ - bufStart_);
}

// Loads the block that ends at the position, so that the backward reads
// that follow come from the buffer. The trailer is near the end: the block
// that ends there is a forward one's size, the blocks before it the largest.
bool ByteSource::LoadBefore() {
  if (!IsOpen()) return false;
  const std::int64_t end = std::min(pos_, size_);
  if (end <= 0) return false;
  const std::int64_t block = end == size_ ? std::min(capacity_, kForwardBlock) : capacity_;
  const std::int64_t start = std::max<std::int64_t>(0, end - block);
  if (!Load(start, end - start) || end > bufEnd_) return false;
  pos_ = end;
  return true;
}

namespace {

// The index just past the last `byte` in data[0, end), or 0 without one.
// Eight bytes per step: the long runs between candidates of a backward
// search over a big file cost little more than reading it.
std::size_t SkipBackTo(const std::uint8_t* data, std::size_t end, std::uint8_t byte) {
#if defined(__GLIBC__)
  // glibc's vectorised search where there is one.
  const void* found = memrchr(data, byte, end);
  return found == nullptr ? 0 : static_cast<std::size_t>(static_cast<const std::uint8_t*>(found) - data) + 1;
#else
  constexpr std::uint64_t kOnes = 0x0101010101010101ULL;
  constexpr std::uint64_t kHighs = 0x8080808080808080ULL;
  const std::uint64_t pattern = kOnes * byte;
  while (end >= 8) {
    std::uint64_t word;
    std::memcpy(&word, data + end - 8, 8);
    const std::uint64_t x = word ^ pattern;
    if (((x - kOnes) & ~x & kHighs) != 0) break;  // some byte of x is zero
    end -= 8;
  }
  while (end > 0 && data[end - 1] != byte) --end;
  return end;
#endif
}

}  // namespace

bool ByteSource::FindBackward(std::string_view keyword) {
  const std::size_t length = keyword.size();
  if (length == 0) return true;
  const auto last = static_cast<std::uint8_t>(keyword[length - 1]);
  std::size_t matched = 0;
  while (matched < length) {
    if (!(pos_ > bufStart_ && pos_ <= bufEnd_) && !LoadBefore()) return false;
    const std::uint8_t* data = data_;
    auto i = static_cast<std::size_t>(pos_ - bufStart_);
    while (i > 0 && matched < length) {
      if (matched == 0) {
        i = SkipBackTo(data, i, last);
        if (i == 0) break;
      }
      const std::uint8_t c = data[--i];
      if (c == static_cast<std::uint8_t>(keyword[length - 1 - matched])) {
        ++matched;
      } else {
        matched = (c == last) ? 1 : 0;
      }
    }
    pos_ = bufStart_ + static_cast<std::int64_t>(i);
  }
  return true;
}

std::size_t ByteSource::Read(std::uint8_t* out, std::size_t length) {
  std::size_t got = 0;
  while (got < length) {
    if (!(pos_ >= bufStart_ && pos_ < bufEnd_)) {
      if (!IsOpen() || pos_ >= size_ || !Load(pos_, kForwardBlock)) break;
    }
    const std::size_t take =
        std::min(length - got, static_cast<std::size_t>(bufEnd_ - pos_));
    std::memcpy(out + got, data_ + (pos_ - bufStart_), take);
    pos_ += static_cast<std::int64_t>(take);
    got += take;
  }
  return got;
}

bool ByteSource::Seek(std::int64_t offset, Origin origin) {
  if (!IsOpen()) return false;
  std::int64_t base = 0;
  if (origin == Origin::Current) base = pos_;
  if (origin == Origin::End) base = size_;
  if ((offset > 0 && base > INT64_MAX - offset) || base + offset < 0) return false;
  pos_ = base + offset;
  return true;
}

}  // namespace pagewire::pdf
