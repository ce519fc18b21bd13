#include "cli/file_messages.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>

#include "cli/cli_options.h"

namespace pagewire::cli {
namespace {

// The errno value each cause stands for; the output's failures and the
// files' are told in the system's words.
int ErrnoOf(platform::FileErrorCause cause) {
  using platform::FileErrorCause;
  switch (cause) {
    case FileErrorCause::FileNotFound: return ENOENT;
    case FileErrorCause::BadPath: return ENOTDIR;
    case FileErrorCause::TooManyOpenFiles: return EMFILE;
    case FileErrorCause::AccessDenied: return EACCES;
    case FileErrorCause::InvalidFile: return EBADF;
    case FileErrorCause::RemoveCurrentDir:
    case FileErrorCause::SharingViolation: return EBUSY;
    case FileErrorCause::DirectoryFull:
    case FileErrorCause::DiskFull: return ENOSPC;
    case FileErrorCause::BadSeek: return ESPIPE;
    case FileErrorCause::HardIo: return EIO;
    case FileErrorCause::LockViolation: return EAGAIN;
    case FileErrorCause::None:
    case FileErrorCause::Generic:
    case FileErrorCause::EndOfFile: break;
  }
  return 0;
}

std::string LookUpFailure(const std::string& path) {
  struct stat info {};
  if (stat(path.c_str(), &info) != 0) return std::strerror(errno);
  return "it could not be looked up";  // it appeared meanwhile
}

}  // namespace

std::string FileLabel(const std::string& path) {
  return path == kStandardInputPath ? "(stdin)" : path;
}

std::string CommandFileError(platform::FileRole role, platform::FileErrorCause cause,
                             const std::string& path) {
  const std::string name = role == platform::FileRole::Written && path == "-"
                               ? std::string("standard output")
                               : FileLabel(path);
  // A read that ends before the size the job announced, or goes past it.
  if (cause == platform::FileErrorCause::EndOfFile) {
    return name + ": the file changed while it was sent";
  }
  const int error = ErrnoOf(cause);
  return name + ": " + (error != 0 ? std::strerror(error) : "an unknown error occurred");
}

std::optional<std::string> CommandFileMessage(platform::FileNotice notice, const std::string& path,
                                              const std::string& text) {
  switch (notice) {
    // A double quote is a byte like others in a Linux name: the path is
    // looked up as it is, and a file found there is printed.
    case platform::FileNotice::QuoteInPath: return std::nullopt;
    case platform::FileNotice::NotFound: return FileLabel(path) + ": " + LookUpFailure(path);
    // Standard input has no name to take a kind from.
    case platform::FileNotice::ClassedByContent:
      if (path == kStandardInputPath) return std::nullopt;
      return text;
    case platform::FileNotice::ForbidsPrinting:
      return path + ": the PDF's permissions forbid printing it.";
    case platform::FileNotice::Told: break;
  }
  return FileLabel(path) + ": " + text;
}

}  // namespace pagewire::cli
