// The entries of a cross-reference stream: fixed-width binary fields, after
// the data has been inflated and, with a PNG predictor, unfiltered row by
// row. The layout is checked before any data is decoded, and exactly the
// bytes it needs must come out of the data.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

#include "pdf/stream_data.h"
#include "pdf/xref_table.h"

namespace pagewire::pdf {

struct XrefStreamLayout {
  // A field is read as a big-endian number of at most eight bytes.
  static constexpr int kMaxFieldWidth = 8;
  static constexpr int kNoPredictor = 1;
  static constexpr int kFirstPngPredictor = 10;
  static constexpr int kLastPngPredictor = 15;
  // A PNG row, filter byte aside; far beyond the few bytes of an entry.
  static constexpr std::size_t kMaxColumns = 1u << 16;

  std::array<int, 3> widths{};  // type, second and third field, in bytes
  std::vector<std::pair<std::int32_t, std::int32_t>> subsections;  // first, count
  int predictor = kNoPredictor;
  std::size_t columns = 1;        // bytes per PNG row
  std::size_t bytesPerPixel = 1;  // Colors at 8 bits per component

  std::size_t EntryWidth() const { return std::size_t(widths[0]) + widths[1] + widths[2]; }
  std::uint64_t EntryCount() const;
  bool Predicted() const { return predictor != kNoPredictor; }
  // Decoded bytes the entries need, the PNG rows' filter bytes included.
  std::uint64_t DataLength() const;
};

// Reads every entry, subsection after subsection, into `xref` with the
// table's SetEntry rule. Type 0 is free, 1 in use at an offset, 2 in an
// object stream; an entry of another type is skipped. Raises PdfError when
// the data holds fewer or more bytes than the layout needs (`offset` is the
// section's) or a field does not fit its entry.
void ReadXrefStreamEntries(const XrefStreamLayout& layout, StreamData& data, XrefTable& xref,
                           std::int64_t offset);

}  // namespace pagewire::pdf
