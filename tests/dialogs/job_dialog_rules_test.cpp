// The settings dialog's enabling rules and the password dialog's address
// fields and saved address.
#include <gtest/gtest.h>

#include "dialogs/password_entry.h"
#include "dialogs/settings_rules.h"
#include "fakes/fake_platform.h"

namespace pagewire::dialogs {
namespace {

using job::PasswordEntry;
using settings::MacAddress;

TEST(EnablingFor, FollowsPageChoiceLayoutAndRegistry) {
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

const std::string kMacKey = "SOFTWARE\\Orvelle\\Pagewire\\MacAddr";

TEST(ApplyMacFields, ParsesSavesOrDeletes) {
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
    fakes::FakeRegistry registry;
    registry.keys[kMacKey]["pagewire"] = {platform::kRegBinary, {1, 2, 3, 4, 5, 6}};
    SavedMacAddress saved(registry, "pagewire");
    PasswordEntry entry;
    entry.macAddress = MacAddress{9, 9, 9, 9, 9, 9};
    EXPECT_EQ(ApplyMacFields(c.fields, saved, entry), c.wellFormed) << c.fields[4];
    if (!c.wellFormed) {
      // Nothing changes: the saved address and the previous result stay.
      EXPECT_EQ(entry.macAddress, (MacAddress{9, 9, 9, 9, 9, 9}));
      EXPECT_EQ(saved.Read(), (MacAddress{1, 2, 3, 4, 5, 6}));
      continue;
    }
    EXPECT_EQ(entry.macAddress, c.address);
    if (c.address) {
      EXPECT_EQ(registry.keys[kMacKey]["pagewire"].type, platform::kRegBinary);
      EXPECT_EQ(saved.Read(), c.address);
    } else {
      EXPECT_FALSE(registry.HasKey(kMacKey));
    }
  }
}

TEST(SavedMacAddress, ReadCreatesTheKeyAndShowsLowerCase) {
  fakes::FakeRegistry registry;
  SavedMacAddress saved(registry, "pagewire");
  EXPECT_EQ(saved.Read(), std::nullopt);
  EXPECT_TRUE(registry.HasKey(kMacKey));
  saved.Write({0x00, 0x1B, 0xC0, 0xFF, 0x07, 0x5A});
  EXPECT_EQ(MacFieldTexts(*saved.Read()),
            (std::vector<std::string>{"00", "1b", "c0", "ff", "07", "5a"}));
  registry.denyCreate = true;
  registry.denyWrite = true;
  EXPECT_EQ(saved.Read(), std::nullopt);
  EXPECT_EQ(registry.openKeys(), 0);
}

}  // namespace
}  // namespace pagewire::dialogs
