#include "fakes/fake_platform.h"

#include <algorithm>
#include <cstring>

#include "platform/dialog_results.h"

namespace pagewire::fakes {

using platform::FileErrorCause;
using platform::RegResult;
using platform::kRegSuccess;

// ----- registry

platform::RegKey FakeRegistry::Handle(const std::string& path, platform::RegAccess access) {
  const platform::RegKey key = next_++;
  open_[key] = OpenKeyState{path, access};
  return key;
}

void FakeRegistry::SetDword(const std::string& key, const std::string& name,
                            std::uint32_t value) {
  std::vector<std::uint8_t> data(4);
  std::memcpy(data.data(), &value, 4);
  keys[key][name] = Value{platform::kRegDword, data};
}

std::optional<std::uint32_t> FakeRegistry::Dword(const std::string& key,
                                                 const std::string& name) const {
  auto k = keys.find(key);
  if (k == keys.end()) return std::nullopt;
  auto v = k->second.find(name);
  if (v == k->second.end() || v->second.data.size() != 4) return std::nullopt;
  std::uint32_t value = 0;
  std::memcpy(&value, v->second.data.data(), 4);
  return value;
}

RegResult FakeRegistry::OpenKey(const std::string& subKey, platform::RegAccess access,
                                platform::RegKey& key) {
  if (!HasKey(subKey)) return platform::kRegFileNotFound;
  if (access == platform::RegAccess::AllAccess && denyWrite) return platform::kRegAccessDenied;
  key = Handle(subKey, access);
  return kRegSuccess;
}

RegResult FakeRegistry::CreateKey(const std::string& subKey, platform::RegAccess access,
                                  platform::RegKey& key) {
  if (denyCreate || denyWrite) {
    if (!HasKey(subKey) || denyWrite) return platform::kRegAccessDenied;
  }
  keys[subKey];
  key = Handle(subKey, access);
  return kRegSuccess;
}

RegResult FakeRegistry::QueryValue(platform::RegKey key, const std::string& name,
                                   std::uint32_t* type, std::uint8_t* data,
                                   std::uint32_t& size) {
  auto k = open_.find(key);
  if (k == open_.end()) return 6;  // ERROR_INVALID_HANDLE
  auto& values = keys[k->second.path];
  auto v = values.find(name);
  if (v == values.end()) return platform::kRegFileNotFound;
  if (type != nullptr) *type = v->second.type;
  const auto needed = static_cast<std::uint32_t>(v->second.data.size());
  if (needed > size) {
    size = needed;
    return platform::kRegMoreData;
  }
  std::copy(v->second.data.begin(), v->second.data.end(), data);
  size = needed;
  return kRegSuccess;
}

RegResult FakeRegistry::SetValue(platform::RegKey key, const std::string& name,
                                 std::uint32_t type, const std::uint8_t* data,
                                 std::uint32_t size) {
  auto k = open_.find(key);
  if (k == open_.end()) return 6;
  if (denyWrite || k->second.access == platform::RegAccess::Read) {
    return platform::kRegAccessDenied;
  }
  keys[k->second.path][name] = Value{type, std::vector<std::uint8_t>(data, data + size)};
  return kRegSuccess;
}

RegResult FakeRegistry::DeleteKey(const std::string& subKey) {
  if (denyWrite) return platform::kRegAccessDenied;
  return keys.erase(subKey) != 0 ? kRegSuccess : platform::kRegFileNotFound;
}

void FakeRegistry::CloseKey(platform::RegKey key) {
  open_.erase(key);
}

// ----- spooler

std::string FakeSpooler::Document::Bytes() const {
  std::string all;
  for (const std::string& w : writes) all += w;
  return all;
}

void FakeSpooler::AddPrinter(const std::string& name, const std::string& driver,
                             const std::string& port) {
  printers[name] = platform::PrinterInfo2{name, driver, port};
}

bool FakeSpooler::EnumeratePrinters(platform::PrinterEnumScope scope,
                                    std::vector<platform::PrinterInfo2>& out) {
  if (scope == platform::PrinterEnumScope::Connections) return true;
  for (const auto& [name, info] : printers) out.push_back(info);
  return true;
}

bool FakeSpooler::OpenPrinterHandle(const std::string& printerName,
                                    platform::PrinterHandle& printer) {
  if (printers.count(printerName) == 0) return false;
  printer = next_++;
  handles_[printer] = printerName;
  ++openHandles;
  return true;
}

bool FakeSpooler::QueryPrinterInfo2(platform::PrinterHandle printer,
                                    platform::PrinterInfo2& info) {
  if (failInfo || handles_.count(printer) == 0) return false;
  info = printers[handles_[printer]];
  return true;
}

bool FakeSpooler::StartRawDocument(platform::PrinterHandle printer, const std::string& docName) {
  if (failStartDoc) return false;
  documents.push_back(Document{handles_[printer], docName, {}, false});
  return true;
}

bool FakeSpooler::WriteRawData(platform::PrinterHandle, const void* data, std::uint32_t length,
                               std::uint32_t& written) {
  if (writes_++ == failWriteAt || documents.empty()) return false;
  written = writeLimit != 0 && length > writeLimit ? writeLimit : length;
  documents.back().writes.emplace_back(static_cast<const char*>(data), written);
  return true;
}

bool FakeSpooler::EndRawDocument(platform::PrinterHandle) {
  if (!documents.empty()) documents.back().ended = true;
  return true;
}

bool FakeSpooler::AbortRawDocument(platform::PrinterHandle) {
  if (!documents.empty()) documents.back().aborted = true;
  return true;
}

bool FakeSpooler::ClosePrinterHandle(platform::PrinterHandle printer) {
  if (handles_.erase(printer) != 0) --openHandles;
  return !failClose;
}

// ----- user interface

std::vector<std::string> FakeUserInterface::MessageTexts() const {
  std::vector<std::string> texts;
  for (const Message& m : messages) texts.push_back(m.Text());
  return texts;
}

int FakeUserInterface::ShowMessageBox(const platform::MessageText& text,
                                      platform::MessageButtons buttons,
                                      platform::MessageIcon icon) {
  messages.push_back(Message{text, buttons, icon});
  if (!messageAnswers.empty()) {
    const int answer = messageAnswers.front();
    messageAnswers.pop_front();
    return answer;
  }
  return buttons == platform::MessageButtons::RetryCancel ? platform::kIdCancel
                                                          : platform::kIdOk;
}

int FakeUserInterface::RunPdfPrintSettingsDlg(dialogs::PdfPrintSettings& settings) {
  ++settingsRunCount;
  if (settingsRuns.empty()) return platform::kIdOk;
  auto run = std::move(settingsRuns.front());
  settingsRuns.pop_front();
  return run(settings);
}

int FakeUserInterface::RunPasswordDlg(dialogs::PasswordEntry& state) {
  passwordRuns.push_back(state);
  if (passwordAnswers.empty()) return platform::kIdCancel;
  PasswordAnswer answer = passwordAnswers.front();
  passwordAnswers.pop_front();
  state.password = answer.password;
  state.passwordUtf8 = answer.passwordUtf8.empty() ? answer.password : answer.passwordUtf8;
  state.macAddress = answer.mac;
  return answer.result;
}

int FakeUserInterface::RunFileConfirmDlg(const std::string& fileName) {
  confirmedNames.push_back(fileName);
  if (onConfirm) onConfirm();
  if (confirmAnswers.empty()) return platform::kIdOk;
  const int answer = confirmAnswers.front();
  confirmAnswers.pop_front();
  return answer;
}

std::optional<std::string> FakeUserInterface::ChooseOpenFile(
    const platform::FileChooserRequest& request) {
  openRequests.push_back(request);
  if (openAnswers.empty()) return std::nullopt;
  auto answer = openAnswers.front();
  openAnswers.pop_front();
  return answer;
}

std::optional<std::string> FakeUserInterface::ChooseSaveAsFile(
    const platform::FileChooserRequest& request) {
  saveRequests.push_back(request);
  if (saveAnswers.empty()) return std::nullopt;
  auto answer = saveAnswers.front();
  saveAnswers.pop_front();
  return answer;
}

}  // namespace pagewire::fakes
