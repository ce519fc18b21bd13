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

#include "fakes/fake_printers.h"
#include "fakes/fake_settings_store.h"
#include "fakes/fake_system.h"
#include "platform/platform.h"

namespace pagewire::fakes {

// Message boxes and file choosers, each answered from a script.
class FakeUserInterface : public platform::UserInterface {
 public:
  struct Message {
    platform::MessageText text;
    platform::MessageButtons buttons;
    platform::MessageIcon icon;
    std::string Text() const { return text.JoinedBytes(); }
  };
  std::vector<Message> messages;
  std::deque<platform::MessageAnswer> messageAnswers;  // empty: OK (Cancel for Retry/Cancel)

  std::deque<std::optional<std::string>> openAnswers, saveAnswers;  // empty: none
  std::vector<platform::FileChooserRequest> openRequests, saveRequests;

  std::vector<std::string> MessageTexts() const;

  platform::MessageAnswer ShowMessageBox(const platform::MessageText& text,
                                         platform::MessageButtons buttons,
                                         platform::MessageIcon icon) override;
  std::optional<std::string> ChooseOpenFile(const platform::FileChooserRequest& request) override;
  std::optional<std::string> ChooseSaveAsFile(
      const platform::FileChooserRequest& request) override;
};

// All fakes with a Platform over them.
struct FakePlatform {
  FakeSettingsStore settingsStore;
  FakePrinters printers;
  FakeFileSystem fileSystem;
  FakeShell shell;
  FakeSystemFacts systemFacts;
  FakeUserInterface ui;
  platform::Platform platform{settingsStore, printers, fileSystem, shell, systemFacts, ui};
};

}  // namespace pagewire::fakes
