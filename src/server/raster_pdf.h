// A PDF of raster page images, written in one pass as the lines come: each
// page one Flate-compressed image XObject drawn over the whole page at the
// raster's resolution. No page is kept in memory.
#pragma once

#include <zlib.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace pagewire::server {

struct RasterPage {
  unsigned width = 0;   // pixels
  unsigned height = 0;  // lines
  unsigned xDpi = 0;
  unsigned yDpi = 0;
  unsigned components = 0;  // 1 gray, 3 RGB
  unsigned bitsPerComponent = 0;  // 1 or 8
  bool zeroIsWhite = false;  // a 1-bit black raster: a set bit is black
};

// The bytes of one line of `page`; 0 for a page the writer does not take.
std::size_t RasterLineBytes(const RasterPage& page);

class RasterPdfWriter {
 public:
  // Writes into `out`, which the caller opens and closes.
  explicit RasterPdfWriter(std::FILE* out);
  RasterPdfWriter(const RasterPdfWriter&) = delete;
  RasterPdfWriter& operator=(const RasterPdfWriter&) = delete;
  ~RasterPdfWriter();

  // Each call false on a write error or a call out of turn; `Error()` says
  // which. A page takes exactly its height in lines.
  bool StartPage(const RasterPage& page);
  bool WriteLine(const unsigned char* line);
  bool EndPage();
  // The page tree, the catalog and the cross-reference table.
  bool Finish();

  unsigned Pages() const { return static_cast<unsigned>(pageObjects_.size()); }
  const std::string& Error() const { return error_; }

 private:
  bool Fail(const std::string& why);
  bool Put(const std::string& text);
  bool Deflate(const unsigned char* bytes, std::size_t size, int flush);
  std::uint32_t StartObject();

  std::FILE* out_;
  std::uint64_t offset_ = 0;
  std::vector<std::uint64_t> objectOffsets_;  // [n - 1]: object n
  std::vector<std::uint32_t> pageObjects_;
  z_stream zlib_{};
  bool inPage_ = false;
  bool finished_ = false;
  RasterPage page_;
  std::size_t lineBytes_ = 0;
  unsigned linesLeft_ = 0;
  std::uint64_t streamStart_ = 0;
  std::string error_;
};

}  // namespace pagewire::server
