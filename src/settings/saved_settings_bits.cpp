#include "settings/saved_settings_bits.h"

namespace pagewire::settings {
namespace {

constexpr std::uint32_t kBlackBit = 1u << 29;
constexpr std::uint32_t kCollateBit = 1u << 30;
constexpr std::uint32_t kAllPagesBit = 1u << 15;
constexpr std::uint32_t kToLastPageBit = 1u << 31;
constexpr std::uint32_t kPageMask = 0x7FFF;  // 15 bits per page number

template <typename Choice>
std::uint32_t Byte(Choice choice) {
  return static_cast<std::uint32_t>(NumberOf(choice)) & 0xFFu;
}

template <typename Choice>
Choice ByteAt(std::uint32_t value, int shift) {
  return static_cast<Choice>((value >> shift) & 0xFFu);
}

}  // namespace

std::uint32_t PackPrintMode(const PrintJobSettings& s) {
  return Byte(s.paperSize) << 24 | Byte(s.printMode) << 16 | Byte(s.paperType) << 8 |
         Byte(s.duplexMode);
}

std::uint32_t PackCopies(const PrintJobSettings& s) {
  std::uint32_t value = Byte(s.layout) << 16 | (static_cast<std::uint32_t>(s.copies) & 0xFFFFu);
  if (s.outputColor == OutputColor::Black) value |= kBlackBit;
  if (s.collate == Collation::Collated) value |= kCollateBit;
  return value;
}

std::uint32_t PackPages(const PrintJobSettings& s) {
  std::uint32_t value = (static_cast<std::uint32_t>(s.toPage) & kPageMask) << 16 |
                        (static_cast<std::uint32_t>(s.fromPage) & kPageMask);
  if (s.toLastPage) value |= kToLastPageBit;
  if (!s.selectPages) value |= kAllPagesBit;
  return value;
}

void UnpackPrintMode(std::uint32_t value, PrintJobSettings& s) {
  s.duplexMode = ByteAt<Duplex>(value, 0);
  s.paperType = ByteAt<PaperType>(value, 8);
  s.printMode = ByteAt<PrintMode>(value, 16);
  s.paperSize = ByteAt<PaperSize>(value, 24);
}

void UnpackCopies(std::uint32_t value, PrintJobSettings& s) {
  if (value & kCollateBit) s.collate = Collation::Collated;
  if (value & kBlackBit) s.outputColor = OutputColor::Black;
  s.layout = ByteAt<Layout>(value, 16);
  s.copies = static_cast<std::int32_t>(value & 0xFFFFu);
}

void UnpackPages(std::uint32_t value, PrintJobSettings& s) {
  s.selectPages = (value & kAllPagesBit) == 0;
  s.toLastPage = (value & kToLastPageBit) != 0;
  s.fromPage = static_cast<std::int32_t>(value & kPageMask);
  s.toPage = static_cast<std::int32_t>((value >> 16) & kPageMask);
}

}  // namespace pagewire::settings
