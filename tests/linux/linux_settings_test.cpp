// The settings file of the command, and the Linux system facts.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <optional>

#include "job/pdf_print_settings.h"
#include "platform/linux/linux_settings_store.h"
#include "platform/linux/linux_system_facts.h"

namespace pagewire::platform {
namespace {

namespace fs = std::filesystem;

class TempFolder {
 public:
  TempFolder() {
    std::string pattern = (fs::temp_directory_path() / "pagewire-settings-XXXXXX").string();
    path_ = mkdtemp(pattern.data()) != nullptr ? pattern : "";
  }
  ~TempFolder() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
  }
  fs::path operator/(const char* name) const { return path_ / name; }

 private:
  fs::path path_;
};

std::string ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

void WriteAll(const fs::path& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

using Settings = settings::PrintJobSettings;
using settings::MacAddress;

TEST(LinuxSettingsStore, KeepsSettingsAndAddressInAFileOfOptionWords) {
  TempFolder temp;
  const fs::path file = temp / "config" / "pagewire" / "settings";
  using namespace settings;
  const Settings chosen{false, true, PaperType::PrinterSettings, 2, PaperSize::A4,
                        Duplex::LongEdge, PrintMode::HighQuality, 2, 5, OutputColor::Black,
                        Layout::TwoUp, Collation::Collated};
  const MacAddress mac = {0x00, 0x1b, 0xc0, 0xff, 0x07, 0x5a};
  {
    LinuxSettingsStore first(file.string());
    EXPECT_TRUE(first.SavePrintSettings(chosen));
    first.SaveMacAddress(mac);
  }
  EXPECT_EQ(ReadAll(file),
            "# pagewire: the settings kept by --save\n"
            "copies=2\ncollate=true\nsides=two-sided-long-edge\nmedia=A4\nmedia-type=printer\n"
            "print-color-mode=monochrome\nprint-quality=high\nlayout=2up\npages=2-5\n"
            "mac=00:1b:c0:ff:07:5a\n");
  EXPECT_EQ(fs::status(file.parent_path()).permissions(), fs::perms::owner_all);
  EXPECT_EQ(fs::status(file).permissions(), fs::perms::owner_read | fs::perms::owner_write);

  LinuxSettingsStore second(file.string());
  const SavedPrintSettings loaded = second.LoadPrintSettings(Settings{});
  EXPECT_EQ(loaded.settings, chosen);
  EXPECT_TRUE(loaded.canSave);
  EXPECT_EQ(second.LoadMacAddress(), mac);
  // Each kind is forgotten on its own; "all pages" and "to the last page"
  // keep only what they print.
  second.ForgetPrintSettings();
  EXPECT_EQ(second.LoadPrintSettings(Settings{}).settings, std::nullopt);
  EXPECT_EQ(second.LoadMacAddress(), mac);
  EXPECT_TRUE(second.SavePrintSettings(Settings{.toLastPage = true, .selectPages = true, .fromPage = 3}));
  EXPECT_EQ(second.LoadPrintSettings(Settings{.toPage = 7}).settings,
            (Settings{.toLastPage = true, .selectPages = true, .fromPage = 3, .toPage = 7}));
  second.ForgetMacAddress();
  EXPECT_EQ(second.LoadMacAddress(), std::nullopt);
  EXPECT_NE(ReadAll(file).find("pages=3-\n"), std::string::npos);
  // A range of one page is a range.
  const Settings onePage{.selectPages = true, .fromPage = 4, .toPage = 4};
  EXPECT_TRUE(second.SavePrintSettings(onePage));
  EXPECT_EQ(second.LoadPrintSettings(Settings{}).settings, onePage);
  EXPECT_EQ(std::distance(fs::directory_iterator(file.parent_path()), {}), 1)
      << "temporary files left";
}

TEST(LinuxSettingsStore, ReadsWhatItUnderstandsAndTheEarlierFormAndKeepsTheRest) {
  TempFolder temp;
  const fs::path file = temp / "settings";
  // The earlier form's three values (collated, 3 copies, "2 up"; pages 2 to
  // the last), then hand-written lines, some of which do not parse.
  WriteAll(file,
           "# my defaults\n"
           "[SOFTWARE\\Orvelle\\Pagewire\\pagewire]\r\n"
           "PrintMode=dword:00020001\n"
           "Copies=dword:40030003\n"
           "Pages=dword:80010002\n"
           "  sides = Two-Sided-Short-Edge \n"
           "copies=1000\n"
           "media=letter\n"
           "pages=5-x\n"
           "mac=00:1b:c0:ff:07\n"
           "colour=blue\n"
           "stray text\n");
  LinuxSettingsStore store(file.string());
  EXPECT_EQ(store.LoadPrintSettings(Settings{}).settings,
            (Settings{.toLastPage = true, .selectPages = true, .copies = 3,
                      .duplexMode = settings::Duplex::ShortEdge,
                      .printMode = settings::PrintMode::HighQuality, .fromPage = 2, .toPage = 1,
                      .layout = settings::Layout::TwoUp,
                      .collate = settings::Collation::Collated}));
  EXPECT_EQ(store.LoadMacAddress(), std::nullopt);

  // A save writes the settings as words, drops the earlier form and what
  // it replaces, and keeps the lines it does not know.
  EXPECT_TRUE(store.SavePrintSettings(Settings{.copies = 4}));
  const std::string rewritten = ReadAll(file);
  for (const char* kept : {"# my defaults\n", "mac=00:1b:c0:ff:07\n", "colour=blue\n",
                           "stray text\n", "copies=4\n", "pages=all\n"}) {
    EXPECT_NE(rewritten.find(kept), std::string::npos) << kept;
  }
  for (const char* gone : {"[SOFTWARE", "dword", "sides = ", "media=letter", "copies=1000"}) {
    EXPECT_EQ(rewritten.find(gone), std::string::npos) << gone;
  }
}

TEST(LinuxSettingsStore, GivesItsLinesToCheckAndSavesOnlyTheSettingsGiven) {
  TempFolder temp;
  const fs::path file = temp / "settings";
  WriteAll(file, "# mine\n\nCopies=dword:40030003\n  pages = 5-2 \nmac=00:1b:c0:ff:07:5a\nstray\n");
  LinuxSettingsStore store(file.string());
  using Kind = SettingsFileLine::Kind;
  const std::vector<SettingsFileLine> lines = store.FileLines();
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[0].kind, Kind::EarlierForm);
  EXPECT_EQ(lines[1].number, 4);
  EXPECT_EQ(lines[1].kind, Kind::Value);
  EXPECT_EQ(lines[1].key + "|" + lines[1].value, "pages|5-2");
  EXPECT_EQ(lines[3].kind, Kind::Other);
  EXPECT_EQ(lines[3].text, "stray");
  // The store itself no longer takes a range that ends before it starts.
  EXPECT_EQ(store.LoadPrintSettings(Settings{}).settings->selectPages, false);

  EXPECT_TRUE(store.SaveSettingLines({"copies=2", "media=letter"}));
  EXPECT_EQ(ReadAll(file), "# mine\n\nmac=00:1b:c0:ff:07:5a\nstray\ncopies=2\nmedia=letter\n");
}

TEST(LinuxSettingsStore, NeverWritesAReadOnlyOrOversizedFile) {
  const std::string valid = "copies=2\n";
  const struct {
    const char* what;
    std::string text;
    mode_t mode;
    std::optional<Settings> loaded;
  } cases[] = {
      {"read-only", valid, 0444, Settings{.copies = 2}},
      {"oversized", valid + "#" + std::string(1u << 20, 'x') + "\n", 0644, std::nullopt},
  };
  for (const auto& c : cases) {
    TempFolder temp;
    const fs::path file = temp / "settings";
    WriteAll(file, c.text);
    ASSERT_EQ(chmod(file.c_str(), c.mode), 0);
    LinuxSettingsStore store(file.string());
    const SavedPrintSettings saved = store.LoadPrintSettings(Settings{});
    EXPECT_EQ(saved.settings, c.loaded) << c.what;
    EXPECT_FALSE(saved.canSave) << c.what;
    EXPECT_FALSE(store.SavePrintSettings(Settings{.copies = 3})) << c.what;
    store.SaveMacAddress({1, 2, 3, 4, 5, 6});
    store.ForgetPrintSettings();
    EXPECT_EQ(ReadAll(file), c.text) << c.what;
  }
}

TEST(LinuxSettingsStore, ReadingWritesNothingAndASaveKeepsAnotherCommandsValues) {
  TempFolder temp;
  const fs::path file = temp / "config" / "pagewire" / "settings";
  LinuxSettingsStore reading(file.string());
  job::PdfPrintSettings probe(reading);
  probe.LoadSavedSettings();
  EXPECT_FALSE(probe.settingsReadOnly);
  EXPECT_EQ(reading.LoadMacAddress(), std::nullopt);
  reading.ForgetPrintSettings();  // nothing to forget: nothing written
  EXPECT_FALSE(fs::exists(temp / "config"));

  // Two commands change the file one after the other, each from what it
  // read before the other wrote: both changes stay.
  LinuxSettingsStore saving(file.string());
  EXPECT_TRUE(saving.SavePrintSettings(Settings{.copies = 4}));
  reading.SaveMacAddress({1, 2, 3, 4, 5, 6});
  LinuxSettingsStore later(file.string());
  EXPECT_EQ(later.LoadPrintSettings(Settings{}).settings, Settings{.copies = 4});
  EXPECT_EQ(later.LoadMacAddress(), (MacAddress{1, 2, 3, 4, 5, 6}));

  // A settings folder that cannot be made: the save says it failed.
  std::ofstream(temp / "plain") << "not a folder";
  LinuxSettingsStore blocked((temp / "plain" / "pagewire" / "settings").string());
  job::PdfPrintSettings refused(blocked);
  refused.LoadSavedSettings();
  EXPECT_FALSE(refused.SaveSettings());
  // No home folder known: nothing can be kept.
  LinuxSettingsStore nowhere("");
  EXPECT_FALSE(nowhere.LoadPrintSettings(Settings{}).canSave);
  EXPECT_FALSE(nowhere.SavePrintSettings(Settings{}));
}

TEST(LinuxSystemFacts, GivesTheUserNameAndNoLoopbackAddress) {
  LinuxSystemFacts facts;
  EXPECT_FALSE(facts.UserName().value_or("").empty());
  const HostFacts host = facts.Host();
  EXPECT_FALSE(host.hostName.value_or("").empty());
  EXPECT_NE(host.address.value_or(Ipv4Address{}).at(0), 127);
}

}  // namespace
}  // namespace pagewire::platform
