// The job settings as IPP job attributes, from the IPP column of the
// settings tables: what an IPP printer is asked for where a raw printer
// reads the PJL header.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "settings/print_job_settings.h"

namespace pagewire::transport {

enum class IppSyntax { Keyword, Integer, Enum, Range, MediaCol };

struct IppJobAttribute {
  std::string name;  // "sides", "media-col", ...
  IppSyntax syntax = IppSyntax::Keyword;
  std::string keyword;            // Keyword; MediaCol: its media-type
  std::int32_t lower = 0;         // Integer, Enum; Range: the first
  std::int32_t upper = 0;         // Range: the last
  std::string mediaSize;          // MediaCol: the size's PWG name, empty for none
  // The printer's own behaviour when it has no such attribute (one copy,
  // one side, normal quality): left out for a printer that does not list it.
  bool neutral = false;

  // "sides=two-sided-long-edge", as a message names it.
  std::string Text() const;
};

// The attributes to send, or a refusal (a setting IPP cannot carry). Values
// that leave the choice to the printer ("Auto", "Printer Settings") send
// nothing.
struct IppJobAttributes {
  std::vector<IppJobAttribute> attributes;
  std::optional<std::string> refusal;
};

// The settings a job carries: those someone chose, on the command line or
// in the settings file; the others are left to the printer.
struct IppChoices {
  std::vector<std::string> keys;  // their -o keys: "copies", "sides", "pages", ...
  std::string mediaName;          // a chosen media beyond the paper sizes
  // A TIFF: only what applies to any document (copies, sides, media, colour).
  bool anyDocument = false;
};

IppJobAttributes IppAttributesOf(const settings::PrintJobSettings& settings,
                                 const IppChoices& choices);

// The A4 size in hundredths of millimetres, for media-col's media-size of a
// name that libcups does not know.
inline constexpr std::int32_t kA4Width = 21000;
inline constexpr std::int32_t kA4Height = 29700;

}  // namespace pagewire::transport
