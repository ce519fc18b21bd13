#include "fakes/fake_platform.h"

#include <algorithm>
#include <cstring>


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

// ----- user interface

std::vector<std::string> FakeUserInterface::MessageTexts() const {
  std::vector<std::string> texts;
  for (const Message& m : messages) texts.push_back(m.Text());
  return texts;
}

platform::MessageAnswer FakeUserInterface::ShowMessageBox(const platform::MessageText& text,
                                                          platform::MessageButtons buttons,
                                                          platform::MessageIcon icon) {
  messages.push_back(Message{text, buttons, icon});
  if (!messageAnswers.empty()) {
    const platform::MessageAnswer answer = messageAnswers.front();
    messageAnswers.pop_front();
    return answer;
  }
  return buttons == platform::MessageButtons::RetryCancel ? platform::MessageAnswer::Cancel
                                                          : platform::MessageAnswer::Ok;
}

job::SettingsDlgResult FakeUserInterface::RunPdfPrintSettingsDlg(
    job::PdfPrintSettings& settings) {
  ++settingsRunCount;
  if (settingsRuns.empty()) return job::SettingsDlgResult::Ok;
  auto run = std::move(settingsRuns.front());
  settingsRuns.pop_front();
  return run(settings);
}

job::PasswordDlgResult FakeUserInterface::RunPasswordDlg(job::PasswordEntry& state) {
  passwordRuns.push_back(state);
  if (passwordAnswers.empty()) return job::PasswordDlgResult::Cancel;
  PasswordAnswer answer = passwordAnswers.front();
  passwordAnswers.pop_front();
  state.password = answer.password;
  state.passwordUtf8 = answer.passwordUtf8.empty() ? answer.password : answer.passwordUtf8;
  state.macAddress = answer.mac;
  return answer.result;
}

job::FileConfirmResult FakeUserInterface::RunFileConfirmDlg(const std::string& fileName) {
  confirmedNames.push_back(fileName);
  if (onConfirm) onConfirm();
  if (confirmAnswers.empty()) return job::FileConfirmResult::Ok;
  const job::FileConfirmResult answer = confirmAnswers.front();
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
