// The job settings record: what the "PDF File Print" dialog edits, what the
// saved settings hold and what the PJL header is written from.
#pragma once

#include <array>
#include <cstdint>

namespace pagewire::settings {

// A choice's number is its index in the dialog's list and the number the
// saved settings store. A number outside the list (a hand-edited saved
// value, -1 for a list left without a selection) is kept as it is; the
// header writes it as setting_tables.h says.
enum class Layout : std::int32_t { AutoZoom = 0, Actual = 1, Booklet = 2, TwoUp = 3, FourUp = 4 };
enum class Duplex : std::int32_t { OneSided = 0, LongEdge = 1, ShortEdge = 2 };
enum class PrintMode : std::int32_t { Standard = 0, HighSpeed = 1, HighQuality = 2 };
enum class PaperSize : std::int32_t { A4 = 0, Auto = 1 };
enum class PaperType : std::int32_t { Plain = 0, PrinterSettings = 1 };
enum class OutputColor : std::int32_t { Auto = 0, Black = 1 };
enum class Collation : std::int32_t { Off = 0, Collated = 1 };

template <typename Choice>
constexpr std::int32_t NumberOf(Choice choice) {
  return static_cast<std::int32_t>(choice);
}

// The range of the page numbers and of the copies.
inline constexpr std::int32_t kMinNumber = 1;
inline constexpr std::int32_t kMaxNumber = 999;

struct PrintJobSettings {
  bool toLastPage = false;   // the range runs to the document's end
  bool selectPages = false;  // Select Pages chosen, else All Pages
  PaperType paperType = PaperType::Plain;
  std::int32_t copies = 1;
  PaperSize paperSize = PaperSize::A4;
  Duplex duplexMode = Duplex::OneSided;
  PrintMode printMode = PrintMode::Standard;
  std::int32_t fromPage = 1;
  std::int32_t toPage = 1;
  OutputColor outputColor = OutputColor::Auto;
  Layout layout = Layout::AutoZoom;
  Collation collate = Collation::Off;

  bool operator==(const PrintJobSettings&) const = default;
};

// The printer's network hardware address, under which a document password
// travels when the user gives it.
using MacAddress = std::array<std::uint8_t, 6>;

// "2 up" and "4 up" print on A4 whatever the paper size says.
constexpr bool IsNUp(Layout layout) { return layout == Layout::TwoUp || layout == Layout::FourUp; }

}  // namespace pagewire::settings
