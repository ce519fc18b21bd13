// An independent, plainly written reference of the Standard security
// handler's O and U values (ISO 32000-1, 7.6.3.3 algorithms 3 to 5), used to
// build encrypted test files.
#pragma once

#include <cstdint>
#include <string>

#include "crypto/crypto.h"

namespace pagewire::test {

inline std::string Pad(const std::string& password) {
  static const unsigned char kPad[32] = {
      0x28, 0xBF, 0x4E, 0x5E, 0x4E, 0x75, 0x8A, 0x41, 0x64, 0x00, 0x4E, 0x56, 0xFF, 0xFA, 0x01, 0x08,
      0x2E, 0x2E, 0x00, 0xB6, 0xD0, 0x68, 0x3E, 0x80, 0x2F, 0x0C, 0xA9, 0xFE, 0x64, 0x53, 0x69, 0x7A};
  std::string padded = password.substr(0, 32);
  padded.append(reinterpret_cast<const char*>(kPad), 32 - padded.size());
  return padded;
}

inline std::string Md5(const std::string& data) {
  const auto digest = crypto::Md5Of(data.data(), data.size());
  return std::string(reinterpret_cast<const char*>(digest.data()), digest.size());
}

inline std::string Rc4(const std::string& key, const std::string& data) {
  std::string out(data.size(), '\0');
  crypto::Rc4(reinterpret_cast<const std::uint8_t*>(key.data()), key.size(),
              reinterpret_cast<const std::uint8_t*>(data.data()),
              reinterpret_cast<std::uint8_t*>(out.data()), data.size());
  return out;
}

inline std::string XorEach(std::string key, int value) {
  for (char& c : key) c = static_cast<char>(c ^ value);
  return key;
}

struct EncryptionValues {
  std::string o;
  std::string u;
};

// Owner password "" means "same as user", as writers do.
inline EncryptionValues MakeEncryption(int revision, std::size_t keyBytes, const std::string& user,
                                       std::string owner, std::int32_t p, const std::string& id) {
  if (owner.empty()) owner = user;
  std::string hash = Md5(Pad(owner));
  if (revision == 3)
    for (int i = 0; i < 50; ++i) hash = Md5(hash.substr(0, keyBytes));
  const std::string ownerKey = hash.substr(0, keyBytes);
  std::string o = Rc4(ownerKey, Pad(user));
  if (revision == 3)
    for (int i = 1; i <= 19; ++i) o = Rc4(XorEach(ownerKey, i), o);

  const auto up = static_cast<std::uint32_t>(p);
  std::string pBytes = {char(up & 0xFF), char(up >> 8 & 0xFF), char(up >> 16 & 0xFF),
                        char(up >> 24 & 0xFF)};
  hash = Md5(Pad(user) + o + pBytes + id);
  if (revision == 3)
    for (int i = 0; i < 50; ++i) hash = Md5(hash.substr(0, keyBytes));
  const std::string key = hash.substr(0, keyBytes);
  std::string u;
  if (revision == 2) {
    u = Rc4(key, Pad(""));
  } else {
    u = Rc4(key, Md5(Pad("") + id));
    for (int i = 1; i <= 19; ++i) u = Rc4(XorEach(key, i), u);
    u += std::string(16, '\x5A');  // arbitrary: only the first half counts
  }
  return {o, u};
}

inline std::string HexString(const std::string& bytes) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string hex = "<";
  for (unsigned char c : bytes) {
    hex.push_back(kDigits[c >> 4]);
    hex.push_back(kDigits[c & 15]);
  }
  return hex + ">";
}

}  // namespace pagewire::test
