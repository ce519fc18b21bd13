#include "job/password_steps.h"

#include <array>
#include <optional>

#include "job/job_messages.h"
#include "job/password_crypt.h"
#include "pagewire/pagewire.h"

namespace pagewire::job {
namespace {

using platform::MessageButtons;

// The password dialog's tries before printing is given up.
constexpr int kPasswordAttempts = 4;

PasswordOutcome AskAboutUnreadable(platform::UserInterface& ui, const std::string& fileName) {
  PasswordOutcome outcome;
  const int answer = Tell(ui, "[" + fileName + "] is not of a supported file format. "
                                               "Do you want to continue?",
                          MessageButtons::OkCancel);
  outcome.print = answer == platform::kIdOk;
  return outcome;
}

PasswordOutcome Accept(const std::string& password, const dialogs::PasswordEntry& entry) {
  PasswordOutcome outcome;
  outcome.print = true;
  PasswordBlock block = MakePasswordBlock(password);
  PasswordBlock cipher{};
  const bool mac = entry.macAddress.has_value();
  const unsigned char* key = mac ? entry.macAddress->data() : kFixedPasswordKey.data();
  EncryptPassword(cipher.data(), block.data(), key, 6);
  dialogs::WipeSecret(block.data(), block.size());
  outcome.keyMode = mac ? KeyMode::MacAddress : KeyMode::FixedKey;
  outcome.passwordHex = HexOfCipher(cipher);
  return outcome;
}

// One attempt's check; its copy of the password goes as soon as it is used.
std::optional<PasswordOutcome> TryPassword(PrintCommandServices& services,
                                           const std::string& openPath,
                                           const dialogs::PasswordEntry& entry) {
  std::string password = entry.password.substr(0, kPasswordBlockSize);
  std::optional<PasswordOutcome> accepted;
  if (services.pdfQueries.checkPdfPasswd(openPath, password) == 1) {
    accepted = Accept(password, entry);
  }
  dialogs::WipeSecret(password);
  return accepted;
}

PasswordOutcome AskPassword(PrintCommandServices& services, const std::string& openPath,
                            const std::string& fileName) {
  platform::UserInterface& ui = services.platform.ui;
  // Wiped when it goes, however the attempts end; a retry shows its text.
  dialogs::PasswordEntry entry;
  entry.fileName = fileName;
  entry.macEntryDisabled = !services.hasPortAddress();
  for (int attempt = 1; attempt <= kPasswordAttempts; ++attempt) {
    if (services.dialogs.RunPasswordDlg(entry) != platform::kIdOk) return PasswordOutcome{};
    if (entry.password.empty()) return PasswordOutcome{true, KeyMode::None, {}};
    if (auto accepted = TryPassword(services, openPath, entry)) return *accepted;
    Tell(ui, attempt < kPasswordAttempts ? kCheckPassword
                                         : "Wrong password. Printing will be canceled.");
  }
  return PasswordOutcome{};
}

}  // namespace

PasswordOutcome RunPasswordSteps(PrintCommandServices& services, const std::string& openPath,
                                 const std::string& fileName) {
  if (services.pdfQueries.isPrintDisable(openPath) != 0) {
    return AskAboutUnreadable(services.platform.ui, fileName);
  }
  switch (services.pdfQueries.isPdfPasswd(openPath)) {
    case 0: return PasswordOutcome{true, KeyMode::None, {}};
    case 1: return AskPassword(services, openPath, fileName);
    default: return AskAboutUnreadable(services.platform.ui, fileName);
  }
}

}  // namespace pagewire::job
