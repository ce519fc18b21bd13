#include "platform/win32/win32_printers.h"

#include <windows.h>
#include <winspool.h>

#include <utility>

#include "platform/win32/whole_write.h"

namespace pagewire::platform::win32 {

namespace {

std::string TextOf(const char* text) { return text != nullptr ? text : ""; }

// EnumPrintersA at level 2; a failed enumeration adds nothing.
void AppendNames(DWORD flags, std::vector<std::string>& names) {
  DWORD needed = 0;
  DWORD returned = 0;
  EnumPrintersA(flags, nullptr, 2, nullptr, 0, &needed, &returned);
  if (needed == 0) return;
  std::vector<BYTE> buffer(needed);
  if (!EnumPrintersA(flags, nullptr, 2, buffer.data(), needed, &needed, &returned)) return;
  const auto* entries = reinterpret_cast<const PRINTER_INFO_2A*>(buffer.data());
  for (DWORD i = 0; i < returned; ++i) names.push_back(TextOf(entries[i].pPrinterName));
}

bool IsWindows9x() {
  OSVERSIONINFOA info{};
  info.dwOSVersionInfoSize = sizeof(info);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  if (!GetVersionExA(&info)) return false;
#pragma GCC diagnostic pop
  return info.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS;
}

// A started raw document on an open printer.
class SpoolerDocument final : public Document {
 public:
  explicit SpoolerDocument(HANDLE printer) : printer_(printer) {}
  ~SpoolerDocument() override {
    if (printer_ == nullptr) return;
    AbortPrinter(printer_);
    ClosePrinter(printer_);
  }
  SpoolerDocument(const SpoolerDocument&) = delete;
  SpoolerDocument& operator=(const SpoolerDocument&) = delete;

  bool Write(const void* data, std::size_t length) override {
    if (printer_ == nullptr) return false;
    return WriteWhole(data, length, [this](const unsigned char* bytes, std::uint32_t size,
                                           std::uint32_t& written) {
      DWORD count = 0;
      const BOOL ok = WritePrinter(printer_, const_cast<unsigned char*>(bytes), size, &count);
      written = count;
      return ok != FALSE;
    });
  }

  bool Commit() override {
    if (printer_ == nullptr) return false;
    EndDocPrinter(printer_);
    return ClosePrinter(std::exchange(printer_, nullptr)) != FALSE;
  }

 private:
  HANDLE printer_;
};

class SpoolerDestination final : public Destination {
 public:
  explicit SpoolerDestination(std::string printer) : printer_(std::move(printer)) {}

  std::unique_ptr<Document> StartDocument(const DocumentStart& start) override {
    HANDLE printer = nullptr;
    if (!OpenPrinterA(const_cast<char*>(printer_.c_str()), &printer, nullptr)) return nullptr;
    // The spooler takes a document name of any length: the title is kept whole.
    DOC_INFO_1A doc{};
    doc.pDocName = const_cast<char*>(start.title.c_str());
    doc.pOutputFile = nullptr;
    doc.pDatatype = nullptr;
    if (StartDocPrinterA(printer, 1, reinterpret_cast<BYTE*>(&doc)) == 0) {
      ClosePrinter(printer);
      return nullptr;
    }
    return std::make_unique<SpoolerDocument>(printer);
  }

 private:
  std::string printer_;
};

}  // namespace

std::vector<std::string> Win32Printers::Names() {
  std::vector<std::string> names;
  AppendNames(PRINTER_ENUM_LOCAL, names);
  if (!IsWindows9x()) AppendNames(PRINTER_ENUM_CONNECTIONS, names);
  return names;
}

std::optional<PrinterDetails> Win32Printers::DetailsOf(const std::string& printer) {
  HANDLE handle = nullptr;
  if (!OpenPrinterA(const_cast<char*>(printer.c_str()), &handle, nullptr)) return std::nullopt;
  std::optional<PrinterDetails> details;
  DWORD needed = 0;
  GetPrinterA(handle, 2, nullptr, 0, &needed);
  if (needed != 0) {
    std::vector<BYTE> buffer(needed);
    if (GetPrinterA(handle, 2, buffer.data(), needed, &needed)) {
      const auto& info = *reinterpret_cast<const PRINTER_INFO_2A*>(buffer.data());
      details = PrinterDetails{TextOf(info.pDriverName), TextOf(info.pPortName)};
    }
  }
  ClosePrinter(handle);
  return details;
}

std::unique_ptr<Destination> Win32Printers::DestinationFor(const std::string& printer) {
  return std::make_unique<SpoolerDestination>(printer);
}

}  // namespace pagewire::platform::win32
