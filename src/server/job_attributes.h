// A job's IPP attributes read back into the job settings record through the
// IPP column of the settings tables: the service takes what an IPP client
// asks for and writes the PJL header from it.
#pragma once

#include <span>
#include <string>
#include <vector>

#include "settings/print_job_settings.h"

namespace pagewire::server {

// One attribute as text: a keyword, an integer or enum as its decimal
// number, a range as "LOWER-UPPER". media-col comes as its members, media
// (the size's PWG name) and media-type.
struct IppValue {
  std::string name;
  std::string text;
};

struct MappedSettings {
  settings::PrintJobSettings settings;
  // The attributes whose value the header cannot carry; the settings keep
  // what they had for them.
  std::vector<std::string> unmapped;
};

// True for the attributes the settings are read from.
bool IsSettingAttribute(const std::string& name);

// `base` (the printer's defaults) with each value applied in order.
MappedSettings ApplyIppValues(const settings::PrintJobSettings& base,
                              std::span<const IppValue> values);

}  // namespace pagewire::server
