#include "pdf/stream_data.h"

#include <zlib.h>

#include <algorithm>
#include <limits>

#include "pdf/pdf_error.h"

namespace pagewire::pdf {

StreamData::StreamData(ByteSource& source, std::int64_t start, std::int64_t length, Filter filter)
    : source_(source), start_(start), remaining_(std::max<std::int64_t>(0, length)), filter_(filter) {
  if (!source_.Seek(start, ByteSource::Origin::Start)) Raise(PdfErrorKind::RangeCheck, start);
  if (filter_ == Filter::Flate) {
    zlib_ = std::make_unique<z_stream_s>();
    if (inflateInit(zlib_.get()) != Z_OK) {
      zlib_.reset();
      Raise(PdfErrorKind::RangeCheck, start);
    }
  }
}

StreamData::~StreamData() {
  if (zlib_) inflateEnd(zlib_.get());
}

bool StreamData::FillInput() {
  const auto want = static_cast<std::size_t>(
      std::min<std::int64_t>(remaining_, static_cast<std::int64_t>(input_.size())));
  const std::size_t got = want == 0 ? 0 : source_.Read(input_.data(), want);
  remaining_ = got < want ? 0 : remaining_ - static_cast<std::int64_t>(got);
  zlib_->next_in = input_.data();
  zlib_->avail_in = static_cast<uInt>(got);
  return got > 0;
}

std::size_t StreamData::Read(std::uint8_t* out, std::size_t length) {
  if (filter_ == Filter::None) {
    const auto want = static_cast<std::size_t>(
        std::min<std::uint64_t>(static_cast<std::uint64_t>(remaining_), length));
    const std::size_t got = source_.Read(out, want);
    remaining_ -= static_cast<std::int64_t>(got);
    return got;
  }
  // zlib counts in uInt: a request larger than that is served in parts by
  // the caller's loop.
  length = std::min<std::size_t>(length, std::numeric_limits<uInt>::max());
  zlib_->next_out = out;
  zlib_->avail_out = static_cast<uInt>(length);
  while (zlib_->avail_out > 0 && !ended_) {
    if (zlib_->avail_in == 0 && !FillInput()) break;  // the data ends early
    const int result = inflate(zlib_.get(), Z_NO_FLUSH);
    if (result == Z_STREAM_END) {
      ended_ = true;
    } else if (result != Z_OK) {
      Raise(PdfErrorKind::Syntax, start_);
    }
  }
  return length - zlib_->avail_out;
}

}  // namespace pagewire::pdf
