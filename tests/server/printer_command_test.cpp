// The add and modify sub-commands' printer defaults, before PAPPL sees them.
#include "server/printer_command.h"

#include <gtest/gtest.h>

namespace pagewire::server {
namespace {

using Args = std::vector<std::string>;

TEST(SplitPrinterCommand, OnlyAddAndModifyHaveTheirDefaultsSplitOrRefused) {
  std::string error;
  // Other sub-commands go to PAPPL as they are, job options and all.
  EXPECT_FALSE(SplitPrinterCommand({"pws", "submit", "-o", "copies=2", "a.pdf"}, error));
  EXPECT_FALSE(SplitPrinterCommand({"pws", "server", "-o", "media=iso_a4_210x297mm"}, error));
  EXPECT_EQ(error, "");

  EXPECT_FALSE(SplitPrinterCommand({"pws", "add", "-d", "p", "-o", "copies=2"}, error));
  EXPECT_EQ(error, "-o copies: this service keeps no printer default for copies; give it with "
                   "each job");

  error.clear();
  const auto add = SplitPrinterCommand(
      {"pws", "add", "-d", "p", "-o", "media=iso_a4_210x297mm", "-o", "number-up=2"}, error);
  ASSERT_TRUE(add) << error;
  EXPECT_EQ(add->first, (Args{"pws", "add", "-d", "p", "-o", "media=iso_a4_210x297mm", "-o",
                              "media-type=stationery"}));
  EXPECT_EQ(add->then, (Args{"pws", "modify", "-d", "p", "-o", "number-up=2"}));

  const auto modify = SplitPrinterCommand({"pws", "modify", "-d", "p", "-o", "number-up=4"}, error);
  ASSERT_TRUE(modify) << error;
  EXPECT_EQ(modify->first, (Args{"pws", "modify", "-d", "p", "-o", "number-up=4"}));
  EXPECT_TRUE(modify->then.empty());
}

}  // namespace
}  // namespace pagewire::server
