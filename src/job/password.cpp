#include "job/password.h"

#include <span>

#include "job/decisions.h"

namespace pagewire::job {
namespace {

// The password's attempts before printing is given up.
constexpr int kPasswordAttempts = 4;

PasswordOutcome Skip(SkipReason reason) {
  PasswordOutcome outcome;
  outcome.skip = reason;
  return outcome;
}

PasswordOutcome Accept(const std::string& password, const PasswordEntry& entry) {
  PasswordOutcome outcome;
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
// used. A right password that the header's password block cannot carry
// skips the file.
std::optional<PasswordOutcome> TryPassword(const PdfFacts& facts, const std::string& typed,
                                           const PasswordEntry& entry, bool forHeader) {
  std::string password = typed.substr(0, pdf::PasswordBytesCounted(facts.passwordForm));
  std::optional<PasswordOutcome> accepted;
  if (facts.checkPassword(password)) {
    if (!forHeader) {
      accepted.emplace();
      accepted->plain = password;
    } else if (password.size() <= kPasswordBlockSize) {
      accepted = Accept(password, entry);
    } else {
      accepted = Skip(SkipReason::PasswordTooLong);
    }
  }
  WipeSecret(password);
  return accepted;
}

// The typed text, then the same text in PDFDocEncoding; whichever opens
// the file is sent.
std::optional<PasswordOutcome> TryEntry(const PdfFacts& facts, const PasswordEntry& entry,
                                        bool forHeader) {
  if (auto outcome = TryPassword(facts, TypedText(facts, entry), entry, forHeader)) {
    return outcome;
  }
  if (facts.passwordForm == pdf::PasswordForm::CodePage && !entry.passwordPdfDoc.empty()) {
    return TryPassword(facts, entry.passwordPdfDoc, entry, forHeader);
  }
  return std::nullopt;
}

PasswordOutcome AskPassword(const PasswordSteps& steps, const PdfFacts& facts,
                            const std::string& fileName, bool forHeader) {
  // Wiped when it goes, however the attempts end; a retry shows its text.
  PasswordEntry entry;
  entry.fileName = fileName;
  entry.macEntryDisabled = !steps.portHasAddress();
  for (int attempt = 1; attempt <= kPasswordAttempts; ++attempt) {
    switch (steps.decisions.Password(entry, PasswordQuestion{attempt, kPasswordAttempts})) {
      case PasswordAnswer::Try: break;
      case PasswordAnswer::Cancel: return Skip(SkipReason::Cancelled);
      case PasswordAnswer::NoOther: return Skip(SkipReason::WrongPassword);
    }
    if (TypedText(facts, entry).empty()) return PasswordOutcome{};
    if (auto outcome = TryEntry(facts, entry, forHeader)) return *outcome;
  }
  return Skip(SkipReason::WrongPassword);
}

}  // namespace

PasswordOutcome RunPasswordSteps(const PasswordSteps& steps, const std::string& openPath,
                                 const std::string& fileName, bool forHeader) {
  const std::optional<PdfFacts> facts = steps.inspectPdf(openPath);
  if (!facts || facts->forbidsPrinting) {
    const GoOnQuestion question{facts ? GoOnQuestion::Kind::ForbidsPrinting
                                      : GoOnQuestion::Kind::Unreadable,
                                fileName, openPath};
    if (steps.decisions.GoOn(question)) return PasswordOutcome{};
    return Skip(facts ? SkipReason::ForbidsPrinting : SkipReason::Unreadable);
  }
  if (!facts->needsPassword) return PasswordOutcome{};
  if (!steps.given) return AskPassword(steps, *facts, fileName, forHeader);
  PasswordEntry entry;
  entry.fileName = fileName;
  entry.password = *steps.given;
  entry.passwordUtf8 = *steps.given;
  if (auto outcome = TryEntry(*facts, entry, forHeader)) return *outcome;
  return Skip(SkipReason::WrongPassword);
}

}  // namespace pagewire::job
