// One table per setting: for each choice, the "PDF File Print" dialog's list
// text, the pagewire command's -o word, what the PJL header writes and what
// an IPP printer is sent. A choice's number (print_job_settings.h) is its
// row's place in the table, its list index and its saved value.
//
// A further column is one more member of SettingRow with a default, and one
// more value at the end of each row.
#pragma once

#include <cstddef>
#include <span>

#include "settings/print_job_settings.h"

namespace pagewire::settings {

template <typename Value>
struct SettingRow {
  Value value;
  const char* listText;    // the dialog's list entry; none for a check box
  const char* optionWord;  // the command's -o value
  const char* pjl;         // the header's keyword or lines; see each table
  // The IPP job attribute, "name=value"; "" leaves the choice to the
  // printer; none: IPP has no attribute for it.
  const char* ipp = "";
};

template <typename Value>
struct Setting {
  const char* optionKey;                   // the command's -o key
  std::span<const SettingRow<Value>> rows;  // in list order
  Value otherwise;  // whose PJL a number outside the list gets
};

// @LOUT keyword.
inline constexpr SettingRow<Layout> kLayoutRows[] = {
    {Layout::AutoZoom, "Auto Zoom", "auto", "AUTOSCALING", ""},
    {Layout::Actual, "100%", "100", "NOSCALING", "print-scaling=none"},
    {Layout::Booklet, "Booklet", "booklet", "BOOKLET", nullptr},
    {Layout::TwoUp, "2 up", "2up", "N2", "number-up=2"},
    {Layout::FourUp, "4 up", "4up", "N4", "number-up=4"},
};
inline constexpr Setting<Layout> kLayouts{"layout", kLayoutRows, Layout::AutoZoom};

// The DUPLEX and BINDING lines.
inline constexpr SettingRow<Duplex> kDuplexRows[] = {
    {Duplex::OneSided, "1 Sided Print", "one-sided", "@PJL SET DUPLEX=OFF\n",
     "sides=one-sided"},
    {Duplex::LongEdge, "Long Edge Flip", "two-sided-long-edge",
     "@PJL SET DUPLEX=ON\n@PJL SET BINDING=LONGEDGE\n", "sides=two-sided-long-edge"},
    {Duplex::ShortEdge, "Short Edge Flip", "two-sided-short-edge",
     "@PJL SET DUPLEX=ON\n@PJL SET BINDING=SHORTEDGE\n", "sides=two-sided-short-edge"},
};
inline constexpr Setting<Duplex> kDuplexModes{"sides", kDuplexRows, Duplex::OneSided};

// @DIPQ keyword.
inline constexpr SettingRow<PrintMode> kPrintModeRows[] = {
    {PrintMode::Standard, "Standard", "normal", "STANDARD", "print-quality=4"},
    {PrintMode::HighSpeed, "High Speed", "draft", "SPEED", "print-quality=3"},
    {PrintMode::HighQuality, "High Quality", "high", "QUALITY2", "print-quality=5"},
};
inline constexpr Setting<PrintMode> kPrintModes{"print-quality", kPrintModeRows,
                                                PrintMode::Standard};

// PAPER keyword.
inline constexpr SettingRow<PaperSize> kPaperSizeRows[] = {
    {PaperSize::A4, "A4", "A4", "A4", "media=iso_a4_210x297mm"},
    {PaperSize::Auto, "Auto", "auto", "AUTO", ""},
};
inline constexpr Setting<PaperSize> kPaperSizes{"media", kPaperSizeRows, PaperSize::A4};

// The MEDIATYPE line, or nothing.
inline constexpr SettingRow<PaperType> kPaperTypeRows[] = {
    {PaperType::Plain, "Plain", "plain", "@PJL SET MEDIATYPE=NORMAL\n",
     "media-type=stationery"},
    {PaperType::PrinterSettings, "Printer Settings", "printer", "", ""},
};
inline constexpr Setting<PaperType> kPaperTypes{"media-type", kPaperTypeRows,
                                                PaperType::PrinterSettings};

// RENDERMODE keyword. The dialog's list is sorted: its texts stay in
// alphabetical order.
inline constexpr SettingRow<OutputColor> kOutputColorRows[] = {
    {OutputColor::Auto, "Auto", "auto", "AUTOCOLOR", ""},
    {OutputColor::Black, "Black", "monochrome", "GRAYSCALE", "print-color-mode=monochrome"},
};
inline constexpr Setting<OutputColor> kOutputColors{"print-color-mode", kOutputColorRows,
                                                    OutputColor::Auto};

// The COLLATE line and the copies line up to its number.
inline constexpr SettingRow<Collation> kCollationRows[] = {
    {Collation::Off, nullptr, "false", "@PJL SET COLLATE = OFF\n@PJL SET COPIES=",
     "multiple-document-handling=separate-documents-uncollated-copies"},
    {Collation::Collated, nullptr, "true", "@PJL SET COLLATE = COLLATENORMAL\n@PJL SET QTY =",
     "multiple-document-handling=separate-documents-collated-copies"},
};
inline constexpr Setting<Collation> kCollations{"collate", kCollationRows, Collation::Collated};

// The row of `value`; none for a number outside the list.
template <typename Value>
constexpr const SettingRow<Value>* RowOf(const Setting<Value>& setting, Value value) {
  const std::int32_t index = NumberOf(value);
  if (index < 0 || static_cast<std::size_t>(index) >= setting.rows.size()) return nullptr;
  return &setting.rows[static_cast<std::size_t>(index)];
}

// The row `value` is written as: its own, or the `otherwise` row's.
template <typename Value>
constexpr const SettingRow<Value>& WrittenRowOf(const Setting<Value>& setting, Value value) {
  const SettingRow<Value>* row = RowOf(setting, value);
  return *(row != nullptr ? row : RowOf(setting, setting.otherwise));
}

// What the header writes for `value`.
template <typename Value>
constexpr const char* PjlOf(const Setting<Value>& setting, Value value) {
  return WrittenRowOf(setting, value).pjl;
}

// What an IPP printer is sent for `value`.
template <typename Value>
constexpr const char* IppOf(const Setting<Value>& setting, Value value) {
  return WrittenRowOf(setting, value).ipp;
}

template <typename Value>
constexpr bool RowsInListOrder(const Setting<Value>& setting) {
  for (std::size_t i = 0; i < setting.rows.size(); ++i) {
    if (NumberOf(setting.rows[i].value) != static_cast<std::int32_t>(i)) return false;
  }
  return true;
}

static_assert(RowsInListOrder(kLayouts) && RowsInListOrder(kDuplexModes) &&
              RowsInListOrder(kPrintModes) && RowsInListOrder(kPaperSizes) &&
              RowsInListOrder(kPaperTypes) && RowsInListOrder(kOutputColors) &&
              RowsInListOrder(kCollations));

}  // namespace pagewire::settings
