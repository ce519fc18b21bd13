// The ".prn" output file as a destination: every document of a command goes
// into the one file, one after another, as the printer would get them.
#pragma once

#include <memory>
#include <string>

#include "platform/destination.h"
#include "platform/file_system.h"

namespace pagewire::transport {

class OutputFile : public platform::Destination {
 public:
  OutputFile(std::unique_ptr<platform::FileWriter> writer, std::string path);

  // A document writes straight into the file and commits at once; one
  // dropped keeps what it wrote. Null once the file is closed.
  std::unique_ptr<platform::Document> StartDocument(const platform::DocumentStart& start) override;
  // After a start refused: the file is closed.
  platform::SendFailure StartFailure() const override;
  // Flushes and closes; false with `cause` set.
  bool Close(platform::FileErrorCause& cause);
  const std::string& Path() const { return path_; }

 private:
  std::unique_ptr<platform::FileWriter> writer_;
  std::string path_;  // names the file in error messages
};

}  // namespace pagewire::transport
