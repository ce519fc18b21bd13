// Shell port: documents handed to the applications the system associates
// with them. Each call tells whether the hand-over happened.
#pragma once

#include <optional>
#include <string>

namespace pagewire::platform {

class Shell {
 public:
  virtual ~Shell() = default;
  // The application associated with `file`; none when there is none.
  virtual std::optional<std::string> AssociatedApplication(const std::string& file) = 0;
  // Starts `application` with the command line `parameters`, in a normal
  // window.
  virtual bool StartApplication(const std::string& application,
                                const std::string& parameters) = 0;
  // Has the associated application print `file` on the default printer,
  // with no window.
  virtual bool PrintOnDefaultPrinter(const std::string& file) = 0;
  // Opens `file` in its associated application, shown.
  virtual bool OpenDocument(const std::string& file) = 0;
};

}  // namespace pagewire::platform
