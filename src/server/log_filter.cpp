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

// A line longer than this is cut into pieces, each checked on its own.
constexpr std::size_t kMaxLine = 65536;

void WriteAll(int fd, const std::string& text) {
  std::size_t done = 0;
  while (done < text.size()) {
    const ssize_t wrote = write(fd, text.data() + done, text.size() - done);
    if (wrote < 0 && errno == EINTR) continue;
    if (wrote <= 0) return;
    done += static_cast<std::size_t>(wrote);
  }
}

void Copy(int in, int out) {
  std::array<char, 16384> buffer{};
  std::string line;
  for (;;) {
    const ssize_t got = read(in, buffer.data(), buffer.size());
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return;
    for (ssize_t i = 0; i < got; ++i) {
      line += buffer[static_cast<std::size_t>(i)];
      if (buffer[static_cast<std::size_t>(i)] != '\n' && line.size() < kMaxLine) continue;
      if (!NamesPassword(line)) WriteAll(out, line);
      line.clear();
    }
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
  const int out = destination == "-"
                      ? dup(STDERR_FILENO)
                      : open(destination.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
  if (in < 0 || out < 0) {
    error = "cannot open the log " + (in < 0 ? fifoPath : destination) + ": " + std::strerror(errno);
    if (in >= 0) close(in);
    if (out >= 0) close(out);
    return false;
  }
  std::thread(Copy, in, out).detach();
  return true;
}

}  // namespace pagewire::server
