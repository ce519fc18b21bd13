// Raster pages written as a PDF, read back with the project's reader and
// checked by qpdf.
#include "server/raster_pdf.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "pdf/pdf_object.h"
#include "pdf/pdf_reader.h"

namespace pagewire::server {
namespace {

struct Case {
  const char* what;
  std::vector<RasterPage> pages;
  unsigned linesGiven;  // per page; fewer than its height leaves the rest white
  const char* colorSpace;
};

const RasterPage kRgb{40, 30, 300, 300, 3, 8, false};
const RasterPage kGray{17, 9, 600, 300, 1, 8, false};
const RasterPage kBlack{13, 5, 600, 600, 1, 1, true};

TEST(RasterPdf, WritesEachPageAsOneImageAtItsResolution) {
  const Case cases[] = {
      {"one sRGB page", {kRgb}, 30, "DeviceRGB"},
      {"gray pages, not square pixels", {kGray, kGray, kGray}, 9, "DeviceGray"},
      {"1-bit black, lines missing", {kBlack, kBlack}, 2, "DeviceGray"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string path = ::testing::TempDir() + "raster.pdf";
    std::FILE* out = std::fopen(path.c_str(), "wb");
    ASSERT_NE(out, nullptr);
    {
      RasterPdfWriter writer(out);
      for (const RasterPage& page : c.pages) {
        ASSERT_TRUE(writer.StartPage(page)) << writer.Error();
        std::vector<unsigned char> line(RasterLineBytes(page));
        for (unsigned y = 0; y < c.linesGiven; ++y) {
          for (std::size_t x = 0; x < line.size(); ++x) line[x] = static_cast<unsigned char>(x * 7 + y);
          ASSERT_TRUE(writer.WriteLine(line.data())) << writer.Error();
        }
        ASSERT_TRUE(writer.EndPage()) << writer.Error();
      }
      ASSERT_TRUE(writer.Finish()) << writer.Error();
      EXPECT_EQ(writer.Pages(), c.pages.size());
    }
    std::fclose(out);

    EXPECT_EQ(std::system(("qpdf --check '" + path + "' >/dev/null").c_str()), 0);
    pdf::PdfReader reader;
    reader.Open(path.c_str());
    const pdf::PdfObject* root = reader.FetchObject(*reader.rootForTesting());
    ASSERT_TRUE(root != nullptr && root->dict != nullptr);
    const pdf::PdfObject* pages = reader.Get(*root->dict, "Pages");
    ASSERT_NE(pages, nullptr);
    const pdf::PdfObject* kids = reader.Get(*pages->dict, "Kids");
    ASSERT_EQ(kids->array->Count(), c.pages.size());
    for (std::size_t i = 0; i < c.pages.size(); ++i) {
      const RasterPage& want = c.pages[i];
      const pdf::PdfObject* page = reader.Get(*kids->array, i);
      const pdf::PdfObject* box = reader.Get(*page->dict, "MediaBox");
      EXPECT_NEAR(box->array->At(2)->real, 72.0 * want.width / want.xDpi, 0.01);
      EXPECT_NEAR(box->array->At(3)->real, 72.0 * want.height / want.yDpi, 0.01);
      const pdf::PdfObject* resources = reader.Get(*page->dict, "Resources");
      const pdf::PdfObject* xobjects = reader.Get(*resources->dict, "XObject");
      const pdf::PdfObject* image = reader.Get(*xobjects->dict, "Im0");
      ASSERT_TRUE(image->Is(pdf::ObjectKind::Stream));
      EXPECT_EQ(reader.Get(*image->dict, "Width")->integer, want.width);
      EXPECT_EQ(reader.Get(*image->dict, "Height")->integer, want.height);
      EXPECT_EQ(reader.Get(*image->dict, "BitsPerComponent")->integer, want.bitsPerComponent);
      EXPECT_EQ(reader.Get(*image->dict, "ColorSpace")->bytes, c.colorSpace);
    }
  }
}

TEST(RasterPdf, RefusesWhatItCannotWrite) {
  std::FILE* out = std::tmpfile();
  ASSERT_NE(out, nullptr);
  RasterPdfWriter writer(out);
  EXPECT_FALSE(writer.Finish()) << "a PDF of no page";
  RasterPdfWriter other(out);
  EXPECT_FALSE(other.StartPage({10, 10, 300, 300, 4, 8, false})) << "CMYK";
  EXPECT_FALSE(other.StartPage({0, 10, 300, 300, 3, 8, false})) << "no width";
  EXPECT_FALSE(other.EndPage());
  RasterPdfWriter third(out);
  ASSERT_TRUE(third.StartPage({2, 1, 72, 72, 1, 8, false}));
  const unsigned char line[2] = {0, 0};
  EXPECT_TRUE(third.WriteLine(line));
  EXPECT_FALSE(third.WriteLine(line)) << "a line past the page's height";
  std::fclose(out);
}

}  // namespace
}  // namespace pagewire::server
