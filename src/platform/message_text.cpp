#include "platform/message_text.h"

namespace pagewire::platform {

MessageText::MessageText(std::string systemText) {
  AppendSystem(systemText);
}

MessageText::MessageText(const char* systemText) {
  AppendSystem(systemText);
}

MessageText& MessageText::AppendSystem(std::string_view bytes) {
  return Append(bytes, TextEncoding::SystemCodePage);
}

MessageText& MessageText::AppendUtf8(std::string_view bytes) {
  return Append(bytes, TextEncoding::Utf8);
}

MessageText& MessageText::Append(std::string_view bytes, TextEncoding encoding) {
  if (bytes.empty()) return *this;
  if (!runs_.empty() && runs_.back().encoding == encoding) {
    runs_.back().bytes.append(bytes);
  } else {
    runs_.push_back(TextRun{std::string(bytes), encoding});
  }
  return *this;
}

std::string MessageText::JoinedBytes() const {
  std::string joined;
  for (const TextRun& run : runs_) joined += run.bytes;
  return joined;
}

}  // namespace pagewire::platform
