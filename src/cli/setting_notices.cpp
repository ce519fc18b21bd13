#include "cli/setting_notices.h"

#include <algorithm>

#include "settings/setting_tables.h"

namespace pagewire::cli {
namespace {

// The chosen setting `key` as "key=word"; empty when it was not chosen.
std::string ChosenLine(const SettingOverrides& chosen, const std::string& key) {
  const std::vector<std::string> lines = chosen.Lines();
  const auto line = std::find_if(lines.begin(), lines.end(), [&key](const std::string& l) {
    return l.starts_with(key + "=");
  });
  return line == lines.end() ? "" : *line;
}

}  // namespace

std::vector<std::string> OverriddenChoices(const SettingOverrides& chosen,
                                           const settings::PrintJobSettings& job, bool header) {
  using settings::Layout;
  std::vector<std::string> notices;
  const std::string layout = settings::WrittenRowOf(settings::kLayouts, job.layout).optionWord;
  const bool otherPaper =
      chosen.mediaName || (chosen.paperSize && *chosen.paperSize != settings::PaperSize::A4);
  if (settings::IsNUp(job.layout) && otherPaper) {
    notices.push_back(ChosenLine(chosen, "media") + " is overridden: " + layout +
                      " prints on A4" + (header ? " (PAPER=A4)" : " (media=iso_a4_210x297mm)"));
  } else if (header && chosen.mediaName) {
    notices.push_back(ChosenLine(chosen, "media") +
                      ": the PJL header has no such paper and says PAPER=" +
                      settings::PjlOf(settings::kPaperSizes, job.paperSize));
  }
  if (!header || job.layout != Layout::Booklet) return notices;
  const struct {
    bool overridden;
    const char* key;
    const char* rule;
  } bookletRules[] = {
      {chosen.duplexMode == settings::Duplex::OneSided, "sides",
       "a booklet prints on both sides (DUPLEX=ON)"},
      {chosen.paperType == settings::PaperType::PrinterSettings, "media-type",
       "a booklet prints on plain paper (MEDIATYPE=NORMAL)"},
      {chosen.pages && !chosen.pages->all, "pages", "a booklet prints every page"},
  };
  for (const auto& rule : bookletRules) {
    if (rule.overridden) {
      notices.push_back(ChosenLine(chosen, rule.key) + " is overridden: " + rule.rule);
    }
  }
  return notices;
}

}  // namespace pagewire::cli
