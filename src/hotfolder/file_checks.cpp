#include "hotfolder/file_checks.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statfs.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cerrno>

namespace pagewire::hotfolder {
namespace {

bool SameText(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) ==
                  std::tolower(static_cast<unsigned char>(y));
         });
}

bool EndsWithText(std::string_view name, std::string_view suffix) {
  return name.size() >= suffix.size() && SameText(name.substr(name.size() - suffix.size()), suffix);
}

// From linux/magic.h: the network file systems.
constexpr std::array<unsigned long, 4> kNetworkFileSystems = {
    0x6969,      // NFS
    0xFF534D42,  // CIFS
    0xFE534D42,  // SMB2
    0x517B,      // SMB
};

}  // namespace

bool IsIgnoredName(std::string_view name) {
  if (name.empty() || name.front() == '.' || name.front() == '~') return true;
  if (EndsWithText(name, ".part") || EndsWithText(name, ".tmp")) return true;
  for (const std::string_view junk : {"Thumbs.db", "desktop.ini", ".DS_Store", "@eaDir"}) {
    if (SameText(name, junk)) return true;
  }
  return false;
}

int CountWaiting(const std::string& folder) {
  DIR* dir = opendir(folder.c_str());
  if (dir == nullptr) return 0;
  int count = 0;
  while (const dirent* entry = readdir(dir)) {
    struct stat info {};
    if (!IsIgnoredName(entry->d_name) &&
        fstatat(dirfd(dir), entry->d_name, &info, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(info.st_mode)) {
      ++count;
    }
  }
  closedir(dir);
  return count;
}

Kind KindOf(std::string_view bytes) {
  if (bytes.empty()) return Kind::Empty;
  if (bytes.starts_with("%PDF-")) return Kind::Pdf;
  if (bytes.starts_with(std::string_view("II*\0", 4)) || bytes.starts_with(std::string_view("MM\0*", 4))) {
    return Kind::Tiff;
  }
  return Kind::Other;
}

Writers WritersOf(int fd) {
  if (fcntl(fd, F_SETLEASE, F_RDLCK) == 0) {
    fcntl(fd, F_SETLEASE, F_UNLCK);
    return Writers::None;
  }
  return errno == EAGAIN ? Writers::Open : Writers::Unknown;
}

bool NeedsPolling(const std::string& folder) {
  struct statfs info {};
  if (statfs(folder.c_str(), &info) != 0) return true;
  const auto type = static_cast<unsigned long>(info.f_type) & 0xFFFFFFFFUL;
  return std::find(kNetworkFileSystems.begin(), kNetworkFileSystems.end(), type) !=
         kNetworkFileSystems.end();
}

}  // namespace pagewire::hotfolder
