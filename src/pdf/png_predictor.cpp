#include "pdf/png_predictor.h"

#include <algorithm>
#include <cstdlib>

namespace pagewire::pdf {
namespace {

std::uint8_t Paeth(int left, int up, int upLeft) {
  const int estimate = left + up - upLeft;
  const int toLeft = std::abs(estimate - left);
  const int toUp = std::abs(estimate - up);
  const int toUpLeft = std::abs(estimate - upLeft);
  if (toLeft <= toUp && toLeft <= toUpLeft) return static_cast<std::uint8_t>(left);
  return static_cast<std::uint8_t>(toUp <= toUpLeft ? up : upLeft);
}

}  // namespace

// One loop per filter: cross-reference rows are short and many, so the
// filter is chosen once a row, not once a byte.
bool UnfilterPngRow(int filter, std::uint8_t* row, const std::uint8_t* previous,
                    std::size_t length, std::size_t bytesPerPixel) {
  const std::size_t firstPixel = std::min(bytesPerPixel, length);
  switch (filter) {
    case 0: return true;
    case 1:
      for (std::size_t i = bytesPerPixel; i < length; ++i)
        row[i] = static_cast<std::uint8_t>(row[i] + row[i - bytesPerPixel]);
      return true;
    case 2:
      for (std::size_t i = 0; i < length; ++i)
        row[i] = static_cast<std::uint8_t>(row[i] + previous[i]);
      return true;
    case 3:
      for (std::size_t i = 0; i < firstPixel; ++i)
        row[i] = static_cast<std::uint8_t>(row[i] + previous[i] / 2);
      for (std::size_t i = firstPixel; i < length; ++i)
        row[i] = static_cast<std::uint8_t>(row[i] + (row[i - bytesPerPixel] + previous[i]) / 2);
      return true;
    case 4:
      // Left and upper left are zero in the first pixel: Paeth gives up.
      for (std::size_t i = 0; i < firstPixel; ++i)
        row[i] = static_cast<std::uint8_t>(row[i] + previous[i]);
      for (std::size_t i = firstPixel; i < length; ++i)
        row[i] = static_cast<std::uint8_t>(
            row[i] + Paeth(row[i - bytesPerPixel], previous[i], previous[i - bytesPerPixel]));
      return true;
    default: return false;
  }
}

}  // namespace pagewire::pdf
