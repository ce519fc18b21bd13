// Where a print command takes its file and sends its data: the members of
// the main dialog that the command reads and writes.
#pragma once

#include <memory>
#include <string>

#include "job/output_file.h"

namespace pagewire::job {

inline constexpr int kOutputToPrinter = 1;
inline constexpr int kOutputToFile = 3;

struct PrintTarget {
  std::string filePath;
  std::string printerName;
  int outputMode = kOutputToPrinter;
  // While open, every document of the command goes here, not to the printer.
  std::unique_ptr<OutputFile> outputFile;
  bool headerOnly = false;     // each PDF's header is written, no file data
  // A single file whose path names no class is classed by its first bytes.
  bool classByContent = false;
};

}  // namespace pagewire::job
