// Test helpers: literal bytes into temporary files, and a small writer of
// PDFs with correct cross-reference offsets.
#pragma once

#include <atomic>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <string>
#include <string_view>

namespace pagewire::test {

// A temporary file holding the given bytes, removed on destruction.
class TempFile {
 public:
  explicit TempFile(std::string_view bytes) {
    static std::atomic<int> counter{0};
    path_ = (std::filesystem::temp_directory_path() /
             ("pagewire_pdf_" + std::to_string(RunTag()) + "_" +
              std::to_string(counter++) + ".pdf"))
                .string();
    std::ofstream out(path_, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  }
  ~TempFile() { std::remove(path_.c_str()); }
  TempFile(const TempFile&) = delete;
  TempFile& operator=(const TempFile&) = delete;

  const char* path() const { return path_.c_str(); }

 private:
  // Tells apart the files of test processes that run at the same time.
  static unsigned RunTag() {
    static const unsigned tag = std::random_device{}();
    return tag;
  }

  std::string path_;
};

// Builds "%PDF-1.4", objects and, per AddSection, one cross-reference
// section for the objects added since the last one, its trailer (the given
// entries plus Prev to the section before) and "startxref ... %%EOF".
class PdfBuilder {
 public:
  PdfBuilder() : out_("%PDF-1.4\n") {}

  PdfBuilder& Object(int number, std::string_view body) {
    pending_[number] = out_.size();
    out_ += std::to_string(number) + " 0 obj\n" + std::string(body) + "\nendobj\n";
    return *this;
  }

  PdfBuilder& Raw(std::string_view bytes) {
    out_ += bytes;
    return *this;
  }

  std::size_t Size() const { return out_.size(); }

  PdfBuilder& Section(std::string_view trailerEntries, bool linkPrev = true) {
    const std::size_t offset = out_.size();
    out_ += "xref\n";
    if (lastXref_ == kNone) out_ += "0 1\n0000000000 65535 f \n";
    for (const auto& [number, at] : pending_)
      out_ += std::to_string(number) + " 1\n" + Entry(at) + " 00000 n \n";
    pending_.clear();
    out_ += "trailer\n<< " + std::string(trailerEntries);
    if (linkPrev && lastXref_ != kNone) out_ += " /Prev " + std::to_string(lastXref_);
    out_ += " >>\nstartxref\n" + std::to_string(offset) + "\n%%EOF\n";
    lastXref_ = offset;
    return *this;
  }

  std::size_t LastXref() const { return lastXref_; }
  const std::string& str() const { return out_; }

  static std::string Entry(std::size_t offset) {
    std::string digits = std::to_string(offset);
    return std::string(10 - digits.size(), '0') + digits;
  }

 private:
  static constexpr std::size_t kNone = static_cast<std::size_t>(-1);
  std::string out_;
  std::map<int, std::size_t> pending_;
  std::size_t lastXref_ = kNone;
};

// A one-page document's objects 1 to 3 (Catalog, Pages, Page).
inline PdfBuilder& AddMinimalDocument(PdfBuilder& builder) {
  return builder.Object(1, "<< /Type /Catalog /Pages 2 0 R >>")
      .Object(2, "<< /Type /Pages /Kids [3 0 R] /Count 1 >>")
      .Object(3, "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 612 792] >>");
}

}  // namespace pagewire::test
