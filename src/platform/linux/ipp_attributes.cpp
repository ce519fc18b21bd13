#include "platform/linux/ipp_attributes.h"

#include <limits>

namespace pagewire::platform {
namespace {

using settings::PrintJobSettings;

// Values outside a list are read as its first entry, as the header does.
template <std::size_t N>
const char* Pick(const char* const (&keywords)[N], std::int32_t index) {
  return index >= 0 && index < static_cast<std::int32_t>(N) ? keywords[index] : keywords[0];
}

// IPP's print-quality enum, by "Print Mode" list index: Standard, High
// Speed, High Quality.
constexpr std::int32_t kQualityNormal = 4;
constexpr std::int32_t kQualities[] = {kQualityNormal, 3, 5};
// By "2 Sided Print" list index.
constexpr const char* kSides[] = {"one-sided", "two-sided-long-edge", "two-sided-short-edge"};
constexpr const char* kMediaTypePlain = "stationery";
constexpr std::int32_t kLastPage = std::numeric_limits<std::int32_t>::max();

IppJobAttribute Keyword(const char* name, std::string keyword, bool neutral = false) {
  IppJobAttribute attribute;
  attribute.name = name;
  attribute.keyword = std::move(keyword);
  attribute.neutral = neutral;
  return attribute;
}

IppJobAttribute Number(const char* name, IppSyntax syntax, std::int32_t value, bool neutral) {
  IppJobAttribute attribute;
  attribute.name = name;
  attribute.syntax = syntax;
  attribute.lower = value;
  attribute.neutral = neutral;
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

IppJobAttributes IppAttributesOf(const PrintJobSettings& settings) {
  IppJobAttributes job;
  if (settings.layout == settings::kLayoutBooklet) {
    job.refusal = "layout=booklet: IPP has no attribute for a booklet; choose another layout";
    return job;
  }
  std::vector<IppJobAttribute>& out = job.attributes;
  out.push_back(Number("copies", IppSyntax::Integer, settings.copies, settings.copies == 1));
  if (settings.copies > 1) {
    out.push_back(Keyword("multiple-document-handling",
                          settings.collate != 0 ? "separate-documents-collated-copies"
                                                : "separate-documents-uncollated-copies"));
  }
  if (settings.selectPages != 0) {
    IppJobAttribute pages = Number("page-ranges", IppSyntax::Range, settings.fromPage, false);
    pages.upper = settings.toLastPage != 0 ? kLastPage : settings.toPage;
    out.push_back(pages);
  }
  const char* sides = Pick(kSides, settings.duplexMode);
  out.push_back(Keyword("sides", sides, sides == kSides[0]));

  // 2-up and 4-up print on A4 whatever the paper size says, as in the header.
  const bool a4 = settings.paperSize != 1 || settings.layout == settings::kLayout2Up ||
                  settings.layout == settings::kLayout4Up;
  if (settings.paperType != 1) {
    IppJobAttribute media = Keyword("media-col", kMediaTypePlain);
    media.syntax = IppSyntax::MediaCol;
    if (a4) media.mediaSize = kA4Name;
    out.push_back(media);
  } else if (a4) {
    out.push_back(Keyword("media", kA4Name));
  }
  if (settings.outputColor == 1) out.push_back(Keyword("print-color-mode", "monochrome"));
  const std::int32_t quality = kQualities[settings.printMode >= 0 && settings.printMode < 3
                                              ? settings.printMode
                                              : 0];
  out.push_back(Number("print-quality", IppSyntax::Enum, quality, quality == kQualityNormal));
  if (settings.layout == 1) out.push_back(Keyword("print-scaling", "none"));
  if (settings.layout == settings::kLayout2Up || settings.layout == settings::kLayout4Up) {
    out.push_back(Number("number-up", IppSyntax::Integer,
                         settings.layout == settings::kLayout2Up ? 2 : 4, false));
  }
  return job;
}

}  // namespace pagewire::platform
