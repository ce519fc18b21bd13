#include "job/password_steps.h"

#include <array>

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

PasswordOutcome Accept(const std::string& password, const platform::PasswordDlgState& state) {
  PasswordOutcome outcome;
  outcome.print = true;
  const PasswordBlock block = MakePasswordBlock(password);
  PasswordBlock cipher{};
  const bool mac = state.macAddress.has_value();
  const unsigned char* key = mac ? state.macAddress->data() : kFixedPasswordKey.data();
  EncryptPassword(cipher.data(), block.data(), key, 6);
  outcome.keyMode = mac ? KeyMode::MacAddress : KeyMode::FixedKey;
  outcome.passwordHex = HexOfCipher(cipher);
  return outcome;
}

PasswordOutcome AskPassword(PrintCommandServices& services, const std::string& openPath,
                            const std::string& fileName) {
  platform::UserInterface& ui = services.platform.ui;
  platform::PasswordDlgState state;
  state.fileName = fileName;
  state.macEntryDisabled = !services.hasPortAddress();
  for (int attempt = 1; attempt <= kPasswordAttempts; ++attempt) {
    if (ui.RunPasswordDlg(state) != platform::kIdOk) return PasswordOutcome{};
    if (state.password.empty()) return PasswordOutcome{true, KeyMode::None, {}};
    const std::string password = state.password.substr(0, kPasswordBlockSize);
    if (services.pdfQueries.checkPdfPasswd(openPath, password) == 1) {
      return Accept(password, state);
    }
    Tell(ui, attempt < kPasswordAttempts ? "Check the password you have just entered."
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
