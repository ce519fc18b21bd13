// The data of one stream, decoded chunk by chunk: as it stands or inflated
// (FlateDecode). Only as much is decoded as the caller asks for, so memory
// stays at one input chunk and zlib's window whatever the data holds.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>

#include "pdf/byte_source.h"

struct z_stream_s;

namespace pagewire::pdf {

class StreamData {
 public:
  enum class Filter { None, Flate };
  static constexpr std::size_t kInputChunk = 16 * 1024;

  // The encoded data is the `length` bytes from `start`; the source is
  // read from there on and must not be moved by anyone else meanwhile.
  StreamData(ByteSource& source, std::int64_t start, std::int64_t length, Filter filter);
  ~StreamData();
  StreamData(const StreamData&) = delete;
  StreamData& operator=(const StreamData&) = delete;

  // Up to `length` decoded bytes; fewer only where the data ends. Raises
  // PdfError (Syntax) for compressed data that zlib rejects.
  std::size_t Read(std::uint8_t* out, std::size_t length);

 private:
  bool FillInput();

  ByteSource& source_;
  std::int64_t start_;
  std::int64_t remaining_;  // encoded bytes not yet taken from the source
  Filter filter_;
  std::unique_ptr<z_stream_s> zlib_;
  bool ended_ = false;
  std::array<std::uint8_t, kInputChunk> input_{};
};

}  // namespace pagewire::pdf
