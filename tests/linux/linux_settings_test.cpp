// The settings file behind the Registry port, and the Linux system facts.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <variant>
#include <vector>

#include "dialogs/password_entry.h"
#include "job/pdf_print_settings.h"
#include "platform/linux/linux_settings_registry.h"
#include "platform/linux/linux_system_facts.h"

namespace pagewire::platform {
namespace {

namespace fs = std::filesystem;

constexpr const char* kSettingsKey = "SOFTWARE\\Orvelle\\Pagewire\\pagewire";
constexpr const char* kMacKey = "SOFTWARE\\Orvelle\\Pagewire\\MacAddr";

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

// The value's bytes, or the result code when the query fails.
std::variant<RegResult, std::vector<std::uint8_t>> Query(Registry& registry, const char* key,
                                                          const char* name) {
  ScopedRegKey open(registry);
  if (RegResult r = registry.OpenKey(key, RegAccess::Read, open.Out()); r != kRegSuccess) return r;
  std::vector<std::uint8_t> data(64);
  auto size = static_cast<std::uint32_t>(data.size());
  if (RegResult r = registry.QueryValue(open.Get(), name, nullptr, data.data(), size);
      r != kRegSuccess) {
    return r;
  }
  data.resize(size);
  return data;
}

using Bytes = std::vector<std::uint8_t>;
using Answer = std::variant<RegResult, Bytes>;

TEST(LinuxSettingsRegistry, KeepsKeysAndValuesForTheNextInstance) {
  TempFolder temp;
  const fs::path file = temp / "config" / "pagewire" / "settings";
  const Bytes mac = {0x00, 0x11, 0x22, 0xaa, 0xbb, 0xcc};
  const Bytes text = {'a', 'b', 0};
  {
    LinuxSettingsRegistry first(file.string());
    ScopedRegKey key(first);
    EXPECT_EQ(first.OpenKey(kSettingsKey, RegAccess::AllAccess, key.Out()), kRegFileNotFound);
    ASSERT_EQ(first.CreateKey(kSettingsKey, RegAccess::AllAccess, key.Out()), kRegSuccess);
    const std::uint8_t copies[4] = {0x01, 0x00, 0x00, 0x40};
    EXPECT_EQ(first.SetValue(key.Get(), "Copies", kRegDword, copies, 4), kRegSuccess);
    EXPECT_EQ(first.SetValue(key.Get(), "Title", 1, text.data(), 3), kRegSuccess);
    ScopedRegKey macKey(first);
    ASSERT_EQ(first.CreateKey(kMacKey, RegAccess::AllAccess, macKey.Out()), kRegSuccess);
    EXPECT_EQ(first.SetValue(macKey.Get(), "pagewire", kRegBinary, mac.data(), 6), kRegSuccess);
  }
  EXPECT_EQ(fs::status(file.parent_path()).permissions(), fs::perms::owner_all);
  EXPECT_NE(ReadAll(file).find("Copies=dword:40000001\n"), std::string::npos);

  LinuxSettingsRegistry second(file.string());
  const struct {
    const char* key;
    const char* name;
    Answer answer;
  } cases[] = {
      {"software\\orvelle\\PAGEWIRE\\Pagewire", "copies", Bytes{0x01, 0x00, 0x00, 0x40}},
      {kSettingsKey, "Title", text},
      {kMacKey, "PageWire", mac},
      {kSettingsKey, "Pages", kRegFileNotFound},
      {"SOFTWARE\\Orvelle\\Other", "Copies", kRegFileNotFound},
      {"SOFTWARE\\Orvelle\nOther", "Copies", RegResult{87}},  // invalid: a line break
  };
  for (const auto& c : cases) EXPECT_EQ(Query(second, c.key, c.name), c.answer) << c.name;

  ScopedRegKey key(second);
  ASSERT_EQ(second.OpenKey(kMacKey, RegAccess::Read, key.Out()), kRegSuccess);
  std::uint32_t type = 0;
  std::uint8_t small[2];
  std::uint32_t size = sizeof small;
  EXPECT_EQ(second.QueryValue(key.Get(), "pagewire", &type, small, size), kRegMoreData);
  EXPECT_EQ(size, 6u);
  EXPECT_EQ(type, kRegBinary);
  EXPECT_EQ(second.SetValue(key.Get(), "pagewire", kRegBinary, mac.data(), 6), kRegAccessDenied);

  // A key with keys below it stays; a key deleted is gone for every instance.
  EXPECT_EQ(second.DeleteKey("SOFTWARE\\Orvelle\\Pagewire"), kRegAccessDenied);
  EXPECT_EQ(second.DeleteKey("software\\orvelle\\pagewire\\macaddr"), kRegSuccess);
  EXPECT_EQ(second.DeleteKey(kMacKey), kRegFileNotFound);
  LinuxSettingsRegistry third(file.string());
  EXPECT_EQ(Query(third, kMacKey, "pagewire"), Answer(kRegFileNotFound));
  EXPECT_EQ(Query(third, kSettingsKey, "Title"), Answer(text));
  EXPECT_EQ(std::distance(fs::directory_iterator(file.parent_path()), {}), 1)
      << "temporary files left";
}

TEST(LinuxSettingsRegistry, ReadsTheGoodLinesOfADamagedFileAndKeepsTheRest) {
  TempFolder temp;
  const fs::path file = temp / "settings";
  const std::string damaged =
      "stray text\n"
      "Orphan=dword:00000001\n"
      "[SOFTWARE\\Orvelle\\Pagewire\\pagewire]\r\n"
      "Copies=dword:00000003\n"
      "Pages=dword:zz\n"
      "Mac=hex:00,1,GG\n"
      "=dword:00000001\n"
      "  Pages = dword:00010002  \n"
      "[bad\\\\key]\n"
      "Hidden=dword:00000009\n"
      "[\n"
      "\x01\xff\n"
      "[software\\orvelle\\pagewire\\PAGEWIRE]\n"
      "Collate=hex:\n";
  WriteAll(file, damaged);
  LinuxSettingsRegistry registry(file.string());
  const struct {
    const char* name;
    Answer answer;
  } cases[] = {
      {"Copies", Bytes{3, 0, 0, 0}},   {"Pages", Bytes{2, 0, 1, 0}}, {"Collate", Bytes{}},
      {"Mac", kRegFileNotFound},       {"Orphan", kRegFileNotFound}, {"Hidden", kRegFileNotFound},
  };
  for (const auto& c : cases) EXPECT_EQ(Query(registry, kSettingsKey, c.name), c.answer) << c.name;

  // A change rewrites the file without losing the lines it could not read.
  ScopedRegKey key(registry);
  ASSERT_EQ(registry.OpenKey(kSettingsKey, RegAccess::AllAccess, key.Out()), kRegSuccess);
  const std::uint8_t five[4] = {5, 0, 0, 0};
  ASSERT_EQ(registry.SetValue(key.Get(), "COPIES", kRegDword, five, 4), kRegSuccess);
  const std::string rewritten = ReadAll(file);
  for (const char* kept : {"stray text\n", "Orphan=dword:00000001\n", "Pages=dword:zz\n",
                           "[bad\\\\key]\nHidden=dword:00000009\n", "\n[\n\x01\xff\n"}) {
    EXPECT_NE(rewritten.find(kept), std::string::npos) << kept;
  }
  EXPECT_EQ(Query(registry, kSettingsKey, "Copies"), Answer(Bytes{5, 0, 0, 0}));
  EXPECT_EQ(Query(registry, kSettingsKey, "Pages"), Answer(Bytes{2, 0, 1, 0}));
}

TEST(LinuxSettingsRegistry, NeverWritesAReadOnlyOrOversizedFile) {
  const std::string valid = "[SOFTWARE\\Orvelle\\Pagewire\\pagewire]\nPages=dword:00000001\n";
  const struct {
    const char* what;
    std::string text;
    mode_t mode;
    RegResult openForReading;
  } cases[] = {
      {"read-only", valid, 0444, kRegSuccess},
      {"oversized", valid + "#" + std::string(1u << 20, 'x') + "\n", 0644, kRegFileNotFound},
  };
  for (const auto& c : cases) {
    TempFolder temp;
    const fs::path file = temp / "settings";
    WriteAll(file, c.text);
    ASSERT_EQ(chmod(file.c_str(), c.mode), 0);
    LinuxSettingsRegistry registry(file.string());
    ScopedRegKey key(registry);
    EXPECT_EQ(registry.OpenKey(kSettingsKey, RegAccess::Read, key.Out()), c.openForReading)
        << c.what;
    ScopedRegKey writable(registry);
    EXPECT_EQ(registry.OpenKey(kSettingsKey, RegAccess::AllAccess, writable.Out()),
              c.openForReading == kRegSuccess ? kRegAccessDenied : kRegFileNotFound)
        << c.what;
    EXPECT_EQ(registry.CreateKey(kSettingsKey, RegAccess::AllAccess, writable.Out()),
              kRegAccessDenied)
        << c.what;
    EXPECT_EQ(registry.CreateKey(kMacKey, RegAccess::Read, writable.Out()), kRegAccessDenied)
        << c.what;
    EXPECT_EQ(registry.DeleteKey(kSettingsKey),
              c.openForReading == kRegSuccess ? kRegAccessDenied : kRegFileNotFound)
        << c.what;
    EXPECT_EQ(ReadAll(file), c.text) << c.what;
  }
}

TEST(LinuxSettingsRegistry, ReadingWritesNothingAndAProbeCannotDeleteAnotherCommandsSave) {
  TempFolder temp;
  const fs::path file = temp / "config" / "pagewire" / "settings";
  LinuxSettingsRegistry probing(file.string());
  job::PdfPrintSettings reading(probing, "pagewire");
  reading.LoadSavedSettings();
  EXPECT_EQ(reading.settingsReadOnly, 0);
  EXPECT_EQ(dialogs::SavedMacAddress(probing, "pagewire").Read(), std::nullopt);
  EXPECT_FALSE(fs::exists(temp / "config"));

  // The probe's key is made; another command saves; the probe deletes its key.
  ScopedRegKey probe(probing);
  ASSERT_EQ(probing.CreateKey(kSettingsKey, RegAccess::AllAccess, probe.Out()), kRegSuccess);
  LinuxSettingsRegistry saving(file.string());
  job::PdfPrintSettings saved(saving, "pagewire");
  saved.settings.copies = 4;
  EXPECT_TRUE(saved.SaveSettings());
  EXPECT_EQ(probing.DeleteKey(kSettingsKey), kRegSuccess);
  // A third command's change keeps what it did not touch.
  LinuxSettingsRegistry third(file.string());
  ScopedRegKey mac(third);
  ASSERT_EQ(third.CreateKey(kMacKey, RegAccess::AllAccess, mac.Out()), kRegSuccess);
  const Bytes address = {1, 2, 3, 4, 5, 6};
  EXPECT_EQ(third.SetValue(mac.Get(), "pagewire", kRegBinary, address.data(), 6), kRegSuccess);
  job::PdfPrintSettings later(saving, "pagewire");
  later.LoadSavedSettings();
  EXPECT_EQ(later.settings.copies, 4);
  EXPECT_EQ(Query(third, kMacKey, "pagewire"), Answer(address));

  // A settings folder that cannot be made: the save says it failed.
  std::ofstream(temp / "plain") << "not a folder";
  LinuxSettingsRegistry blocked((temp / "plain" / "pagewire" / "settings").string());
  job::PdfPrintSettings refused(blocked, "pagewire");
  refused.LoadSavedSettings();
  EXPECT_FALSE(refused.SaveSettings());
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
