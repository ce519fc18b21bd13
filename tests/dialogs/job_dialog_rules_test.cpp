// The settings dialog's enabling rules and the password dialog's address
// fields.
#include <gtest/gtest.h>

#include "dialogs/password_entry.h"
#include "dialogs/settings_rules.h"
#include "fakes/fake_platform.h"

namespace pagewire::dialogs {
namespace {

using job::PasswordEntry;
using settings::MacAddress;

TEST(EnablingFor, FollowsPageChoiceLayoutAndStore) {
  struct Case {
    SettingsChoices choices;
    SettingsEnabling expected;  // pageChoice, from, to, toLast, duplex, type, size, save
  };
  const auto layout = [](std::int32_t index) { return settings::Layout{index}; };
  const Case cases[] = {
      {{false, false, layout(0), false}, {true, false, false, false, true, true, true, true}},
      {{true, false, layout(1), false}, {true, true, true, true, true, true, true, true}},
      {{true, true, layout(0), false}, {true, true, false, true, true, true, true, true}},
      {{true, false, layout(2), false}, {false, false, false, false, false, false, true, true}},
      {{true, false, layout(3), false}, {true, true, true, true, true, true, false, true}},
      {{false, false, layout(4), true}, {true, false, false, false, true, true, false, false}},
      {{true, false, layout(-1), false}, {true, true, true, true, true, true, true, true}},
      {{true, false, layout(7), false}, {true, true, true, true, true, true, true, true}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(EnablingFor(c.choices), c.expected) << "layout " << settings::NumberOf(c.choices.layout);
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

}  // namespace
}  // namespace pagewire::dialogs
