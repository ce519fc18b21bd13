#include "platform/linux/linux_settings_registry.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

namespace pagewire::platform {
namespace {

constexpr RegResult kRegInvalidHandle = 6;       // ERROR_INVALID_HANDLE
constexpr RegResult kRegInvalidParameter = 87;   // ERROR_INVALID_PARAMETER
constexpr RegResult kRegKeyDeleted = 1018;       // ERROR_KEY_DELETED
constexpr std::size_t kMaxFileSize = 1u << 20;

constexpr const char* kFileHeader =
    "# Pagewire settings: [registry key], then Name=dword:XXXXXXXX or Name=hex:bb,bb,...\n";

struct Value {
  std::string name;
  std::uint32_t type = 0;
  std::vector<std::uint8_t> data;
};

// A value, or a comment, blank or unparsed line kept as it was.
struct Line {
  std::string raw;
  std::optional<Value> value;
};

// A key's lines; unnamed for the lines before the first key and for those
// under a header that does not parse, which no lookup finds.
struct Section {
  std::string name;
  bool named = false;
  std::vector<Line> lines;
};

struct Store {
  std::vector<Section> sections;  // the first holds the lines before any key
  bool readOnly = false;
};

char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
  }
  return true;
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

bool IsControl(char c) {
  const auto u = static_cast<unsigned char>(c);
  return u < 0x20 || u == 0x7F;
}

std::string_view Trim(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

bool ValidKeyPath(std::string_view path) {
  if (path.empty() || path.front() == '\\' || path.back() == '\\') return false;
  if (path.find("\\\\") != std::string_view::npos) return false;
  for (char c : path) {
    if (IsControl(c)) return false;
  }
  return true;
}

bool ValidValueName(std::string_view name) {
  if (name.empty() || Trim(name).size() != name.size()) return false;
  if (name.front() == '#' || name.front() == ';' || name.front() == '[') return false;
  for (char c : name) {
    if (IsControl(c) || c == '=') return false;
  }
  return true;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  c = LowerAscii(c);
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// One to `maxDigits` hex digits and nothing else.
std::optional<std::uint32_t> ParseHex(std::string_view text, std::size_t maxDigits) {
  if (text.empty() || text.size() > maxDigits) return std::nullopt;
  std::uint32_t value = 0;
  for (char c : text) {
    const int digit = HexDigit(c);
    if (digit < 0) return std::nullopt;
    value = value << 4 | static_cast<std::uint32_t>(digit);
  }
  return value;
}

// "bb,bb,..." with blanks allowed around each byte; empty is no bytes.
std::optional<std::vector<std::uint8_t>> ParseBytes(std::string_view text) {
  std::vector<std::uint8_t> bytes;
  text = Trim(text);
  if (text.empty()) return bytes;
  while (true) {
    const std::size_t comma = text.find(',');
    const auto byte = ParseHex(Trim(text.substr(0, comma)), 2);
    if (!byte) return std::nullopt;
    bytes.push_back(static_cast<std::uint8_t>(*byte));
    if (comma == std::string_view::npos) return bytes;
    text.remove_prefix(comma + 1);
  }
}

std::optional<Value> ParseData(std::string_view text) {
  Value value;
  if (text.starts_with("dword:")) {
    const auto number = ParseHex(Trim(text.substr(6)), 8);
    if (!number) return std::nullopt;
    value.type = kRegDword;
    for (int shift = 0; shift < 32; shift += 8) {
      value.data.push_back(static_cast<std::uint8_t>(*number >> shift));
    }
    return value;
  }
  if (text.starts_with("hex:")) {
    value.type = kRegBinary;
    text.remove_prefix(4);
  } else if (text.starts_with("hex(")) {
    const std::size_t close = text.find("):");
    const auto type = close == std::string_view::npos ? std::nullopt
                                                       : ParseHex(text.substr(4, close - 4), 8);
    if (!type) return std::nullopt;
    value.type = *type;
    text.remove_prefix(close + 2);
  } else {
    return std::nullopt;
  }
  auto bytes = ParseBytes(text);
  if (!bytes) return std::nullopt;
  value.data = std::move(*bytes);
  return value;
}

std::string FormatValue(const Value& value) {
  char buffer[32];
  std::string line = value.name + "=";
  if (value.type == kRegDword && value.data.size() == 4) {
    std::uint32_t number = 0;
    for (int i = 3; i >= 0; --i) number = number << 8 | value.data[static_cast<std::size_t>(i)];
    std::snprintf(buffer, sizeof buffer, "dword:%08x", number);
    return line + buffer;
  }
  if (value.type == kRegBinary) {
    line += "hex:";
  } else {
    std::snprintf(buffer, sizeof buffer, "hex(%x):", value.type);
    line += buffer;
  }
  for (std::size_t i = 0; i < value.data.size(); ++i) {
    std::snprintf(buffer, sizeof buffer, i == 0 ? "%02x" : ",%02x", value.data[i]);
    line += buffer;
  }
  return line;
}

Section* FindSection(Store& store, std::string_view key) {
  for (Section& section : store.sections) {
    if (section.named && SameName(section.name, key)) return &section;
  }
  return nullptr;
}

Value* FindValue(Section& section, std::string_view name) {
  for (Line& line : section.lines) {
    if (line.value && SameName(line.value->name, name)) return &*line.value;
  }
  return nullptr;
}

void PutValue(Section& section, Value value) {
  if (Value* old = FindValue(section, value.name)) {
    old->type = value.type;
    old->data = std::move(value.data);
  } else {
    section.lines.push_back(Line{{}, std::move(value)});
  }
}

bool HasSubkeys(const Store& store, std::string_view key) {
  for (const Section& section : store.sections) {
    const std::string_view name = section.name;
    if (section.named && name.size() > key.size() && name[key.size()] == '\\' &&
        SameName(name.substr(0, key.size()), key)) {
      return true;
    }
  }
  return false;
}

bool KeyExists(Store& store, std::string_view key) {
  return FindSection(store, key) != nullptr || HasSubkeys(store, key);
}

void ParseLine(Store& store, std::size_t& current, std::string_view line) {
  const std::string_view text = Trim(line);
  if (text.size() >= 2 && text.front() == '[' && text.back() == ']') {
    const std::string_view name = text.substr(1, text.size() - 2);
    if (!ValidKeyPath(name)) {
      store.sections.push_back(Section{{}, false, {Line{std::string(line), {}}}});
      current = store.sections.size() - 1;
      return;
    }
    for (current = 0; current < store.sections.size(); ++current) {
      if (store.sections[current].named && SameName(store.sections[current].name, name)) return;
    }
    store.sections.push_back(Section{std::string(name), true, {}});
    return;
  }
  Section& section = store.sections[current];
  const std::size_t equals = text.find('=');
  if (section.named && equals != std::string_view::npos) {
    const std::string_view name = Trim(text.substr(0, equals));
    auto value = ParseData(Trim(text.substr(equals + 1)));
    if (value && ValidValueName(name)) {
      value->name = std::string(name);
      PutValue(section, std::move(*value));
      return;
    }
  }
  section.lines.push_back(Line{std::string(line), {}});
}

Store ParseText(std::string_view text) {
  Store store;
  store.sections.emplace_back();
  std::size_t current = 0;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    ParseLine(store, current, line);
  }
  return store;
}

std::string Render(const Store& store) {
  std::string out;
  if (store.sections.front().lines.empty()) out = kFileHeader;
  for (const Section& section : store.sections) {
    if (section.named) {
      if (!out.empty() && !out.ends_with("\n\n")) out += '\n';
      out += '[' + section.name + "]\n";
    }
    for (const Line& line : section.lines) {
      out += line.value ? FormatValue(*line.value) : line.raw;
      out += '\n';
    }
  }
  return out;
}

Store Load(const std::string& path) {
  Store empty = ParseText({});
  if (path.empty()) {
    empty.readOnly = true;
    return empty;
  }
  // O_NONBLOCK: opening a FIFO put in the file's place must not hang.
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
  if (fd < 0) {
    empty.readOnly = errno != ENOENT;
    return empty;
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
    empty.readOnly = true;
    return empty;
  }
  return ParseText(text);
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

bool Writable(const std::string& path, const Store& store) {
  if (store.readOnly) return false;
  const std::string target = WriteTarget(path);
  if (target.empty()) return false;
  struct stat info {};
  if (stat(target.c_str(), &info) == 0) {
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

// Holds an exclusive lock on the settings folder while it lives, so that
// two commands that change the file at once each keep the other's change.
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

RegResult Save(const std::string& target, int folderFd, const Store& store) {
  const std::string text = Render(store);
  if (text.size() > kMaxFileSize) return kRegInvalidParameter;
  std::string temp = target + ".XXXXXX";
  const int fd = mkostemp(temp.data(), O_CLOEXEC);
  if (fd < 0) return kRegAccessDenied;
  struct stat old {};
  bool ok = stat(target.c_str(), &old) != 0 || fchmod(fd, old.st_mode & 07777) == 0;
  ok = ok && WriteAll(fd, text) && fsync(fd) == 0;
  ok = close(fd) == 0 && ok;
  ok = ok && rename(temp.c_str(), target.c_str()) == 0;
  if (!ok) {
    unlink(temp.c_str());
    return kRegAccessDenied;
  }
  // The rename itself lasts once the folder is on disk.
  if (folderFd >= 0) fsync(folderFd);
  return kRegSuccess;
}

// Reads the file afresh under the folder's lock, applies `change` and
// writes the result in the file's place: what another command wrote since
// this one last read is kept. A change that returns a failure writes
// nothing.
template <typename Change>
RegResult Rewrite(const std::string& path, Change change) {
  const std::string target = WriteTarget(path);
  if (target.empty()) return kRegAccessDenied;
  const std::string folder = FolderOf(target);
  if (!MakeFolders(folder)) return kRegAccessDenied;
  const FolderLock lock(folder);
  Store store = Load(path);
  if (!Writable(path, store)) return kRegAccessDenied;
  if (const RegResult result = change(store); result != kRegSuccess) return result;
  return Save(target, lock.Fd(), store);
}

// Whether `key` or a key below it is one of `created`.
bool CreatedAtOrBelow(const std::vector<std::string>& created, std::string_view key) {
  return std::any_of(created.begin(), created.end(), [&](const std::string& each) {
    const std::string_view name = each;
    return name.size() >= key.size() && SameName(name.substr(0, key.size()), key) &&
           (name.size() == key.size() || name[key.size()] == '\\');
  });
}

// A key of the file, or one made here that has no values yet.
bool Exists(Store& store, const std::vector<std::string>& created, std::string_view key) {
  return KeyExists(store, key) || CreatedAtOrBelow(created, key);
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

LinuxSettingsRegistry::LinuxSettingsRegistry(std::string path) : path_(std::move(path)) {}

RegKey LinuxSettingsRegistry::Open(const std::string& subKey, RegAccess access) {
  const RegKey key = next_++;
  open_[key] = OpenKeyState{subKey, access};
  return key;
}

RegResult LinuxSettingsRegistry::OpenKey(const std::string& subKey, RegAccess access,
                                         RegKey& key) {
  key = 0;
  if (!ValidKeyPath(subKey)) return kRegInvalidParameter;
  Store store = Load(path_);
  if (!Exists(store, created_, subKey)) return kRegFileNotFound;
  if (access == RegAccess::AllAccess && !Writable(path_, store)) return kRegAccessDenied;
  key = Open(subKey, access);
  return kRegSuccess;
}

RegResult LinuxSettingsRegistry::CreateKey(const std::string& subKey, RegAccess access,
                                           RegKey& key) {
  key = 0;
  if (!ValidKeyPath(subKey)) return kRegInvalidParameter;
  Store store = Load(path_);
  const bool exists = Exists(store, created_, subKey);
  if ((!exists || access == RegAccess::AllAccess) && !Writable(path_, store)) {
    return kRegAccessDenied;
  }
  // A new key reaches the file with its first value.
  if (!exists) created_.push_back(subKey);
  key = Open(subKey, access);
  return kRegSuccess;
}

RegResult LinuxSettingsRegistry::QueryValue(RegKey key, const std::string& name,
                                            std::uint32_t* type, std::uint8_t* data,
                                            std::uint32_t& size) {
  const auto open = open_.find(key);
  if (open == open_.end()) return kRegInvalidHandle;
  Store store = Load(path_);
  if (!Exists(store, created_, open->second.path)) return kRegKeyDeleted;
  Section* section = FindSection(store, open->second.path);
  const Value* value = section != nullptr ? FindValue(*section, name) : nullptr;
  if (value == nullptr) return kRegFileNotFound;
  if (type != nullptr) *type = value->type;
  const auto needed = static_cast<std::uint32_t>(value->data.size());
  const bool fits = needed <= size;
  size = needed;
  if (data == nullptr) return kRegSuccess;  // a size query
  if (!fits) return kRegMoreData;
  std::copy(value->data.begin(), value->data.end(), data);
  return kRegSuccess;
}

RegResult LinuxSettingsRegistry::SetValue(RegKey key, const std::string& name,
                                          std::uint32_t type, const std::uint8_t* data,
                                          std::uint32_t size) {
  const auto open = open_.find(key);
  if (open == open_.end()) return kRegInvalidHandle;
  if (open->second.access == RegAccess::Read) return kRegAccessDenied;
  if (!ValidValueName(name) || (data == nullptr && size != 0)) return kRegInvalidParameter;
  const std::string& path = open->second.path;
  Store store = Load(path_);
  if (!Exists(store, created_, path)) return kRegKeyDeleted;
  if (!Writable(path_, store)) return kRegAccessDenied;
  Value value{name, type, std::vector<std::uint8_t>(data, data + size)};
  // Writing the value a key already holds changes nothing: the file stays.
  if (Section* section = FindSection(store, path)) {
    const Value* old = FindValue(*section, name);
    if (old != nullptr && old->type == value.type && old->data == value.data) return kRegSuccess;
  }
  return Rewrite(path_, [&](Store& fresh) {
    if (!Exists(fresh, created_, path)) return kRegKeyDeleted;
    Section* section = FindSection(fresh, path);
    if (section == nullptr) {
      fresh.sections.push_back(Section{path, true, {}});
      section = &fresh.sections.back();
    }
    PutValue(*section, std::move(value));
    return kRegSuccess;
  });
}

RegResult LinuxSettingsRegistry::DeleteKey(const std::string& subKey) {
  if (!ValidKeyPath(subKey)) return kRegInvalidParameter;
  Store store = Load(path_);
  if (!Exists(store, created_, subKey)) return kRegFileNotFound;
  const auto created = std::find_if(created_.begin(), created_.end(), [&](const std::string& k) {
    return SameName(k, subKey);
  });
  const bool createdHere = created != created_.end();
  if (createdHere) created_.erase(created);
  if (HasSubkeys(store, subKey) || CreatedAtOrBelow(created_, subKey)) {
    if (createdHere) created_.push_back(subKey);
    return kRegAccessDenied;
  }
  // A key this instance made is only its own: the section another command
  // has written under that name since stays.
  if (createdHere) return kRegSuccess;
  if (!Writable(path_, store)) return kRegAccessDenied;
  return Rewrite(path_, [&](Store& fresh) {
    if (!KeyExists(fresh, subKey)) return kRegFileNotFound;
    if (HasSubkeys(fresh, subKey)) return kRegAccessDenied;
    std::erase_if(fresh.sections, [&](const Section& section) {
      return section.named && SameName(section.name, subKey);
    });
    return kRegSuccess;
  });
}

void LinuxSettingsRegistry::CloseKey(RegKey key) { open_.erase(key); }

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
