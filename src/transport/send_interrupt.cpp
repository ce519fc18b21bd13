#include "transport/send_interrupt.h"

#include <fcntl.h>
#include <signal.h>
#include <string.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <type_traits>

namespace pagewire::transport {
namespace {

constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};

static_assert(std::is_same_v<sig_atomic_t, int>, "libcups' cancel flag is an int");
volatile sig_atomic_t interrupted = 0;
std::atomic<int> sends{0};
static_assert(std::atomic<int>::is_always_lock_free);
int wake[2] = {-1, -1};

void OnSignal(int signal) {
  if (sends.load() == 0 || interrupted != 0) {
    ::signal(signal, SIG_DFL);
    raise(signal);  // delivered once the handler returns
    return;
  }
  interrupted = signal;
  const int saved = errno;
  const char byte = 1;
  if (write(wake[1], &byte, 1) < 0) {
    // A full pipe is awake already.
  }
  errno = saved;
}

}  // namespace

void CatchSendInterrupts() {
  if (wake[0] >= 0 || pipe2(wake, O_CLOEXEC | O_NONBLOCK) != 0) return;
  struct sigaction action {};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  for (const int signal : kSignals) sigaddset(&action.sa_mask, signal);
  // No SA_RESTART: a blocked call returns, and its loop looks again.
  for (const int signal : kSignals) {
    struct sigaction previous {};
    // A signal ignored at the start (nohup) stays ignored.
    if (sigaction(signal, nullptr, &previous) == 0 && previous.sa_handler == SIG_IGN) continue;
    sigaction(signal, &action, nullptr);
  }
}

int SendInterruptSignal() { return interrupted; }

int SendInterruptFd() { return wake[0]; }

int* SendInterruptFlag() { return const_cast<int*>(&interrupted); }

std::string SendInterruptCause() {
  const int signal = interrupted;
  const char* name = signal != 0 ? sigabbrev_np(signal) : nullptr;
  return "interrupted by SIG" + std::string(name != nullptr ? name : "?") +
         ": the job is ended.";
}

std::string SendEndCause(const std::string& stallCause, const std::string& destinationCause) {
  if (SendInterruptSignal() != 0) return SendInterruptCause();
  return stallCause.empty() ? destinationCause : stallCause;
}

void ClearSendInterrupt() {
  char drained[16];
  while (wake[0] >= 0 && read(wake[0], drained, sizeof drained) > 0) {
  }
  interrupted = 0;
}

int PollUnlessInterrupted(pollfd& wait, int timeout) {
  if (interrupted != 0) {
    errno = EINTR;
    return -1;
  }
  pollfd waits[2] = {wait, {wake[0], POLLIN, 0}};
  const int ready = poll(waits, 2, timeout);
  wait.revents = waits[0].revents;
  if (ready > 0 && wait.revents == 0) {
    errno = EINTR;
    return -1;
  }
  return ready > 0 ? 1 : ready;
}

SendInProgress::SendInProgress() { ++sends; }

SendInProgress::~SendInProgress() { --sends; }

}  // namespace pagewire::transport
