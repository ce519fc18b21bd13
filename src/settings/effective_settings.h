// What a job's settings come to at the printer, where one setting overrides
// another. The PJL header and the IPP attributes both follow these rules.
#pragma once

#include "settings/print_job_settings.h"

namespace pagewire::settings {

// 2-up and 4-up print on A4 whatever the paper size says.
constexpr PaperSize PrintedPaperSize(const PrintJobSettings& s) {
  return IsNUp(s.layout) ? PaperSize::A4 : s.paperSize;
}

// A booklet prints on both sides, long edge unless short edge was chosen.
constexpr Duplex PrintedDuplex(const PrintJobSettings& s) {
  const bool twoSided = s.duplexMode == Duplex::LongEdge || s.duplexMode == Duplex::ShortEdge;
  return s.layout == Layout::Booklet && !twoSided ? Duplex::LongEdge : s.duplexMode;
}

// A booklet is printed on plain paper.
constexpr PaperType PrintedPaperType(const PrintJobSettings& s) {
  return s.layout == Layout::Booklet ? PaperType::Plain : s.paperType;
}

// A booklet prints every page: its page order needs them all.
constexpr bool PrintsPageRange(const PrintJobSettings& s) {
  return s.selectPages && s.layout != Layout::Booklet;
}

}  // namespace pagewire::settings
