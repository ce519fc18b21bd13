#include "server/log_filter.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstring>
#include <thread>

namespace pagewire::server {
namespace {

// A line longer than this is cut into pieces; once a piece names the
// password, the rest of its line goes too.
constexpr std::size_t kMaxLine = 65536;
// A log file this long is renamed to FILE.O, as PAPPL rotates its own.
constexpr off_t kMaxLogSize = 1024 * 1024;

struct Destination {
  std::string path;  // empty: the standard error
  int fd = -1;
};

int OpenLog(const std::string& path) {
  return open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
}

void RotateIfLong(Destination& out) {
  struct stat info {};
  if (out.path.empty() || fstat(out.fd, &info) != 0 || info.st_size < kMaxLogSize) return;
  const std::string old = out.path + ".O";
  if (rename(out.path.c_str(), old.c_str()) != 0) return;
  const int fd = OpenLog(out.path);
  if (fd < 0) return;  // the renamed file takes the lines
  close(out.fd);
  out.fd = fd;
}

void WriteAll(int fd, const std::string& text) {
  std::size_t done = 0;
  while (done < text.size()) {
    const ssize_t wrote = write(fd, text.data() + done, text.size() - done);
    if (wrote < 0 && errno == EINTR) continue;
    if (wrote <= 0) return;
    done += static_cast<std::size_t>(wrote);
  }
}

void Copy(int in, Destination out) {
  std::array<char, 16384> buffer{};
  std::string line;
  bool dropping = false;  // the rest of a cut line that named the password
  for (;;) {
    const ssize_t got = read(in, buffer.data(), buffer.size());
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return;
    for (ssize_t i = 0; i < got; ++i) {
      line += buffer[static_cast<std::size_t>(i)];
      if (buffer[static_cast<std::size_t>(i)] != '\n' && line.size() < kMaxLine) continue;
      const bool ends = line.back() == '\n';
      dropping = dropping || NamesPassword(line);
      if (!dropping) WriteAll(out.fd, line);
      if (ends) dropping = false;
      line.clear();
    }
    RotateIfLong(out);
  }
}

}  // namespace

bool NamesPassword(const std::string& line) {
  return line.find("document-password") != std::string::npos;
}

bool StartLogFilter(const std::string& fifoPath, const std::string& destination,
                    std::string& error) {
  unlink(fifoPath.c_str());
  if (mkfifo(fifoPath.c_str(), 0600) != 0) {
    error = "cannot make " + fifoPath + ": " + std::strerror(errno);
    return false;
  }
  // Read and write: the FIFO never ends while PAPPL reopens it.
  const int in = open(fifoPath.c_str(), O_RDWR | O_CLOEXEC);
  Destination out{destination == "-" ? std::string() : destination, -1};
  out.fd = out.path.empty() ? dup(STDERR_FILENO) : OpenLog(out.path);
  if (in < 0 || out.fd < 0) {
    error = "cannot open the log " + (in < 0 ? fifoPath : destination) + ": " + std::strerror(errno);
    if (in >= 0) close(in);
    if (out.fd >= 0) close(out.fd);
    return false;
  }
  std::thread(Copy, in, out).detach();
  return true;
}

}  // namespace pagewire::server
