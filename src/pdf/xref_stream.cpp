#include "pdf/xref_stream.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

#include "pdf/pdf_error.h"
#include "pdf/png_predictor.h"

namespace pagewire::pdf {
namespace {

// Decoded entry bytes, one entry at a time, with the PNG rows unfiltered a
// batch at a time, each against the one above it. The data is decoded in
// chunks, never beyond what the layout needs.
class EntryBytes {
 public:
  static constexpr std::size_t kChunk = 64 * 1024;
  static constexpr std::uint8_t kPngUp = 2;
  // Rows unfiltered at a time: as many as fill this, at least one.
  static constexpr std::size_t kBatchBytes = 64 * 1024;

  EntryBytes(const XrefStreamLayout& layout, StreamData& data, std::int64_t offset)
      : layout_(layout), data_(data), offset_(offset), needed_(layout.DataLength()) {
    if (layout_.Predicted()) {
      stride_ = layout_.columns + 1;
      rowsLeft_ = needed_ / stride_;
      batchRows_ = static_cast<std::size_t>(
          std::min<std::uint64_t>(rowsLeft_, std::max<std::size_t>(1, kBatchBytes / stride_)));
      // Slot 0 holds the row above the batch: zeros above the first row.
      rows_.assign(stride_ * (batchRows_ + 1), 0);
      row_ = rows_.data();
      rowPos_ = stride_;
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
    if (rowPos_ == stride_ && length == layout_.columns) {  // one row an entry, as usual
      NextRow();
      rowPos_ = stride_;
      return row_ + 1;
    }
    std::uint8_t* out = scratch;
    for (std::size_t done = 0; done < length;) {
      if (rowPos_ == stride_) NextRow();
      const std::size_t take = std::min(length - done, stride_ - rowPos_);
      std::memcpy(out + done, row_ + rowPos_, take);
      rowPos_ += take;
      done += take;
    }
    return scratch;
  }

  // Up to `most` whole entries of `width` bytes that lie in place, `stride`
  // bytes apart; none where the next one does not (Next gathers it then).
  const std::uint8_t* InPlace(std::size_t width, std::size_t most, std::size_t& count,
                              std::size_t& stride) {
    count = 0;
    if (!layout_.Predicted()) {
      stride = width;
      count = std::min(most, (chunk_.size() - chunkPos_) / width);
      const std::uint8_t* here = chunk_.data() + chunkPos_;
      chunkPos_ += count * width;
      return here;
    }
    if (rowPos_ != stride_ || width != layout_.columns) return nullptr;
    if (row_ + stride_ == batchEnd_ || batchEnd_ == nullptr) {
      NextRow();
      row_ -= stride_;  // the batch's first row is taken below
      rowPos_ = stride_;
    }
    stride = stride_;
    count = std::min<std::size_t>(most, static_cast<std::size_t>(batchEnd_ - row_) / stride_ - 1);
    const std::uint8_t* here = row_ + stride_ + 1;
    row_ += count * stride_;
    return here;
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
      std::memcpy(out + done, chunk_.data() + chunkPos_, take);
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

  // Rows start with their filter byte; the decoded bytes follow it.
  void NextRow() {
    row_ += stride_;
    if (row_ == batchEnd_ || batchEnd_ == nullptr) LoadBatch();
    rowPos_ = 1;
  }

  // The last row of a batch becomes slot 0, the row above the next one.
  void LoadBatch() {
    if (rowsLeft_ == 0) Raise(PdfErrorKind::Syntax, offset_);
    if (batchEnd_ != nullptr) std::memcpy(rows_.data(), batchEnd_ - stride_, stride_);
    const auto count = static_cast<std::size_t>(std::min<std::uint64_t>(rowsLeft_, batchRows_));
    std::uint8_t* first = rows_.data() + stride_;
    Take(first, count * stride_);
    std::uint8_t* const end = first + count * stride_;
    if (AllRowsUp(first, end)) {
      if (stride_ >= sizeof(std::uint64_t)) {
        AddRowsAbove<std::uint64_t>(first + 1, end);
      } else {
        AddRowsAbove<std::uint32_t>(first + 1, end);
      }
    } else {
      UnfilterEachRow(first, end);
    }
    rowsLeft_ -= count;
    row_ = first;
    batchEnd_ = end;
  }

  bool AllRowsUp(const std::uint8_t* first, const std::uint8_t* end) const {
    if (stride_ < sizeof(std::uint32_t)) return false;
    for (const std::uint8_t* row = first; row != end; row += stride_)
      if (row[0] != kPngUp) return false;
    return true;
  }

  // Up on every row at once: each byte from `from` on adds the byte one row
  // above, a word at a time without carries between the bytes. A row is at
  // least a word long, so the word above is final already. The filter bytes
  // after the first take sums too; they have been read by then.
  template <typename Word>
  void AddRowsAbove(std::uint8_t* from, std::uint8_t* end) const {
    constexpr Word kLow7 = static_cast<Word>(0x7F7F7F7F7F7F7F7FULL);
    constexpr Word kHigh = static_cast<Word>(0x8080808080808080ULL);
    constexpr std::ptrdiff_t kBytes = sizeof(Word);
    std::uint8_t* at = from;
    for (; end - at >= kBytes; at += kBytes) {
      Word here;
      Word above;
      std::memcpy(&here, at, kBytes);
      std::memcpy(&above, at - stride_, kBytes);
      const Word low = static_cast<Word>((here & kLow7) + (above & kLow7));
      const Word sum = static_cast<Word>(low ^ ((here ^ above) & kHigh));
      std::memcpy(at, &sum, kBytes);
    }
    for (; at != end; ++at) *at = static_cast<std::uint8_t>(*at + *(at - stride_));
  }

  void UnfilterEachRow(std::uint8_t* first, std::uint8_t* end) {
    const std::size_t columns = layout_.columns;
    for (std::uint8_t* row = first; row != end; row += stride_) {
      const std::uint8_t* above = row - stride_ + 1;
      // Up, which writers use for these rows, inline; the others by call.
      if (row[0] == kPngUp) {
        for (std::size_t i = 0; i < columns; ++i)
          row[1 + i] = static_cast<std::uint8_t>(row[1 + i] + above[i]);
      } else if (!UnfilterPngRow(row[0], row + 1, above, columns, layout_.bytesPerPixel)) {
        Raise(PdfErrorKind::Syntax, offset_);
      }
    }
  }

  const XrefStreamLayout& layout_;
  StreamData& data_;
  std::int64_t offset_;
  std::uint64_t needed_;  // decoded bytes not yet taken from the data
  std::vector<std::uint8_t> chunk_;
  std::size_t chunkPos_ = 0;
  std::size_t stride_ = 0;      // a row and its filter byte
  std::uint64_t rowsLeft_ = 0;  // rows not yet decoded
  std::size_t batchRows_ = 0;
  std::vector<std::uint8_t> rows_;
  const std::uint8_t* batchEnd_ = nullptr;
  const std::uint8_t* row_ = nullptr;  // the current row, in rows_
  std::size_t rowPos_ = 0;
};

// The usual widths spelt out: the switch goes the same way for every entry.
std::uint64_t BigEndian(const std::uint8_t* bytes, int width) {
  switch (width) {
    case 0: return 0;
    case 1: return bytes[0];
    case 2: return std::uint64_t{bytes[0]} << 8 | bytes[1];
    case 3: return std::uint64_t{bytes[0]} << 16 | std::uint64_t{bytes[1]} << 8 | bytes[2];
    case 4:
      return std::uint64_t{bytes[0]} << 24 | std::uint64_t{bytes[1]} << 16 |
             std::uint64_t{bytes[2]} << 8 | bytes[3];
    default: {
      std::uint64_t value = 0;
      for (int i = 0; i < width; ++i) value = (value << 8) | bytes[i];
      return value;
    }
  }
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
  std::array<std::uint8_t, 3 * XrefStreamLayout::kMaxFieldWidth> scratch{};
  const int typeWidth = layout.widths[0];
  const int secondWidth = layout.widths[1];
  const int thirdWidth = layout.widths[2];
  const std::size_t width = layout.EntryWidth();
  for (const auto& [first, count] : layout.subsections) {
    XrefSubsection& subsection = xref.AddSubsection(first, count);
    subsection.ReserveAll();
    const bool owned = xref.Owns(subsection);
    for (std::int32_t i = 0; i < count;) {
      std::size_t inPlace = 0;
      std::size_t stride = 0;
      const std::uint8_t* fields =
          bytes.InPlace(width, static_cast<std::size_t>(count - i), inPlace, stride);
      if (inPlace == 0) {
        fields = bytes.Next(scratch.data(), width);
        inPlace = 1;
      }
      for (const std::int32_t end = i + static_cast<std::int32_t>(inPlace); i < end;
           ++i, fields += stride) {
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
        const XrefEntry entry{static_cast<std::int64_t>(second),
                              static_cast<std::int32_t>(third), letter};
        if (owned) {
          subsection.SetOwnEntry(first + i, entry);
        } else {
          xref.SetEntry(first + i, entry.offset, entry.generation, entry.type);
        }
      }
    }
  }
  bytes.ExpectEnd();
}

}  // namespace pagewire::pdf
