// Feeds each input as a file to the three PDF queries. The last byte, modulo
// 128, is the length of the password, taken from the bytes just before it:
// revisions 5 and 6 count up to 127 bytes of it.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "pagewire/pagewire.h"

namespace {

constexpr std::size_t kMaxPassword = 127;

// One file per fuzzing process, in memory where the system offers it.
const std::string& InputPath() {
  static const std::string path = [] {
    std::error_code error;
    std::filesystem::path dir = "/dev/shm";
    if (!std::filesystem::is_directory(dir, error)) dir = std::filesystem::temp_directory_path();
    return (dir / ("pagewire_fuzz_" + std::to_string(std::rand()) + "_" +
                   std::to_string(reinterpret_cast<std::uintptr_t>(&error) & 0xFFFF) + ".pdf"))
        .string();
  }();
  return path;
}

bool WriteInput(const std::uint8_t* data, std::size_t size) {
  std::FILE* file = std::fopen(InputPath().c_str(), "wb");
  if (file == nullptr) return false;
  const bool written = std::fwrite(data, 1, size, file) == size;
  return std::fclose(file) == 0 && written;
}

void CheckResult(int result) {
  if (result < -1 || result > 1) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (!WriteInput(data, size)) return 0;
  std::string password;
  if (size > 0) {
    const std::size_t length = std::min<std::size_t>(data[size - 1] % (kMaxPassword + 1), size - 1);
    password.assign(reinterpret_cast<const char*>(data + size - 1 - length), length);
  }
  const char* path = InputPath().c_str();
  CheckResult(IsPDFPasswd(path));
  CheckResult(IsPrintDisable(path));
  CheckResult(CheckPDFPasswd(path, password.c_str()));
  CheckResult(CheckPDFPasswd(path, nullptr));
  std::remove(path);
  return 0;
}
