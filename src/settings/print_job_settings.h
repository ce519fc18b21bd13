// The job settings record: what the "PDF File Print" dialog edits, what the
// saved settings hold and what the PJL header is written from.
#pragma once

#include <cstdint>

namespace pagewire::settings {

struct PrintJobSettings {
  std::int32_t toLastPage = 0;
  std::int32_t selectPages = 0;
  std::int32_t paperType = 0;
  std::int32_t copies = 1;
  std::int32_t paperSize = 0;
  std::int32_t duplexMode = 0;
  std::int32_t printMode = 0;
  std::int32_t fromPage = 1;
  std::int32_t toPage = 1;
  std::int32_t outputColor = 0;
  std::int32_t layout = 0;
  std::int32_t collate = 0;

  bool operator==(const PrintJobSettings&) const = default;
};

// Layout list indexes with rules of their own.
inline constexpr std::int32_t kLayoutBooklet = 2;
inline constexpr std::int32_t kLayout2Up = 3;
inline constexpr std::int32_t kLayout4Up = 4;

}  // namespace pagewire::settings
