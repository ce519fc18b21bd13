#include "pdf/png_predictor.h"

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

bool UnfilterPngRow(int filter, std::uint8_t* row, const std::uint8_t* previous,
                    std::size_t length, std::size_t bytesPerPixel) {
  for (std::size_t i = 0; i < length; ++i) {
    const int left = i >= bytesPerPixel ? row[i - bytesPerPixel] : 0;
    const int up = previous[i];
    const int upLeft = i >= bytesPerPixel ? previous[i - bytesPerPixel] : 0;
    int predicted = 0;
    switch (filter) {
      case 0: predicted = 0; break;
      case 1: predicted = left; break;
      case 2: predicted = up; break;
      case 3: predicted = (left + up) / 2; break;
      case 4: predicted = Paeth(left, up, upLeft); break;
      default: return false;
    }
    row[i] = static_cast<std::uint8_t>(row[i] + predicted);
  }
  return true;
}

}  // namespace pagewire::pdf
