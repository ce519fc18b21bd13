// The PJL job header written in front of a PDF.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "settings/print_job_settings.h"
#include "platform/system_facts.h"

namespace pagewire::transport {

enum class KeyMode { None, FixedKey, MacAddress };

// The comment values, looked up afresh for each file.
struct JobComments {
  platform::LocalTime time;
  std::string userName;
  std::string hostName;
  platform::Ipv4Address address{};
};

// Every text value of the header (file, user and host names) goes in with
// its control bytes (0x00 to 0x1F, 0x7F) replaced by '?'.
struct JobHeaderFacts {
  std::string fileName;      // long name, no folder
  std::uint64_t fileLength = 0;  // written whole: a file of 2 GiB or more stays positive
  KeyMode keyMode = KeyMode::None;
  std::string passwordHex;   // 64 hex digits when keyMode is not None
  bool singleFileCommand = true;
};

// "unknown" stands for a user name that cannot be read; an unreadable host
// name stays empty and its address is 0.0.0.0.
JobComments CollectJobComments(platform::SystemFacts& system);

// The header's pieces in order; each goes out by one write.
std::vector<std::string> JobHeaderPieces(const settings::PrintJobSettings& settings,
                                         const JobComments& comments,
                                         const JobHeaderFacts& facts);

}  // namespace pagewire::transport
