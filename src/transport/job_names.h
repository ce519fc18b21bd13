// The names a job carries to the printer, cleaned for where they go: a
// name is any text (a file's long name, a user or host name, a --title),
// and each place takes only some bytes of it.
#pragma once

#include <string>
#include <string_view>

namespace pagewire::transport {

enum class NameUse {
  // A PJL header comment: control bytes (0x00 to 0x1F, 0x7F) would end the
  // line or start a command of the name's own. Other bytes stay, so that a
  // double-byte name keeps every character.
  HeaderComment,
  // A PJL JOB NAME: printable ASCII but '"', at most 80 characters.
  PjlJobName,
  // An IPP job-name: UTF-8 without control characters, at most 255 bytes,
  // never half a character.
  IppJobName,
};

// `name` with each byte the use does not take as '?' (as ls shows such
// bytes: a space would hide the loss), cut to the use's length.
std::string CleanName(std::string_view name, NameUse use);

}  // namespace pagewire::transport
