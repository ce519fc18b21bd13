// The settings dialog's enabling rules and the password dialog's address
// fields.
#include <gtest/gtest.h>

#include "dialogs/password_entry.h"
#include "dialogs/settings_rules.h"
#include "fakes/fake_platform.h"

namespace pagewire::dialogs {
namespace {

TEST(EnablingFor, FollowsPageChoiceLayoutAndStore) {
  struct Case {
    SettingsChoices choices;
    SettingsEnabling expected;  // pageChoice, from, to, toLast, duplex, type, size, save
  };
  const Case cases[] = {
      {{false, false, 0, false}, {true, false, false, false, true, true, true, true}},
      {{true, false, 1, false}, {true, true, true, true, true, true, true, true}},
      {{true, true, 0, false}, {true, true, false, true, true, true, true, true}},
      {{true, false, 2, false}, {false, false, false, false, false, false, true, true}},
      {{true, false, 3, false}, {true, true, true, true, true, true, false, true}},
      {{false, false, 4, true}, {true, false, false, false, true, true, false, false}},
      {{true, false, -1, false}, {true, true, true, true, true, true, true, true}},
      {{true, false, 7, false}, {true, true, true, true, true, true, true, true}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(EnablingFor(c.choices), c.expected) << "layout " << c.choices.layout;
  }
}

TEST(ApplyMacFields, ParsesSavesOrForgets) {
  struct Case {
    std::vector<std::string> fields;
    bool wellFormed;
    std::optional<MacAddress> address;
  };
  const MacAddress mac = {0x00, 0x1B, 0xC0, 0xFF, 0x07, 0x5A};
  const Case cases[] = {
      {{"00", "1B", "c0", "FF", "07", "5a"}, true, mac},
      {{"00", "1B", "c0", "FF", "7", "5a"}, false, std::nullopt},
      {{"00", "1B", "c0", "FF", "07", "5g"}, false, std::nullopt},
      {{"00", "1B", "c0", "FF", "071", ""}, false, std::nullopt},
      {{"00", "1B", "", "FF", "07", "5a"}, true, std::nullopt},
      {{"", "", "", "", "", ""}, true, std::nullopt},
      {{"00", "1B", "c0", "FF", "07"}, false, std::nullopt},  // the tab walk ended
  };
  for (const Case& c : cases) {
    fakes::FakeSettingsStore store;
    store.macAddress = MacAddress{1, 2, 3, 4, 5, 6};
    PasswordEntry entry;
    entry.macAddress = MacAddress{9, 9, 9, 9, 9, 9};
    EXPECT_EQ(ApplyMacFields(c.fields, store, entry), c.wellFormed) << c.fields[4];
    // A malformed field changes nothing: the saved address and the previous
    // result stay.
    const MacAddress kept{1, 2, 3, 4, 5, 6}, previous{9, 9, 9, 9, 9, 9};
    EXPECT_EQ(entry.macAddress, c.wellFormed ? c.address : previous);
    EXPECT_EQ(store.macAddress, c.wellFormed ? c.address : kept);
  }
  EXPECT_EQ(MacFieldTexts(mac), (std::vector<std::string>{"00", "1b", "c0", "ff", "07", "5a"}));
}

TEST(WipeSecret, LeavesNoByteOfTheText) {
  std::string secret(40, 's');
  const char* buffer = secret.data();
  WipeSecret(secret);
  EXPECT_TRUE(secret.empty());
  EXPECT_EQ(buffer, secret.data());  // wiped in place, not reallocated
  for (int i = 0; i < 40; ++i) EXPECT_EQ(buffer[i], '\0');
}

}  // namespace
}  // namespace pagewire::dialogs
