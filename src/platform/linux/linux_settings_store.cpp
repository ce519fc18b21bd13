#include "platform/linux/linux_settings_store.h"

#include <fcntl.h>
#include <pwd.h>
#include <strings.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <optional>
#include <string_view>
#include <utility>

#include "settings/saved_settings_bits.h"
#include "settings/setting_tables.h"
#include "settings/setting_text.h"

namespace pagewire::platform {
namespace {

using Settings = settings::PrintJobSettings;
using Lines = std::vector<std::string>;

constexpr std::size_t kMaxFileSize = 1u << 20;
constexpr const char* kFileHeader = "# pagewire: the settings kept by --save";

// A setting chosen from a list: its -o key, the word of each choice (a
// choice's number is its word's place), its field as a number, and the
// field set from a word (false when no choice has it).
struct ChoiceKey {
  const char* key;
  std::vector<const char*> words;
  std::function<std::int32_t(const Settings&)> get;
  std::function<bool(Settings&, std::string_view)> setWord;
};

template <typename Value>
ChoiceKey KeyOf(const settings::Setting<Value>& setting, Value Settings::*field) {
  ChoiceKey key{setting.optionKey, {},
                [field](const Settings& s) { return settings::NumberOf(s.*field); },
                [&setting, field](Settings& s, std::string_view word) {
                  const settings::SettingRow<Value>* row = settings::RowOfOptionWord(setting, word);
                  if (row != nullptr) s.*field = row->value;
                  return row != nullptr;
                }};
  for (const settings::SettingRow<Value>& row : setting.rows) key.words.push_back(row.optionWord);
  return key;
}

const std::vector<ChoiceKey>& ChoiceKeys() {
  static const std::vector<ChoiceKey> keys = {
      KeyOf(settings::kCollations, &Settings::collate),
      KeyOf(settings::kDuplexModes, &Settings::duplexMode),
      KeyOf(settings::kPaperSizes, &Settings::paperSize),
      KeyOf(settings::kPaperTypes, &Settings::paperType),
      KeyOf(settings::kOutputColors, &Settings::outputColor),
      KeyOf(settings::kPrintModes, &Settings::printMode),
      KeyOf(settings::kLayouts, &Settings::layout),
  };
  return keys;
}

std::string_view Trim(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

struct Entry {
  std::string key;
  std::string value;
};

// A `key=value` line; none for comments, blank lines and other text.
std::optional<Entry> EntryOf(std::string_view line) {
  line = Trim(line);
  const std::size_t equals = line.find('=');
  if (line.empty() || line.front() == '#' || equals == std::string_view::npos) return std::nullopt;
  return Entry{std::string(Trim(line.substr(0, equals))), std::string(Trim(line.substr(equals + 1)))};
}

bool HasKey(std::string_view line, std::string_view key) {
  const auto entry = EntryOf(line);
  return entry && entry->key == key;
}

// 1 to 999 in decimal digits.
std::optional<std::int32_t> NumberOf(std::string_view text) {
  constexpr std::size_t kMaxDigits = 3;
  const auto number = settings::ParseDecimal(text, settings::kMaxNumber, kMaxDigits);
  if (!number || *number < settings::kMinNumber) return std::nullopt;
  return static_cast<std::int32_t>(*number);
}

// "all", "FROM-TO", "FROM-" (to the last page) or "PAGE".
bool ApplyPages(std::string_view text, Settings& s) {
  const settings::PageRangeText parsed = settings::ParsePageRange(text, NumberOf);
  if (parsed.fault != settings::PageRangeText::Fault::None) return false;
  s.selectPages = !parsed.range.all;
  if (parsed.range.all) return true;
  s.fromPage = parsed.range.from;
  s.toLastPage = !parsed.range.to;
  if (parsed.range.to) s.toPage = *parsed.range.to;
  return true;
}

std::string PagesText(const Settings& s) {
  if (!s.selectPages) return "all";
  const std::string from = std::to_string(s.fromPage) + "-";
  return s.toLastPage ? from : from + std::to_string(s.toPage);
}

// The bit-packed values the file held in its earlier form, in hex.
bool ApplyEarlierValue(const std::string& name, std::string_view hex, Settings& s) {
  constexpr std::pair<const char*, void (*)(std::uint32_t, Settings&)> kValues[] = {
      {"PrintMode", settings::UnpackPrintMode},
      {"Copies", settings::UnpackCopies},
      {"Pages", settings::UnpackPages}};
  hex = Trim(hex);
  if (hex.empty() || hex.size() > 8 || hex.find_first_not_of("0123456789abcdefABCDEF") != hex.npos) {
    return false;
  }
  for (const auto& [valueName, unpack] : kValues) {
    if (strcasecmp(name.c_str(), valueName) != 0) continue;
    unpack(static_cast<std::uint32_t>(std::stoul(std::string(hex), nullptr, 16)), s);
    return true;
  }
  return false;
}

// A section header or a typed value of the earlier form.
bool IsEarlierForm(std::string_view line) {
  const auto entry = EntryOf(line);
  if (!entry) return Trim(line).starts_with('[');
  const std::string_view value = entry->value;
  return value.starts_with("dword:") || value.starts_with("hex:") || value.starts_with("hex(");
}

// Applies a line that holds a print setting; false for any other line.
bool ApplyLine(std::string_view line, Settings& s) {
  const auto entry = EntryOf(line);
  if (!entry) return false;
  if (entry->value.starts_with("dword:")) {
    return ApplyEarlierValue(entry->key, std::string_view(entry->value).substr(6), s);
  }
  if (entry->key == "copies") {
    const auto copies = NumberOf(entry->value);
    if (copies) s.copies = *copies;
    return copies.has_value();
  }
  if (entry->key == "pages") return ApplyPages(entry->value, s);
  for (const ChoiceKey& choice : ChoiceKeys()) {
    if (entry->key == choice.key) return choice.setWord(s, entry->value);
  }
  return false;
}

bool IsPrintSettingLine(std::string_view line) {
  if (IsEarlierForm(line)) return true;
  const auto entry = EntryOf(line);
  if (!entry) return false;
  if (entry->key == "copies" || entry->key == "pages") return true;
  for (const ChoiceKey& choice : ChoiceKeys()) {
    if (entry->key == choice.key) return true;
  }
  return false;
}

// A setting whose value has no word (no list entry chosen) is left out.
Lines PrintSettingLines(const Settings& s) {
  Lines lines = {"copies=" + std::to_string(s.copies)};
  for (const ChoiceKey& choice : ChoiceKeys()) {
    const std::int32_t index = choice.get(s);
    if (index < 0 || static_cast<std::size_t>(index) >= choice.words.size()) continue;
    lines.push_back(std::string(choice.key) + "=" + choice.words[static_cast<std::size_t>(index)]);
  }
  lines.push_back("pages=" + PagesText(s));
  return lines;
}

std::string MacText(const settings::MacAddress& address) {
  char text[18];
  std::snprintf(text, sizeof text, "%02x:%02x:%02x:%02x:%02x:%02x", address[0], address[1],
                address[2], address[3], address[4], address[5]);
  return text;
}

// ----- the file

struct Contents {
  Lines lines;
  bool readOnly = false;  // the file cannot be read as it is: never written
};

Contents Read(const std::string& path) {
  Contents contents;
  if (path.empty()) {
    contents.readOnly = true;
    return contents;
  }
  // O_NONBLOCK: opening a FIFO put in the file's place must not hang.
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
  if (fd < 0) {
    contents.readOnly = errno != ENOENT;
    return contents;
  }
  std::string text;
  struct stat info {};
  bool ok = fstat(fd, &info) == 0 && S_ISREG(info.st_mode) &&
            static_cast<std::size_t>(info.st_size) <= kMaxFileSize;
  if (ok) {
    // One byte past the bound tells a file that grew since fstat.
    text.resize(kMaxFileSize + 1);
    std::size_t got = 0;
    while (ok && got < text.size()) {
      const ssize_t n = read(fd, text.data() + got, text.size() - got);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) {
        ok = n == 0;
        break;
      }
      got += static_cast<std::size_t>(n);
    }
    ok = ok && got <= kMaxFileSize;
    text.resize(got);
  }
  close(fd);
  if (!ok) {
    contents.readOnly = true;
    return contents;
  }
  for (std::string_view rest = text; !rest.empty();) {
    const std::size_t end = rest.find('\n');
    std::string_view line = rest.substr(0, end);
    rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    contents.lines.emplace_back(line);
  }
  return contents;
}

// The file a write replaces: the target of a symbolic link; empty when a
// link does not resolve.
std::string WriteTarget(const std::string& path) {
  struct stat info {};
  if (lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return path;
  char* resolved = realpath(path.c_str(), nullptr);
  if (resolved == nullptr) return {};
  std::string target = resolved;
  std::free(resolved);
  return target;
}

std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

bool Writable(const std::string& path, const Contents& contents) {
  if (contents.readOnly) return false;
  const std::string target = WriteTarget(path);
  if (target.empty()) return false;
  struct stat info {};
  if (stat(target.c_str(), &info) == 0) {
    // No write permission bit at all: read-only even to root.
    if ((info.st_mode & 0222) == 0) return false;
    if (faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0) return false;
  }
  // A folder still to be made is found out when it is made.
  const std::string folder = FolderOf(target);
  return stat(folder.c_str(), &info) != 0 ||
         faccessat(AT_FDCWD, folder.c_str(), W_OK | X_OK, AT_EACCESS) == 0;
}

bool MakeFolders(const std::string& folder) {
  for (std::size_t slash = folder.find('/', 1);; slash = folder.find('/', slash + 1)) {
    const std::string prefix = folder.substr(0, slash);
    if (mkdir(prefix.c_str(), 0700) != 0 && errno != EEXIST) return false;
    if (slash == std::string::npos) return true;
  }
}

bool WriteAll(int fd, std::string_view text) {
  while (!text.empty()) {
    const ssize_t n = write(fd, text.data(), text.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    text.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

// Holds an exclusive lock on the settings folder while it lives.
class FolderLock {
 public:
  explicit FolderLock(const std::string& folder)
      : fd_(open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {
    if (fd_ < 0) return;
    while (flock(fd_, LOCK_EX) != 0 && errno == EINTR) {
    }
  }
  ~FolderLock() {
    if (fd_ >= 0) close(fd_);
  }
  FolderLock(const FolderLock&) = delete;
  FolderLock& operator=(const FolderLock&) = delete;

  int Fd() const { return fd_; }

 private:
  int fd_;
};

bool Write(const std::string& target, int folderFd, const Lines& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\n";
  if (text.size() > kMaxFileSize) return false;
  std::string temp = target + ".XXXXXX";
  const int fd = mkostemp(temp.data(), O_CLOEXEC);
  if (fd < 0) return false;
  struct stat old {};
  bool ok = stat(target.c_str(), &old) != 0 || fchmod(fd, old.st_mode & 07777) == 0;
  ok = ok && WriteAll(fd, text) && fsync(fd) == 0;
  ok = close(fd) == 0 && ok;
  ok = ok && rename(temp.c_str(), target.c_str()) == 0;
  if (!ok) {
    unlink(temp.c_str());
    return false;
  }
  // The rename itself lasts once the folder is on disk.
  if (folderFd >= 0) fsync(folderFd);
  return true;
}

// Applies `edit` to the file's lines; true when the file then holds them.
// An edit that changes nothing writes nothing. Otherwise the file is read
// again under the folder's lock and edited, so that what another command
// wrote since is kept.
bool Change(const std::string& path, const std::function<void(Lines&)>& edit) {
  Lines now = Read(path).lines;
  const Lines before = now;
  edit(now);
  if (now == before) return true;
  const std::string target = WriteTarget(path);
  if (target.empty()) return false;
  const std::string folder = FolderOf(target);
  if (!MakeFolders(folder)) return false;
  const FolderLock lock(folder);
  Contents fresh = Read(path);
  if (!Writable(path, fresh)) return false;
  if (fresh.lines.empty()) fresh.lines.push_back(kFileHeader);
  edit(fresh.lines);
  return Write(target, lock.Fd(), fresh.lines);
}

std::string PasswordHome() {
  std::vector<char> buffer(16384);
  passwd entry{};
  passwd* found = nullptr;
  if (getpwuid_r(geteuid(), &entry, buffer.data(), buffer.size(), &found) != 0 ||
      found == nullptr || found->pw_dir == nullptr) {
    return {};
  }
  return found->pw_dir;
}

}  // namespace

LinuxSettingsStore::LinuxSettingsStore(std::string path) : path_(std::move(path)) {}

SavedPrintSettings LinuxSettingsStore::LoadPrintSettings(const Settings& defaults) {
  const Contents contents = Read(path_);
  SavedPrintSettings saved;
  saved.canSave = Writable(path_, contents);
  Settings s = defaults;
  bool found = false;
  for (const std::string& line : contents.lines) found = ApplyLine(line, s) || found;
  if (found) saved.settings = s;
  return saved;
}

std::vector<SettingsFileLine> LinuxSettingsStore::FileLines() const {
  std::vector<SettingsFileLine> lines;
  const Contents contents = Read(path_);
  for (std::size_t i = 0; i < contents.lines.size(); ++i) {
    const std::string_view text = Trim(contents.lines[i]);
    if (text.empty() || text.front() == '#') continue;
    SettingsFileLine line;
    line.number = static_cast<int>(i + 1);
    line.text = text;
    if (IsEarlierForm(text)) {
      line.kind = SettingsFileLine::Kind::EarlierForm;
    } else if (const auto entry = EntryOf(text)) {
      line.kind = SettingsFileLine::Kind::Value;
      line.key = entry->key;
      line.value = entry->value;
    }
    lines.push_back(std::move(line));
  }
  return lines;
}

bool LinuxSettingsStore::SaveSettingLines(const std::vector<std::string>& settingLines) {
  return Change(path_, [&settingLines](Lines& lines) {
    std::erase_if(lines, [](const std::string& line) { return IsPrintSettingLine(line); });
    lines.insert(lines.end(), settingLines.begin(), settingLines.end());
  });
}

bool LinuxSettingsStore::SavePrintSettings(const Settings& settings) {
  return Change(path_, [&settings](Lines& lines) {
    std::erase_if(lines, [](const std::string& line) { return IsPrintSettingLine(line); });
    for (std::string& line : PrintSettingLines(settings)) lines.push_back(std::move(line));
  });
}

void LinuxSettingsStore::ForgetPrintSettings() {
  Change(path_, [](Lines& lines) {
    std::erase_if(lines, [](const std::string& line) { return IsPrintSettingLine(line); });
  });
}

std::optional<settings::MacAddress> LinuxSettingsStore::LoadMacAddress() {
  std::optional<settings::MacAddress> address;
  for (const std::string& line : Read(path_).lines) {
    const auto entry = EntryOf(line);
    if (!entry || entry->key != "mac") continue;
    if (const auto given = settings::ParseMacAddress(entry->value)) address = given;
  }
  return address;
}

void LinuxSettingsStore::SaveMacAddress(const settings::MacAddress& address) {
  Change(path_, [&address](Lines& lines) {
    std::erase_if(lines, [](const std::string& line) { return HasKey(line, "mac"); });
    lines.push_back("mac=" + MacText(address));
  });
}

void LinuxSettingsStore::ForgetMacAddress() {
  Change(path_, [](Lines& lines) {
    std::erase_if(lines, [](const std::string& line) { return HasKey(line, "mac"); });
  });
}

std::string DefaultSettingsPath() {
  const char* config = std::getenv("XDG_CONFIG_HOME");
  if (config != nullptr && config[0] == '/') return std::string(config) + "/pagewire/settings";
  const char* homeVariable = std::getenv("HOME");
  const std::string home =
      homeVariable != nullptr && homeVariable[0] == '/' ? homeVariable : PasswordHome();
  if (home.empty()) return {};
  return home + "/.config/pagewire/settings";
}

}  // namespace pagewire::platform
