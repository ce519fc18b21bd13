// System facts port: who and where the job comes from, the default printer,
// the clock and the program's name.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace pagewire::platform {

struct LocalTime {
  int year = 1970;
  int month = 1;  // 1 to 12
  int day = 1;
  int hour = 0;
  int minute = 0;
  int second = 0;
};

using Ipv4Address = std::array<std::uint8_t, 4>;  // network order

struct HostFacts {
  std::optional<std::string> hostName;  // none: the system gave no name
  std::optional<Ipv4Address> address;   // none: no address is known
};

// The default printer as the system records it.
struct DefaultPrinter {
  std::string name;           // empty when none is recorded
  bool withDriver = false;    // the record goes on to name its driver and port
};

class SystemFacts {
 public:
  virtual ~SystemFacts() = default;

  // The user the job is printed for; none when the system gives no name.
  virtual std::optional<std::string> UserName() = 0;
  // This computer's name and network address.
  virtual HostFacts Host() = 0;
  virtual DefaultPrinter RecordedDefaultPrinter() = 0;
  virtual LocalTime LocalNow() = 0;
  // The program's name: the executable's base name without its extension.
  virtual std::string ApplicationName() = 0;
};

}  // namespace pagewire::platform
