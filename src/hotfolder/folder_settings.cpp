#include "hotfolder/folder_settings.h"

#include <array>
#include <cerrno>
#include <cstdlib>
#include <string_view>

#include "hotfolder/percent_text.h"

namespace pagewire::hotfolder {
namespace {

constexpr std::array<std::string_view, 9> kJobAttributes = {
    "copies",      "sides",     "media",         "print-color-mode",          "print-quality",
    "number-up",   "print-scaling", "page-ranges", "multiple-document-handling"};

bool ReadInt(const std::string& text, int low, int high, int& value) {
  char* end = nullptr;
  errno = 0;
  const long read = std::strtol(text.c_str(), &end, 10);
  if (text.empty() || *end != '\0' || errno != 0 || read < low || read > high) return false;
  value = static_cast<int>(read);
  return true;
}

}  // namespace

bool IsFolderJobAttribute(const std::string& name) {
  for (const std::string_view known : kJobAttributes) {
    if (name == known) return true;
  }
  return false;
}

bool SetFolderOption(FolderSettings& folder, const std::string& name, const std::string& value,
                     std::string& error) {
  auto bad = [&](const char* want) {
    error = "-o " + name + "=" + value + ": " + want;
    return false;
  };
  if (name == "path") {
    if (value.empty() || value.front() != '/') return bad("give the folder's absolute path");
    folder.path = value;
    while (folder.path.size() > 1 && folder.path.back() == '/') folder.path.pop_back();
  } else if (name == "printer") {
    folder.printer = value;
  } else if (name == "password-file") {
    if (!value.empty() && value.front() != '/') return bad("give the file's absolute path");
    folder.passwordFile = value;
  } else if (name == "allow-other-formats") {
    if (value != "true" && value != "false") return bad("give true or false");
    folder.allowOtherFormats = value == "true";
  } else if (name == "settle-time") {
    if (!ReadInt(value, 1, 3600, folder.settleSeconds)) return bad("give seconds, 1 to 3600");
  } else if (name == "claim-ahead") {
    if (!ReadInt(value, 1, 1000, folder.claimAhead)) return bad("give a number, 1 to 1000");
  } else if (name == "keep-days") {
    if (!ReadInt(value, 0, 36500, folder.keepDays)) return bad("give days, 0 keeps them");
  } else if (name == "user") {
    if (value.empty()) return bad("give a user name");
    folder.user = value;
  } else if (IsFolderJobAttribute(name)) {
    // print-quality as IPP sends it: its enum's number.
    std::string given = value;
    if (name == "print-quality") given = value == "draft" ? "3" : value == "normal" ? "4" : value == "high" ? "5" : value;
    for (auto& [known, text] : folder.job) {
      if (known == name) {
        text = given;
        return true;
      }
    }
    folder.job.emplace_back(name, given);
  } else {
    error = "-o " + name + ": no such folder setting";
    return false;
  }
  return true;
}

std::string FormatFolders(const std::vector<FolderSettings>& folders) {
  std::string text = "# pagewire-server hot folders: one per line\n";
  for (const FolderSettings& folder : folders) {
    std::vector<std::pair<std::string, std::string>> fields = {
        {"printer", folder.printer},
        {"path", folder.path},
        {"allow-other-formats", folder.allowOtherFormats ? "true" : "false"},
        {"settle-time", std::to_string(folder.settleSeconds)},
        {"claim-ahead", std::to_string(folder.claimAhead)},
        {"keep-days", std::to_string(folder.keepDays)},
        {"user", folder.user}};
    if (!folder.passwordFile.empty()) fields.emplace_back("password-file", folder.passwordFile);
    fields.insert(fields.end(), folder.job.begin(), folder.job.end());
    std::string line;
    for (const auto& [name, value] : fields) {
      line += (line.empty() ? "" : " ") + name + "=" + PercentEscaped(value, " =");
    }
    text += line + "\n";
  }
  return text;
}

bool ParseFolders(const std::string& text, std::vector<FolderSettings>& folders, std::string& error) {
  folders.clear();
  std::size_t start = 0;
  for (int number = 1; start < text.size(); ++number) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string_view line = std::string_view(text).substr(start, end - start);
    start = end + 1;
    if (line.empty() || line.front() == '#') continue;
    FolderSettings folder;
    while (!line.empty()) {
      const std::size_t space = line.find(' ');
      const std::string_view field = line.substr(0, space);
      line = space == std::string_view::npos ? std::string_view{} : line.substr(space + 1);
      const std::size_t equals = field.find('=');
      const std::optional<std::string> value =
          equals == std::string_view::npos ? std::nullopt : PercentUnescaped(field.substr(equals + 1));
      if (!value || !SetFolderOption(folder, std::string(field.substr(0, equals)), *value, error)) {
        error = "line " + std::to_string(number) + ": " + (error.empty() ? "unreadable" : error);
        return false;
      }
    }
    if (folder.printer.empty() || folder.path.empty()) {
      error = "line " + std::to_string(number) + ": a folder needs its printer and path";
      return false;
    }
    folders.push_back(std::move(folder));
  }
  return true;
}

std::string FoldersFileIn(const std::string& stateFolder) {
  return stateFolder + "/pagewire-server.folders";
}

}  // namespace pagewire::hotfolder
