#include "transport/ipp_job_wait.h"

#include <algorithm>
#include <thread>

#include "transport/pipe_signal_block.h"

namespace pagewire::transport {
namespace {

using Clock = std::chrono::steady_clock;

// How often a job is asked for its state.
constexpr std::chrono::milliseconds kPollInterval{1000};

// "a, b" of a 1setOf keyword; empty when absent.
std::string Joined(ipp_attribute_t* attribute) {
  std::string text;
  for (int i = 0; i < ippGetCount(attribute); ++i) {
    const char* value = ippGetString(attribute, i, nullptr);
    if (value == nullptr) continue;
    text += (text.empty() ? "" : ", ") + std::string(value);
  }
  return text;
}

// "aborted: aborted-by-system (Printer jammed.)": the state, its reasons and
// the printer's message.
std::string StateText(int state, ipp_t* response) {
  std::string text = ippEnumString("job-state", state);
  const std::string reasons =
      Joined(ippFindAttribute(response, "job-state-reasons", IPP_TAG_KEYWORD));
  if (!reasons.empty()) text += ": " + reasons;
  const char* message =
      ippGetString(ippFindAttribute(response, "job-state-message", IPP_TAG_TEXT), 0, nullptr);
  if (message != nullptr && *message != '\0') text += " (" + std::string(message) + ")";
  return text;
}

}  // namespace

std::string IppStatusText(ipp_t* response) {
  const ipp_status_t status = response != nullptr ? ippGetStatusCode(response) : cupsLastError();
  std::string text = ippErrorString(status);
  const char* message =
      response != nullptr
          ? ippGetString(ippFindAttribute(response, "status-message", IPP_TAG_TEXT), 0, nullptr)
          : cupsLastErrorString();
  if (message != nullptr && *message != '\0' && text != message) {
    text += ": " + std::string(message);
  }
  return text;
}

PrinterEnd AwaitIppJob(http_t* http, const IppJob& job, std::chrono::seconds limit,
                       const std::function<void(const std::string&)>& progress) {
  static const char* const kAsked[] = {"job-state", "job-state-reasons", "job-state-message",
                                       "job-impressions-completed"};
  const Clock::time_point deadline = Clock::now() + limit;
  int impressions = 0;
  std::string last = "not started";
  for (;;) {
    ipp_t* request = ippNewRequest(IPP_OP_GET_JOB_ATTRIBUTES);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr,
                 job.printerUri.c_str());
    ippAddInteger(request, IPP_TAG_OPERATION, IPP_TAG_INTEGER, "job-id", job.id);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr,
                 job.user.empty() ? cupsUser() : job.user.c_str());
    ippAddStrings(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes",
                  static_cast<int>(std::size(kAsked)), nullptr, kAsked);
    ipp_t* response = nullptr;
    {
      const PipeSignalBlock block;
      response = cupsDoRequest(http, request, job.resource.c_str());
    }
    if (response == nullptr || ippGetStatusCode(response) >= IPP_STATUS_REDIRECTION_OTHER_SITE) {
      PrinterEnd lost{false, "its state could not be read: " + IppStatusText(response)};
      ippDelete(response);
      return lost;
    }
    const int state = ippGetInteger(ippFindAttribute(response, "job-state", IPP_TAG_ENUM), 0);
    const int done = ippGetInteger(
        ippFindAttribute(response, "job-impressions-completed", IPP_TAG_INTEGER), 0);
    if (done > impressions && progress) {
      progress(std::to_string(done) + (done == 1 ? " impression" : " impressions") +
               " printed");
    }
    impressions = std::max(impressions, done);
    last = StateText(state, response);
    ippDelete(response);
    if (state >= IPP_JSTATE_CANCELED) {
      return PrinterEnd{state == IPP_JSTATE_COMPLETED, state == IPP_JSTATE_COMPLETED ? "" : last};
    }
    const Clock::time_point now = Clock::now();
    if (now >= deadline) {
      return PrinterEnd{false, "not finished after " + std::to_string(limit.count()) +
                                   " s (" + last + ")"};
    }
    std::this_thread::sleep_for(std::min<Clock::duration>(kPollInterval, deadline - now));
  }
}

PrinterEnd AwaitCupsJob(const std::string& queue, int job, std::chrono::seconds limit,
                        const std::function<void(const std::string&)>& progress) {
  char uri[HTTP_MAX_URI];
  httpAssembleURIf(HTTP_URI_CODING_ALL, uri, sizeof uri, "ipp", nullptr, "localhost", ippPort(),
                   "/printers/%s", queue.c_str());
  return AwaitIppJob(CUPS_HTTP_DEFAULT, IppJob{"/", uri, job, {}}, limit, progress);
}

}  // namespace pagewire::transport
