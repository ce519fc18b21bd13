#include "fakes/fake_platform.h"

#include <algorithm>
#include <cstring>


namespace pagewire::fakes {

using platform::FileErrorCause;

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
