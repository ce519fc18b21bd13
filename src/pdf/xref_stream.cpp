#include "pdf/xref_stream.h"

#include <algorithm>
#include <cstring>

#include "pdf/pdf_error.h"
#include "pdf/png_predictor.h"

namespace pagewire::pdf {
namespace {

// Decoded entry bytes, one entry at a time, with the PNG rows unfiltered as
// they come. The data is decoded in chunks, never beyond what the layout
// needs.
class EntryBytes {
 public:
  static constexpr std::size_t kChunk = 64 * 1024;

  EntryBytes(const XrefStreamLayout& layout, StreamData& data, std::int64_t offset)
      : layout_(layout), data_(data), offset_(offset), needed_(layout.DataLength()) {
    if (layout_.Predicted()) {
      row_.assign(layout_.columns + 1, 0);
      previous_.assign(layout_.columns + 1, 0);
      rowPos_ = row_.size();
    }
  }

  // The next `length` bytes: where they lie whole in the decoded data, in
  // place; else gathered into `scratch`. Valid until the next call.
  const std::uint8_t* Next(std::uint8_t* scratch, std::size_t length) {
    if (!layout_.Predicted()) {
      if (chunk_.size() - chunkPos_ >= length) {
        const std::uint8_t* here = chunk_.data() + chunkPos_;
        chunkPos_ += length;
        return here;
      }
      Take(scratch, length);
      return scratch;
    }
    if (rowPos_ == row_.size() && length == layout_.columns) {  // one row an entry, as usual
      NextRow();
      rowPos_ = row_.size();
      return row_.data() + 1;
    }
    std::uint8_t* out = scratch;
    for (std::size_t done = 0; done < length;) {
      if (rowPos_ == row_.size()) NextRow();
      const std::size_t take = std::min(length - done, row_.size() - rowPos_);
      CopySmall(out + done, row_.data() + rowPos_, take);
      rowPos_ += take;
      done += take;
    }
    return scratch;
  }

  // Whatever the data holds beyond the entries and the padding of the last
  // row means a layout that does not describe it, or a bomb.
  void ExpectEnd() {
    std::uint8_t extra;
    if (data_.Read(&extra, 1) != 0) Raise(PdfErrorKind::RangeCheck, offset_);
  }

 private:
  void Take(std::uint8_t* out, std::size_t length) {
    for (std::size_t done = 0; done < length;) {
      if (chunkPos_ == chunk_.size()) Fill();
      const std::size_t take = std::min(length - done, chunk_.size() - chunkPos_);
      CopySmall(out + done, chunk_.data() + chunkPos_, take);
      chunkPos_ += take;
      done += take;
    }
  }

  void Fill() {
    const auto want = static_cast<std::size_t>(std::min<std::uint64_t>(needed_, kChunk));
    if (want == 0) Raise(PdfErrorKind::Syntax, offset_);
    chunk_.resize(want);
    std::size_t got = 0;
    while (got < want) {
      const std::size_t more = data_.Read(chunk_.data() + got, want - got);
      if (more == 0) Raise(PdfErrorKind::Syntax, offset_);
      got += more;
    }
    needed_ -= want;
    chunkPos_ = 0;
  }

  // Entries and rows are a few bytes: a loop beats a call to memcpy.
  static void CopySmall(std::uint8_t* out, const std::uint8_t* in, std::size_t length) {
    for (std::size_t i = 0; i < length; ++i) out[i] = in[i];
  }

  // Rows start with their filter byte; the decoded bytes follow it. The
  // row just decoded becomes the one above by a swap, not a copy.
  void NextRow() {
    row_.swap(previous_);
    Take(row_.data(), row_.size());
    if (!UnfilterPngRow(row_[0], row_.data() + 1, previous_.data() + 1, layout_.columns,
                        layout_.bytesPerPixel))
      Raise(PdfErrorKind::Syntax, offset_);
    rowPos_ = 1;
  }

  const XrefStreamLayout& layout_;
  StreamData& data_;
  std::int64_t offset_;
  std::uint64_t needed_;  // decoded bytes not yet taken from the data
  std::vector<std::uint8_t> chunk_;
  std::size_t chunkPos_ = 0;
  std::vector<std::uint8_t> row_;
  std::vector<std::uint8_t> previous_;
  std::size_t rowPos_ = 0;
};

std::uint64_t BigEndian(const std::uint8_t* bytes, int width) {
  std::uint64_t value = 0;
  for (int i = 0; i < width; ++i) value = (value << 8) | bytes[i];
  return value;
}

}  // namespace

std::uint64_t XrefStreamLayout::EntryCount() const {
  std::uint64_t count = 0;
  for (const auto& [first, n] : subsections) count += static_cast<std::uint64_t>(n);
  return count;
}

std::uint64_t XrefStreamLayout::DataLength() const {
  const std::uint64_t bytes = EntryCount() * EntryWidth();
  if (!Predicted()) return bytes;
  const std::uint64_t rows = (bytes + columns - 1) / columns;
  return rows * (columns + 1);
}

void ReadXrefStreamEntries(const XrefStreamLayout& layout, StreamData& data, XrefTable& xref,
                           std::int64_t offset) {
  EntryBytes bytes(layout, data, offset);
  std::array<std::uint8_t, 3 * XrefStreamLayout::kMaxFieldWidth> entry{};
  const int typeWidth = layout.widths[0];
  const int secondWidth = layout.widths[1];
  const int thirdWidth = layout.widths[2];
  for (const auto& [first, count] : layout.subsections) {
    xref.AddSubsection(first, count).ReserveAll();
    for (std::int32_t i = 0; i < count; ++i) {
      const std::uint8_t* fields = bytes.Next(entry.data(), layout.EntryWidth());
      // Without a type field every entry is in use.
      const std::uint64_t type = typeWidth == 0 ? 1 : BigEndian(fields, typeWidth);
      const std::uint64_t second = BigEndian(fields + typeWidth, secondWidth);
      const std::uint64_t third = BigEndian(fields + typeWidth + secondWidth, thirdWidth);
      char letter = 0;
      if (type == 0) letter = XrefEntry::kFree;
      if (type == 1) letter = XrefEntry::kInUse;
      if (type == 2) letter = XrefEntry::kCompressed;
      if (letter == 0) continue;
      if (second > static_cast<std::uint64_t>(INT64_MAX) ||
          third > static_cast<std::uint64_t>(INT32_MAX))
        Raise(PdfErrorKind::RangeCheck, offset);
      xref.SetEntry(first + i, static_cast<std::int64_t>(second), static_cast<std::int32_t>(third),
                    letter);
    }
  }
  bytes.ExpectEnd();
}

}  // namespace pagewire::pdf
