#include "dialogs/saved_settings_bits.h"

namespace pagewire::dialogs {
namespace {

constexpr std::uint32_t kBlackBit = 1u << 29;
constexpr std::uint32_t kCollateBit = 1u << 30;
constexpr std::uint32_t kAllPagesBit = 1u << 15;
constexpr std::uint32_t kToLastPageBit = 1u << 31;
constexpr std::uint32_t kPageMask = 0x7FFF;  // 15 bits per page number

std::uint32_t Byte(std::int32_t field) {
  return static_cast<std::uint32_t>(field) & 0xFFu;
}

std::int32_t ByteAt(std::uint32_t value, int shift) {
  return static_cast<std::int32_t>((value >> shift) & 0xFFu);
}

}  // namespace

std::uint32_t PackPrintMode(const settings::PrintJobSettings& s) {
  return Byte(s.paperSize) << 24 | Byte(s.printMode) << 16 | Byte(s.paperType) << 8 |
         Byte(s.duplexMode);
}

std::uint32_t PackCopies(const settings::PrintJobSettings& s) {
  std::uint32_t value = Byte(s.layout) << 16 | (static_cast<std::uint32_t>(s.copies) & 0xFFFFu);
  if (s.outputColor == 1) value |= kBlackBit;
  if (s.collate != 0) value |= kCollateBit;
  return value;
}

std::uint32_t PackPages(const settings::PrintJobSettings& s) {
  std::uint32_t value = (static_cast<std::uint32_t>(s.toPage) & kPageMask) << 16 |
                        (static_cast<std::uint32_t>(s.fromPage) & kPageMask);
  if (s.toLastPage != 0) value |= kToLastPageBit;
  if (s.selectPages == 0) value |= kAllPagesBit;
  return value;
}

void UnpackPrintMode(std::uint32_t value, settings::PrintJobSettings& s) {
  s.duplexMode = ByteAt(value, 0);
  s.paperType = ByteAt(value, 8);
  s.printMode = ByteAt(value, 16);
  s.paperSize = ByteAt(value, 24);
}

void UnpackCopies(std::uint32_t value, settings::PrintJobSettings& s) {
  if (value & kCollateBit) s.collate = 1;
  if (value & kBlackBit) s.outputColor = 1;
  s.layout = ByteAt(value, 16);
  s.copies = static_cast<std::int32_t>(value & 0xFFFFu);
}

void UnpackPages(std::uint32_t value, settings::PrintJobSettings& s) {
  s.selectPages = (value & kAllPagesBit) ? 0 : 1;
  s.toLastPage = (value & kToLastPageBit) ? 1 : 0;
  s.fromPage = static_cast<std::int32_t>(value & kPageMask);
  s.toPage = static_cast<std::int32_t>((value >> 16) & kPageMask);
}

}  // namespace pagewire::dialogs
