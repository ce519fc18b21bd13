// In-memory fakes of every port, with scripted answers and recorded calls.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "dialogs/job_dialogs.h"
#include "fakes/fake_system.h"
#include "platform/platform.h"

namespace pagewire::fakes {

class FakeRegistry : public platform::Registry {
 public:
  struct Value {
    std::uint32_t type;
    std::vector<std::uint8_t> data;
  };
  // Keys by path (as given: the fake ignores letter case nowhere).
  std::map<std::string, std::map<std::string, Value>> keys;
  bool denyCreate = false;
  bool denyWrite = false;

  void SetDword(const std::string& key, const std::string& name, std::uint32_t value);
  std::optional<std::uint32_t> Dword(const std::string& key, const std::string& name) const;
  bool HasKey(const std::string& key) const { return keys.count(key) != 0; }
  int openKeys() const { return static_cast<int>(open_.size()); }

  platform::RegResult OpenKey(const std::string& subKey, platform::RegAccess access,
                              platform::RegKey& key) override;
  platform::RegResult CreateKey(const std::string& subKey, platform::RegAccess access,
                                platform::RegKey& key) override;
  platform::RegResult QueryValue(platform::RegKey key, const std::string& name,
                                 std::uint32_t* type, std::uint8_t* data,
                                 std::uint32_t& size) override;
  platform::RegResult SetValue(platform::RegKey key, const std::string& name, std::uint32_t type,
                               const std::uint8_t* data, std::uint32_t size) override;
  platform::RegResult DeleteKey(const std::string& subKey) override;
  void CloseKey(platform::RegKey key) override;

 private:
  platform::RegKey Handle(const std::string& path, platform::RegAccess access);
  struct OpenKeyState {
    std::string path;
    platform::RegAccess access;
  };
  std::map<platform::RegKey, OpenKeyState> open_;
  platform::RegKey next_ = 100;
};

class FakeSpooler : public platform::Spooler {
 public:
  struct Document {
    std::string printerName;
    std::string docName;
    std::vector<std::string> writes;  // each WritePrinter call's bytes
    bool ended = false;
    bool aborted = false;
    std::string Bytes() const;
  };
  std::map<std::string, platform::PrinterInfo2> printers;
  std::vector<Document> documents;
  bool failStartDoc = false;
  bool failInfo = false;
  int failWriteAt = -1;  // the n-th write (0-based) of all documents fails
  std::uint32_t writeLimit = 0;  // not 0: a write takes at most this many bytes
  bool failClose = false;
  int openHandles = 0;

  void AddPrinter(const std::string& name, const std::string& driver, const std::string& port);

  bool EnumeratePrinters(platform::PrinterEnumScope scope,
                         std::vector<platform::PrinterInfo2>& out) override;
  bool OpenPrinterHandle(const std::string& printerName, platform::PrinterHandle& printer) override;
  bool QueryPrinterInfo2(platform::PrinterHandle printer, platform::PrinterInfo2& info) override;
  bool StartRawDocument(platform::PrinterHandle printer, const std::string& docName) override;
  bool WriteRawData(platform::PrinterHandle printer, const void* data, std::uint32_t length,
                    std::uint32_t& written) override;
  bool EndRawDocument(platform::PrinterHandle printer) override;
  bool AbortRawDocument(platform::PrinterHandle printer) override;
  bool ClosePrinterHandle(platform::PrinterHandle printer) override;

 private:
  std::map<platform::PrinterHandle, std::string> handles_;
  platform::PrinterHandle next_ = 1;
  int writes_ = 0;
};

// Message boxes, file choosers and the job dialogs, each answered from a
// script.
class FakeUserInterface : public platform::UserInterface, public dialogs::JobDialogs {
 public:
  struct Message {
    platform::MessageText text;
    platform::MessageButtons buttons;
    platform::MessageIcon icon;
    std::string Text() const { return text.JoinedBytes(); }
  };
  std::vector<Message> messages;
  std::deque<int> messageAnswers;  // empty: kIdOk (kIdCancel for Retry/Cancel)

  // Each run of the settings dialog takes the next answer (empty: OK).
  std::deque<std::function<int(dialogs::PdfPrintSettings&)>> settingsRuns;
  int settingsRunCount = 0;

  struct PasswordAnswer {
    int result;
    std::string password;
    std::optional<dialogs::MacAddress> mac;
    std::string passwordUtf8 = {};  // empty: the same bytes as `password`
  };
  std::deque<PasswordAnswer> passwordAnswers;  // empty: Cancel
  std::vector<dialogs::PasswordEntry> passwordRuns;  // the entry as shown

  std::deque<int> confirmAnswers;  // empty: OK
  std::function<void()> onConfirm;  // runs inside each confirmation
  std::vector<std::string> confirmedNames;

  std::deque<std::optional<std::string>> openAnswers, saveAnswers;  // empty: none
  std::vector<platform::FileChooserRequest> openRequests, saveRequests;

  std::vector<std::string> MessageTexts() const;

  int ShowMessageBox(const platform::MessageText& text, platform::MessageButtons buttons,
                     platform::MessageIcon icon) override;
  int RunPdfPrintSettingsDlg(dialogs::PdfPrintSettings& settings) override;
  int RunPasswordDlg(dialogs::PasswordEntry& entry) override;
  int RunFileConfirmDlg(const std::string& fileName) override;
  std::optional<std::string> ChooseOpenFile(const platform::FileChooserRequest& request) override;
  std::optional<std::string> ChooseSaveAsFile(
      const platform::FileChooserRequest& request) override;
};

// All fakes with a Platform over them.
struct FakePlatform {
  FakeRegistry registry;
  FakeSpooler spooler;
  FakeFileSystem fileSystem;
  FakeShell shell;
  FakeSystemFacts systemFacts;
  FakeUserInterface ui;
  platform::Platform platform{registry, spooler, fileSystem, shell, systemFacts, ui};
};

}  // namespace pagewire::fakes
