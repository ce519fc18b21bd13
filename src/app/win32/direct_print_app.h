// DirectPrintApp: the program's single entry. From the command-line tail
// alone it runs the main dialog (no argument) or prints the named document
// on the default printer (direct mode), and then ends.
#pragma once

#include <string>

namespace pagewire::app {

class DirectPrintApp {
 public:
  // Always false: the program ends when start-up returns.
  bool InitInstance(const std::string& commandTail);

 private:
  static std::string DefaultPrinter();
};

}  // namespace pagewire::app
