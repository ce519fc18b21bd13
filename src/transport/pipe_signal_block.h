// libcups writes with plain send(), so a server that goes away mid-request
// raises SIGPIPE. A PipeSignalBlock blocks it on the calling thread for its
// lifetime and drops one that the calls raised.
#pragma once

#include <signal.h>

#include <cerrno>
#include <ctime>

namespace pagewire::transport {

class PipeSignalBlock {
 public:
  PipeSignalBlock() {
    sigemptyset(&pipe_);
    sigaddset(&pipe_, SIGPIPE);
    sigset_t pending;
    wasPending_ = sigpending(&pending) == 0 && sigismember(&pending, SIGPIPE) == 1;
    pthread_sigmask(SIG_BLOCK, &pipe_, &previous_);
  }
  ~PipeSignalBlock() {
    sigset_t pending;
    if (!wasPending_ && sigpending(&pending) == 0 && sigismember(&pending, SIGPIPE) == 1) {
      const timespec now{};
      while (sigtimedwait(&pipe_, nullptr, &now) < 0 && errno == EINTR) {
      }
    }
    pthread_sigmask(SIG_SETMASK, &previous_, nullptr);
  }
  PipeSignalBlock(const PipeSignalBlock&) = delete;
  PipeSignalBlock& operator=(const PipeSignalBlock&) = delete;

 private:
  sigset_t pipe_;
  sigset_t previous_;
  bool wasPending_ = false;
};

}  // namespace pagewire::transport
