// Message text made of runs, each in a known encoding.
//
// Paths, printer names and most messages are system code page text, but a
// few fixed messages are not English and must read correctly whatever the
// system's code page is. Such a message is written in UTF-8 and carries the
// code page pieces it quotes (a printer name, say) as runs of their own. The
// Win32 side converts each run with MultiByteToWideChar (CP_UTF8 or CP_ACP),
// joins them and shows the result with MessageBoxW.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace pagewire::platform {

enum class TextEncoding { SystemCodePage, Utf8 };

struct TextRun {
  std::string bytes;
  TextEncoding encoding = TextEncoding::SystemCodePage;

  bool operator==(const TextRun&) const = default;
};

class MessageText {
 public:
  MessageText() = default;
  // One system code page run: the common case.
  MessageText(std::string systemText);  // NOLINT: implicit on purpose
  MessageText(const char* systemText);  // NOLINT: implicit on purpose

  MessageText& AppendSystem(std::string_view bytes);
  MessageText& AppendUtf8(std::string_view bytes);

  const std::vector<TextRun>& Runs() const { return runs_; }
  // All runs' bytes joined, whatever their encodings (for tests and logs).
  std::string JoinedBytes() const;

 private:
  MessageText& Append(std::string_view bytes, TextEncoding encoding);

  std::vector<TextRun> runs_;
};

}  // namespace pagewire::platform
