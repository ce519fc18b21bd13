// Rig check: answers HasPortAddress for a printer through the real Win32
// printers and settings store, since the application shows the answer only
// inside the password dialog.
//   port_address_probe PRINTER      (prints "yes" or "no")
#include <cstdio>
#include <exception>

#include "app/has_port_address.h"
#include "app/win32/win32_platform.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: port_address_probe PRINTER\n");
    return 2;
  }
  try {
    pagewire::app::Win32Platform platform;
    std::printf("%s\n", pagewire::app::HasPortAddress(platform.ports, argv[1]) ? "yes" : "no");
    return 0;
  } catch (const std::exception& error) {
    std::fprintf(stderr, "port_address_probe: %s\n", error.what());
    return 1;
  }
}
