#include "job/file_error_message.h"

#include <array>

namespace pagewire::job {
namespace {

constexpr std::array<const char*, 15> kMessages = {
    "No error occurred.",
    "An unknown error occurred while accessing %1.",
    "%1 was not found.",
    "%1 contains an invalid path.",
    "%1 could not be opened because there are too many open files.",
    "Access to %1 was denied.",
    "An invalid file handle was associated with %1.",
    "%1 could not be removed because it is the current directory.",
    "%1 could not be created because the directory is full.",
    "Seek failed on %1",
    "A hardware I/O error was reported while accessing %1.",
    "A sharing violation occurred while accessing %1.",
    "A locking violation occurred while accessing %1.",
    "Disk full while accessing %1.",
    "An attempt was made to access %1 past its end.",
};

}  // namespace

std::string FileErrorMessage(platform::FileErrorCause cause, const std::string& path) {
  const auto index = static_cast<std::size_t>(cause);
  std::string text = index < kMessages.size() ? kMessages[index] : kMessages[1];
  const std::size_t at = text.find("%1");
  if (at != std::string::npos) text.replace(at, 2, path);
  return text;
}

}  // namespace pagewire::job
