#include "transport/pjl_job_status.h"

#include <charconv>
#include <vector>

namespace pagewire::transport {
namespace {

// A message longer than this is no status message: it is dropped.
constexpr std::size_t kMaxMessage = 4096;
constexpr std::string_view kUel = "\x1b%-12345X";

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\r' || text.front() == '\n')) {
    text.remove_prefix(1);
  }
  while (!text.empty() && (text.back() == ' ' || text.back() == '\r' || text.back() == '\n')) {
    text.remove_suffix(1);
  }
  return text;
}

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// Equal but for the case of ASCII letters.
bool SameWords(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (Lower(a[i]) != Lower(b[i])) return false;
  }
  return true;
}

}  // namespace

std::string PjlJobOpening(std::string_view name) {
  return std::string(kUel) + "@PJL\r\n@PJL USTATUS JOB = ON\r\n@PJL JOB NAME = \"" +
         std::string(name) + "\"\r\n";
}

std::string PjlJobClosing(std::string_view name) {
  return std::string(kUel) + "@PJL\r\n@PJL EOJ NAME = \"" + std::string(name) + "\"\r\n" +
         std::string(kUel);
}

bool PjlJobStatus::Take(std::string_view bytes) {
  for (const char c : bytes) {
    if (ended_) break;
    if (c != '\f') {
      if (pending_.size() < kMaxMessage) pending_ += c;
      continue;
    }
    if (pending_.size() < kMaxMessage) Read(pending_);
    pending_.clear();
  }
  return ended_;
}

// "@PJL USTATUS JOB", the event, then KEY=VALUE lines.
void PjlJobStatus::Read(std::string_view message) {
  std::vector<std::string_view> lines;
  message = Trimmed(message);
  while (!message.empty()) {
    const std::size_t end = message.find('\n');
    lines.push_back(Trimmed(message.substr(0, end)));
    message = end == std::string_view::npos ? std::string_view() : message.substr(end + 1);
  }
  if (lines.size() < 2 || !SameWords(lines[0], "@PJL USTATUS JOB")) return;
  std::string_view name, result, pages;
  for (std::size_t i = 2; i < lines.size(); ++i) {
    const std::size_t equals = lines[i].find('=');
    if (equals == std::string_view::npos) continue;
    const std::string_view key = Trimmed(lines[i].substr(0, equals));
    std::string_view value = Trimmed(lines[i].substr(equals + 1));
    if (SameWords(key, "NAME")) {
      if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
        value = value.substr(1, value.size() - 2);
      }
      name = value;
    } else if (SameWords(key, "RESULT")) {
      result = value;
    } else if (SameWords(key, "PAGES")) {
      pages = value;
    }
  }
  // A message without a name is of the job that runs.
  if (!name.empty() && name != name_) return;
  const std::string_view event = lines[1];
  const bool canceled = SameWords(event, "CANCELED") || SameWords(event, "CANCELLED");
  if (!canceled && !SameWords(event, "END")) return;
  ended_ = true;
  completed_ = !canceled && (result.empty() || SameWords(result, "OK"));
  int count = 0;
  const auto [end, error] = std::from_chars(pages.data(), pages.data() + pages.size(), count);
  if (error == std::errc() && end == pages.data() + pages.size() && count > 0) pages_ = count;
  if (!completed_) {
    reason_ = std::string(event) + (result.empty() ? "" : " (RESULT=" + std::string(result) + ")");
  }
}

}  // namespace pagewire::transport
