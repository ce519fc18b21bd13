#include "transport/ipp_attributes.h"

#include <algorithm>
#include <limits>
#include <string_view>

#include "settings/effective_settings.h"
#include "settings/setting_tables.h"

namespace pagewire::transport {
namespace {

using settings::PrintJobSettings;

constexpr std::int32_t kLastPage = std::numeric_limits<std::int32_t>::max();
// The printer's own behaviour when it lists no such attribute.
constexpr std::string_view kNeutral[] = {"sides=one-sided", "print-quality=4"};

IppJobAttribute Number(const char* name, IppSyntax syntax, std::int32_t value) {
  IppJobAttribute attribute;
  attribute.name = name;
  attribute.syntax = syntax;
  attribute.lower = value;
  return attribute;
}

// A table's "name=value": print-quality is an enum, number-up an integer,
// the others keywords. None for a choice left to the printer.
std::optional<IppJobAttribute> Parsed(std::string_view text) {
  if (text.empty()) return std::nullopt;
  const std::size_t equals = text.find('=');
  IppJobAttribute attribute;
  attribute.name = text.substr(0, equals);
  const std::string value(text.substr(equals + 1));
  if (attribute.name == "print-quality" || attribute.name == "number-up") {
    attribute.syntax = attribute.name == "number-up" ? IppSyntax::Integer : IppSyntax::Enum;
    attribute.lower = std::stoi(value);
  } else {
    attribute.keyword = value;
  }
  for (const std::string_view neutral : kNeutral) attribute.neutral |= text == neutral;
  return attribute;
}

}  // namespace

std::string IppJobAttribute::Text() const {
  switch (syntax) {
    case IppSyntax::Keyword:
      return name + "=" + keyword;
    case IppSyntax::Integer:
    case IppSyntax::Enum:
      return name + "=" + std::to_string(lower);
    case IppSyntax::Range:
      return name + "=" + std::to_string(lower) + "-" +
             (upper == kLastPage ? std::string() : std::to_string(upper));
    case IppSyntax::MediaCol:
      return name + "={" + (mediaSize.empty() ? "" : "media-size-name=" + mediaSize + " ") +
             "media-type=" + keyword + "}";
  }
  return name;
}

IppJobAttributes IppAttributesOf(const PrintJobSettings& settings, const IppChoices& choices) {
  using settings::IppOf;
  // Whether the setting `key` goes: chosen, and for a TIFF one that applies
  // to any document.
  auto chosen = [&choices](std::string_view key, bool anyDocument = false) {
    return (anyDocument || !choices.anyDocument) &&
           std::find(choices.keys.begin(), choices.keys.end(), key) != choices.keys.end();
  };
  // The table's IPP text of a chosen setting; "" for one not chosen.
  auto ippOf = [&chosen](std::string_view key, bool anyDocument, const auto& setting,
                         auto value) -> const char* {
    return chosen(key, anyDocument) ? IppOf(setting, value) : "";
  };
  IppJobAttributes job;
  const char* layout = ippOf("layout", false, settings::kLayouts, settings.layout);
  if (layout == nullptr) {
    job.refusal = "layout=booklet: IPP has no attribute for a booklet; choose another layout";
    return job;
  }
  std::vector<IppJobAttribute>& out = job.attributes;
  if (chosen("copies", true)) {
    IppJobAttribute copies = Number("copies", IppSyntax::Integer, settings.copies);
    copies.neutral = settings.copies == 1;
    out.push_back(copies);
  }
  if (chosen("collate", true) && settings.copies > 1) {
    out.push_back(*Parsed(IppOf(settings::kCollations, settings.collate)));
  }
  if (chosen("pages") && settings.selectPages) {
    IppJobAttribute pages = Number("page-ranges", IppSyntax::Range, settings.fromPage);
    pages.upper = settings.toLastPage ? kLastPage : settings.toPage;
    out.push_back(pages);
  }
  if (auto sides = Parsed(ippOf("sides", true, settings::kDuplexModes, settings.duplexMode))) {
    out.push_back(*sides);
  }
  // A sent 2-up or 4-up layout prints on the paper the header would give it.
  const bool nUp = *layout != '\0' && settings::IsNUp(settings.layout);
  std::optional<IppJobAttribute> media =
      Parsed(ippOf("media", true, settings::kPaperSizes,
                   nUp ? settings::PrintedPaperSize(settings) : settings.paperSize));
  if (chosen("media", true) && !nUp && !choices.mediaName.empty()) {
    media = Parsed("media=" + choices.mediaName);
  }
  if (auto type = Parsed(ippOf("media-type", true, settings::kPaperTypes, settings.paperType))) {
    type->name = "media-col";
    type->syntax = IppSyntax::MediaCol;
    if (media) type->mediaSize = media->keyword;
    media = type;
  }
  const char* color =
      ippOf("print-color-mode", true, settings::kOutputColors, settings.outputColor);
  const char* quality = ippOf("print-quality", false, settings::kPrintModes, settings.printMode);
  for (auto& attribute : {media, Parsed(color), Parsed(quality), Parsed(layout)}) {
    if (attribute) out.push_back(*attribute);
  }
  return job;
}

}  // namespace pagewire::transport
