// PNG row filters (None, Sub, Up, Average, Paeth) undone, as the predictors
// 10 to 15 of Flate-encoded PDF streams use them: each row of encoded data
// starts with its filter byte.
#pragma once

#include <cstddef>
#include <cstdint>

namespace pagewire::pdf {

// Undoes `filter` on `row` (its bytes after the filter byte) in place, given
// the row above, already decoded (zeros for the first row), and the bytes
// per pixel. False for a filter byte above 4.
bool UnfilterPngRow(int filter, std::uint8_t* row, const std::uint8_t* previous,
                    std::size_t length, std::size_t bytesPerPixel);

}  // namespace pagewire::pdf
