#include "server/job_attributes.h"

#include <array>
#include <string_view>

#include "settings/setting_tables.h"
#include "settings/setting_text.h"

namespace pagewire::server {
namespace {

using settings::PrintJobSettings;

// Values IPP gives several names for that one row stands for: "auto" picks
// the row that leaves the choice to the printer.
struct Alias {
  std::string_view name, text, meant;
};
constexpr std::array<Alias, 4> kAliases = {{
    {"print-color-mode", "color", "auto"},
    {"print-scaling", "fit", "auto"},
    {"print-scaling", "auto-fit", "auto"},
    {"number-up", "1", "auto"},
}};

std::string_view Meant(std::string_view name, std::string_view text) {
  for (const Alias& alias : kAliases) {
    if (alias.name == name && alias.text == text) return alias.meant;
  }
  return text;
}

// The IPP attribute name a row's column gives, "" for none.
std::string_view IppName(const char* ipp) {
  if (ipp == nullptr) return {};
  const std::string_view text = ipp;
  const std::size_t equals = text.find('=');
  return equals == std::string_view::npos ? std::string_view{} : text.substr(0, equals);
}

template <typename Value>
bool NamesAttribute(const settings::Setting<Value>& setting, std::string_view name) {
  for (const auto& row : setting.rows) {
    if (IppName(row.ipp) == name) return true;
  }
  return false;
}

// Sets `field` from the row whose IPP column is NAME=TEXT; "auto" picks the
// row left to the printer. False when no row is.
template <typename Value>
bool FromTable(const settings::Setting<Value>& setting, std::string_view name,
               std::string_view text, Value& field) {
  if (!NamesAttribute(setting, name)) return false;
  const std::string wanted = std::string(name) + "=" + std::string(text);
  for (const auto& row : setting.rows) {
    if (row.ipp != nullptr && (row.ipp == wanted || (text == "auto" && *row.ipp == '\0'))) {
      field = row.value;
      return true;
    }
  }
  return false;
}

bool ApplyPageRange(std::string_view text, PrintJobSettings& s) {
  const std::size_t dash = text.find('-');
  if (dash == std::string_view::npos) return false;
  // A range's upper end runs to 2^31 - 1, which asks for the document's end.
  const auto from = settings::ParseDecimal(text.substr(0, dash), settings::kMaxNumber);
  const auto to = settings::ParseDecimal(text.substr(dash + 1), 2147483647);
  if (!from || !to || *from < settings::kMinNumber || *to < *from) return false;
  s.selectPages = true;
  s.fromPage = static_cast<std::int32_t>(*from);
  s.toLastPage = *to > settings::kMaxNumber;
  s.toPage = s.toLastPage ? s.fromPage : static_cast<std::int32_t>(*to);
  return true;
}

bool Apply(const IppValue& value, PrintJobSettings& s) {
  const std::string_view name = value.name;
  const std::string_view text = Meant(name, value.text);
  if (name == "copies") {
    const auto copies = settings::ParseDecimal(text, settings::kMaxNumber);
    if (!copies || *copies < settings::kMinNumber) return false;
    s.copies = static_cast<std::int32_t>(*copies);
    return true;
  }
  if (name == "page-ranges") return ApplyPageRange(text, s);
  // One page a sheet leaves a layout that is not N-up as it is; scaling to
  // fit leaves an N-up one, which scales its pages itself.
  if (name == "number-up" && text == "auto") {
    if (settings::IsNUp(s.layout)) s.layout = settings::Layout::AutoZoom;
    return true;
  }
  if (name == "print-scaling" && text == "auto" && settings::IsNUp(s.layout)) return true;
  return FromTable(settings::kCollations, name, text, s.collate) ||
         FromTable(settings::kDuplexModes, name, text, s.duplexMode) ||
         FromTable(settings::kPaperSizes, name, text, s.paperSize) ||
         FromTable(settings::kPaperTypes, name, text, s.paperType) ||
         FromTable(settings::kOutputColors, name, text, s.outputColor) ||
         FromTable(settings::kPrintModes, name, text, s.printMode) ||
         FromTable(settings::kLayouts, name, text, s.layout);
}

}  // namespace

bool IsSettingAttribute(const std::string& name) {
  return name == "copies" || name == "page-ranges" ||
         NamesAttribute(settings::kCollations, name) ||
         NamesAttribute(settings::kDuplexModes, name) ||
         NamesAttribute(settings::kPaperSizes, name) ||
         NamesAttribute(settings::kPaperTypes, name) ||
         NamesAttribute(settings::kOutputColors, name) ||
         NamesAttribute(settings::kPrintModes, name) || NamesAttribute(settings::kLayouts, name);
}

MappedSettings ApplyIppValues(const PrintJobSettings& base, std::span<const IppValue> values) {
  MappedSettings mapped{base, {}};
  for (const IppValue& value : values) {
    if (!IsSettingAttribute(value.name)) continue;
    if (!Apply(value, mapped.settings)) mapped.unmapped.push_back(value.name);
  }
  return mapped;
}

}  // namespace pagewire::server
