#include "server/raster_pdf.h"

#include <array>
#include <cinttypes>

namespace pagewire::server {

namespace {

constexpr std::uint32_t kCatalog = 1;
constexpr std::uint32_t kPages = 2;

std::string Number(double value) {
  std::array<char, 32> text{};
  std::snprintf(text.data(), text.size(), "%.4f", value);
  return text.data();
}

}  // namespace

std::size_t RasterLineBytes(const RasterPage& page) {
  const bool known = (page.components == 1 || page.components == 3) &&
                     (page.bitsPerComponent == 8 ||
                      (page.bitsPerComponent == 1 && page.components == 1));
  if (!known || page.width == 0 || page.height == 0 || page.xDpi == 0 || page.yDpi == 0) return 0;
  return (static_cast<std::size_t>(page.width) * page.components * page.bitsPerComponent + 7) / 8;
}

RasterPdfWriter::RasterPdfWriter(std::FILE* out) : out_(out) {
  objectOffsets_.resize(2, 0);
  Put("%PDF-1.4\n%\xe2\xe3\xcf\xd3\n");
}

RasterPdfWriter::~RasterPdfWriter() {
  if (inPage_) deflateEnd(&zlib_);
}

bool RasterPdfWriter::Fail(const std::string& why) {
  if (error_.empty()) error_ = why;
  return false;
}

bool RasterPdfWriter::Put(const std::string& text) {
  if (!error_.empty()) return false;
  if (std::fwrite(text.data(), 1, text.size(), out_) != text.size()) {
    return Fail("the PDF could not be written");
  }
  offset_ += text.size();
  return true;
}

std::uint32_t RasterPdfWriter::StartObject() {
  objectOffsets_.push_back(offset_);
  const auto number = static_cast<std::uint32_t>(objectOffsets_.size());
  Put(std::to_string(number) + " 0 obj\n");
  return number;
}

bool RasterPdfWriter::Deflate(const unsigned char* bytes, std::size_t size, int flush) {
  std::array<unsigned char, 16384> buffer{};
  zlib_.next_in = const_cast<unsigned char*>(bytes);
  zlib_.avail_in = static_cast<uInt>(size);
  int result = Z_OK;
  do {
    zlib_.next_out = buffer.data();
    zlib_.avail_out = static_cast<uInt>(buffer.size());
    result = deflate(&zlib_, flush);
    if (result == Z_STREAM_ERROR) return Fail("the page image could not be compressed");
    const std::size_t made = buffer.size() - zlib_.avail_out;
    if (std::fwrite(buffer.data(), 1, made, out_) != made) return Fail("the PDF could not be written");
    offset_ += made;
  } while (zlib_.avail_out == 0 || (flush == Z_FINISH && result != Z_STREAM_END));
  return true;
}

bool RasterPdfWriter::StartPage(const RasterPage& page) {
  if (inPage_ || finished_) return Fail("a page was started out of turn");
  lineBytes_ = RasterLineBytes(page);
  if (lineBytes_ == 0) return Fail("the raster page has a size or colour space the PDF does not take");
  if (deflateInit(&zlib_, Z_DEFAULT_COMPRESSION) != Z_OK) return Fail("zlib did not start");
  inPage_ = true;
  page_ = page;
  linesLeft_ = page.height;
  const std::uint32_t image = StartObject();
  std::string dict = "<< /Type /XObject /Subtype /Image /Width " + std::to_string(page.width) +
                     " /Height " + std::to_string(page.height) + " /ColorSpace " +
                     (page.components == 3 ? "/DeviceRGB" : "/DeviceGray") +
                     " /BitsPerComponent " + std::to_string(page.bitsPerComponent) +
                     (page.zeroIsWhite ? " /Decode [1 0]" : "") + " /Filter /FlateDecode /Length " +
                     std::to_string(image + 1) + " 0 R >>\nstream\n";
  if (!Put(dict)) return false;
  streamStart_ = offset_;
  return true;
}

bool RasterPdfWriter::WriteLine(const unsigned char* line) {
  if (!inPage_ || linesLeft_ == 0) return Fail("a line came outside of a page");
  --linesLeft_;
  return Deflate(line, lineBytes_, Z_NO_FLUSH);
}

bool RasterPdfWriter::EndPage() {
  if (!inPage_) return Fail("a page was ended out of turn");
  // Lines the raster did not give are left white.
  const std::vector<unsigned char> white(lineBytes_, page_.zeroIsWhite ? 0x00 : 0xff);
  while (linesLeft_ > 0 && error_.empty()) {
    --linesLeft_;
    Deflate(white.data(), white.size(), Z_NO_FLUSH);
  }
  const bool compressed = Deflate(nullptr, 0, Z_FINISH);
  deflateEnd(&zlib_);
  inPage_ = false;
  if (!compressed) return false;
  const std::uint64_t length = offset_ - streamStart_;
  const auto image = static_cast<std::uint32_t>(objectOffsets_.size());
  Put("\nendstream\nendobj\n");
  StartObject();
  Put(std::to_string(length) + "\nendobj\n");

  const double width = 72.0 * page_.width / page_.xDpi;
  const double height = 72.0 * page_.height / page_.yDpi;
  const std::string draw = "q " + Number(width) + " 0 0 " + Number(height) + " 0 0 cm /Im0 Do Q\n";
  const std::uint32_t content = StartObject();
  Put("<< /Length " + std::to_string(draw.size()) + " >>\nstream\n" + draw + "endstream\nendobj\n");
  pageObjects_.push_back(StartObject());
  return Put("<< /Type /Page /Parent " + std::to_string(kPages) + " 0 R /MediaBox [0 0 " +
             Number(width) + " " + Number(height) + "] /Resources << /XObject << /Im0 " +
             std::to_string(image) + " 0 R >> >> /Contents " + std::to_string(content) +
             " 0 R >>\nendobj\n");
}

bool RasterPdfWriter::Finish() {
  if (inPage_ || finished_) return Fail("the PDF was finished out of turn");
  if (pageObjects_.empty()) return Fail("the raster has no page");
  finished_ = true;
  objectOffsets_[kPages - 1] = offset_;
  std::string kids;
  for (const std::uint32_t page : pageObjects_) kids += std::to_string(page) + " 0 R ";
  Put(std::to_string(kPages) + " 0 obj\n<< /Type /Pages /Kids [" + kids + "] /Count " +
      std::to_string(pageObjects_.size()) + " >>\nendobj\n");
  objectOffsets_[kCatalog - 1] = offset_;
  Put(std::to_string(kCatalog) + " 0 obj\n<< /Type /Catalog /Pages " + std::to_string(kPages) +
      " 0 R >>\nendobj\n");
  const std::uint64_t xref = offset_;
  std::string table = "xref\n0 " + std::to_string(objectOffsets_.size() + 1) + "\n0000000000 65535 f \n";
  for (const std::uint64_t at : objectOffsets_) {
    std::array<char, 24> entry{};
    std::snprintf(entry.data(), entry.size(), "%010" PRIu64 " 00000 n \n", at);
    table += entry.data();
  }
  Put(table + "trailer\n<< /Size " + std::to_string(objectOffsets_.size() + 1) + " /Root " +
      std::to_string(kCatalog) + " 0 R >>\nstartxref\n" + std::to_string(xref) + "\n%%EOF\n");
  if (error_.empty() && std::fflush(out_) != 0) return Fail("the PDF could not be written");
  return error_.empty();
}

}  // namespace pagewire::server
