// What the service keeps of a job's request beyond PAPPL's job attributes:
// the document's name, the client's host and address, and the document
// password, which never becomes a job attribute and is wiped with it.
#pragma once

#include <atomic>
#include <optional>
#include <string>

#include "job/password_crypt.h"
#include "platform/system_facts.h"

namespace pagewire::server {

struct JobOrigin {
  JobOrigin() = default;
  JobOrigin(const JobOrigin&) = delete;
  JobOrigin& operator=(const JobOrigin&) = delete;
  ~JobOrigin() { WipePassword(); }

  void WipePassword() {
    if (password) job::WipeSecret(*password);
    password.reset();
  }

  std::string documentName;
  std::string hostName;
  std::optional<platform::Ipv4Address> address;
  std::optional<std::string> password;
  // Held at creation, or after a password typed on the web page, until
  // the spooled PDF's password is checked.
  std::atomic<bool> heldForCheck = false;
};

}  // namespace pagewire::server
