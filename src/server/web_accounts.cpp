#include "server/web_accounts.h"

#include <crypt.h>
#include <fcntl.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <memory>
#include <vector>

#include "job/password_crypt.h"

namespace pagewire::server {
namespace {

struct Line {
  std::string name;
  std::string hash;
  std::string role;
};

std::optional<Line> ParseLine(const std::string& text) {
  const std::size_t first = text.find(':');
  const std::size_t last = text.rfind(':');
  if (first == std::string::npos || first == last || first == 0) return std::nullopt;
  return Line{text.substr(0, first), text.substr(first + 1, last - first - 1), text.substr(last + 1)};
}

bool ReadLines(const std::string& path, std::vector<Line>& lines, std::string& error) {
  if (access(path.c_str(), F_OK) != 0 && errno == ENOENT) return true;
  std::ifstream in(path);
  if (!in) {
    error = "cannot read " + path + ": " + std::strerror(errno);
    return false;
  }
  for (std::string text; std::getline(in, text);) {
    if (std::optional<Line> line = ParseLine(text)) lines.push_back(std::move(*line));
  }
  return true;
}

bool WriteLines(const std::string& path, const std::vector<Line>& lines, std::string& error) {
  std::string text;
  for (const Line& line : lines) text += line.name + ":" + line.hash + ":" + line.role + "\n";
  const std::string temporary = path + ".new";
  const int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  bool written = fd >= 0;
  std::size_t done = 0;
  while (written && done < text.size()) {
    const ssize_t wrote = write(fd, text.data() + done, text.size() - done);
    if (wrote < 0 && errno == EINTR) continue;
    written = wrote > 0;
    if (written) done += static_cast<std::size_t>(wrote);
  }
  written = written && fsync(fd) == 0;
  if (fd >= 0) written = close(fd) == 0 && written;
  if (!written || rename(temporary.c_str(), path.c_str()) != 0) {
    error = "cannot write " + path + ": " + std::strerror(errno);
    unlink(temporary.c_str());
    return false;
  }
  return true;
}

bool ValidName(std::string_view name) {
  if (name.empty() || name.size() > 255) return false;
  for (const char c : name) {
    if (c == ':' || static_cast<unsigned char>(c) < 0x20 || c == 0x7f) return false;
  }
  return true;
}

// crypt(3) of `password` with `setting` (a stored hash, or a new salt);
// empty when it fails.
std::string Crypt(std::string_view password, const char* setting) {
  auto data = std::make_unique<crypt_data>();
  const std::string phrase(password);
  const char* hash = crypt_rn(phrase.c_str(), setting, data.get(), sizeof(crypt_data));
  std::string result = hash != nullptr && hash[0] != '*' ? hash : "";
  job::WipeSecret(data.get(), sizeof(crypt_data));
  return result;
}

bool SameText(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  unsigned char diff = 0;
  for (std::size_t i = 0; i < a.size(); ++i) diff |= static_cast<unsigned char>(a[i] ^ b[i]);
  return diff == 0;
}

int DecodedSextet(char c) {
  if (c >= 'A' && c <= 'Z') return c - 'A';
  if (c >= 'a' && c <= 'z') return c - 'a' + 26;
  if (c >= '0' && c <= '9') return c - '0' + 52;
  if (c == '+') return 62;
  if (c == '/') return 63;
  return -1;
}

}  // namespace

std::optional<WebAccount> CheckWebLogin(const std::string& path, std::string_view name,
                                        std::string_view password) {
  std::vector<Line> lines;
  std::string error;
  if (!ReadLines(path, lines, error)) return std::nullopt;
  for (const Line& line : lines) {
    if (line.name != name) continue;
    if (line.hash.empty() || !SameText(Crypt(password, line.hash.c_str()), line.hash)) return std::nullopt;
    return WebAccount{line.name, line.role == "admin"};
  }
  return std::nullopt;
}

bool SetWebAccount(const std::string& path, std::string_view name, std::string_view password,
                   bool admin, std::string& error) {
  if (!ValidName(name)) {
    error = "an account name is 1 to 255 characters, without ':' or control characters";
    return false;
  }
  if (password.empty()) {
    error = "the password is empty";
    return false;
  }
  std::array<char, CRYPT_GENSALT_OUTPUT_SIZE> salt{};
  if (crypt_gensalt_rn("$y$", 0, nullptr, 0, salt.data(), static_cast<int>(salt.size())) == nullptr) {
    error = std::string("cannot make a salt: ") + std::strerror(errno);
    return false;
  }
  Line account{std::string(name), Crypt(password, salt.data()), admin ? "admin" : "user"};
  if (account.hash.empty()) {
    error = std::string("cannot hash the password: ") + std::strerror(errno);
    return false;
  }
  std::vector<Line> lines;
  if (!ReadLines(path, lines, error)) return false;
  bool replaced = false;
  for (Line& line : lines) {
    if (line.name == name) {
      line = account;
      replaced = true;
    }
  }
  if (!replaced) lines.push_back(account);
  return WriteLines(path, lines, error);
}

bool RemoveWebAccount(const std::string& path, std::string_view name, std::string& error) {
  std::vector<Line> lines;
  if (!ReadLines(path, lines, error)) return false;
  const std::size_t before = lines.size();
  std::erase_if(lines, [name](const Line& line) { return line.name == name; });
  if (lines.size() == before) {
    error = "there is no account " + std::string(name);
    return false;
  }
  return WriteLines(path, lines, error);
}

std::optional<std::pair<std::string, std::string>> BasicCredentials(std::string_view authorization) {
  constexpr std::string_view kScheme = "Basic ";
  if (authorization.size() < kScheme.size() ||
      strncasecmp(authorization.data(), kScheme.data(), kScheme.size()) != 0) {
    return std::nullopt;
  }
  std::string_view encoded = authorization.substr(kScheme.size());
  while (!encoded.empty() && encoded.front() == ' ') encoded.remove_prefix(1);
  while (!encoded.empty() && (encoded.back() == '=' || encoded.back() == ' ')) encoded.remove_suffix(1);
  std::string decoded;
  unsigned bits = 0;
  int count = 0;
  for (const char c : encoded) {
    const int sextet = DecodedSextet(c);
    if (sextet < 0) return std::nullopt;
    bits = (bits << 6) | static_cast<unsigned>(sextet);
    count += 6;
    if (count >= 8) {
      count -= 8;
      decoded += static_cast<char>((bits >> count) & 0xff);
    }
  }
  const std::size_t colon = decoded.find(':');
  if (colon == std::string::npos) {
    job::WipeSecret(decoded);
    return std::nullopt;
  }
  std::pair<std::string, std::string> credentials{decoded.substr(0, colon), decoded.substr(colon + 1)};
  job::WipeSecret(decoded);
  return credentials;
}

}  // namespace pagewire::server
