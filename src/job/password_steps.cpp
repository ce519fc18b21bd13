#include "job/password_steps.h"

#include <array>
#include <optional>

#include "job/job_messages.h"
#include "job/password_crypt.h"

namespace pagewire::job {
namespace {

using platform::MessageButtons;

// The password dialog's tries before printing is given up.
constexpr int kPasswordAttempts = 4;

// A file that cannot be read, or whose permissions forbid printing.
PasswordOutcome AskAboutUnreadable(platform::UserInterface& ui, const std::string& fileName,
                                   const std::string& openPath, bool forbidsPrinting) {
  PasswordOutcome outcome;
  const std::string text =
      "[" + fileName + "] is not of a supported file format. Do you want to continue?";
  const platform::MessageAnswer answer =
      forbidsPrinting ? TellAbout(ui, platform::FileNotice::ForbidsPrinting, openPath, text,
                                  MessageButtons::OkCancel)
                      : Tell(ui, text, MessageButtons::OkCancel);
  outcome.print = answer == platform::MessageAnswer::Ok;
  return outcome;
}

PasswordOutcome Accept(const std::string& password, const PasswordEntry& entry) {
  PasswordOutcome outcome;
  outcome.print = true;
  PasswordBlock block = MakePasswordBlock(password);
  const bool mac = entry.macAddress.has_value();
  const PasswordBlock cipher = EncryptPasswordBlock(
      block, mac ? std::span<const std::uint8_t>(*entry.macAddress) : kFixedPasswordKey);
  WipeSecret(block.data(), block.size());
  outcome.keyMode = mac ? KeyMode::MacAddress : KeyMode::FixedKey;
  outcome.passwordHex = HexOfCipher(cipher);
  return outcome;
}

// The typed text in the form the file takes.
const std::string& TypedText(const PdfFacts& facts, const PasswordEntry& entry) {
  return facts.passwordForm == pdf::PasswordForm::Utf8 ? entry.passwordUtf8 : entry.password;
}

// One candidate's check; its copy of the password goes as soon as it is
// used. A right password that the header's password block cannot carry is
// told about and nothing is sent.
std::optional<PasswordOutcome> TryPassword(platform::UserInterface& ui, const PdfFacts& facts,
                                           const std::string& typed, const PasswordEntry& entry,
                                           bool forHeader) {
  std::string password = typed.substr(0, pdf::PasswordBytesCounted(facts.passwordForm));
  std::optional<PasswordOutcome> accepted;
  if (facts.checkPassword(password)) {
    if (!forHeader) {
      accepted.emplace();
      accepted->print = true;
      accepted->plain = password;
    } else if (password.size() <= kPasswordBlockSize) {
      accepted = Accept(password, entry);
    } else {
      Tell(ui, "The password of [" + entry.fileName + "] is longer than 32 bytes and cannot be "
               "sent to the printer. The file is not printed.");
      accepted = PasswordOutcome{};
    }
  }
  WipeSecret(password);
  return accepted;
}

PasswordOutcome AskPassword(PrintCommandServices& services, const PdfFacts& facts,
                            const std::string& fileName, bool forHeader) {
  platform::UserInterface& ui = services.platform.ui;
  // Wiped when it goes, however the attempts end; a retry shows its text.
  PasswordEntry entry;
  entry.fileName = fileName;
  entry.macEntryDisabled = !services.hasPortAddress();
  for (int attempt = 1; attempt <= kPasswordAttempts; ++attempt) {
    if (services.dialogs.RunPasswordDlg(entry) != PasswordDlgResult::Ok) return PasswordOutcome{};
    if (TypedText(facts, entry).empty()) return PasswordOutcome{true, KeyMode::None, {}, {}};
    if (auto outcome = TryPassword(ui, facts, TypedText(facts, entry), entry, forHeader)) {
      return *outcome;
    }
    // Then the same text in PDFDocEncoding; whichever opens the file is sent.
    if (facts.passwordForm == pdf::PasswordForm::CodePage && !entry.passwordPdfDoc.empty()) {
      if (auto outcome = TryPassword(ui, facts, entry.passwordPdfDoc, entry, forHeader)) {
        return *outcome;
      }
    }
    Tell(ui, attempt < kPasswordAttempts ? kCheckPassword
                                         : "Wrong password. Printing will be canceled.");
  }
  return PasswordOutcome{};
}

}  // namespace

PasswordOutcome RunPasswordSteps(PrintCommandServices& services, const std::string& openPath,
                                 const std::string& fileName, bool forHeader) {
  const std::optional<PdfFacts> facts = services.inspectPdf(openPath);
  if (!facts || facts->forbidsPrinting) {
    return AskAboutUnreadable(services.platform.ui, fileName, openPath, facts.has_value());
  }
  if (!facts->needsPassword) return PasswordOutcome{true, KeyMode::None, {}, {}};
  return AskPassword(services, *facts, fileName, forHeader);
}

}  // namespace pagewire::job
