// SIGINT, SIGTERM and SIGHUP while a job is on its way to a printer. The
// handler only notes the signal and wakes a pipe; the send notices it and
// ends the job as a stall's --timeout does, so that the printer never takes
// a part of the job for the whole. Outside a send, and at a second signal,
// the signal does what it would have done without the handler.
#pragma once

#include <poll.h>

#include <string>

namespace pagewire::transport {

// Installs the handlers, once per process.
void CatchSendInterrupts();

// The signal that interrupted a send; 0 while none has.
int SendInterruptSignal();
// Readable once a send has been interrupted, for poll; -1 without the
// handlers.
int SendInterruptFd();
// Where libcups takes a flag that cancels a connect.
int* SendInterruptFlag();
// Why a job was ended: "interrupted by SIGINT: the job is ended."
std::string SendInterruptCause();
// Why a send failed: the interrupt, else the stall watch's cause where it
// gave up, else the destination's own.
std::string SendEndCause(const std::string& stallCause, const std::string& destinationCause);
// Forgets the interrupt, once it has been dealt with.
void ClearSendInterrupt();

// poll() on `wait` that an interrupt wakes too: 1 when ready, 0 after
// `timeout` milliseconds (-1: none), -1 with errno set, EINTR once
// interrupted.
int PollUnlessInterrupted(pollfd& wait, int timeout);

// While one lives, a job is on its way: the signals interrupt it instead of
// ending the program.
class SendInProgress {
 public:
  SendInProgress();
  ~SendInProgress();
  SendInProgress(const SendInProgress&) = delete;
  SendInProgress& operator=(const SendInProgress&) = delete;
};

}  // namespace pagewire::transport
