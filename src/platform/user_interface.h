// User interface port: message boxes and the file choosers. Every call is
// modal and returns the user's answer.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/file_error.h"
#include "platform/message_text.h"

namespace pagewire::platform {

enum class MessageButtons { Ok, OkCancel, RetryCancel };
enum class MessageIcon { None, Exclamation, Stop };
// The button that closed a message box; Esc and the close box are Cancel.
enum class MessageAnswer { Ok, Cancel, Retry };

// Option bits of the file choosers.
enum FileChooserFlag : std::uint32_t {
  kChooserHideReadOnly = 1u << 0,
  kChooserPathMustExist = 1u << 1,
  kChooserFileMustExist = 1u << 2,
  kChooserLongNames = 1u << 3,
  kChooserExplorer = 1u << 4,
};

// What a message about one file or folder tells besides its text, for a
// view that words such messages itself.
enum class FileNotice {
  Told,         // the text tells what happened to the file
  QuoteInPath,  // the path holds a double quote, which no Windows name can
  NotFound,     // nothing was found at the path
  // The path names no kind of file; the text tells the kind its first
  // bytes give.
  ClassedByContent,
  // The PDF's permissions forbid printing; the text asks whether to go on.
  ForbidsPrinting,
};

// Which file a file error is about: one read for the job, or the output
// file the job is written into.
enum class FileRole { Read, Written };

struct FileChooserRequest {
  std::string filter;            // "Name (*.x)|*.x|...||": '|' separates
  std::string defaultExtension;  // without the dot
  std::string initialName;       // empty: none
  std::uint32_t flags = 0;
};

class UserInterface {
 public:
  virtual ~UserInterface() = default;

  // MessageBoxW with the application's name as caption (see message_text.h
  // for the encodings).
  virtual MessageAnswer ShowMessageBox(const MessageText& text, MessageButtons buttons,
                                       MessageIcon icon) = 0;
  // A message about the file or folder at `path`. The message box shows
  // `text` alone, as ShowMessageBox does.
  virtual MessageAnswer ShowFileMessage(FileNotice /*notice*/, const std::string& /*path*/,
                                        const MessageText& text, MessageButtons buttons,
                                        MessageIcon icon) {
    return ShowMessageBox(text, buttons, icon);
  }
  // A file operation failed; `text` is the message box's text, shown with
  // the stop icon as ShowMessageBox shows it.
  virtual MessageAnswer ShowFileError(FileRole /*role*/, FileErrorCause /*cause*/,
                                      const std::string& /*path*/, const MessageText& text) {
    return ShowMessageBox(text, MessageButtons::Ok, MessageIcon::Stop);
  }
  // Open-file and save-as dialogs: the chosen full path, or none.
  virtual std::optional<std::string> ChooseOpenFile(const FileChooserRequest& request) = 0;
  virtual std::optional<std::string> ChooseSaveAsFile(const FileChooserRequest& request) = 0;
};

}  // namespace pagewire::platform
